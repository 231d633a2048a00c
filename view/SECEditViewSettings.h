#pragma once

#include "platform/FontDescription.h"

#include <cstdint>
#include <vector>

class SECEdit;

// The desktop colours the editor follows: automatic colour groups take the
// window colours, the gutter the colours of a scroll bar.
struct SECEditSystemColors
{
    std::uint32_t windowText = 0x000000;
    std::uint32_t window = 0xFFFFFF;
    std::uint32_t gutter = 0xD8D8D8;     // the scroll-bar colour
    std::uint32_t gutterText = 0x000000; // automatic line-number colour
    std::uint32_t gutterEdge = 0x000000; // the line along the gutter's right edge
};

// One colour group as painted: the automatic rule already applied.
struct SECEditGroupColors
{
    std::uint32_t foreground = 0x000000;
    std::uint32_t background = 0xFFFFFF;
    bool operator==(const SECEditGroupColors&) const = default;
};

// What painting and geometry read from the document's language configuration,
// taken once per configuration change rather than on every paint.
struct SECEditViewSettings
{
    int tabSize = 4;
    bool showWhitespace = false;
    bool virtualWhitespace = false;
    FontDescription font{u"Courier", 10, 0, 0, true, false, false};
    std::vector<SECEditGroupColors> groups{{0x000000, 0xFFFFFF}, {0xFFFFFF, 0x000000}};
    std::uint16_t textGroup = 0;
    std::uint16_t selectionGroup = 1;

    // The colours of a group; an index outside the table paints as Text.
    const SECEditGroupColors& GetGroupColors(std::uint32_t group) const
    {
        if (group < groups.size())
            return groups[group];
        return groups[textGroup < groups.size() ? textGroup : 0];
    }
    const SECEditGroupColors& GetTextColors() const { return GetGroupColors(textGroup); }
    const SECEditGroupColors& GetSelectionColors() const { return GetGroupColors(selectionGroup); }

    // Reads the engine's configuration. A configuration without colour groups
    // or font (the engine's plain default) gets window text on window, the
    // reverse for selected text, and a fixed-pitch "Courier" of 10 points.
    // On a dark page, every group's foreground is painted with enough
    // contrast to its background (the configuration keeps its colours).
    static SECEditViewSettings Read(const SECEdit* edit, const SECEditSystemColors& colors);
    // Lightens the foregrounds that do not read on the dark Text background.
    void KeepReadable();
};
