#pragma once

#include <QList>
#include <QObject>
#include <QPointer>

class CFindReplaceDlg;
class QAction;
class CMainFrame;
class CTavroApp;
class CTavroView;
class SECEditController;

// The Edit menu's Find, Replace and Find Next items and the Bookmark menu:
// opens the modeless Find and Replace dialogs for the active pane, carries out
// their actions on the pane that opened them, and routes the menu items to
// the active pane's controller.
class CFindCommands : public QObject
{
    Q_OBJECT

public:
    CFindCommands(CMainFrame& frame, CTavroApp& app);
    ~CFindCommands() override;

    // Opens the Find (true) or Replace dialog for the pane, or brings the
    // open one forward.
    void ShowDialog(SECEditController& pane, bool find);
    CFindReplaceDlg* Dialog() const;
    // Carries out the dialog's current action on its pane.
    bool OnFindReplace(CFindReplaceDlg& dialog);

private:
    CTavroView* ActiveView() const;
    CTavroView* ViewOf(const SECEditController& controller) const;
    void RunOnActivePane(int editorCommand);
    void UpdateStates();

    CMainFrame& m_frame;
    CTavroApp& m_app;
    QPointer<CFindReplaceDlg> m_dialog;
    QPointer<CTavroView> m_pane;
    QList<QPointer<QAction>> m_actions; // with the editor command each runs
    QList<int> m_commands;
};
