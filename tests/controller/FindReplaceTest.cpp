#include "ControllerTestSupport.h"

#include "controller/SECEditFindReplace.h"
#include "controller/SECEditSearchSettings.h"
#include "engine/SECEditCommand.h"
#include "platform/IMessageBox.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <random>
#include <string>
#include <vector>

namespace {

class RecordingMessages : public IMessageBox
{
public:
    Answer Show(const std::u16string& text, Buttons, Icon) override
    {
        texts.push_back(text);
        return Answer::Ok;
    }
    std::vector<std::u16string> texts;
};

// The settings are process-wide: each test starts from the defaults.
class FindReplace : public ::testing::Test
{
protected:
    void SetUp() override
    {
        SECEditSearchSettings& s = settings();
        s = SECEditSearchSettings();
        s.messages = &messages;
    }
    void TearDown() override { settings() = SECEditSearchSettings(); }
    static SECEditSearchSettings& settings() { return SECEditSearchSettings::Instance(); }

    RecordingMessages messages;
};

std::u16string Selected(const TestPane& pane) { return pane.controller.GetSelectedText(); }

} // namespace

TEST_F(FindReplace, ReplaceAllFromTheMiddleReplacesEachOnceAsOneUndoStep)
{
    TestDocument doc(u"cat dog cat\ncat\nbird cat");
    TestPane pane(doc.edit);
    pane.controller.MoveCaretTo(1, 1);
    settings().findText = u"cat";
    settings().replaceText = u"cats"; // holds the pattern: the wrap test must stop it
    EXPECT_TRUE(pane.controller.GetFindReplace().ReplaceAll(settings()));
    EXPECT_EQ(doc.Text(), u"cats dog cats\ncats\nbird cats");
    ASSERT_EQ(messages.texts.size(), 1u);
    EXPECT_EQ(messages.texts[0], u"The document has been searched and 4 replacements were made.");
    EXPECT_FALSE(pane.controller.HasSelection());
    EXPECT_EQ(doc.UndoAll(), 1);
    EXPECT_EQ(doc.Text(), u"cat dog cat\ncat\nbird cat");
}

TEST_F(FindReplace, ReplaceAllWithGroupsWholeWordAndNothingFound)
{
    TestDocument doc(u"x=1, y=22; xy=3");
    TestPane pane(doc.edit);
    settings().findText = u"(\\w)=(\\d+)";
    settings().replaceText = u"$2:$1";
    settings().regularExpression = true;
    EXPECT_TRUE(pane.controller.GetFindReplace().ReplaceAll(settings()));
    EXPECT_EQ(doc.Line(0), u"1:x, 22:y; x3:y");

    settings().regularExpression = false;
    settings().wholeWord = true;
    settings().findText = u"x";
    settings().replaceText = u"Z";
    EXPECT_TRUE(pane.controller.GetFindReplace().ReplaceAll(settings()));
    EXPECT_EQ(doc.Line(0), u"1:Z, 22:y; x3:y");

    messages.texts.clear();
    settings().findText = u"absent";
    EXPECT_FALSE(pane.controller.GetFindReplace().ReplaceAll(settings()));
    ASSERT_EQ(messages.texts.size(), 1u);
    EXPECT_EQ(messages.texts[0], u"Finished searching for 'absent'.");
}

TEST_F(FindReplace, ReplacementGroupsComeFromTheMatchInItsLine)
{
    // Look-behind and anchors see the whole line, as the search did.
    TestDocument doc(u"ab cb ab\nb");
    TestPane pane(doc.edit);
    settings().findText = u"(?<=a)(b)";
    settings().replaceText = u"[$1]";
    settings().regularExpression = true;
    EXPECT_TRUE(pane.controller.GetFindReplace().ReplaceAll(settings()));
    EXPECT_EQ(doc.Text(), u"a[b] cb a[b]\nb");
    settings().findText = u"\\bc(b)$";
    EXPECT_FALSE(pane.controller.GetFindReplace().ReplaceAll(settings()));
    settings().findText = u"(b)$";
    EXPECT_TRUE(pane.controller.GetFindReplace().ReplaceAll(settings()));
    EXPECT_EQ(doc.Text(), u"a[b] cb a[b]\n[b]");
}

