#pragma once

#include "platform/PixelPoint.h"
#include "view/SECEditTransfer.h"

#include <string>
#include <vector>

// One item of a pop-up menu a controller asks its pane to show; id 0 is a separator.
struct SECEditMenuItem
{
    int id = 0;
    std::u16string label;
    bool enabled = true;
};

// What a controller asks of the window its pane lives in: timers, the pointer,
// the platform's drag loop and pop-up menus. The pane widget implements it;
// tests stand in for it without a window.
class ISECEditPaneHost
{
public:
    // A repeating timer; each tick comes back as ISECEditPaneInput::OnTimer(id).
    virtual void StartTimer(int id, int milliseconds) = 0;
    virtual void StopTimer(int id) = 0;
    // The pointer in the pane's window pixels.
    virtual PixelPoint GetPointerPos() const = 0;
    // How far the pointer moves with the button down before a drag begins.
    virtual int GetDragStartDistance() const = 0;
    // Runs the platform's drag loop with the text; returns the effect the
    // target chose (DropNone when the drag was cancelled or refused).
    virtual int RunDrag(const SECEditTransfer& data, bool allowMove) = 0;
    // Shows a pop-up menu at a window point; returns the chosen id, 0 for none.
    virtual int RunPopupMenu(int x, int y, const std::vector<SECEditMenuItem>& items) = 0;

protected:
    ~ISECEditPaneHost() = default;
};
