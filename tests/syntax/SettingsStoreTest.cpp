// Stored overrides: the sections and values read and written, their order,
// validation, and the memory store the tests rely on.
#include "SyntaxTestSupport.h"

#include "platform/MemorySettingsStore.h"
#include "syntax/LangConfigSaver.h"
#include "syntax/LangConfigSettingsLoader.h"

#include <gtest/gtest.h>

namespace {

using Write = MemorySettingsStore::Write;

std::vector<std::u16string> Keys(const std::vector<Write>& log, std::u16string_view section)
{
    std::vector<std::u16string> keys;
    for (const Write& write : log)
    {
        if (write.section == section)
            keys.push_back(write.key);
    }
    return keys;
}

template <class T>
struct Owned
{
    T* object;
    explicit Owned(T* created) : object(created) {}
    ~Owned() { object->Release(); }
    T* operator->() const { return object; }
};

TEST(MemorySettingsStore, SectionsIgnoreCaseKeysDoNot)
{
    MemorySettingsStore store;
    store.WriteString(u"Settings", u"DefaultDir", u"/home");
    EXPECT_EQ(store.ReadString(u"settings", u"DefaultDir", u""), u"/home");
    EXPECT_EQ(store.ReadString(u"SETTINGS", u"defaultdir", u"none"), u"none");
    store.WriteInt(u"settings", u"cx", -730);
    EXPECT_EQ(store.ReadInt(u"Settings", u"cx", 0), -730);
    store.WriteString(u"Settings", u"bad", u"12x");
    EXPECT_EQ(store.ReadInt(u"Settings", u"bad", 5), 5);
    EXPECT_EQ(store.ReadInt(u"Settings", u"absent", 5), 5);
}

TEST(LangConfigSaver, WritesTheLayoutInOrder)
{
    MemorySettingsStore store;
    ConfigPtr csharp = LoadBuiltIn(152);
    ASSERT_TRUE(csharp);
    Owned saver(new LangConfigSaver(&store, u"C#"));
    EXPECT_EQ(saver->GetSectionPrefix(), u"C#\\");
    ASSERT_TRUE(saver->Save(*csharp));

    const std::vector<Write>& log = store.GetWriteLog();
    // Editor first, then one section per group key, then the font.
    ASSERT_EQ(log.size(), 6u + 10u * 6u + 4u);
    EXPECT_EQ(log.front().section, u"C#\\Editor");
    EXPECT_EQ(Keys(log, u"C#\\Editor"),
              (std::vector<std::u16string>{u"TabSize", u"AutoIndent", u"ShowWhitespace", u"VirtualWhitespace",
                                           u"ReplaceTabs", u"MatchCase"}));
    EXPECT_EQ(log[6].section, u"C#\\Color Groups\\Text");
    EXPECT_EQ(Keys(log, u"C#\\Color Groups\\DataType"),
              (std::vector<std::u16string>{u"BackColorAutomatic", u"ForeColorAutomatic", u"Background",
                                           u"Foreground", u"DisplayName", u"Configurable"}));
    EXPECT_EQ(store.ReadString(u"C#\\Color Groups\\DataType", u"DisplayName", u""), u"C# Data Type");
    EXPECT_EQ(store.ReadInt(u"C#\\Color Groups\\DataType", u"Foreground", 0), 0xFF0000);
    EXPECT_EQ(Keys(log, u"C#\\Font"), (std::vector<std::u16string>{u"Facename", u"Size", u"Bold", u"Italic"}));
    EXPECT_EQ(log.back().section, u"C#\\Font");

    // Bold and italic are always written as 0.
    csharp->SetBold(true);
    store.ClearWriteLog();
    saver->Save(*csharp);
    EXPECT_EQ(store.ReadInt(u"C#\\Font", u"Bold", 1), 0);
}

TEST(LangConfigSaver, PrefixIsNotDoubled)
{
    MemorySettingsStore store;
    Owned saver(new LangConfigSaver(&store, u"XML\\"));
    EXPECT_EQ(saver->GetSectionPrefix(), u"XML\\");
    Owned noStore(new LangConfigSaver(nullptr, u"XML"));
    ConfigPtr config = NewConfig();
    EXPECT_FALSE(noStore->Save(*config));
}

TEST(LangConfigSettings, SaveThenLoadRestoresEverything)
{
    MemorySettingsStore store;
    ConfigPtr original = LoadBuiltIn(155);
    ASSERT_TRUE(original);
    original->SetTabSize(9);
    original->SetShowWhitespace(true);
    original->SetVirtualWhitespace(true);
    original->SetReplaceTabs(true);
    original->SetMatchCase(true);
    original->SetAutoIndent(true);
    original->SetFacename(u"DejaVu Sans Mono");
    original->SetSize(13);
    SECEditColorGroup& element = original->GetColorGroup(5);
    element.foreground = 0x00ABCDEF;
    element.background = 0x00000001;
    element.foregroundAutomatic = true;
    element.backgroundAutomatic = false;
    element.displayName = u"Elements \u00E9";
    element.configurable = false;
    Owned saver(new LangConfigSaver(&store, u"HTML"));
    ASSERT_TRUE(saver->Save(*original));

    ConfigPtr restored = LoadBuiltIn(155);
    ASSERT_TRUE(restored);
    Owned loader(new LangConfigSettingsLoader(&store, u"HTML"));
    ASSERT_TRUE(loader->Load(*restored));
    EXPECT_EQ(ArchiveOf(*restored), ArchiveOf(*original));
}

TEST(LangConfigSettings, MissingValuesKeepTheCurrentOnes)
{
    MemorySettingsStore empty;
    ConfigPtr config = LoadBuiltIn(154);
    ASSERT_TRUE(config);
    const auto before = ArchiveOf(*config);
    Owned loader(new LangConfigSettingsLoader(&empty, u"C++"));
    EXPECT_TRUE(loader->Load(*config));
    EXPECT_EQ(ArchiveOf(*config), before);

    Owned detached(new LangConfigSettingsLoader(nullptr, u"C++"));
    EXPECT_FALSE(detached->Load(*config));
}

TEST(LangConfigSettings, OutOfRangeValuesAreIgnored)
{
    MemorySettingsStore store;
    const std::u16string editor = u"SQL\\Editor";
    const std::u16string keyword = u"SQL\\Color Groups\\Keyword";
    store.WriteInt(editor, u"TabSize", 0);
    store.WriteInt(editor, u"AutoIndent", 2);
    store.WriteInt(editor, u"MatchCase", -1);
    store.WriteString(editor, u"ShowWhitespace", u"yes");
    store.WriteInt(keyword, u"Foreground", 0x01000000);
    store.WriteInt(keyword, u"Background", -5);
    store.WriteInt(keyword, u"Configurable", 7);
    store.WriteInt(u"SQL\\Font", u"Size", 401);
    store.WriteInt(u"SQL\\Font", u"Italic", 3);

    ConfigPtr sql = LoadBuiltIn(166);
    ASSERT_TRUE(sql);
    const auto before = ArchiveOf(*sql);
    Owned loader(new LangConfigSettingsLoader(&store, u"SQL"));
    EXPECT_TRUE(loader->Load(*sql));
    EXPECT_EQ(ArchiveOf(*sql), before);

    // The edges of each range are taken.
    store.WriteInt(editor, u"TabSize", 64);
    store.WriteInt(keyword, u"Foreground", 0x00FFFFFF);
    store.WriteInt(keyword, u"Background", 0);
    store.WriteInt(u"SQL\\Font", u"Size", 1);
    store.WriteInt(editor, u"MatchCase", 1);
    EXPECT_TRUE(loader->Load(*sql));
    EXPECT_EQ(sql->GetTabSize(), 64);
    EXPECT_EQ(sql->GetColorGroup(6).foreground, 0x00FFFFFFu);
    EXPECT_EQ(sql->GetColorGroup(6).background, 0u);
    EXPECT_EQ(sql->GetSize(), 1);
    EXPECT_TRUE(sql->GetMatchCase());
}

TEST(LangConfigSettings, GroupKeysNamingNoGroupAreSkipped)
{
    MemorySettingsStore store;
    ConfigPtr config = NewConfig();
    config->SetGroupKey(u"Ghost", 12);
    store.WriteInt(u"X\\Color Groups\\Ghost", u"Foreground", 0x10);
    Owned loader(new LangConfigSettingsLoader(&store, u"X"));
    EXPECT_TRUE(loader->Load(*config));
    Owned saver(new LangConfigSaver(&store, u"X"));
    store.ClearWriteLog();
    EXPECT_TRUE(saver->Save(*config));
    EXPECT_TRUE(Keys(store.GetWriteLog(), u"X\\Color Groups\\Ghost").empty());
}

} // namespace
