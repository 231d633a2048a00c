// Undo gives back exactly the text before an edit and redo exactly the text
// after it, whatever line breaks the line-length rule adds on its own.

#include "EngineTestSupport.h"

#include "engine/SECEditDefaultLangSettings.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <random>
#include <string>
#include <vector>

namespace
{
struct ExactUndo : ::testing::Test
{
    ExactUndo()
    {
        settings = new SECEditDefaultLangSettings();
        engine.SetLangConfig(settings);
        engine.ResetContent();
    }
    ~ExactUndo() override { settings->Release(); }

    // Where two texts first differ, so a failure does not print 2,000 columns.
    static std::string Differ(const std::u16string& a, const std::u16string& b)
    {
        const auto first = std::mismatch(a.begin(), a.end(), b.begin(), b.end());
        return "lengths " + std::to_string(a.size()) + " and " + std::to_string(b.size()) + ", first difference at " +
               std::to_string(first.first - a.begin());
    }

    // Runs the edit, then checks undo and redo against the texts around it.
    void ExpectExactStep(const std::function<void()>& edit, const char* what)
    {
        const std::u16string before = AllText(engine);
        const int steps = engine.GetUndoCount();
        edit();
        const std::u16string after = AllText(engine);
        EXPECT_EQ(engine.GetUndoCount(), steps + 1) << what;
        ASSERT_NE(engine.Undo(), nullptr) << what;
        EXPECT_TRUE(AllText(engine) == before) << what << ": " << Differ(AllText(engine), before);
        ASSERT_NE(engine.Redo(), nullptr) << what;
        EXPECT_TRUE(AllText(engine) == after) << what << ": " << Differ(AllText(engine), after);
    }

