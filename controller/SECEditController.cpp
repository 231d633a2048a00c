#include "controller/SECEditController.h"

#include "controller/SECEditCommandIds.h"
#include "controller/SECEditSearchSettings.h"
#include "engine/CharClass.h"
#include "engine/SECEdit.h"
#include "engine/SECEditCommand.h"
#include "engine/SECEditGroupGuard.h"
#include "engine/SECEditLineMarks.h"
#include "engine/SECEditLangSettings.h"
#include "engine/SECEditMsg.h"
#include "platform/IMessageBox.h"
#include "syntax/SECEditLangConfig.h"
#include "view/SECEditViewport.h"

#include <QChar>

#include <algorithm>

namespace {
enum WordClass { Blank = 0, DelimiterClass = 1, Word = 2 };

bool IsHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

// Restores a caret that an operation destroyed so that edits keep the selection.
class CaretHold
{
public:
    explicit CaretHold(SECEditController& c) : m_c(c), m_had(c.IsCaretCreated())
    {
        if (m_had)
            m_c.DestroyEditCaret();
    }
    ~CaretHold()
    {
        if (m_had)
            m_c.CreateEditCaret();
    }
    CaretHold(const CaretHold&) = delete;
    CaretHold& operator=(const CaretHold&) = delete;

private:
    SECEditController& m_c;
    bool m_had;
};
} // namespace

SECEditController::SECEditController(SECEditViewport* viewport) : m_viewport(viewport) {}

SECEditController::~SECEditController() = default;

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

// --- Presentation state ------------------------------------------------------

bool SECEditController::HasSelection() const
{
    return m_anchor != m_active || m_mode == LineSelection;
}

bool SECEditController::IsColumnSelection() const
{
    return HasSelection() && (m_mode == ColumnSelection || m_mode == ColumnDragRect);
}

bool SECEditController::IsVirtualSpaceAllowed() const
{
    if (IsColumnSelection() || m_forceVirtual)
        return true;
    const auto* config = dynamic_cast<const SECEditLangConfig*>(GetLangConfig());
    return config && config->GetVirtualWhitespace();
}

bool SECEditController::GetSelection(int& startLine, int& startColumn, int& endLine, int& endColumn,
                                     bool keepVirtualColumns) const
{
    if (!HasSelection())
        return false;
    SECEditTextPos start = std::min(m_anchor, m_active);
    SECEditTextPos end = std::max(m_anchor, m_active);
    if (m_mode == LineSelection) {
        start.column = 0;
        if (end.line < LastLine())
            end = {end.line + 1, 0};
        else
            end.column = LineLength(end.line);
    } else if (m_mode == StreamSelection && !keepVirtualColumns) {
        // Columns beyond a line's end hold no text to select.
        start.column = std::min(start.column, LineLength(start.line));
        end.column = std::min(end.column, LineLength(end.line));
    }
    startLine = start.line;
    startColumn = start.column;
    endLine = end.line;
    endColumn = end.column;
    return true;
}

bool SECEditController::GetSelectionRange(SECEditTextRange& range, bool keepVirtualColumns) const
{
    int sl = 0, sc = 0, el = 0, ec = 0;
    if (!GetSelection(sl, sc, el, ec, keepVirtualColumns))
        return false;
    range = SECEditTextRange(sl, sc, el, ec);
    return true;
}

bool SECEditController::GetColumnSelectionSpan(int line, int& startColumn, int& endColumn) const
{
    if (m_mode != ColumnSelection || !m_viewport || !HasSelection())
        return false;
    if (line < std::min(m_anchor.line, m_active.line) || line > std::max(m_anchor.line, m_active.line))
        return false;
    // The block is a band of pixels, so tabs line up on every line.
    const int x1 = m_viewport->PointFromPosition(m_anchor).x;
    const int x2 = m_viewport->PointFromPosition(m_active).x;
    const int y = line * LineHeight();
    startColumn = m_viewport->PositionFromPoint({std::min(x1, x2), y}, true, true).column;
    endColumn = m_viewport->PositionFromPoint({std::max(x1, x2), y}, false, true).column;
    return true;
}

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
}

void SECEditController::InitControllerState()
{
    m_anchor = {};
    m_active = {};
    m_mode = StreamSelection;
    m_desiredX = 0;
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
        m_caretPoint = PointFromPosition(m_caret);
        m_desiredX = m_caretPoint.x;
    } else {
        m_caret.AdjustForEdit(range, present);
        m_caretPoint = PointFromPosition(m_caret);
    }
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

// --- Caret -------------------------------------------------------------------------------

void SECEditController::MoveCaretTo(int line, int column, bool allowVirtual)
{
    // Typing after the caret was placed anew starts a new undo step, even
    // when it comes back to the end of the last run.
    ForgetLastTyping();
    m_forceVirtual = allowVirtual;
    line = std::clamp(line, 0, LastLine());
    column = std::max(0, column);
    if (!IsVirtualSpaceAllowed())
        column = std::min(column, LineLength(line));
    m_forceVirtual = false;
    m_caret = {line, column};
    m_caretPoint = PointFromPosition(m_caret);
    UpdateCaretDisplay();
}

void SECEditController::UpdateCaretDisplay()
{
    m_caretBeyondEnd = m_caret.column > LineLength(m_caret.line);
    if (m_caret.line != m_markLine && !m_inMarkLineHandler && !m_caretLinePosted) {
        m_caretLinePosted = true;
        PostCaretLineLeft();
    }
    NotifyCaret();
}

