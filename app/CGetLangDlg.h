#pragma once

#include <QDialog>
#include <QStringList>

class QListWidget;

// "Select Language": the registered language names, sorted; a double click
// chooses like OK.
class CGetLangDlg : public QDialog
{
    Q_OBJECT

public:
    // Opens on the first entry, whatever the document's language is.
    explicit CGetLangDlg(const QStringList& names, QWidget* parent = nullptr);

    // The chosen name; "Default" when the list is empty.
    QString GetLanguage() const { return m_language; }
    QListWidget* GetList() const { return m_list; }

private:
    QListWidget* m_list = nullptr;
    QString m_language = QStringLiteral("Default");
};
