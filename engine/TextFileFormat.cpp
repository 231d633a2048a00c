#include "engine/TextFileFormat.h"

#include "engine/TextEncoder.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>

#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#define TAVRO_WIDE_UTF8 1
#endif

namespace {

// Bytes 0x80..0x9F of Windows-1252. The five bytes the code page leaves
// undefined map to the C1 controls of the same value so that they survive.
constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

constexpr std::array<char16_t, 256> MakeWindows1252Table()
{
    std::array<char16_t, 256> table{};
    for (int b = 0; b < 256; ++b)
        table[b] = (b >= 0x80 && b < 0xA0) ? kHighControls[b - 0x80] : char16_t(b);
    return table;
}

constexpr std::array<char16_t, 256> kWindows1252 = MakeWindows1252Table();

// Fixed-size blocks let GCC vectorise both the test and the widening copy.
constexpr std::size_t kBlock = 64;

// True when the block is plain ASCII without a zero byte.
inline bool IsPlainAsciiBlock(const unsigned char* p) noexcept
{
    unsigned char any = 0;
    unsigned char least = 0xFF;
    for (std::size_t k = 0; k < kBlock; ++k) {
        any |= p[k];
        least = std::min(least, p[k]);
    }
    return any < 0x80 && least != 0;
}

inline void WidenBlock(const unsigned char* in, char16_t* out) noexcept
{
    for (std::size_t k = 0; k < kBlock; ++k)
        out[k] = in[k];
}

inline bool IsContinuation(unsigned b) noexcept
{
    return (b & 0xC0) == 0x80;
}

#ifdef TAVRO_WIDE_UTF8
// Mixed text defeats branch prediction, so where the processor has AVX-512
// with word compression, 32 bytes of one- to three-byte characters are
// decoded at once: every byte is decoded as if a character began there, the
// structure is checked on bit masks, and the characters that really begin
// there are packed together. Reads 34 bytes and writes 32 characters of room;
// returns the bytes consumed, or 0 to leave the window to the careful loop
// (four-byte characters, errors, NUL).
__attribute__((target("avx512f,avx512bw,avx512vbmi2,popcnt,lzcnt")))
std::size_t DecodeUtf8Window(const unsigned char* in, char16_t* out, std::size_t& produced) noexcept
{
    const __m512i b0 = _mm512_cvtepu8_epi16(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(in)));
    const __m512i b1 = _mm512_cvtepu8_epi16(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(in + 1)));
    const __m512i b2 = _mm512_cvtepu8_epi16(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(in + 2)));
    const __m512i low6 = _mm512_set1_epi16(0x3F);
    const __mmask32 continuation = _mm512_cmpeq_epi16_mask(_mm512_and_si512(b0, _mm512_set1_epi16(0xC0)),
                                                           _mm512_set1_epi16(0x80));
    const __mmask32 lead2 = _mm512_cmpge_epu16_mask(b0, _mm512_set1_epi16(0xC0));
    const __mmask32 lead3 = _mm512_cmpge_epu16_mask(b0, _mm512_set1_epi16(0xE0));
    const __mmask32 other = _mm512_cmpge_epu16_mask(b0, _mm512_set1_epi16(0xF0))
                            | _mm512_cmpeq_epi16_mask(b0, _mm512_setzero_si512())
                            | (lead2 & _mm512_cmple_epu16_mask(b0, _mm512_set1_epi16(0xC1)));
    const __m512i middle = _mm512_slli_epi16(_mm512_and_si512(b1, low6), 6);
    const __m512i cp2 = _mm512_or_si512(_mm512_slli_epi16(_mm512_and_si512(b0, _mm512_set1_epi16(0x1F)), 6),
                                        _mm512_and_si512(b1, low6));
    const __m512i cp3 = _mm512_or_si512(_mm512_or_si512(_mm512_slli_epi16(b0, 12), middle),
                                        _mm512_and_si512(b2, low6));
    const __mmask32 bad3
        = lead3 & (_mm512_cmplt_epu16_mask(cp3, _mm512_set1_epi16(0x800))
                   | _mm512_cmpeq_epi16_mask(_mm512_and_si512(cp3, _mm512_set1_epi16(short(0xF800))),
                                             _mm512_set1_epi16(short(0xD800))));
    // Each lead says where continuation bytes must be; they must be exactly there.
    const std::uint64_t expected = (std::uint64_t(lead2) << 1) | (std::uint64_t(lead3) << 2);
    if ((other | bad3) != 0 || std::uint32_t(expected) != continuation)
        return 0;
    std::uint32_t leads = ~std::uint32_t(continuation);
    std::size_t consumed = 32;
    if (expected >> 32) {
        // The last character runs past the window: leave it for the next one.
        const unsigned last = 31 - unsigned(__builtin_clz(leads));
        consumed = last;
        leads &= (1u << last) - 1;
    }
    const __m512i cp = _mm512_mask_blend_epi16(lead3, _mm512_mask_blend_epi16(lead2, b0, cp2), cp3);
    _mm512_storeu_si512(out, _mm512_maskz_compress_epi16(leads, cp));
    produced = std::size_t(__builtin_popcount(leads));
    return consumed;
}

