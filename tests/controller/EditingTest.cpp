#include "ControllerTestSupport.h"

#include <gtest/gtest.h>

// Typing: runs of one class are one undo step; anything that breaks the run
// starts the next.
TEST(Typing, RunsOfOneClassMergeIntoOneUndoStep)
{
    TestDocument doc(u"");
    TestPane pane(doc.edit);
    pane.Type(u"ab cd");
    EXPECT_EQ(doc.Line(0), u"ab cd");
    EXPECT_EQ(pane.Caret(), SECEditTextPos(0, 5));
    pane.Run({ID_EDIT_UNDO});
    EXPECT_EQ(doc.Line(0), u"ab ");
    pane.Run({ID_EDIT_UNDO});
    EXPECT_EQ(doc.Line(0), u"ab");
    pane.Run({ID_EDIT_UNDO});
    EXPECT_EQ(doc.Line(0), u"");
    EXPECT_FALSE(pane.controller.IsCommandEnabled(ID_EDIT_UNDO));
    pane.Run({ID_EDIT_REDO, ID_EDIT_REDO, ID_EDIT_REDO});
    EXPECT_EQ(doc.Line(0), u"ab cd");
}

TEST(Typing, MovingAwayOrSavingStartsANewStep)
{
    TestDocument doc(u"xy");
    TestPane pane(doc.edit);
    pane.Type(u"a");
    pane.Run({ID_EDIT_CHAR_RIGHT, ID_EDIT_CHAR_LEFT});
    pane.Type(u"b");
    EXPECT_EQ(doc.Line(0), u"abxy");
    EXPECT_EQ(doc.UndoAll(), 2);

    TestDocument saved(u"");
    TestPane other(saved.edit);
    other.Type(u"a");
    saved.edit.MarkClean();
    other.Type(u"b");
    other.Run({ID_EDIT_UNDO});
    EXPECT_EQ(saved.Line(0), u"a");
}

TEST(Typing, OvertypeReplacesOneCharacterInsertsAtEndAndReplacesOnlyASelection)
{
    TestDocument doc(u"abcd");
    TestPane pane(doc.edit);
    pane.Run({ID_EDIT_TOGGLE_OVERTYPE});
    pane.Type(u"XY");
    EXPECT_EQ(doc.Line(0), u"XYcd");
    pane.Run({ID_EDIT_LINE_END});
    pane.Type(u"Z");
    EXPECT_EQ(doc.Line(0), u"XYcdZ");
    pane.Run({ID_EDIT_LINE_HOME, ID_EDIT_CHAR_RIGHT_EXTEND, ID_EDIT_CHAR_RIGHT_EXTEND});
    pane.Type(u"q");
    EXPECT_EQ(doc.Line(0), u"qcdZ");
    // Each overtyped character is one step.
    pane.Run({ID_EDIT_UNDO});
    EXPECT_EQ(doc.Line(0), u"XYcdZ");
}

TEST(Typing, ReadOnlyDocumentIgnoresEdits)
{
    TestDocument doc(u"abc");
    TestPane pane(doc.edit);
    doc.edit.SetReadOnly(true);
    pane.Type(u"x");
    pane.Run({ID_EDIT_DELETE_CHAR, ID_EDIT_NEWLINE, ID_EDIT_TAB, ID_EDIT_LINE_DELETE});
    EXPECT_EQ(doc.Text(), u"abc");
    pane.Run({ID_EDIT_CHAR_RIGHT}); // movement still works
    EXPECT_EQ(pane.Caret(), SECEditTextPos(0, 1));
}

TEST(Enter, AutoIndentPlacesCaretInVirtualSpaceUntilSomethingIsTyped)
{
    TestDocument doc(u"    a");
    doc.config->SetAutoIndent(true);
    TestPane pane(doc.edit);
    pane.Run({ID_EDIT_LINE_END, ID_EDIT_NEWLINE});
    EXPECT_EQ(doc.edit.GetLineCount(), 2);
    EXPECT_EQ(doc.Line(1), u"");
    EXPECT_EQ(pane.Caret(), SECEditTextPos(1, 4));
    EXPECT_EQ(pane.controller.FormatPosition(), u"Ln 2, Col 5");
    pane.Type(u"x");
    EXPECT_EQ(doc.Line(1), u"\tx"); // tab size 4, tabs kept

}

TEST(Enter, SplitsALineBehindTheSameIndentation)
{
    TestDocument doc(u"    ab");
    doc.config->SetAutoIndent(true);
    doc.config->SetReplaceTabs(true);
    TestPane pane(doc.edit);
    pane.controller.MoveCaretTo(0, 5);
    pane.Run({ID_EDIT_NEWLINE});
    EXPECT_EQ(doc.Line(0), u"    a");
    EXPECT_EQ(doc.Line(1), u"    b");
    EXPECT_EQ(pane.Caret(), SECEditTextPos(1, 4));
    // The break and the indentation are two steps.
    EXPECT_EQ(doc.UndoAll(), 2);
}

