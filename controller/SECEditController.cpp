// The controller's frame: construction, shared helpers, change notifications,
// key input and the command table.

#include "controller/SECEditController.h"
#include "controller/SECEditControllerInternal.h"
#include "controller/SECEditCommandIds.h"
#include "engine/SECEdit.h"
#include "engine/SECEditCommand.h"
#include "engine/SECEditLangSettings.h"
#include "engine/SECEditMsg.h"
#include "engine/SECEditReplaceCommand.h"
#include "syntax/SECEditLangConfig.h"
#include "view/SECEditViewport.h"

#include <algorithm>

using namespace ControllerDetail;

SECEditController::SECEditController(SECEditViewport* viewport) : m_viewport(viewport) {}

SECEditController::~SECEditController()
{
    // A pane closed while its text is being dragged.
    if (s_dragSource == this)
        s_dragSource = nullptr;
}

SECEdit* SECEditController::GetEdit() const
{
    return m_viewport ? m_viewport->GetEdit() : nullptr;
}

SECEditLangSettings* SECEditController::GetLangConfig() const
{
    SECEdit* edit = GetEdit();
    return edit ? edit->GetLangConfig() : nullptr;
}

// --- Small helpers -------------------------------------------------------------

int SECEditController::LineLength(int line) const
{
    SECEdit* edit = GetEdit();
    return edit ? std::max(0, edit->GetLineLength(line)) : 0;
}

int SECEditController::LastLine() const
{
    SECEdit* edit = GetEdit();
    return edit ? std::max(0, edit->GetLineCount() - 1) : 0;
}

int SECEditController::TabSize() const
{
    SECEdit* edit = GetEdit();
    return edit ? std::max(1, edit->GetTabSize()) : 4;
}

int SECEditController::LineHeight() const
{
    return m_viewport ? std::max(1, m_viewport->GetLineHeight()) : 1;
}

int SECEditController::DisplayColumn(int line, int column) const
{
    SECEdit* edit = GetEdit();
    if (!edit)
        return column;
    const int length = LineLength(line);
    const int measured = std::min(column, length);
    return std::max(0, edit->ConvertColumn(measured, 0, line)) + (column - measured);
}

int SECEditController::GetCaretDisplayColumn() const
{
    return DisplayColumn(m_caret.line, m_caret.column);
}

std::u16string SECEditController::FormatPosition() const
{
    const std::string text =
        "Ln " + std::to_string(m_caret.line + 1) + ", Col " + std::to_string(GetCaretDisplayColumn() + 1);
    return std::u16string(text.begin(), text.end());
}

void SECEditController::RepaintLines(int first, int last)
{
    if (m_viewport)
        m_viewport->InvalidateLineRange(std::min(first, last), std::max(first, last));
}

void SECEditController::RepaintSelection()
{
    if (HasSelection())
        RepaintLines(std::min(m_anchor.line, m_active.line), std::max(m_anchor.line, m_active.line));
}

void SECEditController::NotifyCaret()
{
    OnCaretChanged();
    if (m_caretListener)
        m_caretListener();
}

bool SECEditController::IsReadOnly() const
{
    SECEdit* edit = GetEdit();
    return !edit || edit->IsReadOnly();
}

int SECEditController::ClassOf(char16_t c) const
{
    if (c == u' ' || c == u'\t')
        return Blank;
    const SECEditLangSettings* config = GetLangConfig();
    return config && config->IsCharInClass(c, Delimiter) ? DelimiterClass : Word;
}

// --- Geometry ----------------------------------------------------------------

int SECEditController::GetTextLeft() const
{
    return m_viewport ? m_viewport->GetTextLeft() : 0;
}

PixelPoint SECEditController::PointFromPosition(SECEditTextPos pos) const
{
    return m_viewport ? m_viewport->PointFromPosition(pos) : PixelPoint{};
}

SECEditTextPos SECEditController::PositionFromPoint(PixelPoint point, bool roundTabs) const
{
    return m_viewport ? m_viewport->PositionFromPoint(point, roundTabs, IsVirtualSpaceAllowed()) : SECEditTextPos{};
}

int SECEditController::GetTextExtent(std::u16string_view text, int offset) const
{
    return m_viewport ? m_viewport->MeasureText(text, offset) : 0;
}

// --- Notifications -------------------------------------------------------------------

void SECEditController::OnUpdate(ISubject*, IMessage* message)
{
    if (!message)
        return;
    if (message->GetMessageId() == SECEditMsg::InitController) {
        InitControllerState();
        return;
    }
    if (const SECEditCommand* command = SECEditCommand::FromMessage(message))
        FollowEdit(*command);
    else if (const SECEditReplaceCommand* replace = SECEditReplaceCommand::FromMessage(message))
        FollowReplace(*replace);
}