    SECEdit engine;
    SECEditDefaultLangSettings* settings;
};

// Pieces of text that matter to lines and columns: every kind of line end,
// tabs, a surrogate pair, and runs long enough to cross 2,048 columns.
std::u16string RandomPiece(std::mt19937& rng, int maxPieces)
{
    static const std::u16string pieces[] = {u"a", u"b", u" ", u"\t", u"\n", u"\r\n", u"\r", u"\xD83D\xDE00"};
    std::u16string s;
    if (rng() % 12 == 0)
    {
        // A long run of letters with a few tabs.
        const auto n = 100 + rng() % 2100;
        for (unsigned i = 0; i < n; ++i)
            s += rng() % 97 == 0 ? u'\t' : u'w';
        return s;
    }
    const auto n = rng() % static_cast<unsigned>(maxPieces + 1);
    for (unsigned i = 0; i < n; ++i)
        s += pieces[rng() % std::size(pieces)];
    return s;
}

// A text of short lines and lines around 2,048 columns, with mixed line ends.
std::u16string RandomDocument(std::mt19937& rng)
{
    static const std::u16string ends[] = {u"\n", u"\r\n", u"\r\n", u"\r"};
    std::u16string s;
    const auto lines = 1 + rng() % 5;
    for (unsigned line = 0; line < lines; ++line)
    {
        const auto tabs = rng() % 3 == 0 ? rng() % 30 : 0;
        s.append(tabs, u'\t');
        const auto length = rng() % 2 == 0 ? 1900 + rng() % 200 : rng() % 40;
        for (unsigned i = 0; i < length; ++i)
            s += rng() % 50 == 0 ? u'\t' : static_cast<char16_t>(u'a' + i % 26);
        if (line + 1 < lines)
            s += ends[rng() % std::size(ends)];
    }
    return s;
}

// True when `longer` is `shorter` with some line-end characters added.
bool OnlyLineEndsAdded(std::u16string_view shorter, std::u16string_view longer)
{
    std::size_t i = 0;
    for (const char16_t c : longer)
    {
        if (i < shorter.size() && shorter[i] == c)
            ++i;
        else if (c != u'\r' && c != u'\n')
            return false;
    }
    return i == shorter.size();
}

std::size_t Offset(const SECEdit& engine, SECEditTextPos pos)
{
    std::size_t offset = 0;
    for (int line = 0; line < pos.line; ++line)
        offset += static_cast<std::size_t>(engine.GetFullLineLength(line));
    return offset + static_cast<std::size_t>(pos.column);
}

// One random sequence; returns a description of the first fault, or empty.
std::string RunSequence(unsigned seed)
{
    std::mt19937 rng(seed);
    auto* settings = new SECEditDefaultLangSettings();
    settings->SetTabSize(1 + static_cast<int>(rng() % 8));
    SECEdit engine;
    engine.SetLangConfig(settings);
    settings->Release(); // the engine holds it
    Load(engine, RandomDocument(rng));
    engine.ForgetHistory();

    std::vector<std::u16string> states{AllText(engine)}; // states[i]: after i steps
    std::size_t at = 0;                                  // the current state
    const auto fault = [&](const char* what, int step) {
        return "seed " + std::to_string(seed) + " step " + std::to_string(step) + ": " + what;
    };
    // A position where an edit may happen: anywhere up to the line feed.
    const auto randomPosition = [&] {
        const int line = static_cast<int>(rng() % static_cast<unsigned>(engine.GetLineCount()));
        int room = engine.GetFullLineLength(line);
        if (line + 1 < engine.GetLineCount())
            --room; // not after the line feed
        const int length = engine.GetLineLength(line);
        const int column = rng() % 3 == 0 ? length : static_cast<int>(rng() % static_cast<unsigned>(room + 1));
        return SECEditTextPos(line, column);
    };

    const int steps = 24;
    for (int step = 0; step < steps; ++step)
    {
        const auto op = rng() % 20;
        const std::u16string& before = states[at]; // the text now
        const int undoCount = engine.GetUndoCount();
        std::u16string plain; // the edit without any break of the engine's own
        bool checkPlain = true;
        if (op < 7)
        {
            const SECEditTextPos pos = randomPosition();
            const std::u16string text = RandomPiece(rng, 6);
            plain = before;
            plain.insert(Offset(engine, pos), text);
            if (!engine.InsertTextAt(pos.line, pos.column, text))
                return fault("insert refused", step);
        }
        else if (op < 12)
        {
            SECEditTextPos from = randomPosition(), to = randomPosition();
            if (to < from)
                std::swap(from, to);
            if (to.line > from.line + 2)
                to = {from.line + 2, 0};
            const std::size_t a = Offset(engine, from), b = Offset(engine, to);
            plain = before;
            plain.erase(a, b - a);
            // A third of them replace the text, as typing over a selection
            // does: one group, with whatever breaks the deletion added.
            const bool replace = rng() % 3 == 0;
            if (replace)
                engine.SetCompositeMode(true);
            if (!engine.DeleteText(from.line, from.column, to.line, to.column))
                return fault("delete refused", step);
            if (replace)
            {
                const std::u16string text = RandomPiece(rng, 4);
                if (AllText(engine) == plain)
                    plain.insert(a, text);
                else
                    checkPlain = false; // the deletion broke a line: the position moved
                engine.InsertTextAt(from.line, from.column, text);
                engine.SetCompositeMode(false);
            }
        }
        else if (op < 14)
        {
            settings->SetTabSize(1 + static_cast<int>(rng() % 8));
            continue;
        }
        else if (op < 18)
        {
            const bool undone = engine.Undo() != nullptr;
            if (undone != (at > 0) || engine.HistoryStepFailed())
                return fault("undo", step);
            if (undone && AllText(engine) != states[--at])
                return fault("undo did not give back the text before the step", step);
            continue;
        }
        else
        {
            const bool redone = engine.Redo() != nullptr;
            if (redone != (at + 1 < states.size()) || engine.HistoryStepFailed())
                return fault("redo", step);
            if (redone && AllText(engine) != states[++at])
                return fault("redo did not give back the text after the step", step);
            continue;
        }
        std::u16string after = AllText(engine);
        if (checkPlain && after != plain && !OnlyLineEndsAdded(plain, after))
            return fault("the edit changed more than line breaks", step);
        // A join broken again at the same place changes nothing, yet is a step.
        if (after == before && engine.GetUndoCount() == undoCount)
            continue;
        if (engine.GetUndoCount() != undoCount + 1)
            return fault("an edit did not make exactly one step", step);
        states.resize(at + 1);
        states.push_back(std::move(after));
        ++at;
    }

    while (engine.Undo())
        --at;
    if (at != 0 || AllText(engine) != states.front())
        return fault("undoing everything did not give back the original", steps);
    while (engine.Redo())
        ++at;
    if (at + 1 != states.size() || AllText(engine) != states.back())
        return fault("redoing everything did not give back the final text", steps);
    return {};
}

unsigned long long FromEnvironment(const char* name, unsigned long long fallback)
{
    const char* value = std::getenv(name);
    return value && *value ? std::strtoull(value, nullptr, 10) : fallback;
}
} // namespace

