// The QSettings store: INI round trips, case-insensitive sections, bad values.
#include "platform/qt/QtSettingsStore.h"
#include "syntax/BuiltInLanguages.h"
#include "syntax/SECEditLangConfig.h"
#include "syntax/SECEditLangRegistry.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class QtSettingsStoreTest : public ::testing::Test
{
protected:
    QTemporaryDir dir;
    QString path() const { return dir.filePath(QStringLiteral("tavro.ini")); }
};

TEST_F(QtSettingsStoreTest, ValuesSurviveTheFile)
{
    ASSERT_TRUE(dir.isValid());
    {
        QtSettingsStore store(path());
        EXPECT_TRUE(store.WriteString(u"UserInfo", u"UserName", u"Zo\u00EB \u4E2D"));
        EXPECT_TRUE(store.WriteInt(u"Settings", u"TabStop", 5));
        EXPECT_TRUE(store.WriteInt(u"settings", u"x", -15));
        EXPECT_TRUE(store.WriteString(u"C++\\Color Groups\\Text", u"DisplayName", u"Text"));
        EXPECT_TRUE(store.Sync());
    }
    QtSettingsStore store(path());
    EXPECT_EQ(store.ReadString(u"userinfo", u"UserName", u""), u"Zo\u00EB \u4E2D");
    EXPECT_EQ(store.ReadInt(u"SETTINGS", u"TabStop", 0), 5);
    EXPECT_EQ(store.ReadInt(u"Settings", u"x", 0), -15);
    EXPECT_EQ(store.ReadString(u"c++\\color groups\\text", u"DisplayName", u""), u"Text");
    // Value names are exact; a text is no integer.
    EXPECT_EQ(store.ReadInt(u"Settings", u"tabstop", 42), 42);
    EXPECT_EQ(store.ReadInt(u"UserInfo", u"UserName", 42), 42);
    EXPECT_EQ(store.ReadString(u"Nowhere", u"Nothing", u"fallback"), u"fallback");
}

TEST_F(QtSettingsStoreTest, MissingOrDamagedFileGivesDefaults)
{
    ASSERT_TRUE(dir.isValid());
    QtSettingsStore missing(dir.filePath(QStringLiteral("absent/none.ini")));
    EXPECT_EQ(missing.ReadInt(u"Settings", u"TabStop", 5), 5);

    QFile file(path());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("\x01\x02[[[garbage\n=x\n[c++]\neditor\\TabSize=zero\n");
    file.close();
    QtSettingsStore damaged(path());
    EXPECT_EQ(damaged.ReadInt(u"C++\\Editor", u"TabSize", 4), 4);
}

TEST_F(QtSettingsStoreTest, LanguageSettingsRoundTrip)
{
    ASSERT_TRUE(dir.isValid());
    {
        QtSettingsStore store(path());
        SECEditLangRegistry registry;
        RegisterBuiltInLanguages(registry, &store);
        SECEditLangConfig* cpp = registry.LookupLangConfig(u"C++");
        cpp->SetTabSize(3);
        cpp->GetColorGroup(5).foreground = 0x0000C0;
        EXPECT_TRUE(registry.SaveLangConfigs());
        EXPECT_TRUE(store.Sync());
    }
    QtSettingsStore store(path());
    SECEditLangRegistry registry;
    RegisterBuiltInLanguages(registry, &store);
    SECEditLangConfig* cpp = registry.LookupLangConfig(u"C++");
    EXPECT_EQ(cpp->GetTabSize(), 3);
    EXPECT_EQ(cpp->GetColorGroup(5).foreground, 0x0000C0u);
    EXPECT_EQ(cpp->GetKeywordCount(), 79);
}

} // namespace
