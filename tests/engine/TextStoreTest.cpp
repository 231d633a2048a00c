#include "engine/SECEditTextStore.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace
{
void Fill(SECEditTextStore& store, std::u16string_view text)
{
    store.Reset();
    store.AppendText(text);
}

std::u16string All(const SECEditTextStore& store)
{
    std::u16string out;
    store.GetText(out, 0, 0, store.GetLineCount() - 1, store.GetFullLineLength(store.GetLineCount() - 1));
    return out;
}
} // namespace

TEST(TextStore, EmptyTextIsOneEmptyLine)
{
    SECEditTextStore store;
    EXPECT_EQ(store.GetLineCount(), 1);
    EXPECT_EQ(store.GetLineLength(0), 0);
    EXPECT_EQ(store.GetLineLength(1), -1);
    EXPECT_EQ(store.GetLineLength(-1), -1);
    EXPECT_EQ(store.PositionToOffset(0, 0), 0);
    EXPECT_EQ(store.PositionToOffset(0, 1), -1);
}

TEST(TextStore, LineEndsAndTheLoneCarriageReturn)
{
    SECEditTextStore store;
    Fill(store, u"abc\r\nabc");
    EXPECT_EQ(store.GetLineCount(), 2);
    EXPECT_EQ(store.GetLineLength(0), 3);
    EXPECT_EQ(store.GetFullLineLength(0), 5);
    EXPECT_EQ(store.GetLineLength(1), 3);

    Fill(store, u"abc\n");
    EXPECT_EQ(store.GetLineCount(), 2);
    EXPECT_EQ(store.GetLineLength(1), 0);

    // A lone carriage return ends the visible text; the rest stays stored.
    Fill(store, u"ab\rcd\n");
    EXPECT_EQ(store.GetLineCount(), 2);
    EXPECT_EQ(store.GetLineLength(0), 2);
    EXPECT_EQ(store.GetFullLineLength(0), 6);

    // Without a carriage-return character it is an ordinary character.
    store.SetCarriageReturnChar(0);
    EXPECT_EQ(store.GetLineLength(0), 5);
}

TEST(TextStore, ACarriageReturnLosingItsLineFeedEndsTheVisibleText)
{
    SECEditTextStore store;
    Fill(store, u"abc\r\ndef\r\n");
    EXPECT_EQ(store.GetLineLength(0), 3);
    ASSERT_TRUE(store.Delete({0, 4, 1, 0})); // the line feed alone
    EXPECT_EQ(All(store), u"abc\rdef\r\n");
    EXPECT_EQ(store.GetLineLength(0), 3);
    EXPECT_EQ(store.GetFullLineLength(0), 9);
    SECEditTextRange range(0, 4, 0, 4);
    ASSERT_TRUE(store.Insert(range, u"\n", 1));
    EXPECT_EQ(store.GetLineLength(1), 3);
    SECEditTextRange split(1, 4, 1, 4); // between CR and LF
    ASSERT_TRUE(store.Insert(split, u"x", 1));
    EXPECT_EQ(store.GetLineLength(1), 3);
    EXPECT_EQ(store.GetFullLineLength(1), 6);
    ASSERT_TRUE(store.Delete({1, 4, 1, 5}));
    EXPECT_EQ(store.GetLineLength(1), 3);
    EXPECT_EQ(store.GetLineLength(2), 0);
}

TEST(TextStore, PositionsMayAddressTheLineEndButNotBeyond)
{
    SECEditTextStore store;
    Fill(store, u"abc\r\nxy");
    EXPECT_EQ(store.PositionToOffset(0, 4), 4);  // the line feed
    EXPECT_EQ(store.PositionToOffset(0, 5), 5);  // just past it
    EXPECT_EQ(store.PositionToOffset(0, 6), -1);
    EXPECT_EQ(store.PositionToOffset(1, 2), 7);
    EXPECT_EQ(store.PositionToOffset(1, 3), -1);
    EXPECT_EQ(store.PositionToOffset(2, 0), -1);
    EXPECT_EQ(store.PositionToOffset(-1, 0), -1);
    EXPECT_EQ(store.PositionToOffset(0, -1), -1);

    // Edits stop at the line feed, so a line end goes only with the next line.
    EXPECT_TRUE(store.IsEditablePosition(0, 4));
    EXPECT_FALSE(store.IsEditablePosition(0, 5));
    EXPECT_TRUE(store.IsEditablePosition(1, 2));
}

