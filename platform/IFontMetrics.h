#pragma once

#include <string_view>

// Measurements of one font in whole pixels. Text is measured without tab
// expansion; callers that lay out tabs do so themselves.
class IFontMetrics
{
public:
    virtual ~IFontMetrics() = default;

    virtual int GetHeight() const = 0; // character cell height: the line height
    virtual int GetAscent() const = 0;
    virtual int GetAverageCharWidth() const = 0;
    virtual int GetCharWidth(char16_t c) const = 0;
    virtual int GetTextWidth(std::u16string_view text) const = 0;
};
