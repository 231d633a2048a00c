#pragma once

#include <string>

// Text on its way to or from the clipboard, the primary selection or a drag:
// the text and whether it is a column block (each line a row of the block,
// every row ended by a line break).
struct SECEditTransfer
{
    std::u16string text;
    bool column = false;
};

// What a drop does with the dragged text.
enum SECEditDropEffect : int
{
    DropNone = 0,
    DropCopy = 1,
    DropMove = 2,
};
