#include "ViewTestSupport.h"

#include "view/SECEditSelectionHolder.h"
#include "view/SECEditViewport.h"

#include <gtest/gtest.h>

#include <array>

namespace {

// A viewport on fixed metrics (8-px characters, 16-px lines) and a gutter
// holder, with the configuration's settings applied.
struct Pane
{
    explicit Pane(std::u16string_view text, int tabSize = 4, bool showWhitespace = false, bool virtualWhitespace = false,
                  int gutterMode = SECEditGutterSettings::NoGutter)
        : config(MakeTestConfig(tabSize, showWhitespace, virtualWhitespace)), window(800, 160),
          viewport(&edit, metrics, &window)
    {
        LoadText(edit, text, config.get());
        holder.SetViewport(&viewport);
        holder.GetGutterSettings().mode = gutterMode;
        viewport.SetPresentationState(&holder);
        viewport.RefreshSettings();
    }

    TestConfigPtr config;
    SECEdit edit;
    FixedMetricsFactory metrics;
    RecordingWindow window;
    SECEditViewport viewport;
    SECEditSelectionHolder holder;
};

TEST(ViewportGeometry, TabStopsFollowSpaceWidthAndVisibleTabGlyph)
{
    Pane plain(u"\tx");
    EXPECT_EQ(plain.viewport.GetTabStopWidth(), 32);
    EXPECT_EQ(plain.viewport.PointFromPosition({0, 1}).x, 32);
    EXPECT_EQ(plain.viewport.PointFromPosition({0, 2}).x, 40);

    Pane shown(u"\tx", 4, true);
    EXPECT_EQ(shown.viewport.GetTabStopWidth(), 34);
    EXPECT_EQ(shown.viewport.PointFromPosition({0, 1}).x, 34);

    // A tab after some text runs to the next multiple, not a full stop further.
    Pane mid(u"abcde\tx");
    EXPECT_EQ(mid.viewport.PointFromPosition({0, 6}).x, 64);
}

TEST(ViewportGeometry, ClickOnTabCellEdgeVersusInside)
{
    Pane pane(u"ab\tc");
    // The tab's cell runs from x 16 to the stop at 32.
    EXPECT_EQ(pane.viewport.PositionFromPoint({16, 0}, false).column, 2);
    EXPECT_EQ(pane.viewport.PositionFromPoint({17, 0}, false).column, 3);
    EXPECT_EQ(pane.viewport.PositionFromPoint({20, 0}, false).column, 3);
    // With rounding, only the last 3 pixels of the cell count as after it.
    EXPECT_EQ(pane.viewport.PositionFromPoint({28, 0}, true).column, 2);
    EXPECT_EQ(pane.viewport.PositionFromPoint({29, 0}, true).column, 3);
    // An ordinary character rounds to the nearer boundary.
    EXPECT_EQ(pane.viewport.PositionFromPoint({3, 0}, false).column, 0);
    EXPECT_EQ(pane.viewport.PositionFromPoint({5, 0}, false).column, 1);
}

TEST(ViewportGeometry, VirtualWhiteSpaceBeyondLineEnd)
{
    Pane on(u"abc", 4, false, true);
    PixelPoint snapped;
    // 3.5 space widths right of the end.
    const SECEditTextPos pos = on.viewport.PositionFromPoint({24 + 28, 5}, false, &snapped);
    EXPECT_EQ(pos, SECEditTextPos(0, 6));
    EXPECT_EQ(snapped, (PixelPoint{48, 0}));
    EXPECT_EQ(on.viewport.PointFromPosition({0, 6}).x, 48);

    Pane off(u"abc");
    EXPECT_EQ(off.viewport.PositionFromPoint({24 + 28, 5}, false), SECEditTextPos(0, 3));
}

TEST(ViewportGeometry, PointsAndPositionsRoundTripOnEveryBoundary)
{
    Pane pane(u"a\tbc\t\td  e\tf\n\tx", 3, true);
    std::u16string_view line;
    ASSERT_EQ(pane.edit.GetLineText(0, line), 12);
    for (int column = 0; column <= int(line.size()); ++column) {
        const PixelPoint p = pane.viewport.PointFromPosition({0, column});
        EXPECT_EQ(pane.viewport.PositionFromPoint(p, false).column, column) << column;
        EXPECT_EQ(pane.viewport.PositionFromPoint(p, true).column, column) << column;
    }
    // Lines are clamped: a point below the text lands on the last line.
    EXPECT_EQ(pane.viewport.PositionFromPoint({0, 1000}, false).line, 1);
    EXPECT_EQ(pane.viewport.PositionFromPoint({0, -40}, false).line, 0);
    EXPECT_EQ(pane.viewport.PointFromPosition({7, 0}), (PixelPoint{0, 0}));
}

TEST(ViewportGeometry, GutterWidthAndLineNumbers)
{
    SECEditGutterSettings gutter;
    gutter.mode = 45311;
    EXPECT_EQ(gutter.GetDigitCount(9), 1);
    EXPECT_EQ(gutter.GetDigitCount(10), 2);
    EXPECT_EQ(gutter.GetDigitCount(100), 3);
    EXPECT_EQ(gutter.GetDigitCount(0), 1);
    EXPECT_EQ(gutter.FormatLineNumber(7, 100), u"007");
    EXPECT_EQ(gutter.FormatLineNumber(100, 100), u"100");
    // Mark margin plus 8 pixels a digit.
    EXPECT_EQ(gutter.GetTextLeft(100), 20 + 24);
    gutter.digitCountOverride = 5;
    EXPECT_EQ(gutter.FormatLineNumber(42, 100), u"00042");
    gutter.lineNumberWidthOverride = 0;
    EXPECT_EQ(gutter.GetTextLeft(100), 20);

    SECEditGutterSettings modes;
    modes.mode = 45313;
    EXPECT_EQ(modes.GetTextLeft(100), 0);
    modes.mode = 45314;
    EXPECT_EQ(modes.GetTextLeft(100), 20);
    modes.mode = 45310;
    EXPECT_EQ(modes.GetTextLeft(100), 24);

    Pane bare(u"abc", 4, false, false, 45313);
    EXPECT_EQ(bare.viewport.PointFromPosition({0, 0}).x, 0);
    Pane margin(u"abc", 4, false, false, 45314);
    EXPECT_EQ(margin.viewport.PointFromPosition({0, 1}).x, 28);
    EXPECT_EQ(margin.viewport.PositionFromPoint({5, 0}, false).column, 0);
}

TEST(ViewportGeometry, VisibleLinesExtentAndScrollBars)
{
    std::u16string text;
    for (int i = 0; i < 99; ++i)
        text += u"line\n";
    Pane pane(text); // 100 lines in a window 160 pixels (10 lines) high, 800 wide
    int first = 0, last = 0;
    pane.viewport.GetVisibleLineRange({0, 20, 100, 64}, first, last);
    EXPECT_EQ(first, 1);
    EXPECT_EQ(last, 3);
    pane.viewport.GetVisibleLineRange({0, 1590, 100, 4000}, first, last);
    EXPECT_EQ(last, 99);

    EXPECT_EQ(pane.viewport.GetExtentWidth(), 2048 * 8);
    EXPECT_EQ(pane.viewport.GetExtentHeight(), 100 * 16);
    pane.viewport.UpdateScrollRanges();
    EXPECT_EQ(pane.window.vbar.maximum, 90);
    EXPECT_EQ(pane.window.vbar.page, 10);
    EXPECT_TRUE(pane.window.vbar.enabled);
    EXPECT_EQ(pane.window.hbar.maximum, 2048 - 100);
    EXPECT_EQ(pane.window.hbar.page, 100);

    // The origin moves in whole lines and stops where the last line is at the bottom.
    pane.viewport.ScrollTo({13, 25});
    EXPECT_EQ(pane.viewport.GetOrigin(), (PixelPoint{8, 16}));
    pane.viewport.ScrollBy(0, 500);
    EXPECT_EQ(pane.viewport.GetFirstVisibleLine(), 90);
    EXPECT_EQ(pane.window.vbar.position, 90);
    pane.viewport.ScrollBy(-5, -500);
    EXPECT_EQ(pane.viewport.GetOrigin(), (PixelPoint{0, 0}));

    // Once everything fits, the view goes back to the top and the bar is disabled.
    pane.viewport.ScrollBy(0, 3);
    pane.window.height = 3000;
    pane.viewport.UpdateScrollRanges();
    EXPECT_EQ(pane.viewport.GetOrigin().y, 0);
    EXPECT_FALSE(pane.window.vbar.enabled);
}

TEST(ViewportGeometry, MetricsComeFromTheConfigurationFont)
{
    Pane pane(u"x");
    pane.config->SetFacename(u"DejaVu Sans Mono");
    pane.config->SetSize(13);
    pane.config->SetBold(true);
    pane.viewport.RefreshSettings();
    const FontDescription& font = pane.metrics.fonts.back();
    EXPECT_EQ(font.face, u"DejaVu Sans Mono");
    EXPECT_EQ(font.pointSize, 13);
    EXPECT_TRUE(font.fixedPitch);
    EXPECT_FALSE(font.bold); // the editor font is never bold
}

TEST(ViewportGeometry, AnotherFontKeepsTheTopLineAndColumn)
{
    // Line height and character width grow with the point size.
    struct SizedMetrics final : FixedMetrics
    {
        explicit SizedMetrics(int points) : points(points) {}
        int GetHeight() const override { return points + 7; }
        int GetAverageCharWidth() const override { return points / 2 + 3; }
        int points;
    };
    struct SizedFactory final : IFontMetricsFactory
    {
        std::unique_ptr<IFontMetrics> CreateMetrics(const FontDescription& font) override
        {
            return std::make_unique<SizedMetrics>(font.pointSize);
        }
    };
    std::u16string text;
    for (int i = 0; i < 999; ++i)
        text += u"a fairly long line of text that reaches far to the right of the pane\n";
    TestConfigPtr config = MakeTestConfig();
    config->SetSize(10);
    SECEdit edit;
    LoadText(edit, text, config.get());
    SizedFactory metrics;
    RecordingWindow window(400, 300);
    SECEditViewport viewport(&edit, metrics, &window);
    viewport.RefreshSettings();
    viewport.UpdateScrollRanges();
    viewport.ScrollToUnits(7, 600);
    for (int points : {11, 9, 24, 10, 13}) {
        config->SetSize(points);
        viewport.RefreshSettings();
        viewport.UpdateScrollRanges();
        EXPECT_EQ(viewport.GetFirstVisibleLine(), 600) << points;
        EXPECT_EQ(viewport.GetFirstVisibleColumn(), 7) << points;
    }
}

TEST(ViewportGeometry, ColumnBlockSpanFollowsPixelsAcrossTabs)
{
    Pane pane(u"abcdefgh\n\tx\nab");
    pane.holder.SetSelection({0, 2}, {2, 6}, ColumnSelection);
    int start = 0, end = 0;
    ASSERT_TRUE(pane.holder.GetColumnSelectionSpan(0, start, end));
    EXPECT_EQ(start, 2);
    EXPECT_EQ(end, 6);
    // The block is x 16..48. The tab covers x 0..32, so the block starts
    // before it; x ends at 40, so the block ends one virtual column later.
    ASSERT_TRUE(pane.holder.GetColumnSelectionSpan(1, start, end));
    EXPECT_EQ(start, 0);
    EXPECT_EQ(end, 3);
    // A short line: the block lies in virtual space.
    ASSERT_TRUE(pane.holder.GetColumnSelectionSpan(2, start, end));
    EXPECT_EQ(start, 2);
    EXPECT_EQ(end, 6);
    EXPECT_FALSE(pane.holder.GetColumnSelectionSpan(3, start, end));
}

TEST(ViewportGeometry, SelectionHolderNormalisesAndFollowsEdits)
{
    Pane pane(u"one\ntwo\nthree");
    pane.holder.SetSelection({2, 3}, {0, 1});
    int sl, sc, el, ec;
    ASSERT_TRUE(pane.holder.GetSelection(sl, sc, el, ec));
    EXPECT_EQ((std::array{sl, sc, el, ec}), (std::array{0, 1, 2, 3}));

    // Whole lines: up to column 0 of the next line, or the end of the last.
    pane.holder.SetSelection({0, 2}, {1, 1}, LineSelection);
    ASSERT_TRUE(pane.holder.GetSelection(sl, sc, el, ec));
    EXPECT_EQ((std::array{sl, sc, el, ec}), (std::array{0, 0, 2, 0}));
    pane.holder.SetSelection({2, 2}, {2, 2}, LineSelection);
    ASSERT_TRUE(pane.holder.GetSelection(sl, sc, el, ec));
    EXPECT_EQ((std::array{sl, sc, el, ec}), (std::array{2, 0, 2, 5}));

    // Columns beyond a line's end are clamped unless virtual space is allowed.
    pane.holder.SetSelection({0, 1}, {1, 9});
    ASSERT_TRUE(pane.holder.GetSelection(sl, sc, el, ec));
    EXPECT_EQ(ec, 3);

    pane.holder.SetSelection({1, 1}, {2, 2});
    pane.edit.InsertTextAt(0, 0, u"x\n");
    EXPECT_EQ(pane.holder.GetAnchor(), SECEditTextPos(2, 1));
    EXPECT_EQ(pane.holder.GetActiveEnd(), SECEditTextPos(3, 2));
    pane.edit.ResetContent();
    EXPECT_FALSE(pane.holder.HasSelection());
}

TEST(ViewportGeometry, HolderAnswersGeometryWithVirtualSpaceInColumnMode)
{
    Pane pane(u"ab\ncdefgh", 4, false, false, 45314);
    EXPECT_EQ(pane.holder.GetTextLeft(), 20);
    EXPECT_EQ(pane.holder.PointFromPosition({1, 2}), (PixelPoint{36, 16}));
    EXPECT_EQ(pane.holder.GetTextExtent(u"a\tb", 0), 40);
    EXPECT_EQ(pane.holder.PositionFromPoint({20 + 40, 0}, false), SECEditTextPos(0, 2));
    // A column block may reach past a line's end.
    pane.holder.SetSelection({1, 1}, {1, 4}, ColumnSelection);
    EXPECT_EQ(pane.holder.PositionFromPoint({20 + 40, 0}, false), SECEditTextPos(0, 5));
}

TEST(ViewportGeometry, ViewportWithoutEngineStaysSafe)
{
    FixedMetricsFactory metrics;
    RecordingWindow window(100, 50);
    SECEditViewport viewport(nullptr, metrics, &window);
    RecordingSurface surface;
    viewport.PaintText(surface, {0, 0, 100, 50});
    viewport.UpdateScrollRanges();
    viewport.ScrollBy(3, 3);
    EXPECT_EQ(viewport.PointFromPosition({0, 4}), (PixelPoint{0, 0}));
    EXPECT_EQ(viewport.PositionFromPoint({50, 20}, false), SECEditTextPos(0, 0));
    ASSERT_EQ(surface.ops.size(), 1u);
    EXPECT_EQ(surface.ops[0].kind, RecordingSurface::Op::Fill);
}

} // namespace
