#include "AppTestSupport.h"

#include "app/CChildFrame.h"
#include "app/CFileWatch.h"
#include "app/CRecoveryJournal.h"
#include "app/CTavroDoc.h"
#include "engine/SECEditReplaceCommand.h"
#include "engine/SECEditTextStore.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QEvent>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

std::u16string Text(const CMyEdit& edit)
{
    std::u16string text;
    edit.GetAllText(text);
    return text;
}

// Lets closed windows and their documents go.
void Drain()
{
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
    }
}

QStringList JournalFiles(const QString& folder)
{
    QStringList files;
    QDirIterator it(folder, {QStringLiteral("*.tjl")}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        files << it.next();
    return files;
}

// What another program finds after this one died: the journal in a folder
// whose lock is gone.
struct Survivor
{
    QTemporaryDir dir;
    CRecoveryJournal journal{dir.filePath(QStringLiteral("recovery"))};

    void Adopt(const QString& journalFile, const QString& session = QStringLiteral("dead"))
    {
        const QString folder = dir.filePath(QStringLiteral("recovery/") + session);
        QDir().mkpath(folder);
        QFile::remove(folder + QStringLiteral("/1.tjl"));
        ASSERT_TRUE(QFile::copy(journalFile, folder + QStringLiteral("/1.tjl")));
    }
    CRecoveryJournal::Recovered Recover(CMyEdit& into)
    {
        const auto orphans = journal.FindOrphans();
        EXPECT_EQ(orphans.size(), 1);
        if (orphans.isEmpty())
            return {};
        auto result = journal.Recover(orphans[0], into);
        journal.ReleaseOrphans();
        return result;
    }
};

// Random edits of the kinds that make offsets tricky: line ends of all three
// kinds, tabs, surrogate pairs, long lines the engine breaks, undo and redo.
void RandomEdits(CMyEdit& edit, std::mt19937& random, int count)
{
    static const std::u16string pieces[] = {u"a", u"\r\n", u"\n", u"\r", u"\t", u"\U0001F600", u"word ",
                                            std::u16string(2100, u'x')};
    for (int i = 0; i < count; ++i) {
        const std::int32_t lines = edit.GetLineCount();
        const std::int32_t line = std::int32_t(random() % lines);
        const std::int32_t column = std::int32_t(random() % (edit.GetLineLength(line) + 1));
        switch (random() % 6) {
        case 0:
        case 1: edit.InsertTextAt(line, column, pieces[random() % std::size(pieces)]); break;
        case 2: {
            const std::int32_t endLine = std::min(lines - 1, line + std::int32_t(random() % 2));
            const std::int32_t endColumn = std::int32_t(random() % (edit.GetLineLength(endLine) + 1));
            if (endLine > line || endColumn > column)
                edit.DeleteText(line, column, endLine, endColumn);
            break;
        }
        case 3: edit.Undo(); break;
        case 4: {
            // Replace All's way: every "a" at once, in one command.
            std::u16string text;
            edit.GetAllText(text);
            auto* command = new SECEditReplaceCommand(&edit);
            for (std::size_t at = text.find(u'a'); at != std::u16string::npos; at = text.find(u'a', at + 1)) {
                SECEditTextPos pos;
                edit.GetTextStore()->OffsetToPosition(std::ptrdiff_t(at), pos.line, pos.column);
                command->Add(std::ptrdiff_t(at), pos, u"a", u"bc");
            }
            if (command->GetCount() == 0 || !edit.ExecuteCommand(command))
                command->Release();
            break;
        }
        default: edit.Redo(); break;
        }
    }
}

} // namespace

TEST(Recovery, EveryEditSequenceComesBackExactly)
{
    AppHarness h;
    ASSERT_TRUE(h.Start());
    const QString file = h.Write(QStringLiteral("base.txt"), "first\r\nsecond\nthird\r" + QByteArray(2500, 'y')
                                                                 + "\r\nlast");
    for (unsigned seed = 1; seed <= 40; ++seed) {
        SCOPED_TRACE(seed);
        std::mt19937 random(seed);
        CTavroDoc* doc = seed % 2 ? h.app->OpenDocumentFile(file) : h.app->OnFileNew();
        ASSERT_NE(doc, nullptr);
        CMyEdit& edit = doc->GetEdit();
        RandomEdits(edit, random, 25);
        doc->Journal()->WriteNow(); // more records come after the first write
        RandomEdits(edit, random, 25);
        if (!doc->IsModified())
            edit.InsertTextAt(0, 0, u"!");
        doc->Journal()->WriteNow();
        h.app->Journal()->WaitForWrites();

        Survivor survivor;
        survivor.Adopt(doc->Journal()->FilePath());
        CMyEdit recovered;
        recovered.ResetContent();
        const auto result = survivor.Recover(recovered);
        ASSERT_TRUE(result.ok) << result.problem.toStdString();
        EXPECT_TRUE(result.problem.isEmpty());
        EXPECT_EQ(Text(recovered), Text(edit));
        EXPECT_EQ(recovered.GetEncoding(), edit.GetEncoding());
        EXPECT_TRUE(recovered.IsModified());
        EXPECT_EQ(result.documentPath, doc->GetPathName());

        for (CChildFrame* frame : doc->GetFrames())
            frame->CloseWithoutAsking();
        QCoreApplication::processEvents();
    }
}

