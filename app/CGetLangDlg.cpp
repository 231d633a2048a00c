#include "app/CGetLangDlg.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

CGetLangDlg::CGetLangDlg(const QStringList& names, QWidget* parent) : QDialog(parent)
{
    setWindowTitle(tr("Select Language"));

    m_list = new QListWidget;
    m_list->setObjectName(QStringLiteral("languages"));
    m_list->setSortingEnabled(true);
    m_list->addItems(names);
    auto* label = new QLabel(tr("&Language:"));
    label->setBuddy(m_list);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(m_list);
    layout->addWidget(buttons);

    connect(m_list, &QListWidget::currentTextChanged, this, [this](const QString& text) {
        if (!text.isEmpty())
            m_language = text;
    });
    connect(m_list, &QListWidget::itemActivated, this, [this](QListWidgetItem* item) {
        m_language = item->text();
        accept();
    });
    buttons->button(QDialogButtonBox::Ok)->setEnabled(m_list->count() > 0);

    if (m_list->count() > 0)
        m_list->setCurrentRow(0);
    resize(260, 320);
}
