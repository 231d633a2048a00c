#pragma once

// The five character classes of a language configuration, which decide where
// words begin and end and which characters colour as operators.
enum CharClass : int
{
    WordStart = 0, // may begin a word besides ordinary word characters ("#ifdef")
    WordPart = 1,  // may continue a word although it is a delimiter ("-" in markup)
    WordEnd = 2,   // may close a word as its last character
    Delimiter = 3, // word-break characters
    Operator = 4,  // painted in the Operator group when standing alone
};
