#include "engine/SECEdit.h"
#include "engine/SECEditRegExp.h"
#include "engine/SECEditSearch.h"
#include "engine/SECEditTextStore.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace {

struct Found
{
    std::int32_t length = 0;
    std::int32_t line = -1;
    std::int32_t column = -1;
    bool operator==(const Found&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Found& f)
{
    return os << "{len " << f.length << " at " << f.line << "," << f.column << "}";
}

SECEditSearch::Options Opts(bool down = true, bool matchCase = true, bool wholeWord = false, bool regex = false,
                            bool wrap = true)
{
    SECEditSearch::Options o;
    o.down = down;
    o.matchCase = matchCase;
    o.wholeWord = wholeWord;
    o.regularExpression = regex;
    o.wrap = wrap;
    return o;
}

Found Find(const SECEditTextStore& store, std::int32_t line, std::int32_t column, std::u16string_view pattern,
           const SECEditSearch::Options& options, std::int32_t limitLine = -1, std::int32_t limitColumn = -1)
{
    Found f;
    f.length = SECEditSearch(store).Find(line, column, f.line, f.column, pattern, options, limitLine, limitColumn);
    if (!f.length)
        f = Found{};
    return f;
}

void Load(SECEditTextStore& store, std::u16string_view text)
{
    store.Reset();
    store.AppendText(text);
}

class Search : public ::testing::Test
{
protected:
    SECEditTextStore store;
};

// Small blocks put block seams all over short texts.
class SearchSmallBlocks : public ::testing::Test
{
protected:
    void SetUp() override { SECEditTextStore::SetBlockSizes(8, 16, 2); }
    void TearDown() override { SECEditTextStore::SetBlockSizes(4096, 8192, 1024); }
};

} // namespace

TEST_F(Search, LiteralDownUpAndWrapAround)
{
    Load(store, u"alpha beta\ngamma beta\n");
    EXPECT_EQ(Find(store, 0, 0, u"beta", Opts()), (Found{4, 0, 6}));
    EXPECT_EQ(Find(store, 0, 7, u"beta", Opts()), (Found{4, 1, 6}));
    EXPECT_EQ(Find(store, 1, 7, u"beta", Opts()), (Found{4, 0, 6})) << "wraps to the top";
    EXPECT_EQ(Find(store, 1, 7, u"beta", Opts(true, true, false, false, false)), Found{}) << "no wrap";

    EXPECT_EQ(Find(store, 1, 6, u"beta", Opts(false)), (Found{4, 0, 6}));
    EXPECT_EQ(Find(store, 1, 7, u"beta", Opts(false)), (Found{4, 1, 6}));
    EXPECT_EQ(Find(store, 0, 6, u"beta", Opts(false)), (Found{4, 1, 6})) << "wraps to the bottom";
    EXPECT_EQ(Find(store, 0, 6, u"beta", Opts(false, true, false, false, false)), Found{});

    // From inside the only occurrence, the search comes round to it again.
    Load(store, u"one\ntwo\n");
    EXPECT_EQ(Find(store, 1, 1, u"two", Opts()), (Found{3, 1, 0}));
}

TEST_F(Search, LimitBoundsWhereAMatchMayStart)
{
    Load(store, u"xx ab ab ab\n");
    EXPECT_EQ(Find(store, 0, 0, u"ab", Opts(), 0, 3), (Found{2, 0, 3})) << "a match may start on the limit";
    EXPECT_EQ(Find(store, 0, 0, u"ab", Opts(), 0, 2), Found{});
    EXPECT_EQ(Find(store, 0, 4, u"ab", Opts(), 0, 5), Found{});
    EXPECT_EQ(Find(store, 0, 10, u"ab", Opts(false), 0, 6), (Found{2, 0, 9}));
    EXPECT_EQ(Find(store, 0, 9, u"ab", Opts(false), 0, 7), Found{});
    // A limit past the end is the end.
    EXPECT_EQ(Find(store, 0, 4, u"ab", Opts(), 99, 0), (Found{2, 0, 6}));
}

TEST_F(Search, BadInputFindsNothing)
{
    Load(store, u"abc\n");
    EXPECT_EQ(Find(store, 0, 0, u"", Opts()), Found{});
    EXPECT_EQ(Find(store, 5, 0, u"abc", Opts()), Found{});
    EXPECT_EQ(Find(store, 0, 9, u"abc", Opts()), Found{});
    EXPECT_EQ(Find(store, 0, 0, u"abcd", Opts()), Found{});
    EXPECT_EQ(Find(store, 0, 0, u"(ab", Opts(true, true, false, true)), Found{}) << "invalid regular expression";
    Load(store, u"");
    EXPECT_EQ(Find(store, 0, 0, u"a", Opts()), Found{});
    EXPECT_EQ(Find(store, 0, 0, u"a", Opts(false)), Found{});
}