bool WideUtf8Available() noexcept
{
    static const bool available = [] {
        __builtin_cpu_init(); // may run before the library's own start-up code
        return __builtin_cpu_supports("avx512bw") && __builtin_cpu_supports("avx512vbmi2");
    }();
    return available;
}
#endif

constexpr unsigned char kUtf8Mark[] = {0xEF, 0xBB, 0xBF};
constexpr unsigned char kUtf16Mark[] = {0xFF, 0xFE};

bool StartsWith(std::string_view bytes, const unsigned char* mark, std::size_t size)
{
    return bytes.size() >= size && std::memcmp(bytes.data(), mark, size) == 0;
}

} // namespace

std::string_view TextFileFormat::ByteOrderMark(TextEncoding encoding) noexcept
{
    switch (encoding) {
    case TextEncoding::Utf8WithMark:
        return {reinterpret_cast<const char*>(kUtf8Mark), sizeof kUtf8Mark};
    case TextEncoding::Utf16LEWithMark:
        return {reinterpret_cast<const char*>(kUtf16Mark), sizeof kUtf16Mark};
    default:
        return {};
    }
}

TextEncoding TextFileFormat::DetectFromHead(std::string_view head, std::uint64_t fileSize) noexcept
{
    if (fileSize >= 2 && StartsWith(head, kUtf16Mark, sizeof kUtf16Mark))
        return TextEncoding::Utf16LEWithMark;
    if (LooksLikeUtf16LE(head, fileSize))
        return TextEncoding::Utf16LE;
    if (StartsWith(head, kUtf8Mark, sizeof kUtf8Mark))
        return TextEncoding::Utf8WithMark;
    return TextEncoding::Utf8;
}

bool TextFileFormat::LooksLikeUtf16LE(std::string_view sample, std::uint64_t fileSize) noexcept
{
    if (fileSize < 2 || fileSize % 2 != 0)
        return false;
    const auto* p = reinterpret_cast<const unsigned char*>(sample.data());
    const std::size_t units = sample.size() / 2;
    if (units == 0)
        return false;
    std::size_t zeroHigh = 0;
    std::size_t zeroLow = 0;
    bool expectLowSurrogate = false;
    for (std::size_t i = 0; i < units; ++i) {
        const unsigned char lo = p[2 * i];
        const unsigned char hi = p[2 * i + 1];
        const bool lowSurrogate = hi >= 0xDC && hi <= 0xDF;
        if (expectLowSurrogate != lowSurrogate)
            return false;
        expectLowSurrogate = hi >= 0xD8 && hi <= 0xDB;
        if (hi == 0) {
            if (lo == 0)
                return false;
            if (lo < 0x20 && lo != '\t' && lo != '\n' && lo != '\f' && lo != '\r')
                return false;
            ++zeroHigh;
        } else if (lo == 0 && !lowSurrogate) {
            ++zeroLow; // U+xx00: common in big-endian text, rare in little-endian
        }
    }
    // A pair cut off by the end of the sample is no evidence either way.
    return zeroHigh * 8 >= units && zeroLow <= zeroHigh;
}

bool TextFileFormat::IsValidUtf8(std::string_view bytes) noexcept
{
    // Decode in small pieces into a scratch buffer; only the status matters.
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    char16_t scratch[1024];
    std::size_t pos = 0;
    while (pos < bytes.size()) {
        const std::size_t piece = std::min<std::size_t>(bytes.size() - pos, 1000);
        const DecodeResult r = DecodeUtf8(p + pos, piece, scratch, pos + piece == bytes.size());
        if (r.status == DecodeStatus::Invalid)
            return false;
        // NUL is valid UTF-8; loading refuses it for its own reason.
        pos += r.consumed + (r.status == DecodeStatus::ContainsNul ? 1 : 0);
    }
    return true;
}

