// The archive layout: every accepted string length form on reading, the
// Unicode form on writing, counts with their escape, and damaged archives.
#include "SyntaxTestSupport.h"

#include "syntax/SECEditArchiveReader.h"
#include "syntax/SECEditArchiveWriter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

std::u16string ReadOne(const Bytes& bytes, bool* atEnd = nullptr)
{
    SECEditArchiveReader reader(bytes);
    std::u16string text = u"unchanged";
    EXPECT_TRUE(reader.ReadString(text));
    if (atEnd)
        *atEnd = reader.AtEnd();
    return text;
}

bool Fails(const Bytes& bytes)
{
    SECEditArchiveReader reader(bytes);
    std::u16string text;
    return !reader.ReadString(text) && reader.Failed();
}

TEST(ArchiveStrings, EveryLengthFormReads)
{
    bool atEnd = false;
    EXPECT_EQ(ReadOne({3, 'a', 'b', 'c'}, &atEnd), u"abc");
    EXPECT_TRUE(atEnd);
    EXPECT_EQ(ReadOne({0}), u"");
    // 0xFF and a 16-bit length.
    EXPECT_EQ(ReadOne({0xFF, 2, 0, 'h', 'i'}, &atEnd), u"hi");
    EXPECT_TRUE(atEnd);
    // 0xFF, 0xFFFF and a 32-bit length.
    EXPECT_EQ(ReadOne({0xFF, 0xFF, 0xFF, 1, 0, 0, 0, 'x'}, &atEnd), u"x");
    EXPECT_TRUE(atEnd);
    // The Unicode marker, then each of the three forms.
    EXPECT_EQ(ReadOne({0xFF, 0xFE, 0xFF, 2, 0x41, 0x00, 0xAC, 0x20}), u"A\u20AC");
    EXPECT_EQ(ReadOne({0xFF, 0xFE, 0xFF, 0xFF, 1, 0, 0x42, 0x00}), u"B");
    EXPECT_EQ(ReadOne({0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 1, 0, 0, 0, 0x43, 0x00}), u"C");
}

TEST(ArchiveStrings, EightBitTextIsWindows1252)
{
    EXPECT_EQ(ReadOne({4, 0x80, 0x81, 0x9F, 0xE9}), u"\u20AC\u0081\u0178\u00E9");
}

TEST(ArchiveStrings, LongStringsUseTheLongerForms)
{
    for (std::size_t length : {std::size_t{0}, std::size_t{254}, std::size_t{255}, std::size_t{0xFFFD},
                               std::size_t{0xFFFE}, std::size_t{70000}})
    {
        SCOPED_TRACE(length);
        const std::u16string text(length, u'\u0416');
        SECEditArchiveWriter writer;
        writer.WriteString(text);
        const Bytes& bytes = writer.GetBytes();
        ASSERT_GE(bytes.size(), 4u);
        EXPECT_EQ(bytes[0], 0xFF);
        EXPECT_EQ(bytes[1], 0xFE);
        EXPECT_EQ(bytes[2], 0xFF);
        const std::size_t header = length < 0xFF ? 4 : length < 0xFFFE ? 6 : 10;
        EXPECT_EQ(bytes.size(), header + 2 * length);
        if (length >= 0xFF)
        {
            EXPECT_EQ(bytes[3], 0xFF);
        }
        bool atEnd = false;
        EXPECT_EQ(ReadOne(bytes, &atEnd), text);
        EXPECT_TRUE(atEnd);
    }
}

TEST(ArchiveStrings, DamagedStringsFail)
{
    EXPECT_TRUE(Fails({}));
    EXPECT_TRUE(Fails({5, 'a', 'b'}));                         // shorter than its length
    EXPECT_TRUE(Fails({0xFF, 2}));                             // cut inside the length
    EXPECT_TRUE(Fails({0xFF, 0xFE, 0xFF, 2, 0x41, 0x00}));     // one code unit of two
    EXPECT_TRUE(Fails({0xFF, 0xFE, 0xFF, 0xFF, 0xFE, 0xFF, 0}));   // a second Unicode marker
    EXPECT_TRUE(Fails({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF})); // 4 GB promised, none there
}

TEST(ArchiveCounts, EscapeAbove0xFFFE)
{
    for (std::uint32_t count : {0u, 0xFFFEu, 0xFFFFu, 0x12345u})
    {
        SECEditArchiveWriter writer;
        writer.WriteCount(count);
        EXPECT_EQ(writer.GetBytes().size(), count < 0xFFFF ? 2u : 6u);
        SECEditArchiveReader reader(writer.GetBytes());
        std::uint32_t read = 0;
        EXPECT_TRUE(reader.ReadCount(read));
        EXPECT_EQ(read, count);
        EXPECT_TRUE(reader.AtEnd());
    }
}

TEST(ArchiveReader, FailureSticks)
{
    const Bytes bytes{1, 2, 3};
    SECEditArchiveReader reader(bytes);
    std::uint32_t value = 0;
    EXPECT_FALSE(reader.ReadUInt32(value));
    std::uint8_t small = 0;
    EXPECT_FALSE(reader.ReadUInt8(small)); // bytes are left, but the archive is already bad
    EXPECT_TRUE(reader.Failed());
}

