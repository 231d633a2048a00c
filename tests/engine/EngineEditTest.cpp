#include "EngineTestSupport.h"

#include "engine/SECEditDefaultLangSettings.h"
#include "engine/SECEditTextStore.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

namespace
{
// An engine with its own "Default" settings, so a test can change the tab
// size without touching the shared ones.
struct Fixture : ::testing::Test
{
    Fixture()
    {
        settings = new SECEditDefaultLangSettings();
        engine.SetLangConfig(settings);
        engine.ResetContent();
        engine.AddObserver(&observer);
    }
    ~Fixture() override
    {
        engine.RemoveObserver(&observer);
        settings->Release();
    }

    SECEdit engine;
    SECEditDefaultLangSettings* settings;
    RecordingObserver observer;
};

using EngineEdit = Fixture;
using LineRule = Fixture;
using LineMarks = Fixture;
using Columns = Fixture;
using BadInput = Fixture;
} // namespace

TEST_F(EngineEdit, InsertSplitsALineAndMarksBothLinesChanged)
{
    Load(engine, u"ab");
    observer.entries.clear();
    SECEditTextRange range(0, 1, 0, 1);
    ASSERT_TRUE(engine.InsertText(range, u"x\ny"));
    EXPECT_EQ(LineText(engine, 0), u"ax");
    EXPECT_EQ(LineText(engine, 1), u"yb");
    EXPECT_EQ(range.end, SECEditTextPos(1, 1));
    EXPECT_TRUE(engine.TestLineMark(0, SECEditLineMarks::ChangedMark));
    EXPECT_TRUE(engine.TestLineMark(1, SECEditLineMarks::ChangedMark));

    const auto edits = observer.Edits();
    ASSERT_EQ(edits.size(), 1u);
    EXPECT_EQ(edits[0].range, SECEditTextRange(0, 1, 1, 1));
    EXPECT_TRUE(edits[0].textPresent);
    EXPECT_EQ(edits[0].description, u"Insert text having length 0 at line 0, column 1");
    EXPECT_GE(observer.Count(SECEditMsg::InvalidateGutter), 1);
}

TEST_F(EngineEdit, EmptyInsertSucceedsWithoutAnUndoStep)
{
    Load(engine, u"abc");
    SECEditTextRange range(0, 2, 5, 5);
    ASSERT_TRUE(engine.InsertText(range, u""));
    EXPECT_EQ(range.end, range.start);
    EXPECT_EQ(engine.GetUndoCount(), 0);
    EXPECT_FALSE(engine.IsModified());
}

TEST_F(EngineEdit, DeleteJoinsLinesAndReportsTheRemovedText)
{
    Load(engine, u"one\r\ntwo\r\nthree");
    observer.entries.clear();
    ASSERT_TRUE(engine.DeleteText(0, 1, 2, 2));
    EXPECT_EQ(AllText(engine), u"oree");
    EXPECT_EQ(engine.GetLineCount(), 1);
    const auto edits = observer.Edits();
    ASSERT_EQ(edits.size(), 1u);
    EXPECT_FALSE(edits[0].textPresent);
    EXPECT_EQ(edits[0].description, u"Delete text from line 0, column 1 to line 2, column 2");
    EXPECT_TRUE(engine.TestLineMark(0, SECEditLineMarks::ChangedMark));
}

