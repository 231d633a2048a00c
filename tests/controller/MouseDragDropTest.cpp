#include "ControllerTestSupport.h"

#include <gtest/gtest.h>

#include <functional>

namespace {
// A controller whose clipboard and primary selection are strings.
class HostedController : public SECEditController
{
public:
    using SECEditController::SECEditController;
    SECEditTransfer clip;
    std::u16string primary;

protected:
    void CopyToClipboard(const SECEditTransfer& data) override { clip = data; }
    bool ReadClipboard(SECEditTransfer& data) const override
    {
        data = clip;
        return true;
    }
    void SetPrimarySelection(const std::u16string& text) override { primary = text; }
    bool ReadPrimarySelection(std::u16string& text) const override
    {
        text = primary;
        return true;
    }
};

// The window side without a window: timers are recorded, the pointer is
// wherever the test puts it, and a drag runs whatever the test says the
// target does.
class FakeHost : public ISECEditPaneHost
{
public:
    void StartTimer(int id, int ms) override
    {
        timerId = id;
        period = ms;
    }
    void StopTimer(int id) override
    {
        if (id == timerId)
            timerId = 0;
    }
    PixelPoint GetPointerPos() const override { return pointer; }
    int GetDragStartDistance() const override { return 4; }
    int RunDrag(const SECEditTransfer& data, bool allowMove) override
    {
        dragged = data;
        moveAllowed = allowMove;
        return drop ? drop(data) : DropNone;
    }
    int RunPopupMenu(int x, int y, const std::vector<SECEditMenuItem>& items) override
    {
        menuAt = {x, y};
        menu = items;
        return menuChoice;
    }

    int timerId = 0;
    int period = 0;
    PixelPoint pointer;
    SECEditTransfer dragged;
    bool moveAllowed = false;
    std::function<int(const SECEditTransfer&)> drop;
    PixelPoint menuAt{-1, -1};
    std::vector<SECEditMenuItem> menu;
    int menuChoice = 0;
};

// A pane like TestPane (cells 8 x 16, gutter 20 pixels, 20 lines high) with a host.
struct HostedPane
{
    explicit HostedPane(SECEdit& edit, bool focused = true)
        : window(640, 320), viewport(&edit, metrics, &window), controller(&viewport)
    {
        viewport.SetPresentationState(&controller);
        viewport.RefreshSettings();
        controller.SetPaneHost(&host);
        if (focused)
            controller.CreateEditCaret();
    }
    ~HostedPane() { viewport.SetPresentationState(nullptr); }
    SECEditTextPos Caret() const { return controller.GetCaretPos(); }
    void Click(int column, int line, int modifiers = 0)
    {
        controller.OnMouseDown(X(column), Y(line), modifiers, false);
        controller.OnMouseUp();
    }
    void Drag(int c1, int l1, int c2, int l2, int modifiers = 0)
    {
        controller.OnMouseDown(X(c1), Y(l1), modifiers, false);
        controller.OnMouseMove(X(c2), Y(l2));
        controller.OnMouseUp();
    }
    static int X(int column) { return 20 + column * 8 + 1; }
    static int Y(int line) { return line * 16 + 3; }

    FixedMetricsFactory metrics;
    RecordingWindow window;
    SECEditViewport viewport;
    HostedController controller;
    FakeHost host;
};
} // namespace

