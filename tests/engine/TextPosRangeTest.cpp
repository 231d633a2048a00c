#include "engine/SECEditTextPos.h"
#include "engine/SECEditTextRange.h"

#include <gtest/gtest.h>

TEST(TextPos, OrdersByLineThenColumn)
{
    EXPECT_LT(SECEditTextPos(1, 9), SECEditTextPos(2, 0));
    EXPECT_LT(SECEditTextPos(2, 1), SECEditTextPos(2, 2));
    EXPECT_LE(SECEditTextPos(2, 2), SECEditTextPos(2, 2));
    EXPECT_GT(SECEditTextPos(3, 0), SECEditTextPos(2, 50));
    EXPECT_NE(SECEditTextPos(1, 2), SECEditTextPos(2, 1));
}

TEST(TextPos, DeletionMovesPositionsAfterTheRange)
{
    // Deleting (2,4)-(5,1): a caret at (5,3) lands on the joined line 2.
    SECEditTextPos caret(5, 3);
    EXPECT_TRUE(caret.AdjustForEdit({2, 4}, {5, 1}, false));
    EXPECT_EQ(caret, SECEditTextPos(2, 6));

    SECEditTextPos inside(3, 7);
    EXPECT_TRUE(inside.AdjustForEdit({2, 4}, {5, 1}, false));
    EXPECT_EQ(inside, SECEditTextPos(2, 4));

    SECEditTextPos atStart(2, 4);
    EXPECT_FALSE(atStart.AdjustForEdit({2, 4}, {5, 1}, false));

    SECEditTextPos later(8, 2);
    EXPECT_TRUE(later.AdjustForEdit({2, 4}, {5, 1}, false));
    EXPECT_EQ(later, SECEditTextPos(5, 2));

    // The edit range may come reversed.
    SECEditTextPos reversed(5, 3);
    reversed.AdjustForEdit({5, 1}, {2, 4}, false);
    EXPECT_EQ(reversed, SECEditTextPos(2, 6));
}

TEST(TextPos, InsertionMovesPositionsAtOrAfterTheStart)
{
    SECEditTextPos at(0, 1);
    EXPECT_TRUE(at.AdjustForEdit({0, 1}, {1, 1}, true));
    EXPECT_EQ(at, SECEditTextPos(1, 1)); // the end of the inserted text

    SECEditTextPos sameLine(0, 5);
    sameLine.AdjustForEdit({0, 1}, {1, 1}, true);
    EXPECT_EQ(sameLine, SECEditTextPos(1, 5));

    SECEditTextPos before(0, 0);
    EXPECT_FALSE(before.AdjustForEdit({0, 1}, {1, 1}, true));

    SECEditTextPos below(4, 2);
    below.AdjustForEdit({0, 1}, {1, 1}, true);
    EXPECT_EQ(below, SECEditTextPos(5, 2));
}

TEST(TextRange, NormalisesForEqualityAndContainment)
{
    const SECEditTextRange forward(1, 2, 3, 4);
    const SECEditTextRange backward(3, 4, 1, 2);
    EXPECT_EQ(forward, backward);
    EXPECT_FALSE(backward.IsOrdered());
    EXPECT_EQ(backward.Normalized().start, SECEditTextPos(1, 2));
    EXPECT_TRUE(backward.Contains({1, 2}));
    EXPECT_TRUE(backward.Contains({3, 4}));
    EXPECT_FALSE(backward.Contains({3, 5}));
}

TEST(TextRange, OverlapTreatsARangeEndingAtOriginAsAPoint)
{
    const SECEditTextRange range(2, 0, 4, 0);
    EXPECT_TRUE(range.Overlaps({3, 0, 9, 9}));
    EXPECT_TRUE(range.Overlaps({0, 0, 9, 9})); // contains this range
    EXPECT_FALSE(range.Overlaps({5, 0, 9, 9}));
    // End (0,0): only the start counts.
    EXPECT_TRUE(range.Overlaps({3, 1, 0, 0}));
    EXPECT_FALSE(range.Overlaps({1, 0, 0, 0}));
}

TEST(TextRange, AdjustsBothEnds)
{
    SECEditTextRange selection(2, 5, 5, 3);
    EXPECT_TRUE(selection.AdjustForEdit({2, 4, 5, 1}, false));
    EXPECT_EQ(selection.start, SECEditTextPos(2, 4));
    EXPECT_EQ(selection.end, SECEditTextPos(2, 6));
}