TEST_F(EngineEdit, ReadingHelpers)
{
    Load(engine, u"  \t \nabc\r\n\t x");
    EXPECT_TRUE(engine.IsBlankLine(0));
    EXPECT_FALSE(engine.IsBlankLine(1));
    EXPECT_TRUE(engine.IsBlankLine(7));
    EXPECT_EQ(engine.CountLeadingBlanks(0), 4);
    EXPECT_EQ(engine.CountLeadingBlanks(2), 2);
    EXPECT_EQ(engine.CountLeadingBlanks(9), 0);
    EXPECT_TRUE(engine.IsValidPosition(1, 3));
    EXPECT_FALSE(engine.IsValidPosition(1, 4)); // the carriage return
    EXPECT_TRUE(engine.IsValidPosition(99, 99, true));
    EXPECT_EQ(engine.ValidateColumn(1, 4), -1);
    EXPECT_EQ(engine.ValidateColumn(1, 2), 2);
    EXPECT_EQ(engine.GetMaxLineLength(), 2048);
    EXPECT_EQ(engine.GetWhitespaceMark(true), u'\u00BB');
    EXPECT_EQ(engine.GetWhitespaceMark(false), u'\u00B7');
}

TEST_F(LineRule, AnInsertWiderThanTheMaximumIsBrokenWithinTheSameCommand)
{
    SECEditTextRange range(0, 0, 0, 0);
    ASSERT_TRUE(engine.InsertText(range, std::u16string(3000, u'a')));
    ASSERT_EQ(engine.GetLineCount(), 2);
    EXPECT_EQ(engine.GetLineLength(0), 2048);
    EXPECT_EQ(engine.GetFullLineLength(0), 2050); // followed by CR LF
    EXPECT_EQ(engine.GetLineLength(1), 952);
    EXPECT_EQ(range.end, SECEditTextPos(1, 952));
    EXPECT_EQ(engine.GetUndoCount(), 1);
    ASSERT_NE(engine.Undo(), nullptr);
    EXPECT_EQ(AllText(engine), u"");

    // A pasted line of a million characters (a minified file) between two
    // words: cut into pieces no wider than the maximum, all inside the one
    // command, the words left where they were.
    settings->SetTabSize(3);
    std::u16string huge;
    for (int i = 0; i < 1000; ++i)
        huge += std::u16string(999, char16_t(u'a' + i % 26)) + u"\t";
    SECEditTextRange middle(0, 0, 0, 0);
    ASSERT_TRUE(engine.InsertText(middle, u"head tail"));
    middle = SECEditTextRange(0, 5, 0, 5);
    ASSERT_TRUE(engine.InsertText(middle, huge));
    std::u16string joined;
    for (int line = 0; line < engine.GetLineCount(); ++line) {
        EXPECT_LE(engine.ConvertColumn(engine.GetLineLength(line), 0, line), SECEdit::MaxLineLength);
        joined += LineText(engine, line);
    }
    EXPECT_EQ(joined, u"head " + huge + u"tail");
    const int last = engine.GetLineCount() - 1;
    EXPECT_EQ(middle.end, SECEditTextPos(last, engine.GetLineLength(last) - 4));
    ASSERT_NE(engine.Undo(), nullptr);
    EXPECT_EQ(AllText(engine), u"head tail");
}

TEST_F(LineRule, TheBreakGoesBeforeATabThatStraddlesTheMaximum)
{
    // With tab size 3, the tab after 2,046 characters covers display
    // columns 2046 to 2048: the break goes before it.
    settings->SetTabSize(3);
    SECEditTextRange range(0, 0, 0, 0);
    ASSERT_TRUE(engine.InsertText(range, std::u16string(2046, u'a') + u"\t" + std::u16string(10, u'b')));
    ASSERT_EQ(engine.GetLineCount(), 2);
    EXPECT_EQ(engine.GetLineLength(0), 2046);
    EXPECT_EQ(LineText(engine, 1), u"\t" + std::u16string(10, u'b'));
}

TEST_F(LineRule, ATabEndingExactlyAtTheMaximumStaysOnTheLine)
{
    SECEditTextRange range(0, 0, 0, 0);
    ASSERT_TRUE(engine.InsertText(range, std::u16string(2045, u'a') + u"\t" + std::u16string(10, u'b')));
    ASSERT_EQ(engine.GetLineCount(), 2);
    EXPECT_EQ(engine.GetLineLength(0), 2046);
    EXPECT_EQ(engine.ConvertColumn(2046, 0, 0), 2048);
    EXPECT_EQ(LineText(engine, 1), std::u16string(10, u'b'));
}

