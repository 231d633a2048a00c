#pragma once

#include <string>

// What a font is asked for as. Either a size in points (converted with the
// screen's logical resolution) or a cell height in pixels.
struct FontDescription
{
    std::u16string face;
    int pointSize = 0;   // used when pixelHeight is 0
    int pixelHeight = 0; // character cell height
    int pixelWidth = 0;  // average character width asked for; 0: the face's own
    bool fixedPitch = false;
    bool bold = false;
    bool italic = false;

    bool operator==(const FontDescription&) const = default;
};
