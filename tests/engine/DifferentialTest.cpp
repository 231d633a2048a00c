// Long random sequences of inserts, deletes, undos and redos, checked after
// every step against a plain string and a plain list of states.

#include "engine/SECEdit.h"
#include "engine/SECEditDefaultLangSettings.h"
#include "engine/SECEditTextStore.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <random>
#include <string>
#include <vector>

namespace
{
// The text as a string, with the line rules spelled out the slow way.
struct Model
{
    std::u16string text;

    std::vector<std::size_t> LineStarts() const
    {
        std::vector<std::size_t> starts{0};
        for (std::size_t i = 0; i < text.size(); ++i)
            if (text[i] == u'\n')
                starts.push_back(i + 1);
        return starts;
    }
    int LineCount() const { return static_cast<int>(LineStarts().size()); }
    // Characters up to the first CR or LF.
    int LineLength(int line) const
    {
        const auto starts = LineStarts();
        std::size_t i = starts[static_cast<std::size_t>(line)];
        int n = 0;
        while (i < text.size() && text[i] != u'\r' && text[i] != u'\n')
            ++i, ++n;
        return n;
    }
    // Offset of (line, column) when an edit may happen there, else -1.
    long Editable(int line, int column) const
    {
        const auto starts = LineStarts();
        if (line < 0 || line >= static_cast<int>(starts.size()) || column < 0)
            return -1;
        const std::size_t start = starts[static_cast<std::size_t>(line)];
        const std::size_t end = line + 1 < static_cast<int>(starts.size()) ? starts[static_cast<std::size_t>(line) + 1] - 1
                                                                          : text.size();
        if (static_cast<std::size_t>(column) > end - start)
            return -1;
        return static_cast<long>(start) + column;
    }
};

std::u16string RandomText(std::mt19937& rng, int maxLength)
{
    static const char16_t alphabet[] = u"abcXY \t\t\r\n\n\n";
    std::uniform_int_distribution<int> length(0, maxLength);
    std::uniform_int_distribution<int> pick(0, static_cast<int>(std::size(alphabet)) - 2);
    std::u16string s;
    const int n = length(rng);
    for (int i = 0; i < n; ++i)
    {
        if (rng() % 6 == 0)
            s += u"\r\n";
        else
            s += alphabet[pick(rng)];
    }
    return s;
}

void ExpectSame(const SECEdit& engine, const Model& model, int step)
{
    std::u16string all;
    engine.GetAllText(all);
    ASSERT_EQ(all, model.text) << "step " << step;
    const auto starts = model.LineStarts();
    const int lines = static_cast<int>(starts.size());
    ASSERT_EQ(engine.GetLineCount(), lines) << "step " << step;
    const std::u16string_view whole(model.text);
    for (int line = 0; line < lines; ++line)
    {
        const std::size_t start = starts[static_cast<std::size_t>(line)];
        const std::size_t stop = whole.find_first_of(u"\r\n", start);
        const std::size_t length = (stop == std::u16string_view::npos ? whole.size() : stop) - start;
        std::u16string_view text;
        ASSERT_EQ(engine.GetLineText(line, text), static_cast<int>(length)) << "step " << step << " line " << line;
        ASSERT_EQ(engine.GetLineLength(line), static_cast<int>(length));
        ASSERT_EQ(text, whole.substr(start, length)) << "step " << step;
    }
    ASSERT_EQ(engine.GetLineLength(lines), -1);
    ASSERT_EQ(engine.GetLineLength(-1), -1);
}

class DifferentialTest : public ::testing::TestWithParam<unsigned>
{
protected:
    void SetUp() override { SECEditTextStore::SetBlockSizes(24, 48, 8); }
    void TearDown() override { SECEditTextStore::SetBlockSizes(4096, 8192, 1024); }
};

TEST_P(DifferentialTest, RandomEditsUndoAndRedoMatchAPlainString)
{
    std::mt19937 rng(GetParam());
    SECEdit engine;
    engine.ResetContent();

    Model model;
    std::deque<std::u16string> undo; // earlier states, newest last
    std::vector<std::u16string> redo;
    // Short enough that no line can reach 2,048 display columns, so the
    // line-length rule never adds breaks the model does not know about.
    constexpr std::size_t MaxText = 500;

    const int steps = 1500;
    for (int step = 0; step < steps; ++step)
    {
        const int op = static_cast<int>(rng() % 10);
        const int lineCount = model.LineCount();
        auto randomLine = [&] { return static_cast<int>(rng() % static_cast<unsigned>(lineCount + 1)) - (rng() % 20 == 0); };
        auto randomColumn = [&](int line) {
            const int length = line >= 0 && line < lineCount ? model.LineLength(line) + 2 : 3;
            return static_cast<int>(rng() % static_cast<unsigned>(length + 1)) - (rng() % 25 == 0);
        };

        if (op < 4)
        {
            const int line = randomLine();
            const int column = randomColumn(line);
            std::u16string text = RandomText(rng, 12);
            if (model.text.size() + text.size() > MaxText)
                text.clear();
            const long at = model.Editable(line, column);
            SECEditTextRange range(line, column, line, column);
            const bool ok = engine.InsertText(range, text);
            ASSERT_EQ(ok, at >= 0) << "step " << step << " insert at " << line << "," << column;
            if (ok && !text.empty())
            {
                undo.push_back(model.text);
                if (undo.size() > SECEdit::HistoryCapacity)
                    undo.pop_front();
                redo.clear();
                model.text.insert(static_cast<std::size_t>(at), text);
                // The range end is just after the text.
                std::u16string inserted;
                ASSERT_TRUE(engine.GetText(inserted, range.start.line, range.start.column, range.end.line,
                                           range.end.column));
                ASSERT_EQ(inserted, text) << "step " << step;
            }
        }
        else if (op < 7)
        {
            int sl = randomLine();
            int sc = randomColumn(sl);
            int el = sl + static_cast<int>(rng() % 3);
            int ec = randomColumn(el);
            if (rng() % 10 != 0 && SECEditTextPos(el, ec) < SECEditTextPos(sl, sc))
            {
                std::swap(sl, el);
                std::swap(sc, ec);
            }
            const long from = model.Editable(sl, sc);
            const long to = model.Editable(el, ec);
            const bool valid = from >= 0 && to >= 0 && SECEditTextPos(sl, sc) <= SECEditTextPos(el, ec);
            const bool ok = engine.DeleteText(sl, sc, el, ec);
            ASSERT_EQ(ok, valid) << "step " << step << " delete " << sl << "," << sc << " " << el << "," << ec;
            if (ok && from != to)
            {
                undo.push_back(model.text);
                if (undo.size() > SECEdit::HistoryCapacity)
                    undo.pop_front();
                redo.clear();
                model.text.erase(static_cast<std::size_t>(from), static_cast<std::size_t>(to - from));
            }
        }
        else if (op < 9)
        {
            const bool undone = engine.Undo() != nullptr;
            ASSERT_EQ(undone, !undo.empty()) << "step " << step;
            if (undone)
            {
                redo.push_back(model.text);
                model.text = undo.back();
                undo.pop_back();
            }
        }
        else
        {
            const bool redone = engine.Redo() != nullptr;
            ASSERT_EQ(redone, !redo.empty()) << "step " << step;
            if (redone)
            {
                undo.push_back(model.text);
                model.text = redo.back();
                redo.pop_back();
            }
        }
        ASSERT_NO_FATAL_FAILURE(ExpectSame(engine, model, step));
        ASSERT_EQ(engine.IsModified(), engine.GetUndoCount() > 0) << "step " << step;
    }
}

INSTANTIATE_TEST_SUITE_P(FixedSeeds, DifferentialTest, ::testing::Values(1u, 7u, 2024u));

// Offsets and positions agree with the model whatever the block layout.
TEST_P(DifferentialTest, OffsetsPositionsAndPointersAgree)
{
    std::mt19937 rng(GetParam());
    SECEditTextStore store;
    Model model;
    for (int round = 0; round < 60; ++round)
    {
        const std::u16string text = RandomText(rng, 40);
        SECEditTextRange end;
        const auto starts = model.LineStarts();
        const int lastLine = static_cast<int>(starts.size()) - 1;
        end.start = {lastLine, static_cast<int>(model.text.size() - starts.back())};
        ASSERT_TRUE(store.InsertAt(end, text.data(), static_cast<std::ptrdiff_t>(text.size())));
        model.text += text;

        ASSERT_EQ(store.GetLength(), static_cast<std::ptrdiff_t>(model.text.size()));
        for (std::size_t offset = 0; offset <= model.text.size(); offset += 1 + rng() % 5)
        {
            std::int32_t line = -1, column = -1;
            ASSERT_TRUE(store.OffsetToPosition(static_cast<std::ptrdiff_t>(offset), line, column));
            ASSERT_EQ(store.PositionToOffset(line, column), static_cast<std::ptrdiff_t>(offset));
            const auto lineStarts = model.LineStarts();
            ASSERT_EQ(lineStarts[static_cast<std::size_t>(line)] + static_cast<std::size_t>(column), offset);
        }
        std::int32_t line = 0, column = 0;
        ASSERT_FALSE(store.OffsetToPosition(static_cast<std::ptrdiff_t>(model.text.size()) + 1, line, column));
        ASSERT_FALSE(store.OffsetToPosition(-1, line, column));

        // A pointer is given exactly when the range lies in one block.
        const int count = model.LineCount();
        const int sl = static_cast<int>(rng() % static_cast<unsigned>(count));
        const int el = std::min(count - 1, sl + static_cast<int>(rng() % 3));
        const char16_t* p = nullptr;
        const std::ptrdiff_t n = store.GetTextPointer(p, sl, 0, el, 0);
        const std::size_t from = model.LineStarts()[static_cast<std::size_t>(sl)];
        const std::size_t to = model.LineStarts()[static_cast<std::size_t>(el)];
        if (n >= 0)
        {
            ASSERT_EQ(static_cast<std::size_t>(n), to - from);
            ASSERT_EQ(std::u16string_view(p, static_cast<std::size_t>(n)),
                      std::u16string_view(model.text).substr(from, to - from));
        }
        else
        {
            ASSERT_NE(store.FindBlock(static_cast<std::ptrdiff_t>(from), false),
                      store.FindBlock(static_cast<std::ptrdiff_t>(to), true));
        }
    }
    EXPECT_GT(store.GetBlockCount(), 10);
}
} // namespace

