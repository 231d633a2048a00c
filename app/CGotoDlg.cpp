#include "app/CGotoDlg.h"

#include "platform/IMessageBox.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include <algorithm>

CGotoDlg::CGotoDlg(IMessageBox& messages, int lineCount, QWidget* parent)
    : QDialog(parent), m_messages(messages), m_maxLine(std::max(kMaxLineDefault, lineCount))
{
    setWindowTitle(tr("Go To"));

    m_edit = new QLineEdit;
    m_edit->setObjectName(QStringLiteral("lineNumber"));
    // Digits only, as many as the largest line number needs; the range is checked on OK.
    const int digits = static_cast<int>(QString::number(m_maxLine).size());
    m_edit->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("[0-9]{0,%1}").arg(digits)), m_edit));
    // The hint gives the document's own lines; a larger number still goes to the last one.
    m_edit->setPlaceholderText(tr("1 to %1").arg(std::max(lineCount, 1)));

    auto* label = new QLabel(tr("&Line number:"));
    label->setBuddy(m_edit);
    auto* form = new QFormLayout;
    form->addRow(label, m_edit);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &CGotoDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    setFixedHeight(sizeHint().height());
}

bool CGotoDlg::Validate()
{
    bool ok = false;
    const QString text = m_edit->text().trimmed();
    const qlonglong value = text.toLongLong(&ok);
    if (!ok) {
        m_messages.Show(u"Please enter an integer.", IMessageBox::Buttons::Ok, IMessageBox::Icon::Warning);
        return false;
    }
    if (value < 1 || value > m_maxLine) {
        m_messages.Show(QStringLiteral("Please enter an integer between %1 and %2.")
                            .arg(1)
                            .arg(m_maxLine)
                            .toStdU16String(),
                        IMessageBox::Buttons::Ok, IMessageBox::Icon::Warning);
        return false;
    }
    m_line = static_cast<int>(value);
    return true;
}

void CGotoDlg::accept()
{
    if (!Validate()) {
        m_edit->setFocus();
        m_edit->selectAll();
        return;
    }
    QDialog::accept();
}
