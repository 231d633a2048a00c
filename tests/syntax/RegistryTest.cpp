// The language registry: names, creation on first use, loaders and savers.
#include "SyntaxTestSupport.h"

#include "platform/MemorySettingsStore.h"
#include "syntax/BuiltInLanguages.h"
#include "syntax/LangConfigLoaderChain.h"
#include "syntax/LangConfigSaver.h"
#include "syntax/SECEditLangRegistry.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

// Counts its loads and answers a fixed result; sets the tab size so a test
// can see which loader ran.
class FakeLoader : public LangConfigLoader
{
public:
    FakeLoader(bool result, int tabSize) : m_result(result), m_tabSize(tabSize) {}
    bool Load(SECEditLangConfig& config) override
    {
        ++loads;
        config.SetTabSize(m_tabSize);
        return m_result;
    }
    int loads = 0;

private:
    bool m_result;
    int m_tabSize;
};

template <class T>
struct Owned
{
    T* object;
    explicit Owned(T* created) : object(created) {}
    ~Owned() { object->Release(); }
    T* operator->() const { return object; }
    T* get() const { return object; }
};

TEST(LangRegistry, NamesIncludeDefaultAndEachLanguageOnce)
{
    SECEditLangRegistry registry;
    std::vector<std::u16string> names{u"stale"};
    registry.GetLanguageNames(names);
    EXPECT_EQ(names, std::vector<std::u16string>{u"Default"});

    MemorySettingsStore store;
    RegisterBuiltInLanguages(registry, &store);
    RegisterBuiltInLanguages(registry, &store); // again: replaces, adds nothing
    ASSERT_NE(registry.LookupLangConfig(u"VB"), nullptr);
    registry.GetLanguageNames(names);
    ASSERT_EQ(names.size(), 13u);
    for (std::size_t i = 0; i < kBuiltInLanguages.size(); ++i)
        EXPECT_EQ(names[i], kBuiltInLanguages[i].name);
    EXPECT_EQ(names.back(), u"Default");
}

TEST(LangRegistry, LookupCreatesOnceAndKeepsTheObject)
{
    SECEditLangRegistry registry;
    EXPECT_EQ(registry.LookupLangConfig(u"Nope"), nullptr);
    EXPECT_EQ(registry.LookupLangConfig(u"default"), nullptr); // names are exact

    Owned loader(new FakeLoader(true, 7));
    registry.RegisterLanguage(u"Lang", loader.get());
    SECEditLangConfig* config = registry.LookupLangConfig(u"Lang");
    ASSERT_NE(config, nullptr);
    EXPECT_EQ(config->GetName(), u"Lang");
    EXPECT_EQ(config->GetTabSize(), 7);
    EXPECT_EQ(registry.LookupLangConfig(u"Lang"), config);
    EXPECT_EQ(loader->loads, 1);

    // Registering again replaces the loader but not the configuration.
    Owned other(new FakeLoader(true, 9));
    registry.RegisterLanguage(u"Lang", other.get());
    EXPECT_EQ(registry.LookupLangConfig(u"Lang"), config);
    EXPECT_EQ(config->GetTabSize(), 7);
    EXPECT_EQ(other->loads, 0);
}

TEST(LangRegistry, AFailedLoadStillCreatesTheConfiguration)
{
    SECEditLangRegistry registry;
    Owned failing(new FakeLoader(false, 3));
    registry.RegisterLanguage(u"Broken", failing.get());
    SECEditLangConfig* config = registry.LookupLangConfig(u"Broken");
    ASSERT_NE(config, nullptr);
    EXPECT_EQ(config->GetTabSize(), 3);
    EXPECT_EQ(config->GetColorGroupCount(), 4);
}

TEST(LangRegistry, ChainRunsEveryLoader)
{
    Owned chain(new LangConfigLoaderChain());
    Owned failing(new FakeLoader(false, 3));
    Owned succeeding(new FakeLoader(true, 5));
    chain->Add(failing.get());
    chain->Add(succeeding.get());
    chain->Add(nullptr);
    ConfigPtr config = NewConfig();
    EXPECT_FALSE(chain->Load(*config));
    EXPECT_EQ(failing->loads, 1);
    EXPECT_EQ(succeeding->loads, 1);
    EXPECT_EQ(config->GetTabSize(), 5);
}

TEST(LangRegistry, SaveByNameAndAll)
{
    SECEditLangRegistry registry;
    MemorySettingsStore store;
    RegisterBuiltInLanguages(registry, &store);

    EXPECT_FALSE(registry.SaveLangConfigs());         // nothing created yet
    EXPECT_FALSE(registry.SaveLangConfigs(u"C++"));   // not created
    EXPECT_FALSE(registry.SaveLangConfigs(u"Default")); // no saver
    EXPECT_TRUE(store.GetWriteLog().empty());

    registry.LookupLangConfig(u"C++")->SetTabSize(2);
    registry.LookupLangConfig(u"XML");
    EXPECT_TRUE(registry.SaveLangConfigs(u"C++"));
    EXPECT_EQ(store.ReadInt(u"C++\\Editor", u"TabSize", 0), 2);
    EXPECT_FALSE(store.Contains(u"XML\\Editor", u"TabSize"));
    EXPECT_TRUE(registry.SaveLangConfigs());
    EXPECT_TRUE(store.Contains(u"XML\\Editor", u"TabSize"));
    EXPECT_FALSE(store.Contains(u"SQL\\Editor", u"TabSize"));

    // A saver without a store writes nothing and says so.
    SECEditLangRegistry detached;
    RegisterBuiltInLanguages(detached, nullptr);
    ASSERT_NE(detached.LookupLangConfig(u"SQL"), nullptr);
    EXPECT_FALSE(detached.SaveLangConfigs());
}

TEST(LangRegistry, StoredOverridesApplyAtCreation)
{
    MemorySettingsStore store;
    store.WriteInt(u"vb\\editor", u"TabSize", 3);
    store.WriteInt(u"VB\\Color Groups\\VBCONST", u"Foreground", 0x123456);
    SECEditLangRegistry registry;
    RegisterBuiltInLanguages(registry, &store);
    SECEditLangConfig* vb = registry.LookupLangConfig(u"VB");
    ASSERT_NE(vb, nullptr);
    EXPECT_EQ(vb->GetTabSize(), 3);
    EXPECT_EQ(vb->GetColorGroup(7).foreground, 0x123456u);
    EXPECT_EQ(vb->GetKeywordCount(), 800);

    // Overrides are read once: later changes to the store do not reach it.
    store.WriteInt(u"VB\\Editor", u"TabSize", 6);
    EXPECT_EQ(registry.LookupLangConfig(u"VB")->GetTabSize(), 3);
}

TEST(LangRegistry, EngineLookupAddsAReference)
{
    SECEditLangRegistry registry;
    ISECEditLangLookup& lookup = registry.GetLookup();
    EXPECT_EQ(lookup.LookupLangConfig(u"Missing"), nullptr);
    SECEditLangSettings* settings = lookup.LookupLangConfig(u"Default");
    ASSERT_NE(settings, nullptr);
    EXPECT_EQ(settings, registry.LookupLangConfig(u"Default"));
    EXPECT_EQ(settings->AddRef(), 3u); // registry, lookup caller, this one
    settings->Release();
    settings->Release();
}

} // namespace
