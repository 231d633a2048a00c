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
    // The current language is selected when it is listed, else the first entry.
    CGetLangDlg(const QStringList& names, const QString& current, QWidget* parent = nullptr);

    // The chosen name; "Default" when the list is empty.
    QString GetLanguage() const { return m_language; }
    QListWidget* GetList() const { return m_list; }

private:
    QListWidget* m_list = nullptr;
    QString m_language = QStringLiteral("Default");
};