TEST_F(Search, CaseFoldsBeyondAscii)
{
    Load(store, u"Stra\u00DFe \u00C4PFEL Apfel\n");
    EXPECT_EQ(Find(store, 0, 0, u"\u00E4pfel", Opts()), Found{});
    EXPECT_EQ(Find(store, 0, 0, u"\u00E4pfel", Opts(true, false)), (Found{5, 0, 7}));
    EXPECT_EQ(Find(store, 0, 8, u"APFEL", Opts(true, false)), (Found{5, 0, 13}));
    EXPECT_EQ(Find(store, 0, 8, u"\u00C4PFEL", Opts(true, true)), (Found{5, 0, 7})) << "exact case wraps to the only one";
    // A lone surrogate in the text must not stop a search that folds case.
    Load(store, u"\xD800 abc\n");
    EXPECT_EQ(Find(store, 0, 0, u"ABC", Opts(true, false)), (Found{3, 0, 2}));
    EXPECT_EQ(Find(store, 0, 0, u"b.", Opts(true, true, false, true)), (Found{2, 0, 3}));
}

TEST_F(Search, WholeWordUsesTheDelimiterSetAndLineEnds)
{
    Load(store, u"betax _beta beta9 (beta)\r\nbeta\r\nxbeta beta");
    const auto ww = Opts(true, true, true);
    EXPECT_EQ(Find(store, 0, 0, u"beta", ww), (Found{4, 0, 7})) << "an underscore is a delimiter";
    EXPECT_EQ(Find(store, 0, 8, u"beta", ww), (Found{4, 0, 19})) << "a digit is not";
    EXPECT_EQ(Find(store, 0, 20, u"beta", ww), (Found{4, 1, 0})) << "line start and a carriage return";
    EXPECT_EQ(Find(store, 1, 1, u"beta", ww), (Found{4, 2, 6})) << "the end of the text";
    EXPECT_EQ(Find(store, 2, 6, u"beta", Opts(false, true, true)), (Found{4, 1, 0}));

    const SECEditSearch search(store);
    EXPECT_TRUE(search.IsWholeWordAt(0, 0 + 5));
    EXPECT_FALSE(search.IsWholeWordAt(0, 4));
    EXPECT_FALSE(search.IsWholeWordAt(-1, 4));
    EXPECT_FALSE(search.IsWholeWordAt(store.GetLength() - 2, 4));
}

// Every start, both directions, with and without case and whole word, against
// a plain scan of the same text, over blocks of a handful of characters.
TEST_F(SearchSmallBlocks, AgreesWithAPlainScanAcrossBlockSeams)
{
    std::mt19937 random(7);
    const std::u16string alphabet = u"abA_ \n";
    const std::u16string patterns[] = {u"ab", u"a", u"bA", u"b\na", u"ab\nab", u"aba", u"AB"};
    for (int round = 0; round < 12; ++round) {
        std::u16string text;
        for (int i = 0; i < 90; ++i)
            text += alphabet[random() % alphabet.size()];
        SECEditTextStore store;
        store.AppendText(text);
        ASSERT_GT(store.GetBlockCount(), 3);
        const SECEditSearch search(store);
        auto fold = [](char16_t c) { return c >= u'A' && c <= u'Z' ? char16_t(c + 32) : c; };
        auto delimiter = [&](std::ptrdiff_t at) {
            return at < 0 || at >= std::ptrdiff_t(text.size()) || text[at] == u'\n' || text[at] == u' ' ||
                   text[at] == u'_';
        };
        for (const std::u16string& pattern : patterns) {
            for (int flags = 0; flags < 8; ++flags) {
                const bool down = flags & 1, matchCase = flags & 2, wholeWord = flags & 4;
                auto matchesAt = [&](std::ptrdiff_t at) {
                    if (at < 0 || at + std::ptrdiff_t(pattern.size()) > std::ptrdiff_t(text.size()))
                        return false;
                    for (std::size_t k = 0; k < pattern.size(); ++k) {
                        const char16_t a = text[at + k], b = pattern[k];
                        if (matchCase ? a != b : fold(a) != fold(b))
                            return false;
                    }
                    return !wholeWord || (delimiter(at - 1) && delimiter(at + pattern.size()));
                };
                for (std::ptrdiff_t start = 0; start <= std::ptrdiff_t(text.size()); ++start) {
                    std::ptrdiff_t expected = -1;
                    const std::ptrdiff_t n = text.size();
                    if (down) {
                        for (std::ptrdiff_t at = start; at < n && expected < 0; ++at)
                            if (matchesAt(at))
                                expected = at;
                        for (std::ptrdiff_t at = 0; at <= start && start > 0 && expected < 0; ++at)
                            if (matchesAt(at))
                                expected = at;
                    } else {
                        for (std::ptrdiff_t at = start - 1; at >= 0 && expected < 0; --at)
                            if (matchesAt(at))
                                expected = at;
                        for (std::ptrdiff_t at = n - 1; at >= start && start < n && expected < 0; --at)
                            if (matchesAt(at))
                                expected = at;
                    }
                    std::int32_t line = 0, column = 0;
                    ASSERT_TRUE(store.OffsetToPosition(start, line, column));
                    const Found got = Find(store, line, column, pattern, Opts(down, matchCase, wholeWord));
                    Found want;
                    if (expected >= 0) {
                        want.length = std::int32_t(pattern.size());
                        store.OffsetToPosition(expected, want.line, want.column);
                    }
                    ASSERT_EQ(got, want) << "pattern of " << pattern.size() << " flags " << flags << " start "
                                         << start << " round " << round;
                }
            }
        }
    }
}

