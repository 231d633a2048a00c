#pragma once

#include "controller/SECEditFindReplace.h"
#include "controller/SECEditKeyTable.h"
#include "engine/SECEditTextPos.h"
#include "engine/SECEditTextRange.h"
#include "view/ISECEditPaneHost.h"
#include "view/ISECEditPaneInput.h"
#include "view/ISECEditPresentationState.h"
#include "view/SECEditGutterSettings.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

class SECEdit;
class SECEditCommand;
class SECEditLangSettings;
class SECEditReplaceCommand;
class SECEditViewport;

// The keyboard side of one editor pane: the caret and selection of the pane,
// the key table, and the commands that move the caret or change the text.
//
// It answers the view's questions about the selection (it is the pane's
// presentation state) and hears every change notification of the engine
// through its viewport, before the view repaints. Everything here works on
// the engine and the viewport alone, so it runs without a window; the pane
// widget forwards keys and focus and draws the caret where this says.
//
// The implementation is split by concern: SECEditController.cpp (helpers,
// notifications, keys, the command table), SECEditControllerCaret.cpp,
// SECEditControllerMovement.cpp (movement and the word scan),
// SECEditControllerSelection.cpp, SECEditControllerEditing.cpp,
// SECEditControllerClipboard.cpp, SECEditControllerMouse.cpp (clicks, drags,
// the gutter, the context menu) and SECEditControllerDragDrop.cpp.
class SECEditController : public ISECEditPresentationState, public ISECEditPaneInput
{
public:
    explicit SECEditController(SECEditViewport* viewport);
    virtual ~SECEditController();
    SECEditController(const SECEditController&) = delete;
    SECEditController& operator=(const SECEditController&) = delete;

    SECEdit* GetEdit() const;
    SECEditViewport* GetViewport() const noexcept { return m_viewport; }
    SECEditLangSettings* GetLangConfig() const;
    const SECEditKeyTable& GetKeyTable() const noexcept { return m_keys; }
    // Find, replace and the line-mark commands of this pane.
    SECEditFindReplace& GetFindReplace() noexcept { return m_find; }

    // --- Commands -------------------------------------------------------------
    // Runs an editor command; false when this controller does not handle it
    // or it is disabled.
    virtual bool OnCommand(int id);
    virtual bool HandlesCommand(int id) const;
    virtual bool IsCommandEnabled(int id) const;
    virtual void InitControllerState();

    // --- Caret and selection --------------------------------------------------
    SECEditTextPos GetCaretPos() const noexcept { return m_caret; }
    PixelPoint GetCaretPoint() const { return CaretPoint(); }
    // The caret's column with tabs expanded (columns beyond the end count one each).
    int GetCaretDisplayColumn() const;
    // "Ln %d, Col %d": the caret's line and display column, both from 1.
    std::u16string FormatPosition() const;
    SECEditTextPos GetAnchor() const noexcept { return m_anchor; }
    SECEditTextPos GetActiveEnd() const noexcept { return m_active; }

    void MoveCaretTo(int line, int column, bool allowVirtual = false);
    void EnsureCaretVisible();
    // false suspends bringing the caret into view; true resumes (and, when no
    // other suspension is left, brings it into view at once).
    void SuspendAutoScroll(bool resume);
    void UpdateCaretDisplay();
    void RememberCaretX();
    bool ClearSelection(bool repaint);
    void SetSelection(SECEditTextPos anchor, SECEditTextPos active, int mode = StreamSelection);
    void ExtendSelectionTo(int line, int column, bool repaint);
    void SelectLines(int first, int last = -1);
    bool IsVirtualSpaceAllowed() const;
    // The caret exists while the pane has the focus; edits then move it.
    virtual void CreateEditCaret();
    virtual void DestroyEditCaret();
    bool IsCaretCreated() const noexcept { return m_caretCreated; }
    // Mouse: a press places the caret (with Shift it extends the selection,
    // with Ctrl it selects a word, with Alt or Alt+Shift it starts a column
    // block), moving with the button down selects, a double click selects a
    // word. In the gutter a press selects lines. Points are in the pane's
    // window pixels.
    void OnMouseDown(int x, int y, int modifiers, bool doubleClick) override;
    void OnMouseMove(int x, int y) override;
    void OnMouseUp() override;
    void OnMiddleClick(int x, int y) override;
    void OnTimer(int id) override;
    int GetCursorShape(int x, int y) const override;
    void OnContextMenu(int x, int y, bool fromKeyboard) override;
    void SetPaneHost(ISECEditPaneHost* host) override { m_host = host; }
    SECEditTextPos GetCaretTextPos() const override { return m_caret; }
    // The context menu's items, enabled as the commands are.
    std::vector<SECEditMenuItem> GetContextMenuItems() const;
    // While on, mouse drags and Shift+movement make column blocks.
    bool IsColumnMode() const noexcept { return m_columnMode; }
    // Whether a position lies in the selection (ends included); never while
    // a column block is still being dragged out.
    bool IsInSelection(SECEditTextPos pos) const;
    // The auto-scroll timer that runs while the button is held.
    static constexpr int DragTimerId = 45000;
    static constexpr int DragTimerPeriod = 100;