TEST(Enter, OvertypeMovesToTheNextLinesIndentationWithoutSplitting)
{
    TestDocument doc(u"abc\n  def");
    TestPane pane(doc.edit);
    pane.Run({ID_EDIT_TOGGLE_OVERTYPE, ID_EDIT_CHAR_RIGHT, ID_EDIT_NEWLINE});
    EXPECT_EQ(doc.edit.GetLineCount(), 2);
    EXPECT_EQ(pane.Caret(), SECEditTextPos(1, 2));
}

TEST(Indent, TabOnLinesIndentsNonBlankLinesAsOneStepAndKeepsALineSelection)
{
    TestDocument doc(u"l0\nline1\n\nline3\nline4");
    TestPane pane(doc.edit);
    pane.controller.MoveCaretTo(1, 3);
    pane.controller.ExtendSelectionTo(4, 0, true);
    pane.Run({ID_EDIT_TAB});
    EXPECT_EQ(doc.Line(1), u"\tline1");
    EXPECT_EQ(doc.Line(2), u"");
    EXPECT_EQ(doc.Line(3), u"\tline3");
    EXPECT_EQ(doc.Line(4), u"line4");
    EXPECT_EQ(pane.controller.GetSelectionMode(), LineSelection);
    EXPECT_TRUE(pane.controller.HasSelection());
    EXPECT_EQ(pane.Caret(), SECEditTextPos(4, 0));

    // Again, as the selection is still there; then both undone in two steps.
    pane.Run({ID_EDIT_TAB});
    EXPECT_EQ(doc.Line(1), u"\t\tline1");
    EXPECT_EQ(doc.UndoAll(), 2);
    EXPECT_EQ(doc.Line(1), u"line1");
}

TEST(Indent, ShiftTabRemovesATabFirstThenUpToATabsWorthOfSpaces)
{
    TestDocument doc(u"\t    a\n      b");
    TestPane pane(doc.edit);
    pane.controller.ExtendSelectionTo(1, 2, true);
    pane.Run({ID_EDIT_UNTAB});
    EXPECT_EQ(doc.Line(0), u"    a");
    EXPECT_EQ(doc.Line(1), u"  b");
    pane.Run({ID_EDIT_UNTAB});
    EXPECT_EQ(doc.Line(0), u"a");
    EXPECT_EQ(doc.Line(1), u"b");
    pane.Run({ID_EDIT_UNDO});
    EXPECT_EQ(doc.Line(0), u"    a");
    EXPECT_EQ(doc.Line(1), u"  b");
}

TEST(Indent, CaretOnlyTabStopsInOvertypeAndShiftTab)
{
    TestDocument doc(u"abcdefghij");
    TestPane pane(doc.edit);
    pane.controller.MoveCaretTo(0, 6);
    pane.Run({ID_EDIT_UNTAB});
    EXPECT_EQ(pane.Caret(), SECEditTextPos(0, 4));
    pane.controller.MoveCaretTo(0, 1);
    pane.Run({ID_EDIT_TOGGLE_OVERTYPE, ID_EDIT_TAB});
    EXPECT_EQ(pane.Caret(), SECEditTextPos(0, 4));
    EXPECT_EQ(doc.Line(0), u"abcdefghij");
    EXPECT_FALSE(doc.edit.IsModified());
}

TEST(Indent, ColumnBlockGetsATabOnEachLineAsOneStep)
{
    TestDocument doc(u"abcd\nefgh\nij");
    TestPane pane(doc.edit);
    pane.controller.SetSelection({0, 2}, {2, 2}, ColumnSelection);
    pane.Run({ID_EDIT_TAB});
    EXPECT_EQ(doc.Line(0), u"ab\tcd");
    EXPECT_EQ(doc.Line(1), u"ef\tgh");
    EXPECT_EQ(doc.Line(2), u"ij\t");
    EXPECT_EQ(pane.controller.GetSelectionMode(), ColumnSelection);
    EXPECT_EQ(doc.UndoAll(), 1);
}

TEST(Deleting, BackspaceAndDeleteJoinLinesAndDoNothingAtTheEdges)
{
    TestDocument doc(u"ab\ncd");
    TestPane pane(doc.edit);
    pane.Run({ID_EDIT_BACKSPACE});
    EXPECT_EQ(doc.edit.GetLineCount(), 2);
    pane.Run({ID_EDIT_DOC_END, ID_EDIT_DELETE_CHAR});
    EXPECT_EQ(doc.Line(1), u"cd");
    pane.controller.MoveCaretTo(1, 0);
    pane.Run({ID_EDIT_BACKSPACE});
    EXPECT_EQ(doc.Line(0), u"abcd");
    EXPECT_EQ(pane.Caret(), SECEditTextPos(0, 2));
    pane.Run({ID_EDIT_DELETE_CHAR});
    EXPECT_EQ(doc.Line(0), u"abd");
    EXPECT_FALSE(doc.edit.IsReadOnly());
}