TEST_F(FindReplace, AReadOnlyDocumentIsNotReplacedIn)
{
    TestDocument doc(u"abc abc");
    TestPane pane(doc.edit);
    doc.edit.SetReadOnly(true);
    settings().findText = u"abc";
    settings().replaceText = u"x";
    EXPECT_FALSE(pane.controller.GetFindReplace().ReplaceAll(settings()));
    pane.controller.SetSelection({0, 0}, {0, 3});
    EXPECT_FALSE(pane.controller.GetFindReplace().Replace(settings()));
    EXPECT_EQ(doc.Text(), u"abc abc");
    ASSERT_EQ(messages.texts.size(), 2u);
    EXPECT_EQ(messages.texts[0], u"Text is read-only. Cannot perform replace.");
    // Finding and marking still work.
    EXPECT_TRUE(pane.controller.GetFindReplace().MarkAll(settings()));
}

TEST_F(FindReplace, ReplaceAllInTheSelectionStopsAtItsEnd)
{
    TestDocument doc(u"a a a\na a a");
    TestPane pane(doc.edit);
    pane.controller.SetSelection({0, 2}, {1, 1});
    settings().findText = u"a";
    settings().replaceText = u"bb";
    settings().selectionOnly = true;
    EXPECT_TRUE(pane.controller.GetFindReplace().ReplaceAll(settings()));
    EXPECT_EQ(doc.Text(), u"a bb bb\nbb a a");
    EXPECT_EQ(messages.texts.back(), u"The selection has been searched and 3 replacements were made.");

    // The last match ends the selection and none follows: the search must
    // not go round to the text before the selection.
    TestDocument tail(u"a a a\na a b");
    TestPane tailPane(tail.edit);
    tailPane.controller.SetSelection({0, 2}, {1, 3});
    for (bool batches : {true, false}) {
        SECEditFindReplace::SetReplaceInBatches(batches);
        EXPECT_TRUE(tailPane.controller.GetFindReplace().ReplaceAll(settings()));
        EXPECT_EQ(tail.Text(), u"a bb bb\nbb bb b");
        tail.UndoAll();
        tailPane.controller.SetSelection({0, 2}, {1, 3});
    }
    SECEditFindReplace::SetReplaceInBatches(true);
}

TEST_F(FindReplace, AReplacementMayNotMakeALineTooLong)
{
    TestDocument doc(u"short x\nx");
    TestPane pane(doc.edit);
    settings().findText = u"x";
    settings().replaceText = std::u16string(2045, u'y');
    EXPECT_FALSE(pane.controller.GetFindReplace().ReplaceAll(settings()));
    ASSERT_EQ(messages.texts.size(), 1u);
    EXPECT_EQ(messages.texts[0], u"Cannot replace text. Line would exceed 2048 characters.");
    EXPECT_EQ(doc.Text(), u"short x\nx");

    // Replace: the same check, nothing changed.
    pane.controller.SetSelection({0, 6}, {0, 7});
    EXPECT_FALSE(pane.controller.GetFindReplace().Replace(settings()));
    EXPECT_EQ(doc.Text(), u"short x\nx");
}

// Around the longest allowed line, with and without tabs (which count to the
// next tab stop) and with a carriage return before the line feed: a
// replacement goes in exactly when the line it leaves fits.
TEST_F(FindReplace, TheLineLimitHoldsToTheColumn)
{
    struct Case
    {
        std::u16string head; // before the match
        std::u16string replacement;
        const char16_t* end;  // the line's end
    };
    const std::u16string tab = u"\t"; // 4 columns here
    int run = 0;
    for (int width = 2046; width <= 2050; ++width) {
        for (const Case& c : {Case{std::u16string(std::size_t(width - 3), u'a'), u"xyz", u"\n"},
                              Case{std::u16string(std::size_t(width - 3), u'a'), u"xyz", u"\r\n"},
                              Case{tab + std::u16string(std::size_t(width - 7), u'a'), u"xyz", u"\n"},
                              Case{std::u16string(std::size_t(width - 3), u'a'), u"", u"\n"}}) {
            // The match "Q" goes; the line then measures `width` columns
            // (the empty replacement: width - 3).
            const std::u16string text = c.head + u"Q" + c.end + u"next";
            TestDocument doc(text);
            TestPane pane(doc.edit);
            messages.texts.clear();
            settings().findText = u"Q";
            settings().replaceText = c.replacement;
            const int measured = c.replacement.empty() ? width - 3 : width;
            const bool fits = measured <= SECEdit::MaxLineLength;
            EXPECT_EQ(pane.controller.GetFindReplace().ReplaceAll(settings()), fits) << "case " << run;
            EXPECT_EQ(doc.Line(0), fits ? c.head + c.replacement : c.head + u"Q") << "case " << run;
            ++run;
        }
    }
}