namespace
{
// Bookmarks as a plain set of lines, moved by the split and join rules.
struct MarkModel
{
    std::vector<bool> marked; // one per line

    static int LeadingBlanks(std::u16string_view line)
    {
        int n = 0;
        while (n < static_cast<int>(line.size()) && (line[static_cast<std::size_t>(n)] == u' ' ||
                                                     line[static_cast<std::size_t>(n)] == u'\t'))
            ++n;
        return n;
    }
    // `lineText` is the visible text of the start line before the insertion.
    void Insert(int line, int column, int newLines, std::u16string_view lineText)
    {
        const bool hasText = LeadingBlanks(lineText) < static_cast<int>(lineText.size());
        const bool atIndent = hasText ? LeadingBlanks(lineText) >= column : column == 0;
        const int at = atIndent ? line : line + 1;
        marked.insert(marked.begin() + at, static_cast<std::size_t>(newLines), false);
    }
    // Texts of the start and end lines before the deletion.
    void Delete(int sl, int sc, int el, int ec, std::u16string_view startText, std::u16string_view endText)
    {
        if (el == sl)
            return;
        const bool atIndent = sc <= LeadingBlanks(startText) && ec < static_cast<int>(endText.size());
        const int from = atIndent ? sl : sl + 1;
        marked.erase(marked.begin() + from, marked.begin() + from + (el - sl));
    }
};

struct Op
{
    bool insert;
    SECEditTextPos start;
    std::u16string text;
};

SECEditTextPos EndOf(SECEditTextPos start, std::u16string_view text)
{
    const auto feeds = std::count(text.begin(), text.end(), u'\n');
    if (feeds == 0)
        return {start.line, start.column + static_cast<int>(text.size())};
    return {start.line + static_cast<int>(feeds), static_cast<int>(text.size() - text.rfind(u'\n') - 1)};
}
} // namespace

