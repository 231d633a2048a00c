#pragma once

#include <QList>
#include <QObject>
#include <QPointer>

#include <functional>

class CMainFrame;
class CTavroApp;
class CTavroDoc;
class QAction;
class QDialog;
class SECEdit;
class SECEditView;

// The Tools and Edit commands that open a dialog on the active document:
// Set Language, Go To, Count and Font and Colors. It enables their actions
// while a document is open and runs them on the active window's pane.
class CDialogCommands : public QObject
{
    Q_OBJECT

public:
    using DialogRunner = std::function<int(QDialog&)>;

    CDialogCommands(CMainFrame& frame, CTavroApp& app);

    // Tests answer the dialogs themselves instead of running them modally.
    void SetDialogRunner(DialogRunner runner) { m_run = std::move(runner); }

    void OnSetLanguage();
    void OnGoTo();
    void OnCount();
    void OnChooseFont();

    // The pane of the active document window that last had the focus.
    SECEditView* ActivePane() const;

    // Gives the engine the named language unless it has it already (exact
    // comparison); true when it changed.
    static bool ApplyLanguage(SECEdit& edit, const QString& name);
    // Line counted from 1: scrolls the pane so the line is at the top and
    // puts the caret at its start.
    static void GoToLine(SECEditView& pane, int line);

private:
    void UpdateStates();
    int Run(QDialog& dialog);

    CMainFrame& m_frame;
    CTavroApp& m_app;
    DialogRunner m_run;
    QList<QPointer<QAction>> m_actions;
};
