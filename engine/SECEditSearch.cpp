#include "engine/SECEditSearch.h"

#include "engine/SECEditRegExp.h"
#include "engine/SECEditTextStore.h"

#include <algorithm>
#include <array>
#include <limits>
#include <memory>
#include <string>

// How one pattern is looked for inside a contiguous piece of text: by PCRE2,
// literal patterns too, since its JIT scans far faster than a plain loop. A
// literal PCRE2 can't take (a lone surrogate) is matched exactly by a
// Horspool scan, with shifts keyed on the low byte of a character, which only
// ever makes a shift shorter.
class SECEditSearch::Matcher
{
public:
    Matcher(std::u16string_view pattern, const Options& options, char16_t lineFeed, char16_t carriageReturn)
        : m_pattern(pattern), m_options(options), m_lineFeed(lineFeed), m_carriageReturn(carriageReturn)
    {
        m_regex.SetPattern(pattern);
        m_regex.SetIgnoreCase(!options.matchCase);
        m_regex.SetLiteral(!options.regularExpression);
        m_exact = options.matchCase && !options.regularExpression && !m_regex.IsValid();
        if (m_exact) {
            m_shift.fill(m_pattern.size());
            for (std::size_t k = 0; k + 1 < m_pattern.size(); ++k)
                m_shift[m_pattern[k] & 0xFF] = m_pattern.size() - 1 - k;
        }
        // A literal with a line feed inside can run from one block into the
        // next; a regular expression is matched within a block.
        if (!options.regularExpression) {
            const std::size_t feed = m_pattern.find(lineFeed);
            m_spansBlocks = feed != std::u16string::npos && feed + 1 < m_pattern.size();
        }
    }

    bool IsUsable() const { return m_exact || m_regex.IsValid(); }
    bool IsFor(std::u16string_view pattern, const Options& options, char16_t lineFeed, char16_t carriageReturn) const
    {
        return pattern == m_pattern && options.matchCase == m_options.matchCase &&
               options.regularExpression == m_options.regularExpression && lineFeed == m_lineFeed &&
               carriageReturn == m_carriageReturn;
    }
    bool SpansBlocks() const noexcept { return m_spansBlocks; }
    std::size_t LiteralLength() const noexcept { return m_pattern.size(); }

    // The first match starting at or after `from`, wholly inside `text`.
    // A regular expression that reaches one of PCRE2's limits on a line
    // skips that line, whose offset goes to `tooComplex` (the first such
    // line only), and the search goes on after it.
    bool FindIn(std::u16string_view text, std::size_t from, std::size_t& pos, std::size_t& length,
                std::size_t& tooComplex) const
    {
        if (!m_exact) {
            std::size_t at = from;
            SECEditRegExp::Match match;
            const auto skipped = [&](std::size_t offset) {
                if (tooComplex == std::u16string_view::npos)
                    tooComplex = offset;
            };
            // Where the line holding `offset` ends, before its carriage return.
            const auto lineEnd = [&](std::size_t offset, std::size_t& feed) {
                feed = text.find(m_lineFeed, offset);
                std::size_t end = feed == std::u16string_view::npos ? text.size() : feed;
                if (feed != std::u16string_view::npos && feed > offset && m_carriageReturn != 0 &&
                    text[feed - 1] == m_carriageReturn)
                    --end;
                return end;
            };
            // After a limit, one line at a time until the line that is too
            // complex by itself has been passed.
            bool byLine = false;
            while (at <= text.size()) {
                if (byLine) {
                    std::size_t feed = 0;
                    const std::size_t end = lineEnd(at, feed);
                    if (m_regex.Execute(text.substr(0, end), at, match, true)) {
                        pos = match.firstIndex;
                        length = match.length;
                        return true;
                    }
                    if (m_regex.LimitReached()) {
                        skipped(at);
                        byLine = false;
                    }
                    if (feed == std::u16string_view::npos)
                        return false;
                    at = feed + 1;
                    continue;
                }
                if (!m_regex.Execute(text, at, match, true)) {
                    if (!m_regex.LimitReached() || !m_options.regularExpression)
                        return false;
                    byLine = true;
                    continue;
                }
                // A regular expression matches within a line: matching across
                // line ends only where they fall inside one block would make
                // the result depend on how the text happens to be stored.
                // The line end (a carriage return before the feed too) is
                // never part of a match, so a replacement keeps it.
                std::size_t feed = std::u16string_view::npos;
                const std::size_t end = m_options.regularExpression ? lineEnd(match.firstIndex, feed) : text.size();
                if (feed == std::u16string_view::npos || end >= match.firstIndex + match.length) {
                    pos = match.firstIndex;
                    length = match.length;
                    return true;
                }
                if (end > match.firstIndex && m_regex.Execute(text.substr(0, end), match.firstIndex, match, true)) {
                    pos = match.firstIndex;
                    length = match.length;
                    return true;
                }
                if (m_regex.LimitReached())
                    skipped(match.firstIndex);
                at = feed + 1;
            }
            return false;
        }
        const std::size_t m = m_pattern.size();
        const std::size_t n = text.size();
        if (m > n || from > n - m)
            return false;
        if (m == 1) {
            const std::size_t at = text.find(m_pattern[0], from);
            if (at == std::u16string_view::npos)
                return false;
            pos = at;
            length = 1;
            return true;
        }
        const char16_t* p = text.data();
        const char16_t* pat = m_pattern.data();
        const char16_t last = pat[m - 1];
        for (std::size_t i = from; i <= n - m;) {
            const char16_t c = p[i + m - 1];
            if (c == last && std::char_traits<char16_t>::compare(p + i, pat, m - 1) == 0) {
                pos = i;
                length = m;
                return true;
            }
            i += m_shift[c & 0xFF];
        }
        return false;
    }

private:
    std::u16string m_pattern;
    Options m_options;
    char16_t m_lineFeed;
    char16_t m_carriageReturn;
    bool m_exact = false;
    bool m_spansBlocks = false;
    std::array<std::size_t, 256> m_shift{};
    SECEditRegExp m_regex;
};

