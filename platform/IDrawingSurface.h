#pragma once

#include "platform/FontDescription.h"
#include "platform/PixelRect.h"

#include <cstdint>
#include <string_view>

// Where the editor draws: a window, an image or, in tests, a recorder. All
// coordinates are device pixels; colours are 0x00BBGGRR.
class IDrawingSurface
{
public:
    virtual ~IDrawingSurface() = default;

    virtual void SetFont(const FontDescription& font) = 0;
    // Later drawing stays inside r until the next SetClipRect or ClearClip.
    virtual void SetClipRect(const PixelRect& r) = 0;
    virtual void ClearClip() = 0;

    virtual void FillRect(const PixelRect& r, std::uint32_t color) = 0;
    // Text in the current font with its cell's top at `top`; nothing behind it
    // is erased.
    virtual void DrawText(int x, int top, std::u16string_view text, std::uint32_t color) = 0;
    virtual void InvertRect(const PixelRect& r) = 0;
    virtual void DrawLine(int x1, int y1, int x2, int y2, std::uint32_t color) = 0;
    virtual void DrawRoundRect(const PixelRect& r, int cornerWidth, int cornerHeight,
                               std::uint32_t fill, std::uint32_t outline) = 0;
    virtual void DrawEllipse(const PixelRect& r, std::uint32_t fill, std::uint32_t outline) = 0;
};
