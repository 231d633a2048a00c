#pragma once

#include "engine/SECEditTextPos.h"
#include "platform/PixelRect.h"
#include "view/SECEditTransfer.h"

#include <functional>
#include <string_view>

// What the pane widget hands its controller: key presses, typed text and
// focus changes; and what it asks back to draw the caret.
class ISECEditPaneHost;

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
    // The middle button: pastes the primary selection at the point.
    virtual void OnMiddleClick(int x, int y) { (void)x, (void)y; }
    // A tick of a timer the controller started through its host.
    virtual void OnTimer(int id) { (void)id; }
    // The pointer's shape over a point of the window (PaneCursor).
    enum PaneCursor { TextCursor = 0, ArrowCursor = 1, GutterCursor = 2 };
    virtual int GetCursorShape(int x, int y) const
    {
        (void)x, (void)y;
        return TextCursor;
    }
    // The context menu, at a window point or, from the keyboard, near the
    // pane's top-left corner.
    virtual void OnContextMenu(int x, int y, bool fromKeyboard) { (void)x, (void)y, (void)fromKeyboard; }
    // Text dragged over the pane: each returns the drop effect (SECEditDropEffect).
    virtual int OnDragEnter(bool offersText, int modifiers, int x, int y)
    {
        (void)offersText, (void)modifiers, (void)x, (void)y;
        return DropNone;
    }
    virtual int OnDragOver(int modifiers, int x, int y)
    {
        (void)modifiers, (void)x, (void)y;
        return DropNone;
    }
    virtual void OnDragLeave() {}
    virtual int OnDrop(const SECEditTransfer& data, int effect, int x, int y)
    {
        (void)data, (void)effect, (void)x, (void)y;
        return DropNone;
    }
    // The window services the controller uses; none without a window.
    virtual void SetPaneHost(ISECEditPaneHost* host) { (void)host; }
    // Whether the caret shows where dragged text would drop (drawn grey, without blinking).
    virtual bool IsDropCaret() const { return false; }
    // The caret's text position (for input methods).
    virtual SECEditTextPos GetCaretTextPos() const { return {}; }
    // The caret in document pixels; false while no caret is to be drawn.
    virtual bool GetCaretRect(PixelRect& rect) const = 0;
    // Called whenever the caret moves or changes shape.
    virtual void SetCaretListener(std::function<void()> listener) = 0;

protected:
    ~ISECEditPaneInput() = default;
};
