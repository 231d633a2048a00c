// Opening and saving 100 MB files through CMyEdit, from generated data in a
// temporary folder. Peak memory while opening is reported as counters.
#include "app/CMyEdit.h"
#include "engine/SECEditTextStore.h"

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <malloc.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <string>

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kFileBytes = 100'000'000;
constexpr int kLines = 2'000'000;

class BenchFiles
{
public:
    BenchFiles()
    {
        std::string pattern = (fs::temp_directory_path() / "tavro-filebench-XXXXXX").string();
        folder = ::mkdtemp(pattern.data());
        WriteAscii();
        WriteUtf16();
        WriteUtf8();
    }
    ~BenchFiles()
    {
        std::error_code ignored;
        fs::remove_all(folder, ignored);
    }

    std::string Path(const char* name) const { return (folder / name).string(); }

    fs::path folder;

private:
    // 2,000,000 lines of 49 characters and a line feed: 100,000,000 bytes.
    static std::string AsciiText()
    {
        std::mt19937 random(7);
        static const char* words[] = {"int", "value", "return", "for", "while", "std::string", "x", "=",
                                      "+", "count", "(", ")", "{", "}", ";", "index", "buffer"};
        std::string text;
        text.reserve(kFileBytes);
        std::string line;
        for (int i = 0; i < kLines; ++i) {
            line.clear();
            while (line.size() < 49) {
                line += words[random() % std::size(words)];
                line += ' ';
            }
            line.resize(49);
            text += line;
            text += '\n';
        }
        return text;
    }

    void WriteAscii()
    {
        const std::string text = AsciiText();
        std::ofstream(Path("ascii.txt"), std::ios::binary).write(text.data(), std::streamsize(text.size()));
    }

    void WriteUtf16()
    {
        const std::string text = AsciiText();
        std::string wide("\xFF\xFE", 2);
        wide.resize(2 + 2 * text.size());
        for (std::size_t i = 0; i < text.size(); ++i) {
            wide[2 + 2 * i] = text[i];
            wide[3 + 2 * i] = 0;
        }
        std::ofstream(Path("utf16.txt"), std::ios::binary).write(wide.data(), std::streamsize(wide.size()));
    }

    // About one character in five outside ASCII (two- and three-byte
    // sequences), lines of about 50 bytes, 100 MB in all.
    void WriteUtf8()
    {
        std::mt19937 random(11);
        static const char* others[] = {"\xC3\xA9", "\xC3\xBC", "\xD0\xB6", "\xD0\xBB", "\xE2\x82\xAC",
                                       "\xE2\x80\x94", "\xCE\xBB"};
        std::string text;
        text.reserve(kFileBytes + 64);
        int column = 0;
        while (text.size() < kFileBytes - 8) {
            if (column >= 40) {
                text += '\n';
                column = 0;
            } else if (random() % 5 == 0) {
                text += others[random() % std::size(others)];
                ++column;
            } else {
                text += char('a' + random() % 26);
                ++column;
            }
        }
        text += '\n';
        std::ofstream(Path("utf8.txt"), std::ios::binary).write(text.data(), std::streamsize(text.size()));
    }
};

const BenchFiles& Files()
{
    static BenchFiles files;
    return files;
}

long StatusKilobytes(const char* field)
{
    std::FILE* status = std::fopen("/proc/self/status", "r");
    if (!status)
        return 0;
    char line[256];
    long value = 0;
    const std::size_t length = std::strlen(field);
    while (std::fgets(line, sizeof line, status)) {
        if (std::strncmp(line, field, length) == 0) {
            value = std::atol(line + length);
            break;
        }
    }
    std::fclose(status);
    return value;
}

// Hands freed memory back first, so the peak is measured from what the
// process really holds.
void ResetPeakMemory()
{
    ::malloc_trim(0);
    if (std::FILE* refs = std::fopen("/proc/self/clear_refs", "w")) {
        std::fputs("5", refs);
        std::fclose(refs);
    }
}