void SECEditController::InitControllerState()
{
    m_anchor = {};
    m_active = {};
    m_mode = StreamSelection;
    m_desiredX = 0;
    m_desiredXFollowsCaret = false;
    m_caretBeyondEnd = false;
    m_mouseDragging = false;
    m_autoScrollSuspensions = 0;
    m_markLine = 0;
    ForgetLastTyping();
    m_caret = {};
    MoveCaretTo(0, 0);
}

void SECEditController::FollowEdit(const SECEditCommand& command)
{
    const SECEditTextRange range = command.GetRange().Normalized();
    const bool present = command.IsTextPresent();
    if (m_caretCreated) {
        m_caret = present ? range.end : range.start;
        m_desiredXFollowsCaret = true;
    } else {
        m_caret.AdjustForEdit(range, present);
    }
    m_caretPointKnown = false;
    if (HasSelection()) {
        m_anchor.AdjustForEdit(range, present);
        m_active.AdjustForEdit(range, present);
    }
    if (m_caretCreated) {
        ClearSelection(true);
        EnsureCaretVisible();
    }
    UpdateCaretDisplay();
}

void SECEditController::FollowReplace(const SECEditReplaceCommand& command)
{
    // The same end as following each replacement's deletion and insertion.
    if (m_caretCreated) {
        m_caret = command.GetCaretAfter();
        m_desiredXFollowsCaret = true;
    } else {
        m_caret = command.Map(m_caret);
    }
    m_caretPointKnown = false;
    if (HasSelection()) {
        m_anchor = command.Map(m_anchor);
        m_active = command.Map(m_active);
    }
    if (m_caretCreated) {
        ClearSelection(true);
        EnsureCaretVisible();
    }
    UpdateCaretDisplay();
}

// --- Key input -------------------------------------------------------------------------------

bool SECEditController::IsKeyBound(int key, int modifiers) const
{
    const int id = m_keys.Find(key, Qt::KeyboardModifiers(modifiers));
    return id != 0 && HandlesCommand(id);
}

bool SECEditController::OnKeyDown(int key, int modifiers)
{
    const int id = m_keys.Find(key, Qt::KeyboardModifiers(modifiers));
    if (id == 0 || !HandlesCommand(id))
        return false;
    // A disabled command still consumes its key, as a menu shortcut would.
    OnCommand(id);
    return true;
}

bool SECEditController::OnChar(std::u16string_view text)
{
    if (text.empty())
        return false;
    std::u16string typed;
    for (char16_t c : text)
        if (c >= 32 && c != 0x7F)
            typed += c;
    if (typed.empty())
        return false;
    if (!Guarded()) {
        const bool wasModified = GetEdit() && GetEdit()->IsModified();
        TypeText(typed);
        AnnounceModifiedChange(wasModified);
    }
    return true;
}

void SECEditController::OnFocus(bool gained)
{
    if (gained) {
        CreateEditCaret();
        MoveCaretTo(m_caret.line, m_caret.column, m_caretBeyondEnd);
    } else {
        // A drag ends with the focus, as if the button were released.
        if (m_mouseDragging)
            OnMouseUp();
        DestroyEditCaret();
    }
    if (!m_keepsFocusLook)
        RepaintSelection();
}

// --- Commands --------------------------------------------------------------------------------

bool SECEditController::HandlesCommand(int id) const
{
    switch (id) {
    case ID_EDIT_SELECT_WORD: case ID_EDIT_DELETE_WORD_BACK: case ID_EDIT_WORD_LEFT_EXTEND:
    case ID_EDIT_WORD_LEFT: case ID_EDIT_WORD_RIGHT: case ID_EDIT_TAB: case ID_EDIT_BACKSPACE:
    case ID_EDIT_NEWLINE: case ID_EDIT_DELETE_WORD: case ID_EDIT_DELETE_CHAR: case ID_EDIT_WORD_RIGHT_EXTEND:
    case ID_EDIT_DOC_END_EXTEND: case ID_EDIT_DOC_START_EXTEND: case ID_EDIT_DOC_END: case ID_EDIT_DOC_START:
    case ID_EDIT_TOGGLE_OVERTYPE: case ID_EDIT_LINE_UP: case ID_EDIT_LINE_DOWN: case ID_EDIT_CHAR_LEFT:
    case ID_EDIT_CHAR_RIGHT: case ID_EDIT_LINE_UP_EXTEND: case ID_EDIT_LINE_DOWN_EXTEND:
    case ID_EDIT_CHAR_LEFT_EXTEND: case ID_EDIT_CHAR_RIGHT_EXTEND: case ID_EDIT_PAGE_UP: case ID_EDIT_PAGE_DOWN:
    case ID_EDIT_PAGE_UP_EXTEND: case ID_EDIT_PAGE_DOWN_EXTEND: case ID_EDIT_LINE_HOME: case ID_EDIT_LINE_END:
    case ID_EDIT_LINE_HOME_EXTEND: case ID_EDIT_SHOW_WHITESPACE: case ID_EDIT_LINE_END_EXTEND:
    case ID_EDIT_LANG_CONFIG:
    case ID_EDIT_LINE_CUT: case ID_EDIT_LINE_DELETE: case ID_EDIT_LOWERCASE: case ID_EDIT_UPPERCASE:
    case ID_EDIT_UNTAB: case ID_EDIT_CANCEL: case ID_EDIT_SCROLL_DOWN: case ID_EDIT_SCROLL_UP:
    case ID_EDIT_SELECT_ALL: case ID_EDIT_UNDO: case ID_EDIT_REDO:
    case ID_EDIT_COPY: case ID_EDIT_CUT: case ID_EDIT_PASTE: case ID_EDIT_CARET_LINE_LEFT:
    case ID_EDIT_COLUMN_MODE:
        return true;
    default:
        return SECEditFindReplace::HandlesCommand(id);
    }
}

