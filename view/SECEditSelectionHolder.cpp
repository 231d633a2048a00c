#include "view/SECEditSelectionHolder.h"

#include "engine/SECEdit.h"
#include "engine/SECEditCommand.h"
#include "engine/SECEditMsg.h"
#include "engine/SECEditReplaceCommand.h"
#include "view/SECEditViewport.h"

#include <algorithm>

void SECEditSelectionHolder::SetSelection(SECEditTextPos anchor, SECEditTextPos active, int mode)
{
    m_anchor = anchor;
    m_active = active;
    m_mode = mode >= StreamSelection && mode <= ColumnDragRect ? mode : StreamSelection;
}

void SECEditSelectionHolder::ClearSelection()
{
    m_anchor = {};
    m_active = {};
    m_mode = StreamSelection;
    m_columnRect = {};
}

void SECEditSelectionHolder::SetColumnRect(const PixelRect& rect)
{
    m_columnRect = rect;
    m_mode = ColumnDragRect;
}

SECEdit* SECEditSelectionHolder::Edit() const
{
    return m_viewport ? m_viewport->GetEdit() : nullptr;
}

bool SECEditSelectionHolder::HasSelection() const
{
    if (m_mode == ColumnDragRect)
        return !GetColumnRect().IsEmpty();
    return m_anchor != m_active || m_mode == LineSelection;
}

bool SECEditSelectionHolder::IsColumnSelection() const
{
    return HasSelection() && (m_mode == ColumnSelection || m_mode == ColumnDragRect);
}

bool SECEditSelectionHolder::VirtualSpaceAllowed() const
{
    return IsColumnSelection() || (m_viewport && m_viewport->GetSettings().virtualWhitespace);
}

bool SECEditSelectionHolder::GetSelection(int& startLine, int& startColumn, int& endLine, int& endColumn,
                                          bool keepVirtualColumns) const
{
    if (!HasSelection())
        return false;
    SECEditTextPos start = std::min(m_anchor, m_active);
    SECEditTextPos end = std::max(m_anchor, m_active);
    SECEdit* edit = Edit();
    if (m_mode == LineSelection) {
        start.column = 0;
        const int lineCount = edit ? edit->GetLineCount() : end.line + 2;
        if (end.line + 1 < lineCount)
            end = {end.line + 1, 0};
        else
            end.column = edit ? std::max(0, edit->GetLineLength(end.line)) : end.column;
    } else if (edit && !keepVirtualColumns && !VirtualSpaceAllowed()) {
        start.column = std::min(start.column, std::max(0, edit->GetLineLength(start.line)));
        end.column = std::min(end.column, std::max(0, edit->GetLineLength(end.line)));
    }
    startLine = start.line;
    startColumn = start.column;
    endLine = end.line;
    endColumn = end.column;
    return true;
}

bool SECEditSelectionHolder::GetSelectionRange(SECEditTextRange& range, bool keepVirtualColumns) const
{
    int sl = 0, sc = 0, el = 0, ec = 0;
    if (!GetSelection(sl, sc, el, ec, keepVirtualColumns))
        return false;
    range = SECEditTextRange(sl, sc, el, ec);
    return true;
}

PixelRect SECEditSelectionHolder::GetColumnRect() const
{
    const PixelRect& r = m_columnRect;
    return {std::min(r.left, r.right), std::min(r.top, r.bottom), std::max(r.left, r.right),
            std::max(r.top, r.bottom)};
}

bool SECEditSelectionHolder::GetColumnSelectionSpan(int line, int& startColumn, int& endColumn) const
{
    if (m_mode != ColumnSelection || !m_viewport || !HasSelection())
        return false;
    const int first = std::min(m_anchor.line, m_active.line);
    const int last = std::max(m_anchor.line, m_active.line);
    if (line < first || line > last)
        return false;
    // The block is a band of pixels, so tabs and wide characters line up on every line.
    const int x1 = m_viewport->PointFromPosition(m_anchor).x;
    const int x2 = m_viewport->PointFromPosition(m_active).x;
    const int y = line * m_viewport->GetLineHeight();
    startColumn = m_viewport->PositionFromPoint({std::min(x1, x2), y}, true, true).column;
    endColumn = m_viewport->PositionFromPoint({std::max(x1, x2), y}, false, true).column;
    return true;
}

int SECEditSelectionHolder::GetTextLeft() const
{
    return m_viewport ? m_viewport->GetTextLeft() : 0;
}

PixelPoint SECEditSelectionHolder::PointFromPosition(SECEditTextPos pos) const
{
    return m_viewport ? m_viewport->PointFromPosition(pos) : PixelPoint{};
}

SECEditTextPos SECEditSelectionHolder::PositionFromPoint(PixelPoint point, bool roundTabs) const
{
    if (!m_viewport)
        return {};
    return m_viewport->PositionFromPoint(point, roundTabs, VirtualSpaceAllowed());
}

int SECEditSelectionHolder::GetTextExtent(std::u16string_view text, int offset) const
{
    return m_viewport ? m_viewport->MeasureText(text, offset) : 0;
}

void SECEditSelectionHolder::OnUpdate(ISubject*, IMessage* message)
{
    if (!message)
        return;
    if (message->GetMessageId() == SECEditMsg::InitController) {
        ClearSelection();
        return;
    }
    if (const SECEditCommand* command = SECEditCommand::FromMessage(message)) {
        // Text now present was inserted; text now absent was deleted.
        const bool insertion = command->IsTextPresent();
        m_anchor.AdjustForEdit(command->GetRange(), insertion);
        m_active.AdjustForEdit(command->GetRange(), insertion);
    } else if (const SECEditReplaceCommand* replace = SECEditReplaceCommand::FromMessage(message)) {
        m_anchor = replace->Map(m_anchor);
        m_active = replace->Map(m_active);
    }
}
