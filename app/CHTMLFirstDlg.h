#pragma once

#include <QDialog>

#include <string>

class QComboBox;
class QLineEdit;
class QPlainTextEdit;

// "HTML Insert": title, first heading and first paragraph of a new page.
class CHTMLFirstDlg : public QDialog
{
    Q_OBJECT

public:
    explicit CHTMLFirstDlg(QWidget* parent = nullptr);

    QLineEdit* GetTitleEdit() const { return m_title; }
    QLineEdit* GetHeadingEdit() const { return m_heading; }
    QComboBox* GetHeadingType() const { return m_headingType; }
    QPlainTextEdit* GetParagraphEdit() const { return m_paragraph; }
    const std::u16string& GetResult() const { return m_result; }

    void accept() override;

private:
    QLineEdit* m_title = nullptr;
    QLineEdit* m_heading = nullptr;
    QComboBox* m_headingType = nullptr;
    QPlainTextEdit* m_paragraph = nullptr;
    std::u16string m_result;
};