TEST_F(LineRule, JoiningIntoAnOverlongLineBreaksItAgainAsOneUndoStep)
{
    // The first line sets the convention for the engine's own breaks.
    const std::u16string a(1500, u'a'), b(1500, u'b');
    const std::u16string first = u"x\r\n";
    Load(engine, first + a + u"\n" + b);
    ASSERT_TRUE(engine.DeleteText(1, 1500, 2, 0));
    EXPECT_EQ(engine.GetLineCount(), 3);
    EXPECT_EQ(LineText(engine, 1), a);
    EXPECT_EQ(LineText(engine, 2), b);
    EXPECT_EQ(AllText(engine), first + a + u"\r\n" + b); // the engine's own line end
    EXPECT_EQ(engine.GetUndoCount(), 1);

    ASSERT_NE(engine.Undo(), nullptr);
    EXPECT_EQ(AllText(engine), first + a + u"\n" + b);
    EXPECT_EQ(engine.GetUndoCount(), 0);
    ASSERT_NE(engine.Redo(), nullptr);
    EXPECT_EQ(AllText(engine), first + a + u"\r\n" + b);
}

TEST_F(LineRule, InsertingALineBreakBeforeAnOverlongLineEnds)
{
    // Such a line can exist after the tab size grew; the rule must not loop
    // on breaks at column 0, and the line, outside the inserted text, stays
    // as it was so that undo has only the insertion to take back.
    settings->SetTabSize(1);
    Load(engine, std::u16string(1000, u'\t'));
    settings->SetTabSize(8);
    ASSERT_TRUE(engine.InsertTextAt(0, 0, u"\n"));
    EXPECT_EQ(engine.GetLineCount(), 2);
    EXPECT_EQ(engine.GetLineLength(0), 0);
    EXPECT_EQ(LineText(engine, 1), std::u16string(1000, u'\t'));
    ASSERT_NE(engine.Undo(), nullptr);
    EXPECT_EQ(AllText(engine), std::u16string(1000, u'\t'));
}

TEST_F(LineRule, RedoPutsBackExactlyTheTextOfTheEditWhateverTheTabSize)
{
    settings->SetTabSize(1);
    ASSERT_TRUE(engine.InsertTextAt(0, 0, std::u16string(300, u'\t')));
    EXPECT_EQ(engine.GetLineCount(), 1);
    ASSERT_NE(engine.Undo(), nullptr);

    settings->SetTabSize(8);
    SECEditCommandBase* redone = engine.Redo();
    ASSERT_NE(redone, nullptr);
    const SECEditCommand* command = SECEditCommand::FromMessage(redone);
    ASSERT_NE(command, nullptr);
    EXPECT_EQ(AllText(engine), std::u16string(300, u'\t'));
    EXPECT_EQ(command->GetText(), std::u16string(300, u'\t'));
    EXPECT_EQ(command->GetRange(), SECEditTextRange(0, 0, 0, 300));

    ASSERT_NE(engine.Undo(), nullptr);
    EXPECT_EQ(AllText(engine), u"");
}

TEST_F(LineRule, LoadingBreaksLongLinesAndLeavesTheDocumentModified)
{
    Load(engine, std::u16string(5000, u'x'));
    ASSERT_EQ(engine.GetLineCount(), 3);
    EXPECT_EQ(engine.GetLineLength(0), 2048);
    EXPECT_EQ(engine.GetLineLength(1), 2048);
    EXPECT_EQ(engine.GetLineLength(2), 904);
    EXPECT_TRUE(engine.IsModified());
    EXPECT_EQ(engine.GetUndoCount(), 0);
    EXPECT_EQ(engine.Undo(), nullptr);
    EXPECT_TRUE(engine.IsModified());
    EXPECT_TRUE(engine.BreakLongLines(false, 0, -1) == false);

    Load(engine, u"short\nlines");
    EXPECT_FALSE(engine.IsModified());
}