bool SECEditSearch::IsDelimiter(char16_t c) noexcept
{
    switch (c) {
    case u'\t': case u' ': case u'\\': case u'"': case u'\'': case u'`': case u'~': case u'-':
    case u'=': case u'!': case u'@': case u'#': case u'$': case u'%': case u'^': case u'&':
    case u'*': case u'(': case u')': case u'_': case u'+': case u'[': case u']': case u'{':
    case u'}': case u'|': case u';': case u':': case u'.': case u',': case u'<': case u'>':
    case u'/': case u'?':
        return true;
    default:
        return false;
    }
}

bool SECEditSearch::IsWholeWordAt(std::ptrdiff_t offset, std::ptrdiff_t length) const
{
    const std::ptrdiff_t size = m_store.GetLength();
    if (offset < 0 || length < 0 || offset + length > size)
        return false;
    auto charAt = [this](std::ptrdiff_t at) {
        const int block = m_store.FindBlock(at, false);
        return m_store.GetBlock(block)[std::size_t(at - m_store.GetBlockStart(block))];
    };
    if (offset > 0) {
        const char16_t before = charAt(offset - 1);
        if (before != m_store.GetLineFeedChar() && !IsDelimiter(before))
            return false;
    }
    const std::ptrdiff_t end = offset + length;
    if (end < size) {
        const char16_t after = charAt(end);
        const char16_t cr = m_store.GetCarriageReturnChar();
        if (after != m_store.GetLineFeedChar() && !(cr != 0 && after == cr) && !IsDelimiter(after))
            return false;
    }
    return true;
}

bool SECEditSearch::SearchSeam(const Matcher& matcher, int block, std::ptrdiff_t low, std::ptrdiff_t high,
                               bool down, bool wholeWord, Hit& hit) const
{
    if (block + 1 >= m_store.GetBlockCount())
        return false;
    const std::ptrdiff_t base = m_store.GetBlockStart(block);
    const std::ptrdiff_t seam = base + std::ptrdiff_t(m_store.GetBlock(block).size());
    const std::ptrdiff_t reach = std::ptrdiff_t(matcher.LiteralLength()) - 1;
    const std::ptrdiff_t from = std::max({seam - reach, base, low});
    const std::ptrdiff_t to = std::min(seam + reach, m_store.GetLength());
    if (from >= seam || from > high)
        return false;
    std::u16string window;
    m_store.ForEachChunk(from, to - from, [&](std::u16string_view piece) {
        window.append(piece);
        return true;
    });
    bool found = false;
    std::size_t at = 0;
    std::size_t pos = 0;
    std::size_t length = 0;
    std::size_t tooComplex = std::u16string_view::npos; // literals only come here
    while (matcher.FindIn(window, at, pos, length, tooComplex)) {
        const std::ptrdiff_t start = from + std::ptrdiff_t(pos);
        if (start >= seam || start > high)
            break;
        at = pos + 1;
        if (start + std::ptrdiff_t(length) <= seam || (wholeWord && !IsWholeWordAt(start, std::ptrdiff_t(length))))
            continue;
        hit = {start, std::ptrdiff_t(length)};
        found = true;
        if (down)
            break;
    }
    return found;
}

