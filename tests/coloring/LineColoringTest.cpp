#include "tests/coloring/ColoringTestSupport.h"

#include "engine/SECEditMsg.h"
#include "syntax/LangConfigResourceLoader.h"
#include "syntax/SECEditLangConfig.h"

#include <gtest/gtest.h>

#include <string>

namespace
{
// Groups of the built-in "C++" configuration.
constexpr int Text = 0;
constexpr int Number = 2;
constexpr int Op = 3;
constexpr int Comment = 4;
constexpr int Keyword = 5;
constexpr int String = 6;

std::string R(int group, int length)
{
    return std::to_string(group) + ':' + std::to_string(length);
}

std::u16string Lines(std::initializer_list<std::u16string_view> lines)
{
    std::u16string text;
    for (std::u16string_view line : lines)
    {
        if (!text.empty())
            text += u'\n';
        text += line;
    }
    return text;
}

std::u16string NumberedLines(int count)
{
    std::u16string text;
    for (int i = 0; i < count; ++i)
    {
        if (i)
            text += u'\n';
        text += u"x = " + std::u16string(1, static_cast<char16_t>(u'a' + i % 26)) + u";";
    }
    return text;
}
} // namespace

TEST(LineColoring, TokensOfOneLine)
{
    auto engine = MakeEngine(u"C++", u"int x = 42abc + y1; // done\n\n#ifdef A\nfoo  bar\tbaz");
    // Keyword, merged plain text, operators, a number, a comment to the line's end.
    EXPECT_EQ(LineRuns(*engine, 0), R(Keyword, 3) + " " + R(Text, 3) + " " + R(Op, 1) + " " + R(Text, 1) +
                                        " " + R(Number, 5) + " " + R(Text, 1) + " " + R(Op, 1) + " " +
                                        R(Text, 3) + " " + R(Op, 1) + " " + R(Text, 1) + " " + R(Comment, 7));
    EXPECT_EQ(LineRuns(*engine, 1), R(Text, 0));          // an empty line
    EXPECT_EQ(LineRuns(*engine, 2), R(Keyword, 6) + " " + R(Text, 2)); // "#" starts a word
    EXPECT_EQ(LineRuns(*engine, 3), R(Text, 12));         // plain words and blanks are one run
    EXPECT_EQ(engine->GetLineColoring(4), nullptr);
    EXPECT_EQ(engine->GetLineColoring(-1), nullptr);
}

TEST(LineColoring, StringsAndEscapes)
{
    auto engine = MakeEngine(u"C++", Lines({u"a(\"x\\\"y\");", u"b(\"x\\\\\");", u"c = \"open", u"'\\''"}));
    // One backslash keeps the string open, two close it.
    EXPECT_EQ(LineRuns(*engine, 0), R(Text, 1) + " " + R(Op, 1) + " " + R(String, 6) + " " + R(Op, 1) +
                                        " " + R(Op, 1));
    EXPECT_EQ(LineRuns(*engine, 1), R(Text, 1) + " " + R(Op, 1) + " " + R(String, 5) + " " + R(Op, 1) +
                                        " " + R(Op, 1));
    // An unclosed string ends with its line; the next line is code again.
    EXPECT_EQ(LineRuns(*engine, 2), R(Text, 2) + " " + R(Op, 1) + " " + R(Text, 1) + " " + R(String, 5));
    EXPECT_EQ(LineRuns(*engine, 3), R(String, 4));
}