TEST(Deleting, DeleteInVirtualSpacePadsAndJoins)
{
    TestDocument doc(u"ab\ncd");
    doc.config->SetVirtualWhitespace(true);
    TestPane pane(doc.edit);
    pane.controller.MoveCaretTo(0, 4);
    pane.Run({ID_EDIT_DELETE_CHAR});
    EXPECT_EQ(doc.Line(0), u"ab\tcd"); // the gap up to the caret is filled to the tab stop
    EXPECT_EQ(doc.edit.GetLineCount(), 1);
    // On the last line there is nothing to join: nothing changes.
    pane.controller.MoveCaretTo(0, 9);
    pane.Run({ID_EDIT_DELETE_CHAR});
    EXPECT_EQ(doc.Line(0), u"ab\tcd");
}

TEST(Deleting, WordsLinesAndSurrogatePairs)
{
    TestDocument doc(u"one two  three\nsecond\nthird");
    TestPane pane(doc.edit);
    pane.Run({ID_EDIT_DELETE_WORD});
    EXPECT_EQ(doc.Line(0), u"two  three");
    pane.Run({ID_EDIT_LINE_END, ID_EDIT_DELETE_WORD_BACK});
    EXPECT_EQ(doc.Line(0), u"two  ");
    pane.Run({ID_EDIT_LINE_DOWN, ID_EDIT_LINE_DELETE});
    EXPECT_EQ(doc.Line(1), u"third");
    pane.Run({ID_EDIT_UNDO});
    EXPECT_EQ(doc.Line(1), u"second");

    // A character outside the basic plane goes and comes as a whole.
    TestDocument wide(u"a\U0001F600b");
    TestPane other(wide.edit);
    other.Run({ID_EDIT_CHAR_RIGHT, ID_EDIT_DELETE_CHAR});
    EXPECT_EQ(wide.Line(0), u"ab");
    wide.edit.Undo();
    other.Run({ID_EDIT_LINE_END, ID_EDIT_CHAR_LEFT, ID_EDIT_CHAR_LEFT});
    EXPECT_EQ(other.Caret(), SECEditTextPos(0, 1));
    other.Run({ID_EDIT_LINE_END, ID_EDIT_CHAR_LEFT, ID_EDIT_BACKSPACE});
    EXPECT_EQ(wide.Line(0), u"ab");
}

TEST(CaseChange, StreamAndColumnSelectionsStaySelected)
{
    TestDocument doc(u"abcd\nefgh\nij");
    TestPane pane(doc.edit);
    pane.controller.SetSelection({0, 1}, {2, 3}, ColumnSelection);
    pane.Run({ID_EDIT_UPPERCASE});
    EXPECT_EQ(doc.Line(0), u"aBCd");
    EXPECT_EQ(doc.Line(1), u"eFGh");
    EXPECT_EQ(doc.Line(2), u"iJ");
    EXPECT_EQ(pane.controller.GetSelectionMode(), ColumnSelection);
    EXPECT_EQ(pane.controller.GetAnchor(), SECEditTextPos(0, 1));
    EXPECT_EQ(pane.controller.GetActiveEnd(), SECEditTextPos(2, 3));
    EXPECT_EQ(doc.UndoAll(), 1);

    TestDocument stream(u"Hello World");
    TestPane other(stream.edit);
    other.controller.ExtendSelectionTo(0, 7, true);
    other.Run({ID_EDIT_LOWERCASE});
    EXPECT_EQ(stream.Line(0), u"hello world");
    EXPECT_TRUE(other.controller.HasSelection());
    other.Run({ID_EDIT_UPPERCASE});
    EXPECT_EQ(stream.Line(0), u"HELLO World");
}

TEST(OtherPanes, ACaretWithoutFocusShiftsLikeAMarker)
{
    TestDocument doc(u"abc\ndef");
    TestPane acting(doc.edit);
    TestPane watching(doc.edit, false);
    watching.controller.MoveCaretTo(1, 2);
    watching.controller.SetSelection({1, 0}, {1, 2});
    acting.controller.ExtendSelectionTo(0, 1, true);
    acting.Type(u"XY");
    EXPECT_EQ(acting.Caret(), SECEditTextPos(0, 2));
    EXPECT_FALSE(acting.controller.HasSelection());
    acting.Run({ID_EDIT_NEWLINE});
    EXPECT_EQ(watching.Caret(), SECEditTextPos(2, 2));
    EXPECT_EQ(watching.controller.GetAnchor(), SECEditTextPos(2, 0));
    EXPECT_TRUE(watching.controller.HasSelection());
    acting.Run({ID_EDIT_UNDO});
    EXPECT_EQ(watching.Caret(), SECEditTextPos(1, 2));
}

