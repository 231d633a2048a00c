#include "app/CDateDlg.h"

#include "app/InsertionText.h"

#include <QDialogButtonBox>
#include <QListWidget>
#include <QVBoxLayout>

CDateDlg::CDateDlg(const std::tm& now, QWidget* parent) : QDialog(parent)
{
    setWindowTitle(tr("Date and Time selection"));
    m_list = new QListWidget;
    m_list->setObjectName(QStringLiteral("dates"));
    m_list->setSortingEnabled(true);
    for (const std::string& text : InsertionText::DateChoices(now))
        m_list->addItem(QString::fromLocal8Bit(text));
    m_list->setCurrentRow(-1);
    connect(m_list, &QListWidget::itemDoubleClicked, this, &CDateDlg::accept);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &CDateDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_list);
    layout->addWidget(buttons);
    resize(320, 220);
}

void CDateDlg::accept()
{
    const QListWidgetItem* item = m_list->currentItem();
    m_result = item && item->isSelected() ? item->text() : QString();
    QDialog::accept();
}
