#include "app/CFindCommands.h"

#include "app/CChildFrame.h"
#include "app/CFindReplaceDlg.h"
#include "app/CMainFrame.h"
#include "app/CTavroApp.h"
#include "app/CTavroController.h"
#include "app/CTavroView.h"
#include "app/TavroCommandIds.h"
#include "controller/SECEditCommandIds.h"
#include "controller/SECEditFindReplace.h"
#include "controller/SECEditSearchSettings.h"
#include "engine/SECEditLineMarks.h"
#include "platform/IBusyCursor.h"
#include "view/SECEditSplitterWindow.h"

#include <QAction>

namespace {

constexpr int Bookmark = SECEditLineMarks::BookmarkMark;

// Menu item -> editor command of the active pane.
constexpr std::pair<int, int> kRouted[] = {
    {TavroCmd::EditFind, ID_EDIT_FIND},
    {TavroCmd::EditReplace, ID_EDIT_REPLACE},
    {TavroCmd::EditFindNext, ID_EDIT_FIND_NEXT},
    {TavroCmd::RepeatSearch, ID_EDIT_FIND_NEXT},
    {TavroCmd::EditBookmarkToggle, ID_EDIT_MARK_TOGGLE_FIRST + Bookmark},
    {TavroCmd::EditBookmarkNext, ID_EDIT_MARK_NEXT_FIRST + Bookmark},
    {TavroCmd::EditBookmarkPrev, ID_EDIT_MARK_PREV_FIRST + Bookmark},
    {TavroCmd::EditBookmarkClearAll, ID_EDIT_MARK_CLEAR_FIRST + Bookmark},
};

} // namespace

CFindCommands::CFindCommands(CMainFrame& frame, CTavroApp& app) : QObject(&frame), m_frame(frame), m_app(app)
{
    setObjectName(QStringLiteral("FindCommands"));
    for (const auto& [menuId, editorId] : kRouted) {
        if (QAction* action = m_frame.Action(menuId)) {
            m_actions.append(action);
            m_commands.append(editorId);
            const int command = editorId;
            connect(action, &QAction::triggered, this, [this, command] { RunOnActivePane(command); });
        }
    }
    SECEditSearchSettings& settings = SECEditSearchSettings::Instance();
    settings.messages = &m_app.Messages();
    settings.showDialog = [this](SECEditController& pane, bool find) { ShowDialog(pane, find); };
    settings.raiseDialog = [this] {
        if (!m_dialog)
            return false;
        m_dialog->raise();
        m_dialog->activateWindow();
        return true;
    };
    connect(&m_app, &CTavroApp::documentListChanged, this, &CFindCommands::UpdateStates);
    connect(&m_frame, &CMainFrame::paneStateChanged, this, &CFindCommands::UpdateStates);
    UpdateStates();
}

CFindCommands::~CFindCommands()
{
    // The settings outlive the main window: they must not call back into it.
    SECEditSearchSettings& settings = SECEditSearchSettings::Instance();
    if (settings.messages == &m_app.Messages())
        settings.messages = nullptr;
    settings.showDialog = nullptr;
    settings.raiseDialog = nullptr;
    delete m_dialog;
}

void CFindCommands::UpdateStates()
{
    // Also told while the main window is torn down, when the frame can't be
    // asked for its actions.
    const bool hasDocument = !m_app.Documents().isEmpty();
    // Next, Previous and Remove All wait for a bookmark in the active document.
    CTavroView* view = hasDocument && m_frame.MdiArea() ? ActiveView() : nullptr;
    for (qsizetype i = 0; i < m_actions.size(); ++i) {
        QAction* action = m_actions[i];
        if (!action)
            continue;
        const int command = m_commands[i];
        const bool needsMark = command == ID_EDIT_MARK_NEXT_FIRST + Bookmark ||
                               command == ID_EDIT_MARK_PREV_FIRST + Bookmark ||
                               command == ID_EDIT_MARK_CLEAR_FIRST + Bookmark;
        if (needsMark)
            action->setEnabled(view && view->GetController().IsCommandEnabled(command));
        else
            action->setEnabled(hasDocument);
    }
}

CTavroView* CFindCommands::ActiveView() const
{
    CChildFrame* frame = m_frame.ActiveChildFrame();
    auto* splitter = frame ? qobject_cast<SECEditSplitterWindow*>(frame->GetPaneHost()) : nullptr;
    return splitter ? qobject_cast<CTavroView*>(splitter->GetActivePane()) : nullptr;
}

CTavroView* CFindCommands::ViewOf(const SECEditController& controller) const
{
    const QList<CTavroView*> views = m_frame.findChildren<CTavroView*>();
    for (CTavroView* view : views)
        if (&view->GetController() == &controller)
            return view;
    return nullptr;
}

void CFindCommands::RunOnActivePane(int editorCommand)
{
    if (CTavroView* view = ActiveView())
        view->GetController().OnCommand(editorCommand);
    UpdateStates(); // the bookmarks may have changed
}

void CFindCommands::ShowDialog(SECEditController& pane, bool find)
{
    if (m_dialog && !m_dialog->isVisible())
        m_dialog = nullptr; // closed, and only waiting to be deleted
    if (m_dialog) {
        if (m_dialog->IsFind() == find) {
            m_dialog->raise();
            m_dialog->activateWindow();
            return;
        }
        m_dialog->close(); // one search dialog at a time
    }
    SECEditSearchSettings& settings = SECEditSearchSettings::Instance();
    m_pane = ViewOf(pane);
    const QString proposed = QString::fromStdU16String(pane.GetFindReplace().GetFindText());
    auto* dialog = new CFindReplaceDlg(find, settings, proposed, &m_frame);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->SetPartner([this](CFindReplaceDlg& d) { return OnFindReplace(d); });
    dialog->SetSelectionQuery([this] { return m_pane && m_pane->GetController().HasSelectionNow(); });
    dialog->UpdateScope();
    connect(dialog, &QDialog::finished, this, [this] {
        if (m_pane)
            m_pane->setFocus();
        m_pane = nullptr;
    });
    m_dialog = dialog;
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
}

bool CFindCommands::OnFindReplace(CFindReplaceDlg& dialog)
{
    if (dialog.GetAction() == CFindReplaceDlg::Close) {
        if (m_pane)
            m_pane->setFocus();
        return true;
    }
    if (!m_pane)
        m_pane = ActiveView(); // the pane that opened the dialog has closed
    if (!m_pane)
        return false;
    const BusyCursorScope busy(m_app.BusyCursor());
    SECEditSearchSettings& settings = SECEditSearchSettings::Instance();
    dialog.Store(settings);
    dialog.FillHistories(settings);
    SECEditFindReplace& find = m_pane->GetController().GetFindReplace();
    switch (dialog.GetAction()) {
    case CFindReplaceDlg::FindNext:
        find.ResetFound();
        return find.FindNext(settings);
    case CFindReplaceDlg::MarkAll: {
        const bool marked = find.MarkAll(settings);
        UpdateStates();
        return marked;
    }
    case CFindReplaceDlg::Replace:
        return find.Replace(settings);
    case CFindReplaceDlg::ReplaceAll:
        return find.ReplaceAll(settings);
    default:
        return false;
    }
}

CFindReplaceDlg* CFindCommands::Dialog() const { return m_dialog; }
