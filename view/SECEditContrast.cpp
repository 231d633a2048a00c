#include "view/SECEditContrast.h"

#include <algorithm>
#include <cmath>

namespace {

struct Hsl
{
    double h = 0; // 0..6, in sixths of the colour wheel
    double s = 0;
    double l = 0;
};

double Channel(std::uint32_t color, int shift)
{
    return double((color >> shift) & 0xFF) / 255.0;
}

Hsl ToHsl(std::uint32_t color)
{
    const double r = Channel(color, 0), g = Channel(color, 8), b = Channel(color, 16);
    const double high = std::max({r, g, b});
    const double low = std::min({r, g, b});
    const double chroma = high - low;
    Hsl out;
    out.l = (high + low) / 2;
    if (chroma <= 0)
        return out;
    out.s = chroma / (1 - std::abs(2 * out.l - 1));
    if (high == r)
        out.h = std::fmod((g - b) / chroma + 6, 6.0);
    else if (high == g)
        out.h = (b - r) / chroma + 2;
    else
        out.h = (r - g) / chroma + 4;
    return out;
}

std::uint32_t FromHsl(const Hsl& c)
{
    const double chroma = (1 - std::abs(2 * c.l - 1)) * c.s;
    const double x = chroma * (1 - std::abs(std::fmod(c.h, 2.0) - 1));
    const double m = c.l - chroma / 2;
    double r = 0, g = 0, b = 0;
    switch (int(c.h) % 6) {
    case 0: r = chroma; g = x; break;
    case 1: r = x; g = chroma; break;
    case 2: g = chroma; b = x; break;
    case 3: g = x; b = chroma; break;
    case 4: r = x; b = chroma; break;
    default: r = chroma; b = x; break;
    }
    auto byte = [m](double v) { return std::uint32_t(std::clamp(std::lround((v + m) * 255), 0L, 255L)); };
    return byte(r) | (byte(g) << 8) | (byte(b) << 16);
}

double Linear(double channel)
{
    return channel <= 0.04045 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
}

} // namespace

double SECEditContrast::RelativeLuminance(std::uint32_t color) noexcept
{
    return 0.2126 * Linear(Channel(color, 0)) + 0.7152 * Linear(Channel(color, 8)) +
           0.0722 * Linear(Channel(color, 16));
}

double SECEditContrast::Ratio(std::uint32_t a, std::uint32_t b) noexcept
{
    const double la = RelativeLuminance(a);
    const double lb = RelativeLuminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

bool SECEditContrast::IsDark(std::uint32_t background) noexcept
{
    return Ratio(0xFFFFFF, background) > Ratio(0x000000, background);
}

std::uint32_t SECEditContrast::Readable(std::uint32_t foreground, std::uint32_t background, double minimum) noexcept
{
    if (!IsDark(background) || Ratio(foreground, background) >= minimum)
        return foreground;
    // Luminance grows with HSL lightness at a fixed hue and saturation, so the
    // least lightness that reads is found by halving the interval.
    Hsl colour = ToHsl(foreground);
    double low = colour.l;
    double high = 1.0;
    for (int step = 0; step < 16; ++step) {
        colour.l = (low + high) / 2;
        if (Ratio(FromHsl(colour), background) >= minimum)
            high = colour.l;
        else
            low = colour.l;
    }
    // Rounding to whole channel values may land just short: a little lighter then.
    colour.l = high;
    std::uint32_t lighter = FromHsl(colour);
    while (Ratio(lighter, background) < minimum && colour.l < 1.0) {
        colour.l = std::min(1.0, colour.l + 1.0 / 512);
        lighter = FromHsl(colour);
    }
    return lighter;
}
