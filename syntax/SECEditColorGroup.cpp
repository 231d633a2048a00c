#include "syntax/SECEditColorGroup.h"

void ApplyAutomaticColors(std::vector<SECEditColorGroup>& groups, std::uint32_t windowText,
                          std::uint32_t window)
{
    if (groups.empty())
        return;
    SECEditColorGroup& text = groups[0];
    if (text.foregroundAutomatic)
        text.foreground = windowText;
    if (text.backgroundAutomatic)
        text.background = window;
    for (std::size_t i = 1; i < groups.size(); ++i)
    {
        SECEditColorGroup& group = groups[i];
        // Selected text shows Text's colours swapped; every other group sits on Text's.
        const bool selection = i == 1;
        if (group.foregroundAutomatic)
            group.foreground = selection ? text.background : text.foreground;
        if (group.backgroundAutomatic)
            group.background = selection ? text.foreground : text.background;
    }
}