TEST_F(LineRule, LoadingBreaksAHugeSingleLineInOnePass)
{
    // A minified file: one line of a million characters.
    Load(engine, std::u16string(1'000'000, u'z') + u"\nend");
    ASSERT_EQ(engine.GetLineCount(), 490);
    for (int line = 0; line < 488; ++line)
        ASSERT_EQ(engine.GetLineLength(line), 2048) << line;
    EXPECT_EQ(engine.GetLineLength(488), 1'000'000 - 488 * 2048);
    EXPECT_EQ(LineText(engine, 489), u"end");
    EXPECT_EQ(engine.GetFullLineLength(0), 2049); // breaks follow the file's bare line feeds
    EXPECT_FALSE(engine.BreakLongLines(false, 0, -1));
}

TEST_F(LineRule, LoadingBreaksBeforeAStraddlingTabToo)
{
    settings->SetTabSize(3);
    Load(engine, u"top\n" + std::u16string(2046, u'a') + u"\t" + std::u16string(3000, u'b'));
    ASSERT_EQ(engine.GetLineCount(), 4);
    EXPECT_EQ(engine.GetLineLength(1), 2046);
    // The tab (3 columns) and 2,045 b's fill the next line exactly.
    EXPECT_EQ(LineText(engine, 2), u"\t" + std::u16string(2045, u'b'));
    EXPECT_EQ(LineText(engine, 3), std::u16string(955, u'b'));
}

TEST_F(LineMarks, SplittingAtTheIndentMovesTheMarkWithTheText)
{
    Load(engine, u"first\n  second\nthird");
    engine.SetLineMark(1, SECEditLineMarks::BookmarkMark, true);
    ASSERT_TRUE(engine.InsertTextAt(1, 0, u"\n"));
    EXPECT_FALSE(engine.TestLineMark(1, SECEditLineMarks::BookmarkMark));
    EXPECT_TRUE(engine.TestLineMark(2, SECEditLineMarks::BookmarkMark));

    ASSERT_TRUE(engine.InsertTextAt(2, 2, u"\n")); // at the first non-blank
    EXPECT_TRUE(engine.TestLineMark(3, SECEditLineMarks::BookmarkMark));

    ASSERT_TRUE(engine.InsertTextAt(3, 1, u"\n")); // after it
    EXPECT_TRUE(engine.TestLineMark(3, SECEditLineMarks::BookmarkMark));
    EXPECT_FALSE(engine.TestLineMark(4, SECEditLineMarks::BookmarkMark));
    EXPECT_EQ(engine.CountLineMarks(SECEditLineMarks::BookmarkMark), 1);

    // Undoing the last split takes the new line away again.
    ASSERT_NE(engine.Undo(), nullptr);
    EXPECT_TRUE(engine.TestLineMark(3, SECEditLineMarks::BookmarkMark));
}

TEST_F(LineMarks, MarksBelowAnEditMoveWithTheirLines)
{
    Load(engine, u"a\nb\nc\nd");
    engine.SetLineMark(3, SECEditLineMarks::BookmarkMark, true);
    engine.SetLineValue(2, 77);
    ASSERT_TRUE(engine.InsertTextAt(0, 1, u"\n\n"));
    EXPECT_TRUE(engine.TestLineMark(5, SECEditLineMarks::BookmarkMark));
    EXPECT_EQ(engine.GetLineValue(4), 77u);
    ASSERT_TRUE(engine.DeleteText(0, 1, 3, 0));
    EXPECT_TRUE(engine.TestLineMark(2, SECEditLineMarks::BookmarkMark));
    EXPECT_EQ(engine.GetLineValue(1), 77u);
}

