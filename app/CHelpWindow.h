#pragma once

#include <QWidget>

class QTextBrowser;

// The user's manual: HTML pages compiled into the program, shown in a
// browser window of their own with Back, Forward and Contents.
class CHelpWindow : public QWidget
{
    Q_OBJECT

public:
    explicit CHelpWindow(QWidget* parent = nullptr);

    QTextBrowser* Browser() const { return m_browser; }
    void ShowContents();

private:
    QTextBrowser* m_browser;
};
