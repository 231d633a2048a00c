#pragma once

#include <cstddef>

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
} // namespace SECEditCharScan
