#pragma once

#include <algorithm>

// A rectangle in whole pixels; right and bottom lie just outside it.
struct PixelRect
{
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    constexpr int Width() const noexcept { return right - left; }
    constexpr int Height() const noexcept { return bottom - top; }
    constexpr bool IsEmpty() const noexcept { return right <= left || bottom <= top; }

    constexpr PixelRect Intersected(const PixelRect& o) const noexcept
    {
        return {std::max(left, o.left), std::max(top, o.top), std::min(right, o.right),
                std::min(bottom, o.bottom)};
    }
    constexpr PixelRect Translated(int dx, int dy) const noexcept
    {
        return {left + dx, top + dy, right + dx, bottom + dy};
    }
    friend constexpr bool operator==(const PixelRect&, const PixelRect&) = default;
};
