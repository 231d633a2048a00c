#include "engine/SECEdit.h"
#include "platform/IDrawingSurface.h"
#include "platform/IFontMetricsFactory.h"
#include "view/SECEditPrintLayout.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Cells 10 high; characters 10 wide except 'W' (30) and 'i' (4).
class PrintMetrics : public IFontMetrics
{
public:
    int GetHeight() const override { return 10; }
    int GetAscent() const override { return 8; }
    int GetAverageCharWidth() const override { return 10; }
    int GetCharWidth(char16_t c) const override { return c == u'W' ? 30 : c == u'i' ? 4 : 10; }
    int GetTextWidth(std::u16string_view text) const override
    {
        int width = 0;
        for (char16_t c : text)
            width += GetCharWidth(c);
        return width;
    }
};

class PrintMetricsFactory : public IFontMetricsFactory
{
public:
    std::unique_ptr<IFontMetrics> CreateMetrics(const FontDescription& font) override
    {
        fonts.push_back(font);
        return std::make_unique<PrintMetrics>();
    }
    std::vector<FontDescription> fonts;
};

struct DrawnText
{
    int x;
    int top;
    std::u16string text;
    std::uint32_t color;
};

struct DrawnLine
{
    int x1, y1, x2, y2;
};

class PageRecorder : public IDrawingSurface
{
public:
    void SetFont(const FontDescription& f) override { font = f; }
    void SetClipRect(const PixelRect&) override {}
    void ClearClip() override {}
    void FillRect(const PixelRect&, std::uint32_t) override { ++fills; }
    void DrawText(int x, int top, std::u16string_view text, std::uint32_t color) override
    {
        texts.push_back({x, top, std::u16string(text), color});
    }
    void InvertRect(const PixelRect&) override {}
    void DrawLine(int x1, int y1, int x2, int y2, std::uint32_t) override { lines.push_back({x1, y1, x2, y2}); }
    void DrawRoundRect(const PixelRect&, int, int, std::uint32_t, std::uint32_t) override {}
    void DrawEllipse(const PixelRect&, std::uint32_t, std::uint32_t) override {}

    FontDescription font;
    std::vector<DrawnText> texts;
    std::vector<DrawnLine> lines;
    int fills = 0;
};

// 100 pixels per inch, so the margins are 50; the body is `bodyWidth` wide
// and holds `bodyRows` rows of 10 below a 20-high header.
SECEditPrintDevice Device(int bodyWidth, int bodyRows = 50)
{
    return {bodyWidth + 100, 100 + 40 + bodyRows * 10, 100, 100};
}

struct Printing
{
    PrintMetricsFactory metrics;
    SECEdit edit;
    SECEditPrintLayout layout{metrics};

    explicit Printing(std::u16string_view text, int bodyWidth = 100, int bodyRows = 50, int tabSize = 4)
    {
        edit.ResetContent();
        edit.InsertTextAt(0, 0, text);
        layout.BeginPrinting(&edit, FontDescription{u"Mono", 9, 0, 0, true, false, false}, tabSize,
                             Device(bodyWidth, bodyRows));
    }

    std::vector<std::u16string> RowTexts() const
    {
        std::vector<std::u16string> out;
        for (int row = 0; row < int(layout.GetRows().size()); ++row)
            out.emplace_back(layout.GetRowText(row));
        return out;
    }
};

using Row = SECEditPrintLayout::Row;
using Texts = std::vector<std::u16string>;

} // namespace

TEST(PrintLayout, PageGeometryFollowsTheDeviceAndTheFont)
{
    Printing p(u"x", 300, 20);
    const SECEditPrintLayout& l = p.layout;
    // 9 points at 100 pixels per inch.
    EXPECT_EQ(l.GetPrinterFont().pixelHeight, 12);
    EXPECT_EQ(l.GetPrinterFont().face, u"Mono");
    ASSERT_EQ(p.metrics.fonts.size(), 1u);
    EXPECT_EQ(p.metrics.fonts[0].pixelHeight, 12);
    EXPECT_EQ(l.GetLineHeight(), 10);
    EXPECT_EQ(l.GetTabStopWidth(), 40);
    EXPECT_EQ(l.GetPageRect(), (PixelRect{50, 50, 350, 290}));
    EXPECT_EQ(l.GetHeaderRect(), (PixelRect{50, 50, 350, 70}));
    EXPECT_EQ(l.GetFooterRect(), (PixelRect{50, 270, 350, 290}));
    EXPECT_EQ(l.GetBodyRect(), (PixelRect{50, 70, 350, 270}));
    EXPECT_EQ(l.GetRowsPerPage(), 20);

    p.layout.EndPrinting();
    EXPECT_FALSE(p.layout.IsPrinting());
    EXPECT_TRUE(p.layout.GetRows().empty());
}

