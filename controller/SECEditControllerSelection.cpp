// The selection: what it covers, setting and extending it, its text.

#include "controller/SECEditController.h"
#include "controller/SECEditControllerInternal.h"
#include "engine/SECEdit.h"
#include "syntax/SECEditLangConfig.h"
#include "view/SECEditViewport.h"

#include <algorithm>

using namespace ControllerDetail;

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
    if (IsColumnSelection() || m_forceVirtual || m_mode == ColumnDragRect)
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
    std::u16string word;
    int start = 0;
    int end = 0;
    if (!GetWordAtCaret(m_caret.line, m_caret.column, word, start, end) || start < 0 || end < 0 || start == end)
        return;
    ClearSelection(true);
    SetSelection({m_caret.line, start}, {m_caret.line, end});
    MoveCaretTo(m_caret.line, end);
    RememberCaretX();
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
