#include "engine/SECEditColorCache.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace
{
std::vector<std::uint32_t> Get(const SECEditColorCache& cache, std::int32_t line)
{
    std::size_t count = 0;
    const std::uint32_t* runs = cache.Find(line, count);
    return runs ? std::vector<std::uint32_t>(runs, runs + count) : std::vector<std::uint32_t>{};
}
} // namespace

TEST(ColorCache, KeepsListsOfEveryLength)
{
    SECEditColorCache cache;
    const std::vector<std::uint32_t> one{0x00040000};
    const std::vector<std::uint32_t> three{0x00050003, 0x00000002, 0x00030001};
    cache.Set(0, one.data(), one.size());
    cache.Set(5, three.data(), three.size());
    cache.Set(2, nullptr, 0);
    EXPECT_EQ(Get(cache, 0), one);
    EXPECT_EQ(Get(cache, 5), three);
    EXPECT_TRUE(cache.Has(2));
    EXPECT_FALSE(cache.Has(1));
    EXPECT_FALSE(cache.Has(99));
    EXPECT_EQ(cache.size(), 3u);
    // A run of group 0 and length 0 is a list, not an empty slot.
    const std::vector<std::uint32_t> zero{0};
    cache.Set(1, zero.data(), 1);
    EXPECT_EQ(Get(cache, 1), zero);
    cache.Set(5, one.data(), one.size()); // replaces
    EXPECT_EQ(Get(cache, 5), one);
    EXPECT_EQ(cache.size(), 4u);
}

TEST(ColorCache, ShiftMovesListsWithTheirLines)
{
    SECEditColorCache cache;
    for (std::uint32_t line = 0; line < 6; ++line)
    {
        const std::vector<std::uint32_t> runs{line, line + 100};
        cache.Set(static_cast<std::int32_t>(line), runs.data(), runs.size());
    }
    cache.Shift(2, 3); // three lines inserted before line 2
    EXPECT_EQ(Get(cache, 1), (std::vector<std::uint32_t>{1, 101}));
    EXPECT_FALSE(cache.Has(2));
    EXPECT_FALSE(cache.Has(4));
    EXPECT_EQ(Get(cache, 5), (std::vector<std::uint32_t>{2, 102}));
    EXPECT_EQ(Get(cache, 8), (std::vector<std::uint32_t>{5, 105}));

    cache.Shift(6, -4); // lines 2 to 5 removed
    EXPECT_EQ(Get(cache, 1), (std::vector<std::uint32_t>{1, 101}));
    EXPECT_EQ(Get(cache, 2), (std::vector<std::uint32_t>{3, 103}));
    EXPECT_EQ(Get(cache, 4), (std::vector<std::uint32_t>{5, 105}));
    EXPECT_FALSE(cache.Has(5));
    EXPECT_EQ(cache.size(), 5u);

    cache.Shift(10, -8); // reaches past the last slot
    EXPECT_TRUE(cache.Has(1));
    EXPECT_FALSE(cache.Has(2));
    EXPECT_EQ(cache.size(), 2u);
    cache.clear();
    EXPECT_EQ(cache.size(), 0u);
    EXPECT_FALSE(cache.Has(0));
}
