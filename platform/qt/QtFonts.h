#pragma once

#include "platform/FontDescription.h"

#include <QColor>
#include <QFont>

#include <cstdint>

// The QFont for a description: points become pixels with the primary screen's
// logical resolution (96 per inch when there is no screen).
QFont MakeQFont(const FontDescription& description);

inline QColor ToQColor(std::uint32_t bgr)
{
    return QColor(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF));
}

inline std::uint32_t FromQColor(const QColor& c)
{
    return std::uint32_t(c.red()) | (std::uint32_t(c.green()) << 8) | (std::uint32_t(c.blue()) << 16);
}
