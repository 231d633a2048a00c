#include "AppTestSupport.h"

#include "app/COptionPropSheet.h"
#include "app/CSendToShortcut.h"

#include <QLineEdit>
#include <QSpinBox>
#include <QTabWidget>

#include <QComboBox>

#include <gtest/gtest.h>

TEST(OptionPropSheet, UserDetailsAreWrittenOnOkEvenWhenEmptyAndNothingOnCancel)
{
    MemorySettings settings;
    RecordingMessageBox messages;
    settings.WriteString(u"UserInfo", u"UserName", u"Ann");
    {
        COptionPropSheet sheet(settings, messages);
        EXPECT_EQ(sheet.GetUserField(0)->text(), QStringLiteral("Ann"));
        sheet.GetUserField(0)->setText(QStringLiteral("Bob"));
        sheet.reject();
    }
    EXPECT_EQ(settings.ReadString(u"UserInfo", u"UserName", u""), u"Ann");

    COptionPropSheet sheet(settings, messages);
    for (int i = 0; i < COptionPropSheet::kUserFieldCount; ++i)
        sheet.GetUserField(i)->clear();
    sheet.GetUserField(8)->setText(QStringLiteral("555"));
    sheet.accept();
    for (const char16_t* key : COptionPropSheet::kUserKeys)
        EXPECT_TRUE(settings.Has(u"UserInfo", key)) << QString::fromUtf16(key).toStdString();
    EXPECT_EQ(settings.ReadString(u"UserInfo", u"UserName", u"x"), u"");
    EXPECT_EQ(settings.ReadString(u"UserInfo", u"Tel", u""), u"555");
}

TEST(OptionPropSheet, OtherOptionsAreWrittenOnlyWhenThePageWasShown)
{
    MemorySettings settings;
    RecordingMessageBox messages;
    {
        COptionPropSheet sheet(settings, messages);
        sheet.accept();
    }
    EXPECT_FALSE(settings.Has(u"Settings", u"DefaultDir"));
    EXPECT_FALSE(settings.Has(u"Settings", u"TabStop"));
    EXPECT_FALSE(settings.Has(u"Settings", u"WordWrapState"));

    settings.WriteString(u"Settings", u"DefaultDir", u"/home/ann/docs");
    settings.WriteInt(u"Settings", u"WordWrapState", 1);
    COptionPropSheet sheet(settings, messages);
    QString offered;
    sheet.SetFolderChooser([&](QWidget*, const QString& start) {
        offered = start;
        return QString(); // cancelled
    });
    sheet.GetTabs()->setCurrentIndex(1);
    EXPECT_EQ(sheet.GetTabStop()->value(), 5);
    EXPECT_EQ(sheet.GetNewLineEnds()->currentData().toString(), QStringLiteral("LF"));
    sheet.OnBrowse();
    EXPECT_EQ(offered, QStringLiteral("/home/ann/docs"));
    EXPECT_EQ(sheet.GetDirectoryEdit()->text(), QStringLiteral("/home/ann/docs"));
    sheet.SetFolderChooser([](QWidget*, const QString&) { return QStringLiteral("/srv/work"); });
    sheet.OnBrowse();
    sheet.GetTabStop()->setValue(8);
    sheet.GetNewLineEnds()->setCurrentIndex(1);
    sheet.accept();
    EXPECT_EQ(settings.ReadString(u"Settings", u"NewLineEnds", u""), u"CRLF");
    EXPECT_FALSE(COptionPropSheet::NewDocumentsUseLineFeeds(settings));
    EXPECT_EQ(settings.ReadString(u"Settings", u"DefaultDir", u""), u"/srv/work");
    EXPECT_EQ(settings.ReadInt(u"Settings", u"TabStop", 0), 8);
    EXPECT_EQ(settings.ReadInt(u"Settings", u"WordWrapState", 0), 1);
}

TEST(SendToShortcut, WritesOneEntryAndAsksBeforeReplacingAFileItDidNotWrite)
{
    RecordingMessageBox messages;
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("applications"));
    const QString path = folder + QStringLiteral("/tavro.desktop");

    // Twice: the folder is made the first time, the entry replaced the second.
    EXPECT_EQ(CSendToShortcut::Create(folder, QStringLiteral("/opt/tavro/bin/tavro"), messages),
              CSendToShortcut::Result::Written);
    EXPECT_EQ(CSendToShortcut::Create(folder, QStringLiteral("/usr/bin/tavro"), messages),
              CSendToShortcut::Result::Written);
    EXPECT_TRUE(messages.texts.isEmpty());
    const QByteArray entry = AppHarness::Read(path);
    EXPECT_TRUE(entry.startsWith("[Desktop Entry]\n"));
    EXPECT_TRUE(entry.contains("\nExec=/usr/bin/tavro %F\n")) << entry.toStdString();
    EXPECT_EQ(QDir(folder).entryList(QDir::Files).size(), 1);

    {
        QFile other(path);
        ASSERT_TRUE(other.open(QIODevice::WriteOnly));
        other.write("[Desktop Entry]\nName=Mine\n");
    }
    messages.answers = {IMessageBox::Answer::No};
    EXPECT_EQ(CSendToShortcut::Create(folder, QStringLiteral("/usr/bin/tavro"), messages),
              CSendToShortcut::Result::Declined);
    EXPECT_EQ(AppHarness::Read(path), QByteArray("[Desktop Entry]\nName=Mine\n"));
    ASSERT_EQ(messages.texts.size(), 1);
    messages.answers = {IMessageBox::Answer::Yes};
    EXPECT_EQ(CSendToShortcut::Create(folder, QStringLiteral("/usr/bin/tavro"), messages),
              CSendToShortcut::Result::Written);
    EXPECT_TRUE(CSendToShortcut::IsOurs(path));
}

TEST(SendToShortcut, ProgramPathsWithSpecialCharactersAreQuotedForTheExecLine)
{
    EXPECT_EQ(CSendToShortcut::QuoteExecArgument(QStringLiteral("/usr/bin/tavro")), QStringLiteral("/usr/bin/tavro"));
    EXPECT_EQ(CSendToShortcut::QuoteExecArgument(QStringLiteral("/home/a b/tavro")),
              QStringLiteral("\"/home/a b/tavro\""));
    // A dollar is escaped for the Exec rules, and that backslash again as a string escape.
    EXPECT_EQ(CSendToShortcut::QuoteExecArgument(QStringLiteral("/x$y/100%/t")),
              QStringLiteral("\"/x\\\\$y/100%%/t\""));
}