TEST_F(FindReplace, ReplaceFirstSelectsThenReplacesAndMovesOn)
{
    TestDocument doc(u"one two one two");
    TestPane pane(doc.edit);
    settings().findText = u"two";
    settings().replaceText = u"2";
    settings().lastDialogWasFind = false;
    SECEditFindReplace& find = pane.controller.GetFindReplace();
    EXPECT_TRUE(find.Replace(settings()));
    EXPECT_EQ(doc.Line(0), u"one two one two") << "the first press only finds";
    EXPECT_EQ(Selected(pane), u"two");
    EXPECT_TRUE(find.Replace(settings()));
    EXPECT_EQ(doc.Line(0), u"one 2 one two");
    EXPECT_EQ(pane.controller.GetAnchor(), SECEditTextPos(0, 10));
}

TEST_F(FindReplace, FindNextWrapsToTheOnlyMatchThenSaysFinished)
{
    TestDocument doc(u"alpha\nbeta\ngamma");
    TestPane pane(doc.edit);
    pane.controller.MoveCaretTo(1, 2);
    settings().findText = u"beta";
    SECEditFindReplace& find = pane.controller.GetFindReplace();
    EXPECT_TRUE(find.FindNext(settings()));
    EXPECT_EQ(Selected(pane), u"beta");
    EXPECT_EQ(pane.Caret(), SECEditTextPos(1, 4));
    EXPECT_FALSE(find.FindNext(settings()));
    ASSERT_EQ(messages.texts.size(), 1u);
    EXPECT_EQ(messages.texts[0], u"Finished searching for 'beta'.");
    EXPECT_EQ(Selected(pane), u"beta") << "the selection stays";

    settings().findText = u"delta";
    EXPECT_FALSE(find.FindNext(settings()));
    EXPECT_EQ(messages.texts.back(), u"Cannot find the string 'delta'.");
    EXPECT_FALSE(pane.controller.HasSelection());
}

TEST_F(FindReplace, AnInvalidRegularExpressionIsReportedNotSearched)
{
    TestDocument doc(u"a(b");
    TestPane pane(doc.edit);
    settings().findText = u"a(b";
    settings().regularExpression = true;
    SECEditFindReplace& find = pane.controller.GetFindReplace();
    EXPECT_FALSE(find.FindNext(settings()));
    EXPECT_FALSE(find.ReplaceAll(settings()));
    ASSERT_EQ(messages.texts.size(), 2u);
    EXPECT_EQ(messages.texts[0].rfind(u"The regular expression 'a(b' is not valid: ", 0), 0u);
    EXPECT_EQ(doc.Text(), u"a(b");
}

TEST_F(FindReplace, F3UsesTheWordAtTheCaretAndShiftF3SearchesUp)
{
    TestDocument doc(u"foo bar foo  bar");
    TestPane pane(doc.edit);
    pane.controller.MoveCaretTo(0, 12);
    pane.Run({ID_EDIT_FIND_NEXT});
    EXPECT_TRUE(settings().findText.empty()) << "between two blanks nothing happens";
    pane.Run({ID_EDIT_FIND_PREV});
    EXPECT_TRUE(settings().down) << "not even the direction changes";
    pane.controller.MoveCaretTo(0, 5);
    pane.Run({ID_EDIT_FIND_NEXT});
    EXPECT_EQ(settings().findText, u"bar");
    EXPECT_EQ(pane.Caret(), SECEditTextPos(0, 16));
    pane.Run({ID_EDIT_FIND_PREV});
    EXPECT_EQ(pane.Caret(), SECEditTextPos(0, 7));
    EXPECT_EQ(pane.controller.GetAnchor(), SECEditTextPos(0, 4));
    EXPECT_EQ(Selected(pane), u"bar");
    EXPECT_TRUE(messages.texts.empty());
}

