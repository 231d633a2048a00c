// The mouse: placing the caret and selecting by pointer, the gutter, column
// blocks dragged out with Alt, auto-scroll, the pointer's shape and the
// context menu.

#include "controller/SECEditController.h"
#include "controller/SECEditCommandIds.h"
#include "engine/SECEdit.h"
#include "view/SECEditViewport.h"

#include <algorithm>
#include <cstdlib>

namespace {
bool Has(int modifiers, Qt::KeyboardModifier modifier)
{
    return (modifiers & modifier) != 0;
}
} // namespace

// --- Helpers ------------------------------------------------------------------------------------

PixelPoint SECEditController::WindowToDocument(int x, int y) const
{
    const PixelPoint origin = m_viewport ? m_viewport->GetOrigin() : PixelPoint{};
    return {x + origin.x, y + origin.y};
}

void SECEditController::MoveCaretToPoint(int x, int y)
{
    // A point over the gutter counts as one at the start of its line.
    const SECEditTextPos pos = PositionFromPoint(WindowToDocument(std::max(x, GetTextLeft()), y), true);
    MoveCaretTo(pos.line, pos.column);
}

bool SECEditController::IsInSelection(SECEditTextPos pos) const
{
    if (!HasSelection() || m_mode == ColumnDragRect)
        return false;
    SECEditTextRange range;
    if (!GetSelectionRange(range, true) || pos < range.start || range.end < pos)
        return false;
    if (m_mode != ColumnSelection)
        return true;
    int left = 0;
    int right = 0;
    return GetColumnSelectionSpan(pos.line, left, right) && pos.column >= left && pos.column <= right;
}

PixelRect SECEditController::GetColumnRect() const
{
    if (m_mode != ColumnDragRect)
        return {};
    // The moving corner stands at the top of its line; the block covers that line too.
    return {std::min(m_rectAnchor.x, m_rectMoving.x), std::min(m_rectAnchor.y, m_rectMoving.y),
            std::max(m_rectAnchor.x, m_rectMoving.x), std::max(m_rectAnchor.y, m_rectMoving.y) + LineHeight()};
}

void SECEditController::InvalidateColumnRect()
{
    const PixelRect r = GetColumnRect();
    if (!r.IsEmpty())
        RepaintLines(r.top / LineHeight(), (r.bottom - 1) / LineHeight());
}

void SECEditController::OfferPrimarySelection()
{
    int sl = 0, sc = 0, el = 0, ec = 0;
    // A huge selection is not copied on every change; Copy still takes it.
    constexpr int kMostLines = 100000;
    if (!HasSelectionNow() || !GetSelection(sl, sc, el, ec) || el - sl > kMostLines)
        return;
    const std::u16string text = GetSelectedText();
    if (!text.empty())
        SetPrimarySelection(text);
}

// --- Buttons ------------------------------------------------------------------------------------

void SECEditController::OnMouseDown(int x, int y, int modifiers, bool doubleClick)
{
    if (!m_viewport)
        return;
    const bool inGutter = x < GetTextLeft();
    if (doubleClick) {
        if (inGutter) {
            if (!Has(modifiers, Qt::ControlModifier))
                ClearSelection(true);
            return;
        }
        // The press before it placed the caret; a drag it may have armed is off.
        m_dragPending = false;
        ClearSelection(true);
        MoveCaretToPoint(x, y);
        SelectWord();
        OfferPrimarySelection();
        return;
    }
    if (inGutter)
        PressInGutter(y, modifiers);
    else
        PressInText(x, y, modifiers);
}

