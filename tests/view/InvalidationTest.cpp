#include "ViewTestSupport.h"

#include "engine/SECEditLineMarks.h"
#include "engine/SECEditLinesMsg.h"
#include "engine/SECEditMsg.h"
#include "view/SECEditSelectionHolder.h"
#include "view/SECEditViewport.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

// 50 lines in a window of 10 lines (160 px) by 800 px, with a 20-px mark margin.
struct Pane
{
    explicit Pane(SECEdit& edit) : window(800, 160), viewport(&edit, metrics, &window)
    {
        holder.SetViewport(&viewport);
        viewport.SetPresentationState(&holder);
        viewport.UpdateScrollRanges();
        window.Clear();
    }
    FixedMetricsFactory metrics;
    RecordingWindow window;
    SECEditViewport viewport;
    SECEditSelectionHolder holder;
};

bool Contains(const std::vector<PixelRect>& rects, const PixelRect& r)
{
    return std::find(rects.begin(), rects.end(), r) != rects.end();
}

std::u16string Lines(int count)
{
    std::u16string text;
    for (int i = 1; i < count; ++i)
        text += u"some text\n";
    return text;
}

TEST(ViewInvalidation, TypingRepaintsOneRowAndEnterRepaintsToTheBottom)
{
    SECEdit edit;
    LoadText(edit, Lines(50), nullptr);
    Pane pane(edit);
    pane.viewport.ScrollBy(0, 2);
    pane.window.Clear();

    edit.InsertTextAt(5, 3, u"x");
    // The row, and the gutter for the changed-line mark.
    EXPECT_EQ(pane.window.invalidated.size(), 2u);
    EXPECT_TRUE(Contains(pane.window.invalidated, {0, 48, 800, 64}));
    EXPECT_TRUE(Contains(pane.window.invalidated, {0, 0, 20, 160}));
    EXPECT_EQ(pane.window.invalidatedAll, 0);

    pane.window.Clear();
    edit.InsertTextAt(5, 3, u"\n");
    EXPECT_TRUE(Contains(pane.window.invalidated, {0, 48, 800, 160}));
    EXPECT_EQ(pane.window.invalidatedAll, 0);

    // Undo delivers the same command again: the same rows.
    pane.window.Clear();
    edit.Undo();
    EXPECT_TRUE(Contains(pane.window.invalidated, {0, 48, 800, 160}));
}

TEST(ViewInvalidation, LineMarksRepaintOnlyTheGutter)
{
    SECEdit edit;
    LoadText(edit, Lines(50), nullptr);
    Pane pane(edit);
    edit.SetLineMark(3, SECEditLineMarks::BookmarkMark, true);
    ASSERT_EQ(pane.window.invalidated.size(), 1u);
    EXPECT_EQ(pane.window.invalidated[0], (PixelRect{0, 0, 20, 160}));

    // Without a gutter there is nothing to repaint.
    pane.holder.GetGutterSettings().mode = SECEditGutterSettings::NoGutter;
    pane.window.Clear();
    edit.SetLineMark(4, SECEditLineMarks::BookmarkMark, true);
    EXPECT_TRUE(pane.window.invalidated.empty());
}

TEST(ViewInvalidation, LinesMessagesAreClippedToTheWindow)
{
    SECEdit edit;
    LoadText(edit, Lines(50), nullptr);
    Pane pane(edit);
    SECEditLinesMsg lines(8, 30);
    edit.UpdateAllObservers(nullptr, &lines);
    ASSERT_EQ(pane.window.invalidated.size(), 1u);
    EXPECT_EQ(pane.window.invalidated[0], (PixelRect{0, 128, 800, 160}));

    pane.window.Clear();
    SECEditLinesMsg hidden(20, 30);
    edit.UpdateAllObservers(nullptr, &hidden);
    EXPECT_TRUE(pane.window.invalidated.empty());
}

