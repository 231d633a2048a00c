#include "engine/TextEncoder.h"

#include "engine/TextFileFormat.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace {

constexpr std::size_t kBlock = 64;

inline bool IsAsciiBlock(const char16_t* p) noexcept
{
    char16_t any = 0;
    for (std::size_t k = 0; k < kBlock; ++k)
        any |= p[k];
    return any < 0x80;
}

inline void NarrowBlock(const char16_t* in, char* out) noexcept
{
    for (std::size_t k = 0; k < kBlock; ++k)
        out[k] = char(in[k]);
}

inline bool IsHighSurrogate(char16_t c) noexcept { return c >= 0xD800 && c <= 0xDBFF; }
inline bool IsLowSurrogate(char16_t c) noexcept { return c >= 0xDC00 && c <= 0xDFFF; }

inline std::size_t PutUtf8(char32_t cp, char* out) noexcept
{
    if (cp < 0x80) {
        out[0] = char(cp);
        return 1;
    }
    if (cp < 0x800) {
        out[0] = char(0xC0 | (cp >> 6));
        out[1] = char(0x80 | (cp & 0x3F));
        return 2;
    }
    if (cp < 0x10000) {
        out[0] = char(0xE0 | (cp >> 12));
        out[1] = char(0x80 | ((cp >> 6) & 0x3F));
        out[2] = char(0x80 | (cp & 0x3F));
        return 3;
    }
    out[0] = char(0xF0 | (cp >> 18));
    out[1] = char(0x80 | ((cp >> 12) & 0x3F));
    out[2] = char(0x80 | ((cp >> 6) & 0x3F));
    out[3] = char(0x80 | (cp & 0x3F));
    return 4;
}

constexpr char32_t kReplacement = 0xFFFD;

} // namespace

std::size_t TextEncoder::Encode(std::u16string_view text, char* out) noexcept
{
    switch (m_encoding) {
    case TextEncoding::Utf16LE:
    case TextEncoding::Utf16LEWithMark:
        if constexpr (std::endian::native == std::endian::little) {
            std::memcpy(out, text.data(), text.size() * 2);
        } else {
            for (std::size_t k = 0; k < text.size(); ++k) {
                out[2 * k] = char(text[k] & 0xFF);
                out[2 * k + 1] = char(text[k] >> 8);
            }
        }
        return text.size() * 2;
    case TextEncoding::Windows1252:
        return EncodeWindows1252(text, out);
    case TextEncoding::Utf8:
    case TextEncoding::Utf8WithMark:
        break;
    }
    return EncodeUtf8(text, out);
}

std::size_t TextEncoder::Finish(char* out) noexcept
{
    if (!m_heldHigh)
        return 0;
    m_heldHigh = 0;
    return PutUtf8(kReplacement, out);
}

std::size_t TextEncoder::EncodeUtf8(std::u16string_view text, char* out) noexcept
{
    const char16_t* in = text.data();
    const std::size_t size = text.size();
    std::size_t i = 0;
    std::size_t o = 0;
    if (m_heldHigh && size > 0) {
        if (IsLowSurrogate(in[0])) {
            o += PutUtf8(0x10000 + ((char32_t(m_heldHigh) - 0xD800) << 10) + (in[0] - 0xDC00), out);
            i = 1;
        } else {
            o += PutUtf8(kReplacement, out);
        }
        m_heldHigh = 0;
    }
    while (i < size) {
        if (size - i >= kBlock && IsAsciiBlock(in + i)) {
            NarrowBlock(in + i, out + o);
            i += kBlock;
            o += kBlock;
            continue;
        }
        const std::size_t blockEnd = std::min(size, i + kBlock);
        while (i < blockEnd) {
            const char16_t c = in[i];
            if (c < 0x80) {
                out[o++] = char(c);
                ++i;
            } else if (IsHighSurrogate(c)) {
                if (i + 1 == size) {
                    m_heldHigh = c; // its partner may start the next piece
                    ++i;
                } else if (IsLowSurrogate(in[i + 1])) {
                    o += PutUtf8(0x10000 + ((char32_t(c) - 0xD800) << 10) + (in[i + 1] - 0xDC00),
                                 out + o);
                    i += 2;
                } else {
                    o += PutUtf8(kReplacement, out + o);
                    ++i;
                }
            } else if (IsLowSurrogate(c)) {
                o += PutUtf8(kReplacement, out + o);
                ++i;
            } else {
                o += PutUtf8(c, out + o);
                ++i;
            }
        }
    }
    return o;
}

std::size_t TextEncoder::EncodeWindows1252(std::u16string_view text, char* out) noexcept
{
    const char16_t* in = text.data();
    const std::size_t size = text.size();
    std::size_t i = 0;
    while (i < size) {
        if (size - i >= kBlock && IsAsciiBlock(in + i)) {
            NarrowBlock(in + i, out + i);
            i += kBlock;
            continue;
        }
        const std::size_t blockEnd = std::min(size, i + kBlock);
        for (; i < blockEnd; ++i) {
            const int b = TextFileFormat::UnicodeToWindows1252(in[i]);
            out[i] = b < 0 ? '?' : char(b);
        }
    }
    return size;
}