TEST(Mouse, GutterClicksAndDragsSelectWholeLines)
{
    TestDocument doc(u"one\ntwo\nthree\nfour");
    HostedPane pane(doc.edit);
    auto& c = pane.controller;

    pane.Click(-1, 1); // x = 13: in the gutter
    EXPECT_EQ(c.GetSelectionMode(), LineSelection);
    EXPECT_EQ(c.GetSelectedText(), u"two\n");
    EXPECT_EQ(pane.Caret(), SECEditTextPos(2, 0)); // below the selected line
    EXPECT_EQ(pane.host.timerId, 0);
    EXPECT_EQ(c.primary, u"two\n");

    // Down the gutter: whole lines, the caret after the last one.
    c.OnMouseDown(5, HostedPane::Y(0), 0, false);
    EXPECT_EQ(pane.host.timerId, SECEditController::DragTimerId);
    EXPECT_EQ(pane.host.period, 100);
    c.OnMouseMove(5, HostedPane::Y(2));
    c.OnMouseUp();
    EXPECT_EQ(c.GetSelectedText(), u"one\ntwo\nthree\n");
    EXPECT_EQ(pane.Caret(), SECEditTextPos(3, 0));
    // Up the gutter leaves the caret where the drag ended.
    c.OnMouseDown(5, HostedPane::Y(3), 0, false);
    c.OnMouseMove(5, HostedPane::Y(2));
    c.OnMouseUp();
    EXPECT_EQ(c.GetSelectedText(), u"three\nfour");
    EXPECT_EQ(pane.Caret(), SECEditTextPos(2, 0));

    // Out of the gutter into the text: an ordinary selection.
    c.OnMouseDown(5, HostedPane::Y(0), 0, false);
    c.OnMouseMove(HostedPane::X(2), HostedPane::Y(1));
    c.OnMouseUp();
    EXPECT_EQ(c.GetSelectionMode(), StreamSelection);
    EXPECT_EQ(c.GetSelectedText(), u"one\ntw");

    // Ctrl+click selects everything; a double click there clears it.
    c.OnMouseDown(5, HostedPane::Y(1), Qt::ControlModifier, false);
    c.OnMouseUp();
    EXPECT_EQ(c.GetSelectedText(), doc.Text());
    c.OnMouseDown(5, HostedPane::Y(1), 0, true);
    EXPECT_FALSE(c.HasSelection());
}

TEST(Mouse, CtrlClickTakesAWordAndAltOrAltShiftDragsAColumnBlock)
{
    TestDocument doc(u"alpha beta\ngamma delta\nepsilon");
    HostedPane pane(doc.edit);
    auto& c = pane.controller;

    pane.Click(8, 0, Qt::ControlModifier);
    EXPECT_EQ(c.GetSelectedText(), u"beta");

    for (int modifiers : {int(Qt::AltModifier), int(Qt::AltModifier | Qt::ShiftModifier)}) {
        c.OnMouseDown(HostedPane::X(1), HostedPane::Y(0), modifiers, false);
        c.OnMouseMove(HostedPane::X(4), HostedPane::Y(2));
        // While the button is held the block is a rectangle of pixels.
        EXPECT_EQ(c.GetSelectionMode(), ColumnDragRect);
        const PixelRect r = c.GetColumnRect();
        EXPECT_EQ(r.left, HostedPane::X(1) - 1);
        EXPECT_EQ(r.top, 0);
        EXPECT_EQ(r.right, HostedPane::X(4)); // the pointer's x
        EXPECT_EQ(r.bottom, 48);
        c.OnMouseUp();
        EXPECT_EQ(c.GetSelectionMode(), ColumnSelection);
        EXPECT_EQ(c.GetSelectedText(), u"lph\r\namm\r\npsi\r\n") << modifiers;
        EXPECT_TRUE(c.GetColumnRect().IsEmpty());
    }
    // A click with Alt and no movement leaves nothing selected.
    pane.Click(2, 1, Qt::AltModifier);
    EXPECT_FALSE(c.HasSelection());

    // The column switch: plain drags and Shift+arrows make blocks too.
    c.OnCommand(ID_EDIT_COLUMN_MODE);
    EXPECT_TRUE(c.IsColumnMode());
    pane.Drag(0, 0, 2, 1);
    EXPECT_EQ(c.GetSelectedText(), u"al\r\nga\r\n");
    c.ClearSelection(true);
    c.MoveCaretTo(1, 0);
    c.OnCommand(ID_EDIT_CHAR_RIGHT_EXTEND);
    c.OnCommand(ID_EDIT_LINE_DOWN_EXTEND);
    EXPECT_EQ(c.GetSelectionMode(), ColumnSelection);
    EXPECT_EQ(c.GetSelectedText(), u"g\r\ne\r\n");
    c.OnCommand(ID_EDIT_COLUMN_MODE);
    c.ClearSelection(true);
    pane.Drag(0, 0, 2, 1);
    EXPECT_EQ(c.GetSelectedText(), u"alpha beta\nga");
}