TEST(PrintLayout, LongLinesBreakBetweenCharactersAndEmptyLinesTakeARow)
{
    Printing p(u"0123456789ABCDEFGHJK01234\n\nshort");
    EXPECT_EQ(p.layout.GetRows(), (std::vector<Row>{{0, 0}, {0, 10}, {0, 20}, {1, 0}, {2, 0}}));
    EXPECT_EQ(p.RowTexts(), (Texts{u"0123456789", u"ABCDEFGHJK", u"01234", u"", u"short"}));
    // Word boundaries do not matter.
    Printing words(u"aaaa bbbb cccc");
    EXPECT_EQ(words.RowTexts(), (Texts{u"aaaa bbbb ", u"cccc"}));
}

TEST(PrintLayout, ACharacterOnTheEdgeStaysWhenMostOfItIsInside)
{
    // The 11th character spans 100..110.
    EXPECT_EQ(Printing(u"aaaaaaaaaaaa", 105).RowTexts(), (Texts{u"aaaaaaaaaa", u"aa"}));  // half in: moves on
    EXPECT_EQ(Printing(u"aaaaaaaaaaaa", 106).RowTexts(), (Texts{u"aaaaaaaaaaa", u"a"})); // more in: stays
    // A 'W' spanning 90..120 with 10 inside moves on.
    EXPECT_EQ(Printing(u"aaaaaaaaaW", 100).RowTexts(), (Texts{u"aaaaaaaaa", u"W"}));
}

TEST(PrintLayout, ATabOnTheEdgeStaysOnlyWhenItEndsWithinFourPixels)
{
    // The tab runs from 90 to the stop at 120: mostly inside a body of 112, but 8 beyond it.
    EXPECT_EQ(Printing(u"aaaaaaaaa\tb", 112).RowTexts(), (Texts{u"aaaaaaaaa", u"\tb"}));
    EXPECT_EQ(Printing(u"aaaaaaaaa\tb", 117).RowTexts(), (Texts{u"aaaaaaaaa\t", u"b"}));
    EXPECT_EQ(Printing(u"aaaaaaaaa\tb", 116).RowTexts(), (Texts{u"aaaaaaaaa", u"\tb"}));
    // From 118 to 120: only half inside a body of 119, yet within 4 pixels.
    EXPECT_EQ(Printing(u"aaaaaaaaaaaii\tb", 119).RowTexts(), (Texts{u"aaaaaaaaaaaii\t", u"b"}));
    // Tab stops follow the tab size and restart at every row's left edge.
    Printing p(u"\t\t\tx", 100, 50, 2);
    EXPECT_EQ(p.layout.GetTabStopWidth(), 20);
    EXPECT_EQ(p.layout.MeasureText(u"a\tb"), 30);
    EXPECT_EQ(p.RowTexts(), (Texts{u"\t\t\tx"}));
}

TEST(PrintLayout, ACharacterWiderThanTheBodyStillMakesProgress)
{
    EXPECT_EQ(Printing(u"WWaW", 20).RowTexts(), (Texts{u"W", u"W", u"a", u"W"}));
    EXPECT_EQ(Printing(u"abc", 0).RowTexts(), (Texts{u"a", u"b", u"c"}));
    // The two halves of a character beyond the basic plane stay together.
    EXPECT_EQ(Printing(u"a\U0001F600b", 15).RowTexts(), (Texts{u"a", u"\U0001F600", u"b"}));
}

TEST(PrintLayout, PagesHoldRowsPerPageRowsAndTheLastTakesTheRest)
{
    std::u16string text;
    for (int i = 0; i < 101; ++i)
        text += i == 0 ? u"x" : u"\nx";
    Printing p(text, 100, 50);
    EXPECT_EQ(p.layout.GetRowsPerPage(), 50);
    EXPECT_EQ(p.layout.GetPageCount(), 3);
    int first = -1;
    int end = -1;
    p.layout.GetPageRows(3, first, end);
    EXPECT_EQ(first, 100);
    EXPECT_EQ(end, 101);
    p.layout.GetPageRows(2, first, end);
    EXPECT_EQ(first, 50);
    EXPECT_EQ(end, 100);
    p.layout.GetPageRows(4, first, end);
    EXPECT_EQ(end - first, 0);
    p.layout.GetPageRows(0, first, end);
    EXPECT_EQ(end - first, 0);

    // 100 rows fill exactly two pages.
    Printing even(text.substr(0, text.size() - 2), 100, 50);
    EXPECT_EQ(even.layout.GetPageCount(), 2);
}

