// Text engine benchmarks on a generated document of 100 MB (100,000,000
// characters) in 2,000,000 lines.

#include "engine/SECEdit.h"
#include "engine/SECEditTextStore.h"

#include <benchmark/benchmark.h>

#include <malloc.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace
{
constexpr std::int32_t DocumentLines = 2'000'000;
constexpr std::size_t DocumentChars = 100'000'000;

struct XorShift
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

// Lines of 0 to 98 characters of words and spaces (49 on average), each
// ending with a line feed, padded so the total is exactly 100,000,000.
const std::u16string& Document()
{
    static const std::u16string text = [] {
        std::u16string s;
        s.reserve(DocumentChars);
        XorShift rng{0x9e3779b97f4a7c15ull};
        for (std::int32_t line = 0; line < DocumentLines - 1; ++line)
        {
            const int length = static_cast<int>(rng() % 99);
            for (int i = 0; i < length; ++i)
            {
                const std::uint64_t r = rng();
                s += (r % 7 == 0) ? u' ' : static_cast<char16_t>(u'a' + r % 26);
            }
            s += u'\n';
        }
        while (s.size() < DocumentChars)
            s += static_cast<char16_t>(u'a' + s.size() % 26);
        s.resize(DocumentChars);
        return s;
    }();
    return text;
}

std::unique_ptr<SECEdit> LoadDocument()
{
    auto engine = std::make_unique<SECEdit>();
    engine->ResetContent();
    const std::u16string& text = Document();
    SECEditTextStore* store = engine->GetTextStore();
    store->Reserve(static_cast<std::ptrdiff_t>(text.size()));
    constexpr std::size_t Chunk = 512'000;
    for (std::size_t at = 0; at < text.size(); at += Chunk)
        store->AppendText(std::u16string_view(text).substr(at, Chunk));
    engine->FinishLoad();
    return engine;
}

// One loaded document shared by the editing benchmarks; they only add text.
SECEdit& SharedEngine()
{
    static std::unique_ptr<SECEdit> engine = LoadDocument();
    return *engine;
}

struct Place
{
    std::int32_t line;
    std::int32_t column;
};

// Random existing positions; inserting single characters without line feeds
// keeps them valid.
std::vector<Place> RandomPlaces(SECEdit& engine, std::size_t count, std::uint64_t seed)
{
    XorShift rng{seed};
    std::vector<Place> places(count);
    const std::int32_t lines = engine.GetLineCount();
    for (Place& p : places)
    {
        p.line = static_cast<std::int32_t>(rng() % static_cast<std::uint64_t>(lines));
        p.column = static_cast<std::int32_t>(rng() % static_cast<std::uint64_t>(engine.GetLineLength(p.line) + 1));
    }
    return places;
}

void InsertAt(SECEdit& engine, const std::vector<Place>& places)
{
    for (const Place& p : places)
    {
        SECEditTextRange range(p.line, p.column, p.line, p.column);
        engine.InsertText(range, u"q", 1);
    }
}

void BM_EditAtStartReadLastLine(benchmark::State& state)
{
    SECEdit& engine = SharedEngine();
    for (auto _ : state)
    {
        engine.InsertTextAt(0, 0, u"x", 1);
        const char16_t* text = nullptr;
        benchmark::DoNotOptimize(engine.GetLineText(engine.GetLineCount() - 1, text));
        benchmark::DoNotOptimize(text);
    }
}
BENCHMARK(BM_EditAtStartReadLastLine)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);

void BM_RandomInserts10k(benchmark::State& state)
{
    SECEdit& engine = SharedEngine();
    std::uint64_t seed = 1;
    for (auto _ : state)
    {
        state.PauseTiming();
        const std::vector<Place> places = RandomPlaces(engine, 10'000, seed++);
        state.ResumeTiming();
        InsertAt(engine, places);
    }
}
BENCHMARK(BM_RandomInserts10k)->Unit(benchmark::kMillisecond)->Iterations(3)->Repetitions(5)->ReportAggregatesOnly(true);

void BM_UndoGroup10k(benchmark::State& state)
{
    SECEdit& engine = SharedEngine();
    std::uint64_t seed = 1000;
    for (auto _ : state)
    {
        state.PauseTiming();
        const std::vector<Place> places = RandomPlaces(engine, 10'000, seed++);
        engine.SetCompositeMode(true);
        InsertAt(engine, places);
        engine.SetCompositeMode(false);
        state.ResumeTiming();
        benchmark::DoNotOptimize(engine.Undo());
    }
}
BENCHMARK(BM_UndoGroup10k)->Unit(benchmark::kMillisecond)->Iterations(3)->Repetitions(5)->ReportAggregatesOnly(true);

void BM_RedoGroup10k(benchmark::State& state)
{
    SECEdit& engine = SharedEngine();
    std::uint64_t seed = 2000;
    for (auto _ : state)
    {
        state.PauseTiming();
        const std::vector<Place> places = RandomPlaces(engine, 10'000, seed++);
        engine.SetCompositeMode(true);
        InsertAt(engine, places);
        engine.SetCompositeMode(false);
        engine.Undo();
        state.ResumeTiming();
        benchmark::DoNotOptimize(engine.Redo());
    }
}
BENCHMARK(BM_RedoGroup10k)->Unit(benchmark::kMillisecond)->Iterations(3)->Repetitions(5)->ReportAggregatesOnly(true);

void BM_RandomLineText100k(benchmark::State& state)
{
    SECEdit& engine = SharedEngine();
    XorShift rng{42};
    std::vector<std::int32_t> lines(100'000);
    const std::int32_t count = engine.GetLineCount();
    for (std::int32_t& line : lines)
        line = static_cast<std::int32_t>(rng() % static_cast<std::uint64_t>(count));
    for (auto _ : state)
    {
        std::int64_t total = 0;
        for (const std::int32_t line : lines)
        {
            const char16_t* text = nullptr;
            total += engine.GetLineText(line, text);
            benchmark::DoNotOptimize(text);
        }
        benchmark::DoNotOptimize(total);
    }
}
BENCHMARK(BM_RandomLineText100k)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

// The heap, and the chunks that loaded blocks are carved from.
std::size_t HeapInUse()
{
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd + SECEditBlockArena::HeldBytes();
}

void BM_EngineMemory100MB(benchmark::State& state)
{
    Document(); // generated before measuring
    double bytesPerChar = 0;
    for (auto _ : state)
    {
        const std::size_t before = HeapInUse();
        std::unique_ptr<SECEdit> engine = LoadDocument();
        const std::size_t after = HeapInUse();
        bytesPerChar = static_cast<double>(after - before) / static_cast<double>(DocumentChars);
        state.PauseTiming();
        engine.reset();
        state.ResumeTiming();
    }
    state.counters["bytes_per_char"] = bytesPerChar;
}
BENCHMARK(BM_EngineMemory100MB)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3)->ReportAggregatesOnly(true);
} // namespace