TEST_F(LineMarks, JoiningFromAnEmptyLineKeepsTheLowerLinesMarks)
{
    Load(engine, u"\ntext\nmore");
    engine.SetLineMark(1, SECEditLineMarks::BookmarkMark, true);
    ASSERT_TRUE(engine.DeleteText(0, 0, 1, 0));
    EXPECT_TRUE(engine.TestLineMark(0, SECEditLineMarks::BookmarkMark));
    EXPECT_TRUE(engine.TestLineMark(0, SECEditLineMarks::ChangedMark));

    Load(engine, u"text\nmore");
    engine.SetLineMark(1, SECEditLineMarks::BookmarkMark, true);
    ASSERT_TRUE(engine.DeleteText(0, 4, 1, 0));
    EXPECT_EQ(engine.CountLineMarks(SECEditLineMarks::BookmarkMark), 0);
}

TEST_F(LineMarks, FindWrapsAndVisitsItsOwnLineLast)
{
    Load(engine, u"0\n1\n2\n3\n4\n5");
    EXPECT_EQ(engine.FindLineMark(3, SECEditLineMarks::BookmarkMark, true), -1);
    engine.SetLineMark(3, SECEditLineMarks::BookmarkMark, true);
    EXPECT_EQ(engine.FindLineMark(3, SECEditLineMarks::BookmarkMark, true), 3);
    EXPECT_EQ(engine.FindLineMark(3, SECEditLineMarks::BookmarkMark, false), 3);
    EXPECT_EQ(engine.FindLineMark(5, SECEditLineMarks::BookmarkMark, true), 3);
    EXPECT_EQ(engine.FindLineMark(1, SECEditLineMarks::BookmarkMark, false), 3);
    engine.SetLineMark(1, SECEditLineMarks::BookmarkMark, true);
    EXPECT_EQ(engine.FindLineMark(3, SECEditLineMarks::BookmarkMark, true), 1);
    EXPECT_EQ(engine.FindLineMark(1, SECEditLineMarks::BookmarkMark, false), 3);
    EXPECT_EQ(engine.FindLineMark(2, SECEditLineMarks::BookmarkMark, false), 1);
    EXPECT_EQ(engine.FindLineMark(6, SECEditLineMarks::BookmarkMark, true), -1);
    // Another bit on another line is not found.
    engine.SetLineMark(4, SECEditLineMarks::HighlightMark, true);
    EXPECT_EQ(engine.FindLineMark(3, SECEditLineMarks::BookmarkMark, true), 1);
}

TEST_F(LineMarks, RecordsLiveOnlyWhileTheyHoldSomething)
{
    Load(engine, u"a\nb\nc");
    observer.entries.clear();
    engine.ToggleLineMark(1, SECEditLineMarks::BookmarkMark);
    engine.ToggleLineMark(2, SECEditLineMarks::BookmarkMark);
    EXPECT_EQ(observer.Count(SECEditMsg::InvalidateGutter), 2);
    EXPECT_EQ(engine.CountLineMarks(SECEditLineMarks::BookmarkMark), 2);
    engine.ToggleLineMark(1, SECEditLineMarks::BookmarkMark);
    EXPECT_EQ(engine.FindLineMarks(1), nullptr);
    EXPECT_EQ(engine.SetLineValue(0, 5), 0u);
    EXPECT_EQ(engine.SetLineValue(0, 0), 5u);
    EXPECT_EQ(engine.FindLineMarks(0), nullptr);
    engine.SetLineMark(0, SECEditLineMarks::BookmarkMark, true);
    engine.ClearLineMarks(SECEditLineMarks::BookmarkMark);
    EXPECT_EQ(engine.CountLineMarks(SECEditLineMarks::BookmarkMark), 0);
    EXPECT_EQ(engine.FindLineMarks(0), nullptr);
    engine.SetLineMark(1, 40, true); // bits beyond 31 are ignored
    EXPECT_EQ(engine.FindLineMarks(1), nullptr);
}