TEST(LineColoring, BlockCommentOverThreeLines)
{
    std::u16string text = NumberedLines(10);
    text += u"\nint a; /* start\nmiddle\nend */ int b;\nlast";
    auto engine = MakeEngine(u"C++", text);
    LinesRecorder recorder;
    engine->AddObserver(&recorder);

    // Asking for a line inside the comment first finds its opening above.
    EXPECT_EQ(LineRuns(*engine, 11), R(Comment, 0));
    EXPECT_EQ(LineRuns(*engine, 10), R(Keyword, 3) + " " + R(Text, 2) + " " + R(Op, 1) + " " + R(Text, 1) +
                                         " " + R(Comment, 8));
    EXPECT_EQ(LineRuns(*engine, 12), R(Comment, 6) + " " + R(Text, 1) + " " + R(Keyword, 3) + " " +
                                         R(Text, 2) + " " + R(Op, 1));
    EXPECT_EQ(LineRuns(*engine, 13), R(Text, 4));
    ASSERT_EQ(recorder.invalidated.size(), 1u);
    EXPECT_EQ(recorder.invalidated[0], std::make_pair(10, 12));
    ASSERT_EQ(engine->GetColorRegions().size(), 1u);
    EXPECT_EQ(engine->GetColorRegions()[0].start, SECEditTextPos(10, 7));
    EXPECT_EQ(engine->GetColorRegions()[0].end, SECEditTextPos(12, 6));
    engine->RemoveObserver(&recorder);
}

TEST(LineColoring, UnclosedCommentRunsToTheEnd)
{
    auto engine = MakeEngine(u"C++", Lines({u"a /* open", u"b", u"", u"c"}));
    EXPECT_EQ(LineRuns(*engine, 3), R(Comment, 1));
    EXPECT_EQ(LineRuns(*engine, 2), R(Comment, 0));
    EXPECT_EQ(LineRuns(*engine, 0), R(Text, 2) + " " + R(Comment, 7));
    ASSERT_EQ(engine->GetColorRegions().size(), 1u);
    EXPECT_EQ(engine->GetColorRegions()[0].end, SECEditTextPos(3, 1));
}

TEST(LineColoring, OpeningTextsInStringsAndCommentsOpenNothing)
{
    auto engine = MakeEngine(u"C++", Lines({u"s = \"/*\";", u"// see /* here", u"t = '/*';", u"code;", u"more;"}));
    EXPECT_EQ(LineRuns(*engine, 4), R(Text, 4) + " " + R(Op, 1));
    EXPECT_EQ(LineRuns(*engine, 3), R(Text, 4) + " " + R(Op, 1));
    EXPECT_TRUE(engine->GetColorRegions().empty());
    EXPECT_TRUE(engine->IsInSingleLineRegion({0, 5}));
    EXPECT_TRUE(engine->IsInSingleLineRegion({1, 7}));
    EXPECT_FALSE(engine->IsInSingleLineRegion({3, 0}));

    std::int32_t start = 0;
    std::int32_t end = 0;
    ASSERT_TRUE(engine->FindSingleLineRegion(0, start, end));
    EXPECT_EQ(start, 4);
    EXPECT_EQ(end, 8);
    start = 8;
    EXPECT_FALSE(engine->FindSingleLineRegion(0, start, end));
}

TEST(LineColoring, OpeningRightAfterAClosedStringCounts)
{
    // The "/*" stands just past the closing quote: outside the string.
    auto engine = MakeEngine(u"C++", Lines({u"s = \"x\"/* c", u"inside", u"*/ t;"}));
    EXPECT_FALSE(engine->IsInSingleLineRegion({0, 7}));
    EXPECT_EQ(LineRuns(*engine, 1), R(Comment, 0));
}

TEST(LineColoring, DeletingTheOpeningRecoloursTheLinesBelow)
{
    auto engine = MakeEngine(u"C++", Lines({u"a;", u"/* one", u"two", u"three */ b;", u"c;"}));
    EXPECT_EQ(LineRuns(*engine, 4), R(Text, 1) + " " + R(Op, 1));
    EXPECT_EQ(LineRuns(*engine, 2), R(Comment, 0));
    ASSERT_EQ(engine->GetColorRegions().size(), 1u);

    LinesRecorder recorder;
    engine->AddObserver(&recorder);
    ASSERT_TRUE(engine->DeleteText(1, 0, 1, 2));
    EXPECT_TRUE(engine->GetColorRegions().empty());
    ASSERT_FALSE(recorder.invalidated.empty());
    EXPECT_EQ(recorder.invalidated[0], std::make_pair(1, 3));

    // A line below the old opening comes back as code, as do the lines between.
    EXPECT_EQ(LineRuns(*engine, 2), R(Text, 3));
    EXPECT_EQ(LineRuns(*engine, 3), R(Text, 6) + " " + R(Op, 1) + " " + R(Op, 1) + " " + R(Text, 2) +
                                        " " + R(Op, 1));
    EXPECT_EQ(LineRuns(*engine, 1), R(Text, 4));

    // Undo brings the comment back.
    ASSERT_NE(engine->Undo(), nullptr);
    EXPECT_EQ(LineRuns(*engine, 2), R(Comment, 0));
    engine->RemoveObserver(&recorder);
}