TEST(Mouse, HoldingTheButtonBelowThePaneScrollsOnEachTick)
{
    std::u16string text;
    for (int i = 0; i < 100; ++i)
        text += u"line\n";
    TestDocument doc(text);
    HostedPane pane(doc.edit);
    auto& c = pane.controller;
    c.OnMouseDown(HostedPane::X(1), HostedPane::Y(0), 0, false);
    pane.host.pointer = {HostedPane::X(2), 330}; // below the 320-pixel window
    int lastLine = 0;
    for (int tick = 0; tick < 5; ++tick) {
        c.OnTimer(SECEditController::DragTimerId);
        EXPECT_GT(pane.Caret().line, lastLine);
        EXPECT_GT(pane.viewport.GetFirstVisibleLine(), tick);
        lastLine = pane.Caret().line;
    }
    c.OnMouseUp();
    EXPECT_EQ(pane.host.timerId, 0);
    EXPECT_EQ(c.GetAnchor(), SECEditTextPos(0, 1));
    EXPECT_EQ(c.GetActiveEnd().line, lastLine);
}

TEST(DragDrop, MovesAndCopiesWithinAPaneAsOneUndoStep)
{
    TestDocument doc(u"one two three");
    HostedPane pane(doc.edit);
    auto& c = pane.controller;
    const auto selectTwo = [&] {
        c.SetSelection({0, 4}, {0, 7});
        c.MoveCaretTo(0, 7);
    };
    // The drop lands at the end of the line; pressing on the selection and moving starts the drag.
    const auto dropAtEnd = [&](int modifiers) {
        pane.host.drop = [&, modifiers](const SECEditTransfer& data) {
            const int effect = c.OnDragEnter(true, modifiers, HostedPane::X(13), HostedPane::Y(0));
            return c.OnDrop(data, effect, HostedPane::X(13), HostedPane::Y(0));
        };
        c.OnMouseDown(HostedPane::X(5), HostedPane::Y(0), 0, false);
        EXPECT_EQ(doc.Text(), u"one two three"); // nothing yet
        c.OnMouseMove(HostedPane::X(9), HostedPane::Y(0));
        c.OnMouseUp();
    };

    selectTwo();
    dropAtEnd(0);
    EXPECT_EQ(doc.Text(), u"one  threetwo");
    EXPECT_EQ(pane.host.dragged.text, u"two");
    EXPECT_TRUE(pane.host.moveAllowed);
    EXPECT_EQ(c.GetSelectedText(), u"two"); // the moved text is selected where it landed
    EXPECT_EQ(doc.UndoAll(), 1);
    EXPECT_EQ(doc.Text(), u"one two three");

    selectTwo();
    dropAtEnd(Qt::ControlModifier);
    EXPECT_EQ(doc.Text(), u"one two threetwo");
    doc.UndoAll();

    // Over the dragged text itself a drop changes nothing.
    selectTwo();
    pane.host.drop = [&](const SECEditTransfer& data) {
        EXPECT_EQ(c.OnDragEnter(true, 0, HostedPane::X(5), HostedPane::Y(0)), DropMove);
        EXPECT_FALSE(c.IsDropCaretShown());
        return c.OnDrop(data, DropMove, HostedPane::X(5), HostedPane::Y(0));
    };
    c.StartDrag();
    EXPECT_EQ(doc.Text(), u"one two three");
    EXPECT_FALSE(doc.edit.IsModified());

    // Pressed on the selection and released without moving: the caret goes there.
    selectTwo();
    pane.host.dragged = {};
    pane.Click(5, 0);
    EXPECT_TRUE(pane.host.dragged.text.empty());
    EXPECT_FALSE(c.HasSelection());
    EXPECT_EQ(pane.Caret(), SECEditTextPos(0, 5));
}

