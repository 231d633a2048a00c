#include "engine/SECEditTextRange.h"

bool SECEditTextRange::Contains(SECEditTextPos pos) const noexcept
{
    const SECEditTextRange n = Normalized();
    return n.start <= pos && pos <= n.end;
}

bool SECEditTextRange::Overlaps(const SECEditTextRange& other) const noexcept
{
    if (other.end == SECEditTextPos(0, 0))
        return Contains(other.start);
    return Contains(other.start) || Contains(other.end) || other.Contains(start) || other.Contains(end);
}

bool SECEditTextRange::AdjustForEdit(const SECEditTextRange& edit, bool insertion) noexcept
{
    const bool movedStart = start.AdjustForEdit(edit, insertion);
    const bool movedEnd = end.AdjustForEdit(edit, insertion);
    return movedStart || movedEnd;
}