TEST_F(Search, RegularExpressionsMatchPerLineAndBackwards)
{
    Load(store, u"ab ab\nab x12 y345\n");
    const auto rx = Opts(true, true, false, true);
    EXPECT_EQ(Find(store, 0, 1, u"^ab", rx), (Found{2, 1, 0})) << "^ is a line start, not the search start";
    EXPECT_EQ(Find(store, 0, 0, u"ab$", rx), (Found{2, 0, 3}));
    EXPECT_EQ(Find(store, 1, 0, u"[a-z]\\d+", rx), (Found{3, 1, 3}));
    EXPECT_EQ(Find(store, 1, 4, u"[a-z]\\d+", rx), (Found{4, 1, 7})) << "a match does not start before the start";
    EXPECT_EQ(Find(store, 0, 0, u"AB", Opts(true, false, false, true)), (Found{2, 0, 0}));
    EXPECT_EQ(Find(store, 1, 7, u"[a-z]\\d+", Opts(false, true, false, true)), (Found{3, 1, 3}));
    EXPECT_EQ(Find(store, 0, 3, u"a.", Opts(false, true, false, true)), (Found{2, 0, 0}));
    EXPECT_EQ(Find(store, 0, 0, u"a.", Opts(false, true, false, true)), (Found{2, 1, 0})) << "wraps upwards";
}

TEST_F(Search, EmptyRegularExpressionMatchesAreSkipped)
{
    Load(store, u"aaa xx\n");
    EXPECT_EQ(Find(store, 0, 0, u"x*", Opts(true, true, false, true)), (Found{2, 0, 4}));
    EXPECT_EQ(Find(store, 0, 0, u"^", Opts(true, true, false, true)), Found{});
    EXPECT_EQ(Find(store, 0, 5, u"q*", Opts(false, true, false, true)), Found{});

    SECEditRegExp empty(u"x*");
    empty.SetGlobal(true);
    EXPECT_EQ(empty.Replace(u"aaa xx", u"-"), u"-a-a-a- --");
}

TEST(RegExp, ReplacementTakesGroupsAndSpecialReferences)
{
    SECEditRegExp rx(u"(\\w+)@(\\w+)");
    EXPECT_EQ(rx.Replace(u"mail joe@host now", u"$2 at $1"), u"mail host at joe now");
    EXPECT_EQ(rx.Replace(u"a@b c@d", u"[$&]"), u"[a@b] c@d") << "Global is off: the first match only";
    rx.SetGlobal(true);
    EXPECT_EQ(rx.Replace(u"a@b c@d", u"[$&]"), u"[a@b] [c@d]");
    EXPECT_EQ(rx.Replace(u"x a@b y", u"$$1 $3 $ $`|$'"), u"x $1 $3 $ x | y y");

    SECEditRegExp optional(u"(a)|(b)");
    EXPECT_EQ(optional.Replace(u"b", u"<$1$2>"), u"<b>") << "an unset group gives nothing";
    SECEditRegExp many(u"(a)(b)(c)(d)(e)(f)(g)(h)(i)(j)(k)");
    EXPECT_EQ(many.Replace(u"abcdefghijk", u"$11$10$1"), u"kja");
    EXPECT_EQ(many.Replace(u"abcdefghijk", u"$12"), u"a2") << "no group 12: group 1, then the digit";

    SECEditRegExp caseless(u"HELLO", true);
    EXPECT_EQ(caseless.Replace(u"say hello", u"bye"), u"say bye");
}

