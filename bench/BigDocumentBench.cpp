// Editing a 100 MB C++ document (100,000,000 characters in 2,000,000 lines)
// through the application's own panes: two of them, shown on the offscreen
// platform, each with its controller and viewport. Every 20th line holds the
// word "zebra" (100,000 in all). Each timed step ends with the panes
// repainted, as after a key press.
#include "bench/BenchSupport.h"
#include "app/CMyEdit.h"
#include "app/CTavroController.h"
#include "app/CTavroView.h"
#include "controller/SECEditCommandIds.h"
#include "controller/SECEditFindReplace.h"
#include "controller/SECEditSearchSettings.h"
#include "engine/SECEditTextStore.h"
#include "platform/MemorySettingsStore.h"
#include "syntax/BuiltInLanguages.h"
#include "syntax/SECEditLangRegistry.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>

#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace {

constexpr std::int32_t kLines = 2'000'000;
constexpr std::size_t kChars = 100'000'000;

// TAVRO_BENCH_LINES makes the document smaller, for running under a profiler.
std::int32_t LineCount()
{
    const int lines = qEnvironmentVariableIntValue("TAVRO_BENCH_LINES");
    return lines > 0 ? lines : kLines;
}

// Lines of 49 characters and a line feed: code, strings, line comments, a
// block comment of three lines about every 100 lines; "zebra" on every 20th.
std::u16string Text()
{
    static constexpr std::u16string_view Code[] = {
        u"    int value = compute(a, b) + 42; // note here  ",
        u"    s = \"a string, \\\"quoted\\\" inside\"; x += 1;  ",
        u"    if (x < y) { return z * 3; } else { y--; }   ",
        u"    const char* t = \"text\"; // and more text    ",
        u"    for (int i = 0; i < n; ++i) total += i;      ",
        u"/* a block comment opens here                    ",
        u"   and carries on over this line                 ",
        u"   and closes here */ int after = 0;             ",
    };
    static constexpr std::u16string_view Zebra = u"    auto zebra = stripes(count) * 2; // animal  ";
    std::u16string s;
    s.reserve(kChars);
    std::uint64_t state = 0x9e3779b97f4a7c15ull;
    const std::int32_t lines = LineCount();
    for (std::int32_t line = 0; line < lines; ++line) {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        std::u16string_view text;
        if (line % 20 == 0)
            text = Zebra;
        else if (line % 100 >= 41 && line % 100 <= 43)
            text = Code[5 + line % 100 - 41];
        else
            text = Code[state % 5];
        s += text.substr(0, 49);
        s += u'\n';
    }
    return s;
}

struct BigDocument
{
    BigDocument()
    {
        EnsureBenchApplication();
        InstallBenchLanguages();
        edit.InitNew(u"C++");
        const std::u16string text = Text();
        SECEditTextStore* store = edit.GetTextStore();
        store->Reserve(std::ptrdiff_t(text.size()));
        store->AppendText(text);
        edit.FinishLoad();
        edit.ClearHistory();
        edit.MarkClean();
        for (auto& pane : panes) {
            pane = std::make_unique<CTavroView>(&edit);
            pane->resize(1200, 800);
            pane->show();
        }
        panes[0]->setFocus();
        for (auto& pane : panes)
            pane->viewport()->installEventFilter(&paints);
        // The windows become exposed, and so paintable, through the event loop.
        for (int i = 0; i < 10; ++i)
            QCoreApplication::processEvents();
    }
    ~BigDocument()
    {
        for (auto& pane : panes)
            pane.reset();
    }

    SECEditController& Controller() { return panes[0]->GetController(); }

    // Delivers the repaints (and anything else) the last step posted.
    static void Settle() { QCoreApplication::sendPostedEvents(); }

    void Key(int key, const QString& text = {})
    {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
        QCoreApplication::sendEvent(panes[0].get(), &press);
        Settle();
    }

    void PlaceCaret(int line, int column)
    {
        Controller().ClearSelection(true);
        Controller().MoveCaretTo(line, column);
        Controller().EnsureCaretVisible();
        Settle();
    }

    // Counts the paint events the panes receive.
    struct PaintCounter : QObject
    {
        bool eventFilter(QObject*, QEvent* event) override
        {
            if (event->type() == QEvent::Paint)
                ++count;
            return false;
        }
        long long count = 0;
    };

    CMyEdit edit;
    PaintCounter paints;
    std::unique_ptr<CTavroView> panes[2];
};

BigDocument& Document()
{
    static BigDocument* document = new BigDocument(); // lives as long as the application object
    return *document;
}

double CpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

SECEditSearchSettings ZebraSettings()
{
    SECEditSearchSettings settings;
    settings.findText = u"zebra";
    settings.replaceText = u"giraffe_neck";
    settings.down = true;
    settings.matchCase = true;
    settings.wholeWord = false;
    settings.regularExpression = false;
    settings.selectionOnly = false;
    return settings;
}