TEST(DragDrop, BetweenPanesDocumentsAndOtherPrograms)
{
    TestDocument doc(u"first line\nsecond line");
    TestDocument other(u"other");
    HostedPane source(doc.edit);
    HostedPane sibling(doc.edit, false);
    HostedPane elsewhere(other.edit, false);
    const auto dragTo = [&](HostedPane& target, int column, int line, int modifiers = 0) {
        source.host.drop = [&, column, line, modifiers](const SECEditTransfer& data) {
            const int x = HostedPane::X(column);
            const int y = HostedPane::Y(line);
            const int effect = target.controller.OnDragEnter(true, modifiers, x, y);
            return target.controller.OnDrop(data, effect, x, y);
        };
        source.controller.SetSelection({0, 0}, {0, 6});
        source.controller.StartDrag();
    };

    // Another pane of the same document: the text moves, one step.
    dragTo(sibling, 11, 1);
    EXPECT_EQ(doc.Text(), u"line\nsecond linefirst ");
    EXPECT_EQ(sibling.controller.GetSelectedText(), u"first ");
    EXPECT_EQ(doc.UndoAll(), 1);
    EXPECT_EQ(doc.Text(), u"first line\nsecond line");

    // Another document: each document gets one step.
    dragTo(elsewhere, 5, 0);
    EXPECT_EQ(other.Text(), u"otherfirst ");
    EXPECT_EQ(doc.Text(), u"line\nsecond line");
    EXPECT_EQ(other.UndoAll(), 1);
    EXPECT_EQ(doc.UndoAll(), 1);

    // A read-only document refuses; the source keeps its text.
    other.edit.SetReadOnly(true);
    EXPECT_EQ(elsewhere.controller.OnDragEnter(true, 0, HostedPane::X(1), HostedPane::Y(0)), DropNone);
    dragTo(elsewhere, 1, 0);
    EXPECT_EQ(other.Text(), u"other");
    EXPECT_EQ(doc.Text(), u"first line\nsecond line");
    other.edit.SetReadOnly(false);

    // Data without text is refused; text from another program goes in at the point, selected.
    EXPECT_EQ(elsewhere.controller.OnDragEnter(false, 0, HostedPane::X(1), HostedPane::Y(0)), DropNone);
    EXPECT_EQ(elsewhere.controller.OnDragEnter(true, 0, HostedPane::X(2), HostedPane::Y(0)), DropMove);
    EXPECT_TRUE(elsewhere.controller.IsDropCaretShown());
    EXPECT_EQ(elsewhere.controller.OnDrop({u"XY", false}, DropCopy, HostedPane::X(2), HostedPane::Y(0)), DropCopy);
    EXPECT_EQ(other.Text(), u"otXYher");
    EXPECT_EQ(elsewhere.controller.GetSelectedText(), u"XY");
    EXPECT_FALSE(elsewhere.controller.IsDropCaretShown());

    // A column block keeps its shape, from a drag as from a paste.
    elsewhere.controller.OnDragEnter(true, 0, HostedPane::X(1), HostedPane::Y(0));
    elsewhere.controller.OnDrop({u"ab\ncd\n", true}, DropCopy, HostedPane::X(1), HostedPane::Y(0));
    EXPECT_EQ(other.Text(), u"oabtXYher\r\n cd");
}

TEST(ContextMenu, OpensFromMouseOrKeyboardWithItemsEnabledAsTheCommandsAre)
{
    TestDocument doc(u"alpha beta\ngamma");
    HostedPane pane(doc.edit);
    auto& c = pane.controller;
    c.MoveCaretTo(1, 2);
    c.OnContextMenu(300, 200, true);
    EXPECT_EQ(pane.host.menuAt, (PixelPoint{5, 5}));
    EXPECT_EQ(pane.Caret(), SECEditTextPos(1, 2));
    std::vector<int> ids;
    std::vector<bool> enabled;
    for (const SECEditMenuItem& item : pane.host.menu) {
        ids.push_back(item.id);
        enabled.push_back(item.enabled);
    }
    EXPECT_EQ(ids, (std::vector<int>{ID_EDIT_UNDO, ID_EDIT_REDO, 0, ID_EDIT_CUT, ID_EDIT_COPY, ID_EDIT_PASTE, 0,
                                     ID_EDIT_SELECT_ALL}));
    // Nothing to undo, nothing selected, an empty clipboard.
    EXPECT_EQ(enabled, (std::vector<bool>{false, false, true, false, true, false, true, true}));

    // A right click inside the selection keeps it; outside, the caret goes there.
    c.SetSelection({0, 0}, {0, 5});
    c.OnContextMenu(HostedPane::X(2), HostedPane::Y(0), false);
    EXPECT_TRUE(c.HasSelection());
    EXPECT_TRUE(pane.host.menu[3].enabled); // Cut
    c.OnContextMenu(HostedPane::X(8), HostedPane::Y(0), false);
    EXPECT_FALSE(c.HasSelection());
    EXPECT_EQ(pane.Caret(), SECEditTextPos(0, 8));

    // The chosen item runs.
    pane.host.menuChoice = ID_EDIT_SELECT_ALL;
    c.OnContextMenu(0, 0, true);
    EXPECT_EQ(c.GetSelectedText(), doc.Text());
}