TEST(LineColoring, EditInsideACommentKeepsTheLinesAboveIt)
{
    auto engine = MakeEngine(u"C++", Lines({u"/* one", u"two", u"three", u"four */", u"x;"}));
    EXPECT_EQ(LineRuns(*engine, 4), R(Text, 1) + " " + R(Op, 1));
    ASSERT_TRUE(engine->InsertTextAt(2, 1, u"!"));
    // The region was dropped; its first lines lie above the edited line but
    // are still inside the comment.
    EXPECT_EQ(LineRuns(*engine, 1), R(Comment, 0));
    EXPECT_EQ(LineRuns(*engine, 2), R(Comment, 0));
    EXPECT_EQ(LineRuns(*engine, 0), R(Comment, 6));
}

TEST(LineColoring, TypingAnOpeningCommentsOutCachedLines)
{
    auto engine = MakeEngine(u"C++", Lines({u"a;", u"b;", u"c;", u"d */ e;"}));
    for (int line = 0; line < 4; ++line)
        engine->GetLineColoring(line);
    ASSERT_TRUE(engine->InsertTextAt(0, 0, u"/*"));
    EXPECT_EQ(LineRuns(*engine, 2), R(Comment, 0));
    EXPECT_EQ(LineRuns(*engine, 3), R(Comment, 4) + " " + R(Text, 2) + " " + R(Op, 1));
}

TEST(LineColoring, CaseFoldedKeywords)
{
    // "SQL": keyword group 6, match case off.
    auto sql = MakeEngine(u"SQL", u"select * from t -- note");
    EXPECT_EQ(LineRuns(*sql, 0), R(6, 6) + " " + R(Text, 1) + " " + R(Op, 1) + " " + R(Text, 1) +
                                     " " + R(6, 4) + " " + R(Text, 3) + " " + R(Comment, 7));
    // "VB": keyword group 6, match case off; "C++" matches case.
    auto vb = MakeEngine(u"VB", u"dim X as integer");
    EXPECT_EQ(LineRuns(*vb, 0), R(6, 3) + " " + R(Text, 3) + " " + R(6, 2) + " " + R(Text, 1) + " " +
                                    R(6, 7));
    auto cpp = MakeEngine(u"C++", u"Return return");
    EXPECT_EQ(LineRuns(*cpp, 0), R(Text, 7) + " " + R(Keyword, 6));
}

TEST(LineColoring, RemarksInVb)
{
    auto vb = MakeEngine(u"VB", Lines({u"x rem note", u"remark = 1", u"REM no", u"y ' note"}));
    EXPECT_EQ(LineRuns(*vb, 0), R(Text, 2) + " " + R(Comment, 8));
    EXPECT_EQ(LineRuns(*vb, 1), R(Text, 7) + " " + R(Op, 1) + " " + R(Text, 1) + " " + R(Number, 1));
    EXPECT_EQ(LineRuns(*vb, 2), R(Text, 6));
    EXPECT_EQ(LineRuns(*vb, 3), R(Text, 2) + " " + R(Comment, 6));
}

TEST(LineColoring, HtmlCommentNeedsAllNineCharacters)
{
    // HTML groups: 3 tag delimiter, 4 comment.
    auto html = MakeEngine(u"HTML", Lines({u"<COMMENT>", u"hidden", u"</COMMENT>", u"<COMM x>"}));
    EXPECT_EQ(LineRuns(*html, 1), R(Comment, 0));
    EXPECT_EQ(LineRuns(*html, 0), R(Comment, 9));
    EXPECT_EQ(LineRuns(*html, 2), R(Comment, 10));
    EXPECT_EQ(LineRuns(*html, 3), R(3, 1) + " " + R(Text, 6) + " " + R(3, 1));
}

