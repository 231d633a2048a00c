#pragma once

#include <cstdint>
#include <string_view>

// The four counts of the Count dialog over a text that may arrive in pieces:
// all characters, printable characters (anything but space, tab, carriage
// return and line feed), words (runs of printable characters) and lines
// (line feeds plus one; a carriage return alone ends no line). A word split
// between two pieces counts once. 64-bit counts, since a document may hold
// more than 2^31 characters.
class CountStatistics
{
public:
    static CountStatistics Of(std::u16string_view text)
    {
        CountStatistics counts;
        counts.Add(text);
        return counts;
    }

    void Add(std::u16string_view text) noexcept;

    std::int64_t AllCharacters() const noexcept { return m_all; }
    std::int64_t PrintableCharacters() const noexcept { return m_printable; }
    std::int64_t Words() const noexcept { return m_words; }
    std::int64_t Lines() const noexcept { return m_lineFeeds + 1; }

    static constexpr bool IsSeparator(char16_t c) noexcept { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n'; }

private:
    std::int64_t m_all = 0;
    std::int64_t m_printable = 0;
    std::int64_t m_words = 0;
    std::int64_t m_lineFeeds = 0;
    bool m_inWord = false;
};
