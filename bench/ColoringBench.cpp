// Line colouring benchmarks on generated documents: a 100 MB C++ file of
// 2,000,000 lines (100,000,000 characters), a 10 MB C++ file of 200,000 lines
// and a 10 MB HTML file of long stretches of text. Sizes count one byte per
// character.

#include "bench/BenchSupport.h"
#include "app/CMyEdit.h"
#include "engine/SECEdit.h"
#include "engine/SECEditMsg.h"
#include "engine/SECEditTextStore.h"
#include "platform/MemorySettingsStore.h"
#include "syntax/BuiltInLanguages.h"
#include "syntax/SECEditLangRegistry.h"

#include <benchmark/benchmark.h>

#include <malloc.h>

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace
{
struct Rng
{
    std::uint64_t state;
    std::uint64_t operator()()
    {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        return state;
    }
};

// Appends `line` cut or padded with code to exactly `length` characters.
void AppendLine(std::u16string& out, std::u16string_view line, int length, Rng& rng)
{
    static constexpr std::u16string_view Filler[] = {u" x1 = y2 + 3;", u" call(a, b);", u" int k = 0x1F;",
                                                     u" if (p) q--;", u" return v * 2;"};
    std::size_t start = out.size();
    out += line;
    while (out.size() - start < static_cast<std::size_t>(length))
        out += Filler[rng() % std::size(Filler)];
    out.resize(start + static_cast<std::size_t>(length));
}

// C++ text of `lines` lines averaging 49 characters plus a line feed: code
// with strings (escaped quotes included) and line comments, a block comment
// of 2 to 7 lines about every 100 lines, and about every 200 lines a "/*"
// inside a string or a line comment. 100 lines of 50 characters
// make 5,000 characters, so 2,000,000 lines make exactly 100,000,000.
std::u16string CppDocument(std::int32_t lines)
{
    static constexpr std::u16string_view Plain[] = {
        u"    int value = compute(a, b) + 42; // note",
        u"    s = \"a string, \\\"quoted\\\" inside\";",
        u"    if (x < y) { return z * 3; }",
        u"    // a line comment",
        u"    const char* t = \"text\"; // and more",
        u"    for (int i = 0; i < n; ++i) total += i;",
        u"#include <vector>",
        u"    c = '\\'';",
    };
    // Openings that open nothing: inside a string, after a line comment.
    static constexpr std::u16string_view Decoys[] = {
        u"    s = \"a /* not a comment\";",
        u"    // see /* here",
    };
    std::u16string s;
    s.reserve(static_cast<std::size_t>(lines) * 50);
    Rng rng{0x9e3779b97f4a7c15ull};
    int delta = 0;
    int commentLeft = 0;
    for (std::int32_t line = 0; line < lines; ++line)
    {
        // Lengths pair up around 49 so the total is exact.
        if (line % 2 == 0)
            delta = static_cast<int>(rng() % 59) - 29;
        else
            delta = -delta;
        int length = 49 + delta;
        if (line == lines - 1)
            length += 1; // no line feed after the last line
        if (commentLeft > 0)
        {
            --commentLeft;
            AppendLine(s, commentLeft == 0 ? u"   end */" : u"   inside the comment", length, rng);
        }
        else if (rng() % 100 == 0 && line + 8 < lines)
        {
            commentLeft = 1 + static_cast<int>(rng() % 6);
            AppendLine(s, u"/* block", length, rng);
        }
        else if (rng() % 200 == 0)
            AppendLine(s, Decoys[rng() % std::size(Decoys)], length, rng);
        else
            AppendLine(s, Plain[rng() % std::size(Plain)], length, rng);
        if (line + 1 < lines)
            s += u'\n';
    }
    return s;
}

// HTML of `lines` lines: long stretches of plain text (with words that spell
// element and attribute names, numbers and quotes), a tag about every 2,000
// lines.
std::u16string HtmlDocument(std::int32_t lines)
{
    static constexpr std::u16string_view Text[] = {
        u"The TABLE of contents lists B and I among 42 items",
        u"width and height are \"quoted\" here, but no tag",
        u"plain words between tags stay plain text all along",
    };
    std::u16string s;
    Rng rng{0x2545f4914f6cdd1dull};
    for (std::int32_t line = 0; line < lines; ++line)
    {
        const int length = 49 + static_cast<int>(rng() % 3) - 1;
        if (line % 2000 == 0)
            AppendLine(s, u"<P class=\"x\" width=10>", length, rng);
        else
            AppendLine(s, Text[rng() % std::size(Text)], length, rng);
        if (line + 1 < lines)
            s += u'\n';
    }
    return s;
}

template <class Engine>
std::unique_ptr<Engine> Load(std::u16string_view language, const std::u16string& text)
{
    InstallBenchLanguages();
    auto engine = std::make_unique<Engine>();
    engine->InitNew(language);
    SECEditTextStore* store = engine->GetTextStore();
    store->Reserve(static_cast<std::ptrdiff_t>(text.size()));
    constexpr std::size_t Chunk = 512'000;
    for (std::size_t at = 0; at < text.size(); at += Chunk)
        store->AppendText(std::u16string_view(text).substr(at, Chunk));
    engine->FinishLoad();
    return engine;
}

// Forgets all colouring, as for a freshly loaded file.
void DropColouring(SECEdit& engine)
{
    SECEditMsg message(SECEditMsg::InvalidateColoring);
    engine.OnUpdate(&engine, &message);
}

SECEdit& Cpp100MB()
{
    static std::unique_ptr<SECEdit> engine = Load<SECEdit>(u"C++", CppDocument(2'000'000));
    return *engine;
}

void ColourLines(SECEdit& engine, std::int32_t first, std::int32_t count)
{
    for (std::int32_t line = first; line < first + count; ++line)
        benchmark::DoNotOptimize(engine.GetLineColoring(line));
}
} // namespace