void SECEditController::OnCaretLineLeft()
{
    m_caretLinePosted = false;
    SECEdit* edit = GetEdit();
    if (!edit)
        return;
    // A line keeps its changed mark while a selection is open on it; the
    // mark goes when the caret leaves it with nothing selected.
    m_inMarkLineHandler = true;
    if (!HasSelection()) {
        if (edit->TestLineMark(m_markLine, SECEditLineMarks::ChangedMark))
            edit->SetLineMark(m_markLine, SECEditLineMarks::ChangedMark, false);
        m_markLine = m_caret.line;
    }
    m_inMarkLineHandler = false;
}

void SECEditController::RememberCaretX()
{
    m_desiredX = m_caretPoint.x;
}

void SECEditController::SuspendAutoScroll(bool resume)
{
    if (!resume)
        ++m_autoScrollSuspensions;
    else if (m_autoScrollSuspensions > 0)
        --m_autoScrollSuspensions;
    if (m_autoScrollSuspensions == 0)
        EnsureCaretVisible();
}

void SECEditController::EnsureCaretVisible()
{
    if (m_autoScrollSuspensions > 0 || !m_viewport)
        return;
    const int width = m_viewport->GetClientWidth();
    const int height = m_viewport->GetClientHeight();
    const int lineHeight = LineHeight();
    const int charWidth = std::max(1, m_viewport->GetAverageCharWidth());
    m_caretPoint = PointFromPosition(m_caret);
    if (width > 0 && height > 0) {
        const PixelPoint origin = m_viewport->GetOrigin();
        const int top = origin.y;
        const int bottom = origin.y + height;
        const int left = origin.x + GetTextLeft();
        const int right = origin.x + width;
        const int x = m_caretPoint.x;
        const int y = m_caretPoint.y;
        int lines = 0;
        if (y < top)
            lines = -((top - y + lineHeight - 1) / lineHeight);
        else if (y + lineHeight > bottom)
            lines = (y + lineHeight - bottom + lineHeight - 1) / lineHeight;
        int columns = 0;
        // Sideways the view overshoots by eight characters, so typing on does
        // not scroll at every key.
        if (x < left)
            columns = -((left - x) / charWidth) - 8;
        else if (x >= right)
            columns = (x - right) / charWidth + 8;
        if (lines != 0 || columns != 0)
            m_viewport->ScrollTo({origin.x + columns * charWidth, origin.y + lines * lineHeight});
    }
    UpdateCaretDisplay();
}

void SECEditController::ScrollLines(int lines, int columns)
{
    if (m_viewport)
        m_viewport->ScrollBy(columns, lines);
    NotifyCaret();
}

void SECEditController::CreateEditCaret()
{
    m_caretCreated = true;
    NotifyCaret();
}

void SECEditController::DestroyEditCaret()
{
    m_caretCreated = false;
    NotifyCaret();
}

bool SECEditController::GetCaretRect(PixelRect& rect) const
{
    if (!m_caretCreated || !m_viewport)
        return false;
    const PixelPoint p = PointFromPosition(m_caret);
    SECEdit* edit = GetEdit();
    int width = 2;
    if (edit && edit->GetOvertype()) {
        // A block over the character the next key replaces.
        std::u16string_view text;
        edit->GetLineText(m_caret.line, text);
        width = m_viewport->GetSpaceWidth();
        if (m_caret.column < int(text.size()) && text[std::size_t(m_caret.column)] != u'\t')
            width = m_viewport->MeasureText(text.substr(std::size_t(m_caret.column), 1), p.x - GetTextLeft());
    }
    // The bar stands just left of the character boundary, except at the text's edge.
    const int x = width == 2 && p.x > GetTextLeft() ? p.x - 1 : p.x;
    rect = {x, p.y, x + std::max(1, width), p.y + LineHeight()};
    return true;
}

// --- Selection -----------------------------------------------------------------------------

bool SECEditController::ClearSelection(bool repaint)
{
    if (!HasSelection()) {
        m_anchor = m_active = {};
        m_mode = StreamSelection;
        return false;
    }
    if (repaint)
        RepaintSelection();
    m_anchor = m_active = {};
    m_mode = StreamSelection;
    return true;
}

void SECEditController::SetSelection(SECEditTextPos anchor, SECEditTextPos active, int mode)
{
    RepaintSelection();
    m_anchor = anchor;
    m_active = active;
    m_mode = mode >= StreamSelection && mode <= ColumnSelection ? mode : StreamSelection;
    RepaintSelection();
}

void SECEditController::ExtendSelectionTo(int line, int column, bool repaint)
{
    if (!HasSelection()) {
        m_anchor = m_active = m_caret;
        m_mode = StreamSelection;
    }
    const SECEditTextPos old = m_active;
    MoveCaretTo(line, column);
    m_active = m_caret;
    if (repaint) {
        RepaintLines(old.line, m_active.line);
        EnsureCaretVisible();
    }
    RememberCaretX();
}

void SECEditController::SelectLines(int first, int last)
{
    ClearSelection(true);
    if (last < 0)
        last = first;
    SetSelection({first, 0}, {last, 0}, LineSelection);
}

void SECEditController::SelectAll()
{
    ClearSelection(true);
    SECEdit* edit = GetEdit();
    if (!edit || edit->GetLineCount() == 0)
        return;
    SuspendAutoScroll(false);
    PlainMove(Move::DocEnd);
    SuspendAutoScroll(true);
    ExtendMove(Move::DocStart);
}