TEST_F(FindReplace, SelectWordAndTheProposedPatternFollowTheLanguagesClasses)
{
    //                  0         1         2
    //                  0123456789012345678901234
    TestDocument doc(u"foo..bar ab_cd call(x) \tz");
    doc.config->SetCharClass(u".()", Delimiter, true); // the underscore is a word character here
    TestPane pane(doc.edit);
    const struct
    {
        int column;
        std::u16string word;
    } cases[] = {
        {3, u"."},      // foo|..bar: only the delimiter beside the caret
        {5, u"bar"},    // foo..|bar: the word on the right
        {0, u"foo"},    // |foo
        {11, u"ab_cd"}, // ab|_cd: one word
        {19, u"("},     // call|(: the punctuation on the right
        {22, u")"},     // )| before a blank
        {23, u"\t"},    // a tab counts on its own
        {8, u"bar"},    // bar| before a blank
    };
    for (const auto& c : cases)
    {
        pane.controller.ClearSelection(false);
        pane.controller.MoveCaretTo(0, c.column);
        EXPECT_EQ(pane.controller.GetFindReplace().GetFindText(), c.word) << c.column;
        pane.Run({ID_EDIT_SELECT_WORD});
        EXPECT_EQ(Selected(pane), c.word) << c.column;
    }
    // Ctrl+F3 searches for the proposal: from ab|_cd the whole name.
    pane.controller.ClearSelection(false);
    pane.controller.MoveCaretTo(0, 11);
    pane.Run({ID_EDIT_FIND_NEXT_CURRENT});
    EXPECT_EQ(settings().findText, u"ab_cd");
}

TEST_F(FindReplace, MarkAllBookmarksEachLineOnce)
{
    TestDocument doc(u"x\nab ab\nx\nab");
    TestPane pane(doc.edit);
    pane.controller.MoveCaretTo(2, 0);
    settings().findText = u"ab";
    settings().regularExpression = true; // Mark All is literal anyway
    EXPECT_TRUE(pane.controller.GetFindReplace().MarkAll(settings()));
    EXPECT_EQ(doc.edit.CountLineMarks(SECEditLineMarks::BookmarkMark), 2);
    EXPECT_TRUE(doc.edit.TestLineMark(1, SECEditLineMarks::BookmarkMark));
    EXPECT_TRUE(doc.edit.TestLineMark(3, SECEditLineMarks::BookmarkMark));
    EXPECT_EQ(pane.Caret(), SECEditTextPos(3, 0)) << "the first matched line from the caret";

    settings().findText = u"zz";
    EXPECT_FALSE(pane.controller.GetFindReplace().MarkAll(settings()));
    EXPECT_EQ(messages.texts.back(), u"Cannot find the string 'zz'.");
}

TEST_F(FindReplace, BookmarkCommandsToggleWrapAndClear)
{
    TestDocument doc(u"0\n1\n2\n3\n4");
    TestPane pane(doc.edit);
    constexpr int bookmark = SECEditLineMarks::BookmarkMark;
    EXPECT_FALSE(pane.controller.IsCommandEnabled(ID_EDIT_MARK_NEXT_FIRST + bookmark));
    EXPECT_TRUE(pane.controller.IsCommandEnabled(ID_EDIT_MARK_TOGGLE_FIRST + bookmark));
    pane.controller.MoveCaretTo(3, 1);
    pane.Run({ID_EDIT_MARK_NEXT_FIRST + bookmark});
    EXPECT_EQ(pane.Caret(), SECEditTextPos(3, 1)) << "disabled without bookmarks";
    pane.Run({ID_EDIT_MARK_TOGGLE_FIRST + bookmark});
    pane.Run({ID_EDIT_MARK_NEXT_FIRST + bookmark});
    EXPECT_EQ(pane.Caret(), SECEditTextPos(3, 0)) << "the caret's own line, found last";
    pane.controller.MoveCaretTo(1, 0);
    pane.Run({ID_EDIT_MARK_TOGGLE_FIRST + bookmark});
    pane.Run({ID_EDIT_MARK_NEXT_FIRST + bookmark});
    EXPECT_EQ(pane.Caret().line, 3);
    pane.Run({ID_EDIT_MARK_NEXT_FIRST + bookmark});
    EXPECT_EQ(pane.Caret().line, 1) << "wraps";
    pane.Run({ID_EDIT_MARK_PREV_FIRST + bookmark});
    EXPECT_EQ(pane.Caret().line, 3) << "wraps back";
    pane.Run({ID_EDIT_MARK_TOGGLE_FIRST + bookmark});
    EXPECT_EQ(doc.edit.CountLineMarks(bookmark), 1);
    pane.Run({ID_EDIT_MARK_CLEAR_FIRST + bookmark});
    EXPECT_EQ(doc.edit.CountLineMarks(bookmark), 0);
    EXPECT_FALSE(pane.controller.IsCommandEnabled(ID_EDIT_MARK_CLEAR_FIRST + bookmark));
}