    // --- Drag and drop ----------------------------------------------------------
    // Drags the selection through the host's drag loop; returns the effect.
    int StartDrag();
    int OnDragEnter(bool offersText, int modifiers, int x, int y) override;
    int OnDragOver(int modifiers, int x, int y) override;
    void OnDragLeave() override;
    int OnDrop(const SECEditTransfer& data, int effect, int x, int y) override;
    bool IsDropCaretShown() const noexcept { return m_dropCaretShown; }
    bool IsDropCaret() const override { return m_dropCaretShown; }

    // --- Clipboard --------------------------------------------------------------
    // What Copy and a drag offer: the selection, or without one the caret's
    // whole line; false when there is nothing to offer.
    bool MakeTransfer(SECEditTransfer& data) const;
    bool IsReadOnly() const;
    bool IsMouseDragging() const noexcept { return m_mouseDragging; }
    bool HasSelectionNow() const { return HasSelection() && !m_mouseDragging; }
    void ScrollLines(int lines, int columns);

    // Word scan: forward (true) or backward from a position; false for a
    // position outside the text.
    bool GetWordAt(int line, int column, bool forward, SECEditTextPos& result, std::u16string* text = nullptr) const;
    // The word around a position, as Select Word takes it and Find proposes
    // it: the runs the word scan finds either side, where a space makes a
    // side blank, a tab or a run of delimiters counts only with its one
    // character next to the position when the other side has text too, and
    // two word runs join. False (and an empty text) when both sides are blank.
    bool GetWordAtCaret(int line, int column, std::u16string& text, int& start, int& end) const;

    // --- Editing ----------------------------------------------------------------
    virtual void TypeText(std::u16string_view text);
    void ReplaceSelection(std::u16string_view text, bool columnBlock = false);
    SECEditTextPos DeleteSelection();
    // Pads a short line with white space up to the column, then inserts there.
    bool PadAndInsert(int line, int column, std::u16string_view text);
    void InsertColumnBlock(SECEditTextPos position, std::u16string_view text);
    void FillVirtualSpace();
    void DeleteChar();
    std::u16string GetSelectedText() const;

    // --- ISECEditPresentationState ----------------------------------------------
    bool IsColumnSelection() const override;
    bool GetSelection(int& startLine, int& startColumn, int& endLine, int& endColumn,
                      bool keepVirtualColumns = false) const override;
    bool GetSelectionRange(SECEditTextRange& range, bool keepVirtualColumns = false) const override;
    int GetSelectionMode() const override { return m_mode; }
    bool HasSelection() const override;
    PixelRect GetColumnRect() const override;
    bool KeepsFocusLook() const override { return m_keepsFocusLook; }
    bool GetColumnSelectionSpan(int line, int& startColumn, int& endColumn) const override;
    const SECEditGutterSettings& GetGutterSettings() const override { return m_gutter; }
    void SetGutterMode(int mode) override { m_gutter.mode = mode; }
    int GetTextLeft() const override;
    PixelPoint PointFromPosition(SECEditTextPos pos) const override;
    SECEditTextPos PositionFromPoint(PixelPoint point, bool roundTabs) const override;
    int GetTextExtent(std::u16string_view text, int offset = 0) const override;
    void OnUpdate(ISubject* subject, IMessage* message) override;

    void SetKeepsFocusLook(bool keep) noexcept { m_keepsFocusLook = keep; }
    SECEditGutterSettings& GetGutterSettings() noexcept { return m_gutter; }

    // --- ISECEditPaneInput ------------------------------------------------------
    bool OnKeyDown(int key, int modifiers) override;
    bool IsKeyBound(int key, int modifiers) const override;
    bool OnChar(std::u16string_view text) override;
    void OnFocus(bool gained) override;
    bool GetCaretRect(PixelRect& rect) const override;
    void SetCaretListener(std::function<void()> listener) override { m_caretListener = std::move(listener); }

protected:
    // Hooks for the application: the caret moved (status bar), the overtype
    // switch changed, and the clipboard (none without a desktop). Empty text
    // empties the clipboard.
    virtual void OnCaretChanged() {}
    virtual void OnOvertypeChanged() {}
    virtual void CopyToClipboard(const SECEditTransfer& data) { (void)data; }
    virtual bool ReadClipboard(SECEditTransfer& data) const
    {
        (void)data;
        return false;
    }
    // Whether the clipboard offers text; the application may answer from
    // what it last heard rather than asking the clipboard each time.
    virtual bool ClipboardHasText() const
    {
        SECEditTransfer data;
        return ReadClipboard(data) && !data.text.empty();
    }
    // The desktop's primary selection, where it has one.
    virtual void SetPrimarySelection(const std::u16string& text) { (void)text; }
    virtual bool ReadPrimarySelection(std::u16string& text) const
    {
        (void)text;
        return false;
    }
    // Arranges for ID_EDIT_CARET_LINE_LEFT to run once the current command
    // has finished; without an event loop nothing is posted.
    virtual void PostCaretLineLeft() {}
    // Runs the Font and Color Settings dialog on the document's language
    // (the language configuration command); without a desktop nothing runs.
    virtual void RunLanguageConfigDialog() {}
    // The reaction to an edit made by any pane.
    virtual void FollowEdit(const SECEditCommand& command);
    void FollowReplace(const SECEditReplaceCommand& command);

private:
    enum class Move { CharLeft, CharRight, LineUp, LineDown, PageUp, PageDown, Home, End, DocStart, DocEnd,
                      WordLeft, WordRight };

