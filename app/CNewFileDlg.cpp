#include "app/CNewFileDlg.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QIcon>
#include <QLabel>
#include <QVBoxLayout>

CNewFileDlg::CNewFileDlg(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(tr("File Template"));
    m_type = new QComboBox;
    m_type->setObjectName(QStringLiteral("type"));
    m_type->addItem(QIcon::fromTheme(QStringLiteral("text-xml")), tr("XML Template"));
    m_type->addItem(QIcon::fromTheme(QStringLiteral("text-html")), tr("HTML template"));
    m_type->setCurrentIndex(m_typeIndex);
    connect(m_type, &QComboBox::currentIndexChanged, this, [this](int index) { m_typeIndex = index; });

    auto* label = new QLabel(tr("&Template:"));
    label->setBuddy(m_type);
    auto* form = new QFormLayout;
    form->addRow(label, m_type);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    setMinimumWidth(300);
}