TEST(PrintLayout, NoDocumentHasNoRowsAndAnEmptyOneHasOnePage)
{
    PrintMetricsFactory metrics;
    SECEditPrintLayout none(metrics);
    none.BeginPrinting(nullptr, FontDescription{}, 4, Device(100));
    EXPECT_TRUE(none.GetRows().empty());
    EXPECT_EQ(none.GetPageCount(), 0);

    Printing empty(u"");
    EXPECT_EQ(empty.layout.GetRows().size(), std::size_t(empty.edit.GetLineCount()));
    EXPECT_EQ(empty.layout.GetPageCount(), empty.edit.GetLineCount() > 0 ? 1 : 0);
}

TEST(PrintLayout, APageTooSmallForARowStillPrintsOneRowPerPage)
{
    PrintMetricsFactory metrics;
    SECEdit edit;
    edit.InsertTextAt(0, 0, u"a\nb\nc");
    SECEditPrintLayout layout(metrics);
    layout.BeginPrinting(&edit, FontDescription{}, 4, SECEditPrintDevice{150, 120, 100, 100});
    EXPECT_EQ(layout.GetRowsPerPage(), 1);
    EXPECT_EQ(layout.GetPageCount(), 3);
    PageRecorder page;
    layout.PrintPage(page, 2, u"t");
    ASSERT_FALSE(page.texts.empty());
}

TEST(PrintLayout, APageHasTitleRowsAndPageNumberInBlack)
{
    std::u16string text;
    for (int i = 0; i < 25; ++i)
        text += u"line\n";
    text += u"a\tb";
    Printing p(text, 300, 20);
    PageRecorder page;
    p.layout.PrintPage(page, 2, u"notes.txt");
    EXPECT_EQ(page.font.pixelHeight, 12);
    EXPECT_EQ(page.fills, 0); // white paper stays as it is

    ASSERT_GE(page.texts.size(), 4u);
    // Header: the title on its first line, a rule one and a half lines down.
    EXPECT_EQ(page.texts.front().text, u"notes.txt");
    EXPECT_EQ(page.texts.front().x, 50);
    EXPECT_EQ(page.texts.front().top, 50);
    // Body: rows 20..25, the tab expanded from the body's left edge.
    std::vector<DrawnText> body(page.texts.begin() + 1, page.texts.end() - 1);
    ASSERT_EQ(body.size(), 7u);
    EXPECT_EQ(body[0].text, u"line");
    EXPECT_EQ(body[0].top, 70);
    EXPECT_EQ(body[4].top, 110);
    EXPECT_EQ(body[5].text, u"a");
    EXPECT_EQ(body[6].text, u"b");
    EXPECT_EQ(body[6].x, 90);
    EXPECT_EQ(body[6].top, 120);
    // Footer: a rule half a line down, the page number half a line below it.
    EXPECT_EQ(page.texts.back().text, u"Page: 2");
    EXPECT_EQ(page.texts.back().x, 50);
    EXPECT_EQ(page.texts.back().top, 280);
    ASSERT_EQ(page.lines.size(), 2u);
    EXPECT_EQ(page.lines[0].y1, 65);
    EXPECT_EQ(page.lines[0].x1, 50);
    EXPECT_EQ(page.lines[0].x2, 350);
    EXPECT_EQ(page.lines[1].y1, 275);
    for (const DrawnText& t : page.texts)
        EXPECT_EQ(t.color, 0x000000u);
}

TEST(PrintLayout, AnUntitledDocumentPrintsUntitledAndLongTitlesKeepTheirFileName)
{
    Printing p(u"x", 300, 20);
    PageRecorder page;
    p.layout.PrintPage(page, 1, u"");
    ASSERT_FALSE(page.texts.empty());
    EXPECT_EQ(page.texts.front().text, u"Untitled");
    EXPECT_EQ(SECEditPrintLayout::FooterText(12), u"Page: 12");

    // 10 pixels a character: 30 characters fit a header 300 wide.
    const std::u16string path = u"/home/someone/projects/tavro/notes.txt";
    const std::u16string shown = p.layout.ElideTitle(path, 300);
    EXPECT_EQ(shown, u"/home/someone/pro.../notes.txt");
    EXPECT_LE(p.layout.MeasureText(shown), 300);
    EXPECT_EQ(p.layout.ElideTitle(u"abcdefghij", 70), u"ab...ij");
    EXPECT_EQ(p.layout.ElideTitle(u"short", 70), u"short");
    // A file name too long on its own keeps its end.
    EXPECT_EQ(p.layout.ElideTitle(u"/averyveryverylongname", 100), u"...ongname");
}