void SECEditController::SelectWord()
{
    std::u16string_view text;
    SECEdit* edit = GetEdit();
    if (!edit || edit->GetLineText(m_caret.line, text) <= 0 || m_caret.column > int(text.size()))
        return;
    const int c = m_caret.column;
    int start = c;
    int end = c;
    // The run around the caret: word characters win over what lies beside them.
    const auto cls = [&](int i) { return ClassOf(text[std::size_t(i)]); };
    if (c < int(text.size()) && cls(c) != Blank) {
        const int k = cls(c);
        while (end < int(text.size()) && cls(end) == k)
            ++end;
        if (k == Word)
            while (start > 0 && cls(start - 1) == Word)
                --start;
    } else if (c > 0 && cls(c - 1) != Blank) {
        const int k = cls(c - 1);
        while (start > 0 && cls(start - 1) == k)
            --start;
    }
    if (start == end)
        return;
    ClearSelection(true);
    SetSelection({m_caret.line, start}, {m_caret.line, end});
    MoveCaretTo(m_caret.line, end);
    RememberCaretX();
}

// --- Word scan -------------------------------------------------------------------------------

bool SECEditController::GetWordAt(int line, int column, bool forward, SECEditTextPos& result,
                                  std::u16string* text) const
{
    SECEdit* edit = GetEdit();
    std::u16string_view lineText;
    if (!edit || line < 0 || column < 0 || edit->GetLineText(line, lineText) < 0 || column > int(lineText.size()))
        return false;
    const int length = int(lineText.size());
    if (text)
        text->clear();
    if (forward) {
        if (column == length) {
            if (line < LastLine()) {
                result = {line + 1, 0};
                if (text)
                    *text = edit->GetLineEndString();
            } else {
                result = {line, column};
            }
            return true;
        }
        const int k = ClassOf(lineText[std::size_t(column)]);
        int end = column;
        while (end < length && ClassOf(lineText[std::size_t(end)]) == k)
            ++end;
        result = {line, end};
        if (text)
            *text = lineText.substr(std::size_t(column), std::size_t(end - column));
        return true;
    }
    if (column == 0) {
        if (line > 0) {
            result = {line - 1, LineLength(line - 1)};
            if (text)
                *text = edit->GetLineEndString();
        } else {
            result = {0, 0};
        }
        return true;
    }
    const int k = ClassOf(lineText[std::size_t(column - 1)]);
    int start = column;
    while (start > 0 && ClassOf(lineText[std::size_t(start - 1)]) == k)
        --start;
    result = {line, start};
    if (text)
        *text = lineText.substr(std::size_t(start), std::size_t(column - start));
    return true;
}

SECEditTextPos SECEditController::WordStepLeft() const
{
    SECEditTextPos at = m_caret;
    const int column = std::min(m_caret.column, LineLength(m_caret.line));
    std::u16string run;
    if (!GetWordAt(m_caret.line, column, false, at, &run))
        return m_caret;
    const bool crossedLine = at.line != m_caret.line;
    const bool crossedBlanks = !crossedLine && !run.empty() && ClassOf(run.front()) == Blank;
    if (at.column > 0 && (crossedLine || crossedBlanks)) {
        SECEditTextPos again = at;
        if (GetWordAt(at.line, at.column, false, again))
            at = again;
    }
    return at;
}

SECEditTextPos SECEditController::WordStepRight() const
{
    SECEditTextPos at = m_caret;
    const int column = std::min(m_caret.column, LineLength(m_caret.line));
    if (!GetWordAt(m_caret.line, column, true, at))
        return m_caret;
    if (at.column < LineLength(at.line)) {
        SECEditTextPos again = at;
        std::u16string run;
        if (GetWordAt(at.line, at.column, true, again, &run) && !run.empty() && ClassOf(run.front()) == Blank)
            at = again;
    }
    return at;
}

// --- Movement ---------------------------------------------------------------------------------

bool SECEditController::ApplyMove(Move move)
{
    SECEdit* edit = GetEdit();
    if (!edit)
        return false;
    const int length = LineLength(m_caret.line);
    std::u16string_view text;
    edit->GetLineText(m_caret.line, text);
    switch (move) {
    case Move::CharLeft: {
        int column = m_caret.column;
        if (column > 0) {
            if (column > length && !IsVirtualSpaceAllowed())
                column = length;
            else
                --column;
            // Never stop between the halves of a surrogate pair.
            if (column > 0 && column < length && IsLowSurrogate(text[std::size_t(column)]) &&
                IsHighSurrogate(text[std::size_t(column - 1)]))
                --column;
            MoveCaretTo(m_caret.line, column);
        } else if (m_caret.line > 0) {
            MoveCaretTo(m_caret.line - 1, LineLength(m_caret.line - 1));
        } else {
            return false;
        }
        break;
    }
    case Move::CharRight:
        if (m_caret.column < length) {
            int column = m_caret.column + 1;
            if (column < length && IsLowSurrogate(text[std::size_t(column)]) &&
                IsHighSurrogate(text[std::size_t(column - 1)]))
                ++column;
            MoveCaretTo(m_caret.line, column);
        } else if (IsVirtualSpaceAllowed()) {
            MoveCaretTo(m_caret.line, m_caret.column + 1, true);
        } else if (m_caret.line < LastLine()) {
            MoveCaretTo(m_caret.line + 1, 0);
        } else {
            return false;
        }
        break;
    case Move::LineUp:
    case Move::LineDown:
        VerticalMove(move == Move::LineUp ? -1 : 1, false);
        return true;
    case Move::PageUp:
    case Move::PageDown: {
        const int visible = m_viewport ? m_viewport->GetClientHeight() / LineHeight() : 0;
        const bool up = move == Move::PageUp;
        if (visible == 0 || (up ? m_caret.line == 0 : m_caret.line >= LastLine()))
            return false;
        VerticalMove(up ? -(visible - 1) : visible - 1, true);
        return true;
    }
    case Move::Home: {
        const int h = edit->CountLeadingBlanks(m_caret.line);
        MoveCaretTo(m_caret.line, h == m_caret.column || h == length ? 0 : h);
        break;
    }
    case Move::End:
        MoveCaretTo(m_caret.line, length);
        break;
    case Move::DocStart:
        MoveCaretTo(0, 0);
        break;
    case Move::DocEnd:
        MoveCaretTo(LastLine(), LineLength(LastLine()));
        break;
    case Move::WordLeft:
    case Move::WordRight: {
        const SECEditTextPos target = move == Move::WordLeft ? WordStepLeft() : WordStepRight();
        if (target == m_caret)
            return false;
        MoveCaretTo(target.line, target.column);
        break;
    }
    }
    EnsureCaretVisible();
    RememberCaretX();
    return true;
}

