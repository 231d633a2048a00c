#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

class SECEditTextStore;

// Searches a text store for a literal pattern or a regular expression,
// forwards or backwards, optionally wrapping round the document. It walks the
// store's blocks in place: no copy of the text, no position conversion per
// character.
class SECEditSearch
{
public:
    struct Options
    {
        bool down = true;
        bool wrap = true;
        bool matchCase = false;
        bool wholeWord = false; // literal searches only
        bool regularExpression = false;
    };

    explicit SECEditSearch(const SECEditTextStore& store) : m_store(store) {}

    // Searches from (startLine, startColumn); the limit (-1, -1 for none)
    // bounds where a match may start. Without a limit, or when the start is
    // already past it in the search direction, the search goes to the end of
    // the text and, with wrap, on from the other end up to the limit.
    // Returns the match length and its position, or 0 when nothing was
    // found, the start does not exist, the pattern is empty, or the regular
    // expression is invalid. Empty regular-expression matches don't count.
    std::int32_t Find(std::int32_t startLine, std::int32_t startColumn, std::int32_t& matchLine,
                      std::int32_t& matchColumn, std::u16string_view pattern, const Options& options,
                      std::int32_t limitLine = -1, std::int32_t limitColumn = -1) const;
    // The first line the last Find skipped because the regular expression
    // reached one of PCRE2's limits there (too complex for that line), or -1.
    std::int32_t TooComplexLine() const noexcept { return m_tooComplexLine; }

    // The first match of a literal pattern (no regular expression; whole
    // words not checked) starting within [low, high]: its offset, and its
    // length in `length`; -1 when there is none.
    std::ptrdiff_t FindLiteral(std::ptrdiff_t low, std::ptrdiff_t high, std::u16string_view pattern, bool matchCase,
                               std::ptrdiff_t& length) const;

    // Whether `length` characters at `offset` form a whole word: each side is
    // a line end, the text's end or a delimiter.
    bool IsWholeWordAt(std::ptrdiff_t offset, std::ptrdiff_t length) const;
    // Tab, space and the punctuation a word never contains (underscore too).
    static bool IsDelimiter(char16_t c) noexcept;

private:
    class Matcher;
    struct Hit
    {
        std::ptrdiff_t offset = -1;
        std::ptrdiff_t length = 0;
    };

    // The matcher for the pattern, kept from one search to the next: Replace
    // All searches again and again for the same one, and compiling it (and
    // its JIT code) once is enough.
    const Matcher& MatcherFor(std::u16string_view pattern, const Options& options) const;
    // The first (down) or last (up) match starting within [low, high].
    bool SearchRange(const Matcher& matcher, std::ptrdiff_t low, std::ptrdiff_t high, bool down, bool wholeWord,
                     Hit& hit) const;
    // Matches that start in block `block` and end in a later one (patterns
    // holding a line feed), starting within [low, high]; first or last.
    bool SearchSeam(const Matcher& matcher, int block, std::ptrdiff_t low, std::ptrdiff_t high, bool down,
                    bool wholeWord, Hit& hit) const;

    const SECEditTextStore& m_store;
    mutable std::ptrdiff_t m_tooComplex = -1;
    mutable std::int32_t m_tooComplexLine = -1;
};
