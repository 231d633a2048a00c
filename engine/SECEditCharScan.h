#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

// Character scans over the store's text. The fixed-size inner loops let the
// compiler compare many characters at once; lines of a few thousand
// characters are scanned several times per edit.
namespace SECEditCharScan
{
constexpr std::size_t Group = 32;

// The first c in [p, p + n), or nullptr.
inline const char16_t* Find(const char16_t* p, std::size_t n, char16_t c) noexcept
{
    std::size_t i = 0;
#if defined(__SSE2__)
    // 16 characters a step; loading a file runs this over all of them.
    const __m128i wanted = _mm_set1_epi16(static_cast<short>(c));
    for (; i + 16 <= n; i += 16)
    {
        const __m128i a = _mm_cmpeq_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i)), wanted);
        const __m128i b = _mm_cmpeq_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i + 8)), wanted);
        if (_mm_movemask_epi8(_mm_or_si128(a, b)) != 0)
        {
            const int first = _mm_movemask_epi8(a);
            return p + i + (first ? __builtin_ctz(static_cast<unsigned>(first)) / 2
                                  : 8 + __builtin_ctz(static_cast<unsigned>(_mm_movemask_epi8(b))) / 2);
        }
    }
#endif
    for (; i + Group <= n; i += Group)
    {
        unsigned any = 0;
        for (std::size_t k = 0; k < Group; ++k)
            any |= static_cast<unsigned>(p[i + k] == c);
        if (any)
            break;
    }
    for (; i < n; ++i)
        if (p[i] == c)
            return p + i;
    return nullptr;
}

// Calls found(i) for every i in [0, n) where p[i] == c, in order.
template <class Found>
void ForEach(const char16_t* p, std::size_t n, char16_t c, Found&& found)
{
    std::size_t i = 0;
    for (; i + Group <= n; i += Group)
    {
        unsigned any = 0;
        for (std::size_t k = 0; k < Group; ++k)
            any |= static_cast<unsigned>(p[i + k] == c);
        if (!any)
            continue;
        for (std::size_t k = 0; k < Group; ++k)
            if (p[i + k] == c)
                found(i + k);
    }
    for (; i < n; ++i)
        if (p[i] == c)
            found(i);
}

inline std::size_t Count(const char16_t* p, std::size_t n, char16_t c) noexcept
{
    std::size_t count = 0;
    std::size_t i = 0;
    for (; i + Group <= n; i += Group)
    {
        unsigned sum = 0;
        for (std::size_t k = 0; k < Group; ++k)
            sum += static_cast<unsigned>(p[i + k] == c);
        count += sum;
    }
    for (; i < n; ++i)
        count += p[i] == c;
    return count;
}
// One pass over text[begin, end) of a buffer of `size` characters: appends
// the positions of `feed` to `feeds`, counts `ret` characters and those of
// them not followed by `feed` within the buffer. Loading runs this over every
// character of a file, so it looks at 16 characters per step where it can.
inline void ScanLineEnds(const char16_t* text, std::size_t begin, std::size_t end, std::size_t size, char16_t feed,
                         char16_t ret, std::vector<std::uint32_t>& feeds, std::uint32_t& returns,
                         std::uint32_t& lone)
{
    auto returnAt = [&](std::size_t at) {
        ++returns;
        lone += at + 1 >= size || text[at + 1] != feed;
    };
    std::size_t i = begin;
#if defined(__SSE2__)
    const __m128i feedWide = _mm_set1_epi16(static_cast<short>(feed));
    const __m128i returnWide = _mm_set1_epi16(static_cast<short>(ret));
    for (; i + 16 <= end; i += 16)
    {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + i));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + i + 8));
        // Two mask bits per character; keep the even one.
        std::uint32_t feedMask = (static_cast<std::uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi16(a, feedWide))) |
                                  static_cast<std::uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi16(b, feedWide))) << 16) &
                                 0x55555555u;
        while (feedMask)
        {
            feeds.push_back(static_cast<std::uint32_t>(i + static_cast<unsigned>(__builtin_ctz(feedMask)) / 2));
            feedMask &= feedMask - 1;
        }
        if (ret == 0)
            continue;
        std::uint32_t returnMask =
            (static_cast<std::uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi16(a, returnWide))) |
             static_cast<std::uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi16(b, returnWide))) << 16) &
            0x55555555u;
        while (returnMask)
        {
            returnAt(i + static_cast<unsigned>(__builtin_ctz(returnMask)) / 2);
            returnMask &= returnMask - 1;
        }
    }
#endif
    for (; i < end; ++i)
    {
        if (text[i] == feed)
            feeds.push_back(static_cast<std::uint32_t>(i));
        else if (ret != 0 && text[i] == ret)
            returnAt(i);
    }
}
} // namespace SECEditCharScan
