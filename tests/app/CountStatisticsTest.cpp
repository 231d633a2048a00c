#include "app/CountStatistics.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct Expected
{
    std::int64_t all, printable, words, lines;
};

void ExpectCounts(const CountStatistics& counts, Expected expected, const char* what)
{
    EXPECT_EQ(counts.AllCharacters(), expected.all) << what;
    EXPECT_EQ(counts.PrintableCharacters(), expected.printable) << what;
    EXPECT_EQ(counts.Words(), expected.words) << what;
    EXPECT_EQ(counts.Lines(), expected.lines) << what;
}

} // namespace

TEST(CountStatistics, CountsOfSmallTexts)
{
    ExpectCounts(CountStatistics::Of(u""), {0, 0, 0, 1}, "empty");
    ExpectCounts(CountStatistics::Of(u"a b"), {3, 2, 2, 1}, "two letters");
    ExpectCounts(CountStatistics::Of(u"ab\r\nc"), {5, 3, 2, 2}, "two lines with CR LF");
    ExpectCounts(CountStatistics::Of(u"word"), {4, 4, 1, 1}, "no separators");
    ExpectCounts(CountStatistics::Of(u"\t foo \t bar\t"), {12, 6, 2, 1}, "tabs and spaces count in all only");
    ExpectCounts(CountStatistics::Of(u" \t\r\n"), {4, 0, 0, 2}, "separators only");
    // A carriage return alone ends no line, though it separates words.
    ExpectCounts(CountStatistics::Of(u"a\rb"), {3, 2, 2, 1}, "lone CR");
    // A text ending in a line feed has one line more than it shows.
    ExpectCounts(CountStatistics::Of(u"one\ntwo\n"), {8, 6, 2, 3}, "final LF");
    // Anything else is printable: punctuation, non-breaking space, form feed, a surrogate pair.
    ExpectCounts(CountStatistics::Of(u"x,\u00A0\f\U0001F600"), {6, 6, 1, 1}, "other characters");
}

TEST(CountStatistics, PiecesCountAsTheWholeTextWhereverItIsCut)
{
    const std::u16string text = u"  alpha beta\r\n\tgamma\n\ndelta  epsilon\r";
    const CountStatistics whole = CountStatistics::Of(text);
    for (std::size_t cut1 = 0; cut1 <= text.size(); ++cut1) {
        for (std::size_t cut2 = cut1; cut2 <= text.size(); ++cut2) {
            CountStatistics pieces;
            pieces.Add(std::u16string_view(text).substr(0, cut1));
            pieces.Add(std::u16string_view(text).substr(cut1, cut2 - cut1));
            pieces.Add(std::u16string_view(text).substr(cut2));
            ASSERT_EQ(pieces.Words(), whole.Words()) << cut1 << ' ' << cut2;
            ASSERT_EQ(pieces.Lines(), whole.Lines()) << cut1 << ' ' << cut2;
            ASSERT_EQ(pieces.PrintableCharacters(), whole.PrintableCharacters());
            ASSERT_EQ(pieces.AllCharacters(), whole.AllCharacters());
        }
    }
    EXPECT_EQ(whole.Words(), 5);
    EXPECT_EQ(whole.Lines(), 4);
}