void SECEditController::VerticalMove(int lines, bool page)
{
    const int target = std::clamp(m_caret.line + lines, 0, LastLine());
    const int delta = target - m_caret.line;
    if (delta != 0) {
        if (page && m_viewport) {
            // The view moves with the caret, so the caret keeps its row on screen.
            const PixelPoint origin = m_viewport->GetOrigin();
            m_viewport->ScrollTo({origin.x, origin.y + delta * LineHeight()});
        }
        const int x = m_keepDesiredX ? m_desiredX : m_caretPoint.x;
        const SECEditTextPos pos = PositionFromPoint({x, m_caretPoint.y + delta * LineHeight()}, true);
        MoveCaretTo(pos.line, pos.column);
    }
    EnsureCaretVisible();
}

void SECEditController::PlainMove(Move move)
{
    ClearSelection(true);
    ApplyMove(move);
}

void SECEditController::ExtendMove(Move move)
{
    if (move == Move::WordLeft || move == Move::WordRight) {
        const SECEditTextPos target = move == Move::WordLeft ? WordStepLeft() : WordStepRight();
        if (target != m_caret)
            ExtendSelectionTo(target.line, target.column, true);
        return;
    }
    if (!HasSelection()) {
        m_anchor = m_active = m_caret;
        m_mode = StreamSelection;
    }
    const SECEditTextPos old = m_active;
    ApplyMove(move);
    m_active = m_caret;
    RepaintLines(old.line, m_active.line);
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
        // A drag ends with the focus.
        m_mouseDragging = false;
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
    case ID_EDIT_LINE_CUT: case ID_EDIT_LINE_DELETE: case ID_EDIT_LOWERCASE: case ID_EDIT_UPPERCASE:
    case ID_EDIT_UNTAB: case ID_EDIT_CANCEL: case ID_EDIT_SCROLL_DOWN: case ID_EDIT_SCROLL_UP:
    case ID_EDIT_SELECT_ALL: case ID_EDIT_UNDO: case ID_EDIT_REDO:
    case ID_EDIT_COPY: case ID_EDIT_CUT: case ID_EDIT_PASTE: case ID_EDIT_CARET_LINE_LEFT:
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
        return edit && edit->PeekUndo() != nullptr;
    case ID_EDIT_REDO:
        return edit && edit->PeekRedo() != nullptr;
    case ID_EDIT_LOWERCASE:
    case ID_EDIT_UPPERCASE:
    case ID_EDIT_COPY:
    case ID_EDIT_CUT:
        return HasSelectionNow();
    case ID_EDIT_PASTE: {
        std::u16string text;
        return ReadClipboard(text) && !text.empty();
    }
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
    m_caretPoint = PointFromPosition(m_caret);
    const bool wasModified = GetEdit() && GetEdit()->IsModified();
    RunCommand(id);
    AnnounceModifiedChange(wasModified);
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
    case ID_EDIT_COPY: OnCopyOrCut(false); break;
    case ID_EDIT_CUT: OnCopyOrCut(true); break;
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

void SECEditController::ToggleShowWhitespace()
{
    auto* config = dynamic_cast<SECEditLangConfig*>(GetLangConfig());
    if (!config)
        return;
    config->SetShowWhitespace(!config->GetShowWhitespace());
    // Every pane of every document of the language repaints.
    if (SECEdit* edit = GetEdit())
        edit->UpdateAllObservers(nullptr, nullptr);
}

// --- Editing ---------------------------------------------------------------------------------

SECEditCommand* SECEditController::LastTypingIfOnTop() const
{
    SECEdit* edit = GetEdit();
    if (!edit || !m_lastTyping)
        return nullptr;
    SECEditCommandBase* top = edit->PeekUndo();
    if (top != m_lastTyping || top->GetSerial() != m_lastTypingSerial)
        return nullptr;
    return m_lastTyping;
}

void SECEditController::TypeText(std::u16string_view text)
{
    SECEdit* edit = GetEdit();
    if (!edit || text.empty())
        return;
    edit->SetCompositeMode(false);
    if (m_caret.column > LineLength(m_caret.line)) {
        ForgetLastTyping();
        FillVirtualSpace();
    }
    if (edit->GetOvertype()) {
        ForgetLastTyping();
        if (m_caret.column >= LineLength(m_caret.line)) {
            ReplaceSelection(text);
            return;
        }
        SECEditGroupGuard group(*edit);
        SuspendAutoScroll(false);
        const bool hadSelection = HasSelectionNow();
        ReplaceSelection(text);
        if (!hadSelection)
            DeleteChar();
        SuspendAutoScroll(true);
        return;
    }
    if (HasSelectionNow()) {
        ReplaceSelection(text);
        ForgetLastTyping();
        return;
    }
    const bool oneCharacter =
        text.size() == 1 || (text.size() == 2 && IsHighSurrogate(text[0]) && IsLowSurrogate(text[1]));
    if (!oneCharacter) {
        ForgetLastTyping();
        PadAndInsert(m_caret.line, m_caret.column, text);
        return;
    }

    // Word characters merge with word characters, blanks and delimiters with
    // each other, so one undo step takes back one word or one gap.
    const auto group = [this](char16_t c) { return ClassOf(c) == Word ? Word : Blank; };
    SECEditCommand* last = LastTypingIfOnTop();
    const bool merge = last && !last->GetText().empty() && last->IsTextPresent() &&
                       last->GetRange().end.line == m_caret.line &&
                       last->GetRange().start.line == m_caret.line &&
                       last->GetRange().start.column + int(last->GetText().size()) == m_caret.column &&
                       edit->IsModified() && group(last->GetText().front()) == group(text.front());

    const SECEditTextPos at = m_caret;
    auto* command = new SECEditCommand(edit, SECEditTextRange(at, at), true, std::u16string(text));
    if (!command->Do()) {
        command->Release();
        return;
    }
    const SECEditTextRange done = command->GetRange();
    if (done.end != SECEditTextPos(at.line, at.column + int(text.size()))) {
        // The line grew past the longest allowed and the engine broke it:
        // a step of its own.
        ForgetLastTyping();
        edit->LogCommand(command);
        return;
    }
    if (merge) {
        last->SetText(last->GetText() + std::u16string(text));
        SECEditTextRange range = last->GetRange();
        range.end.column += int(text.size());
        last->SetRange(range);
        command->Release();
        return;
    }
    if (!edit->LogCommand(command)) {
        command->Release();
        ForgetLastTyping();
        return;
    }
    m_lastTyping = command;
    m_lastTypingSerial = command->GetSerial();
}

std::u16string SECEditController::MakeFill(int line, int fromColumn, int count) const
{
    std::u16string fill;
    if (SECEdit* edit = GetEdit())
        edit->MakeIndentString(fill, count, {line, fromColumn}, true);
    return fill;
}

bool SECEditController::PadAndInsert(int line, int column, std::u16string_view text)
{
    SECEdit* edit = GetEdit();
    if (!edit || line < 0 || line > LastLine())
        return false;
    SECEditGroupGuard group(*edit);
    const int length = LineLength(line);
    if (column > length) {
        const std::u16string fill = MakeFill(line, length, column - length);
        if (!edit->InsertTextAt(line, length, fill))
            return false;
        // Tabs in the fill make it shorter than the columns it spans.
        column = length + int(fill.size());
    }
    return text.empty() || edit->InsertTextAt(line, column, text);
}

void SECEditController::FillVirtualSpace()
{
    SECEdit* edit = GetEdit();
    const int length = LineLength(m_caret.line);
    if (!edit || m_caret.column <= length)
        return;
    const SECEditTextPos anchor = m_anchor;
    const SECEditTextPos active = m_active;
    const int mode = m_mode;
    const int line = m_caret.line;
    const std::u16string fill = MakeFill(line, length, m_caret.column - length);
    edit->InsertTextAt(line, length, fill);
    // The caret stays on the same screen column, now inside the text.
    m_caret = {line, length + int(fill.size())};
    m_caretPoint = PointFromPosition(m_caret);
    m_anchor = anchor;
    m_active = active;
    m_mode = mode;
    UpdateCaretDisplay();
}

SECEditTextPos SECEditController::DeleteSelection()
{
    SECEdit* edit = GetEdit();
    if (!edit || !HasSelection()) {
        ClearSelection(false);
        return m_caret;
    }
    SECEditTextPos start;
    if (m_mode == ColumnSelection) {
        SECEditGroupGuard group(*edit);
        const SECEditTextPos anchor = m_anchor;
        const SECEditTextPos active = m_active;
        start = std::min(anchor, active);
        const int last = std::max(anchor.line, active.line);
        for (int line = start.line; line <= last; ++line) {
            int left = 0;
            int right = 0;
            if (!GetColumnSelectionSpan(line, left, right))
                continue;
            const int length = LineLength(line);
            if (length < left)
                continue;
            right = std::min(right, length);
            if (left < right)
                edit->DeleteText(line, left, line, right);
            // The edit cleared the selection; the next line needs the block.
            m_anchor = anchor;
            m_active = active;
            m_mode = ColumnSelection;
        }
        // The block's left edge on its first line, where a replacement goes.
        int left = 0;
        int right = 0;
        if (GetColumnSelectionSpan(start.line, left, right))
            start.column = left;
    } else {
        int sl = 0, sc = 0, el = 0, ec = 0;
        GetSelection(sl, sc, el, ec, false);
        start = {sl, sc};
        if (SECEditTextPos(sl, sc) != SECEditTextPos(el, ec))
            edit->DeleteText(sl, sc, el, ec);
    }
    ClearSelection(true);
    return start;
}

void SECEditController::ReplaceSelection(std::u16string_view text, bool columnBlock)
{
    SECEdit* edit = GetEdit();
    if (!edit)
        return;
    SECEditGroupGuard group(*edit);
    SuspendAutoScroll(false);
    const SECEditTextPos at = DeleteSelection();
    if (!text.empty()) {
        if (columnBlock)
            InsertColumnBlock(at, text);
        else
            PadAndInsert(at.line, at.column, text);
    }
    SuspendAutoScroll(true);
}

void SECEditController::InsertColumnBlock(SECEditTextPos position, std::u16string_view text)
{
    SECEdit* edit = GetEdit();
    if (!edit || !m_viewport)
        return;
    SECEditGroupGuard group(*edit);
    const PixelPoint origin = PointFromPosition(position);
    int y = origin.y;
    std::size_t from = 0;
    const bool savedForce = m_forceVirtual;
    // Every segment starts at the same screen x, beyond short lines' ends if need be.
    m_forceVirtual = true;
    while (from < text.size()) {
        const std::size_t feed = text.find(u'\n', from);
        if (feed == std::u16string_view::npos)
            break;
        std::u16string_view segment = text.substr(from, feed - from);
        if (!segment.empty() && segment.back() == u'\r')
            segment.remove_suffix(1);
        const SECEditTextPos target = m_viewport->PositionFromPoint({origin.x, y}, true, true);
        const bool wasLast = target.line == LastLine();
        // An empty segment pads nothing: short lines get no trailing blanks.
        if (!segment.empty())
            PadAndInsert(target.line, target.column, segment);
        if (wasLast && text.find(u'\n', feed + 1) != std::u16string_view::npos)
            edit->InsertTextAt(target.line, LineLength(target.line), edit->GetLineEndString());
        y += LineHeight();
        from = feed + 1;
    }
    m_forceVirtual = savedForce;
}

void SECEditController::DeleteChar()
{
    SECEdit* edit = GetEdit();
    if (!edit || Guarded())
        return;
    if (HasSelectionNow()) {
        ReplaceSelection({});
        return;
    }
    // Nothing follows the end of the last line, not even in virtual space.
    if (m_caret.line >= LastLine() && m_caret.column >= LineLength(m_caret.line))
        return;
    FillVirtualSpace();
    const SECEditTextPos at = m_caret;
    std::u16string_view text;
    edit->GetLineText(at.line, text);
    const int length = int(text.size());
    EnsureCaretVisible();
    if (at.column < length) {
        int end = at.column + 1;
        if (end < length && IsHighSurrogate(text[std::size_t(at.column)]) && IsLowSurrogate(text[std::size_t(end)]))
            ++end;
        edit->DeleteText(at.line, at.column, at.line, end);
    } else {
        edit->DeleteText(at.line, at.column, at.line + 1, 0);
    }
}

std::u16string SECEditController::GetSelectedText() const
{
    std::u16string out;
    SECEdit* edit = GetEdit();
    if (!edit || !HasSelection())
        return out;
    if (m_mode == ColumnSelection) {
        const std::u16string lineEnd = edit->GetLineEndString();
        const int first = std::min(m_anchor.line, m_active.line);
        const int last = std::max(m_anchor.line, m_active.line);
        for (int line = first; line <= last; ++line) {
            int left = 0;
            int right = 0;
            std::u16string_view text;
            edit->GetLineText(line, text);
            if (GetColumnSelectionSpan(line, left, right) && left < int(text.size()))
                out += text.substr(std::size_t(left), std::size_t(std::min(right, int(text.size())) - left));
            out += lineEnd;
        }
        return out;
    }
    int sl = 0, sc = 0, el = 0, ec = 0;
    if (GetSelection(sl, sc, el, ec, false))
        edit->GetText(out, sl, sc, el, ec);
    return out;
}

void SECEditController::OnNewline()
{
    SECEdit* edit = GetEdit();
    if (!edit || Guarded())
        return;
    if (edit->GetOvertype()) {
        // Overtype leaves the text alone: the caret goes to the next line's indentation.
        PlainMove(Move::LineDown);
        PlainMove(Move::Home);
        return;
    }
    const std::u16string lineBreak = edit->GetLineEndString();
    int remembered = -1;
    if (HasSelectionNow()) {
        ReplaceSelection(lineBreak);
    } else {
        const int length = LineLength(m_caret.line);
        if (m_caret.column > length) {
            if (edit->IsBlankLine(m_caret.line))
                remembered = DisplayColumn(m_caret.line, m_caret.column);
            MoveCaretTo(m_caret.line, length);
        }
        const SECEditTextPos at = m_caret;
        if (!edit->InsertTextAt(at.line, at.column, lineBreak))
            return;
        if (!m_caretCreated)
            MoveCaretTo(at.line + 1, 0);
    }
    const auto* config = dynamic_cast<const SECEditLangConfig*>(GetLangConfig());
    if (!config || !config->GetAutoIndent() || m_caret.line == 0)
        return;
    const int above = m_caret.line - 1;
    const int width = remembered >= 0 ? remembered : DisplayColumn(above, edit->CountLeadingBlanks(above));
    if (width <= 0)
        return;
    if (LineLength(m_caret.line) == 0) {
        // White space goes in only when something is typed there.
        MoveCaretTo(m_caret.line, width, true);
        return;
    }
    std::u16string indent;
    edit->MakeIndentString(indent, width, m_caret, true);
    const SECEditTextPos at = m_caret;
    PadAndInsert(at.line, at.column, indent);
    if (!m_caretCreated)
        MoveCaretTo(at.line, at.column + int(indent.size()));
}

void SECEditController::PlaceCaretAfterIndent()
{
    SECEditTextRange range;
    if (!GetSelectionRange(range))
        return;
    const bool anchorFirst = m_anchor <= m_active;
    const SECEditTextPos to = anchorFirst ? range.end : range.start;
    m_caret = to;
    m_caretPoint = PointFromPosition(m_caret);
    RememberCaretX();
}

void SECEditController::OnTab()
{
    SECEdit* edit = GetEdit();
    if (!edit || Guarded())
        return;
    const bool selection = HasSelectionNow();
    const bool oneLine = !selection || (m_mode != LineSelection && m_anchor.line == m_active.line);
    const int tab = TabSize();
    if (oneLine) {
        if (edit->GetOvertype() && m_caret.column < LineLength(m_caret.line)) {
            if (tab == 1) {
                PlainMove(Move::CharRight);
                return;
            }
            const int d = GetCaretDisplayColumn();
            const int column = std::max(0, edit->ConvertColumn(d + tab - d % tab, 1, m_caret.line));
            ClearSelection(true);
            MoveCaretTo(m_caret.line, column);
            EnsureCaretVisible();
            RememberCaretX();
            return;
        }
        SECEditGroupGuard group(*edit);
        FillVirtualSpace();
        edit->InsertTab(m_caret.line, m_caret.column);
        return;
    }
    if (m_mode == StreamSelection) {
        // A selection that ends at the start of a line does not take that line in.
        SECEditTextPos& later = m_anchor < m_active ? m_active : m_anchor;
        if (later.column == 0 && later.line > 0)
            later = {later.line - 1, 0};
        m_mode = LineSelection;
    }
    if (m_mode == LineSelection) {
        SECEditGroupGuard group(*edit);
        SuspendAutoScroll(false);
        {
            CaretHold hold(*this);
            const int first = std::min(m_anchor.line, m_active.line);
            const int last = std::max(m_anchor.line, m_active.line);
            for (int line = first; line <= last; ++line)
                if (!edit->IsBlankLine(line))
                    edit->InsertTab(line, 0);
            PlaceCaretAfterIndent();
        }
        SuspendAutoScroll(true);
        RepaintSelection();
        return;
    }
    // A column block over several lines: a tab at the block's left edge on each line.
    SECEditGroupGuard group(*edit);
    CaretHold hold(*this);
    const int left = std::min(m_anchor.column, m_active.column);
    const int right = std::max(m_anchor.column, m_active.column);
    const int top = std::min(m_anchor.line, m_active.line);
    const int bottom = std::max(m_anchor.line, m_active.line);
    int firstTabbed = -1;
    int lastTabbed = -1;
    int display = 0;
    for (int line = top; line <= bottom; ++line) {
        if (!edit->IsValidPosition(line, left))
            continue;
        if (firstTabbed < 0) {
            display = DisplayColumn(line, left);
            edit->InsertTab(line, left);
            firstTabbed = line;
        } else {
            edit->InsertTab(line, std::max(0, edit->ConvertColumn(display, 1, line)));
        }
        lastTabbed = line;
    }
    m_anchor = {firstTabbed >= 0 ? firstTabbed : top, left};
    m_active = {lastTabbed >= 0 ? lastTabbed : bottom, firstTabbed >= 0 ? right + 1 : right};
    m_mode = ColumnSelection;
    RepaintLines(top, bottom);
}

void SECEditController::OnUntab()
{
    SECEdit* edit = GetEdit();
    if (!edit || Guarded() || IsColumnSelection())
        return;
    const int tab = TabSize();
    if (HasSelectionNow() && (m_mode == LineSelection || m_anchor.line != m_active.line)) {
        m_mode = LineSelection;
        SECEditGroupGuard group(*edit);
        SuspendAutoScroll(false);
        {
            CaretHold hold(*this);
            const int first = std::min(m_anchor.line, m_active.line);
            const int last = std::max(m_anchor.line, m_active.line);
            for (int line = first; line <= last; ++line) {
                std::u16string_view text;
                if (edit->GetLineText(line, text) <= 0)
                    continue;
                if (text.front() == u'\t') {
                    edit->DeleteText(line, 0, line, 1);
                    continue;
                }
                int spaces = 0;
                while (spaces < tab && spaces < int(text.size()) && text[std::size_t(spaces)] == u' ')
                    ++spaces;
                if (spaces > 0)
                    edit->DeleteText(line, 0, line, spaces);
            }
            PlaceCaretAfterIndent();
        }
        SuspendAutoScroll(true);
        RepaintSelection();
        return;
    }
    ClearSelection(true);
    if (m_caret.column == 0)
        return;
    if (tab == 1) {
        ApplyMove(Move::CharLeft);
        return;
    }
    const int a = GetCaretDisplayColumn();
    if (a > 0 && a < tab) {
        ApplyMove(Move::Home);
        return;
    }
    const int back = a % tab == 0 ? tab : a % tab;
    const int target = a - back;
    const int length = LineLength(m_caret.line);
    const int displayLength = DisplayColumn(m_caret.line, length);
    const int column = target > displayLength ? length + (target - displayLength)
                                              : std::max(0, edit->ConvertColumn(target, 1, m_caret.line));
    MoveCaretTo(m_caret.line, column, column > length);
    EnsureCaretVisible();
    RememberCaretX();
}

void SECEditController::OnBackspace()
{
    SECEdit* edit = GetEdit();
    if (!edit || Guarded())
        return;
    if (HasSelectionNow()) {
        ReplaceSelection({});
        return;
    }
    if (m_caret == SECEditTextPos(0, 0))
        return;
    const int length = LineLength(m_caret.line);
    if (m_caret.column > length) {
        MoveCaretTo(m_caret.line, length);
        RememberCaretX();
        return;
    }
    ApplyMove(Move::CharLeft);
    DeleteChar();
    EnsureCaretVisible();
}

void SECEditController::OnDeleteWord(bool back)
{
    SECEdit* edit = GetEdit();
    if (!edit || Guarded())
        return;
    SECEditGroupGuard group(*edit);
    ExtendMove(back ? Move::WordLeft : Move::WordRight);
    if (HasSelectionNow())
        ReplaceSelection({});
}

void SECEditController::OnLineCutOrDelete(bool cut)
{
    SECEdit* edit = GetEdit();
    if (!edit || Guarded())
        return;
    if (HasSelectionNow())
        SelectLines(m_anchor.line, m_active.line);
    else
        SelectLines(m_caret.line);
    if (cut)
        CopyToClipboard(GetSelectedText());
    ReplaceSelection({});
}

void SECEditController::OnChangeCase(bool upper)
{
    SECEdit* edit = GetEdit();
    if (!edit || Guarded() || !HasSelectionNow())
        return;
    std::u16string text = GetSelectedText();
    // Character by character, so the text keeps its length and the restored
    // selection covers exactly the converted text.
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (IsHighSurrogate(c) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
            const char32_t code = QChar::surrogateToUcs4(c, text[i + 1]);
            const char32_t mapped = upper ? QChar::toUpper(code) : QChar::toLower(code);
            if (QChar::requiresSurrogates(mapped)) {
                text[i] = QChar::highSurrogate(mapped);
                text[i + 1] = QChar::lowSurrogate(mapped);
            }
            ++i;
            continue;
        }
        const char32_t mapped = upper ? QChar::toUpper(char32_t(c)) : QChar::toLower(char32_t(c));
        if (!QChar::requiresSurrogates(mapped))
            text[i] = char16_t(mapped);
    }
    const SECEditTextPos anchor = m_anchor;
    const SECEditTextPos active = m_active;
    const int mode = m_mode;
    ReplaceSelection(text, mode == ColumnSelection);
    SetSelection(anchor, active, mode);
}

