// Caret movement: characters, lines, pages, words, and the word scan.

#include "controller/SECEditController.h"
#include "controller/SECEditControllerInternal.h"
#include "engine/SECEdit.h"
#include "view/SECEditViewport.h"

#include <algorithm>

using namespace ControllerDetail;

// --- Word scan -------------------------------------------------------------------------------

bool SECEditController::GetWordAtCaret(int line, int column, std::u16string& text, int& start, int& end) const
{
    text.clear();
    start = end = column;
    SECEdit* edit = GetEdit();
    std::u16string_view lineText;
    if (!edit || line < 0 || column < 0 || edit->GetLineText(line, lineText) <= 0 || column > int(lineText.size()))
        return false;
    const int length = int(lineText.size());
    const auto at = [&](int i) { return lineText[std::size_t(i)]; };
    // Each side: Blank, a run of delimiters (a tab is one on its own) or a run of word characters.
    int left = Blank;
    int leftStart = column;
    if (column > 0 && at(column - 1) != u' ') {
        leftStart = column - 1;
        if (at(leftStart) == u'\t') {
            left = DelimiterClass;
        } else {
            left = ClassOf(at(leftStart));
            while (leftStart > 0 && at(leftStart - 1) != u'\t' && ClassOf(at(leftStart - 1)) == left)
                --leftStart;
        }
    }
    int right = Blank;
    int rightEnd = column;
    if (column < length && at(column) != u' ') {
        rightEnd = column + 1;
        if (at(column) == u'\t') {
            right = DelimiterClass;
        } else {
            right = ClassOf(at(column));
            while (rightEnd < length && at(rightEnd) != u'\t' && ClassOf(at(rightEnd)) == right)
                ++rightEnd;
        }
    }
    if (left == Blank && right == Blank)
        return false;
    if (right == Blank) {
        start = leftStart;
    } else if (left == Blank) {
        end = rightEnd;
    } else if (left == Word && right == Word) {
        start = leftStart;
        end = rightEnd;
    } else {
        // A delimiter run beside the caret counts with its one character next to it.
        end = right == DelimiterClass ? column + 1 : rightEnd;
    }
    text.assign(lineText.substr(std::size_t(start), std::size_t(end - start)));
    return true;
}

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
        const PixelPoint caretPoint = CaretPoint();
        const int x = m_keepDesiredX ? DesiredX() : caretPoint.x;
        const SECEditTextPos pos = PositionFromPoint({x, caretPoint.y + delta * LineHeight()}, true);
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
        m_mode = m_columnMode ? ColumnSelection : StreamSelection;
    }
    const SECEditTextPos old = m_active;
    ApplyMove(move);
    m_active = m_caret;
    RepaintLines(old.line, m_active.line);
}