bool SECEditSearch::SearchRange(const Matcher& matcher, std::ptrdiff_t low, std::ptrdiff_t high, bool down,
                                bool wholeWord, Hit& hit) const
{
    const std::ptrdiff_t size = m_store.GetLength();
    high = std::min(high, size - 1); // a match is never empty, so it can't start at the end
    if (low < 0 || low > high)
        return false;
    const int blocks = m_store.GetBlockCount();
    // All matches in one block that start within [low, high]: the first, or
    // (up) the last one.
    auto scanBlock = [&](int b) {
        const std::u16string_view text = m_store.GetBlock(b);
        const std::ptrdiff_t base = m_store.GetBlockStart(b);
        std::size_t at = std::size_t(std::max<std::ptrdiff_t>(low - base, 0));
        std::size_t pos = 0;
        std::size_t length = 0;
        std::size_t tooComplex = std::u16string_view::npos;
        bool found = false;
        while (at <= text.size() && matcher.FindIn(text, at, pos, length, tooComplex)) {
            const std::ptrdiff_t start = base + std::ptrdiff_t(pos);
            if (start > high)
                break;
            at = pos + 1;
            if (wholeWord && !IsWholeWordAt(start, std::ptrdiff_t(length)))
                continue;
            hit = {start, std::ptrdiff_t(length)};
            found = true;
            if (down)
                break;
        }
        if (tooComplex != std::u16string_view::npos && m_tooComplex < 0 &&
            base + std::ptrdiff_t(tooComplex) <= high)
            m_tooComplex = base + std::ptrdiff_t(tooComplex);
        return found;
    };
    if (down) {
        for (int b = m_store.FindBlock(low, false); b >= 0 && b < blocks; ++b) {
            if (m_store.GetBlockStart(b) > high)
                break;
            if (scanBlock(b))
                return true;
            if (matcher.SpansBlocks() && SearchSeam(matcher, b, low, high, true, wholeWord, hit))
                return true;
        }
        return false;
    }
    for (int b = m_store.FindBlock(high, false); b >= 0; --b) {
        const std::ptrdiff_t base = m_store.GetBlockStart(b);
        if (base + std::ptrdiff_t(m_store.GetBlock(b).size()) <= low)
            break;
        // Matches running into the next block start later than any inside.
        if (matcher.SpansBlocks() && SearchSeam(matcher, b, low, high, false, wholeWord, hit))
            return true;
        if (scanBlock(b))
            return true;
    }
    return false;
}

const SECEditSearch::Matcher& SECEditSearch::MatcherFor(std::u16string_view pattern, const Options& options) const
{
    thread_local std::unique_ptr<Matcher> last;
    const char16_t feed = m_store.GetLineFeedChar();
    const char16_t cr = m_store.GetCarriageReturnChar();
    if (!last || !last->IsFor(pattern, options, feed, cr))
        last = std::make_unique<Matcher>(pattern, options, feed, cr);
    return *last;
}

std::ptrdiff_t SECEditSearch::FindLiteral(std::ptrdiff_t low, std::ptrdiff_t high, std::u16string_view pattern,
                                          bool matchCase, std::ptrdiff_t& length) const
{
    if (pattern.empty())
        return -1;
    Options options;
    options.matchCase = matchCase;
    const Matcher& matcher = MatcherFor(pattern, options);
    Hit hit;
    if (!matcher.IsUsable() || !SearchRange(matcher, low, high, true, false, hit))
        return -1;
    length = hit.length;
    return hit.offset;
}

std::int32_t SECEditSearch::Find(std::int32_t startLine, std::int32_t startColumn, std::int32_t& matchLine,
                                 std::int32_t& matchColumn, std::u16string_view pattern, const Options& options,
                                 std::int32_t limitLine, std::int32_t limitColumn) const
{
    m_tooComplex = -1;
    m_tooComplexLine = -1;
    if (pattern.empty())
        return 0;
    const std::ptrdiff_t start = m_store.PositionToOffset(startLine, startColumn);
    if (start < 0)
        return 0;
    const Matcher& matcher = MatcherFor(pattern, options);
    if (!matcher.IsUsable())
        return 0; // an invalid regular expression matches nothing
    const std::ptrdiff_t end = m_store.GetLength();
    std::ptrdiff_t limit = start;
    if (limitLine >= 0) {
        const std::int32_t lastLine = m_store.GetLineCount() - 1;
        if (limitLine > lastLine) {
            limit = end;
        } else {
            const std::int32_t column = std::clamp(limitColumn, 0, m_store.GetFullLineLength(limitLine));
            limit = m_store.PositionToOffset(limitLine, column);
        }
    }
    const bool wholeWord = options.wholeWord && !options.regularExpression;
    const bool down = options.down;
    Hit hit;
    bool found = false;
    if (down ? start >= limit : start <= limit) {
        if (down) {
            found = start < end && SearchRange(matcher, start, end, true, wholeWord, hit);
            if (!found && limit > 0 && options.wrap)
                found = SearchRange(matcher, 0, limit, true, wholeWord, hit);
        } else {
            found = start > 0 && SearchRange(matcher, 0, start - 1, false, wholeWord, hit);
            if (!found && start < end && options.wrap)
                found = SearchRange(matcher, limit, end - 1, false, wholeWord, hit);
        }
    } else if (down) {
        found = SearchRange(matcher, start, limit, true, wholeWord, hit);
    } else {
        found = SearchRange(matcher, limit, start - 1, false, wholeWord, hit);
    }
    std::int32_t column = 0;
    if (m_tooComplex < 0 || !m_store.OffsetToPosition(m_tooComplex, m_tooComplexLine, column))
        m_tooComplexLine = -1;
    if (!found || !m_store.OffsetToPosition(hit.offset, matchLine, matchColumn))
        return 0;
    return std::int32_t(std::min<std::ptrdiff_t>(hit.length, std::numeric_limits<std::int32_t>::max()));
}
