#pragma once

#include <QList>
#include <QObject>
#include <QPointer>

#include <ctime>
#include <functional>
#include <string>
#include <string_view>

class CMainFrame;
class CTavroApp;
class CTavroController;
class QAction;
class QDialog;

// The Insert menu: comment header, date and time, the user's details, a new
// uuid and the page template, each put in at the caret of the active pane.
class CInsertCommands : public QObject
{
    Q_OBJECT

public:
    using DialogRunner = std::function<int(QDialog&)>;
    using Clock = std::function<std::tm()>;

    CInsertCommands(CMainFrame& frame, CTavroApp& app);

    // Tests answer the dialogs and fix the time themselves.
    void SetDialogRunner(DialogRunner runner) { m_run = std::move(runner); }
    void SetClock(Clock clock) { m_clock = std::move(clock); }

    void OnComment();
    void OnDateTime();
    void OnUserName();
    void OnCompanyName();
    void OnAddress();
    void OnTelephone();
    void OnFax();
    void OnEmail();
    void OnUserInfoAll();
    void OnUuid();
    void OnTemplate();

    // The controller of the active document window's active pane.
    CTavroController* ActiveController() const;

private:
    void UpdateStates();
    int Run(QDialog& dialog);
    std::u16string UserInfo(std::u16string_view key) const;
    // Gives "\r\n" the document's own line end, then inserts at the caret.
    // Empty text still goes through, so it replaces a selection.
    void Insert(std::u16string_view text);
    void InsertUserLine(std::u16string_view label, std::u16string_view key);

    CMainFrame& m_frame;
    CTavroApp& m_app;
    DialogRunner m_run;
    Clock m_clock;
    QList<QPointer<QAction>> m_actions;
};
