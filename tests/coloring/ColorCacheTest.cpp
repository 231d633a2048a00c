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

// Random sets, frees and shifts, checked after each step against a plain
// vector of lists that inserts and erases in place.
TEST(ColorCache, ShiftsAnywhereAgreeWithAPlainVector)
{
    SECEditColorCache cache;
    std::vector<std::vector<std::uint32_t>> model; // empty list: nothing cached
    std::vector<bool> cached;
    std::uint64_t state = 0x9e3779b97f4a7c15ull;
    const auto next = [&state](std::uint64_t bound) {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        return state % bound;
    };
    for (int step = 0; step < 3000; ++step)
    {
        const auto line = static_cast<std::int32_t>(next(6000));
        switch (next(4))
        {
        case 0: {
            std::vector<std::uint32_t> runs(next(4), static_cast<std::uint32_t>(step));
            const std::size_t lines = next(2) ? 0 : 5000;
            cache.Set(line, runs.data(), runs.size(), lines);
            if (static_cast<std::size_t>(line) >= model.size())
            {
                const std::size_t grown = model.size() + model.size() / 2;
                const std::size_t size = std::max<std::size_t>({static_cast<std::size_t>(line) + 1, grown, lines});
                model.resize(size);
                cached.resize(size);
            }
            model[static_cast<std::size_t>(line)] = runs;
            cached[static_cast<std::size_t>(line)] = true;
            break;
        }
        case 1:
            cache.Free(line);
            if (static_cast<std::size_t>(line) < model.size())
                cached[static_cast<std::size_t>(line)] = false;
            break;
        default: {
            const auto delta = static_cast<std::int32_t>(next(601)) - 300;
            cache.Shift(line, delta);
            const auto size = static_cast<std::int64_t>(model.size());
            if (delta > 0 && line < size)
            {
                model.insert(model.begin() + line, static_cast<std::size_t>(delta), {});
                cached.insert(cached.begin() + line, static_cast<std::size_t>(delta), false);
            }
            else if (delta < 0)
            {
                const std::int64_t first = std::max<std::int64_t>(0, line + delta);
                const std::int64_t end = std::min<std::int64_t>(line, size);
                if (first < end)
                {
                    model.erase(model.begin() + first, model.begin() + end);
                    cached.erase(cached.begin() + first, cached.begin() + end);
                }
            }
        }
        }
        if (step % 101 != 0)
            continue;
        std::size_t count = 0;
        for (std::size_t i = 0; i < model.size() + 10; ++i)
        {
            const bool has = i < model.size() && cached[i];
            ASSERT_EQ(cache.Has(static_cast<std::int32_t>(i)), has) << "step " << step << " line " << i;
            if (has)
            {
                ASSERT_EQ(Get(cache, static_cast<std::int32_t>(i)), model[i]) << "step " << step << " line " << i;
                ++count;
            }
        }
        ASSERT_EQ(cache.size(), count);
    }
}
