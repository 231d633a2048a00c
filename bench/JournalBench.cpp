// The recovery journal on a 100 MB document (2,000,000 lines of 49
// characters): the work a keystroke costs on the user's thread with the
// journal listening, and the rebuilding of the document from its file and
// journal after a crash.
#include "bench/BenchSupport.h"
#include "app/CMyEdit.h"
#include "app/CRecoveryJournal.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <memory>
#include <string>

namespace {

constexpr int kLines = 2'000'000;

struct JournalFiles
{
    QTemporaryDir dir;
    QString document;

    JournalFiles()
    {
        document = dir.filePath(QStringLiteral("big.txt"));
        std::string text;
        text.reserve(std::size_t(kLines) * 50);
        const std::string line = "    int value = count + index * 42; // a comment\n";
        for (int i = 0; i < kLines; ++i)
            text += line.substr(0, 49) + '\n';
        QFile out(document);
        out.open(QIODevice::WriteOnly);
        out.write(text.data(), qint64(text.size()));
    }
};

JournalFiles& Files()
{
    static JournalFiles files;
    return files;
}

// A keystroke somewhere in the document, a different line each time.
void Keystrokes(benchmark::State& state, bool journal)
{
    EnsureBenchApplication();
    CMyEdit edit;
    edit.ResetContent();
    if (!edit.OpenFile(QFile::encodeName(Files().document).toStdString()))
        state.SkipWithError("OpenFile failed");
    QTemporaryDir folder;
    CRecoveryJournal journals(folder.path());
    journals.SetWriteDelay(3600 * 1000);
    std::unique_ptr<CDocumentJournal> attached;
    if (journal) {
        attached = journals.Attach(edit);
        attached->SetFileBase(Files().document, FileIdentity::Of(Files().document), false);
    }
    std::int32_t line = 0;
    for (auto _ : state) {
        line = (line + 7919) % kLines;
        edit.InsertTextAt(line, 10, u"a");
    }
    state.SetItemsProcessed(state.iterations());
}

void BM_KeystrokeNoJournal100MB(benchmark::State& state)
{
    Keystrokes(state, false);
}

void BM_JournalKeystroke100MB(benchmark::State& state)
{
    Keystrokes(state, true);
}

// 1,000 edits spread over the document, then the whole rebuild: reading the
// journal, checking the file, loading it and replaying the edits.
void BM_Recover100MB(benchmark::State& state)
{
    EnsureBenchApplication();
    QTemporaryDir folder;
    QString journalPath;
    {
        CMyEdit edit;
        edit.ResetContent();
        if (!edit.OpenFile(QFile::encodeName(Files().document).toStdString()))
            state.SkipWithError("OpenFile failed");
        CRecoveryJournal journals(folder.filePath(QStringLiteral("live")));
        auto journal = journals.Attach(edit);
        journal->SetFileBase(Files().document, FileIdentity::Of(Files().document), false);
        for (int i = 0; i < 1000; ++i) {
            const std::int32_t line = (i * 1999) % kLines;
            if (i % 3 == 0)
                edit.DeleteText(line, 0, line + 1, 0);
            else
                edit.InsertTextAt(line, 5, u"typed\r\n");
        }
        journal->WriteNow();
        journals.WaitForWrites();
        const QString dead = folder.filePath(QStringLiteral("recovery/dead"));
        QDir().mkpath(dead);
        QFile::copy(journal->FilePath(), dead + QStringLiteral("/1.tjl"));
    }
    CRecoveryJournal survivor(folder.filePath(QStringLiteral("recovery")));
    for (auto _ : state) {
        state.PauseTiming();
        auto edit = std::make_unique<CMyEdit>();
        edit->ResetContent();
        state.ResumeTiming();

        const auto orphans = survivor.FindOrphans();
        if (orphans.size() != 1 || !survivor.Recover(orphans[0], *edit).ok)
            state.SkipWithError("recovery failed");

        state.PauseTiming();
        survivor.ReleaseOrphans();
        edit.reset();
        state.ResumeTiming();
    }
}

} // namespace

BENCHMARK(BM_KeystrokeNoJournal100MB)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_JournalKeystroke100MB)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Recover100MB)->Unit(benchmark::kMillisecond)->Iterations(3)->Repetitions(3);
