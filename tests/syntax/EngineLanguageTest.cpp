// The text engine finding its languages through the registry, and hearing
// about changes to the configuration it uses.
#include "SyntaxTestSupport.h"

#include "engine/SECEdit.h"
#include "platform/MemorySettingsStore.h"
#include "syntax/BuiltInLanguages.h"
#include "syntax/SECEditLangRegistry.h"

#include <gtest/gtest.h>

namespace {

// Installs a registry as the engines' lookup for one test.
class EngineLanguage : public ::testing::Test
{
protected:
    EngineLanguage() : m_previous(SECEdit::GetLangLookup())
    {
        RegisterBuiltInLanguages(registry, &store);
        SECEdit::SetLangLookup(&registry.GetLookup());
    }
    ~EngineLanguage() override { SECEdit::SetLangLookup(m_previous); }

    MemorySettingsStore store;
    SECEditLangRegistry registry;

private:
    ISECEditLangLookup* m_previous;
};

TEST_F(EngineLanguage, SetLanguageSharesTheRegistryConfiguration)
{
    SECEdit first;
    SECEdit second;
    ASSERT_TRUE(first.InitNew(u"SQL"));
    ASSERT_TRUE(second.SetLanguage(u"SQL"));
    SECEditLangConfig* sql = registry.LookupLangConfig(u"SQL");
    EXPECT_EQ(first.GetLangConfig(), sql);
    EXPECT_EQ(second.GetLangConfig(), sql);
    EXPECT_EQ(first.GetTabSize(), 5);

    // An unknown name fails and keeps the language.
    EXPECT_FALSE(first.SetLanguage(u"Klingon"));
    EXPECT_EQ(first.GetLangConfig(), sql);

    ASSERT_TRUE(second.SetLanguage(u"Default"));
    EXPECT_EQ(second.GetLangConfig(), registry.LookupLangConfig(u"Default"));
}

TEST_F(EngineLanguage, ChangingACharacterClassReachesThePanes)
{
    SECEdit edit;
    ASSERT_TRUE(edit.InitNew(u"HTML"));
    RecordingObserver pane;
    edit.AddObserver(&pane);
    registry.LookupLangConfig(u"HTML")->SetCharClass(u"_", WordPart, false);
    ASSERT_FALSE(pane.kinds.empty());
    EXPECT_EQ(pane.kinds.back(), 22583u); // InvalidateColoring, passed on by the engine

    // After switching language the old configuration no longer reaches it.
    ASSERT_TRUE(edit.SetLanguage(u"XML"));
    pane.kinds.clear();
    registry.LookupLangConfig(u"HTML")->SetCharClass(u"_", WordPart, true);
    EXPECT_TRUE(pane.kinds.empty());
    edit.RemoveObserver(&pane);
}

TEST(LangRegistryInstance, InstallsItselfAsTheEngineLookup)
{
    SECEditLangRegistry& registry = SECEditLangRegistry::Instance();
    EXPECT_EQ(&SECEditLangRegistry::Instance(), &registry);
    EXPECT_EQ(SECEdit::GetLangLookup(), &registry.GetLookup());
}

TEST(LangConfigObservers, RemovalDuringDeliveryIsSafe)
{
    ConfigPtr config = NewConfig();
    struct Detaching : IObserver
    {
        SECEditLangConfig* config = nullptr;
        IObserver* victim = nullptr;
        int calls = 0;
        void OnUpdate(ISubject*, IMessage*) override
        {
            ++calls;
            config->RemoveObserver(victim);
            config->RemoveObserver(this);
        }
    };
    RecordingObserver later;
    Detaching detaching;
    detaching.config = config.get();
    detaching.victim = &later;
    config->AddObserver(&detaching);
    config->AddObserver(&later);
    config->SetCharClass(u"x", Operator, false);
    EXPECT_EQ(detaching.calls, 1);
    EXPECT_TRUE(later.kinds.empty());
    config->SetCharClass(u"y", Operator, false);
    EXPECT_EQ(detaching.calls, 1);
}

} // namespace