void SECEditController::OnUndoRedo(bool redo)
{
    SECEdit* edit = GetEdit();
    if (!edit || Guarded())
        return;
    SuspendAutoScroll(false);
    if (redo)
        edit->Redo();
    else
        edit->Undo();
    SuspendAutoScroll(true);
    if (edit->HistoryStepFailed()) {
        if (IMessageBox* box = SECEditSearchSettings::Instance().messages)
            box->Show(redo ? u"The change could not be redone: it no longer fits the text. The text is unchanged, "
                             u"and the undo history has been cleared."
                           : u"The change could not be undone: it no longer fits the text. The text is unchanged, "
                             u"and the undo history has been cleared.",
                      IMessageBox::Buttons::Ok, IMessageBox::Icon::Warning);
    }
}

void SECEditController::OnCopyOrCut(bool cut)
{
    if (!HasSelectionNow() || (cut && Guarded()))
        return;
    CopyToClipboard(GetSelectedText());
    if (cut)
        ReplaceSelection({});
}

void SECEditController::OnPaste()
{
    std::u16string text;
    if (Guarded() || !ReadClipboard(text) || text.empty())
        return;
    ReplaceSelection(text);
}

// --- Mouse ------------------------------------------------------------------------------------

void SECEditController::OnMouseDown(int x, int y, int modifiers, bool doubleClick)
{
    if (!m_viewport)
        return;
    const PixelPoint origin = m_viewport->GetOrigin();
    // A press in the gutter counts as one at the start of the line.
    const PixelPoint point{std::max(x, GetTextLeft()) + origin.x, y + origin.y};
    const SECEditTextPos pos = PositionFromPoint(point, true);
    if (doubleClick) {
        ClearSelection(true);
        MoveCaretTo(pos.line, pos.column);
        SelectWord();
        return;
    }
    if ((modifiers & Qt::ShiftModifier) != 0) {
        ExtendSelectionTo(pos.line, pos.column, true);
        m_dragAnchor = m_anchor;
    } else {
        ClearSelection(true);
        MoveCaretTo(pos.line, pos.column);
        RememberCaretX();
        m_dragAnchor = m_caret;
    }
    m_mouseDragging = true;
}

void SECEditController::OnMouseMove(int x, int y)
{
    if (!m_mouseDragging || !m_viewport)
        return;
    const PixelPoint origin = m_viewport->GetOrigin();
    const PixelPoint point{std::max(x, GetTextLeft()) + origin.x, y + origin.y};
    const SECEditTextPos pos = PositionFromPoint(point, true);
    if (pos == m_caret)
        return;
    if (!HasSelection()) {
        m_anchor = m_dragAnchor;
        m_active = m_caret;
        m_mode = StreamSelection;
    }
    ExtendSelectionTo(pos.line, pos.column, true);
}

void SECEditController::OnMouseUp()
{
    m_mouseDragging = false;
    // The selection may now be edited; the application's menu follows.
    NotifyCaret();
}
