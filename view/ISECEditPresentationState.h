#pragma once

#include "engine/SECEditTextPos.h"
#include "engine/SECEditTextRange.h"
#include "platform/PixelPoint.h"
#include "platform/PixelRect.h"

#include <string_view>

class ISubject;
class IMessage;
struct SECEditGutterSettings;

// Selection modes of a pane.
enum SelectionMode : int
{
    StreamSelection = 1, // from the earlier position to the later one
    LineSelection = 2,   // whole lines, line breaks included
    ColumnSelection = 3, // a block of display columns between two positions
    ColumnDragRect = 4,  // a block being dragged, held as a rectangle in document pixels
};

// What the view asks of its pane's controller: the selection, the gutter
// settings and the controller's own reaction to change notifications. A
// simple holder (SECEditSelectionHolder) stands in until the controller comes.
class ISECEditPresentationState
{
public:
    virtual bool IsColumnSelection() const = 0;
    // The selection with the earlier end first; false when there is none.
    // Line mode widens it to whole lines. Unless virtual space is allowed or
    // keepVirtualColumns is set, stream ends are clamped to their lines.
    virtual bool GetSelection(int& startLine, int& startColumn, int& endLine, int& endColumn,
                              bool keepVirtualColumns = false) const = 0;
    virtual bool GetSelectionRange(SECEditTextRange& range, bool keepVirtualColumns = false) const = 0;
    virtual int GetSelectionMode() const = 0;
    virtual bool HasSelection() const = 0;
    // Mode 4 only: the dragged rectangle in document pixels, normalised.
    virtual PixelRect GetColumnRect() const = 0;
    // True while the selection is to be shown as if the pane had the focus.
    virtual bool KeepsFocusLook() const = 0;
    // Mode 3 only: the selected columns [startColumn, endColumn) of a line;
    // false for a line outside the block.
    virtual bool GetColumnSelectionSpan(int line, int& startColumn, int& endColumn) const = 0;
    virtual const SECEditGutterSettings& GetGutterSettings() const = 0;
    // The application's line-number switch; a state without its own gutter ignores it.
    virtual void SetGutterMode(int mode) { (void)mode; }

    // Geometry in document pixels, as the pane lays text out.
    // Where text starts: the gutter's width.
    virtual int GetTextLeft() const = 0;
    virtual PixelPoint PointFromPosition(SECEditTextPos pos) const = 0;
    // The position nearest a point; beyond a line's end only where virtual
    // space is allowed.
    virtual SECEditTextPos PositionFromPoint(PixelPoint point, bool roundTabs) const = 0;
    // Width of text that starts `offset` pixels right of the text's left edge.
    virtual int GetTextExtent(std::u16string_view text, int offset = 0) const = 0;

    // The controller hears the engine's notifications before the view reacts.
    virtual void OnUpdate(ISubject* subject, IMessage* message) = 0;

protected:
    ~ISECEditPresentationState() = default;
};
