#include "app/CEditorSettingsPage.h"

#include "syntax/SECEditLangConfig.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QLabel>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>

CEditorSettingsPage::CEditorSettingsPage(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("editorSettings"));
    m_language = new QLabel;
    m_language->setObjectName(QStringLiteral("language"));
    m_tabSize = new QSpinBox;
    m_tabSize->setObjectName(QStringLiteral("tabSize"));
    m_tabSize->setRange(kMinTabSize, kMaxTabSize);
    m_tabSize->setSuffix(tr(" columns"));
    m_insertSpaces = new QCheckBox(tr("&Insert spaces instead of tabs"));
    m_insertSpaces->setObjectName(QStringLiteral("insertSpaces"));
    m_autoIndent = new QCheckBox(tr("&Auto-indent new lines"));
    m_autoIndent->setObjectName(QStringLiteral("autoIndent"));
    m_showWhitespace = new QCheckBox(tr("Show &white space (tabs and spaces)"));
    m_showWhitespace->setObjectName(QStringLiteral("showWhitespace"));
    m_virtualWhitespace = new QCheckBox(tr("&Virtual white space (caret beyond the end of a line)"));
    m_virtualWhitespace->setObjectName(QStringLiteral("virtualWhitespace"));

    auto* tabLabel = new QLabel(tr("&Tab size:"));
    tabLabel->setBuddy(m_tabSize);
    auto* form = new QFormLayout;
    form->addRow(tr("Language:"), m_language);
    form->addRow(tabLabel, m_tabSize);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    for (QCheckBox* box : {m_insertSpaces, m_autoIndent, m_showWhitespace, m_virtualWhitespace})
        layout->addWidget(box);
    layout->addStretch();
}

void CEditorSettingsPage::Load(const SECEditLangConfig& config)
{
    m_language->setText(QString::fromStdU16String(config.GetName()));
    m_tabSize->setValue(std::clamp(config.GetTabSize(), kMinTabSize, kMaxTabSize));
    m_insertSpaces->setChecked(config.GetReplaceTabs());
    m_autoIndent->setChecked(config.GetAutoIndent());
    m_showWhitespace->setChecked(config.GetShowWhitespace());
    m_virtualWhitespace->setChecked(config.GetVirtualWhitespace());
}

void CEditorSettingsPage::Apply(SECEditLangConfig& config) const
{
    config.SetTabSize(m_tabSize->value());
    config.SetReplaceTabs(m_insertSpaces->isChecked());
    config.SetAutoIndent(m_autoIndent->isChecked());
    config.SetShowWhitespace(m_showWhitespace->isChecked());
    config.SetVirtualWhitespace(m_virtualWhitespace->isChecked());
}