// The counts are kept as marks come and go and lines are added, joined and
// removed: after each step they equal a count over every line.
TEST_F(LineMarks, CountsFollowEveryChange)
{
    Load(engine, u"a\nb\nc\nd\ne");
    std::mt19937 random(7);
    const auto pick = [&](int n) { return int(random() % std::uint32_t(n)); };
    for (int step = 0; step < 3000; ++step)
    {
        const int lines = engine.GetLineCount();
        const int line = pick(lines);
        const int bit = SECEditLineMarks::SecondGutterMark + pick(4);
        switch (pick(9))
        {
        case 0: engine.ToggleLineMark(line, bit); break;
        case 1: engine.SetLineMark(line, bit, pick(2) == 0); break;
        case 2: engine.InsertTextAt(line, pick(engine.GetLineLength(line) + 1), pick(2) ? u"x\ny" : u"z"); break;
        case 3: engine.DeleteText(line, 0, std::min(lines - 1, line + pick(3)), 0); break;
        case 4: engine.Undo(); break;
        case 5: engine.Redo(); break;
        case 6: engine.FreeLineMarks(line); break;
        case 7: engine.GetLineMarks(line)->bits ^= 1u << bit; break;
        default:
            if (pick(10) == 0)
                engine.ClearLineMarks(bit);
            break;
        }
        for (int b = SECEditLineMarks::SecondGutterMark; b <= SECEditLineMarks::HighlightMark; ++b)
        {
            int count = 0;
            for (int l = 0; l < engine.GetLineCount(); ++l)
                count += engine.TestLineMark(l, b);
            ASSERT_EQ(engine.CountLineMarks(b), count) << "step " << step << ", bit " << b;
        }
    }
}

TEST_F(Columns, TabsConvertBetweenCharacterAndDisplayColumns)
{
    Load(engine, u"a\tbc\t\td");
    EXPECT_EQ(engine.ConvertColumn(1, 0, 0), 1);
    EXPECT_EQ(engine.ConvertColumn(2, 0, 0), 4);
    EXPECT_EQ(engine.ConvertColumn(5, 0, 0), 8);
    EXPECT_EQ(engine.ConvertColumn(99, 0, 0), 13); // limited to the line
    std::int32_t display = -1;
    EXPECT_EQ(engine.ConvertColumn(3, 1, 0, &display), 1); // inside the first tab
    EXPECT_EQ(display, 1);
    EXPECT_EQ(engine.ConvertColumn(4, 1, 0, &display), 2);
    EXPECT_EQ(display, 4);
    EXPECT_EQ(engine.ConvertColumn(99, 1, 0, &display), 7);
    EXPECT_EQ(display, 13);
    // A line beyond the last means the last line.
    EXPECT_EQ(engine.ConvertColumn(2, 0, 50), 4);
    EXPECT_EQ(engine.ConvertColumnInString(2, 0, u"\t\t"), 8);
    EXPECT_EQ(engine.ConvertColumnInString(7, 1, u"x\ty"), 3); // beyond the end
    EXPECT_EQ(engine.ConvertColumnInString(3, 1, u"x\ty"), 1);
}

TEST_F(Columns, IndentStringsAndTabInsertion)
{
    Load(engine, u"ab");
    std::u16string indent;
    engine.MakeIndentString(indent, 0, {0, 0}, true);
    EXPECT_EQ(indent, u"");
    engine.MakeIndentString(indent, 2, {0, 1}, true); // 3 columns to the next stop
    EXPECT_EQ(indent, u"  ");
    engine.MakeIndentString(indent, 10, {0, 1}, true); // to display column 11
    EXPECT_EQ(indent, u"\t\t   ");
    engine.MakeIndentString(indent, 9, {0, 0}, true);
    EXPECT_EQ(indent, u"\t\t ");
    EXPECT_EQ(engine.ColumnsToNextTab({0, 1}), 3);
    EXPECT_EQ(engine.ColumnsToNextTab({0, 0}), 4);

    ASSERT_TRUE(engine.InsertTab(0, 1));
    EXPECT_EQ(LineText(engine, 0), u"a\tb");
    settings->SetReplaceTabs(true);
    ASSERT_TRUE(engine.InsertTab(0, 0));
    EXPECT_EQ(LineText(engine, 0), u"    a\tb");
    engine.MakeIndentString(indent, 6, {0, 0}, true);
    EXPECT_EQ(indent, u"      ");
    engine.MakeIndentString(indent, 6, {0, 0}, false);
    EXPECT_EQ(indent, u"\t  ");
}

