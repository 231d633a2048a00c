#pragma once

#include "engine/TextEncoding.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// Detection, decoding and encoding of the file formats the editor reads and
// writes. The decoders work on pieces of a file and write into memory the
// caller provides; the text never holds NUL, so a zero character refuses the
// file rather than truncating it.
class TextFileFormat
{
public:
    enum class DecodeStatus : std::uint8_t
    {
        Ok,
        Invalid,     // not valid UTF-8: the file is read as Windows-1252 instead
        ContainsNul, // a zero character: the file cannot be loaded
    };

    struct DecodeResult
    {
        std::size_t consumed = 0; // bytes used from the input
        std::size_t produced = 0; // characters written
        DecodeStatus status = DecodeStatus::Ok;
    };

    // The byte-order mark an encoding writes first (empty for most).
    static std::string_view ByteOrderMark(TextEncoding encoding) noexcept;

    // The encoding to try first, from the file's opening bytes and its size.
    // Gives Utf16LEWithMark, Utf16LE, Utf8WithMark or Utf8; a file found not to
    // be valid UTF-8 while decoding is Windows-1252.
    static TextEncoding DetectFromHead(std::string_view head, std::uint64_t fileSize) noexcept;

    // The statistical test for UTF-16LE without a mark: even size, no zero
    // character, many zero high bytes, no control characters besides tab,
    // line feed, form feed and carriage return, well-formed surrogate pairs.
    // Text without zero bytes (all valid UTF-8 text) never passes.
    static bool LooksLikeUtf16LE(std::string_view sample, std::uint64_t fileSize) noexcept;

    static bool IsValidUtf8(std::string_view bytes) noexcept;

    // Decodes UTF-8 into `out`, which has room for `size` characters. Unless
    // `atEnd`, a sequence cut off by the end of the input is left unconsumed
    // for the next piece.
    static DecodeResult DecodeUtf8(const unsigned char* in, std::size_t size, char16_t* out,
                                   bool atEnd) noexcept;
    // One character per byte; `out` has room for `size` characters.
    static DecodeResult DecodeWindows1252(const unsigned char* in, std::size_t size,
                                          char16_t* out) noexcept;
    // Whole code units only; an odd last byte is left unconsumed.
    static DecodeResult DecodeUtf16LE(const unsigned char* in, std::size_t size,
                                      char16_t* out) noexcept;
    // Finds a zero character in text already in place (UTF-16 read straight
    // into its destination).
    static bool ContainsNul(const char16_t* text, std::size_t count) noexcept;

    static char16_t Windows1252ToUnicode(unsigned char byte) noexcept;
    // The Windows-1252 byte for a character, or -1 when there is none.
    static int UnicodeToWindows1252(char16_t c) noexcept;

    // Whether every character of the text can be written in the encoding:
    // false for Windows-1252 when a character is outside the code page, and
    // for UTF-8 when the text holds a lone surrogate.
    static bool CanEncode(std::u16string_view text, TextEncoding encoding) noexcept;

    // Whole-buffer forms, for small texts and tests.
    struct Decoded
    {
        TextEncoding encoding = TextEncoding::Utf8;
        DecodeStatus status = DecodeStatus::Ok;
        std::u16string text;
        std::string trailingByte; // the odd last byte of a UTF-16 file, kept as it is
    };
    static Decoded Decode(std::string_view bytes);
    static std::string Encode(std::u16string_view text, TextEncoding encoding);
};
