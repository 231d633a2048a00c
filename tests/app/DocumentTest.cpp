#include "AppTestSupport.h"

#include "app/CChildFrame.h"
#include "app/CMainFrame.h"
#include "app/CTavroDoc.h"
#include "view/SECEditSplitterWindow.h"
#include "view/SECEditView.h"

#include <QCoreApplication>
#include <QEvent>
#include <QFileInfo>

#include <gtest/gtest.h>

namespace {

// Lets closed windows and their documents go.
void Drain()
{
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
    }
}

QStringList Titles(const CTavroApp& app)
{
    QStringList titles;
    for (CTavroDoc* doc : app.Documents())
        titles.append(doc->GetTitle());
    return titles;
}

void Type(CTavroDoc* doc, std::u16string_view text)
{
    ASSERT_TRUE(doc->GetEdit().InsertTextAt(0, 0, text));
    ASSERT_TRUE(doc->IsModified());
}

} // namespace

TEST(Document, NewDocumentsAreNumberedFromTavro1)
{
    AppHarness h;
    ASSERT_TRUE(h.Start()); // no file named: one new document
    ASSERT_EQ(Titles(*h.app), QStringList{QStringLiteral("Tavro1")});
    CTavroDoc* second = h.app->OnFileNew();
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(Titles(*h.app), (QStringList{QStringLiteral("Tavro1"), QStringLiteral("Tavro2")}));
    EXPECT_EQ(second->GetLanguageName(), QStringLiteral("Default"));
    EXPECT_FALSE(second->IsModified());
    EXPECT_EQ(h.app->MainFrame()->windowTitle(), QStringLiteral("Tavro - Tavro2[*]"));
}

TEST(Document, NewDocumentsBreakLinesAsTheOptionSaysAndFilesKeepTheirOwn)
{
    AppHarness h;
    const QString crlf = h.Write(QStringLiteral("crlf.txt"), "one\r\ntwo");
    const QString oneLine = h.Write(QStringLiteral("one.txt"), "single");
    ASSERT_TRUE(h.Start({crlf, oneLine}));
    const auto lineEnd = [](CTavroDoc* doc) { return doc->GetEdit().GetLineEndString(); };
    EXPECT_EQ(lineEnd(h.app->OnFileNew()), u"\n"); // the default on this platform
    EXPECT_EQ(lineEnd(h.app->Documents()[0]), u"\r\n");
    EXPECT_EQ(lineEnd(h.app->Documents()[1]), u"\n"); // no break of its own to keep

    h.settings.WriteString(u"Settings", u"NewLineEnds", u"CRLF");
    EXPECT_EQ(lineEnd(h.app->OnFileNew()), u"\r\n"); // what Enter and the insertions put in
    h.settings.WriteString(u"Settings", u"NewLineEnds", u"nonsense");
    EXPECT_EQ(lineEnd(h.app->OnFileNew()), u"\n");
}

TEST(Document, CommandLineOpensEachFileAndReportsEachMissingOneOnce)
{
    AppHarness h;
    const QString a = h.Write(QStringLiteral("a.cpp"), "int main() {}\n");
    const QString b = h.Write(QStringLiteral("notes.txt"), "hello\n");
    ASSERT_TRUE(h.Start({QStringLiteral("a.cpp"), QStringLiteral("missing1.txt"), b, QStringLiteral("missing2.h")}));

    ASSERT_EQ(h.app->Documents().size(), 2);
    EXPECT_EQ(h.app->Documents()[0]->GetPathName(), a);
    EXPECT_EQ(h.app->Documents()[0]->GetTitle(), QStringLiteral("a.cpp"));
    EXPECT_EQ(h.app->Documents()[0]->GetLanguageName(), QStringLiteral("C++"));
    EXPECT_EQ(h.app->Documents()[1]->GetTitle(), QStringLiteral("notes.txt"));
    std::u16string text;
    h.app->Documents()[1]->GetEdit().GetAllText(text);
    EXPECT_EQ(text, u"hello\n");

    ASSERT_EQ(h.messages.texts.size(), 2) << h.messages.texts.join(QLatin1Char('|')).toStdString();
    EXPECT_TRUE(h.messages.texts[0].contains(QStringLiteral("missing1.txt")));
    EXPECT_TRUE(h.messages.texts[1].contains(QStringLiteral("missing2.h")));
    EXPECT_EQ(h.app->MainFrame()->CurrentMenuId(), 129);
}

