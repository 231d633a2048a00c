#include "engine/SECEditTextPos.h"

#include "engine/SECEditTextRange.h"

#include <utility>

bool SECEditTextPos::AdjustForEdit(SECEditTextPos s, SECEditTextPos e, bool insertion) noexcept
{
    if (e < s)
        std::swap(s, e);
    const SECEditTextPos before = *this;
    if (insertion)
    {
        if (*this < s)
            return false;
        if (line == s.line)
            column += e.column - s.column;
        line += e.line - s.line;
    }
    else
    {
        if (*this <= s)
            return false;
        if (*this <= e)
            *this = s;
        else
        {
            if (line == e.line)
                column = column - e.column + s.column;
            line -= e.line - s.line;
        }
    }
    return *this != before;
}

bool SECEditTextPos::AdjustForEdit(const SECEditTextRange& edit, bool insertion) noexcept
{
    return AdjustForEdit(edit.start, edit.end, insertion);
}
