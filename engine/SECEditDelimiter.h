#pragma once

#include <cstdint>
#include <string>

// A region of text opened and closed by delimiters: a comment or a string.
struct SECEditDelimiter
{
    std::u16string opening;   // text that starts the region, e.g. "/*"
    std::u16string closing;   // text that ends it; empty: the end of the line
    std::u16string escape;    // text that keeps the region open before the closing text
    std::uint16_t group = 0;  // colour group of the whole region, delimiters included
    bool multiLine = false;   // whether the region may span lines
};