TEST(SearchHistory, KeepsSixteenMostRecentFirstWithoutDuplicates)
{
    std::vector<std::u16string> history;
    for (int i = 0; i < 17; ++i)
        SECEditSearchSettings::AddToHistory(history, std::u16string(1, char16_t(u'a' + i)));
    ASSERT_EQ(history.size(), 16u);
    EXPECT_EQ(history.front(), u"q");
    EXPECT_EQ(history.back(), u"b");
    SECEditSearchSettings::AddToHistory(history, u"h");
    EXPECT_EQ(history.front(), u"h");
    EXPECT_EQ(history.size(), 16u);
}

TEST_F(FindReplace, ALineTooComplexForTheExpressionIsNamedOnceAndTheSearchGoesOn)
{
    const std::u16string explosive = std::u16string(40, u'a') + u"!b";
    TestDocument doc(u"top\n" + explosive + u"\ncab\n" + explosive + u"\ncab");
    TestPane pane(doc.edit);
    settings().findText = u"(a+)+b";
    settings().replaceText = u"X";
    settings().regularExpression = true;
    SECEditFindReplace& find = pane.controller.GetFindReplace();
    const std::u16string tooComplex =
        u"The regular expression '(a+)+b' is too complex for line 2, which was not searched. "
        u"The search went on after it.";

    EXPECT_TRUE(find.FindNext(settings()));
    EXPECT_EQ(Selected(pane), u"ab");
    ASSERT_EQ(messages.texts.size(), 1u);
    EXPECT_EQ(messages.texts[0], tooComplex);

    messages.texts.clear();
    pane.controller.ClearSelection(true);
    pane.controller.MoveCaretTo(0, 0);
    EXPECT_TRUE(find.ReplaceAll(settings()));
    EXPECT_EQ(doc.Text(), u"top\n" + explosive + u"\ncX\n" + explosive + u"\ncX");
    ASSERT_EQ(messages.texts.size(), 2u);
    EXPECT_EQ(messages.texts[0], tooComplex);
    EXPECT_EQ(messages.texts[1], u"The document has been searched and 2 replacements were made.");
}

// (The message goes through the same message box as those of searches.)
TEST_F(FindReplace, AnUndoThatNoLongerFitsTheTextIsReported)
{
    TestDocument doc(u"abc");
    TestPane pane(doc.edit);
    ASSERT_TRUE(doc.edit.LogCommand(new SECEditCommand(&doc.edit, {4, 0, 4, 1}, true, u"z")));
    pane.controller.OnCommand(ID_EDIT_UNDO);
    EXPECT_EQ(doc.Text(), u"abc");
    ASSERT_EQ(messages.texts.size(), 1u);
    EXPECT_EQ(messages.texts[0].rfind(u"The change could not be undone", 0), 0u);
    EXPECT_EQ(doc.edit.GetUndoCount(), 0);
}