TextFileFormat::DecodeResult TextFileFormat::DecodeUtf8(const unsigned char* in, std::size_t size,
                                                        char16_t* out, bool atEnd) noexcept
{
#ifdef TAVRO_WIDE_UTF8
    const bool wide = WideUtf8Available();
#endif
    std::size_t i = 0;
    std::size_t o = 0;
    while (i < size) {
        if (size - i >= kBlock) {
            if (IsPlainAsciiBlock(in + i)) {
                WidenBlock(in + i, out + o);
                i += kBlock;
                o += kBlock;
                continue;
            }
#ifdef TAVRO_WIDE_UTF8
            if (wide) {
                std::size_t produced = 0;
                if (const std::size_t consumed = DecodeUtf8Window(in + i, out + o, produced)) {
                    i += consumed;
                    o += produced;
                    continue;
                }
            }
#endif
        }
        const std::size_t blockEnd = std::min(size, i + kBlock);
        while (i < blockEnd) {
            const unsigned char c = in[i];
            if (c < 0x80) {
                if (c == 0)
                    return {i, o, DecodeStatus::ContainsNul};
                out[o++] = c;
                ++i;
                continue;
            }
            // Two- and three-byte characters first, each in one straight test.
            if (size - i >= 3) {
                const unsigned b1 = in[i + 1];
                const unsigned b2 = in[i + 2];
                if (c >= 0xC2 && c <= 0xDF && IsContinuation(b1)) {
                    out[o++] = char16_t(((c & 0x1F) << 6) | (b1 & 0x3F));
                    i += 2;
                    continue;
                }
                if ((c & 0xF0) == 0xE0 && IsContinuation(b1) && IsContinuation(b2)) {
                    const unsigned cp = ((c & 0x0F) << 12) | ((b1 & 0x3F) << 6) | (b2 & 0x3F);
                    if (cp >= 0x800 && (cp & 0xF800) != 0xD800) {
                        out[o++] = char16_t(cp);
                        i += 3;
                        continue;
                    }
                }
            }
            // Four-byte characters, errors, and sequences cut by the end.
            std::size_t need;
            unsigned char lowest = 0x80;
            unsigned char highest = 0xBF;
            char32_t cp;
            if (c >= 0xC2 && c <= 0xDF) {
                need = 2;
                cp = c & 0x1F;
            } else if (c >= 0xE0 && c <= 0xEF) {
                need = 3;
                cp = c & 0x0F;
                if (c == 0xE0)
                    lowest = 0xA0; // overlong
                else if (c == 0xED)
                    highest = 0x9F; // surrogates
            } else if (c >= 0xF0 && c <= 0xF4) {
                need = 4;
                cp = c & 0x07;
                if (c == 0xF0)
                    lowest = 0x90; // overlong
                else if (c == 0xF4)
                    highest = 0x8F; // beyond U+10FFFF
            } else {
                return {i, o, DecodeStatus::Invalid};
            }
            const std::size_t have = std::min(need, size - i);
            for (std::size_t k = 1; k < have; ++k) {
                const unsigned char b = in[i + k];
                if (!IsContinuation(b) || (k == 1 && (b < lowest || b > highest)))
                    return {i, o, DecodeStatus::Invalid};
                cp = (cp << 6) | (b & 0x3F);
            }
            if (have < need) {
                // Cut off by the end of this piece: leave it for the next one.
                return {i, o, atEnd ? DecodeStatus::Invalid : DecodeStatus::Ok};
            }
            if (cp >= 0x10000) {
                cp -= 0x10000;
                out[o++] = char16_t(0xD800 + (cp >> 10));
                out[o++] = char16_t(0xDC00 + (cp & 0x3FF));
            } else {
                out[o++] = char16_t(cp);
            }
            i += need;
        }
    }
    return {i, o, DecodeStatus::Ok};
}

TextFileFormat::DecodeResult TextFileFormat::DecodeWindows1252(const unsigned char* in,
                                                               std::size_t size,
                                                               char16_t* out) noexcept
{
    std::size_t i = 0;
    while (i < size) {
        if (size - i >= kBlock && IsPlainAsciiBlock(in + i)) {
            WidenBlock(in + i, out + i);
            i += kBlock;
            continue;
        }
        const std::size_t blockEnd = std::min(size, i + kBlock);
        for (; i < blockEnd; ++i) {
            if (in[i] == 0)
                return {i, i, DecodeStatus::ContainsNul};
            out[i] = kWindows1252[in[i]];
        }
    }
    return {size, size, DecodeStatus::Ok};
}

