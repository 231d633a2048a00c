#pragma once

#include "engine/SECEditTextPos.h"

// Two positions, start and end, in that order but not necessarily ordered
// between themselves (a selection made backwards keeps its direction).
class SECEditTextRange
{
public:
    SECEditTextPos start;
    SECEditTextPos end;

    constexpr SECEditTextRange() noexcept = default;
    constexpr SECEditTextRange(SECEditTextPos s, SECEditTextPos e) noexcept : start(s), end(e) {}
    constexpr SECEditTextRange(std::int32_t startLine, std::int32_t startColumn, std::int32_t endLine,
                               std::int32_t endColumn) noexcept
        : start(startLine, startColumn), end(endLine, endColumn)
    {
    }

    void SetStart(SECEditTextPos pos) noexcept { start = pos; }
    void SetStart(std::int32_t line, std::int32_t column) noexcept { start = {line, column}; }
    void SetEnd(SECEditTextPos pos) noexcept { end = pos; }
    void SetEnd(std::int32_t line, std::int32_t column) noexcept { end = {line, column}; }

    // start <= end
    constexpr bool IsOrdered() const noexcept { return start <= end; }
    // A copy with start <= end.
    constexpr SECEditTextRange Normalized() const noexcept
    {
        return IsOrdered() ? *this : SECEditTextRange(end, start);
    }
    constexpr bool IsEmpty() const noexcept { return start == end; }

    // Equal when the normalised ranges have the same ends.
    friend constexpr bool operator==(const SECEditTextRange& a, const SECEditTextRange& b) noexcept
    {
        const SECEditTextRange na = a.Normalized();
        const SECEditTextRange nb = b.Normalized();
        return na.start == nb.start && na.end == nb.end;
    }
    friend constexpr bool operator!=(const SECEditTextRange& a, const SECEditTextRange& b) noexcept
    {
        return !(a == b);
    }

    // Both ends inclusive, on the normalised range.
    bool Contains(SECEditTextPos pos) const noexcept;
    // An other range whose end is (0, 0) counts as the point at its start.
    bool Overlaps(const SECEditTextRange& other) const noexcept;

    // Moves both ends for an edit (see SECEditTextPos::AdjustForEdit).
    // Returns whether either end moved.
    bool AdjustForEdit(const SECEditTextRange& edit, bool insertion) noexcept;
};
