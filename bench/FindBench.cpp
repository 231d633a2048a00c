// Search benchmarks on a generated document of 100 MB (100,000,000
// characters) in 2,000,000 lines, the word sought standing only on the last
// line, so every search reads the whole text.

#include "engine/SECEdit.h"
#include "engine/SECEditTextStore.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <memory>
#include <string>

namespace
{
constexpr std::int32_t FindLines = 2'000'000;
constexpr std::size_t FindChars = 100'000'000;
constexpr std::u16string_view Needle = u"zebraquartz";

// Lines of lower-case words (no 'z' in them, so the needle can't occur by
// chance), 49 characters and a line feed each; the last line ends with the
// needle.
std::unique_ptr<SECEdit> LoadFindDocument()
{
    std::u16string s;
    s.reserve(FindChars);
    std::uint64_t state = 0x2545f4914f6cdd1dull;
    for (std::int32_t line = 0; line < FindLines - 1; ++line) {
        for (int i = 0; i < 49; ++i) {
            state ^= state << 13;
            state ^= state >> 7;
            state ^= state << 17;
            s += (state % 6 == 0) ? u' ' : static_cast<char16_t>(u'a' + state % 25);
        }
        s += u'\n';
    }
    while (s.size() < FindChars - Needle.size() - 1)
        s += u'a';
    s += u' ';
    s += Needle;
    auto edit = std::make_unique<SECEdit>();
    edit->GetTextStore()->AppendText(s);
    edit->FinishLoad();
    return edit;
}

SECEdit& Document()
{
    static const std::unique_ptr<SECEdit> edit = LoadFindDocument();
    return *edit;
}

void RunFind(benchmark::State& state, std::u16string_view pattern, bool down, bool matchCase, bool wholeWord,
             bool regex)
{
    SECEdit& edit = Document();
    const std::int32_t last = edit.GetLineCount() - 1;
    for (auto _ : state) {
        std::int32_t line = -1, column = -1;
        // Down from the top, or up from just before the needle's line.
        const std::int32_t length = down ? edit.FindText(0, 0, line, column, pattern, true, true, matchCase, wholeWord, regex)
                                         : edit.FindText(last - 1, 0, line, column, u"zebra", false, false, matchCase,
                                                         wholeWord, regex);
        benchmark::DoNotOptimize(length);
        if (down && line != last)
            state.SkipWithError("needle not found on the last line");
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(FindChars) * 2);
}

void BM_FindLast100MB(benchmark::State& state) { RunFind(state, Needle, true, true, false, false); }
void BM_FindLast100MBIgnoreCase(benchmark::State& state) { RunFind(state, u"ZebraQuartz", true, false, false, false); }
void BM_FindLast100MBWholeWord(benchmark::State& state) { RunFind(state, Needle, true, true, true, false); }
void BM_FindLast100MBRegex(benchmark::State& state) { RunFind(state, u"zebra\\w+", true, true, false, true); }
// Up over the whole text, finding nothing.
void BM_FindUpNothing100MB(benchmark::State& state) { RunFind(state, u"zebra", false, true, false, false); }

} // namespace

BENCHMARK(BM_FindLast100MB)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_FindLast100MBIgnoreCase)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_FindLast100MBWholeWord)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_FindLast100MBRegex)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_FindUpNothing100MB)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
