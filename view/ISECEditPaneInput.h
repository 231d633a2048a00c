#pragma once

#include "platform/PixelRect.h"

#include <functional>
#include <string_view>

// What the pane widget hands its controller: key presses, typed text and
// focus changes; and what it asks back to draw the caret.
class ISECEditPaneInput
{
public:
    // A key press (Qt key code and modifiers); true when it was consumed.
    virtual bool OnKeyDown(int key, int modifiers) = 0;
    // True when the key is one the controller acts on, so the pane takes it
    // before the application's shortcuts do.
    virtual bool IsKeyBound(int key, int modifiers) const = 0;
    // Typed text that no key command took; true when it was consumed.
    virtual bool OnChar(std::u16string_view text) = 0;
    virtual void OnFocus(bool gained) = 0;
    // The left button, at a point of the pane's window (pixels).
    virtual void OnMouseDown(int x, int y, int modifiers, bool doubleClick) = 0;
    virtual void OnMouseMove(int x, int y) = 0;
    virtual void OnMouseUp() = 0;
    // The caret in document pixels; false while no caret is to be drawn.
    virtual bool GetCaretRect(PixelRect& rect) const = 0;
    // Called whenever the caret moves or changes shape.
    virtual void SetCaretListener(std::function<void()> listener) = 0;

protected:
    ~ISECEditPaneInput() = default;
};
