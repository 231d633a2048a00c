// Word classification, delimiter lookup, character classes and the
// configuration as a subject.
#include "SyntaxTestSupport.h"

#include "engine/SECEditMsg.h"

#include <gtest/gtest.h>

#include <string>

namespace {

int Classify(const SECEditLangConfig& config, std::u16string_view word, std::uint16_t& group)
{
    group = 0xFFFF;
    return config.ClassifyWord(word, group);
}

TEST(ClassifyWord, MatchCaseOnIsExact)
{
    ConfigPtr cpp = LoadBuiltIn(154);
    ASSERT_TRUE(cpp);
    std::uint16_t group = 0;
    EXPECT_EQ(Classify(*cpp, u"return", group), 6);
    EXPECT_EQ(group, 5);
    EXPECT_EQ(Classify(*cpp, u"Return", group), 0);
    EXPECT_EQ(Classify(*cpp, u"#ifdef", group), 6);
    EXPECT_EQ(Classify(*cpp, u"returned", group), 0);
    EXPECT_EQ(Classify(*cpp, u"", group), 0);
    // The pointer form classifies exactly `length` characters.
    EXPECT_EQ(cpp->ClassifyWord(u"returnx", 6, group), 6);
}

TEST(ClassifyWord, MatchCaseOffFoldsAsciiLetters)
{
    ConfigPtr sql = LoadBuiltIn(166);
    ASSERT_TRUE(sql);
    std::uint16_t group = 0;
    EXPECT_EQ(Classify(*sql, u"select", group), 6);
    EXPECT_EQ(group, 6);
    EXPECT_EQ(Classify(*sql, u"SeLeCt", group), 6);
    EXPECT_EQ(group, 6);
    EXPECT_EQ(Classify(*sql, u"character strings", group), 17);
    EXPECT_EQ(group, 9);

    // Switching match case on stops the folding.
    sql->SetMatchCase(true);
    EXPECT_EQ(Classify(*sql, u"select", group), 0);
    EXPECT_EQ(Classify(*sql, u"SELECT", group), 6);
}

TEST(ClassifyWord, ExactSpellingWinsOverFoldedClash)
{
    // HTML has both the element TITLE and the attribute title.
    ConfigPtr html = LoadBuiltIn(155);
    ASSERT_TRUE(html);
    std::uint16_t element = 0;
    std::uint16_t attribute = 0;
    ASSERT_EQ(Classify(*html, u"TITLE", element), 5);
    ASSERT_EQ(Classify(*html, u"title", attribute), 5);
    EXPECT_EQ(element, 5);
    EXPECT_EQ(attribute, 7);
    std::uint16_t folded = 0;
    EXPECT_EQ(Classify(*html, u"Title", folded), 5);
    EXPECT_TRUE(folded == 5 || folded == 7);
}

TEST(ClassifyWord, LeadingDigitMakesANumber)
{
    ConfigPtr vb = LoadBuiltIn(158);
    ASSERT_TRUE(vb);
    std::uint16_t group = 0;
    EXPECT_EQ(Classify(*vb, u"0x1F", group), 4);
    EXPECT_EQ(group, 2);
    EXPECT_EQ(Classify(*vb, u"42abc", group), 5);
    EXPECT_EQ(group, 2);
    EXPECT_EQ(Classify(*vb, u"abc42", group), 0);
    EXPECT_EQ(Classify(*vb, u"\u0663", group), 0); // only 0-9 count as digits

    // A keyword that begins with a digit keeps its own group.
    ConfigPtr js = LoadBuiltIn(157);
    ASSERT_TRUE(js);
    js->AddKeyword(u"1st", 6);
    EXPECT_EQ(Classify(*js, u"1st", group), 3);
    EXPECT_EQ(group, 6);
}

TEST(ClassifyWord, WordsLongerThanAnyKeyword)
{
    ConfigPtr vb = LoadBuiltIn(158);
    ASSERT_TRUE(vb);
    const std::u16string longWord(300, u'A');
    std::uint16_t group = 0;
    EXPECT_EQ(Classify(*vb, longWord, group), 0);
    vb->AddKeyword(std::u16string(200, u'b'), 6);
    EXPECT_EQ(Classify(*vb, std::u16string(200, u'B'), group), 200);
    EXPECT_EQ(group, 6);
}

TEST(FindDelimiter, WordTokensMustBeTheWholeOpeningText)
{
    ConfigPtr vb = LoadBuiltIn(158);
    ASSERT_TRUE(vb);
    const std::u16string line = u"remark REM rem ' x";
    // "rem" as a three-letter word opens a comment; "remark" does not.
    EXPECT_EQ(vb->FindDelimiter(line.data() + 11, 7, 3, DelimiterMode::Any)->opening, u"rem");
    EXPECT_EQ(vb->FindDelimiter(line.data(), 18, 6, DelimiterMode::Any), nullptr);
    // Matching is case-sensitive.
    EXPECT_EQ(vb->FindDelimiter(line.data() + 7, 11, 3, DelimiterMode::Any), nullptr);
    const SECEditDelimiter* quote = vb->FindDelimiter(line.data() + 15, 3, 0, DelimiterMode::Any);
    ASSERT_NE(quote, nullptr);
    EXPECT_EQ(quote->group, 4);
    EXPECT_TRUE(quote->closing.empty());
}

TEST(FindDelimiter, PunctuationMayRunPastTheToken)
{
    ConfigPtr html = LoadBuiltIn(155);
    ASSERT_TRUE(html);
    const std::u16string open = u"<COMMENT>";
    const SECEditDelimiter* comment = html->FindDelimiter(open.data(), 9, 0, DelimiterMode::MultiLine);
    ASSERT_NE(comment, nullptr);
    EXPECT_EQ(comment->closing, u"</COMMENT>");
    EXPECT_EQ(html->FindDelimiter(open.data(), 5, 0, DelimiterMode::Any), nullptr);  // "<COMM"
    EXPECT_EQ(html->FindDelimiter(open.data(), 9, 0, DelimiterMode::SingleLine), nullptr);
    const std::u16string other = u"<B>";
    EXPECT_EQ(html->FindDelimiter(other.data(), 3, 0, DelimiterMode::Any), nullptr);
    EXPECT_EQ(html->FindDelimiter(other.data(), 0, 0, DelimiterMode::Any), nullptr);
    EXPECT_EQ(html->FindDelimiter(nullptr, 3, 0, DelimiterMode::Any), nullptr);
}

TEST(FindDelimiter, ModesSelectRecords)
{
    ConfigPtr cpp = LoadBuiltIn(154);
    ASSERT_TRUE(cpp);
    const std::u16string block = u"/* x */";
    EXPECT_NE(cpp->FindDelimiter(block.data(), 7, 0, DelimiterMode::MultiLine), nullptr);
    EXPECT_EQ(cpp->FindDelimiter(block.data(), 7, 0, DelimiterMode::SingleLine), nullptr);
    const std::u16string slash = u"a / b";
    EXPECT_EQ(cpp->FindDelimiter(slash.data() + 2, 3, 0, DelimiterMode::Any), nullptr);

    std::vector<const SECEditDelimiter*> list{nullptr, nullptr, nullptr};
    cpp->GetDelimiters(list, DelimiterMode::SingleLine);
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(list[0]->opening, u"//");
    cpp->GetDelimiters(list, DelimiterMode::MultiLine);
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0]->opening, u"/*");
    cpp->GetDelimiters(list, DelimiterMode::Any);
    EXPECT_EQ(list.size(), 4u);
}