TEST_P(DifferentialTest, BookmarksFollowSplitsJoinsUndoAndRedo)
{
    std::mt19937 rng(GetParam() * 31 + 3);
    SECEdit engine;
    engine.ResetContent();
    MarkModel marks{{false}};
    std::deque<Op> undo;
    std::vector<Op> redo;

    auto visible = [&](int line) {
        std::u16string_view text;
        engine.GetLineText(line, text);
        return std::u16string(text);
    };
    // Applies an insert or a delete to engine and model alike.
    auto apply = [&](const Op& op, bool forward) {
        const bool inserting = op.insert == forward;
        if (inserting)
        {
            marks.Insert(op.start.line, op.start.column, static_cast<int>(std::count(op.text.begin(), op.text.end(), u'\n')),
                         visible(op.start.line));
            return;
        }
        const SECEditTextPos end = EndOf(op.start, op.text);
        marks.Delete(op.start.line, op.start.column, end.line, end.column, visible(op.start.line), visible(end.line));
    };

    for (int step = 0; step < 1200; ++step)
    {
        const int lines = engine.GetLineCount();
        const int op = static_cast<int>(rng() % 10);
        if (op < 2)
        {
            const int line = static_cast<int>(rng() % static_cast<unsigned>(lines));
            engine.ToggleLineMark(line, SECEditLineMarks::BookmarkMark);
            marks.marked[static_cast<std::size_t>(line)] = !marks.marked[static_cast<std::size_t>(line)];
        }
        else if (op < 5)
        {
            std::u16string text = RandomText(rng, 8);
            std::u16string all;
            engine.GetAllText(all);
            if (all.size() + text.size() > 400 || text.empty())
                continue;
            const int line = static_cast<int>(rng() % static_cast<unsigned>(lines));
            const int column = static_cast<int>(rng() % static_cast<unsigned>(engine.GetLineLength(line) + 1));
            Op edit{true, {line, column}, text};
            apply(edit, true);
            ASSERT_TRUE(engine.InsertTextAt(line, column, text));
            undo.push_back(edit);
            redo.clear();
        }
        else if (op < 7)
        {
            const int sl = static_cast<int>(rng() % static_cast<unsigned>(lines));
            const int el = std::min(lines - 1, sl + static_cast<int>(rng() % 3));
            const int sc = static_cast<int>(rng() % static_cast<unsigned>(engine.GetLineLength(sl) + 1));
            const int ec = static_cast<int>(rng() % static_cast<unsigned>(engine.GetLineLength(el) + 1));
            if (SECEditTextPos(el, ec) <= SECEditTextPos(sl, sc))
                continue;
            std::u16string removed;
            ASSERT_TRUE(engine.GetText(removed, sl, sc, el, ec));
            Op edit{false, {sl, sc}, removed};
            apply(edit, true);
            ASSERT_TRUE(engine.DeleteText(sl, sc, el, ec));
            undo.push_back(edit);
            redo.clear();
        }
        else if (op < 9)
        {
            if (undo.empty())
                continue;
            apply(undo.back(), false);
            ASSERT_NE(engine.Undo(), nullptr);
            redo.push_back(undo.back());
            undo.pop_back();
        }
        else
        {
            if (redo.empty())
                continue;
            apply(redo.back(), true);
            ASSERT_NE(engine.Redo(), nullptr);
            undo.push_back(redo.back());
            redo.pop_back();
        }
        if (undo.size() > SECEdit::HistoryCapacity)
            undo.pop_front();

        ASSERT_EQ(static_cast<int>(marks.marked.size()), engine.GetLineCount()) << "step " << step;
        int count = 0;
        for (int line = 0; line < engine.GetLineCount(); ++line)
        {
            ASSERT_EQ(engine.TestLineMark(line, SECEditLineMarks::BookmarkMark), marks.marked[static_cast<std::size_t>(line)])
                << "step " << step << " line " << line;
            count += marks.marked[static_cast<std::size_t>(line)];
        }
        ASSERT_EQ(engine.CountLineMarks(SECEditLineMarks::BookmarkMark), count);
    }
}