TEST_F(BadInput, NonexistentPlacesFailAndChangeNothing)
{
    Load(engine, u"one\ntwo\nthree");
    observer.entries.clear();
    const std::u16string before = AllText(engine);
    EXPECT_FALSE(engine.InsertTextAt(5, 0, u"x"));
    EXPECT_FALSE(engine.InsertTextAt(-1, 0, u"x"));
    EXPECT_FALSE(engine.InsertTextAt(0, -1, u"x"));
    EXPECT_FALSE(engine.InsertTextAt(0, 4, u"x")); // beyond the line feed
    EXPECT_FALSE(engine.InsertTextAt(0, 0, u"x", -7));
    EXPECT_FALSE(engine.InsertTextAt(0, 0, nullptr, 4));
    EXPECT_FALSE(engine.DeleteText(1, 2, 0, 0));
    EXPECT_FALSE(engine.DeleteText(0, 0, 7, 0));
    EXPECT_FALSE(engine.DeleteText(-1, 0, 0, 1));
    EXPECT_FALSE(engine.DeleteText(2, 0, 2, 99));
    EXPECT_EQ(AllText(engine), before);
    EXPECT_EQ(observer.entries.size(), 0u);
    EXPECT_EQ(engine.GetUndoCount(), 0);

    std::u16string text;
    EXPECT_EQ(engine.GetLineText(-1, text), -1);
    EXPECT_EQ(engine.GetLineText(3, text), -1);
    EXPECT_EQ(engine.GetLineLength(-1), -1);
    EXPECT_FALSE(engine.GetText(text, 2, 0, 1, 0));
    EXPECT_FALSE(engine.GetText(text, 0, 99, 1, 0));
    EXPECT_FALSE(engine.IsValidPosition(-1, 0));
    EXPECT_EQ(engine.ConvertColumn(3, 0, -1), -1);
    EXPECT_EQ(engine.FindLineMark(-1, SECEditLineMarks::BookmarkMark, true), -1);
    engine.SetLineMark(-1, SECEditLineMarks::BookmarkMark, true);
    engine.SetLineMark(3, SECEditLineMarks::BookmarkMark, true);
    engine.ToggleLineMark(99, SECEditLineMarks::BookmarkMark);
    EXPECT_EQ(engine.SetLineValue(-1, 4), 0u);
    EXPECT_EQ(engine.GetLineMarks(-1), nullptr);
    EXPECT_EQ(engine.CountLineMarks(SECEditLineMarks::BookmarkMark), 0);
    EXPECT_FALSE(engine.BreakLongLines(true, -1, 2));
    EXPECT_FALSE(engine.BreakLongLines(true, 2, 1));
    EXPECT_FALSE(engine.InsertTab(9, 0));
    engine.RemoveLineMarks(-5, -1);
    engine.InsertLineMarks(-1, -3, false);
    engine.SetLineMark(2, SECEditLineMarks::BookmarkMark, true);
    engine.InsertLineMarks(1, INT32_MAX, false);
    engine.RemoveLineMarks(5, INT32_MAX);
    EXPECT_TRUE(engine.TestLineMark(2, SECEditLineMarks::BookmarkMark));
    engine.SetLineMark(2, SECEditLineMarks::BookmarkMark, false);
    EXPECT_EQ(AllText(engine), before);
}

