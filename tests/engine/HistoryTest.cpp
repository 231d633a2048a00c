#include "EngineTestSupport.h"

#include "engine/SECEditCompositeCommand.h"
#include "engine/SECEditGroupGuard.h"

#include <gtest/gtest.h>

namespace
{
struct History : ::testing::Test
{
    History() { engine.ResetContent(); }
    void Type(const char16_t* text)
    {
        const int line = engine.GetLineCount() - 1;
        ASSERT_TRUE(engine.InsertTextAt(line, engine.GetLineLength(line), text));
    }
    SECEdit engine;
};
} // namespace

TEST_F(History, SaveEditUndoIsClean)
{
    Type(u"a");
    engine.MarkClean();
    EXPECT_FALSE(engine.IsModified());
    Type(u"b");
    EXPECT_TRUE(engine.IsModified());
    engine.Undo();
    EXPECT_FALSE(engine.IsModified());
}

TEST_F(History, SaveUndoRedoIsClean)
{
    Type(u"a");
    Type(u"b");
    engine.MarkClean();
    engine.Undo();
    EXPECT_TRUE(engine.IsModified());
    engine.Redo();
    EXPECT_FALSE(engine.IsModified());
}

TEST_F(History, SaveUndoNewEditCanNeverBeCleanAgain)
{
    Type(u"a");
    engine.MarkClean();
    engine.Undo();
    Type(u"c");
    EXPECT_TRUE(engine.IsModified());
    EXPECT_EQ(engine.Redo(), nullptr); // the new edit emptied the redo stack
    while (engine.Undo())
        EXPECT_TRUE(engine.IsModified());
    while (engine.Redo())
        EXPECT_TRUE(engine.IsModified());
    // Many later commands: none of them may be taken for the saved one.
    for (int i = 0; i < 300; ++i)
    {
        Type(u"x");
        engine.Undo();
        EXPECT_TRUE(engine.IsModified());
    }
}

TEST_F(History, EmptyDocumentIsCleanAgainAfterUndoingEverything)
{
    Type(u"a");
    Type(u"b");
    engine.Undo();
    engine.Undo();
    EXPECT_FALSE(engine.IsModified());
    EXPECT_EQ(engine.Undo(), nullptr);
}

TEST_F(History, The257thStepPushesTheFirstOut)
{
    for (int i = 0; i < 257; ++i)
        Type(u"x");
    EXPECT_EQ(engine.GetUndoCount(), 256);
    int undone = 0;
    while (engine.Undo())
        ++undone;
    EXPECT_EQ(undone, 256);
    EXPECT_EQ(AllText(engine), u"x"); // the first step stays
    EXPECT_TRUE(engine.IsModified());
    int redone = 0;
    while (engine.Redo())
        ++redone;
    EXPECT_EQ(redone, 256);
    EXPECT_EQ(AllText(engine), std::u16string(257, u'x'));
}

TEST_F(History, AGroupUndoesLastFirstAndRedoesFirstFirst)
{
    RecordingObserver observer;
    engine.AddObserver(&observer);
    engine.SetCompositeMode(true);
    Type(u"one ");
    Type(u"two");
    engine.SetCompositeMode(false);
    EXPECT_EQ(engine.GetUndoCount(), 1);

    observer.entries.clear();
    ASSERT_NE(engine.Undo(), nullptr);
    EXPECT_EQ(AllText(engine), u"");
    auto edits = observer.Edits();
    ASSERT_EQ(edits.size(), 2u);
    EXPECT_EQ(edits[0].range.start, SECEditTextPos(0, 4)); // "two" goes first
    EXPECT_EQ(edits[1].range.start, SECEditTextPos(0, 0));
    EXPECT_FALSE(edits[0].textPresent);
    EXPECT_EQ(observer.Count(SECEditMsg::CompositeCommand), 0);

    observer.entries.clear();
    ASSERT_NE(engine.Redo(), nullptr);
    EXPECT_EQ(AllText(engine), u"one two");
    edits = observer.Edits();
    ASSERT_EQ(edits.size(), 2u);
    EXPECT_EQ(edits[0].range.start, SECEditTextPos(0, 0));
    EXPECT_EQ(edits[1].range.start, SECEditTextPos(0, 4));
    EXPECT_TRUE(edits[1].textPresent);
    engine.RemoveObserver(&observer);
}

TEST_F(History, UndoWithAGroupOpenEndsAndUndoesIt)
{
    Type(u"keep ");
    engine.SetCompositeMode(true);
    Type(u"a");
    Type(u"b");
    ASSERT_NE(engine.Undo(), nullptr);
    EXPECT_FALSE(engine.IsCompositeMode());
    EXPECT_EQ(AllText(engine), u"keep ");
    ASSERT_NE(engine.Redo(), nullptr);
    EXPECT_EQ(AllText(engine), u"keep ab");
}

TEST_F(History, EmptyGroupsLeaveNoStep)
{
    engine.SetCompositeMode(true);
    engine.SetCompositeMode(false);
    EXPECT_EQ(engine.GetUndoCount(), 0);
    engine.SetCompositeMode(false); // nothing open: nothing happens
}

