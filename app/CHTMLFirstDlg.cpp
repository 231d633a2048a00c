#include "app/CHTMLFirstDlg.h"

#include "app/InsertionText.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QVBoxLayout>

CHTMLFirstDlg::CHTMLFirstDlg(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(tr("HTML Insert"));
    m_title = new QLineEdit;
    m_title->setObjectName(QStringLiteral("pageTitle"));
    m_heading = new QLineEdit;
    m_heading->setObjectName(QStringLiteral("heading"));
    m_headingType = new QComboBox;
    m_headingType->setObjectName(QStringLiteral("headingType"));
    for (int level = 1; level <= 6; ++level)
        m_headingType->addItem(QStringLiteral("H%1").arg(level));
    m_headingType->setCurrentIndex(0);
    m_paragraph = new QPlainTextEdit;
    m_paragraph->setObjectName(QStringLiteral("paragraph"));
    m_paragraph->setTabChangesFocus(true);

    auto* headingRow = new QHBoxLayout;
    headingRow->addWidget(m_heading, 1);
    headingRow->addWidget(m_headingType);

    auto* form = new QFormLayout;
    form->addRow(tr("Page &title:"), m_title);
    // A row holding a layout gets no buddy by itself: the heading field is it.
    auto* headingLabel = new QLabel(tr("&Heading:"));
    headingLabel->setBuddy(m_heading);
    form->addRow(headingLabel, headingRow);
    form->addRow(tr("&Paragraph:"), m_paragraph);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &CHTMLFirstDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    resize(420, 260);
}

void CHTMLFirstDlg::accept()
{
    m_result = InsertionText::HtmlSkeleton(m_title->text().toStdU16String(), m_heading->text().toStdU16String(),
                                           m_headingType->currentIndex(),
                                           m_paragraph->toPlainText().toStdU16String());
    QDialog::accept();
}