TEST(Clipboard, ColumnBlocksLineCopiesAndEnabling)
{
    TestDocument doc(u"abcdef\nab\nabcdefgh\nxyz");
    HostedPane pane(doc.edit);
    auto& c = pane.controller;

    // A block copies one line break per row, whichever way it was made.
    for (const auto& [from, to] : {std::pair{SECEditTextPos(0, 1), SECEditTextPos(2, 4)},
                                   std::pair{SECEditTextPos(2, 4), SECEditTextPos(0, 1)}}) {
        c.SetSelection(from, to, ColumnSelection);
        c.OnCommand(ID_EDIT_COPY);
        EXPECT_EQ(c.clip.text, u"bcd\r\nb\r\nbcd\r\n");
        EXPECT_TRUE(c.clip.column);
    }
    // Cut and pasted back at the same place, the block comes back exactly.
    c.OnCommand(ID_EDIT_CUT);
    EXPECT_EQ(doc.Text(), u"aef\na\naefgh\nxyz");
    c.MoveCaretTo(0, 1);
    c.OnCommand(ID_EDIT_PASTE);
    EXPECT_EQ(doc.Text(), u"abcdef\nab\nabcdefgh\nxyz");
    // Pasted at a screen column beyond short lines, they are padded.
    c.MoveCaretTo(3, 3);
    c.OnCommand(ID_EDIT_PASTE);
    EXPECT_EQ(doc.Line(3), u"xyzbcd");
    EXPECT_EQ(doc.Line(4), u"   b");
    EXPECT_EQ(doc.Line(5), u"   bcd");
    doc.UndoAll();

    // Nothing selected: the caret's whole line, with its break except on the last line.
    c.ClearSelection(true);
    c.MoveCaretTo(1, 1);
    c.OnCommand(ID_EDIT_COPY);
    EXPECT_EQ(c.clip.text, u"ab\n");
    EXPECT_FALSE(c.clip.column);
    EXPECT_FALSE(c.IsCommandEnabled(ID_EDIT_CUT));
    c.MoveCaretTo(3, 0);
    c.OnCommand(ID_EDIT_COPY);
    EXPECT_EQ(c.clip.text, u"xyz");
    // A selection wholly past a line's end copies as spaces.
    c.SetSelection({1, 4}, {1, 7});
    c.OnCommand(ID_EDIT_COPY);
    EXPECT_EQ(c.clip.text, u"   ");

    // Read-only: Copy still works, Cut and Paste do not.
    doc.edit.SetReadOnly(true);
    c.SetSelection({0, 0}, {0, 2});
    EXPECT_TRUE(c.IsCommandEnabled(ID_EDIT_COPY));
    EXPECT_FALSE(c.IsCommandEnabled(ID_EDIT_CUT));
    EXPECT_FALSE(c.IsCommandEnabled(ID_EDIT_PASTE));
    doc.edit.SetReadOnly(false);
    EXPECT_TRUE(c.IsCommandEnabled(ID_EDIT_PASTE));
    c.clip = {};
    EXPECT_FALSE(c.IsCommandEnabled(ID_EDIT_PASTE));

    // Only a document of one empty line has nothing to copy.
    TestDocument empty(u"");
    HostedPane blank(empty.edit);
    EXPECT_FALSE(blank.controller.IsCommandEnabled(ID_EDIT_COPY));
}

TEST(Clipboard, SelectionsBecomeThePrimarySelectionAndAMiddleClickPastesIt)
{
    TestDocument doc(u"alpha beta\ngamma");
    HostedPane pane(doc.edit);
    auto& c = pane.controller;
    pane.Drag(0, 0, 5, 0);
    EXPECT_EQ(c.primary, u"alpha");
    c.OnCommand(ID_EDIT_WORD_RIGHT_EXTEND);
    EXPECT_EQ(c.primary, u"alpha ");
    c.primary = u"NEW";
    c.OnMiddleClick(HostedPane::X(2), HostedPane::Y(1));
    EXPECT_EQ(doc.Line(1), u"gaNEWmma");
    EXPECT_FALSE(c.HasSelection());
    doc.edit.SetReadOnly(true);
    c.OnMiddleClick(HostedPane::X(0), HostedPane::Y(1));
    EXPECT_EQ(doc.Line(1), u"gaNEWmma");
}
