#include "engine/SECEditLineMap.h"

#include <gtest/gtest.h>

#include <map>
#include <random>

// The chunked map against std::map, through many random gets, erases, range
// erases and shifts (enough entries for chunks to split and empty).
TEST(LineMap, BehavesLikeAnOrderedMapWithRenumbering)
{
    std::mt19937 rng(5);
    SECEditLineMap<int> map;
    std::map<std::int32_t, int> model;
    for (int step = 0; step < 20000; ++step)
    {
        const std::int32_t line = static_cast<std::int32_t>(rng() % 2000);
        switch (rng() % 6)
        {
        case 0:
        case 1:
            map.Get(line) = step;
            model[line] = step;
            break;
        case 2:
            ASSERT_EQ(map.Erase(line), model.erase(line) == 1);
            break;
        case 3:
        {
            const std::int32_t last = line + static_cast<std::int32_t>(rng() % 40);
            std::vector<std::int32_t> seen;
            map.EraseRange(line, last, [&](std::int32_t l, int&) { seen.push_back(l); });
            std::vector<std::int32_t> expected;
            for (auto it = model.lower_bound(line); it != model.end() && it->first <= last;)
            {
                expected.push_back(it->first);
                it = model.erase(it);
            }
            ASSERT_EQ(seen, expected);
            break;
        }
        case 4:
        {
            // Lines inserted after `line`, or removed there (erase first).
            const std::int32_t count = static_cast<std::int32_t>(rng() % 30) + 1;
            std::map<std::int32_t, int> shifted;
            if (rng() % 2)
            {
                map.Shift(line, count);
                for (auto& [l, v] : model)
                    shifted[l >= line ? l + count : l] = v;
            }
            else
            {
                map.EraseRange(line, line + count - 1);
                map.Shift(line + count, -count);
                for (auto& [l, v] : model)
                    if (l < line)
                        shifted[l] = v;
                    else if (l >= line + count)
                        shifted[l - count] = v;
            }
            model.swap(shifted);
            break;
        }
        default:
        {
            const int* found = map.Find(line);
            const auto it = model.find(line);
            ASSERT_EQ(found != nullptr, it != model.end());
            if (found)
            {
                ASSERT_EQ(*found, it->second);
            }
            const auto odd = [](const int& v) { return v % 2 != 0; };
            std::int32_t next = -1, previous = -1;
            for (auto& [l, v] : model)
            {
                if (l > line && next < 0 && odd(v))
                    next = l;
                if (l < line && odd(v))
                    previous = l;
            }
            ASSERT_EQ(map.FirstAfter(line, odd), next);
            ASSERT_EQ(map.LastBefore(line, odd), previous);
        }
        }
        ASSERT_EQ(map.Size(), model.size()) << "step " << step;
    }
    std::vector<std::pair<std::int32_t, int>> all;
    map.ForEach([&](std::int32_t l, int v) { all.emplace_back(l, v); });
    const std::vector<std::pair<std::int32_t, int>> expected(model.begin(), model.end());
    ASSERT_EQ(all, expected);
    EXPECT_GT(map.Size(), 64u);
}
