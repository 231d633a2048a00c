// The mouse: placing the caret and selecting by pointer.

#include "controller/SECEditController.h"
#include "view/SECEditViewport.h"

#include <algorithm>

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