// Replace All from the top, as the dialog's button does.
void ReplaceAllZebras(BigDocument& document, benchmark::State& state)
{
    SECEditSearchSettings settings = ZebraSettings();
    SECEditFindReplace find(document.Controller());
    if (!find.ReplaceAll(settings))
        state.SkipWithError("Replace All found nothing");
    BigDocument::Settle();
}

void ReplaceAllSetup(BigDocument& document)
{
    document.PlaceCaret(0, 0);
}

void Command(BigDocument& document, int id)
{
    document.Controller().OnCommand(id);
    BigDocument::Settle();
}

void BM_ReplaceAll100k(benchmark::State& state)
{
    BigDocument& document = Document();
    double cpu = 0;
    for (auto _ : state) {
        state.PauseTiming();
        ReplaceAllSetup(document);
        const double start = CpuSeconds();
        state.ResumeTiming();
        ReplaceAllZebras(document, state);
        state.PauseTiming();
        cpu += CpuSeconds() - start;
        Command(document, ID_EDIT_UNDO);
        state.ResumeTiming();
    }
    state.counters["cpu_ms"] = cpu * 1e3 / double(state.iterations());
}
BENCHMARK(BM_ReplaceAll100k)->Unit(benchmark::kMillisecond)->Iterations(3)->Repetitions(5);

void BM_UndoReplaceAll100k(benchmark::State& state)
{
    BigDocument& document = Document();
    double cpu = 0;
    for (auto _ : state) {
        state.PauseTiming();
        ReplaceAllSetup(document);
        ReplaceAllZebras(document, state);
        const double start = CpuSeconds();
        state.ResumeTiming();
        Command(document, ID_EDIT_UNDO);
        state.PauseTiming();
        cpu += CpuSeconds() - start;
        state.ResumeTiming();
    }
    state.counters["cpu_ms"] = cpu * 1e3 / double(state.iterations());
}
BENCHMARK(BM_UndoReplaceAll100k)->Unit(benchmark::kMillisecond)->Iterations(3)->Repetitions(5);

void BM_RedoReplaceAll100k(benchmark::State& state)
{
    BigDocument& document = Document();
    double cpu = 0;
    for (auto _ : state) {
        state.PauseTiming();
        ReplaceAllSetup(document);
        ReplaceAllZebras(document, state);
        Command(document, ID_EDIT_UNDO);
        const double start = CpuSeconds();
        state.ResumeTiming();
        Command(document, ID_EDIT_REDO);
        state.PauseTiming();
        cpu += CpuSeconds() - start;
        Command(document, ID_EDIT_UNDO);
        state.ResumeTiming();
    }
    state.counters["cpu_ms"] = cpu * 1e3 / double(state.iterations());
}
BENCHMARK(BM_RedoReplaceAll100k)->Unit(benchmark::kMillisecond)->Iterations(3)->Repetitions(5);

// One timed key press and repaint per iteration; `undoKey` (untimed) takes
// the change back so the document stays as it was.
template <class Step, class UndoStep>
void TypingBenchmark(benchmark::State& state, Step step, UndoStep undo)
{
    BigDocument& document = Document();
    document.PlaceCaret(10, 20);
    double cpu = 0;
    long long paints = 0;
    for (auto _ : state) {
        const double start = CpuSeconds();
        const long long before = document.paints.count;
        step(document);
        state.PauseTiming();
        cpu += CpuSeconds() - start;
        paints += document.paints.count - before;
        undo(document);
        state.ResumeTiming();
    }
    state.counters["cpu_us"] = cpu * 1e6 / double(state.iterations());
    state.counters["paints"] = double(paints) / double(state.iterations());
}

void BM_TypeCharTop100MB(benchmark::State& state)
{
    TypingBenchmark(
        state, [](BigDocument& d) { d.Key(Qt::Key_X, QStringLiteral("x")); },
        [](BigDocument& d) { d.Key(Qt::Key_Backspace); });
}
BENCHMARK(BM_TypeCharTop100MB)->Unit(benchmark::kMicrosecond)->Repetitions(5);

void BM_EnterTop100MB(benchmark::State& state)
{
    TypingBenchmark(
        state, [](BigDocument& d) { d.Key(Qt::Key_Return, QStringLiteral("\r")); },
        [](BigDocument& d) { Command(d, ID_EDIT_UNDO); });
}
BENCHMARK(BM_EnterTop100MB)->Unit(benchmark::kMicrosecond)->Repetitions(5);

void BM_PasteLines100MB(benchmark::State& state)
{
    QString lines;
    for (int i = 0; i < 1000; ++i)
        lines += QStringLiteral("    int pasted = %1; // a pasted line of code\n").arg(i);
    QGuiApplication::clipboard()->setText(lines);
    TypingBenchmark(
        state, [](BigDocument& d) { Command(d, ID_EDIT_PASTE); }, [](BigDocument& d) { Command(d, ID_EDIT_UNDO); });
}
BENCHMARK(BM_PasteLines100MB)->Unit(benchmark::kMicrosecond)->Repetitions(5);

} // namespace