TEST(TextStore, InsertReportsTheEndOfTheInsertedText)
{
    SECEditTextStore store;
    Fill(store, u"ab");
    SECEditTextRange range(0, 1, 0, 1);
    ASSERT_TRUE(store.Insert(range, u"x\ny", -1));
    EXPECT_EQ(range.end, SECEditTextPos(1, 1));
    EXPECT_EQ(All(store), u"ax\nyb");

    SECEditTextRange empty(1, 0, 7, 7);
    ASSERT_TRUE(store.Insert(empty, u"", 0));
    EXPECT_EQ(empty.end, empty.start);

    // The text stops at its first NUL whatever the count says.
    SECEditTextRange withNul(0, 0, 0, 0);
    ASSERT_TRUE(store.Insert(withNul, u"12\0" u"34", 1000));
    EXPECT_EQ(withNul.end, SECEditTextPos(0, 2));
    EXPECT_EQ(All(store), u"12ax\nyb");
}

TEST(TextStore, BadInsertsAndDeletesChangeNothing)
{
    SECEditTextStore store;
    Fill(store, u"one\ntwo\nthree");
    const std::u16string before = All(store);
    SECEditTextRange beyond(5, 0, 5, 0);
    EXPECT_FALSE(store.Insert(beyond, u"x", 1));
    SECEditTextRange negative(-1, 0, -1, 0);
    EXPECT_FALSE(store.Insert(negative, u"x", 1));
    SECEditTextRange ok(0, 0, 0, 0);
    EXPECT_FALSE(store.Insert(ok, u"x", -5));
    EXPECT_FALSE(store.Insert(ok, nullptr, 3));
    EXPECT_FALSE(store.Delete({1, 2, 0, 1}));   // unordered
    EXPECT_FALSE(store.Delete({0, 0, 9, 0}));   // end beyond the text
    EXPECT_FALSE(store.Delete({0, 4, 1, 0}));   // past the line feed
    EXPECT_EQ(All(store), before);

    std::u16string out = u"keep";
    EXPECT_FALSE(store.GetText(out, 1, 0, 0, 0));
    EXPECT_FALSE(store.GetText(out, 0, 0, 3, 0));
    const char16_t* p = nullptr;
    EXPECT_EQ(store.GetTextPointer(p, 4, 0, 4, 1), 0);
}

TEST(TextStore, GetTextToTheEndOfTheStartLineIncludesItsLineEnd)
{
    SECEditTextStore store;
    Fill(store, u"abc\r\ndef");
    std::u16string out;
    ASSERT_TRUE(store.GetText(out, 0, 1, -1, -1));
    EXPECT_EQ(out, u"bc\r\n");
    ASSERT_TRUE(store.GetText(out, 1, 0, 1, -1));
    EXPECT_EQ(out, u"def");
}

TEST(TextStore, OffsetsMapBackToPositions)
{
    SECEditTextStore store;
    Fill(store, u"ab\ncd\n");
    std::int32_t line = -1, column = -1;
    ASSERT_TRUE(store.OffsetToPosition(3, line, column));
    EXPECT_EQ(line, 1);
    EXPECT_EQ(column, 0);
    ASSERT_TRUE(store.OffsetToPosition(2, line, column));
    EXPECT_EQ(line, 0);
    EXPECT_EQ(column, 2);
    ASSERT_TRUE(store.OffsetToPosition(6, line, column));
    EXPECT_EQ(line, 2);
    EXPECT_EQ(column, 0);
    EXPECT_FALSE(store.OffsetToPosition(7, line, column));
}

class SmallBlocks : public ::testing::Test
{
protected:
    void SetUp() override { SECEditTextStore::SetBlockSizes(8, 16, 2); }
    void TearDown() override { SECEditTextStore::SetBlockSizes(4096, 8192, 1024); }
};

