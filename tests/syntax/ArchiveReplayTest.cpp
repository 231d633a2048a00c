// The fuzzer's property over the built-in archives and seeded random
// mutations of them, so the sanitizer build checks the reader without clang.
#include "SyntaxTestSupport.h"

#include "fuzz/ArchiveProperty.h"
#include "syntax/BuiltInLanguages.h"

#include <gtest/gtest.h>

#include <random>

namespace {

std::vector<std::vector<std::uint8_t>> Seeds()
{
    std::vector<std::vector<std::uint8_t>> seeds;
    for (const BuiltInLanguage& language : kBuiltInLanguages)
        seeds.push_back(ResourceBytes(language.resourceId));
    // A small archive with 8-bit strings, four groups and nothing else.
    std::vector<std::uint8_t> small{4, 0, 0, 0};
    for (int i = 0; i < 4; ++i)
    {
        const std::uint8_t group[] = {0, 0, 0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0, 1, 0, 0, 0, 1, 0, 0, 0,
                                      1, 'g', 1, 0, 0, 0};
        small.insert(small.end(), std::begin(group), std::end(group));
    }
    const std::uint8_t rest[] = {1, 0, 0, 0, 1, '/', 0, 0, 0, 0,            // one prefix key
                                 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 4, 0, 0, 0, 0, 0, 0, 0,
                                 1, 'C', 10, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, // font
                                 0, 0, 0, 1, ';', 1, '+',                     // classes
                                 1, 0, 2, 'i', 'f', 2, 0,                     // one keyword
                                 0, 0};                                       // no group keys
    small.insert(small.end(), std::begin(rest), std::end(rest));
    seeds.push_back(small);
    return seeds;
}

TEST(ArchiveReplay, SeedsHold)
{
    const auto seeds = Seeds();
    for (const auto& seed : seeds)
        EXPECT_TRUE(ArchivePropertyHolds(seed));
    ConfigPtr config = NewConfig();
    SECEditArchiveReader reader(seeds.back());
    EXPECT_TRUE(config->Serialize(reader));
    EXPECT_TRUE(reader.AtEnd());
    std::uint16_t group = 0;
    EXPECT_EQ(config->ClassifyWord(u"if", group), 2);
    EXPECT_EQ(group, 2);
}

TEST(ArchiveReplay, RandomMutationsHold)
{
    std::mt19937 random(20261208); // fixed: a failure must reproduce
    const auto seeds = Seeds();
    for (int round = 0; round < 2000; ++round)
    {
        std::vector<std::uint8_t> bytes = seeds[static_cast<std::size_t>(round) % seeds.size()];
        const int edits = 1 + static_cast<int>(random() % 8);
        for (int e = 0; e < edits && !bytes.empty(); ++e)
        {
            const std::size_t at = random() % bytes.size();
            switch (random() % 5)
            {
            case 0: bytes[at] = static_cast<std::uint8_t>(random()); break;
            case 1: bytes[at] ^= static_cast<std::uint8_t>(1u << (random() % 8)); break;
            case 2: bytes[at] = (random() % 2) ? 0xFF : 0x00; break;
            case 3: bytes.resize(at); break;
            default: bytes.insert(bytes.begin() + static_cast<std::ptrdiff_t>(at), 0xFF); break;
            }
        }
        ASSERT_TRUE(ArchivePropertyHolds(bytes)) << "round " << round;
    }
}

} // namespace
