#include "app/SpellWords.h"

namespace {

bool IsApostrophe(char16_t c)
{
    return c == u'\'' || c == u'\u2019';
}

bool IsDigitOrUnderscore(char16_t c)
{
    return (c >= u'0' && c <= u'9') || c == u'_';
}

} // namespace

bool SpellWords::IsLetter(char16_t c)
{
    if ((c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'))
        return true;
    if (c < 0xC0 || c == 0xD7 || c == 0xF7)
        return false;
    // General punctuation, symbols and the like are no part of a word; the
    // rest of the alphabetic planes, surrogates included, are.
    if (c >= 0x2000 && c <= 0x2BFF)
        return false;
    if (c >= 0x3000 && c <= 0x303F)
        return false;
    return c < 0xFE00 || c > 0xFE6F;
}

std::vector<SpellWords::Word> SpellWords::Split(std::u16string_view text)
{
    std::vector<Word> words;
    std::size_t i = 0;
    const std::size_t size = text.size();
    while (i < size) {
        if (!IsLetter(text[i]) && !IsDigitOrUnderscore(text[i])) {
            ++i;
            continue;
        }
        const std::size_t start = i;
        bool name = false;
        while (i < size) {
            const char16_t c = text[i];
            if (IsLetter(c)) {
                ++i;
            } else if (IsDigitOrUnderscore(c)) {
                name = true;
                ++i;
            } else if (IsApostrophe(c) && i + 1 < size && IsLetter(text[i + 1]) && i > start) {
                ++i;
            } else {
                break;
            }
        }
        if (!name)
            words.push_back({start, i - start});
    }
    return words;
}