TEST_F(BadInput, AHugeLengthStopsAtTheTextsEnd)
{
    const char16_t text[] = u"xyz";
    ASSERT_TRUE(engine.InsertTextAt(0, 0, text, 1 << 30));
    EXPECT_EQ(AllText(engine), u"xyz");
}

TEST_F(EngineEdit, ObserversAreToldInOrderAndTheSenderIsSkipped)
{
    std::vector<std::string> order;
    RecordingObserver first(&order, "first"), second(&order, "second");
    engine.RemoveObserver(&observer);
    engine.AddObserver(&first);
    engine.AddObserver(&second);
    engine.AddObserver(nullptr);
    ASSERT_TRUE(engine.InsertTextAt(0, 0, u"x"));
    ASSERT_GE(order.size(), 2u);
    EXPECT_EQ(order[0], "first");
    EXPECT_EQ(order[1], "second");

    order.clear();
    SECEditMsg message(SECEditMsg::SplitterSync);
    engine.UpdateAllObservers(&first, &message);
    EXPECT_EQ(order, std::vector<std::string>{"second"});

    engine.RemoveObserver(&first);
    engine.RemoveObserver(&second);
    engine.AddObserver(&observer);
}

TEST_F(EngineEdit, AnObserverMayDetachWhileBeingTold)
{
    struct Leaver : IObserver
    {
        SECEdit* engine = nullptr;
        int calls = 0;
        void OnUpdate(ISubject*, IMessage*) override
        {
            ++calls;
            engine->RemoveObserver(this);
        }
    } leaver;
    leaver.engine = &engine;
    engine.AddObserver(&leaver);
    RecordingObserver after;
    engine.AddObserver(&after);
    engine.InsertTextAt(0, 0, u"a");
    engine.InsertTextAt(0, 0, u"b");
    EXPECT_EQ(leaver.calls, 1);
    EXPECT_EQ(after.Edits().size(), 2u);
    engine.RemoveObserver(&after);
}

TEST_F(EngineEdit, ResetAndLanguageNotifications)
{
    observer.entries.clear();
    engine.ResetContent();
    EXPECT_EQ(observer.Count(SECEditMsg::InitController), 1);
    EXPECT_FALSE(engine.SetLanguage(u"No Such Language"));
    EXPECT_EQ(engine.GetLangConfig(), settings);
    EXPECT_TRUE(engine.SetLanguage(u"Default"));
    EXPECT_EQ(observer.Count(SECEditMsg::InvalidateColoring), 1);
    EXPECT_EQ(engine.GetLangConfig()->GetName(), u"Default");
    EXPECT_EQ(engine.GetTabSize(), 4);
    EXPECT_TRUE(engine.InitNew(u"Default"));
    EXPECT_FALSE(engine.InitNew(u"Nothing"));
}

TEST_F(EngineEdit, ColourCacheFollowsEdits)
{
    Load(engine, u"a\nb\nc\nd");
    for (int line = 0; line < 4; ++line)
    {
        const SECEditColorRunsRef runs = engine.GetLineColoring(line);
        ASSERT_NE(runs, nullptr);
        EXPECT_FALSE(runs->empty());
    }
    EXPECT_EQ(engine.GetLineColoring(4), nullptr);
    EXPECT_EQ(engine.GetCachedColoringCount(), 4u);
    ASSERT_TRUE(engine.InsertTextAt(1, 0, u"x\ny\n"));
    // Line 1's list is dropped; lines below keep theirs, renumbered.
    EXPECT_EQ(engine.GetCachedColoringCount(), 3u);
    EXPECT_EQ(engine.GetColoringFrontier(), 1);
    ASSERT_TRUE(engine.DeleteText(0, 1, 4, 0));
    EXPECT_EQ(engine.GetCachedColoringCount(), 1u); // line 5 ("d") became line 1
    EXPECT_NE(engine.GetLineColoring(1), nullptr);
}
