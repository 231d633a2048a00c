#pragma once

#include <cstdint>

class SECEditTextRange;

// A place in the text: line and column, both from 0. The column counts stored
// characters, so a tab is one column here whatever its display width.
class SECEditTextPos
{
public:
    std::int32_t line = 0;
    std::int32_t column = 0;

    constexpr SECEditTextPos() noexcept = default;
    constexpr SECEditTextPos(std::int32_t l, std::int32_t c) noexcept : line(l), column(c) {}

    friend constexpr bool operator==(const SECEditTextPos& a, const SECEditTextPos& b) noexcept
    {
        return a.line == b.line && a.column == b.column;
    }
    friend constexpr bool operator!=(const SECEditTextPos& a, const SECEditTextPos& b) noexcept
    {
        return !(a == b);
    }
    friend constexpr bool operator<(const SECEditTextPos& a, const SECEditTextPos& b) noexcept
    {
        return a.line < b.line || (a.line == b.line && a.column < b.column);
    }
    friend constexpr bool operator>(const SECEditTextPos& a, const SECEditTextPos& b) noexcept { return b < a; }
    friend constexpr bool operator<=(const SECEditTextPos& a, const SECEditTextPos& b) noexcept { return !(b < a); }
    friend constexpr bool operator>=(const SECEditTextPos& a, const SECEditTextPos& b) noexcept { return !(a < b); }

    // Moves this position as an insertion (insertion = true) or a deletion of
    // the text between start and end moves the text it points at. The edit
    // range is normalised first. Returns whether the position changed.
    bool AdjustForEdit(SECEditTextPos start, SECEditTextPos end, bool insertion) noexcept;
    bool AdjustForEdit(const SECEditTextRange& edit, bool insertion) noexcept;
};
