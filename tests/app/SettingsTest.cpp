#include "AppTestSupport.h"

#include "app/CMainFrame.h"
#include "app/CTavroDoc.h"
#include "platform/qt/QtSettingsStore.h"

#include <QStatusBar>

#include <gtest/gtest.h>

namespace {

// Starts an application on an INI file with the given bytes.
struct IniHarness
{
    QTemporaryDir dir;
    QString ini = dir.filePath(QStringLiteral("tavro.conf"));
    RecordingMessageBox messages;
    ScriptedFileChooser files;

    explicit IniHarness(const QByteArray& bytes)
    {
        QFile file(ini);
        file.open(QIODevice::WriteOnly);
        file.write(bytes);
    }
};

} // namespace

TEST(Settings, CorruptSettingsFileNeverStopsStartUp)
{
    QByteArray junk("\xff\xfe\x00garbage\n[settings\ncx=wide\ncy=\x01\x02\n[[[Recent File List]]\nFile1=\n=\n");
    for (int i = 0; i < 256; ++i)
        junk.append(static_cast<char>((i * 37) & 0xff));
    IniHarness h(junk);
    QtSettingsStore store(h.ini);
    CTavroApp app(store, h.messages, h.files);
    ASSERT_TRUE(app.InitInstance(CTavroCommandLine::Parse({QStringLiteral("tavro")}, h.dir.path()), false));
    EXPECT_EQ(app.Documents().size(), 1);
    EXPECT_TRUE(h.messages.texts.isEmpty());
    EXPECT_EQ(app.MainFrame()->size(), QSize(730, 500));
    app.ExitInstance(); // writing back over a damaged file is no error either
}

TEST(Settings, DamagedValuesGiveDefaults)
{
    IniHarness h("[settings]\ncx=-20\ncy=99999999\nx=left\ny=\n[bar%20state]\nMainFrame=!!notbase64!!\nStatusBar=7\n"
                 "[recent%20file%20list]\nFile1=\nFile2=/nowhere/x.txt\nFile3=/nowhere/x.txt\n");
    QtSettingsStore store(h.ini);
    CTavroApp app(store, h.messages, h.files);
    ASSERT_TRUE(app.InitInstance(CTavroCommandLine::Parse({QStringLiteral("tavro")}, h.dir.path()), false));
    EXPECT_EQ(app.MainFrame()->size(), QSize(730, 500));
    EXPECT_FALSE(app.MainFrame()->statusBar()->isHidden());
    EXPECT_EQ(app.RecentFiles(), QStringList{QStringLiteral("/nowhere/x.txt")});
}

TEST(Settings, UnreadableSettingsFileGivesDefaults)
{
    IniHarness h("[settings]\ncx=900\n");
    QFile::setPermissions(h.ini, QFileDevice::Permissions());
    QFile probe(h.ini);
    if (probe.open(QIODevice::ReadOnly))
        GTEST_SKIP() << "running with rights that read any file";
    QtSettingsStore store(h.ini);
    CTavroApp app(store, h.messages, h.files);
    ASSERT_TRUE(app.InitInstance(CTavroCommandLine::Parse({QStringLiteral("tavro")}, h.dir.path()), false));
    EXPECT_EQ(app.MainFrame()->size(), QSize(730, 500));
}

TEST(Settings, ExitWritesTheLanguagesThatWereUsed)
{
    IniHarness h("");
    QtSettingsStore store(h.ini);
    {
        CTavroApp app(store, h.messages, h.files);
        const QString path = h.dir.filePath(QStringLiteral("x.sql"));
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        file.write("select 1;\n");
        file.close();
        ASSERT_TRUE(app.InitInstance(CTavroCommandLine::Parse({QStringLiteral("tavro"), path}, h.dir.path()), false));
        app.ExitInstance();
    }
    ASSERT_TRUE(store.Sync());
    QSettings written(h.ini, QSettings::IniFormat);
    bool sqlSaved = false;
    for (const QString& group : written.childGroups())
        sqlSaved = sqlSaved || group.compare(QStringLiteral("sql"), Qt::CaseInsensitive) == 0;
    EXPECT_TRUE(sqlSaved) << written.childGroups().join(QLatin1Char(',')).toStdString();
}
