#include "ControllerTestSupport.h"

#include <gtest/gtest.h>

namespace {
std::u16string Lines(int count, std::u16string_view text)
{
    std::u16string all;
    for (int i = 0; i < count; ++i) {
        if (i > 0)
            all += u'\n';
        all += text;
    }
    return all;
}
} // namespace

TEST(Movement, DocumentEdgesDoNothing)
{
    TestDocument doc(u"ab\ncd");
    TestPane pane(doc.edit);
    pane.Run({ID_EDIT_CHAR_LEFT, ID_EDIT_LINE_UP, ID_EDIT_WORD_LEFT, ID_EDIT_PAGE_UP});
    EXPECT_EQ(pane.Caret(), SECEditTextPos(0, 0));
    pane.Run({ID_EDIT_DOC_END});
    EXPECT_EQ(pane.Caret(), SECEditTextPos(1, 2));
    pane.Run({ID_EDIT_CHAR_RIGHT, ID_EDIT_LINE_DOWN, ID_EDIT_WORD_RIGHT, ID_EDIT_PAGE_DOWN});
    EXPECT_EQ(pane.Caret(), SECEditTextPos(1, 2));
    EXPECT_TRUE(pane.window.scrolls.empty());
    // Across line ends both ways.
    pane.Run({ID_EDIT_LINE_HOME, ID_EDIT_CHAR_LEFT});
    EXPECT_EQ(pane.Caret(), SECEditTextPos(0, 2));
    pane.Run({ID_EDIT_CHAR_RIGHT});
    EXPECT_EQ(pane.Caret(), SECEditTextPos(1, 0));
}

TEST(Movement, VerticalMovesKeepTheDesiredX)
{
    TestDocument doc(u"long line here\nab\nanother long one");
    TestPane pane(doc.edit);
    pane.controller.MoveCaretTo(0, 10);
    pane.controller.RememberCaretX();
    pane.Run({ID_EDIT_LINE_DOWN});
    EXPECT_EQ(pane.Caret(), SECEditTextPos(1, 2));
    pane.Run({ID_EDIT_LINE_DOWN});
    EXPECT_EQ(pane.Caret(), SECEditTextPos(2, 10));
    pane.Run({ID_EDIT_LINE_UP, ID_EDIT_LINE_UP});
    EXPECT_EQ(pane.Caret(), SECEditTextPos(0, 10));
}

TEST(Movement, HomeTogglesBetweenIndentationAndColumnZero)
{
    TestDocument doc(u"    a\n   ");
    TestPane pane(doc.edit);
    pane.Run({ID_EDIT_LINE_END, ID_EDIT_LINE_HOME});
    EXPECT_EQ(pane.Caret().column, 4);
    pane.Run({ID_EDIT_LINE_HOME});
    EXPECT_EQ(pane.Caret().column, 0);
    pane.Run({ID_EDIT_LINE_HOME});
    EXPECT_EQ(pane.Caret().column, 4);
    pane.Run({ID_EDIT_LINE_DOWN, ID_EDIT_LINE_END, ID_EDIT_LINE_HOME});
    EXPECT_EQ(pane.Caret(), SECEditTextPos(1, 0));
    pane.Run({ID_EDIT_LINE_HOME});
    EXPECT_EQ(pane.Caret(), SECEditTextPos(1, 0));
}

TEST(Movement, PageDownMovesCaretAndViewByOneLessThanAPage)
{
    TestDocument doc(Lines(100, u"text"));
    TestPane pane(doc.edit);
    pane.Run({ID_EDIT_PAGE_DOWN});
    EXPECT_EQ(pane.Caret(), SECEditTextPos(19, 0));
    EXPECT_EQ(pane.viewport.GetFirstVisibleLine(), 19);
    pane.Run({ID_EDIT_PAGE_UP});
    EXPECT_EQ(pane.Caret(), SECEditTextPos(0, 0));
    EXPECT_EQ(pane.viewport.GetFirstVisibleLine(), 0);
    // A line move past the bottom scrolls just enough to show the caret.
    for (int i = 0; i < 20; ++i)
        pane.Run({ID_EDIT_LINE_DOWN});
    EXPECT_EQ(pane.Caret().line, 20);
    EXPECT_EQ(pane.viewport.GetFirstVisibleLine(), 1);
    pane.Run({ID_EDIT_DOC_END});
    EXPECT_EQ(pane.viewport.GetFirstVisibleLine(), 80);
    pane.Run({ID_EDIT_SELECT_ALL});
    EXPECT_EQ(pane.Caret(), SECEditTextPos(0, 0));
    EXPECT_EQ(pane.viewport.GetFirstVisibleLine(), 0);
    EXPECT_EQ(pane.controller.GetSelectedText(), doc.Text());
}

TEST(Movement, WordStepsStopAtWordStartsAndLineEnds)
{
    TestDocument doc(u"abc  def(x)\n  next");
    doc.config->SetCharClass(u"()", Delimiter, true);
    TestPane pane(doc.edit);
    pane.controller.MoveCaretTo(0, 1);
    pane.Run({ID_EDIT_WORD_RIGHT});
    EXPECT_EQ(pane.Caret(), SECEditTextPos(0, 5));
    pane.Run({ID_EDIT_WORD_RIGHT});
    EXPECT_EQ(pane.Caret(), SECEditTextPos(0, 8)); // a delimiter run is a word of its own
    pane.Run({ID_EDIT_LINE_END, ID_EDIT_WORD_RIGHT});
    EXPECT_EQ(pane.Caret(), SECEditTextPos(1, 2)); // past the next line's leading blanks
    pane.Run({ID_EDIT_LINE_HOME});
    EXPECT_EQ(pane.Caret(), SECEditTextPos(1, 0));
    pane.Run({ID_EDIT_WORD_LEFT});
    EXPECT_EQ(pane.Caret(), SECEditTextPos(0, 10)); // start of the previous line's last run
    pane.controller.MoveCaretTo(0, 5);
    pane.Run({ID_EDIT_WORD_LEFT});
    EXPECT_EQ(pane.Caret(), SECEditTextPos(0, 0));
    pane.Run({ID_EDIT_WORD_RIGHT_EXTEND});
    EXPECT_EQ(pane.controller.GetSelectedText(), u"abc  ");
}

