#pragma once

#include "app/InsertionText.h"

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;

// "Comment": a comment header in one of six comment styles, with an optional
// title, author and copyright line and a free note.
class CCommentDlg : public QDialog
{
    Q_OBJECT

public:
    // copyright is the full text of its field ("Copyright " and a date).
    CCommentDlg(const QString& title, const QString& author, const QString& copyright,
                QWidget* parent = nullptr);

    // "Copyright " and the date in the header's format, in the local time.
    static QString CopyrightText(const std::tm& now);

    // The header as the fields stand now.
    std::u16string BuildComment() const;
    const std::u16string& GetComment() const { return m_comment; }

    void accept() override;

private:
    QLineEdit* AddField(const QString& objectName, const QString& text, QCheckBox*& enable,
                        const QString& enableName);

    QLineEdit* m_title = nullptr;
    QLineEdit* m_author = nullptr;
    QLineEdit* m_copyright = nullptr;
    QCheckBox* m_titleEnabled = nullptr;
    QCheckBox* m_authorEnabled = nullptr;
    QCheckBox* m_copyrightEnabled = nullptr;
    QPlainTextEdit* m_note = nullptr;
    QListWidget* m_style = nullptr;
    std::u16string m_comment;
};