TEST(LineColoring, InvalidateColoringDropsEverything)
{
    auto engine = MakeEngine(u"C++", Lines({u"/* a", u"b */", u"c"}));
    EXPECT_EQ(LineRuns(*engine, 2), R(Text, 1));
    EXPECT_EQ(engine->GetColorRegions().size(), 1u);
    ASSERT_TRUE(engine->SetLanguage(u"VB"));
    EXPECT_TRUE(engine->GetColorRegions().empty());
    EXPECT_EQ(engine->GetCachedColoringCount(), 0u);
    EXPECT_EQ(engine->GetColoringFrontier(), 0);
    EXPECT_EQ(LineRuns(*engine, 1), R(Text, 2) + " " + R(Op, 1) + " " + R(Op, 1));
}

TEST(LineColoring, ChainOfRegionsDoesNotNest)
{
    // In "XML" every ">" opens body text up to the next "<": a document of
    // short tags, one per line, is one chain of regions from top to bottom.
    std::u16string text;
    for (int i = 0; i < 50000; ++i)
        text += u"<a>\n";
    auto xml = MakeEngine(u"XML", text);
    EXPECT_EQ(LineRuns(*xml, 49999), R(4, 1) + " " + R(Text, 1) + " " + R(4, 1));
    EXPECT_EQ(LineRuns(*xml, 0), R(Op, 1) + " " + R(Text, 1) + " " + R(4, 1));
    EXPECT_EQ(LineRuns(*xml, 50000), R(Text, 0)); // an empty line, even where a region ends
    EXPECT_EQ(xml->GetColorRegions().size(), 50000u);
}

TEST(LineColoring, HighlightedLine)
{
    auto engine = MakeEngine(u"C++", u"int a;\nint b;");
    // No built-in language has a "Highlight" group: the mark changes nothing.
    engine->ToggleLineMark(0, SECEditLineMarks::HighlightMark);
    EXPECT_EQ(LineRuns(*engine, 0), R(Keyword, 3) + " " + R(Text, 2) + " " + R(Op, 1));

    // A configuration of our own with one.
    SECEditLangConfig* config = new SECEditLangConfig();
    config->SetDefaults();
    SECEditColorGroup group;
    group.displayName = u"HIGHLIGHT";
    config->GetColorGroups().push_back(group);
    engine->SetLangConfig(config);
    config->Release();
    SECEditMsg changed(SECEditMsg::InvalidateColoring);
    engine->OnUpdate(engine.get(), &changed);
    EXPECT_EQ(LineRuns(*engine, 0), R(4, 6));
    EXPECT_EQ(LineRuns(*engine, 1), R(Text, 6));
    // Taking the mark off shows the line's own colouring again at once.
    engine->ToggleLineMark(0, SECEditLineMarks::HighlightMark);
    EXPECT_EQ(LineRuns(*engine, 0), R(Text, 6));
}

TEST(LineColoring, RegionOpeningOnALineAnotherRegionEnds)
{
    auto engine = MakeEngine(u"C++", Lines({u"a /* one", u"two */ b /* three", u"four", u"five */ c;", u"d;"}));
    for (int line = 0; line < 5; ++line)
        engine->GetLineColoring(line);
    ASSERT_EQ(engine->GetColorRegions().size(), 2u);
    // An edit after the second region's end leaves both regions standing,
    // but a request below makes the second one be looked at again. Line 1
    // begins inside the first comment and must stay so.
    ASSERT_TRUE(engine->InsertTextAt(3, 9, u"x"));
    EXPECT_EQ(LineRuns(*engine, 4), R(Text, 1) + " " + R(Op, 1));
    EXPECT_EQ(LineRuns(*engine, 1), R(Comment, 6) + " " + R(Text, 3) + " " + R(Comment, 8));
    EXPECT_EQ(LineRuns(*engine, 2), R(Comment, 0));
}

