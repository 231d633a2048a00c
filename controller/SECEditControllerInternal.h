#pragma once

// Small helpers shared by the files that implement SECEditController.
namespace ControllerDetail {

// The classes the word scan tells apart.
enum WordClass { Blank = 0, DelimiterClass = 1, Word = 2 };

inline bool IsHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
inline bool IsLowSurrogate(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

} // namespace ControllerDetail
