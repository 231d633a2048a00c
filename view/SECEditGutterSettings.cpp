#include "view/SECEditGutterSettings.h"

#include <string>

namespace {
int DecimalDigits(long long n)
{
    int digits = 1;
    for (n = n < 0 ? -n : n; n >= 10; n /= 10)
        ++digits;
    return digits;
}
} // namespace

int SECEditGutterSettings::GetDigitCount(int lineCount) const noexcept
{
    if (digitCountOverride >= 0)
        return digitCountOverride;
    return DecimalDigits(lineCount < 1 ? 1 : lineCount);
}

int SECEditGutterSettings::GetLineNumberWidth(int lineCount) const noexcept
{
    if (!ShowsLineNumbers())
        return 0;
    if (lineNumberWidthOverride >= 0)
        return lineNumberWidthOverride;
    const int charWidth = lineNumberFont.pixelWidth > 0 ? lineNumberFont.pixelWidth : 8;
    return GetDigitCount(lineCount) * charWidth;
}

std::u16string SECEditGutterSettings::FormatLineNumber(int n, int lineCount) const
{
    const std::string digits = std::to_string(n);
    std::u16string text;
    const int pad = GetDigitCount(lineCount) - int(digits.size()) + (n < 0 ? 1 : 0);
    if (n < 0)
        text.push_back(u'-');
    text.append(std::size_t(pad > 0 ? pad : 0), u'0');
    for (char c : digits)
        if (c != '-')
            text.push_back(char16_t(c));
    return text;
}