TEST(LineColoring, ConfigurationChangesResetsAndReloadsReachOpenDocuments)
{
    // A language of its own, so the shared built-in "C++" stays as it is.
    auto* loader = new LangConfigResourceLoader(154);
    TestRegistry().RegisterLanguage(u"C++ reloaded", loader);
    loader->Release();
    SECEditLangConfig* config = TestRegistry().LookupLangConfig(u"C++ reloaded");
    ASSERT_NE(config, nullptr);
    std::u16string text;
    for (int i = 0; i < 50; ++i)
        text += Lines({u"RETURN return 1;", u"/* open", u"still */ x", u"RETURN y;"}) + u"\n";
    auto first = MakeEngine(u"C++ reloaded", text);
    auto second = MakeEngine(u"C++ reloaded", text);
    // Half of each document is coloured; the rest waits for its turn.
    for (int line = 0; line < 100; ++line)
    {
        LineRuns(*first, line);
        LineRuns(*second, line);
    }
    EXPECT_EQ(LineRuns(*first, 0).substr(0, 7), R(Text, 7) + " " + R(Keyword, 6));

    // Match case off: lines coloured from now on fold "RETURN" to the keyword.
    config->SetMatchCase(false);
    EXPECT_EQ(LineRuns(*first, 196).substr(0, 3), R(Keyword, 6));
    EXPECT_EQ(LineRuns(*second, 199), R(Keyword, 6) + " " + R(Text, 2) + " " + R(Op, 1));

    // Reset to the defaults: every delimiter record is gone, and so are the
    // comments of lines coloured afterwards.
    config->SetDefaults();
    ASSERT_TRUE(first->InsertTextAt(1, 0, u" "));
    EXPECT_EQ(LineRuns(*first, 150), R(Text, 10));
    EXPECT_EQ(LineRuns(*second, 151), R(Text, 9));

    // Reloaded from the archive: comments again, and the documents told to recolour.
    auto* reload = new LangConfigResourceLoader(154);
    ASSERT_TRUE(reload->Load(*config));
    reload->Release();
    ASSERT_TRUE(second->InsertTextAt(120, 0, u" "));
    EXPECT_EQ(LineRuns(*second, 193), R(Comment, 7));
    SECEditMsg recolour(SECEditMsg::InvalidateColoring);
    config->UpdateAllObservers(nullptr, &recolour);
    for (SECEdit* engine : {first.get(), second.get()})
    {
        EXPECT_EQ(LineRuns(*engine, 2), R(Comment, 8) + " " + R(Text, 2));
        EXPECT_EQ(LineRuns(*engine, 197), R(Comment, 7));
    }
}

TEST(LineColoring, HandedOutListsStayValidUntilAnEditTouchesTheirLine)
{
    auto engine = MakeEngine(u"C++", Lines({u"int a; // x", u"", u"/* c", u"d */ return 1;", u"x = 2;", u"y"}));
    engine->ToggleLineMark(5, SECEditLineMarks::HighlightMark);
    std::vector<SECEditColorRunsRef> held;
    std::vector<std::string> seen;
    for (int line = 0; line < 6; ++line)
    {
        held.push_back(engine->GetLineColoring(line));
        seen.push_back(RunsText(held.back()));
    }
    // Other lines asked for, and an edit on line 4 that adds lines below it,
    // leave the lists of lines 0 to 3 as they were handed out.
    for (int line = 5; line >= 0; --line)
        engine->GetLineColoring(line);
    ASSERT_TRUE(engine->InsertTextAt(4, 0, u"z;\nw "));
    for (int line = 0; line < 6; ++line)
        engine->GetLineColoring(line);
    for (int line = 0; line < 4; ++line)
        EXPECT_EQ(RunsText(held[static_cast<std::size_t>(line)]), seen[static_cast<std::size_t>(line)]) << line;
    EXPECT_EQ(seen[1], R(Text, 0));
    EXPECT_EQ(RunsText(held[5]), seen[5]);
}
