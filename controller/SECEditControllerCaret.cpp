// The caret: placing it, keeping it in view, its shape.

#include "controller/SECEditController.h"
#include "engine/SECEdit.h"
#include "engine/SECEditLineMarks.h"
#include "view/SECEditViewport.h"

#include <algorithm>

// --- Caret -------------------------------------------------------------------------------

void SECEditController::MoveCaretTo(int line, int column, bool allowVirtual)
{
    // Typing after the caret was placed anew starts a new undo step, even
    // when it comes back to the end of the last run.
    ForgetLastTyping();
    FixDesiredX();
    m_forceVirtual = allowVirtual;
    line = std::clamp(line, 0, LastLine());
    column = std::max(0, column);
    if (!IsVirtualSpaceAllowed())
        column = std::min(column, LineLength(line));
    m_forceVirtual = false;
    m_caret = {line, column};
    m_caretPointKnown = false;
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
    m_desiredX = CaretPoint().x;
    m_desiredXFollowsCaret = false;
}

PixelPoint SECEditController::CaretPoint() const
{
    if (!m_caretPointKnown) {
        m_caretPoint = PointFromPosition(m_caret);
        m_caretPointKnown = true;
    }
    return m_caretPoint;
}

int SECEditController::DesiredX() const
{
    return m_desiredXFollowsCaret ? CaretPoint().x : m_desiredX;
}

void SECEditController::FixDesiredX()
{
    m_desiredX = DesiredX();
    m_desiredXFollowsCaret = false;
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
    m_caretPointKnown = false;
    const PixelPoint caretPoint = CaretPoint();
    if (width > 0 && height > 0) {
        const PixelPoint origin = m_viewport->GetOrigin();
        const int top = origin.y;
        const int bottom = origin.y + height;
        const int left = origin.x + GetTextLeft();
        const int right = origin.x + width;
        const int x = caretPoint.x;
        const int y = caretPoint.y;
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
    FixDesiredX();
    m_caretCreated = false;
    NotifyCaret();
}

bool SECEditController::GetCaretRect(PixelRect& rect) const
{
    if ((!m_caretCreated && !m_dropCaretShown) || !m_viewport)
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
