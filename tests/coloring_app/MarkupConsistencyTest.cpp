#include "app/CMyEdit.h"
#include "tests/coloring/ColoringTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <random>
#include <string>
#include <vector>

namespace
{
std::vector<std::string> ColourInOrder(SECEdit& engine, std::vector<std::int32_t> order)
{
    std::vector<std::string> runs(static_cast<std::size_t>(engine.GetLineCount()));
    for (std::int32_t line : order)
        runs[static_cast<std::size_t>(line)] = LineRuns(engine, line);
    return runs;
}

// Random edits, undos and redos of a markup document; after each, every line
// coloured in random order must equal a fresh engine's colouring.
void CheckConsistency(std::u16string_view language, std::u16string_view start,
                      std::initializer_list<const char16_t*> snippets, unsigned seed)
{
    std::mt19937 random(seed);
    const std::vector<const char16_t*> pieces(snippets);
    auto engine = MakeEngine<CMyEdit>(language, start);
    auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    for (int step = 0; step < 250; ++step)
    {
        const int action = pick(10);
        const std::int32_t lines = engine->GetLineCount();
        const std::int32_t line = pick(lines);
        const std::int32_t column = pick(engine->GetLineLength(line) + 1);
        if (action < 5)
            ASSERT_TRUE(engine->InsertTextAt(line, column, pieces[static_cast<std::size_t>(pick(static_cast<int>(pieces.size())))]));
        else if (action < 8)
        {
            const std::int32_t endLine = std::min(lines - 1, line + pick(2));
            std::int32_t endColumn = pick(engine->GetLineLength(endLine) + 1);
            if (endLine == line)
                endColumn = std::max(endColumn, column);
            ASSERT_TRUE(engine->DeleteText(line, column, endLine, endColumn));
        }
        else if (action == 8)
            engine->Undo();
        else
            engine->Redo();

        std::u16string text;
        engine->GetAllText(text);
        auto fresh = MakeEngine<CMyEdit>(language, text);
        std::vector<std::int32_t> order(static_cast<std::size_t>(fresh->GetLineCount()));
        std::iota(order.begin(), order.end(), 0);
        const std::vector<std::string> expected = ColourInOrder(*fresh, order);
        std::shuffle(order.begin(), order.end(), random);
        const std::vector<std::string> actual = ColourInOrder(*engine, order);
        ASSERT_EQ(actual.size(), expected.size());
        for (std::size_t i = 0; i < actual.size(); ++i)
            ASSERT_EQ(actual[i], expected[i]) << "step " << step << ", line " << i << "\n"
                                              << std::string(text.begin(), text.end());
    }
}
} // namespace

TEST(MarkupConsistency, HtmlCacheNeverStale)
{
    CheckConsistency(u"HTML",
                     u"<HTML>\n<BODY width=1\nheight=\"2\">\ntext B and TABLE\n<!-- note\n-> more\n<P>end</P>\n",
                     {u"<", u">", u"\"", u"<B>", u"\n", u"x", u"<!-", u"->", u"width=3", u" "}, 5);
}

TEST(MarkupConsistency, XmlCacheNeverStale)
{
    CheckConsistency(u"XML", u"<?xml version=\"1.0\"?>\n<a href=\"x\">\nbody\n</a>\n<b c='d'/>",
                     {u"<", u">", u"\"", u"'", u"\n", u"x=\"y\"", u"?xml", u"?", u" "}, 7);
}
