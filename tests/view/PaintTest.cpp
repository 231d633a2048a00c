#include "ViewTestSupport.h"

#include "engine/SECEditLineMarks.h"
#include "view/SECEditSelectionHolder.h"
#include "view/SECEditViewport.h"

#include <gtest/gtest.h>

namespace {

constexpr std::uint32_t kWhite = 0xFFFFFF;
constexpr std::uint32_t kBlack = 0x000000;

// A pane 800 x 160 on fixed metrics with scripted colour runs and no gutter.
struct PaintPane
{
    explicit PaintPane(std::u16string_view text, bool showWhitespace = false, bool virtualWhitespace = false)
        : config(MakeTestConfig(4, showWhitespace, virtualWhitespace)), window(800, 160),
          viewport(&edit, metrics, &window)
    {
        LoadText(edit, text, config.get());
        holder.SetViewport(&viewport);
        holder.GetGutterSettings().mode = SECEditGutterSettings::NoGutter;
        viewport.SetPresentationState(&holder);
        viewport.RefreshSettings();
    }
    void Paint(PixelRect area = {0, 0, 800, 160})
    {
        surface.Clear();
        viewport.PaintText(surface, area);
    }

    TestConfigPtr config;
    ScriptedEdit edit;
    FixedMetricsFactory metrics;
    RecordingWindow window;
    SECEditViewport viewport;
    SECEditSelectionHolder holder;
    RecordingSurface surface;
};

// Selected blank columns: black fills right of x on a row, in columns of 8 pixels.
int SelectedBlankColumns(const RecordingSurface& surface, int top, int fromX)
{
    int columns = 0;
    for (const auto& fill : surface.FillsOnRow(top, fromX))
        if (fill.color == kBlack)
            columns += fill.rect.Width() / 8;
    return columns;
}

TEST(ViewPainting, RunsAreDrawnInTheirGroupsColours)
{
    PaintPane pane(u"int x; // hi\n  still comment");
    pane.edit.runs[0] = {MakeRun(4, 3), MakeRun(0, 4), MakeRun(5, 0)};
    pane.edit.runs[1] = {MakeRun(5, 0)}; // a line wholly inside a block comment
    pane.Paint();

    const auto row0 = pane.surface.TextsOnRow(0);
    ASSERT_EQ(row0.size(), 3u);
    EXPECT_EQ(row0[0].text, u"int");
    EXPECT_EQ(row0[0].color, kKeywordBlue);
    EXPECT_EQ(row0[1].text, u" x; ");
    EXPECT_EQ(row0[1].rect.left, 24);
    EXPECT_EQ(row0[2].text, u"// hi");
    EXPECT_EQ(row0[2].rect.left, 56);
    EXPECT_EQ(row0[2].color, kCommentGreen);
    EXPECT_EQ(pane.surface.BackgroundAt(60, 5), kCommentBack);

    // The comment colours stop at the line's end; the blank rest of the row is Text.
    const auto row1 = pane.surface.TextsOnRow(16);
    ASSERT_EQ(row1.size(), 1u);
    EXPECT_EQ(row1[0].text, u"  still comment");
    EXPECT_EQ(pane.surface.BackgroundAt(8 * 15 - 1, 20), kCommentBack);
    EXPECT_EQ(pane.surface.BackgroundAt(8 * 15, 20), kWhite);
    // (800 - 120) / 8 + 1 blank columns fill the rest of the row.
    const auto blanks = pane.surface.FillsOnRow(16, 120);
    ASSERT_EQ(blanks.size(), 1u);
    EXPECT_EQ(blanks[0].rect.Width(), 86 * 8);

    // Below the last line the area is Text background.
    EXPECT_EQ(pane.surface.BackgroundAt(400, 100), kWhite);
}

TEST(ViewPainting, MissingOrShortRunListsPaintPlainText)
{
    PaintPane pane(u"abcdef");
    pane.Paint();
    auto row = pane.surface.TextsOnRow(0);
    ASSERT_EQ(row.size(), 1u);
    EXPECT_EQ(row[0].text, u"abcdef");
    EXPECT_EQ(row[0].color, kBlack);

    // A list that covers only part of the line, and a run longer than the line.
    pane.edit.runs[0] = {MakeRun(4, 2)};
    pane.Paint();
    row = pane.surface.TextsOnRow(0);
    ASSERT_EQ(row.size(), 2u);
    EXPECT_EQ(row[1].text, u"cdef");
    pane.edit.runs[0] = {MakeRun(4, 50), MakeRun(5, 3)};
    pane.Paint();
    row = pane.surface.TextsOnRow(0);
    ASSERT_EQ(row.size(), 1u);
    EXPECT_EQ(row[0].text, u"abcdef");
}

TEST(ViewPainting, RunsStartingRightOfTheAreaAreSkipped)
{
    PaintPane pane(u"aaaaa bbbb cccc");
    pane.edit.runs[0] = {MakeRun(4, 5), MakeRun(0, 6), MakeRun(5, 4)};
    pane.Paint({0, 0, 40, 16});
    const auto row = pane.surface.TextsOnRow(0);
    ASSERT_EQ(row.size(), 1u);
    EXPECT_EQ(row[0].text, u"aaaaa");
    // Only the requested line is painted.
    EXPECT_TRUE(pane.surface.TextsOnRow(16).empty());
}

TEST(ViewPainting, StreamSelectionSplitsRunsAndMarksOneBlankPerLine)
{
    PaintPane pane(u"abc\ndef\nghi");
    pane.edit.runs[0] = {MakeRun(4, 0)};
    pane.holder.SetSelection({0, 1}, {2, 1});
    pane.Paint();

    const auto row0 = pane.surface.TextsOnRow(0);
    ASSERT_EQ(row0.size(), 2u);
    EXPECT_EQ(row0[0].text, u"a");
    EXPECT_EQ(row0[0].color, kKeywordBlue);
    EXPECT_EQ(row0[1].text, u"bc");
    EXPECT_EQ(row0[1].color, kWhite);
    EXPECT_EQ(pane.surface.BackgroundAt(12, 4), kBlack);
    EXPECT_EQ(SelectedBlankColumns(pane.surface, 0, 24), 1);
    EXPECT_EQ(SelectedBlankColumns(pane.surface, 16, 24), 1);
    // The end line: selected up to the end column, nothing past the text.
    const auto row2 = pane.surface.TextsOnRow(32);
    ASSERT_EQ(row2.size(), 2u);
    EXPECT_EQ(row2[0].text, u"g");
    EXPECT_EQ(row2[0].color, kWhite);
    EXPECT_EQ(SelectedBlankColumns(pane.surface, 32, 24), 0);
}

TEST(ViewPainting, VirtualWhiteSpaceSelectsBlanksToTheRightEdge)
{
    PaintPane pane(u"abc\ndef", false, true);
    pane.holder.SetSelection({0, 1}, {1, 6});
    pane.Paint();
    EXPECT_EQ(SelectedBlankColumns(pane.surface, 0, 24), (800 - 24) / 8 + 1);
    // On the end line, from the line's end to the end column.
    EXPECT_EQ(SelectedBlankColumns(pane.surface, 16, 24), 3);
    EXPECT_EQ(pane.surface.BackgroundAt(50, 20), kWhite);
}

TEST(ViewPainting, SelectionEndingAtColumnZeroStopsBeforeThatLine)
{
    PaintPane pane(u"abc\ndef");
    pane.holder.SetSelection({0, 1}, {1, 0});
    pane.Paint();
    EXPECT_EQ(SelectedBlankColumns(pane.surface, 0, 24), 1);
    for (const auto& text : pane.surface.TextsOnRow(16))
        EXPECT_EQ(text.color, kBlack);
    EXPECT_EQ(SelectedBlankColumns(pane.surface, 16, 0), 0);
}

TEST(ViewPainting, ColumnSelectionCoversBlanksBeyondShortLines)
{
    PaintPane pane(u"abc\ndefgh\nij");
    pane.holder.SetSelection({0, 1}, {2, 5}, ColumnSelection);
    pane.Paint();
    const auto row1 = pane.surface.TextsOnRow(16);
    ASSERT_EQ(row1.size(), 2u);
    EXPECT_EQ(row1[1].text, u"efgh");
    EXPECT_EQ(row1[1].color, kWhite);
    EXPECT_EQ(SelectedBlankColumns(pane.surface, 0, 24), 2);
    EXPECT_EQ(SelectedBlankColumns(pane.surface, 16, 40), 0);
    EXPECT_EQ(SelectedBlankColumns(pane.surface, 32, 16), 3);
}

TEST(ViewPainting, SelectionShowsOnlyWithFocusOrFocusLook)
{
    PaintPane pane(u"abc");
    pane.holder.SetSelection({0, 0}, {0, 3});
    pane.holder.SetKeepsFocusLook(false);
    pane.Paint();
    EXPECT_EQ(pane.surface.TextsOnRow(0)[0].color, kBlack);
    pane.window.focus = true;
    pane.Paint();
    EXPECT_EQ(pane.surface.TextsOnRow(0)[0].color, kWhite);
}

TEST(ViewPainting, DragRectangleIsInvertedAfterTheText)
{
    PaintPane pane(u"abc\ndef");
    pane.holder.SetColumnRect({30, 40, 10, 5});
    pane.viewport.ScrollTo({0, 0});
    pane.Paint();
    ASSERT_FALSE(pane.surface.ops.empty());
    EXPECT_EQ(pane.surface.ops.back().kind, RecordingSurface::Op::Invert);
    EXPECT_EQ(pane.surface.ops.back().rect, (PixelRect{10, 5, 30, 40}));
    // No text is drawn in selection colours in this mode.
    for (const auto& text : pane.surface.Of(RecordingSurface::Op::Text))
        EXPECT_EQ(text.color, kBlack);
}

TEST(ViewPainting, VisibleWhiteSpaceMarksSpacesAndTabs)
{
    PaintPane pane(u"a\tb c", true);
    pane.Paint();
    const auto row = pane.surface.TextsOnRow(0);
    ASSERT_EQ(row.size(), 5u);
    EXPECT_EQ(row[0].text, u"a");
    EXPECT_EQ(row[1].text, u"\u00BB");
    EXPECT_EQ(row[1].rect.left, 8);
    // The tab's cell still ends on the stop: 3 spaces and the 10-px glyph.
    EXPECT_EQ(row[2].text, u"b");
    EXPECT_EQ(row[2].rect.left, 34);
    EXPECT_EQ(row[3].text, u"\u00B7");
    EXPECT_EQ(row[3].rect.left, 42);
    EXPECT_EQ(row[4].text, u"c");
    EXPECT_EQ(row[4].rect.left, 50);
}

TEST(ViewPainting, HighlightedLineFillsItsRowInTheLineColours)
{
    PaintPane pane(u"marked\nplain");
    pane.edit.runs[0] = {MakeRun(5, 6)};
    pane.edit.runs[1] = {MakeRun(5, 5)};
    pane.edit.SetLineMark(0, SECEditLineMarks::HighlightMark, true);
    pane.Paint();
    EXPECT_EQ(pane.surface.BackgroundAt(600, 8), kCommentBack);
    EXPECT_EQ(pane.surface.BackgroundAt(600, 24), kWhite);
}

TEST(ViewPainting, GutterNumbersAndMarks)
{
    std::u16string text;
    for (int i = 0; i < 99; ++i)
        text += u"x\n";
    PaintPane pane(text);
    pane.holder.GetGutterSettings().mode = 45311;
    pane.holder.GetGutterSettings().lineNumberColor = 0x123456;
    pane.edit.SetLineMark(1, SECEditLineMarks::BookmarkMark, true);
    pane.edit.SetLineMark(2, SECEditLineMarks::SecondGutterMark, true);
    pane.Paint();

    // 20 pixels of mark margin and three 8-pixel digits.
    ASSERT_EQ(pane.viewport.GetTextLeft(), 44);
    const auto numbers = pane.surface.TextsOnRow(6 * 16 + 2);
    ASSERT_EQ(numbers.size(), 1u);
    EXPECT_EQ(numbers[0].text, u"007");
    EXPECT_EQ(numbers[0].rect.left, 0);
    EXPECT_EQ(numbers[0].color, 0x123456u);
    EXPECT_EQ(numbers[0].font.face, u"Ariel");
    EXPECT_EQ(numbers[0].font.pixelHeight, 12);

    const auto rounds = pane.surface.Of(RecordingSurface::Op::RoundRect);
    ASSERT_EQ(rounds.size(), 1u);
    EXPECT_EQ(rounds[0].rect, (PixelRect{0, 16, 43, 32}));
    EXPECT_EQ(rounds[0].color, 0xFFFF00u);
    const auto circles = pane.surface.Of(RecordingSurface::Op::Ellipse);
    ASSERT_EQ(circles.size(), 1u);
    EXPECT_EQ(circles[0].rect, (PixelRect{2, 33, 15, 46})); // d = 13 in a 44 x 16 cell
    EXPECT_EQ(circles[0].color, 0x000080u);

    // Text starts right of the gutter.
    EXPECT_EQ(pane.surface.TextsOnRow(0)[0].text, u"x");
    EXPECT_EQ(pane.surface.TextsOnRow(0)[0].rect.left, 44);
}

TEST(ViewPainting, CircleSizeFollowsNarrowAndTallCells)
{
    PaintPane pane(u"a\nb");
    pane.edit.SetLineMark(0, SECEditLineMarks::SecondGutterMark, true);
    pane.holder.GetGutterSettings().mode = 45314;
    pane.holder.GetGutterSettings().markMarginWidth = 10;
    pane.Paint();
    auto circles = pane.surface.Of(RecordingSurface::Op::Ellipse);
    ASSERT_EQ(circles.size(), 1u);
    // c = 10, d = 7, moved down by (16 - 7) / 2 - 1 in the taller cell.
    EXPECT_EQ(circles[0].rect, (PixelRect{2, 4, 9, 11}));

    pane.holder.GetGutterSettings().markMarginWidth = 5;
    pane.Paint();
    EXPECT_TRUE(pane.surface.Of(RecordingSurface::Op::Ellipse).empty());
    EXPECT_FALSE(pane.surface.FillsOnRow(0).empty()); // the gutter itself is still there
}

} // namespace