// A configuration read from a damaged archive keeps what it had.
class DamagedArchive : public ::testing::Test
{
protected:
    Bytes cpp = ResourceBytes(154);

    void ExpectRejectedKeepingDefaults(const Bytes& bytes)
    {
        ConfigPtr config = NewConfig();
        EXPECT_FALSE(LangConfigResourceLoader::LoadFromBytes(*config, bytes));
        ConfigPtr fresh = NewConfig();
        EXPECT_EQ(ArchiveOf(*config), ArchiveOf(*fresh));
        EXPECT_EQ(config->GetColorGroupCount(), 4);
        EXPECT_EQ(config->GetKeywordCount(), 0);
    }
};

TEST_F(DamagedArchive, EveryTruncationIsRejected)
{
    ASSERT_FALSE(cpp.empty());
    for (std::size_t size = 0; size < cpp.size(); ++size)
    {
        const Bytes cut(cpp.begin(), cpp.begin() + static_cast<std::ptrdiff_t>(size));
        ConfigPtr config = NewConfig();
        ASSERT_FALSE(LangConfigResourceLoader::LoadFromBytes(*config, cut)) << size;
        ASSERT_EQ(config->GetColorGroupCount(), 4) << size;
    }
    ExpectRejectedKeepingDefaults(Bytes(cpp.begin(), cpp.end() - 1));
}

TEST_F(DamagedArchive, TooFewGroups)
{
    Bytes bytes = cpp;
    bytes[0] = 3; // the four standard groups are required
    ExpectRejectedKeepingDefaults(bytes);
    bytes[0] = 0xFF;
    bytes[3] = 0xFF; // negative
    ExpectRejectedKeepingDefaults(bytes);
}

TEST_F(DamagedArchive, GroupIndexOutOfRange)
{
    // The last entry is the group key "String" with index 6; point it past the seven groups.
    Bytes bytes = cpp;
    ASSERT_EQ(bytes[bytes.size() - 2], 6);
    bytes[bytes.size() - 2] = 7;
    ExpectRejectedKeepingDefaults(bytes);
    bytes[bytes.size() - 2] = 6;
    ConfigPtr config = NewConfig();
    EXPECT_TRUE(LangConfigResourceLoader::LoadFromBytes(*config, bytes));
}

TEST_F(DamagedArchive, MissingResourceFails)
{
    ConfigPtr config = NewConfig();
    LangConfigResourceLoader missing(999);
    EXPECT_FALSE(missing.Load(*config));
    EXPECT_FALSE(LangConfigResourceLoader::LoadFromBytes(*config, {}));
    EXPECT_EQ(config->GetColorGroupCount(), 4);
}

TEST(ArchiveRoundTrip, EditedConfigurationSurvives)
{
    ConfigPtr config = LoadBuiltIn(156);
    ASSERT_TRUE(config);
    config->AddKeyword(u"\u00C9t\u00E9", 5);
    config->SetCharClass(u"\u4E00", WordPart, false);
    config->GetColorGroup(7).reserved = 0xBEEF;
    config->SetMatchCase(false);
    config->SetTabSize(8);
    const Bytes bytes = ArchiveOf(*config);

    ConfigPtr copy = NewConfig();
    EXPECT_TRUE(LangConfigResourceLoader::LoadFromBytes(*copy, bytes));
    EXPECT_EQ(ArchiveOf(*copy), bytes);
    std::uint16_t group = 0;
    EXPECT_EQ(copy->ClassifyWord(u"\u00C9t\u00E9", group), 3);
    EXPECT_EQ(group, 5);
    EXPECT_TRUE(copy->IsCharInClass(u'\u4E00', WordPart));
    EXPECT_EQ(copy->GetColorGroup(7).reserved, 0xBEEF);
    EXPECT_EQ(copy->GetTabSize(), 8);
    EXPECT_FALSE(copy->GetMatchCase());
}

TEST(ArchiveRoundTrip, OutOfRangeSizesKeepTheCurrentValues)
{
    ConfigPtr config = LoadBuiltIn(154);
    ASSERT_TRUE(config);
    Bytes bytes = ArchiveOf(*config);
    // Find the tab size (4) right after match case 1, show, replace, virtual 0 0 0.
    const Bytes settings{1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 4, 0, 0, 0};
    const auto at = std::search(bytes.begin(), bytes.end(), settings.begin(), settings.end());
    ASSERT_NE(at, bytes.end());
    at[16] = 0; // a tab size of 0 would divide by zero in every column conversion

    ConfigPtr target = NewConfig();
    target->SetTabSize(7);
    SECEditArchiveReader reader(bytes);
    EXPECT_TRUE(target->Serialize(reader));
    EXPECT_EQ(target->GetTabSize(), 7);
    EXPECT_EQ(target->GetKeywordCount(), 79);
}

} // namespace