static void BM_ColorLastScreen100MB(benchmark::State& state)
{
    SECEdit& engine = Cpp100MB();
    const std::int32_t first = engine.GetLineCount() - 60;
    for (auto _ : state)
    {
        state.PauseTiming();
        DropColouring(engine);
        state.ResumeTiming();
        ColourLines(engine, first, 60);
    }
    state.counters["lines"] = static_cast<double>(engine.GetLineCount());
    state.counters["regions"] = static_cast<double>(engine.GetColorRegions().size());
}
BENCHMARK(BM_ColorLastScreen100MB)->Unit(benchmark::kMillisecond)->Iterations(10);

static void BM_RecolorAfterKeystroke(benchmark::State& state)
{
    SECEdit& engine = Cpp100MB();
    const std::int32_t first = engine.GetLineCount() - 60;
    const std::int32_t line = first + 30;
    DropColouring(engine);
    ColourLines(engine, first, 60);
    for (auto _ : state)
    {
        engine.InsertTextAt(line, 4, u"x");
        ColourLines(engine, first, 60);
        state.PauseTiming();
        engine.DeleteText(line, 4, line, 5);
        ColourLines(engine, first, 60);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_RecolorAfterKeystroke)->Unit(benchmark::kMicrosecond);

template <class Engine>
static void ColourAll(benchmark::State& state, std::u16string_view language, const std::u16string& text)
{
    auto engine = Load<Engine>(language, text);
    const std::int32_t lines = engine->GetLineCount();
    for (auto _ : state)
    {
        state.PauseTiming();
        DropColouring(*engine);
        state.ResumeTiming();
        ColourLines(*engine, 0, lines);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(text.size()));
}

static void BM_ColorAllCpp10MB(benchmark::State& state)
{
    static const std::u16string text = CppDocument(200'000);
    ColourAll<SECEdit>(state, u"C++", text);
}
BENCHMARK(BM_ColorAllCpp10MB)->Unit(benchmark::kMillisecond);

static void BM_ColorAllHtml10MB(benchmark::State& state)
{
    static const std::u16string text = HtmlDocument(200'000);
    ColourAll<CMyEdit>(state, u"HTML", text);
}
BENCHMARK(BM_ColorAllHtml10MB)->Unit(benchmark::kMillisecond);

// Heap held by the cached run lists of a fully coloured 10 MB C++ file: the
// runs themselves (4 bytes each) and what each cached line costs on top.
static void BM_ColorCacheMemory(benchmark::State& state)
{
    static const std::u16string text = CppDocument(200'000);
    auto engine = Load<SECEdit>(u"C++", text);
    const std::int32_t lines = engine->GetLineCount();
    double runs = 0;
    double heap = 0;
    for (auto _ : state)
    {
        DropColouring(*engine);
        malloc_trim(0);
        const std::size_t before = mallinfo2().uordblks;
        runs = 0;
        for (std::int32_t line = 0; line < lines; ++line)
            runs += static_cast<double>(engine->GetLineColoring(line)->size());
        heap = static_cast<double>(mallinfo2().uordblks - before);
    }
    state.counters["runs_per_line"] = runs / lines;
    state.counters["bytes_per_line_over_runs"] = (heap - 4 * runs) / lines;
}
BENCHMARK(BM_ColorCacheMemory)->Unit(benchmark::kMillisecond)->Iterations(1);