TEST(Keys, TheKeyTableRoutesKeysToCommandsAndLetsOthersPass)
{
    TestDocument doc(u"abc");
    TestPane pane(doc.edit);
    EXPECT_TRUE(pane.controller.OnKeyDown(Qt::Key_End, 0));
    EXPECT_EQ(pane.Caret(), SECEditTextPos(0, 3));
    EXPECT_TRUE(pane.controller.OnKeyDown(Qt::Key_Home, Qt::ShiftModifier));
    EXPECT_TRUE(pane.controller.HasSelection());
    EXPECT_TRUE(pane.controller.OnKeyDown(Qt::Key_Delete, 0));
    EXPECT_EQ(doc.Line(0), u"");
    EXPECT_TRUE(pane.controller.OnKeyDown(Qt::Key_Z, Qt::ControlModifier));
    EXPECT_EQ(doc.Line(0), u"abc");
    EXPECT_TRUE(pane.controller.OnKeyDown(Qt::Key_Backspace, Qt::ShiftModifier | Qt::AltModifier));
    EXPECT_EQ(doc.Line(0), u"");
    // F6 belongs to the frame, plain letters are typed.
    EXPECT_FALSE(pane.controller.OnKeyDown(Qt::Key_F6, 0));
    EXPECT_FALSE(pane.controller.IsKeyBound(Qt::Key_A, 0));
    EXPECT_FALSE(pane.controller.OnChar(u"\t"));
}

TEST(Commands, WhiteSpaceIsTheLanguagesAndTheLanguageDialogHidesTheCaretWhileItRuns)
{
    // Two documents of one language: Shift+Ctrl+8 in one shows white space in both.
    TestDocument doc(u"a\tb");
    SECEdit other;
    LoadText(other, u"c\td", doc.config.get());
    TestPane pane(doc.edit);
    TestPane otherPane(other, false);
    pane.Run({ID_EDIT_SHOW_WHITESPACE});
    EXPECT_TRUE(doc.config->GetShowWhitespace());
    EXPECT_TRUE(pane.viewport.GetSettings().showWhitespace);
    EXPECT_TRUE(otherPane.viewport.GetSettings().showWhitespace);
    otherPane.Run({ID_EDIT_SHOW_WHITESPACE});
    EXPECT_FALSE(pane.viewport.GetSettings().showWhitespace);
    EXPECT_FALSE(otherPane.viewport.GetSettings().showWhitespace);

    // 45022 is in the command table and runs the Font and Color dialog.
    struct DialogPane final : SECEditController
    {
        using SECEditController::SECEditController;
        void RunLanguageConfigDialog() override
        {
            ++runs;
            caretWhileRunning = IsCaretCreated();
        }
        int runs = 0;
        bool caretWhileRunning = true;
    };
    DialogPane controller(&pane.viewport);
    pane.viewport.SetPresentationState(&controller);
    controller.CreateEditCaret();
    EXPECT_TRUE(controller.HandlesCommand(ID_EDIT_LANG_CONFIG));
    EXPECT_TRUE(controller.OnCommand(ID_EDIT_LANG_CONFIG));
    EXPECT_EQ(controller.runs, 1);
    EXPECT_FALSE(controller.caretWhileRunning);
    EXPECT_TRUE(controller.IsCaretCreated());
    pane.viewport.SetPresentationState(&pane.controller);
}

namespace {
// Notes the engine's modified flag at every notification, as a document
// window's title does.
struct ModifiedWatch : IObserver
{
    explicit ModifiedWatch(SECEdit& e) : edit(e) { edit.AddObserver(this); }
    ~ModifiedWatch() { edit.RemoveObserver(this); }
    void OnUpdate(ISubject*, IMessage*) override { lastSeen = edit.IsModified(); }
    SECEdit& edit;
    bool lastSeen = false;
};
} // namespace

TEST(Typing, ObserversHearTheModifiedFlagFlipBothWays)
{
    TestDocument doc(u"abc\ndef");
    TestPane pane(doc.edit);
    ModifiedWatch watch(doc.edit);
    pane.Type(u"x");
    EXPECT_TRUE(watch.lastSeen);
    pane.Run({ID_EDIT_UNDO});
    EXPECT_FALSE(watch.lastSeen);
    pane.controller.SetSelection({0, 0}, {1, 3});
    pane.Run({ID_EDIT_TAB}); // a group of edits, logged when it closes
    EXPECT_TRUE(watch.lastSeen);
}
