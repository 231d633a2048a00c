#include "AppTestSupport.h"

#include "app/CFileProgress.h"
#include "app/CTavroDoc.h"

#include <QDir>
#include <QProgressDialog>
#include <QPushButton>

#include <gtest/gtest.h>

namespace {

QByteArray Lines(char letter, int count)
{
    QByteArray bytes;
    for (int i = 0; i < count; ++i)
        bytes += QByteArray(60, letter) + '\n';
    return bytes;
}

std::u16string Text(CTavroDoc& doc)
{
    std::u16string text;
    doc.GetEdit().GetAllText(text);
    return text;
}

} // namespace

// Files above the threshold are read and written under a progress window;
// Cancel leaves the documents and the files as they were, and below the
// threshold nothing shows.
TEST(FileProgress, BigFilesShowProgressAndCancelLeavesEverythingAsItWas)
{
    AppHarness h;
    h.app->FileProgress().SetThreshold(4096);
    QStringList shown;
    bool cancel = false;
    h.app->FileProgress().SetShownHook([&](QProgressDialog& dialog) {
        EXPECT_TRUE(dialog.isVisible());
        shown.append(dialog.labelText());
        auto* button = dialog.findChild<QPushButton*>();
        ASSERT_NE(button, nullptr);
        if (cancel)
            button->click();
    });
    // More than one piece of the reader, so the work is stepped through.
    const QByteArray bigA = Lines('a', 12000);
    const QByteArray bigB = Lines('b', 12000);
    const QString a = h.Write(QStringLiteral("a.txt"), bigA);
    const QString b = h.Write(QStringLiteral("b.txt"), bigB);
    const QString small = h.Write(QStringLiteral("small.txt"), "small\n");

    // Each big file named on the command line gets its own progress; the small one none.
    ASSERT_TRUE(h.Start({a, small, b}));
    ASSERT_EQ(h.app->Documents().size(), 3);
    ASSERT_EQ(shown.size(), 2);
    EXPECT_TRUE(shown[0].contains(QStringLiteral("a.txt")));
    EXPECT_TRUE(shown[1].contains(QStringLiteral("b.txt")));
    CTavroDoc& docA = *h.app->Documents()[0];
    EXPECT_EQ(Text(docA), QString::fromLatin1(bigA).toStdU16String());
    EXPECT_EQ(Text(*h.app->Documents()[1]), u"small\n");
    EXPECT_FALSE(docA.IsModified());
    EXPECT_TRUE(h.messages.texts.isEmpty()) << h.messages.texts.join(QLatin1Char('|')).toStdString();

    // Cancelled open: no document, no message, and the recent list keeps the file.
    const QString c = h.Write(QStringLiteral("c.txt"), Lines('c', 12000));
    h.app->AddToRecentFileList(c);
    cancel = true;
    h.app->OpenRecentFile(0);
    EXPECT_EQ(shown.size(), 3);
    EXPECT_EQ(h.app->Documents().size(), 3);
    EXPECT_EQ(h.app->FindDocument(c), nullptr);
    EXPECT_TRUE(h.app->RecentFiles().contains(c));

    // Cancelled reload: the old content stays.
    h.Write(QStringLiteral("a.txt"), Lines('z', 12000));
    EXPECT_FALSE(docA.Reload());
    EXPECT_EQ(Text(docA), QString::fromLatin1(bigA).toStdU16String());

    // Cancelled save: the file as it was, no temporary left, the document still modified.
    const QByteArray onDisk = AppHarness::Read(b);
    CTavroDoc& docB = *h.app->Documents()[2];
    docB.GetEdit().InsertTextAt(0, 0, u"new ");
    ASSERT_TRUE(docB.IsModified());
    EXPECT_FALSE(docB.OnSaveDocument(b));
    EXPECT_EQ(AppHarness::Read(b), onDisk);
    EXPECT_TRUE(docB.IsModified());
    const QStringList names = QDir(h.dir.path()).entryList(QDir::Files | QDir::Hidden);
    EXPECT_EQ(names, (QStringList{QStringLiteral("a.txt"), QStringLiteral("b.txt"), QStringLiteral("c.txt"),
                                   QStringLiteral("small.txt")}));
    EXPECT_TRUE(h.messages.texts.isEmpty()) << h.messages.texts.join(QLatin1Char('|')).toStdString();

    // Saved to the end, with progress.
    cancel = false;
    const qsizetype before = shown.size();
    EXPECT_TRUE(docB.OnSaveDocument(b));
    EXPECT_EQ(shown.size(), before + 1);
    EXPECT_TRUE(shown.last().contains(QStringLiteral("b.txt")));
    EXPECT_EQ(AppHarness::Read(b), "new " + bigB);
    EXPECT_FALSE(docB.IsModified());

    // Below the threshold: no window for the small document's save either.
    h.app->Documents()[1]->GetEdit().InsertTextAt(0, 0, u"x");
    EXPECT_TRUE(h.app->Documents()[1]->OnSaveDocument(small));
    EXPECT_EQ(shown.size(), before + 1);
    EXPECT_EQ(AppHarness::Read(small), "xsmall\n");
}