// TAVRO_UNDO_SEQUENCES sets how many sequences run (a long run: millions),
// TAVRO_UNDO_SEED the first seed.
TEST(ExactUndoProperty, UndoAllGivesBackTheOriginalAndRedoAllTheFinalText)
{
    const unsigned long long count = FromEnvironment("TAVRO_UNDO_SEQUENCES", 2000);
    const unsigned long long first = FromEnvironment("TAVRO_UNDO_SEED", 1);
    const auto started = std::chrono::steady_clock::now();
    for (unsigned long long i = 0; i < count; ++i)
    {
        const std::string fault = RunSequence(static_cast<unsigned>(first + i));
        ASSERT_TRUE(fault.empty()) << fault;
    }
    if (count > 100000)
        std::printf("%llu sequences in %.0f s\n", count,
                    std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count());
}

TEST_F(ExactUndo, EditsOnLinesAlreadyTooWideUndoExactly)
{
    // 20 tabs and 1,960 characters: 2,040 columns at tab size 4, 2,060 at 5.
    const std::u16string wide = std::u16string(20, u'\t') + std::u16string(1960, u'w');
    const std::u16string rest = u"\r\nnext line\r\nlast";

    Load(engine, wide + rest);
    settings->SetTabSize(5);
    ExpectExactStep([&] { ASSERT_TRUE(engine.InsertTextAt(0, 1980, u"z")); }, "typing at the end");
    ExpectExactStep([&] { ASSERT_TRUE(engine.DeleteText(0, 1975, 0, 1976)); }, "deleting at column 1975");
    ExpectExactStep([&] { ASSERT_TRUE(engine.InsertTextAt(0, 5, u"ab\ncd")); }, "a line break inside");
    ExpectExactStep([&] { ASSERT_TRUE(engine.InsertTextAt(0, 0, u"\n")); }, "a line break before it");
    ExpectExactStep([&] { ASSERT_TRUE(engine.DeleteText(1, 7, 2, 0)); }, "a join");
    for (int i = 0; i < 5; ++i)
        ASSERT_NE(engine.Undo(), nullptr);
    EXPECT_TRUE(AllText(engine) == wide + rest);

    // A lone carriage return hides the x's; deleting it reveals them.
    const std::u16string hidden = u"top\r\nb\r" + std::u16string(3000, u'x') + u"\r\nHELLO tail\r\nend";
    Load(engine, hidden);
    ASSERT_TRUE(engine.DeleteText(3, 0, 3, 3));
    const std::u16string withoutEnd = AllText(engine);
    ExpectExactStep([&] { ASSERT_TRUE(engine.DeleteText(1, 0, 1, 2)); }, "revealing 3,000 x's");
    for (int line = 0; line < engine.GetLineCount(); ++line)
        EXPECT_LE(engine.ConvertColumn(engine.GetLineLength(line), 0, line), SECEdit::MaxLineLength);
    ASSERT_NE(engine.Undo(), nullptr);
    EXPECT_TRUE(AllText(engine) == withoutEnd);
    ASSERT_NE(engine.Undo(), nullptr);
    EXPECT_TRUE(AllText(engine) == hidden);
}