TEST(Movement, VirtualSpaceOnAndOff)
{
    TestDocument doc(u"ab\ncdef");
    doc.config->SetVirtualWhitespace(true);
    TestPane pane(doc.edit);
    pane.Run({ID_EDIT_LINE_END, ID_EDIT_CHAR_RIGHT, ID_EDIT_CHAR_RIGHT});
    EXPECT_EQ(pane.Caret(), SECEditTextPos(0, 4));
    EXPECT_EQ(pane.controller.FormatPosition(), u"Ln 1, Col 5");
    doc.config->SetVirtualWhitespace(false);
    pane.Run({ID_EDIT_CHAR_LEFT});
    EXPECT_EQ(pane.Caret(), SECEditTextPos(0, 2));
    pane.Run({ID_EDIT_CHAR_RIGHT});
    EXPECT_EQ(pane.Caret(), SECEditTextPos(1, 0));
    // Typing in virtual space fills the gap first.
    doc.config->SetVirtualWhitespace(true);
    pane.controller.MoveCaretTo(0, 5);
    pane.Type(u"x");
    EXPECT_EQ(doc.Line(0), u"ab\t x"); // a tab reaches the stop at 4, a space the caret

}

TEST(Selection, ExtendingKeepsAColumnBlockAndPlainMovesClearIt)
{
    TestDocument doc(u"abcd\nefgh\nijkl");
    TestPane pane(doc.edit);
    pane.controller.SetSelection({0, 1}, {1, 2}, ColumnSelection);
    pane.controller.MoveCaretTo(1, 2);
    pane.Run({ID_EDIT_CHAR_RIGHT_EXTEND, ID_EDIT_LINE_DOWN_EXTEND});
    EXPECT_EQ(pane.controller.GetSelectionMode(), ColumnSelection);
    EXPECT_EQ(pane.controller.GetActiveEnd(), SECEditTextPos(2, 3));
    EXPECT_EQ(pane.controller.GetSelectedText(), u"bc\r\nfg\r\njk\r\n");
    pane.Run({ID_EDIT_DELETE_CHAR});
    EXPECT_EQ(doc.Line(0), u"ad");
    EXPECT_EQ(doc.Line(1), u"eh");
    EXPECT_EQ(doc.Line(2), u"il");
    EXPECT_EQ(doc.UndoAll(), 1);

    pane.controller.SetSelection({0, 1}, {0, 3});
    pane.Run({ID_EDIT_CANCEL});
    EXPECT_FALSE(pane.controller.HasSelection());
    pane.Run({ID_EDIT_CANCEL}); // nothing to clear: nothing happens
    EXPECT_FALSE(pane.controller.HasSelection());
}

TEST(StatusBar, ColumnCountsTabsToTheirStops)
{
    TestDocument doc(u"\tx");
    TestPane pane(doc.edit);
    pane.Run({ID_EDIT_CHAR_RIGHT});
    EXPECT_EQ(pane.controller.FormatPosition(), u"Ln 1, Col 5");
    pane.Run({ID_EDIT_CHAR_RIGHT});
    EXPECT_EQ(pane.controller.FormatPosition(), u"Ln 1, Col 6");
}

TEST(Movement, TheViewFollowsTheCaretSidewaysWithRoomToSpare)
{
    TestDocument doc(std::u16string(200, u'x'));
    TestPane pane(doc.edit);
    pane.Run({ID_EDIT_LINE_END});
    // 200 columns end at x 1620; the window shows 640 pixels, 8 more columns scroll in.
    const int origin = pane.viewport.GetOrigin().x;
    EXPECT_GT(origin, 0);
    EXPECT_GE(pane.controller.GetCaretPoint().x, origin + pane.controller.GetTextLeft());
    EXPECT_LT(pane.controller.GetCaretPoint().x, origin + 640);
    pane.Run({ID_EDIT_LINE_HOME});
    EXPECT_EQ(pane.viewport.GetOrigin().x, 0);
}

TEST(ChangedMark, ClearedWhenTheCaretLeavesTheLineWithNothingSelected)
{
    TestDocument doc(u"abc\ndef\nghi");
    TestPane pane(doc.edit);
    pane.Type(u"x");
    ASSERT_TRUE(doc.edit.TestLineMark(0, SECEditLineMarks::ChangedMark));
    pane.Run({ID_EDIT_LINE_DOWN_EXTEND, ID_EDIT_CARET_LINE_LEFT});
    EXPECT_TRUE(doc.edit.TestLineMark(0, SECEditLineMarks::ChangedMark));
    pane.Run({ID_EDIT_CANCEL, ID_EDIT_CARET_LINE_LEFT});
    EXPECT_FALSE(doc.edit.TestLineMark(0, SECEditLineMarks::ChangedMark));
}
