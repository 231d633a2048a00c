#pragma once

#include "platform/FontDescription.h"

#include <QColor>
#include <QFont>

#include <cstdint>
#include <string_view>

// The QFont for a description: points become pixels with the primary screen's
// logical resolution (96 per inch when there is no screen). Every editor
// font, on screen, in print and in the settings dialog, is made here.
QFont MakeQFont(const FontDescription& description);

// Whether a face is one the built-in languages name ("Courier", "Courier New",
// or none): on this desktop those stand for its own fixed-width font.
bool IsBuiltInFace(std::u16string_view face);

// Whether a fixed-pitch description is painted in the desktop's fixed-width
// font: its face is a built-in one, or is not installed (a proportional
// substitute would break the columns). Stored settings keep the face as named.
bool UsesDesktopFixedFont(const FontDescription& description);

inline QColor ToQColor(std::uint32_t bgr)
{
    return QColor(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF));
}

inline std::uint32_t FromQColor(const QColor& c)
{
    return std::uint32_t(c.red()) | (std::uint32_t(c.green()) << 8) | (std::uint32_t(c.blue()) << 16);
}