TEST(CharClasses, AddReplaceAndBounds)
{
    ConfigPtr config = NewConfig();
    config->SetCharClass(u"ab", WordPart, false);
    config->SetCharClass(u"c", WordPart, false);
    EXPECT_TRUE(config->IsCharInClass(u'a', WordPart));
    EXPECT_TRUE(config->IsCharInClass(u'c', WordPart));
    EXPECT_FALSE(config->IsCharInClass(u'a', WordStart));

    config->SetCharClass(u"c\uFFFE", WordPart, true);
    EXPECT_FALSE(config->IsCharInClass(u'a', WordPart));
    EXPECT_TRUE(config->IsCharInClass(u'c', WordPart));
    EXPECT_TRUE(config->IsCharInClass(u'\uFFFE', WordPart));

    config->SetCharClass(static_cast<const char16_t*>(nullptr), WordPart, true);
    EXPECT_EQ(config->GetCharClassMembers(WordPart), u"");

    config->SetCharClass(u"x", static_cast<CharClass>(5), false);
    EXPECT_FALSE(config->IsCharInClass(u'x', static_cast<CharClass>(5)));
    EXPECT_FALSE(config->IsCharInClass(u'x', static_cast<CharClass>(-1)));
}

TEST(CharClasses, SettingAClassTellsTheObservers)
{
    ConfigPtr config = NewConfig();
    RecordingObserver first;
    RecordingObserver second;
    config->AddObserver(&first);
    config->AddObserver(&second);
    config->SetCharClass(u"-", WordPart, false);
    ASSERT_EQ(first.kinds.size(), 1u);
    EXPECT_EQ(first.kinds[0], 22583u); // InvalidateColoring
    EXPECT_EQ(first.subjects[0], static_cast<ISubject*>(config.get()));
    EXPECT_EQ(second.kinds.size(), 1u);

    // Simple setters notify nobody; a removed observer hears nothing more.
    config->SetTabSize(8);
    config->RemoveObserver(&first);
    config->SetCharClass(u"-", WordPart, true);
    EXPECT_EQ(first.kinds.size(), 1u);
    EXPECT_EQ(second.kinds.size(), 2u);

    // The sender is skipped.
    config->UpdateAllObservers(&second, nullptr);
    EXPECT_EQ(second.kinds.size(), 2u);
}