TEST_F(SmallBlocks, BlocksHoldWholeLinesAndRangesAcrossThemAreNotContiguous)
{
    SECEditTextStore store;
    Fill(store, u"line one\nline two\nline three\nline four\n");
    ASSERT_GT(store.GetBlockCount(), 1);
    for (int b = 0; b + 1 < store.GetBlockCount(); ++b)
        EXPECT_EQ(store.GetBlock(b).back(), u'\n') << "block " << b;

    const char16_t* p = nullptr;
    EXPECT_EQ(store.GetTextPointer(p, 1, 0, 1, 4), 4); // within one line
    EXPECT_EQ(std::u16string_view(p, 4), u"line");
    EXPECT_EQ(store.GetTextPointer(p, 0, 0, 3, 0), -1);

    std::u16string collected;
    ASSERT_TRUE(store.ForEachChunk(2, 30, [&](std::u16string_view piece) {
        collected.append(piece);
        return true;
    }));
    EXPECT_EQ(collected, std::u16string(u"line one\nline two\nline three\nline four\n").substr(2, 30));
    EXPECT_FALSE(store.ForEachChunk(0, 1000, [](std::u16string_view) { return true; }));
}

TEST_F(SmallBlocks, DeletingAcrossBlocksJoinsTheLine)
{
    SECEditTextStore store;
    Fill(store, u"aaaa\nbbbbbbbb\ncccccccc\ndddd\n");
    ASSERT_TRUE(store.Delete({0, 2, 3, 1}));
    EXPECT_EQ(All(store), u"aaddd\n");
    EXPECT_EQ(store.GetLineCount(), 2);
    EXPECT_EQ(store.GetLineLength(0), 5);
    ASSERT_TRUE(store.Delete({0, 0, 1, 0}));
    EXPECT_EQ(All(store), u"");
    EXPECT_EQ(store.GetLineCount(), 1);
    EXPECT_EQ(store.GetBlockCount(), 1);
}

TEST_F(SmallBlocks, ALargeInsertIsSplitIntoBlocks)
{
    SECEditTextStore store;
    Fill(store, u"start\nend");
    std::u16string big;
    for (int i = 0; i < 100; ++i)
        big += u"row " + std::u16string(1, static_cast<char16_t>(u'a' + i % 26)) + u"\n";
    SECEditTextRange range(1, 0, 1, 0);
    ASSERT_TRUE(store.Insert(range, big.data(), static_cast<std::ptrdiff_t>(big.size())));
    EXPECT_EQ(range.end, SECEditTextPos(101, 0));
    EXPECT_EQ(store.GetLineCount(), 102);
    EXPECT_GT(store.GetBlockCount(), 20);
    EXPECT_EQ(All(store), u"start\n" + big + u"end");
    std::u16string_view text;
    EXPECT_EQ(store.GetLineText(50, text), 5);
    EXPECT_EQ(text, u"row x");
}

TEST_F(SmallBlocks, ChangingTheLineFeedReindexes)
{
    SECEditTextStore store;
    Fill(store, u"a;b\nc;d;e");
    store.SetLineFeedChar(u';');
    EXPECT_EQ(store.GetLineCount(), 4);
    std::u16string_view text;
    store.GetLineText(1, text);
    EXPECT_EQ(text, u"b\nc");
}

TEST(TextStore, FindLongLineWalksTheBlocks)
{
    SECEditTextStore store;
    Fill(store, u"short\n" + std::u16string(600, u'x') + u"\nshort\n" + std::u16string(700, u'y'));
    EXPECT_EQ(store.FindLongLine(0, 10, 512), 1);
    EXPECT_EQ(store.FindLongLine(2, 10, 512), 3);
    EXPECT_EQ(store.FindLongLine(2, 2, 512), -1);
    EXPECT_EQ(store.FindLongLine(0, 10, 1000), -1);
}