bool SECEditController::IsCommandEnabled(int id) const
{
    SECEdit* edit = GetEdit();
    switch (id) {
    case ID_EDIT_UNDO:
        return edit && !IsReadOnly() && edit->PeekUndo() != nullptr;
    case ID_EDIT_REDO:
        return edit && !IsReadOnly() && edit->PeekRedo() != nullptr;
    case ID_EDIT_LOWERCASE:
    case ID_EDIT_UPPERCASE:
        return HasSelectionNow();
    case ID_EDIT_COPY:
        // Without a selection Copy takes the caret's line; only an empty document has none.
        return edit && (edit->GetLineCount() > 1 || LineLength(0) > 0 || HasSelectionNow());
    case ID_EDIT_CUT:
        return HasSelectionNow() && !IsReadOnly();
    case ID_EDIT_PASTE:
        return !IsReadOnly() && ClipboardHasText();
    default:
        if (SECEditFindReplace::HandlesCommand(id))
            return m_find.IsCommandEnabled(id);
        return HandlesCommand(id);
    }
}

void SECEditController::AnnounceModifiedChange(bool wasModified)
{
    // The engine settles its modified flag only after it has told everyone
    // about the edit (a typed character, a group's end, an undo), so whoever
    // shows the flag hears one more, cheap notification when it flipped.
    SECEdit* edit = GetEdit();
    if (!edit || edit->IsModified() == wasModified)
        return;
    SECEditMsg message(SECEditMsg::InvalidateGutter);
    edit->UpdateAllObservers(nullptr, &message);
}

bool SECEditController::OnCommand(int id)
{
    if (!HandlesCommand(id) || !IsCommandEnabled(id))
        return false;
    // A font, tab or gutter change since the last command moved the caret's pixels.
    m_caretPointKnown = false;
    const bool wasModified = GetEdit() && GetEdit()->IsModified();
    RunCommand(id);
    AnnounceModifiedChange(wasModified);
    switch (id) {
    case ID_EDIT_SELECT_ALL: case ID_EDIT_SELECT_WORD: case ID_EDIT_CHAR_LEFT_EXTEND: case ID_EDIT_CHAR_RIGHT_EXTEND:
    case ID_EDIT_LINE_UP_EXTEND: case ID_EDIT_LINE_DOWN_EXTEND: case ID_EDIT_PAGE_UP_EXTEND:
    case ID_EDIT_PAGE_DOWN_EXTEND: case ID_EDIT_LINE_HOME_EXTEND: case ID_EDIT_LINE_END_EXTEND:
    case ID_EDIT_DOC_START_EXTEND: case ID_EDIT_DOC_END_EXTEND: case ID_EDIT_WORD_LEFT_EXTEND:
    case ID_EDIT_WORD_RIGHT_EXTEND:
        OfferPrimarySelection();
        break;
    default:
        break;
    }
    return true;
}

