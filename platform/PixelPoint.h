#pragma once

// A point in whole pixels.
struct PixelPoint
{
    int x = 0;
    int y = 0;

    friend constexpr bool operator==(const PixelPoint&, const PixelPoint&) = default;
};
