#include "app/CMyEdit.h"
#include "tests/coloring/ColoringTestSupport.h"

#include <gtest/gtest.h>

#include <string>

// Built-in "HTML" groups: 3 tag delimiter, 4 comment, 5 element, 6 string,
// 7 attribute name; "XML": 3 operator, 4 body text, 5 string, 8 attribute.

TEST(MarkupColoring, HtmlColoursOnlyInsideTags)
{
    auto html = MakeEngine<CMyEdit>(u"HTML", u"<B>TT</B> text B \"q\" 42 <I>");
    // TT spells an element name and "q" looks like a string, but both stand
    // between tags.
    EXPECT_EQ(LineRuns(*html, 0), "3:1 5:1 3:1 0:2 3:1 3:1 5:1 3:1 0:15 3:1 5:1 3:1");
}

TEST(MarkupColoring, HtmlTagOverSeveralLines)
{
    auto html = MakeEngine<CMyEdit>(u"HTML", u"words\n<TABLE\nwidth=\"5\"\n>\nwidth");
    EXPECT_EQ(LineRuns(*html, 2), "7:5 0:1 6:3");
    EXPECT_EQ(LineRuns(*html, 1), "3:1 5:5");
    EXPECT_EQ(LineRuns(*html, 3), "3:1");
    EXPECT_EQ(LineRuns(*html, 4), "0:5");
    EXPECT_EQ(LineRuns(*html, 0), "0:5");
}

TEST(MarkupColoring, HtmlLongTextWithoutBrackets)
{
    std::u16string text = u"<P>\n";
    for (int i = 0; i < 20000; ++i)
        text += u"plain width words 12 between tags\n";
    text += u"<A href=1>";
    auto html = MakeEngine<CMyEdit>(u"HTML", text);
    for (std::int32_t line = 0; line < html->GetLineCount(); ++line)
        html->GetLineColoring(line);
    EXPECT_EQ(LineRuns(*html, 1), "0:33");
    EXPECT_EQ(LineRuns(*html, 20000), "0:33");
    EXPECT_EQ(LineRuns(*html, 20001), "3:1 5:1 0:1 7:4 0:1 2:1 3:1");
}

TEST(MarkupColoring, HtmlEditRecoloursLinesAroundIt)
{
    auto html = MakeEngine<CMyEdit>(u"HTML", u"<TABLE\nwidth=1\nheight=2\n>");
    EXPECT_EQ(LineRuns(*html, 1), "7:5 0:1 2:1");
    EXPECT_EQ(LineRuns(*html, 2), "7:6 0:1 2:1");
    // Without the closing bracket the words above it are no longer in a tag.
    ASSERT_TRUE(html->DeleteText(3, 0, 3, 1));
    EXPECT_EQ(LineRuns(*html, 1), "0:7");
    EXPECT_EQ(LineRuns(*html, 2), "0:8");
    ASSERT_NE(html->Undo(), nullptr);
    EXPECT_EQ(LineRuns(*html, 1), "7:5 0:1 2:1");
}

TEST(MarkupColoring, XmlAttributes)
{
    auto xml = MakeEngine<CMyEdit>(u"XML", u"<a href=\"x\" b=\"\n<c d=\"");
    EXPECT_EQ(LineRuns(*xml, 0), "3:1 0:2 8:4 3:1 5:3 0:2 3:1 5:1");
    // At the end of a line there is no room for a value: not an attribute.
    EXPECT_EQ(LineRuns(*xml, 1), "3:1 0:3 3:1 5:1");
    // "XSL" has the same groups but no attribute rule.
    auto xsl = MakeEngine<CMyEdit>(u"XSL", u"<a href=\"x\">");
    EXPECT_EQ(LineRuns(*xsl, 0), "3:1 0:6 3:1 5:3 4:1");
}