TEST_F(History, TheGuardOnlyClosesTheGroupItOpened)
{
    {
        SECEditGroupGuard outer(engine);
        Type(u"a");
        {
            SECEditGroupGuard inner(engine);
            Type(u"b");
        }
        EXPECT_TRUE(engine.IsCompositeMode());
        Type(u"c");
    }
    EXPECT_FALSE(engine.IsCompositeMode());
    EXPECT_EQ(engine.GetUndoCount(), 1);
    engine.Undo();
    EXPECT_EQ(AllText(engine), u"");
}

TEST_F(History, CombineWithPreviousPairsTwoCommandsInEitherOrder)
{
    Type(u"ab");
    // A command carried out by hand, then paired with the one before.
    auto* command = new SECEditCommand(&engine, {0, 2, 0, 2}, true, u"cd");
    ASSERT_TRUE(command->Do());
    EXPECT_EQ(AllText(engine), u"abcd");
    ASSERT_TRUE(engine.CombineWithPrevious(command, false));
    EXPECT_EQ(engine.GetUndoCount(), 1);
    auto* pair = SECEditCompositeCommand::FromMessage(engine.PeekUndo());
    ASSERT_NE(pair, nullptr);
    EXPECT_EQ(pair->GetCommand(1), command);
    engine.Undo();
    EXPECT_EQ(AllText(engine), u"");

    auto* alone = new SECEditCommand(&engine, {0, 0, 0, 0}, true, u"z");
    ASSERT_TRUE(engine.ExecuteCommand(alone));
    engine.ClearHistory();
    auto* first = new SECEditCommand(&engine, {0, 0, 0, 0}, true, u"y");
    ASSERT_TRUE(first->Do());
    ASSERT_TRUE(engine.CombineWithPrevious(first, true)); // no previous: logged alone
    EXPECT_EQ(engine.PeekUndo(), first);
}

TEST_F(History, ACompositeRefusesACommandItAlreadyHolds)
{
    auto* composite = new SECEditCompositeCommand();
    auto* command = new SECEditCommand(&engine, {0, 0, 0, 0}, true, u"q");
    auto* nested = new SECEditCompositeCommand();
    ASSERT_TRUE(nested->AddCommand(command));
    ASSERT_TRUE(composite->AddCommand(nested));
    EXPECT_FALSE(composite->AddCommand(command));
    EXPECT_FALSE(composite->AddCommand(composite));
    EXPECT_EQ(composite->GetCommandCount(), 1);
    std::u16string text;
    composite->Sprint(text);
    EXPECT_EQ(text, u"SECEditCompositeCommand");
    composite->Release();
}

TEST_F(History, AFailedCommandIsPassedOver)
{
    Type(u"abc");
    // A delete of a range that no longer exists fails for good.
    auto* broken = new SECEditCommand(&engine, {5, 0, 6, 0}, false, u"zz");
    EXPECT_FALSE(broken->Do());
    EXPECT_FALSE(broken->CanUndo());
    ASSERT_TRUE(engine.LogCommand(broken));
    SECEditCommandBase* undone = engine.Undo(); // skips the broken one
    ASSERT_NE(undone, nullptr);
    EXPECT_NE(undone, broken);
    EXPECT_EQ(AllText(engine), u"");
    EXPECT_EQ(engine.GetRedoCount(), 2);
}

TEST_F(History, ForgettingKeepsAModifiedDocumentModified)
{
    Type(u"a");
    engine.ForgetHistory();
    EXPECT_TRUE(engine.IsModified());
    EXPECT_EQ(engine.GetUndoCount(), 0);
    Type(u"b");
    engine.Undo();
    EXPECT_TRUE(engine.IsModified());
    engine.MarkClean();
    EXPECT_FALSE(engine.IsModified());

    engine.ResetContent();
    EXPECT_FALSE(engine.IsModified());
    engine.ForgetHistory();
    EXPECT_FALSE(engine.IsModified());
}

TEST_F(History, AnInsertCommandCapturesItsTextWhenFirstUndone)
{
    Type(u"hello");
    const auto* command = SECEditCommand::FromMessage(engine.PeekUndo());
    ASSERT_NE(command, nullptr);
    EXPECT_TRUE(command->GetText().empty());
    engine.Undo();
    EXPECT_EQ(command->GetText(), u"hello");
    std::u16string description;
    command->Sprint(description);
    EXPECT_EQ(description, u"Insert text having length 5 at line 0, column 0");
}

TEST_F(History, AStepThatNoLongerFitsLeavesTheTextAndSaysSo)
{
    Load(engine, u"zabc");
    Type(u"!");
    // A group whose older member cannot be taken back: there is no line 2.
    engine.SetCompositeMode(true);
    ASSERT_TRUE(engine.LogCommand(new SECEditCommand(&engine, {2, 0, 2, 1}, false, u"q")));
    ASSERT_TRUE(engine.LogCommand(new SECEditCommand(&engine, {0, 0, 0, 1}, true, u"z")));
    engine.SetCompositeMode(false);

    EXPECT_EQ(engine.Undo(), nullptr);
    EXPECT_TRUE(engine.HistoryStepFailed());
    EXPECT_EQ(AllText(engine), u"zabc!"); // the member undone first was put back
    EXPECT_EQ(engine.GetUndoCount(), 0);   // the older step was not passed to
    EXPECT_EQ(engine.GetRedoCount(), 0);
    EXPECT_TRUE(engine.IsModified());

    Type(u"?");
    ASSERT_NE(engine.Undo(), nullptr);
    EXPECT_FALSE(engine.HistoryStepFailed());
    EXPECT_EQ(AllText(engine), u"zabc!");
}
