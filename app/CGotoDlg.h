#pragma once

#include <QDialog>

class IMessageBox;
class QLineEdit;

// "Go To": asks for a line number, counted from 1. OK is refused with a
// message, and the field selected again, until the number is an integer
// within 1 to the largest line the dialog allows.
class CGotoDlg : public QDialog
{
    Q_OBJECT

public:
    // Lines up to 99999 can always be asked for; a longer document raises
    // the limit to its own line count.
    static constexpr int kMaxLineDefault = 99999;

    CGotoDlg(IMessageBox& messages, int lineCount, QWidget* parent = nullptr);

    int GetLine() const { return m_line; }
    int GetMaxLine() const { return m_maxLine; }
    QLineEdit* GetLineEdit() const { return m_edit; }

    void accept() override;

private:
    // The field's number, or a message and false.
    bool Validate();

    IMessageBox& m_messages;
    QLineEdit* m_edit = nullptr;
    int m_maxLine = kMaxLineDefault;
    int m_line = 0;
};
