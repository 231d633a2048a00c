#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

// Finds the words of a text worth a spelling check: runs of letters, with an
// apostrophe inside a word kept ("don't"). Runs holding digits or
// underscores are names or numbers, not words, and are left out.
class SpellWords
{
public:
    struct Word
    {
        std::size_t start = 0;
        std::size_t length = 0;
        bool operator==(const Word&) const = default;
    };

    static std::vector<Word> Split(std::u16string_view text);
    static bool IsLetter(char16_t c);
};