// The least any UTF-16 store must do to hold a file: read it (here in 1 MB
// pieces into one small buffer) and widen every byte into freshly allocated
// memory, touched for the first time. Returns the seconds taken.
double ReadAndWiden(const std::string& path)
{
    const auto start = std::chrono::steady_clock::now();
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return 0;
    const auto size = std::size_t(fs::file_size(path));
    std::unique_ptr<char16_t[]> wide(new char16_t[size]);
    constexpr std::size_t kPiece = 1 << 20;
    std::unique_ptr<unsigned char[]> piece(new unsigned char[kPiece]);
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n = ::read(fd, piece.get(), std::min(kPiece, size - done));
        if (n <= 0)
            break;
        // In blocks of 64, which the compiler widens with vector instructions.
        std::size_t i = 0;
        for (; i + 64 <= std::size_t(n); i += 64)
            for (std::size_t k = 0; k < 64; ++k)
                wide[done + i + k] = piece[i + k];
        for (; i < std::size_t(n); ++i)
            wide[done + i] = piece[i];
        done += std::size_t(n);
    }
    ::close(fd);
    benchmark::DoNotOptimize(wide.get());
    wide.reset();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void BM_FloorReadWiden100MB(benchmark::State& state)
{
    const std::string path = Files().Path("ascii.txt");
    for (auto _ : state)
        benchmark::DoNotOptimize(ReadAndWiden(path));
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(fs::file_size(path)));
}

void OpenBenchmark(benchmark::State& state, const char* name, bool againstFloor = false)
{
    const std::string path = Files().Path(name);
    double peakOverSteady = 0;
    double steady = 0;
    double peakGrowth = 0;
    double openSeconds = 0;
    double floorSeconds = 0;
    for (auto _ : state) {
        state.PauseTiming();
        // The floor, measured beside each open so both see the same machine.
        if (againstFloor) {
            ResetPeakMemory();
            floorSeconds += ReadAndWiden(path);
        }
        auto edit = std::make_unique<CMyEdit>();
        edit->ResetContent();
        ResetPeakMemory();
        const long before = StatusKilobytes("VmRSS:");
        const auto start = std::chrono::steady_clock::now();
        state.ResumeTiming();

        if (!edit->OpenFile(path))
            state.SkipWithError("OpenFile failed");

        state.PauseTiming();
        openSeconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        const double peak = double(StatusKilobytes("VmHWM:") - before) * 1024;
        steady = double(edit->GetTextStore()->GetMemoryUsage());
        peakOverSteady = std::max(peakOverSteady, peak - steady);
        peakGrowth = std::max(peakGrowth, peak);
        edit.reset();
        state.ResumeTiming();
    }
    state.counters["steady_MB"] = steady / 1e6;
    state.counters["peak_over_steady_MB"] = peakOverSteady / 1e6;
    state.counters["peak_growth_MB"] = peakGrowth / 1e6;
    if (againstFloor && floorSeconds > 0)
        state.counters["ratio_to_floor"] = openSeconds / floorSeconds;
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(fs::file_size(path)));
}

void BM_OpenAscii100MB(benchmark::State& state)
{
    OpenBenchmark(state, "ascii.txt", true);
}

void BM_OpenUtf16_100MB(benchmark::State& state)
{
    OpenBenchmark(state, "utf16.txt");
}

void BM_OpenUtf8_100MB(benchmark::State& state)
{
    OpenBenchmark(state, "utf8.txt");
}

void BM_Save100MB(benchmark::State& state)
{
    CMyEdit edit;
    edit.ResetContent();
    if (!edit.OpenFile(Files().Path("ascii.txt")))
        state.SkipWithError("OpenFile failed");
    const std::string target = Files().Path("saved.txt");
    for (auto _ : state) {
        if (!edit.SaveFile(target))
            state.SkipWithError("SaveFile failed");
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(kFileBytes));
}

} // namespace

BENCHMARK(BM_FloorReadWiden100MB)->Unit(benchmark::kMillisecond)->Iterations(5)->Repetitions(3);
BENCHMARK(BM_OpenAscii100MB)->Unit(benchmark::kMillisecond)->Iterations(5)->Repetitions(3);
BENCHMARK(BM_OpenUtf16_100MB)->Unit(benchmark::kMillisecond)->Iterations(5)->Repetitions(3);
BENCHMARK(BM_OpenUtf8_100MB)->Unit(benchmark::kMillisecond)->Iterations(5)->Repetitions(3);
BENCHMARK(BM_Save100MB)->Unit(benchmark::kMillisecond)->Iterations(5)->Repetitions(3);
