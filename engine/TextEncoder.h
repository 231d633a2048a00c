#pragma once

#include "engine/TextEncoding.h"

#include <cstddef>
#include <string_view>

// Turns the engine's UTF-16 text into a file's bytes, piece by piece. A
// surrogate pair split between two pieces is joined; a high surrogate ending a
// piece is held back for the next one. Characters an encoding cannot hold
// (checked beforehand with TextFileFormat::CanEncode) become '?' in
// Windows-1252 and U+FFFD in UTF-8.
class TextEncoder
{
public:
    explicit TextEncoder(TextEncoding encoding) noexcept : m_encoding(encoding) {}

    // Room `out` needs for a piece of `count` characters.
    static constexpr std::size_t MaxBytes(std::size_t count) noexcept { return 3 * count + 6; }

    // Writes the bytes of `text` to `out` and returns how many. No mark.
    std::size_t Encode(std::u16string_view text, char* out) noexcept;
    // Writes what a held-back high surrogate stands for; call after the last piece.
    std::size_t Finish(char* out) noexcept;

private:
    std::size_t EncodeUtf8(std::u16string_view text, char* out) noexcept;
    std::size_t EncodeWindows1252(std::u16string_view text, char* out) noexcept;

    TextEncoding m_encoding;
    char16_t m_heldHigh = 0;
};