void SECEditController::RunCommand(int id)
{
    switch (id) {
    case ID_EDIT_CHAR_LEFT: PlainMove(Move::CharLeft); break;
    case ID_EDIT_CHAR_RIGHT: PlainMove(Move::CharRight); break;
    case ID_EDIT_LINE_UP: PlainMove(Move::LineUp); break;
    case ID_EDIT_LINE_DOWN: PlainMove(Move::LineDown); break;
    case ID_EDIT_PAGE_UP: PlainMove(Move::PageUp); break;
    case ID_EDIT_PAGE_DOWN: PlainMove(Move::PageDown); break;
    case ID_EDIT_LINE_HOME: PlainMove(Move::Home); break;
    case ID_EDIT_LINE_END: PlainMove(Move::End); break;
    case ID_EDIT_DOC_START: PlainMove(Move::DocStart); break;
    case ID_EDIT_DOC_END: PlainMove(Move::DocEnd); break;
    case ID_EDIT_WORD_LEFT: PlainMove(Move::WordLeft); break;
    case ID_EDIT_WORD_RIGHT: PlainMove(Move::WordRight); break;
    case ID_EDIT_CHAR_LEFT_EXTEND: ExtendMove(Move::CharLeft); break;
    case ID_EDIT_CHAR_RIGHT_EXTEND: ExtendMove(Move::CharRight); break;
    case ID_EDIT_LINE_UP_EXTEND: ExtendMove(Move::LineUp); break;
    case ID_EDIT_LINE_DOWN_EXTEND: ExtendMove(Move::LineDown); break;
    case ID_EDIT_PAGE_UP_EXTEND: ExtendMove(Move::PageUp); break;
    case ID_EDIT_PAGE_DOWN_EXTEND: ExtendMove(Move::PageDown); break;
    case ID_EDIT_LINE_HOME_EXTEND: ExtendMove(Move::Home); break;
    case ID_EDIT_LINE_END_EXTEND: ExtendMove(Move::End); break;
    case ID_EDIT_DOC_START_EXTEND: ExtendMove(Move::DocStart); break;
    case ID_EDIT_DOC_END_EXTEND: ExtendMove(Move::DocEnd); break;
    case ID_EDIT_WORD_LEFT_EXTEND: ExtendMove(Move::WordLeft); break;
    case ID_EDIT_WORD_RIGHT_EXTEND: ExtendMove(Move::WordRight); break;
    case ID_EDIT_SELECT_ALL: SelectAll(); break;
    case ID_EDIT_SELECT_WORD: SelectWord(); break;
    case ID_EDIT_CANCEL: ClearSelection(true); break;
    case ID_EDIT_SCROLL_DOWN: ScrollLines(1, 0); break;
    case ID_EDIT_SCROLL_UP: ScrollLines(-1, 0); break;
    case ID_EDIT_TOGGLE_OVERTYPE: ToggleOvertype(); break;
    case ID_EDIT_SHOW_WHITESPACE: ToggleShowWhitespace(); break;
    case ID_EDIT_LANG_CONFIG: ConfigureLanguage(); break;
    case ID_EDIT_NEWLINE: OnNewline(); break;
    case ID_EDIT_TAB: OnTab(); break;
    case ID_EDIT_UNTAB: OnUntab(); break;
    case ID_EDIT_BACKSPACE: OnBackspace(); break;
    case ID_EDIT_DELETE_CHAR:
        if (!Guarded())
            DeleteChar();
        break;
    case ID_EDIT_DELETE_WORD: OnDeleteWord(false); break;
    case ID_EDIT_DELETE_WORD_BACK: OnDeleteWord(true); break;
    case ID_EDIT_LINE_CUT: OnLineCutOrDelete(true); break;
    case ID_EDIT_LINE_DELETE: OnLineCutOrDelete(false); break;
    case ID_EDIT_LOWERCASE: OnChangeCase(false); break;
    case ID_EDIT_UPPERCASE: OnChangeCase(true); break;
    case ID_EDIT_CARET_LINE_LEFT: OnCaretLineLeft(); break;
    case ID_EDIT_COPY: OnCopy(); break;
    case ID_EDIT_CUT: OnCut(); break;
    case ID_EDIT_COLUMN_MODE: ToggleColumnMode(); break;
    case ID_EDIT_PASTE: OnPaste(); break;
    case ID_EDIT_UNDO: OnUndoRedo(false); break;
    case ID_EDIT_REDO: OnUndoRedo(true); break;
    default: m_find.OnCommand(id); break;
    }
}

void SECEditController::ToggleOvertype()
{
    if (SECEdit* edit = GetEdit()) {
        edit->SetOvertype(!edit->GetOvertype());
        OnOvertypeChanged();
        NotifyCaret();
    }
}

void SECEditController::ToggleColumnMode()
{
    m_columnMode = !m_columnMode;
    NotifyCaret();
}

void SECEditController::ToggleShowWhitespace()
{
    auto* config = dynamic_cast<SECEditLangConfig*>(GetLangConfig());
    if (!config)
        return;
    config->SetShowWhitespace(!config->GetShowWhitespace());
    // The setting is the language's: every engine using it passes the empty
    // hint on to its panes, which lay out and repaint everything.
    config->UpdateAllObservers(nullptr, nullptr);
}

void SECEditController::ConfigureLanguage()
{
    const bool hadCaret = m_caretCreated;
    if (hadCaret)
        DestroyEditCaret();
    RunLanguageConfigDialog();
    if (hadCaret)
        CreateEditCaret();
    EnsureCaretVisible();
}