TEST(Document, StartsWithoutDocumentsWhenNoNamedFileOpens)
{
    AppHarness h;
    QDir(h.dir.path()).mkdir(QStringLiteral("folder"));
    ASSERT_TRUE(h.Start({QStringLiteral("gone.txt"), QStringLiteral("folder")}));
    EXPECT_EQ(h.messages.texts.size(), 2) << h.messages.texts.join(QLatin1Char('|')).toStdString();
    EXPECT_TRUE(h.app->Documents().isEmpty());
    EXPECT_EQ(h.app->MainFrame()->CurrentMenuId(), 128);
}

TEST(Document, LanguageFollowsTheLastExtensionInLowerCase)
{
    AppHarness h;
    const struct
    {
        const char* name;
        const char* language;
    } cases[] = {
        {"main.CPP", "C++"},      {"main.cpp.bak", "Default"}, {"page.HTML", "HTML"}, {"App.Java", "JScript"},
        {"decl.hpp", "Default"},  {"readme.TXT", "Default"},    {"Makefile", "Default"}, {"q.Sql", "SQL"},
        {"x.vbs", "VBScript3"},   {"m.dsm", "VBScript1"},      {"f.frm", "VB"},       {"t.xsl", "XSL"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(h.app->LanguageForPath(QString::fromLatin1(c.name)), QString::fromLatin1(c.language)) << c.name;
    EXPECT_EQ(h.app->ExtLanguageMap().size(), 20);
    EXPECT_FALSE(h.app->ExtLanguageMap().values().contains(QStringLiteral("VBScript2")));

    // The document selects it before reading the text.
    ASSERT_TRUE(h.Start({}));
    for (const auto& c : cases) {
        const QString path = h.Write(QString::fromLatin1(c.name), "x\n");
        CTavroDoc* doc = h.app->OpenDocumentFile(path);
        ASSERT_NE(doc, nullptr) << c.name;
        EXPECT_EQ(doc->GetLanguageName(), QString::fromLatin1(c.language)) << c.name;
    }
}

TEST(Document, OpeningAnOpenFileActivatesItsWindow)
{
    AppHarness h;
    const QString a = h.Write(QStringLiteral("a.cpp"), "a\n");
    h.Write(QStringLiteral("b.cpp"), "b\n");
    ASSERT_TRUE(h.Start({QStringLiteral("a.cpp"), QStringLiteral("b.cpp")}));
    CTavroDoc* first = h.app->Documents()[0];
    EXPECT_EQ(h.app->OpenDocumentFile(h.dir.path() + QStringLiteral("/./sub/../a.cpp")), first);
    EXPECT_EQ(h.app->Documents().size(), 2);
    EXPECT_EQ(h.app->MainFrame()->ActiveDocument(), first);
    EXPECT_EQ(QFileInfo(a).canonicalFilePath(), QFileInfo(first->GetPathName()).canonicalFilePath());
}

TEST(Document, SaveAsToAnotherExtensionKeepsTheLanguage)
{
    AppHarness h;
    h.Write(QStringLiteral("prog.cpp"), "int x;\n");
    ASSERT_TRUE(h.Start({QStringLiteral("prog.cpp")}));
    CTavroDoc* doc = h.app->Documents()[0];
    Type(doc, u"// top\n");

    const QString target = h.Path(QStringLiteral("copy.txt"));
    h.files.names = {target};
    ASSERT_TRUE(h.app->DoSave(doc, true));
    EXPECT_EQ(h.files.lastTitle, QStringLiteral("Save As"));
    EXPECT_EQ(h.files.lastSuffix, QStringLiteral("asc"));
    EXPECT_TRUE(h.files.lastFilter.startsWith(QStringLiteral("Tavro Files (*.asc)")));
    EXPECT_EQ(doc->GetLanguageName(), QStringLiteral("C++"));
    EXPECT_EQ(doc->GetPathName(), target);
    EXPECT_EQ(doc->GetTitle(), QStringLiteral("copy.txt"));
    EXPECT_FALSE(doc->IsModified());
    EXPECT_EQ(AppHarness::Read(target), QByteArray("// top\nint x;\n"));
    EXPECT_EQ(AppHarness::Read(h.Path(QStringLiteral("prog.cpp"))), QByteArray("int x;\n"));
    EXPECT_EQ(h.app->RecentFiles().value(0), target);
}

TEST(Document, SavingANewDocumentAsksForANameAndCancelSavesNothing)
{
    AppHarness h;
    ASSERT_TRUE(h.Start());
    CTavroDoc* doc = h.app->Documents()[0];
    Type(doc, u"text");
    EXPECT_FALSE(h.app->DoFileSave(doc)); // dialog cancelled
    EXPECT_TRUE(doc->IsModified());
    EXPECT_EQ(h.files.lastProposed, QStringLiteral("Tavro1.asc"));

    h.files.names = {h.Path(QStringLiteral("saved.asc"))};
    EXPECT_TRUE(h.app->DoFileSave(doc));
    EXPECT_EQ(doc->GetTitle(), QStringLiteral("saved.asc"));
    EXPECT_EQ(AppHarness::Read(h.Path(QStringLiteral("saved.asc"))), QByteArray("text"));
}

TEST(Document, ClosingAModifiedDocumentAsksYesNoCancel)
{
    AppHarness h;
    const QString path = h.Write(QStringLiteral("a.txt"), "old\n");
    ASSERT_TRUE(h.Start({QStringLiteral("a.txt")}));

    // Cancel: nothing happens.
    CTavroDoc* doc = h.app->Documents()[0];
    Type(doc, u"new ");
    h.messages.answers = {IMessageBox::Answer::Cancel};
    EXPECT_FALSE(h.app->CloseDocument(doc));
    Drain();
    ASSERT_EQ(h.app->Documents().size(), 1);
    EXPECT_TRUE(doc->IsModified());
    ASSERT_EQ(h.messages.texts.size(), 1);
    EXPECT_TRUE(h.messages.texts[0].contains(QStringLiteral("a.txt")));
    EXPECT_EQ(h.messages.buttons.back(), IMessageBox::Buttons::YesNoCancel);

    // Cancel through the window's own close button as well.
    h.messages.answers = {IMessageBox::Answer::Cancel};
    EXPECT_FALSE(doc->GetFrames()[0]->parentWidget()->close());
    Drain();
    EXPECT_EQ(h.app->Documents().size(), 1);

    // No: closes and leaves the file alone.
    h.messages.answers = {IMessageBox::Answer::No};
    EXPECT_TRUE(h.app->CloseDocument(doc));
    Drain();
    EXPECT_TRUE(h.app->Documents().isEmpty());
    EXPECT_EQ(AppHarness::Read(path), QByteArray("old\n"));
    EXPECT_EQ(h.app->MainFrame()->CurrentMenuId(), 128);

    // Yes: saves, then closes.
    doc = h.app->OpenDocumentFile(path);
    ASSERT_NE(doc, nullptr);
    Type(doc, u"new ");
    h.messages.answers = {IMessageBox::Answer::Yes};
    EXPECT_TRUE(h.app->CloseDocument(doc));
    Drain();
    EXPECT_TRUE(h.app->Documents().isEmpty());
    EXPECT_EQ(AppHarness::Read(path), QByteArray("new old\n"));
}

TEST(Document, UnchangedOrCleanAgainDocumentsCloseWithoutAsking)
{
    AppHarness h;
    h.Write(QStringLiteral("a.txt"), "abc\n");
    ASSERT_TRUE(h.Start({QStringLiteral("a.txt")}));
    CTavroDoc* doc = h.app->Documents()[0];
    Type(doc, u"x");
    ASSERT_NE(doc->GetEdit().Undo(), nullptr);
    EXPECT_FALSE(doc->IsModified());
    EXPECT_TRUE(h.app->CloseDocument(doc));
    EXPECT_TRUE(h.messages.texts.isEmpty());
}

TEST(Document, CancelOnExitKeepsTheProgramRunning)
{
    AppHarness h;
    ASSERT_TRUE(h.Start());
    CMainFrame* frame = h.app->MainFrame();
    frame->show();
    Type(h.app->Documents()[0], u"unsaved");
    h.messages.answers = {IMessageBox::Answer::Cancel};
    EXPECT_FALSE(frame->close());
    EXPECT_TRUE(frame->isVisible());
    EXPECT_EQ(h.app->Documents().size(), 1);

    // Yes with a cancelled Save As dialog also keeps everything.
    h.messages.answers = {IMessageBox::Answer::Yes};
    EXPECT_FALSE(frame->close());
    EXPECT_EQ(h.app->Documents().size(), 1);

    h.messages.answers = {IMessageBox::Answer::No};
    EXPECT_TRUE(frame->close());
    Drain();
    EXPECT_TRUE(h.app->Documents().isEmpty());
}

TEST(Document, RecentFilesKeepTheLastFourNewestFirst)
{
    AppHarness h;
    ASSERT_TRUE(h.Start());
    QStringList paths;
    for (int i = 1; i <= 5; ++i) {
        paths.append(h.Write(QStringLiteral("f%1.txt").arg(i), "x"));
        ASSERT_NE(h.app->OpenDocumentFile(paths.back()), nullptr);
    }
    const QStringList expected{paths[4], paths[3], paths[2], paths[1]};
    EXPECT_EQ(h.app->RecentFiles(), expected);

    // Activating an open one changes nothing; opening one again after
    // closing it moves it to the top without a duplicate.
    CTavroDoc* third = h.app->OpenDocumentFile(paths[2]);
    EXPECT_EQ(h.app->RecentFiles(), expected);
    ASSERT_TRUE(h.app->CloseDocument(third));
    Drain();
    h.app->OpenDocumentFile(paths[2]);
    EXPECT_EQ(h.app->RecentFiles(), (QStringList{paths[2], paths[4], paths[3], paths[1]}));

    h.app->ExitInstance();
    EXPECT_EQ(QString::fromStdU16String(h.settings.ReadString(u"Recent File List", u"File1", u"")), paths[2]);
    EXPECT_EQ(QString::fromStdU16String(h.settings.ReadString(u"recent file list", u"File4", u"")), paths[1]);

    // The next run reads them back, and a file gone from disk leaves the list when chosen.
    AppHarness next;
    next.settings = h.settings;
    ASSERT_TRUE(next.Start());
    EXPECT_EQ(next.app->RecentFiles().size(), 4);
    QFile::remove(paths[4]);
    next.app->OpenRecentFile(1);
    EXPECT_EQ(next.app->RecentFiles(), (QStringList{paths[2], paths[3], paths[1]}));
}

TEST(Document, OpenCommandUsesTheFilterTitleAndDefaultDir)
{
    AppHarness h;
    h.settings.WriteString(u"Settings", u"DefaultDir", h.dir.path().toStdU16String());
    ASSERT_TRUE(h.Start());
    const QString path = h.Write(QStringLiteral("page.htm"), "<p>\n");
    h.files.names = {path};
    h.app->OnFileOpen();
    EXPECT_EQ(h.files.lastTitle, QStringLiteral("Open File"));
    EXPECT_EQ(h.files.lastFolder, h.dir.path());
    const QStringList filters = h.files.lastFilter.split(QStringLiteral(";;"));
    ASSERT_EQ(filters.size(), 11);
    EXPECT_EQ(filters.first(), QStringLiteral("ASCII Files (*.asc)"));
    EXPECT_EQ(filters[2], QStringLiteral("C++ Implementation (.c;.cpp;.cxx;.tli) (*.c *.cpp *.cxx *.tli)"));
    EXPECT_TRUE(filters.last().startsWith(QStringLiteral("All Files (*.*)")));
    ASSERT_EQ(h.app->Documents().size(), 2);
    EXPECT_EQ(h.app->Documents()[1]->GetLanguageName(), QStringLiteral("HTML"));

    // A name that does not exist asks before it is created.
    const QString fresh = h.Path(QStringLiteral("fresh.sql"));
    h.files.names = {fresh};
    h.messages.answers = {IMessageBox::Answer::No};
    h.app->OnFileOpen();
    EXPECT_FALSE(QFileInfo::exists(fresh));
    h.files.names = {fresh};
    h.messages.answers = {IMessageBox::Answer::Yes};
    h.app->OnFileOpen();
    EXPECT_TRUE(QFileInfo::exists(fresh));
    ASSERT_EQ(h.app->Documents().size(), 3);
    EXPECT_EQ(h.app->Documents()[2]->GetLanguageName(), QStringLiteral("SQL"));
}

TEST(Document, NewWindowShowsTheSameDocumentAndOnlyTheLastWindowAsks)
{
    AppHarness h;
    ASSERT_TRUE(h.Start());
    CTavroDoc* doc = h.app->Documents()[0];
    CChildFrame* second = h.app->CreateFrame(doc);
    ASSERT_EQ(doc->GetFrames().size(), 2);
    EXPECT_EQ(doc->GetFrames()[0]->FrameTitle(), QStringLiteral("Tavro1:1"));
    EXPECT_EQ(second->FrameTitle(), QStringLiteral("Tavro1:2"));

    Type(doc, u"x");
    EXPECT_TRUE(second->parentWidget()->close());
    Drain();
    EXPECT_TRUE(h.messages.texts.isEmpty());
    ASSERT_EQ(doc->GetFrames().size(), 1);
    EXPECT_EQ(doc->GetFrames()[0]->FrameTitle(), QStringLiteral("Tavro1"));
    EXPECT_EQ(doc->GetFrames()[0]->windowTitle(), QStringLiteral("Tavro1[*]"));
    EXPECT_TRUE(doc->GetFrames()[0]->isWindowModified());
}

TEST(Document, EveryPaneOfEveryWindowShowsTheDocumentsEngine)
{
    AppHarness h;
    ASSERT_TRUE(h.Start());
    CTavroDoc* doc = h.app->Documents()[0];
    CChildFrame* second = h.app->CreateFrame(doc);
    for (CChildFrame* frame : doc->GetFrames()) {
        auto* split = qobject_cast<SECEditSplitterWindow*>(frame->GetPaneHost());
        ASSERT_NE(split, nullptr);
        ASSERT_EQ(split->GetRowCount(), 1);
        EXPECT_EQ(split->GetPane(0, 0)->GetEdit(), &doc->GetEdit());
    }
    h.app->MainFrame()->resize(800, 600);
    h.app->MainFrame()->show();
    QCoreApplication::processEvents();
    auto* split = qobject_cast<SECEditSplitterWindow*>(second->GetPaneHost());
    ASSERT_GT(split->height(), 100);
    ASSERT_TRUE(split->SplitRow(split->height() / 2));
    ASSERT_TRUE(split->SplitColumn(split->width() / 2));
    EXPECT_EQ(split->GetPane(1, 1)->GetEdit(), &doc->GetEdit());
}