TEST(ViewInvalidation, ScrollingOneLineMovesPixelsInsteadOfRepainting)
{
    SECEdit edit;
    LoadText(edit, Lines(50), nullptr);
    Pane pane(edit);
    pane.viewport.ScrollBy(0, 1);
    ASSERT_EQ(pane.window.scrolls.size(), 1u);
    EXPECT_EQ(pane.window.scrolls[0].dy, -16);
    EXPECT_EQ(pane.window.scrolls[0].area, (PixelRect{0, 0, 800, 160}));
    EXPECT_TRUE(pane.window.invalidated.empty());
    EXPECT_EQ(pane.window.invalidatedAll, 0);
    EXPECT_EQ(pane.window.vbar.position, 1);

    // Sideways the gutter stays where it is.
    pane.window.Clear();
    pane.viewport.ScrollBy(2, 0);
    ASSERT_EQ(pane.window.scrolls.size(), 1u);
    EXPECT_EQ(pane.window.scrolls[0].dx, -16);
    EXPECT_EQ(pane.window.scrolls[0].area, (PixelRect{20, 0, 800, 160}));

    // A jump of a whole page or more repaints everything.
    pane.window.Clear();
    pane.viewport.ScrollBy(0, 20);
    EXPECT_TRUE(pane.window.scrolls.empty());
    EXPECT_EQ(pane.window.invalidatedAll, 1);
}

TEST(ViewInvalidation, ResetReturnsToTheTopAndRepaintsEverything)
{
    SECEdit edit;
    LoadText(edit, Lines(50), nullptr);
    Pane pane(edit);
    pane.viewport.ScrollBy(3, 7);
    pane.holder.SetSelection({1, 0}, {2, 0});
    pane.window.Clear();
    edit.ResetContent();
    EXPECT_EQ(pane.viewport.GetOrigin(), (PixelPoint{0, 0}));
    EXPECT_GE(pane.window.invalidatedAll, 1);
    EXPECT_FALSE(pane.holder.HasSelection());
    EXPECT_FALSE(pane.window.vbar.enabled);
}

TEST(ViewInvalidation, MoreDigitsMoveTheTextAndRepaintEverything)
{
    SECEdit edit;
    LoadText(edit, Lines(9), nullptr);
    Pane pane(edit);
    pane.holder.GetGutterSettings().mode = 45311;
    pane.viewport.UpdateScrollRanges();
    pane.window.Clear();
    edit.InsertTextAt(8, 0, u"\n"); // the tenth line needs a second digit
    EXPECT_EQ(pane.viewport.GetTextLeft(), 20 + 16);
    EXPECT_GE(pane.window.invalidatedAll, 1);
}

TEST(ViewInvalidation, ConfigurationChangesRebuildMetricsAndRepaintEverything)
{
    TestConfigPtr config = MakeTestConfig();
    SECEdit edit;
    LoadText(edit, Lines(5), config.get());
    Pane pane(edit);
    config->SetSize(14);
    config->SetShowWhitespace(true);
    SECEditMsg changed(SECEditMsg::InvalidateColoring);
    config->UpdateAllObservers(nullptr, &changed);
    EXPECT_EQ(pane.metrics.fonts.back().pointSize, 14);
    EXPECT_EQ(pane.viewport.GetTabStopWidth(), 3 * 8 + 10);
    EXPECT_GE(pane.window.invalidatedAll, 1);
}

TEST(ViewInvalidation, SplitPanesFollowTheirRowAndColumn)
{
    SECEdit edit;
    LoadText(edit, Lines(200), nullptr);
    int window = 0;
    int otherWindow = 0;
    Pane topLeft(edit), topRight(edit), bottomLeft(edit), elsewhere(edit);
    topLeft.viewport.SetSplitterCell(&window, 0, 0);
    topRight.viewport.SetSplitterCell(&window, 0, 1);
    bottomLeft.viewport.SetSplitterCell(&window, 1, 0);
    elsewhere.viewport.SetSplitterCell(&otherWindow, 0, 0);

    topLeft.viewport.ScrollBy(4, 30);
    EXPECT_EQ(topRight.viewport.GetOrigin(), (PixelPoint{0, 30 * 16}));
    EXPECT_EQ(bottomLeft.viewport.GetOrigin(), (PixelPoint{4 * 8, 0}));
    EXPECT_EQ(elsewhere.viewport.GetOrigin(), (PixelPoint{0, 0}));
    EXPECT_EQ(topRight.window.vbar.position, 30);

    // Any pane leads, and followers do not echo back.
    bottomLeft.viewport.ScrollBy(0, 5);
    EXPECT_EQ(topLeft.viewport.GetOrigin().y, 30 * 16);
    EXPECT_EQ(bottomLeft.viewport.GetOrigin(), (PixelPoint{4 * 8, 5 * 16}));
    topRight.viewport.ScrollBy(1, 0);
    EXPECT_EQ(topLeft.viewport.GetOrigin().x, 4 * 8);
}

} // namespace