void SECEditController::PressInGutter(int y, int modifiers)
{
    ClearSelection(true);
    if (Has(modifiers, Qt::ControlModifier)) {
        SelectAll();
        SuspendAutoScroll(false);
        MoveCaretTo(LastLine(), LineLength(LastLine()));
        SuspendAutoScroll(true);
        OfferPrimarySelection();
        return;
    }
    const int line = std::clamp(WindowToDocument(0, y).y / LineHeight(), 0, LastLine());
    MoveCaretTo(line, 0);
    EnsureCaretVisible();
    RememberCaretX();
    SetSelection({line, 0}, {line, 0}, LineSelection);
    m_dragAnchor = {line, 0};
    m_mouseDragging = true;
    if (m_host) {
        m_host->StartTimer(DragTimerId, DragTimerPeriod);
        m_dragTimerRunning = true;
    }
}

void SECEditController::PressInText(int x, int y, int modifiers)
{
    const bool shift = Has(modifiers, Qt::ShiftModifier);
    const bool alt = Has(modifiers, Qt::AltModifier);
    const bool ctrl = Has(modifiers, Qt::ControlModifier);
    const PixelPoint point = WindowToDocument(std::max(x, GetTextLeft()), y);
    const SECEditTextPos at = PositionFromPoint(point, true);
    if (HasSelection() && !shift && IsInSelection(at)) {
        // Moving on drags the selection; releasing at once places the caret.
        m_dragPending = true;
        m_pressPoint = {x, y};
        m_mouseDragging = true;
        return;
    }
    // Alt+Shift is the column gesture for desktops that keep Alt+drag for themselves.
    const bool columnDrag = alt || m_columnMode;
    if (HasSelection() && (!shift || (alt && shift)))
        ClearSelection(true);
    const SECEditTextPos old = m_caret;
    MoveCaretToPoint(x, y);
    EnsureCaretVisible();
    RememberCaretX();
    if (shift && !alt) {
        if (!HasSelection()) {
            m_anchor = old;
            m_mode = m_columnMode ? ColumnSelection : StreamSelection;
        }
        const SECEditTextPos previous = m_active;
        m_active = m_caret;
        RepaintLines(previous.line, m_active.line);
        m_dragAnchor = m_anchor;
    } else if (ctrl) {
        SelectWord();
        OfferPrimarySelection();
        return;
    } else {
        m_anchor = m_active = m_dragAnchor = m_caret;
        m_mode = columnDrag ? ColumnDragRect : StreamSelection;
        m_rectAnchor = m_rectMoving = CaretPoint();
    }
    m_mouseDragging = true;
    if (m_host) {
        m_host->StartTimer(DragTimerId, DragTimerPeriod);
        m_dragTimerRunning = true;
    }
}

void SECEditController::OnMouseMove(int x, int y)
{
    if (!m_mouseDragging || !m_viewport)
        return;
    if (m_dragPending) {
        const int distance = m_host ? m_host->GetDragStartDistance() : 4;
        if (std::abs(x - m_pressPoint.x) + std::abs(y - m_pressPoint.y) < distance)
            return;
        m_dragPending = false;
        m_mouseDragging = false;
        MoveCaretToPoint(m_pressPoint.x, m_pressPoint.y);
        StartDrag();
        if (m_viewport)
            m_viewport->InvalidateLineRange(0, LastLine());
        return;
    }
    const SECEditTextPos before = m_caret;
    const SECEditTextPos pos = PositionFromPoint(WindowToDocument(std::max(x, GetTextLeft()), y), true);
    if (m_mode == LineSelection && x >= GetTextLeft())
        m_mode = StreamSelection; // from the gutter into the text: an ordinary selection
    if (pos == before && m_mode != ColumnDragRect)
        return;
    MoveCaretTo(pos.line, pos.column);
    EnsureCaretVisible();
    if (!HasSelection() && m_mode != ColumnDragRect && m_mode != LineSelection) {
        m_anchor = m_dragAnchor;
        m_mode = StreamSelection;
    }
    const SECEditTextPos previous = m_active;
    m_active = m_caret;
    if (m_mode == ColumnDragRect) {
        InvalidateColumnRect();
        m_rectMoving = {std::max(WindowToDocument(x, y).x, GetTextLeft()), CaretPoint().y};
        InvalidateColumnRect();
    } else {
        RepaintLines(previous.line, m_active.line);
    }
    RememberCaretX();
}

