#include "tests/coloring/ColoringTestSupport.h"

#include "engine/SECEditReplaceCommand.h"
#include "engine/SECEditTextStore.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <random>
#include <string>
#include <vector>

namespace
{
const char16_t* const kStartText = u"int main() /* entry\n"
                                   u"   point */ {\n"
                                   u"    s = \"a /* b\"; // c /* d\n"
                                   u"    t = '\\'' /* e */ + 1;\n"
                                   u"/* long\n"
                                   u"\n"
                                   u"   comment \" here\n"
                                   u"*/ return \"x\\\"/*\" 0x1F;\n"
                                   u"}\n"
                                   u"// tail /*\n"
                                   u"x = y /* open";

const char16_t* const kSnippets[] = {u"/*", u"*/", u"\"", u"//", u"\n", u"x", u"'", u"\\", u" ", u"a/*b",
                                     u"*/\n", u"\"/*\"", u"int", u"\n\n/* z */\n", u"*/ y /*"};

std::vector<std::string> ColourAll(SECEdit& engine, const std::vector<std::int32_t>& order)
{
    std::vector<std::string> runs(static_cast<std::size_t>(engine.GetLineCount()));
    for (std::int32_t line : order)
        runs[static_cast<std::size_t>(line)] = LineRuns(engine, line);
    return runs;
}

// Replace All of a literal as one command: words by words keep the comment
// regions where they are, anything else finds them again.
void ReplaceEvery(SECEdit& engine, std::u16string_view pattern, std::u16string_view replacement)
{
    std::u16string text;
    engine.GetAllText(text);
    auto* command = new SECEditReplaceCommand(&engine);
    for (std::size_t at = text.find(pattern); at != std::u16string::npos; at = text.find(pattern, at + pattern.size()))
    {
        SECEditTextPos pos;
        engine.GetTextStore()->OffsetToPosition(std::ptrdiff_t(at), pos.line, pos.column);
        command->Add(std::ptrdiff_t(at), pos, pattern, replacement);
    }
    if (command->GetCount() == 0 || !engine.ExecuteCommand(command))
        command->Release();
}

std::vector<std::int32_t> InOrder(std::int32_t count)
{
    std::vector<std::int32_t> order(static_cast<std::size_t>(count));
    std::iota(order.begin(), order.end(), 0);
    return order;
}
} // namespace

// After every edit, undo and redo, each line's colouring equals what a fresh
// engine computes for the same text, whatever order the lines are asked in.
TEST(ColoringConsistency, CacheNeverStale)
{
    std::mt19937 random(20261208);
    auto engine = MakeEngine(u"C++", kStartText);
    auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };

    for (int step = 0; step < 400; ++step)
    {
        const int action = pick(11);
        const std::int32_t lines = engine->GetLineCount();
        if (action < 5)
        {
            const std::int32_t line = pick(lines);
            const std::int32_t column = pick(engine->GetLineLength(line) + 1);
            ASSERT_TRUE(engine->InsertTextAt(line, column, kSnippets[pick(std::size(kSnippets))]));
        }
        else if (action < 8)
        {
            const std::int32_t line = pick(lines);
            const std::int32_t column = pick(engine->GetLineLength(line) + 1);
            std::int32_t endLine = std::min(lines - 1, line + pick(3));
            std::int32_t endColumn = pick(engine->GetLineLength(endLine) + 1);
            if (endLine == line && endColumn < column)
                endColumn = column;
            ASSERT_TRUE(engine->DeleteText(line, column, endLine, endColumn));
        }
        else if (action == 10)
        {
            static const std::u16string_view words[] = {u"x", u"int", u"a", u"ab", u"/*", u"*/", u"\""};
            static const std::u16string_view replacements[] = {u"yy", u"q", u"int", u"/*", u"", u"a b"};
            ReplaceEvery(*engine, words[pick(std::size(words))], replacements[pick(std::size(replacements))]);
        }
        else if (action == 8)
            engine->Undo();
        else
            engine->Redo();

        std::u16string text;
        engine->GetAllText(text);
        auto fresh = MakeEngine(u"C++", text);
        const std::vector<std::string> expected = ColourAll(*fresh, InOrder(fresh->GetLineCount()));

        // Ask for a few lines in random order first (as a pane scrolled
        // somewhere would), then for all of them, also in random order.
        std::vector<std::int32_t> order = InOrder(engine->GetLineCount());
        std::shuffle(order.begin(), order.end(), random);
        const std::vector<std::int32_t> few(order.begin(), order.begin() + std::min<std::ptrdiff_t>(3, order.size()));
        ColourAll(*engine, few);
        if (step % 3 == 0)
            continue; // leave part of the document uncoloured into the next edit
        std::shuffle(order.begin(), order.end(), random);
        const std::vector<std::string> actual = ColourAll(*engine, order);
        ASSERT_EQ(actual.size(), expected.size());
        for (std::size_t line = 0; line < actual.size(); ++line)
            ASSERT_EQ(actual[line], expected[line]) << "step " << step << ", line " << line;
    }
}
