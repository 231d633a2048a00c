#pragma once

#include "platform/IFontMetrics.h"

#include <algorithm>
#include <string_view>

// Width in pixels of a piece of text whose tabs jump to the next multiple of
// `tabStopWidth`, counted from a row that starts `offset` pixels left of it.
// Shared by the screen and the printed page so both lay tabs out alike.
inline int TabbedTextWidth(const IFontMetrics& metrics, std::u16string_view text, int tabStopWidth, int offset = 0)
{
    int x = offset;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t tab = text.find(u'\t', start);
        const std::size_t end = tab == std::u16string_view::npos ? text.size() : tab;
        if (end > start)
            x += metrics.GetTextWidth(text.substr(start, end - start));
        if (tab == std::u16string_view::npos)
            break;
        x = (std::max(x, 0) / tabStopWidth + 1) * tabStopWidth;
        start = tab + 1;
    }
    return x - offset;
}