TEST(Recovery, DamagedOrOutdatedJournalsGiveWhatCanBeProven)
{
    AppHarness h;
    ASSERT_TRUE(h.Start());
    const QString file = h.Write(QStringLiteral("notes.txt"), "alpha\nbeta\n");
    CTavroDoc* doc = h.app->OpenDocumentFile(file);
    ASSERT_NE(doc, nullptr);
    // Three writes: the texts a cut journal may come back as.
    std::vector<std::u16string> written{Text(doc->GetEdit())};
    for (const char16_t* piece : {u"one ", u"two\r\n", u"three\U0001F600"}) {
        doc->GetEdit().InsertTextAt(1, 2, piece);
        doc->Journal()->WriteNow();
        written.push_back(Text(doc->GetEdit()));
    }
    h.app->Journal()->WaitForWrites();
    QFile journalFile(doc->Journal()->FilePath());
    ASSERT_TRUE(journalFile.open(QIODevice::ReadOnly));
    const QByteArray bytes = journalFile.readAll();
    journalFile.close();

    // Cut anywhere, or with a byte changed anywhere: never a crash, never a
    // text that was not there, and a word about what is missing.
    Survivor survivor;
    const QString damaged = survivor.dir.filePath(QStringLiteral("damaged.tjl"));
    for (qsizetype at = 0; at < bytes.size(); ++at) {
        for (int flip = 0; flip < 2; ++flip) {
            if (at % (flip ? 11 : 3) != 0)
                continue; // enough places in every kind of record, at a test's pace
            QByteArray copy = flip ? bytes : bytes.left(at);
            if (flip)
                copy[at] = char(copy[at] ^ 0x5A);
            QFile out(damaged);
            ASSERT_TRUE(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
            out.write(copy);
            out.close();
            survivor.Adopt(damaged);
            CMyEdit recovered;
            recovered.ResetContent();
            const auto result = survivor.Recover(recovered);
            if (!result.ok) {
                EXPECT_FALSE(result.problem.isEmpty());
                continue;
            }
            const std::u16string text = Text(recovered);
            EXPECT_NE(std::find(written.begin(), written.end(), text), written.end()) << at;
        }
    }

    // The file touched but not changed: the hash proves it is the same text.
    QFile base(file);
    ASSERT_TRUE(base.open(QIODevice::ReadWrite | QIODevice::Append));
    base.setFileTime(QDateTime::currentDateTime().addSecs(60), QFileDevice::FileModificationTime);
    base.close();
    survivor.Adopt(doc->Journal()->FilePath());
    {
        CMyEdit recovered;
        recovered.ResetContent();
        const auto result = survivor.Recover(recovered);
        EXPECT_TRUE(result.ok);
        EXPECT_EQ(Text(recovered), written.back());
    }
    // Changed by someone else: the changes cannot be placed, and it says so.
    h.Write(QStringLiteral("notes.txt"), "something else entirely\n");
    {
        CMyEdit recovered;
        recovered.ResetContent();
        recovered.InsertTextAt(0, 0, u"untouched");
        const auto result = survivor.Recover(recovered);
        EXPECT_FALSE(result.ok);
        EXPECT_TRUE(result.problem.contains(QStringLiteral("notes.txt")));
        EXPECT_EQ(Text(recovered), u"untouched");
    }
    // Once the file went away the journal keeps a copy of the text, which
    // needs no file.
    QFile::remove(file);
    h.app->FileWatch()->CheckAll();
    EXPECT_TRUE(doc->IsModified());
    doc->GetEdit().InsertTextAt(0, 0, u">");
    doc->Journal()->WriteNow();
    h.app->Journal()->WaitForWrites();
    survivor.Adopt(doc->Journal()->FilePath());
    CMyEdit recovered;
    recovered.ResetContent();
    const auto result = survivor.Recover(recovered);
    EXPECT_TRUE(result.ok);
    EXPECT_EQ(Text(recovered), Text(doc->GetEdit()));
}

TEST(Recovery, StartUpOffersJournalsOfDeadProgramsAndCleansUp)
{
    QTemporaryDir shared;
    const QString folder = shared.filePath(QStringLiteral("recovery"));
    std::u16string fileText, newText;
    QString path;
    {
        AppHarness first;
        first.app->SetRecoveryFolder(folder);
        ASSERT_TRUE(first.Start());
        path = shared.filePath(QStringLiteral("kept.txt"));
        {
            QFile out(path);
            ASSERT_TRUE(out.open(QIODevice::WriteOnly));
            out.write("line one\nline two\n");
        }
        CTavroDoc* doc = first.app->OpenDocumentFile(path);
        doc->GetEdit().InsertTextAt(1, 4, u" and a half");
        doc->Journal()->WriteNow();
        CTavroDoc* fresh = first.app->Documents().constFirst(); // the start-up's new document
        fresh->GetEdit().InsertTextAt(0, 0, u"never saved\r\n\U0001F600");
        fresh->Journal()->WriteNow();
        first.app->Journal()->WaitForWrites();
        fileText = Text(doc->GetEdit());
        newText = Text(fresh->GetEdit());
        EXPECT_EQ(JournalFiles(folder).size(), 2);

        // Keep copies where a program that died leaves them.
        QDir().mkpath(shared.filePath(QStringLiteral("copy")));
        for (const QString& journal : JournalFiles(folder))
            QFile::copy(journal, shared.filePath(QStringLiteral("copy/") + QFileInfo(journal).fileName()));
        first.app->CloseAllDocuments();
        Drain();
        first.app->Journal()->WaitForWrites();
        EXPECT_TRUE(JournalFiles(folder).isEmpty()); // closed without saving: gone
    }
    // A program that ends normally leaves nothing behind.
    EXPECT_TRUE(QDir(folder).entryList(QDir::Dirs | QDir::NoDotAndDotDot).isEmpty());
    const QString dead = folder + QStringLiteral("/12345-1");
    QDir().mkpath(dead);
    for (const QString& name : QDir(shared.filePath(QStringLiteral("copy"))).entryList(QDir::Files))
        QFile::copy(shared.filePath(QStringLiteral("copy/") + name), dead + QLatin1Char('/') + name);

    for (auto choice : {CTavroApp::RecoveryChoice::Later, CTavroApp::RecoveryChoice::Recover}) {
        AppHarness next;
        next.app->SetRecoveryFolder(folder);
        QString question;
        next.app->SetRecoveryPrompt([&](const QString& text) {
            question = text;
            return choice;
        });
        ASSERT_TRUE(next.Start());
        next.app->OfferRecovery();
        EXPECT_TRUE(question.contains(QStringLiteral("kept.txt")));
        if (choice == CTavroApp::RecoveryChoice::Later) {
            EXPECT_EQ(next.app->Documents().size(), 1);
            continue;
        }
        ASSERT_EQ(next.app->Documents().size(), 3);
        CTavroDoc* kept = next.app->FindDocument(path);
        ASSERT_NE(kept, nullptr);
        EXPECT_EQ(Text(kept->GetEdit()), fileText);
        EXPECT_TRUE(kept->IsModified());
        const auto docs = next.app->Documents();
        EXPECT_EQ(std::count_if(docs.begin(), docs.end(),
                                [&](CTavroDoc* d) {
                                    return d->GetPathName().isEmpty() && d->IsModified()
                                           && Text(d->GetEdit()) == newText;
                                }),
                  1);
        EXPECT_TRUE(next.messages.texts.isEmpty()) << next.messages.texts.join(u'\n').toStdString();
        // The dead program's folder is gone; the recovered documents journal on.
        EXPECT_FALSE(QFileInfo::exists(dead));
        EXPECT_EQ(JournalFiles(folder).size(), 2);
        // Saving ends a journal.
        ASSERT_TRUE(next.app->DoFileSave(kept));
        next.app->Journal()->WaitForWrites();
        EXPECT_EQ(JournalFiles(folder).size(), 1);
        next.app->CloseAllDocuments();
        QCoreApplication::processEvents();
    }
}
