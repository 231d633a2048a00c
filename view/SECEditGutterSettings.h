#pragma once

#include "platform/FontDescription.h"

#include <cstdint>
#include <string>

// The gutter of one pane: which parts it shows and how wide they are. The
// pane's controller owns these values; the viewport sizes and paints the
// gutter from them.
struct SECEditGutterSettings
{
    // Gutter modes: which of the mark margin and the line numbers are shown.
    enum Mode : int
    {
        NoGutter = 45313,          // neither
        MarksOnly = 45314,         // mark margin only (a new pane starts here)
        NumbersOnly = 45310,       // line numbers only
        MarksAndNumbers = 45311,   // any other value shows both; this is the one the app uses
    };

    // A line-number colour that follows the desktop's gutter text colour.
    static constexpr std::uint32_t AutomaticColor = 0xFF000000;

    int mode = MarksOnly;
    int markMarginWidth = 20;
    int lineNumberWidthOverride = -1; // negative: computed from the digit count
    int digitCountOverride = -1;      // negative: computed from the line count
    std::uint32_t lineNumberColor = AutomaticColor;
    // The line numbers have their own small font; its width sizes the number area.
    FontDescription lineNumberFont{u"Ariel", 0, 12, 8, false, false, false};

    bool ShowsMarkMargin() const noexcept { return mode != NoGutter && mode != NumbersOnly; }
    bool ShowsLineNumbers() const noexcept { return mode != NoGutter && mode != MarksOnly; }

    int GetMarkMarginWidth() const noexcept { return ShowsMarkMargin() ? markMarginWidth : 0; }
    int GetDigitCount(int lineCount) const noexcept;
    int GetLineNumberWidth(int lineCount) const noexcept;
    // Where the text starts: mark margin plus line-number area.
    int GetTextLeft(int lineCount) const noexcept
    {
        return GetMarkMarginWidth() + GetLineNumberWidth(lineCount);
    }
    // n in decimal, padded on the left with "0" to the digit count.
    std::u16string FormatLineNumber(int n, int lineCount) const;
};
