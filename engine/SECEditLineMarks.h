#pragma once

#include <cstdint>

// The marks of one line: 32 bits and a free 32-bit value. The engine keeps a
// record only for a line that has a bit set or a nonzero value.
class SECEditLineMarks
{
public:
    // Bits the editor uses.
    enum : int
    {
        SecondGutterMark = 16, // a second kind of gutter mark, toggled by a key
        BookmarkMark = 17,
        ChangedMark = 18,   // the line was touched by an edit
        HighlightMark = 19, // the whole line is coloured in the "Highlight" group
    };

    std::uint32_t bits = 0;
    std::uint32_t value = 0;

    // Bits outside 0..31 are never set.
    bool Test(int bit) const noexcept
    {
        return bit >= 0 && bit < 32 && (bits & (std::uint32_t{1} << bit)) != 0;
    }
    void Set(int bit, bool on) noexcept
    {
        if (bit < 0 || bit >= 32)
            return;
        if (on)
            bits |= std::uint32_t{1} << bit;
        else
            bits &= ~(std::uint32_t{1} << bit);
    }
    bool IsEmpty() const noexcept { return bits == 0 && value == 0; }
};