void SECEditController::OnMouseUp()
{
    const bool wasDragging = m_mouseDragging;
    m_mouseDragging = false;
    if (m_dragTimerRunning && m_host)
        m_host->StopTimer(DragTimerId);
    m_dragTimerRunning = false;
    if (m_dragPending) {
        // A click inside the selection without a drag: the caret goes there.
        m_dragPending = false;
        ClearSelection(true);
        MoveCaretToPoint(m_pressPoint.x, m_pressPoint.y);
        RememberCaretX();
    } else if (wasDragging && m_mode == LineSelection && m_anchor <= m_active) {
        // The caret goes below the lines a gutter drag took.
        MoveCaretTo(m_caret.line, 0);
        m_desiredX = 0;
        ApplyMove(Move::LineDown);
    } else if (m_mode == ColumnDragRect) {
        InvalidateColumnRect();
        m_mode = ColumnSelection;
        m_active = m_caret;
        if (DisplayColumn(m_anchor.line, m_anchor.column) == DisplayColumn(m_active.line, m_active.column))
            ClearSelection(true);
        RepaintSelection();
    }
    if (wasDragging)
        OfferPrimarySelection();
    // The selection may now be edited; the application's menu follows.
    NotifyCaret();
}

void SECEditController::OnTimer(int id)
{
    if (id != DragTimerId || !m_mouseDragging || !m_host)
        return;
    // The button is held: keep selecting toward the pointer, which scrolls
    // the pane when the pointer is outside it.
    const PixelPoint p = m_host->GetPointerPos();
    OnMouseMove(p.x, p.y);
}

void SECEditController::OnMiddleClick(int x, int y)
{
    std::u16string text;
    if (Guarded() || !ReadPrimarySelection(text) || text.empty())
        return;
    ClearSelection(true);
    MoveCaretToPoint(x, y);
    const bool wasModified = GetEdit() && GetEdit()->IsModified();
    ReplaceSelection(text);
    AnnounceModifiedChange(wasModified);
}

int SECEditController::GetCursorShape(int x, int y) const
{
    if (x < GetTextLeft())
        return GutterCursor;
    if (HasSelection() && !m_mouseDragging &&
        IsInSelection(PositionFromPoint(WindowToDocument(x, y), true)))
        return ArrowCursor;
    return TextCursor;
}

// --- Context menu -------------------------------------------------------------------------------

std::vector<SECEditMenuItem> SECEditController::GetContextMenuItems() const
{
    const auto item = [this](int id, const char16_t* label) {
        return SECEditMenuItem{id, label, id == ID_EDIT_SELECT_ALL || IsCommandEnabled(id)};
    };
    return {item(ID_EDIT_UNDO, u"&Undo"), item(ID_EDIT_REDO, u"&Redo"), SECEditMenuItem{},
            item(ID_EDIT_CUT, u"Cu&t"),   item(ID_EDIT_COPY, u"&Copy"), item(ID_EDIT_PASTE, u"&Paste"),
            SECEditMenuItem{},            item(ID_EDIT_SELECT_ALL, u"Select &All")};
}

void SECEditController::OnContextMenu(int x, int y, bool fromKeyboard)
{
    if (fromKeyboard) {
        x = 5;
        y = 5;
    } else {
        const SECEditTextPos at = PositionFromPoint(WindowToDocument(std::max(x, GetTextLeft()), y), true);
        if (!IsInSelection(at)) {
            ClearSelection(true);
            MoveCaretTo(at.line, at.column);
            EnsureCaretVisible();
            RememberCaretX();
        }
    }
    if (!m_host)
        return;
    const int chosen = m_host->RunPopupMenu(x, y, GetContextMenuItems());
    if (chosen != 0)
        OnCommand(chosen);
}
