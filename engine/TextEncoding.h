#pragma once

#include <cstdint>

// How a file's bytes map to the engine's UTF-16 text. Each document remembers
// the one its file was read with, so that saving writes the same bytes back.
enum class TextEncoding : std::uint8_t
{
    Utf8,            // plain ASCII included; what new documents are saved as
    Utf8WithMark,    // starts with EF BB BF
    Windows1252,     // 8-bit text that is not valid UTF-8
    Utf16LE,         // recognised by its zero high bytes, no mark
    Utf16LEWithMark, // starts with FF FE
};

inline bool IsUtf16(TextEncoding encoding) noexcept
{
    return encoding == TextEncoding::Utf16LE || encoding == TextEncoding::Utf16LEWithMark;
}
