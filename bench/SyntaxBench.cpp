// Word classification on the colouring path and loading the built-in
// languages. Work sizes: 4,096 words per iteration for the classifiers (a
// mix of keywords, identifiers and numbers as found in source text), all
// twelve built-in configurations per iteration for the loader.
#include "syntax/BuiltInLanguages.h"
#include "syntax/LangConfigResourceLoader.h"
#include "syntax/SECEditLangConfig.h"

#include <benchmark/benchmark.h>

#include <random>
#include <string>
#include <vector>

namespace {

struct ConfigHolder
{
    SECEditLangConfig* config = new SECEditLangConfig();
    explicit ConfigHolder(int resourceId)
    {
        LangConfigResourceLoader loader(resourceId);
        loader.Load(*config);
    }
    ~ConfigHolder() { config->Release(); }
};

std::u16string U16(const char* text)
{
    return std::u16string(text, text + std::char_traits<char>::length(text));
}

// Roughly how source text divides: a third keywords, half identifiers, the
// rest numbers; identifiers share prefixes with keywords as real names do.
std::vector<std::u16string> WordMix(const std::vector<const char*>& keywords,
                                    const std::vector<const char*>& identifiers,
                                    const std::vector<const char*>& numbers)
{
    std::mt19937 random(42);
    std::vector<std::u16string> words;
    constexpr int kWords = 4096;
    for (int i = 0; i < kWords; ++i)
    {
        const unsigned pick = random() % 100;
        if (pick < 35)
            words.push_back(U16(keywords[random() % keywords.size()]));
        else if (pick < 88)
            words.push_back(U16(identifiers[random() % identifiers.size()]));
        else
            words.push_back(U16(numbers[random() % numbers.size()]));
    }
    return words;
}

void Classify(benchmark::State& state, const SECEditLangConfig& config, const std::vector<std::u16string>& words)
{
    for (auto _ : state)
    {
        int classified = 0;
        for (const std::u16string& word : words)
        {
            std::uint16_t group = 0;
            classified += config.ClassifyWord(word, group);
            benchmark::DoNotOptimize(group);
        }
        benchmark::DoNotOptimize(classified);
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(words.size()));
}

void BM_ClassifyWordCpp(benchmark::State& state)
{
    const ConfigHolder cpp(154);
    const auto words = WordMix(
        {"int", "return", "const", "if", "for", "while", "void", "static", "class", "struct", "auto",
         "unsigned", "char", "bool", "true", "false", "#include", "#define", "this", "new", "delete", "else",
         "switch", "case", "break", "template", "typename", "namespace", "using", "virtual"},
        {"i", "n", "size", "count", "buffer", "result", "value", "std", "vector", "string", "m_length",
         "GetLineCount", "index", "text", "line", "column", "begin", "end", "data", "first", "second", "it",
         "config", "observer", "InsertText", "position", "Return", "integer", "returned", "constValue"},
        {"0", "1", "2", "42", "0x1F", "1024", "3.14", "100u", "0xFFFF", "65536"});
    Classify(state, *cpp.config, words);
}
BENCHMARK(BM_ClassifyWordCpp);

void BM_ClassifyWordVbFolded(benchmark::State& state)
{
    const ConfigHolder vb(158);
    // Keywords as people type them: any case.
    const auto words = WordMix(
        {"Dim", "dim", "DIM", "As", "as", "Integer", "integer", "If", "if", "Then", "then", "End", "end",
         "Sub", "sub", "Function", "Next", "next", "For", "for", "Set", "Nothing", "vbCrLf", "vbcrlf",
         "MsgBox", "msgbox", "String", "Len", "Trim", "Left"},
        {"i", "n", "total", "customerName", "rs", "conn", "strSql", "lngCount", "x", "y", "objFile",
         "result", "Counter", "txtName", "frmMain", "cmdOK", "index", "buffer", "lineText", "position"},
        {"0", "1", "2", "10", "100", "3.5", "&H1F", "255", "1000", "42"});
    Classify(state, *vb.config, words);
}
BENCHMARK(BM_ClassifyWordVbFolded);

void BM_LoadBuiltInConfigs(benchmark::State& state)
{
    for (auto _ : state)
    {
        for (const BuiltInLanguage& language : kBuiltInLanguages)
        {
            auto* config = new SECEditLangConfig();
            LangConfigResourceLoader loader(language.resourceId);
            benchmark::DoNotOptimize(loader.Load(*config));
            config->Release();
        }
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(kBuiltInLanguages.size()));
}
BENCHMARK(BM_LoadBuiltInConfigs)->Unit(benchmark::kMillisecond);

} // namespace