    int LineLength(int line) const;
    int LastLine() const;
    int TabSize() const;
    int DisplayColumn(int line, int column) const;
    int LineHeight() const;
    void RepaintLines(int first, int last);
    void RepaintSelection();
    void NotifyCaret();
    // The caret's pixel position, measured when first asked for after the
    // caret moved: a long run of edits (Replace All) measures no line at all.
    PixelPoint CaretPoint() const;
    // The remembered x for moving up and down; after an edit it is the
    // caret's x, measured when needed (or fixed before the caret moves on).
    int DesiredX() const;
    void FixDesiredX();
    bool Guarded() const { return IsReadOnly() || IsMouseDragging(); }
    void RunCommand(int id);
    void AnnounceModifiedChange(bool wasModified);

    // Movement rules; false when there was nothing to do.
    bool ApplyMove(Move move);
    void PlainMove(Move move);
    void ExtendMove(Move move);
    void VerticalMove(int lines, bool page);
    SECEditTextPos WordStepLeft() const;
    SECEditTextPos WordStepRight() const;
    int ClassOf(char16_t c) const;

    void SelectAll();
    void SelectWord();
    void ToggleOvertype();
    void ToggleShowWhitespace();
    void ConfigureLanguage();
    void OnNewline();
    void OnTab();
    void OnUntab();
    void OnBackspace();
    void OnDeleteWord(bool back);
    void OnLineCutOrDelete(bool cut);
    void OnChangeCase(bool upper);
    void OnUndoRedo(bool redo);
    void OnCopy();
    void OnCut();
    void ToggleColumnMode();
    // Mouse helpers: window pixels to document pixels, and the caret to a point.
    PixelPoint WindowToDocument(int x, int y) const;
    void MoveCaretToPoint(int x, int y);
    void PressInGutter(int y, int modifiers);
    void PressInText(int x, int y, int modifiers);
    void InvalidateColumnRect();
    // A selection made by the mouse or the keyboard becomes the primary selection.
    void OfferPrimarySelection();
    void OnCaretLineLeft();
    void OnPaste();
    void PlaceCaretAfterIndent();
    void ForgetLastTyping() noexcept { m_lastTyping = nullptr; }
    SECEditCommand* LastTypingIfOnTop() const;
    std::u16string MakeFill(int line, int fromColumn, int count) const;

    SECEditViewport* m_viewport;
    SECEditKeyTable m_keys;
    SECEditGutterSettings m_gutter;
    std::function<void()> m_caretListener;

    SECEditTextPos m_caret;
    mutable PixelPoint m_caretPoint;
    mutable bool m_caretPointKnown = false;
    int m_desiredX = 0;
    bool m_desiredXFollowsCaret = false;
    bool m_keepDesiredX = true;
    bool m_caretBeyondEnd = false;
    bool m_forceVirtual = false;
    int m_autoScrollSuspensions = 0;
    bool m_caretCreated = false;
    bool m_mouseDragging = false;
    bool m_keepsFocusLook = false;
    int m_markLine = 0;
    bool m_inMarkLineHandler = false;
    bool m_caretLinePosted = false;

    SECEditTextPos m_dragAnchor;
    ISECEditPaneHost* m_host = nullptr;
    bool m_columnMode = false;
    bool m_dragTimerRunning = false;
    // A press inside the selection: moving on starts a drag, releasing places the caret.
    bool m_dragPending = false;
    PixelPoint m_pressPoint;
    // The column block being dragged out, in document pixels.
    PixelPoint m_rectAnchor;
    PixelPoint m_rectMoving;
    bool m_acceptingDrop = false;
    static SECEditController* s_dragSource;
    bool m_dropCaretShown = false;
    SECEditTextPos m_anchor;
    SECEditTextPos m_active;
    int m_mode = StreamSelection;

    // The insert command typing last made or extended; it is only looked at
    // while it is on top of the undo history (its serial tells it apart from
    // a later command at the same address).
    SECEditCommand* m_lastTyping = nullptr;
    std::uint64_t m_lastTypingSerial = 0;

    SECEditFindReplace m_find{*this};
};
