#pragma once

#include "platform/PixelRect.h"

// The window a viewport shows itself in: the pane widget in the program, a
// recorder in tests. Rectangles are device pixels of the client area.
class ISECEditViewportWindow
{
public:
    virtual int GetClientWidth() const = 0;
    virtual int GetClientHeight() const = 0;
    virtual bool HasFocus() const = 0;
    // Whether this is the pane the user last worked in, which keeps showing
    // its selection while the keyboard is elsewhere (a find dialog, a menu).
    virtual bool IsActivePane() const { return false; }
    // Marks the area for repainting; nothing is erased first.
    virtual void InvalidateRect(const PixelRect& area) = 0;
    virtual void InvalidateAll() = 0;
    // Moves the pixels inside `area` by (dx, dy); what comes into view is
    // invalidated by the window itself.
    virtual void ScrollContents(int dx, int dy, const PixelRect& area) = 0;
    // A scroll bar: positions 0 to maximum, `page` units visible.
    virtual void SetScrollBar(bool vertical, int maximum, int page, int position, bool enabled) = 0;

protected:
    ~ISECEditViewportWindow() = default;
};