TEST(RegExp, InvalidPatternReportsWhyAndMatchesNothing)
{
    SECEditRegExp rx(u"a(b");
    EXPECT_FALSE(rx.IsValid());
    EXPECT_NE(rx.GetError().find(u"position 3"), std::u16string::npos);
    SECEditRegExp::Match match;
    EXPECT_FALSE(rx.Execute(u"a(b", 0, match));
    EXPECT_EQ(rx.Replace(u"a(b", u"x"), u"a(b");
    rx.SetPattern(u"a\\(b");
    EXPECT_TRUE(rx.IsValid());
    EXPECT_TRUE(rx.GetError().empty());
    EXPECT_TRUE(rx.Execute(u"xa(b", 0, match));
    EXPECT_EQ(match.firstIndex, 1u);
    EXPECT_EQ(match.length, 3u);
    // JavaScript escapes.
    rx.SetPattern(u"\\u0041");
    EXPECT_TRUE(rx.Execute(u"zA", 0, match));
    EXPECT_EQ(match.firstIndex, 1u);
}

TEST(EngineFindText, ForwardsToTheStoreSearch)
{
    SECEdit edit;
    ASSERT_TRUE(edit.InsertTextAt(0, 0, u"one two\nthree two"));
    std::int32_t line = -1, column = -1;
    EXPECT_EQ(edit.FindText(0, 5, line, column, u"TWO", true, true, false, true, false), 3);
    EXPECT_EQ(line, 1);
    EXPECT_EQ(column, 6);
    EXPECT_EQ(edit.FindText(0, 5, line, column, u"TWO", true, true, true, true, false), 0);
}

TEST_F(Search, ALoneSurrogateInThePatternIsStillFoundExactly)
{
    Load(store, u"ab\xDC00" u"c ab\xDC00" u"c\n");
    EXPECT_EQ(Find(store, 0, 2, u"b\xDC00", Opts()), (Found{2, 0, 6}));
    EXPECT_EQ(Find(store, 0, 6, u"b\xDC00", Opts(false)), (Found{2, 0, 1}));
}

TEST_F(Search, ADeepRegularExpressionOnALongLineIsStillFound)
{
    std::u16string line;
    for (int i = 0; i < 1000; ++i)
        line += u"ab";
    Load(store, u"x\n" + line + u"c\n");
    EXPECT_EQ(Find(store, 0, 0, u"(a|b)*c", Opts(true, true, false, true)), (Found{2001, 1, 0}));
}

// Wherever the block seams fall, a regular expression matches within a line.
TEST_F(SearchSmallBlocks, RegularExpressionsMatchWithinALine)
{
    SECEditTextStore store;
    store.AppendText(u"xa\nb a \nc a\r\nbd\n");
    const auto rx = Opts(true, true, false, true);
    EXPECT_EQ(Find(store, 0, 0, u"a\\nb", rx), Found{});
    EXPECT_EQ(Find(store, 0, 0, u"\\n", rx), Found{});
    EXPECT_EQ(Find(store, 0, 0, u"a\\s+", rx), (Found{2, 1, 2})) << "the blank, not the line end";
    EXPECT_EQ(Find(store, 2, 0, u"a\\s*$", rx), (Found{1, 2, 2}));
    EXPECT_EQ(Find(store, 0, 0, u"a$", rx), (Found{1, 0, 1}));
    SECEditTextStore::SetBlockSizes(4096, 8192, 1024);
    SECEditTextStore one;
    one.AppendText(u"xa\nb a \nc a\r\nbd\n");
    EXPECT_EQ(Find(one, 0, 0, u"a\\nb", rx), Found{}) << "the same in a single block";
}

// A line on which the expression runs into PCRE2's limits is skipped and
// named; it neither hides the matches after it nor passes for "not found".
TEST_F(Search, ALineTooComplexForTheExpressionIsSkippedAndNamed)
{
    const std::u16string explosive = std::u16string(40, u'a') + u"!b";
    const std::u16string pattern = u"(a+)+b";
    const auto rx = Opts(true, true, false, true);
    Load(store, u"top\n" + explosive + u"\r\ncab\n" + explosive + u"\nend");
    SECEditSearch search(store);
    std::int32_t line = -1, column = -1;
    EXPECT_EQ(search.Find(0, 0, line, column, pattern, rx), 2);
    EXPECT_EQ(line, 2);
    EXPECT_EQ(column, 1);
    EXPECT_EQ(search.TooComplexLine(), 1);

    EXPECT_EQ(search.Find(4, 0, line, column, pattern, Opts(false, true, false, true)), 2);
    EXPECT_EQ(line, 2);
    EXPECT_TRUE(search.TooComplexLine() == 1 || search.TooComplexLine() == 3) << search.TooComplexLine();

    EXPECT_EQ(search.Find(2, 2, line, column, pattern, Opts(true, true, false, true, false)), 0);
    EXPECT_EQ(search.TooComplexLine(), 3) << "nothing found, yet not everything was searched";

    EXPECT_EQ(search.Find(0, 0, line, column, u"c(a)b", rx), 3);
    EXPECT_EQ(search.TooComplexLine(), -1);
}