// Text appended in pieces of any size (a carriage return may end one piece
// and its line feed start the next) is indexed exactly as the text itself.
TEST_P(DifferentialTest, AppendingInPiecesIndexesLikeTheWholeText)
{
    std::mt19937 rng(GetParam() + 11);
    std::u16string whole;
    while (whole.size() < 6000)
        whole += RandomText(rng, 60);
    for (int round = 0; round < 3; ++round)
    {
        SECEditTextStore store;
        for (std::size_t at = 0; at < whole.size();)
        {
            const std::size_t piece = std::min<std::size_t>(whole.size() - at, 1 + rng() % (round == 0 ? 3 : 200));
            store.AppendText(std::u16string_view(whole).substr(at, piece));
            at += piece;
        }
        Model model{whole};
        const auto starts = model.LineStarts();
        ASSERT_EQ(store.GetLineCount(), static_cast<int>(starts.size()));
        for (std::size_t line = 0; line < starts.size(); ++line)
        {
            const std::size_t next = line + 1 < starts.size() ? starts[line + 1] : whole.size();
            ASSERT_EQ(store.GetFullLineLength(static_cast<int>(line)), static_cast<int>(next - starts[line]));
            const std::size_t stop = std::u16string_view(whole).find_first_of(u"\r\n", starts[line]);
            const std::size_t length = (stop == std::u16string::npos ? whole.size() : stop) - starts[line];
            ASSERT_EQ(store.GetLineLength(static_cast<int>(line)), static_cast<int>(length)) << "line " << line;
        }
    }
}
