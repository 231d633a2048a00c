#pragma once

#include <cstdint>
#include <string>
#include <vector>

// One colour group of a language configuration: how the text of one kind
// (keywords, comments, strings ...) is painted. Colours are 0x00BBGGRR.
struct SECEditColorGroup
{
    std::uint32_t foreground = 0x000000;  // "Foreground"
    std::uint32_t background = 0xFFFFFF;  // "Background"
    bool foregroundAutomatic = true;      // "ForeColorAutomatic": follows the automatic rule
    bool backgroundAutomatic = true;      // "BackColorAutomatic"
    std::uint16_t reserved = 0;           // carried through archives untouched
    std::u16string displayName;           // "DisplayName", shown to the user
    bool configurable = true;             // "Configurable": whether the user may change it

    bool operator==(const SECEditColorGroup&) const = default;
};

// The automatic rule: Text takes the window colours, Text Selection the
// reverse of Text, every other group Text's colours. Applied to each group
// whose automatic flag is set. Groups 0 and 1 must be Text and Text Selection.
void ApplyAutomaticColors(std::vector<SECEditColorGroup>& groups, std::uint32_t windowText,
                          std::uint32_t window);
