#include "app/CTavroController.h"

#include "app/CMainFrame.h"
#include "app/CTavroView.h"
#include "app/TavroCommandIds.h"
#include "controller/SECEditCommandIds.h"
#include "engine/SECEdit.h"
#include "engine/SECEditMsg.h"
#include "syntax/SECEditLangConfig.h"
#include "view/SECEditViewport.h"
#include "view/SECEditMimeData.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QTimer>

#include <algorithm>
#include <utility>

namespace {
// The controller whose pane the Edit menu items act on.
CTavroController* g_menuController = nullptr;

// Menu command -> editor command.
constexpr std::pair<int, int> kMenuCommands[] = {
    {TavroCmd::EditUndo, ID_EDIT_UNDO},           {TavroCmd::EditRedo, ID_EDIT_REDO},
    {TavroCmd::UpperCase, ID_EDIT_UPPERCASE},     {TavroCmd::LowerCase, ID_EDIT_LOWERCASE},
    {TavroCmd::IndentIncrease, ID_EDIT_TAB},      {TavroCmd::IndentDecrease, ID_EDIT_UNTAB},
    {TavroCmd::EditSelectAll, ID_EDIT_SELECT_ALL}, {TavroCmd::EditCut, ID_EDIT_CUT},
    {TavroCmd::EditCopy, ID_EDIT_COPY},           {TavroCmd::EditPaste, ID_EDIT_PASTE},
    {TavroCmd::EditColumnMode, ID_EDIT_COLUMN_MODE},
};

// Whether the clipboard offers text, as last heard from it.
bool g_clipboardHasText = false;

bool IsIndentCommand(int menuId)
{
    return menuId == TavroCmd::IndentIncrease || menuId == TavroCmd::IndentDecrease;
}
} // namespace

CTavroController::CTavroController(CTavroView& view) : SECEditController(&view.GetViewport()), m_view(view)
{
    WatchClipboard();
}

void CTavroController::WatchClipboard()
{
    static bool watching = false;
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (watching || !clipboard)
        return;
    watching = true;
    // The clipboard is asked once now and once per change, never per caret move.
    const auto refresh = [clipboard] {
        const QMimeData* data = clipboard->mimeData(QClipboard::Clipboard);
        g_clipboardHasText = data && data->hasText();
        if (g_menuController)
            g_menuController->UpdateMenuCommands();
    };
    QObject::connect(clipboard, &QClipboard::dataChanged, clipboard, refresh);
    refresh();
}

CTavroController::~CTavroController()
{
    if (g_menuController == this)
        UnbindMenuCommands();
}

CMainFrame* CTavroController::MainFrame() const
{
    return qobject_cast<CMainFrame*>(m_view.window());
}

void CTavroController::OnFocus(bool gained)
{
    SECEditController::OnFocus(gained);
    // A menu taking the focus for a moment leaves the items bound to this pane.
    if (gained && g_menuController != this) {
        if (g_menuController)
            g_menuController->UnbindMenuCommands();
        BindMenuCommands();
    }
    UpdateMenuCommands();
}

bool CTavroController::OnCommand(int id)
{
    const bool done = SECEditController::OnCommand(id);
    // Commands that change only the selection move no caret; the menu still follows.
    OnCaretChanged();
    return done;
}

void CTavroController::BindMenuCommands()
{
    CMainFrame* frame = MainFrame();
    if (!frame)
        return;
    g_menuController = this;
    for (const auto& [menuId, editorId] : kMenuCommands) {
        QAction* action = frame->Action(menuId);
        if (!action)
            continue;
        const int command = editorId;
        const bool indent = IsIndentCommand(menuId);
        m_menuConnections.append(QObject::connect(action, &QAction::triggered, &m_view, [this, command, indent] {
            // The indent items act only on a selection.
            if (!indent || HasSelectionNow())
                OnCommand(command);
        }));
    }
    if (QAction* whitespace = frame->Action(TavroCmd::ShowWhitespace))
        m_menuConnections.append(
            QObject::connect(whitespace, &QAction::triggered, &m_view, [this] { ToggleWhitespace(); }));
    if (QAction* numbers = frame->Action(TavroCmd::ShowLineNumbers))
        m_menuConnections.append(
            QObject::connect(numbers, &QAction::triggered, &m_view, [this] { ToggleLineNumbers(); }));
}

void CTavroController::UnbindMenuCommands()
{
    for (const QMetaObject::Connection& connection : std::as_const(m_menuConnections))
        QObject::disconnect(connection);
    m_menuConnections.clear();
    if (g_menuController == this)
        g_menuController = nullptr;
    if (CMainFrame* frame = MainFrame()) {
        for (const auto& [menuId, editorId] : kMenuCommands)
            if (QAction* action = frame->Action(menuId))
                action->setEnabled(false);
        for (int id : {TavroCmd::ShowWhitespace, TavroCmd::ShowLineNumbers}) {
            if (QAction* action = frame->Action(id)) {
                action->setChecked(false);
                action->setEnabled(false);
            }
        }
    }
}

void CTavroController::UpdateViewCommands(CMainFrame& frame)
{
    // A checkable action checks itself when triggered; the pane decides.
    if (QAction* whitespace = frame.Action(TavroCmd::ShowWhitespace)) {
        whitespace->setEnabled(GetEdit() != nullptr);
        whitespace->setChecked(m_bShowWhitespace != 0);
    }
    if (QAction* numbers = frame.Action(TavroCmd::ShowLineNumbers)) {
        numbers->setEnabled(GetEdit() != nullptr);
        numbers->setChecked(GetGutterSettings().mode != SECEditGutterSettings::MarksOnly);
    }
}