// A big load lives in the large chunks of the store's arena: edits that grow,
// split, merge and remove its blocks (taking them to the heap) keep the text
// right, the loaded store can be swapped into another, and the chunks go
// back once no block uses them.
TEST_F(SmallBlocks, ABigLoadEditsLikeAnyTextAndGivesItsMemoryBack)
{
    SECEditTextStore::SetBlockSizes(256, 512, 64);
    std::mt19937 rng(5);
    auto randomText = [&](int maxLength) {
        static const char16_t alphabet[] = u"abcdefgh xyz\r\n\n";
        std::u16string text(std::uniform_int_distribution<int>(0, maxLength)(rng), u' ');
        for (char16_t& c : text)
            c = alphabet[std::uniform_int_distribution<std::size_t>(0, std::size(alphabet) - 2)(rng)];
        return text;
    };
    std::u16string model;
    while (model.size() < (std::size_t(1) << 20) + 5000)
        model += randomText(60);

    const std::size_t heldBefore = SECEditBlockArena::HeldBytes();
    SECEditTextStore document;
    {
        SECEditTextStore loaded;
        loaded.Reset();
        loaded.Reserve(static_cast<std::ptrdiff_t>(model.size()));
        for (std::size_t at = 0; at < model.size(); at += 100000)
            loaded.AppendText(std::u16string_view(model).substr(at, 100000));
        EXPECT_GT(SECEditBlockArena::HeldBytes(), heldBefore);
        document.Swap(loaded);
    }
    ASSERT_EQ(All(document), model);

    for (int step = 0; step < 2000; ++step)
    {
        std::int32_t line = 0;
        std::int32_t column = 0;
        const auto at = std::uniform_int_distribution<std::size_t>(0, model.size())(rng);
        ASSERT_TRUE(document.OffsetToPosition(static_cast<std::ptrdiff_t>(at), line, column));
        if (rng() % 2 == 0)
        {
            const std::u16string text = randomText(rng() % 10 == 0 ? 400 : 20);
            SECEditTextRange range(line, column, line, column);
            ASSERT_TRUE(document.Insert(range, text.data(), static_cast<std::ptrdiff_t>(text.size())));
            model.insert(at, text);
        }
        else
        {
            const std::size_t end = std::min(model.size(), at + rng() % 300);
            std::int32_t endLine = 0;
            std::int32_t endColumn = 0;
            ASSERT_TRUE(document.OffsetToPosition(static_cast<std::ptrdiff_t>(end), endLine, endColumn));
            ASSERT_TRUE(document.Delete({line, column, endLine, endColumn}));
            model.erase(at, end - at);
        }
    }
    EXPECT_EQ(All(document), model);
    EXPECT_EQ(document.GetLineCount(), std::count(model.begin(), model.end(), u'\n') + 1);
    // The lines longer than 30 characters, line end included, found both ways.
    std::vector<std::int32_t> expected;
    std::vector<std::int32_t> found;
    std::size_t start = 0;
    for (std::int32_t line = 0; start <= model.size(); ++line)
    {
        const std::size_t feed = model.find(u'\n', start);
        const std::size_t end = feed == std::u16string::npos ? model.size() : feed + 1;
        if (end - start > 30)
            expected.push_back(line);
        start = end + (feed == std::u16string::npos ? 1 : 0);
    }
    for (std::int32_t line = 0; (line = document.FindLongLine(line, document.GetLineCount() - 1, 30)) >= 0; ++line)
        found.push_back(line);
    EXPECT_EQ(found, expected);

    // Typing into two blocks of every three moves them to the heap (past the
    // room they were loaded with); the arena then moves the rest too rather
    // than keep pages mostly idle.
    for (int b = 0; b < document.GetBlockCount(); b += 3)
    {
        for (int k = b; k < b + 2 && k < document.GetBlockCount(); ++k)
        {
            const std::ptrdiff_t at = document.GetBlockStart(k);
            std::int32_t line = 0;
            std::int32_t column = 0;
            ASSERT_TRUE(document.OffsetToPosition(at, line, column));
            SECEditTextRange range(line, column, line, column);
            ASSERT_TRUE(document.Insert(range, u"qqqqqqqqqqqqqqqqqqqq", 20));
            model.insert(static_cast<std::size_t>(at), 20, u'q');
        }
    }
    EXPECT_EQ(All(document), model);
    EXPECT_LE(SECEditBlockArena::HeldBytes(), heldBefore + SECEditBlockArena::kLargePage);

    const std::int32_t last = document.GetLineCount() - 1;
    ASSERT_TRUE(document.Delete({0, 0, last, document.GetFullLineLength(last)}));
    EXPECT_EQ(All(document), u"");
    document.Reset();
    EXPECT_EQ(SECEditBlockArena::HeldBytes(), heldBefore);
}
