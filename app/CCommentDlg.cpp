#include "app/CCommentDlg.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QVBoxLayout>

#include <algorithm>

CCommentDlg::CCommentDlg(const QString& title, const QString& author, const QString& copyright,
                         QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(tr("Comment"));

    auto* grid = new QGridLayout;
    m_title = AddField(QStringLiteral("title"), title, m_titleEnabled, QStringLiteral("titleEnabled"));
    m_author = AddField(QStringLiteral("author"), author, m_authorEnabled, QStringLiteral("authorEnabled"));
    m_copyright = AddField(QStringLiteral("copyright"), copyright, m_copyrightEnabled,
                           QStringLiteral("copyrightEnabled"));
    const QString labels[] = {tr("&Title:"), tr("&Author:"), tr("C&opyright:")};
    QLineEdit* edits[] = {m_title, m_author, m_copyright};
    QCheckBox* boxes[] = {m_titleEnabled, m_authorEnabled, m_copyrightEnabled};
    for (int row = 0; row < 3; ++row) {
        auto* label = new QLabel(labels[row]);
        label->setBuddy(edits[row]);
        grid->addWidget(label, row, 0);
        grid->addWidget(edits[row], row, 1);
        grid->addWidget(boxes[row], row, 2);
    }

    m_note = new QPlainTextEdit;
    m_note->setObjectName(QStringLiteral("note"));
    m_note->setTabChangesFocus(true);
    auto* noteLabel = new QLabel(tr("&Note:"));
    noteLabel->setBuddy(m_note);
    grid->addWidget(noteLabel, 3, 0, Qt::AlignTop);
    grid->addWidget(m_note, 3, 1, 1, 2);

    m_style = new QListWidget;
    m_style->setObjectName(QStringLiteral("style"));
    for (const std::u16string& name : InsertionText::StyleNames())
        m_style->addItem(QString::fromStdU16String(name));
    m_style->setCurrentRow(0);
    m_style->setMaximumWidth(140);
    connect(m_style, &QListWidget::itemDoubleClicked, this, &CCommentDlg::accept);
    auto* styleBox = new QGroupBox(tr("Intended &language"));
    auto* styleLayout = new QVBoxLayout(styleBox);
    styleLayout->addWidget(m_style);

    auto* top = new QHBoxLayout;
    top->addLayout(grid, 1);
    top->addWidget(styleBox);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &CCommentDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(buttons);
    resize(560, 300);
}

QLineEdit* CCommentDlg::AddField(const QString& objectName, const QString& text, QCheckBox*& enable,
                                 const QString& enableName)
{
    auto* edit = new QLineEdit(text);
    edit->setObjectName(objectName);
    edit->setEnabled(false);
    enable = new QCheckBox(tr("Enable"));
    enable->setObjectName(enableName);
    // The field keeps its text while switched off, ready for the next time.
    connect(enable, &QCheckBox::toggled, edit, &QWidget::setEnabled);
    return edit;
}

QString CCommentDlg::CopyrightText(const std::tm& now)
{
    return QStringLiteral("Copyright ") +
           QString::fromLocal8Bit(InsertionText::FormatTime(now, InsertionText::kCopyrightDateFormat));
}

std::u16string CCommentDlg::BuildComment() const
{
    InsertionText::Comment comment;
    comment.style = std::max(m_style->currentRow(), 0);
    comment.title = m_title->text().toStdU16String();
    comment.author = m_author->text().toStdU16String();
    comment.copyright = m_copyright->text().toStdU16String();
    comment.note = m_note->toPlainText().toStdU16String();
    comment.titleEnabled = m_titleEnabled->isChecked();
    comment.authorEnabled = m_authorEnabled->isChecked();
    comment.copyrightEnabled = m_copyrightEnabled->isChecked();
    return InsertionText::CommentHeader(comment);
}

void CCommentDlg::accept()
{
    m_comment = BuildComment();
    QDialog::accept();
}