bool CTavroController::ToggleWhitespace()
{
    OnCommand(ID_EDIT_SHOW_WHITESPACE);
    const SECEditLangSettings* config = GetLangConfig();
    const auto* language = dynamic_cast<const SECEditLangConfig*>(config);
    m_bShowWhitespace = language && language->GetShowWhitespace() ? 1 : 0;
    UpdateMenuCommands();
    return m_bShowWhitespace != 0;
}

void CTavroController::ToggleLineNumbers()
{
    SetGutterMode(GetGutterSettings().mode == SECEditGutterSettings::MarksOnly
                      ? SECEditGutterSettings::MarksAndNumbers
                      : SECEditGutterSettings::MarksOnly);
    if (SECEditViewport* viewport = GetViewport())
        viewport->UpdateScrollRanges(); // the text moves right or left with the gutter
    UpdateCaretDisplay();
    UpdateMenuCommands();
}

void CTavroController::UpdateMenuCommands()
{
    if (g_menuController != this)
        return;
    CMainFrame* frame = MainFrame();
    if (!frame)
        return;
    UpdateViewCommands(*frame);
    Q_EMIT frame->paneStateChanged();
    const bool writable = !IsReadOnly();
    for (const auto& [menuId, editorId] : kMenuCommands) {
        QAction* action = frame->Action(menuId);
        if (!action)
            continue;
        bool enabled = IsCommandEnabled(editorId);
        if (IsIndentCommand(menuId))
            enabled = HasSelectionNow();
        if (editorId != ID_EDIT_SELECT_ALL && editorId != ID_EDIT_COPY && editorId != ID_EDIT_COLUMN_MODE)
            enabled = enabled && writable;
        action->setEnabled(enabled);
        if (editorId == ID_EDIT_COLUMN_MODE)
            action->setChecked(IsColumnMode());
    }
}

void CTavroController::OnCaretChanged()
{
    UpdateMenuCommands();
    // Only the pane the user works in speaks for the status bar.
    if (!IsCaretCreated())
        return;
    if (CMainFrame* frame = MainFrame())
        frame->SetLineColumn(GetCaretPos().line + 1, GetCaretDisplayColumn() + 1);
}

void CTavroController::OnOvertypeChanged()
{
    if (CMainFrame* frame = MainFrame())
        frame->SetOverwrite(GetEdit() && GetEdit()->GetOvertype());
}

void CTavroController::CopyToClipboard(const SECEditTransfer& data)
{
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (!clipboard)
        return;
    if (data.text.empty())
        clipboard->clear();
    else
        clipboard->setMimeData(SECEditMimeData::Make(data));
}

bool CTavroController::ReadClipboard(SECEditTransfer& data) const
{
    const QClipboard* clipboard = QGuiApplication::clipboard();
    const QMimeData* mime = clipboard ? clipboard->mimeData() : nullptr;
    return mime && SECEditMimeData::Read(*mime, data);
}

bool CTavroController::ClipboardHasText() const
{
    return g_clipboardHasText;
}

void CTavroController::SetPrimarySelection(const std::u16string& text)
{
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (clipboard && clipboard->supportsSelection())
        clipboard->setText(QString::fromUtf16(text.data(), qsizetype(text.size())), QClipboard::Selection);
}

bool CTavroController::ReadPrimarySelection(std::u16string& text) const
{
    const QClipboard* clipboard = QGuiApplication::clipboard();
    if (!clipboard || !clipboard->supportsSelection())
        return false;
    const QString value = clipboard->text(QClipboard::Selection);
    text.assign(reinterpret_cast<const char16_t*>(value.utf16()), std::size_t(value.size()));
    return true;
}

void CTavroController::PostCaretLineLeft()
{
    // Runs after the command that moved the caret, never inside an edit's notification.
    QTimer::singleShot(0, &m_view, [this] { OnCommand(ID_EDIT_CARET_LINE_LEFT); });
}

void CTavroController::RunLanguageConfigDialog()
{
    // The same dialog as Tools > Font and Colors, for this pane's document.
    CMainFrame* frame = MainFrame();
    QAction* action = frame ? frame->Action(TavroCmd::ChooseFont) : nullptr;
    if (action && action->isEnabled())
        action->trigger();
}

void CTavroController::InsertAtCaret(std::u16string_view text)
{
    SECEdit* edit = GetEdit();
    if (!edit || IsReadOnly() || IsMouseDragging())
        return;
    if (text.empty() && !HasSelection())
        return; // no edit, and no empty step in the undo history
    const bool wasModified = edit->IsModified();
    SECEditTextPos start = GetCaretPos();
    if (HasSelection())
        start = std::min(GetAnchor(), GetActiveEnd());
    ReplaceSelection(text);
    // The caret goes after the text, whether or not the pane followed the
    // edit itself (it doesn't while a menu or dialog has the focus).
    SECEditTextPos end = start;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == u'\r' || text[i] == u'\n') {
            if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
                ++i;
            ++end.line;
            end.column = 0;
        } else {
            ++end.column;
        }
    }
    MoveCaretTo(end.line, end.column);
    RememberCaretX();
    EnsureCaretVisible();
    // The engine settles its modified flag after telling the panes of the
    // edit; the title's mark needs one more word when it flipped.
    if (edit->IsModified() != wasModified) {
        SECEditMsg message(SECEditMsg::InvalidateGutter);
        edit->UpdateAllObservers(nullptr, &message);
    }
}
