#pragma once

#include "engine/SECEditMsg.h"
#include "platform/PixelPoint.h"

// Kind 22576, sent through the text engine by a pane of a split window that
// scrolled: the other panes of the same window follow it, those in its row
// vertically and those in its column horizontally. Panes of other windows on
// the same document ignore it.
class SECEditSplitterSyncMsg : public SECEditMsg
{
public:
    SECEditSplitterSyncMsg(const void* window, int row, int column, PixelPoint origin) noexcept
        : SECEditMsg(SplitterSync), m_window(window), m_row(row), m_column(column), m_origin(origin)
    {
    }

    const void* GetWindow() const noexcept { return m_window; }
    int GetRow() const noexcept { return m_row; }
    int GetColumn() const noexcept { return m_column; }
    PixelPoint GetOrigin() const noexcept { return m_origin; }

private:
    const void* m_window;
    int m_row;
    int m_column;
    PixelPoint m_origin;
};
