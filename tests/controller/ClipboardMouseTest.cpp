#include "ControllerTestSupport.h"

#include <gtest/gtest.h>

namespace {
// A controller whose clipboard is a string.
class ClipboardController : public SECEditController
{
public:
    using SECEditController::SECEditController;
    std::u16string clip;
    bool column = false;

protected:
    void CopyToClipboard(const SECEditTransfer& data) override
    {
        clip = data.text;
        column = data.column;
    }
    bool ReadClipboard(SECEditTransfer& data) const override
    {
        data = {clip, column};
        return true;
    }
};
} // namespace

TEST(Clipboard, CutCopyPasteAndLineCutAreSingleSteps)
{
    TestDocument doc(u"one two\nsecond");
    RecordingWindow window(640, 320);
    FixedMetricsFactory metrics;
    SECEditViewport viewport(&doc.edit, metrics, &window);
    ClipboardController controller(&viewport);
    viewport.SetPresentationState(&controller);
    controller.CreateEditCaret();

    EXPECT_TRUE(controller.IsCommandEnabled(ID_EDIT_COPY)); // copies the caret's line
    controller.ExtendSelectionTo(0, 3, true);
    controller.OnCommand(ID_EDIT_CUT);
    EXPECT_EQ(controller.clip, u"one");
    EXPECT_EQ(doc.Line(0), u" two");
    controller.OnCommand(ID_EDIT_LINE_END);
    controller.OnCommand(ID_EDIT_PASTE);
    EXPECT_EQ(doc.Line(0), u" twoone");
    EXPECT_EQ(controller.GetCaretPos(), SECEditTextPos(0, 7));

    controller.OnCommand(ID_EDIT_LINE_CUT);
    EXPECT_EQ(controller.clip, u" twoone\n");
    EXPECT_EQ(doc.edit.GetLineCount(), 1);
    EXPECT_EQ(doc.Line(0), u"second");
    controller.OnCommand(ID_EDIT_UNDO);
    EXPECT_EQ(doc.Line(0), u" twoone");
    EXPECT_EQ(doc.Line(1), u"second");

    doc.edit.SetReadOnly(true);
    controller.MoveCaretTo(0, 0);
    controller.ExtendSelectionTo(0, 4, true);
    controller.OnCommand(ID_EDIT_CUT);
    EXPECT_EQ(doc.Line(0), u" twoone");
    controller.OnCommand(ID_EDIT_COPY); // copying reads only
    EXPECT_EQ(controller.clip, u" two");
    viewport.SetPresentationState(nullptr);
}

TEST(Mouse, PressPlacesDragSelectsDoubleClickTakesAWord)
{
    TestDocument doc(u"alpha beta\ngamma delta");
    TestPane pane(doc.edit);
    // Text starts right of the 20-pixel gutter; cells are 8 by 16.
    const auto x = [](int column) { return 20 + column * 8 + 1; };
    pane.controller.OnMouseDown(x(2), 16 + 3, 0, false);
    EXPECT_EQ(pane.Caret(), SECEditTextPos(1, 2));
    EXPECT_FALSE(pane.controller.HasSelection());
    pane.controller.OnMouseMove(x(5), 3);
    pane.controller.OnMouseUp();
    EXPECT_EQ(pane.Caret(), SECEditTextPos(0, 5));
    EXPECT_EQ(pane.controller.GetSelectedText(), u" beta\nga");
    EXPECT_EQ(pane.controller.GetAnchor(), SECEditTextPos(1, 2));

    // Shift extends from the anchor.
    pane.controller.OnMouseDown(x(0), 16 + 3, Qt::ShiftModifier, false);
    pane.controller.OnMouseUp();
    EXPECT_EQ(pane.controller.GetSelectedText(), u"ga");

    pane.controller.OnMouseDown(x(8), 3, 0, true);
    pane.controller.OnMouseUp();
    EXPECT_EQ(pane.controller.GetSelectedText(), u"beta");
    // While the button is down, edits wait.
    pane.controller.OnMouseDown(x(1), 3, 0, false);
    EXPECT_TRUE(pane.controller.IsMouseDragging());
    pane.Type(u"x");
    EXPECT_EQ(doc.Line(0), u"alpha beta");
    pane.controller.OnMouseUp();
    pane.Type(u"x");
    EXPECT_EQ(doc.Line(0), u"axlpha beta");
}