TextFileFormat::DecodeResult TextFileFormat::DecodeUtf16LE(const unsigned char* in, std::size_t size,
                                                           char16_t* out) noexcept
{
    const std::size_t units = size / 2;
    if constexpr (std::endian::native == std::endian::little) {
        std::memcpy(out, in, units * 2);
    } else {
        for (std::size_t k = 0; k < units; ++k)
            out[k] = char16_t(in[2 * k] | (in[2 * k + 1] << 8));
    }
    if (ContainsNul(out, units)) {
        const std::size_t at = std::size_t(std::find(out, out + units, u'\0') - out);
        return {at * 2, at, DecodeStatus::ContainsNul};
    }
    return {units * 2, units, DecodeStatus::Ok};
}

bool TextFileFormat::ContainsNul(const char16_t* text, std::size_t count) noexcept
{
    std::size_t i = 0;
    for (; i + kBlock <= count; i += kBlock) {
        char16_t zero = 0;
        for (std::size_t k = 0; k < kBlock; ++k)
            zero |= char16_t(text[i + k] == 0);
        if (zero)
            return true;
    }
    for (; i < count; ++i)
        if (text[i] == 0)
            return true;
    return false;
}

char16_t TextFileFormat::Windows1252ToUnicode(unsigned char byte) noexcept
{
    return kWindows1252[byte];
}

int TextFileFormat::UnicodeToWindows1252(char16_t c) noexcept
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return c;
    if (c < 0xA0) {
        // Only the five undefined bytes come back as themselves.
        return (c == 0x81 || c == 0x8D || c == 0x8F || c == 0x90 || c == 0x9D) ? int(c) : -1;
    }
    for (std::size_t k = 0; k < kHighControls.size(); ++k)
        if (kHighControls[k] == c)
            return int(0x80 + k);
    return -1;
}

bool TextFileFormat::CanEncode(std::u16string_view text, TextEncoding encoding) noexcept
{
    switch (encoding) {
    case TextEncoding::Utf16LE:
    case TextEncoding::Utf16LEWithMark:
        return true;
    case TextEncoding::Utf8:
    case TextEncoding::Utf8WithMark:
        for (std::size_t i = 0; i < text.size(); ++i) {
            const char16_t c = text[i];
            if (c < 0xD800 || c > 0xDFFF)
                continue;
            if (c > 0xDBFF || i + 1 == text.size() || text[i + 1] < 0xDC00 || text[i + 1] > 0xDFFF)
                return false;
            ++i;
        }
        return true;
    case TextEncoding::Windows1252:
        for (const char16_t c : text)
            if (c >= 0x80 && UnicodeToWindows1252(c) < 0)
                return false;
        return true;
    }
    return false;
}

TextFileFormat::Decoded TextFileFormat::Decode(std::string_view bytes)
{
    Decoded result;
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    result.encoding = DetectFromHead(bytes.substr(0, 65536), bytes.size());
    if (IsUtf16(result.encoding)) {
        const std::size_t skip = ByteOrderMark(result.encoding).size();
        const std::size_t size = bytes.size() - skip;
        result.text.resize(size / 2);
        const DecodeResult r = DecodeUtf16LE(p + skip, size, result.text.data());
        result.status = r.status;
        result.text.resize(r.produced);
        if (r.status == DecodeStatus::Ok && size % 2 != 0)
            result.trailingByte.assign(1, bytes.back());
        return result;
    }
    const std::size_t skip = ByteOrderMark(result.encoding).size();
    result.text.resize(bytes.size() - skip);
    DecodeResult r = DecodeUtf8(p + skip, bytes.size() - skip, result.text.data(), true);
    if (r.status == DecodeStatus::Invalid) {
        result.encoding = TextEncoding::Windows1252;
        result.text.resize(bytes.size());
        r = DecodeWindows1252(p, bytes.size(), result.text.data());
    }
    result.status = r.status;
    result.text.resize(r.produced);
    return result;
}

std::string TextFileFormat::Encode(std::u16string_view text, TextEncoding encoding)
{
    std::string bytes(ByteOrderMark(encoding));
    const std::size_t start = bytes.size();
    bytes.resize(start + TextEncoder::MaxBytes(text.size()));
    TextEncoder encoder(encoding);
    std::size_t n = encoder.Encode(text, bytes.data() + start);
    n += encoder.Finish(bytes.data() + start + n);
    bytes.resize(start + n);
    return bytes;
}