TEST(LangConfig, DefaultsAndSetters)
{
    ConfigPtr config = NewConfig();
    EXPECT_EQ(config->GetName(), u"Default");
    EXPECT_TRUE(config->GetMatchCase());
    EXPECT_EQ(config->GetTabSize(), 4);
    EXPECT_EQ(config->GetFacename(), u"Courier");
    EXPECT_EQ(config->GetSize(), 10);
    ASSERT_EQ(config->GetColorGroupCount(), 4);
    EXPECT_EQ(config->GetColorGroup(1).displayName, u"Text Selection");
    EXPECT_EQ(config->GetColorGroup(1).foreground, 0xFFFFFFu);
    EXPECT_EQ(config->FindColorGroupByName(u"Operator"), 3);
    EXPECT_EQ(config->FindColorGroupByName(u"Highlight"), -1);

    // Bold and italic are carried but the font stays plain.
    config->SetBold(true);
    config->SetItalic(true);
    EXPECT_FALSE(config->GetBold());
    EXPECT_FALSE(config->GetItalic());

    // A tab size of 0 would divide by zero in every column conversion.
    config->SetTabSize(0);
    config->SetTabSize(65);
    EXPECT_EQ(config->GetTabSize(), 4);
    config->SetTabSize(64);
    EXPECT_EQ(config->GetTabSize(), 64);
    config->SetSize(0);
    config->SetSize(401);
    EXPECT_EQ(config->GetSize(), 10);

    // SetDefaults keeps the name and match case.
    config->SetName(u"C++");
    config->SetMatchCase(false);
    config->SetDefaults();
    EXPECT_EQ(config->GetName(), u"C++");
    EXPECT_FALSE(config->GetMatchCase());
    EXPECT_EQ(config->GetTabSize(), 4);
}

TEST(LangConfig, QueryGuidAndReferences)
{
    SECEditLangConfig* config = new SECEditLangConfig();
    void* out = nullptr;
    EXPECT_TRUE(config->QueryGuid(SECIID_SECEditLangConfig, &out));
    EXPECT_EQ(out, config);
    EXPECT_TRUE(config->QueryGuid(SECIID_ISubject, &out));
    EXPECT_EQ(out, static_cast<ISubject*>(config));
    EXPECT_FALSE(config->QueryGuid(SECIID_IMessage, &out));
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(config->Release(), 2u); // each successful query added one
    EXPECT_EQ(config->Release(), 1u);
    EXPECT_EQ(config->AddRef(), 2u);
    EXPECT_EQ(config->Release(), 1u);
    EXPECT_EQ(config->Release(), 0u); // deleted; the sanitizer build checks nothing leaks
}

TEST(ColorGroups, AutomaticRule)
{
    ConfigPtr xml = LoadBuiltIn(162);
    ASSERT_TRUE(xml);
    std::vector<SECEditColorGroup> groups = xml->GetColorGroups();
    ApplyAutomaticColors(groups, 0x101010, 0xE0E0E0);
    EXPECT_EQ(groups[0].foreground, 0x0000FFu);  // Tag Text: fixed foreground
    EXPECT_EQ(groups[0].background, 0xE0E0E0u);  // automatic background
    EXPECT_EQ(groups[1].foreground, 0xFFFFFFu);  // Text Selection: not automatic here
    EXPECT_EQ(groups[4].background, 0xE0E0E0u);  // others sit on Text's background
    EXPECT_EQ(groups[4].foreground, 0x000000u);

    ConfigPtr plain = NewConfig();
    std::vector<SECEditColorGroup> standard = plain->GetColorGroups();
    ApplyAutomaticColors(standard, 0x101010, 0xE0E0E0);
    EXPECT_EQ(standard[1].foreground, 0xE0E0E0u);
    EXPECT_EQ(standard[1].background, 0x101010u);
    EXPECT_EQ(standard[3].foreground, 0x101010u);
}

} // namespace
