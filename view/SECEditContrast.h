#pragma once

#include <cstdint>

// Keeps text readable on a dark desktop. The built-in colours were chosen for
// a white page: navy, dark red and blue nearly vanish on a dark one. A colour
// whose contrast with a dark background is too low is painted lighter, with
// its hue and saturation kept, until it reads; the stored colour is left as
// it is. Contrast is the ratio of relative luminances (sRGB, as accessibility
// guidelines define it), from 1:1 (same luminance) to 21:1 (black on white).
// Colours are 0x00BBGGRR.
class SECEditContrast
{
public:
    // The contrast text needs on a dark background.
    static constexpr double kMinimumRatio = 4.5;

    static double RelativeLuminance(std::uint32_t color) noexcept;
    static double Ratio(std::uint32_t a, std::uint32_t b) noexcept;
    // Whether white text reads better on this background than black text.
    static bool IsDark(std::uint32_t background) noexcept;
    // The foreground as painted: unchanged on a light background or when it
    // already has the minimum contrast; otherwise the least lightened colour
    // of the same hue that has it (white at most, which always has it).
    static std::uint32_t Readable(std::uint32_t foreground, std::uint32_t background,
                                  double minimum = kMinimumRatio) noexcept;
};