namespace {

// What a Replace All leaves behind, in every place a user or a pane can see.
struct Outcome
{
    bool result = false;
    std::vector<std::u16string> messages;
    std::u16string loaded, text, undone, redone;
    std::vector<SECEditTextPos> carets; // focused and other pane: after, undone, redone
    std::vector<SECEditTextPos> selections;
    std::vector<int> changedLines;
    int undoSteps = 0;
    bool operator==(const Outcome&) const = default;
};

std::u16string RandomText(std::mt19937& random)
{
    static const std::u16string_view pieces[] = {u"ab", u"a b", u"AB", u"b", u"+", u"\t", u" ", u"x",
                                                 u"\n", u"\r\n", u"\r", u"ab+ab"};
    std::u16string text;
    const int count = int(random() % 40);
    for (int i = 0; i < count; ++i)
        text += pieces[random() % std::size(pieces)];
    if (random() % 4 == 0) // a line close to the longest allowed
        text = std::u16string(2040 + random() % 8, u'y') + u"ab" + text;
    return text;
}

SECEditTextPos RandomPosition(const SECEdit& edit, std::mt19937& random)
{
    const int line = int(random() % std::uint32_t(edit.GetLineCount()));
    return {line, int(random() % std::uint32_t(edit.GetLineLength(line) + 1))};
}

} // namespace

// Replace All gathers the replacements of a literal and makes them together;
// whatever the text, the place it starts from and the options, the result
// must be what replacing match after match gives.
TEST_F(FindReplace, ReplaceAllInBatchesMatchesReplacingOneByOne)
{
    static const std::u16string_view patterns[] = {u"ab", u"b", u"a b", u"+", u"ab+", u"AB"};
    static const std::u16string_view replacements[] = {u"", u"x", u"abab", u"\t", u"b+", u"a b"};
    const std::u16string wide(300, u'w');
    for (std::uint32_t seed = 0; seed < 1500; ++seed) {
        std::mt19937 random(seed);
        const std::u16string text = RandomText(random);
        SECEditSearchSettings options;
        options.findText = patterns[random() % std::size(patterns)];
        options.replaceText = random() % 8 == 0 ? std::u16string_view(wide) : replacements[random() % 6];
        options.matchCase = random() % 2 == 0;
        options.wholeWord = random() % 3 == 0;
        options.selectionOnly = random() % 3 == 0;
        const bool select = random() % 2 == 0;
        const std::uint32_t placeSeed = random();

        const auto run = [&](bool batches) {
            TestDocument doc(text);
            Outcome out;
            out.loaded = doc.Text(); // a line too long was broken
            TestPane focused(doc.edit);
            TestPane other(doc.edit, false);
            std::mt19937 place(placeSeed);
            const SECEditTextPos a = RandomPosition(doc.edit, place), b = RandomPosition(doc.edit, place);
            focused.controller.MoveCaretTo(a.line, a.column);
            if (select)
                focused.controller.SetSelection(std::min(a, b), std::max(a, b));
            other.controller.SetSelection(b, a);
            SECEditFindReplace::SetReplaceInBatches(batches);
            settings() = options;
            settings().messages = &messages;
            messages.texts.clear();
            out.result = focused.controller.GetFindReplace().ReplaceAll(settings());
            SECEditFindReplace::SetReplaceInBatches(true);
            out.messages = messages.texts;
            const auto note = [&] {
                for (const TestPane* pane : {&focused, &other}) {
                    out.carets.push_back(pane->Caret());
                    int sl = 0, sc = 0, el = 0, ec = 0;
                    pane->controller.GetSelection(sl, sc, el, ec);
                    out.selections.push_back({sl, sc});
                    out.selections.push_back({el, ec});
                }
            };
            out.text = doc.Text();
            note();
            for (int line = 0; line < doc.edit.GetLineCount(); ++line)
                if (doc.edit.TestLineMark(line, SECEditLineMarks::ChangedMark))
                    out.changedLines.push_back(line);
            out.undoSteps = doc.UndoAll();
            out.undone = doc.Text();
            note();
            while (doc.edit.Redo()) {
            }
            out.redone = doc.Text();
            note();
            return out;
        };
        const Outcome batched = run(true);
        const Outcome single = run(false);
        ASSERT_TRUE(batched == single) << "seed " << seed;
        ASSERT_TRUE(batched.undone == batched.loaded) << "seed " << seed;
    }
}
