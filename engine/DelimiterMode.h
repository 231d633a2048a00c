#pragma once

// Which delimiter records a query is after.
enum class DelimiterMode : int
{
    SingleLine = 0, // regions that end at the end of their line at the latest
    MultiLine = 1,  // regions that may span lines (block comments)
    Any = 2,
};
