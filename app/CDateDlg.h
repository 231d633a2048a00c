#pragma once

#include <QDialog>

#include <ctime>

class QListWidget;

// "Date and Time selection": the moment the dialog opened in five forms,
// listed alphabetically. A double click chooses at once.
class CDateDlg : public QDialog
{
    Q_OBJECT

public:
    explicit CDateDlg(const std::tm& now, QWidget* parent = nullptr);

    QListWidget* GetList() const { return m_list; }
    // The chosen entry; empty when none was chosen.
    const QString& GetResult() const { return m_result; }

    void accept() override;

private:
    QListWidget* m_list = nullptr;
    QString m_result;
};
