// Every built-in language against its published definition: groups, keys,
// colours and flags, keyword counts per group and their order, delimiters,
// prefix keys, character classes, editor settings and font.
#include "SyntaxTestSupport.h"

#include "syntax/BuiltInLanguages.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

struct ExpectedGroup
{
    const char16_t* key;
    const char16_t* displayName;
    std::uint32_t foreground;
    std::uint32_t background;
    bool foregroundAutomatic;
    bool backgroundAutomatic;
    bool configurable;
};

struct ExpectedKeywords
{
    int group;
    int count;
    const char16_t* first; // in table order
    const char16_t* last;
};

struct ExpectedDelimiter
{
    const char16_t* opening;
    const char16_t* closing;
    const char16_t* escape;
    int group;
    bool multiLine;
};

struct ExpectedLanguage
{
    const char16_t* name;
    int resourceId;
    bool matchCase;
    int tabSize;
    bool autoIndent;
    const char16_t* facename;
    const char16_t* wordStart;
    const char16_t* wordPart;
    const char16_t* wordEnd;
    const char16_t* operators;
    std::vector<ExpectedGroup> groups;
    std::vector<ExpectedKeywords> keywords;
    std::vector<ExpectedDelimiter> delimiters;
    std::vector<const char16_t*> prefixes;
};

const std::vector<ExpectedLanguage>& Expected()
{
    static const std::vector<ExpectedLanguage> languages{
    {
        u"C++", 154, true, 4, true, u"Courier",
        u"#", u"", u"", u"!%&()*+,-./:;<=>?[]^{|}~",
        {
            {u"Text", u"Text", 0x000000, 0xFFFFFF, true, true, true},
            {u"Text Selection", u"Text Selection", 0xFFFFFF, 0x000000, true, true, true},
            {u"Number", u"Number", 0x000000, 0xFFFFFF, true, true, true},
            {u"Operator", u"Operator", 0x000000, 0xFFFFFF, true, true, true},
            {u"Comment", u"Comment", 0x008000, 0xFFFFFF, false, true, true},
            {u"Keyword", u"Keyword", 0xFF0000, 0xFFFFFF, false, true, true},
            {u"String", u"String", 0x000000, 0xFFFFFF, true, true, true},
        },
        {
            {5, 79, u"volatile", u"private"},
        },
        {
            {u"//", u"", u"", 4, false},
            {u"\"", u"\"", u"\\", 6, false},
            {u"'", u"'", u"\\", 6, false},
            {u"/*", u"*/", u"", 4, true},
        },
        {u"/"},
    },
    {
        u"C#", 152, true, 4, true, u"Courier",
        u"#", u"", u"", u"!%&()*+,-./:;<=>?[]^{|}~",
        {
            {u"Text", u"Text", 0x000000, 0xFFFFFF, true, true, true},
            {u"Text Selection", u"Text Selection", 0xFFFFFF, 0x000000, true, true, true},
            {u"Number", u"Number", 0x000000, 0xFFFFFF, true, true, true},
            {u"Operator", u"Operator", 0x000000, 0xFFFFFF, true, true, true},
            {u"Comment", u"Comment", 0x008000, 0xFFFFFF, false, true, true},
            {u"String", u"String", 0x800080, 0xFFFFFF, false, true, true},
            {u"Keyword", u"C# Keyword", 0xFF0000, 0xFFFFFF, false, true, true},
            {u"DataType", u"C# Data Type", 0xFF0000, 0xFFFFFF, false, true, true},
            {u"Preprocessor", u"C# Preprocessor", 0x800080, 0xFFFFFF, false, true, true},
            {u"Attribute", u"Attribute", 0xFF0000, 0xFFFFFF, false, true, true},
        },
        {
            {6, 65, u"return", u"get"},
            {7, 16, u"string", u"object"},
            {8, 11, u"#error", u"#if"},
            {9, 16, u"returnshresult", u"AttributeUsage"},
        },
        {
            {u"//", u"", u"", 4, false},
            {u"\"", u"\"", u"\\", 5, false},
            {u"'", u"'", u"\\", 5, false},
            {u"/*", u"*/", u"", 4, true},
        },
        {u"/"},
    },
    {
        u"SQL", 166, false, 5, true, u"Courier",
        u"#", u"", u"", u"!%&()*+,-./:;<=>?[]^{|}~",
        {
            {u"Text", u"Text", 0x000000, 0xFFFFFF, true, true, true},
            {u"Text Selection", u"Text Selection", 0xFFFFFF, 0x000000, true, true, true},
            {u"Number", u"Number", 0x000000, 0xFFFFFF, true, true, true},
            {u"Operator", u"Operator", 0x000000, 0xFFFFFF, true, true, true},
            {u"Comment", u"Comment", 0x008000, 0xFFFFFF, false, true, true},
            {u"String", u"String", 0x800080, 0xFFFFFF, false, true, true},
            {u"Keyword", u"T-SQL Keyword", 0xFF0000, 0xFFFFFF, false, true, true},
            {u"Function", u"T-SQL Function", 0xFF00FF, 0xFFFFFF, false, true, true},
            {u"StoreProcs", u"T-SQL System Store Procedure", 0x0000B4, 0xFFFFFF, false, true, true},
            {u"DataType", u"T-SQL Data Type", 0x808000, 0xFFFFFF, false, true, true},
        },
        {
            {6, 159, u"TRUNCATE", u"DATABASE"},
            {7, 180, u"SQRT", u"@@MAX_CONNECTIONS"},
            {8, 441, u"sp_stop_job", u"sp_add_agent_profile"},
            {9, 28, u"Character Strings", u"bigint"},
        },
        {
            {u"\"", u"\"", u"\\", 5, false},
            {u"--", u"", u"", 4, false},
            {u"'", u"'", u"\\", 5, false},
            {u"/*", u"*/", u"", 4, true},
        },
        {u"-", u"/"},
    },
    {
        u"HTML", 155, false, 4, false, u"Courier New",
        u"", u"-123", u"123", u"/<>",
        {
            {u"Text", u"Text", 0x000000, 0xFFFFFF, true, true, true},
            {u"Text Selection", u"Text Selection", 0xFFFFFF, 0x000000, true, true, true},
            {u"Number", u"Number", 0x000000, 0xFFFFFF, true, true, true},
            {u"Operator", u"Tag Delimiter", 0xFF0000, 0xFFFFFF, false, true, true},
            {u"Comment", u"Comment", 0x008000, 0xFFFFFF, false, true, true},
            {u"Element", u"Element", 0x000080, 0xFFFFFF, false, true, true},
            {u"String", u"String", 0xFF0000, 0xFFFFFF, false, true, true},
            {u"Attribute Name", u"Attribute Name", 0x0000FF, 0xFFFFFF, false, true, true},
        },
        {
            {5, 107, u"U", u"BR"},
            {7, 109, u"width", u"COLOR"},
        },
        {
            {u"\"", u"\"", u"", 6, true},
            {u"<!-", u"->", u"", 4, true},
            {u"<COMMENT>", u"</COMMENT>", u"", 4, true},
        },
        {u"<", u"<!", u"<C", u"<CO", u"<COM", u"<COMM", u"<COMME", u"<COMMEN", u"<COMMENT"},
    },
    {
        u"IDL", 156, true, 4, true, u"Courier",
        u"#", u"146_", u"", u"!%&()*+,-./:;<=>?[]^{|}~",
        {
            {u"Text", u"Text", 0x000000, 0xFFFFFF, false, false, true},
            {u"Text Selection", u"Text Selection", 0xFFFFFF, 0x000000, true, true, true},
            {u"Number", u"Number", 0x000000, 0xFFFFFF, false, false, true},
            {u"Operator", u"Operator", 0x000000, 0xFFFFFF, false, false, true},
            {u"VarType", u"Variable Types", 0x800000, 0xFFFFFF, false, false, true},
            {u"SelectedText", u"SelectedText", 0xFFFFFF, 0x000000, false, false, true},
            {u"Keyword", u"Keywords", 0xFF0000, 0xFFFFFF, false, false, true},
            {u"Comment", u"Comment", 0x0000FF, 0xFFFFFF, false, false, true},
            {u"String", u"String", 0x808000, 0xFFFFFF, false, false, true},
        },
        {
            {4, 96, u"IID", u"PRECT"},
            {6, 126, u"midl_echo", u"helpstringcontext"},
        },
        {
            {u"\"", u"\"", u"", 8, false},
            {u"//", u"", u"", 7, false},
            {u"'", u"'", u"", 8, false},
            {u"/*", u"*/", u"", 7, true},
        },
        {u"/"},
    },
    {
        u"JScript", 157, true, 4, true, u"Courier New",
        u"$@", u"", u"0123456789", u"!%&*+,-/:<=>?\\^|",
        {
            {u"Text", u"Text", 0x000000, 0xFFFFFF, true, true, true},
            {u"Text Selection", u"Text Selection", 0xFFFFFF, 0x000000, true, true, true},
            {u"Number", u"Number", 0x000000, 0xFFFFFF, true, true, true},
            {u"Operator", u"Operator", 0xFF0000, 0xFFFFFF, false, true, true},
            {u"Comment", u"Comment", 0x008000, 0xFFFFFF, false, true, true},
            {u"String", u"String", 0x000000, 0xFFFFFF, true, true, true},
            {u"Function", u"Function", 0xFF0000, 0xFFFFFF, false, true, true},
            {u"Method", u"Method", 0xFF0000, 0xFFFFFF, false, true, true},
            {u"Object", u"Object", 0xFF0000, 0xFFFFFF, false, true, true},
            {u"Statement", u"Statement", 0xFF0000, 0xFFFFFF, false, true, true},
            {u"Property", u"Property", 0xFF0000, 0xFFFFFF, false, true, true},
        },
        {
            {3, 4, u"typeof", u"delete"},
            {6, 5, u"ScriptEngineMajorVersion", u"ScriptEngineBuildVersion"},
            {7, 111, u"UTC", u"getDate"},
            {8, 16, u"String", u"VBArray"},
            {9, 21, u"return", u"var"},
            {10, 35, u"$5", u"$4"},
        },
        {
            {u"\"", u"\"", u"\\", 5, false},
            {u"//", u"", u"", 4, false},
            {u"'", u"'", u"\\", 5, false},
            {u"/*", u"*/", u"", 4, true},
        },
        {u"/"},
    },
    {
        u"VB", 158, false, 4, true, u"Courier New",
        u"", u"", u"", u"&*+-/<=>\\^",
        {
            {u"Text", u"Text", 0x000000, 0xFFFFFF, true, true, true},
            {u"Text Selection", u"Text Selection", 0xFFFFFF, 0x000000, true, true, true},
            {u"Number", u"Number", 0x000000, 0xFFFFFF, true, true, true},
            {u"Operator", u"Operator", 0x000000, 0xFFFFFF, true, true, true},
            {u"Comment", u"Comment", 0x008000, 0xFFFFFF, false, true, true},
            {u"String", u"String", 0x000000, 0xFFFFFF, true, true, true},
            {u"Keyword", u"Keyword", 0xFF0000, 0xFFFFFF, false, true, true},
            {u"VBCONST", u"VB Constants", 0xFF0000, 0xFFFFFF, false, true, true},
        },
        {
            {6, 279, u"TypeName", u"As"},
            {7, 521, u"vbVerticalTab", u"vb3DDKShadow"},
        },
        {
            {u"\"", u"\"", u"", 5, false},
            {u"rem", u"", u"", 4, false},
            {u"'", u"", u"", 4, false},
        },
        {u"r", u"re"},
    },
    {
        u"VBScript1", 159, false, 4, true, u"Courier New",
        u"", u"", u"", u"&*+-/<=>\\^",
        {
            {u"Text", u"Text", 0x000000, 0xFFFFFF, true, true, true},
            {u"Text Selection", u"Text Selection", 0xFFFFFF, 0x000000, true, true, true},
            {u"Number", u"Number", 0x000000, 0xFFFFFF, true, true, true},
            {u"Operator", u"Operator", 0xFF0000, 0xFFFFFF, false, true, true},
            {u"Comment", u"Comment", 0x008000, 0xFFFFFF, false, true, true},
            {u"String", u"String", 0x000080, 0xFFFFFF, false, true, true},
            {u"Statement", u"Statement", 0xFF0000, 0xFFFFFF, false, true, true},
            {u"Method", u"Method", 0xFF0000, 0xFFFFFF, false, true, true},
            {u"Object", u"Object", 0xFF0000, 0xFFFFFF, false, true, true},
            {u"Property", u"Property", 0xFF0000, 0xFFFFFF, false, true, true},
            {u"Event", u"Event", 0xFF0000, 0xFFFFFF, false, true, true},
            {u"Function", u"Function", 0xFF0000, 0xFFFFFF, false, true, true},
            {u"Constant", u"Constant", 0xFF0000, 0xFFFFFF, false, true, true},
        },
        {
            {3, 8, u"Or", u"Mod"},
            {6, 33, u"ReDim", u"Const"},
            {7, 4, u"Test", u"Execute"},
            {8, 6, u"Err", u"Match"},
            {9, 11, u"Global", u"Description"},
            {10, 2, u"Initialize", u"Terminate"},
            {11, 92, u"TypeName", u"Sqr"},
            {12, 85, u"vbObject", u"False"},
        },
        {
            {u"\"", u"\"", u"", 5, false},
            {u"rem", u"", u"", 4, false},
            {u"'", u"", u"", 4, false},
        },
        {u"r", u"re"},
    },
    {
        u"VBScript2", 160, false, 4, true, u"Courier New",
        u"", u"", u"", u"&*+-/<=>\\^",
        {
            {u"Text", u"Text", 0x000000, 0xFFFFFF, true, true, true},
            {u"Text Selection", u"Text Selection", 0xFFFFFF, 0x000000, true, true, true},
            {u"Number", u"Number", 0x000000, 0xFFFFFF, true, true, true},
            {u"Operator", u"Operator", 0xFF0000, 0xFFFFFF, false, true, true},
            {u"Comment", u"Comment", 0x008000, 0xFFFFFF, false, true, true},
            {u"Keyword", u"Keyword", 0xFF0000, 0xFFFFFF, false, true, true},
            {u"String", u"String", 0x000080, 0xFFFFFF, false, true, true},
        },
        {
            {3, 8, u"Or", u"Mod"},
            {5, 233, u"vbObject", u"Const"},
        },
        {
            {u"\"", u"\"", u"", 6, false},
            {u"rem", u"", u"", 4, false},
            {u"'", u"", u"", 4, false},
        },
        {u"r", u"re"},
    },
    {
        u"VBScript3", 161, false, 4, true, u"Courier New",
        u"", u"", u"", u"&*+-/<=>\\^",
        {
            {u"Text", u"Text", 0x000000, 0xFFFFFF, true, true, true},
            {u"Text Selection", u"Text Selection", 0xFFFFFF, 0x000000, true, true, true},
            {u"Number", u"Number", 0x000000, 0xFFFFFF, true, true, true},
            {u"Operator", u"Operator", 0xFF0000, 0xFFFFFF, false, true, true},
            {u"Comment", u"Comment", 0x008000, 0xFFFFFF, false, true, true},
            {u"String", u"String", 0x000080, 0xFFFFFF, false, true, true},
            {u"Statement", u"Statement", 0xFF0000, 0xFFFFFF, false, true, true},
            {u"Function", u"Function", 0xFF0000, 0xFFFFFF, false, true, true},
            {u"Constant", u"Constant", 0xFF0000, 0xFFFFFF, false, true, true},
        },
        {
            {3, 8, u"Or", u"Mod"},
            {6, 33, u"ReDim", u"Const"},
            {7, 92, u"TypeName", u"Sqr"},
            {8, 85, u"vbObject", u"False"},
        },
        {
            {u"\"", u"\"", u"", 5, false},
            {u"rem", u"", u"", 4, false},
            {u"'", u"", u"", 4, false},
        },
        {u"r", u"re"},
    },
    {
        u"XML", 162, true, 4, true, u"Courier",
        u"#", u"-.:", u"", u"!%&()*+,-./:;<=>?[]^{|}~",
        {
            {u"Text", u"Tag Text", 0x0000FF, 0xFFFFFF, false, true, true},
            {u"Text Selection", u"Text Selection", 0xFFFFFF, 0x000000, false, false, true},
            {u"Number", u"Number", 0x800000, 0xFFFFFF, false, true, true},
            {u"Operator", u"Operator", 0x000000, 0xFFFFFF, false, true, false},
            {u"Body Text", u"Body Text", 0x000000, 0xFFFFFF, false, true, true},
            {u"String", u"String", 0x808000, 0xFFFFFF, false, true, true},
            {u"Keyword", u"Keyword", 0xFF0000, 0xFFFFFF, false, true, true},
            {u"Declaration", u"XML Declaration", 0xFF0000, 0xFFFFFF, false, true, true},
            {u"Attribute", u"XML Attribute", 0xFF8000, 0xFFFFFF, false, true, true},
        },
        {
            {6, 43, u"dt:number", u"version"},
        },
        {
            {u"\"", u"\"", u"\\", 5, false},
            {u"'", u"'", u"\\", 5, false},
            {u"?xml", u"?", u"", 7, false},
            {u">", u"<", u"", 4, true},
        },
        {u"?", u"?x", u"?xm"},
    },
    {
        u"XSL", 163, true, 4, true, u"Courier",
        u"", u"-:", u"", u"!%&()*+,-./:;<=>?[]^{|}~",
        {
            {u"Text", u"Tag Text", 0x0000FF, 0xFFFFFF, false, true, true},
            {u"Text Selection", u"Text Selection", 0xFFFFFF, 0x000000, false, false, true},
            {u"Number", u"Number", 0x800000, 0xFFFFFF, false, true, true},
            {u"Operator", u"Operator", 0x000000, 0xFFFFFF, false, true, false},
            {u"Body Text", u"Body Text", 0x000000, 0xFFFFFF, false, true, true},
            {u"String", u"String", 0x808000, 0xFFFFFF, false, true, true},
            {u"Keyword", u"Keyword", 0xFF0000, 0xFFFFFF, false, true, true},
            {u"Declaration", u"XSL Declaration", 0xFF0000, 0xFFFFFF, false, true, true},
            {u"Attribute", u"XSL Attribute", 0xFF8000, 0xFFFFFF, false, true, true},
        },
        {
            {6, 18, u"xsl:stylesheet", u"version"},
        },
        {
            {u"\"", u"\"", u"\\", 5, false},
            {u"'", u"'", u"\\", 5, false},
            {u"?xml", u"?", u"", 7, false},
            {u">", u"<", u"", 4, true},
        },
        {u"?", u"?x", u"?xm"},
    },
    };
    return languages;
}

constexpr char16_t kDelimiterClass[] = u"!\"#$%&'()*+,-./:;<=>?@[\\]^`{|}~";

std::u16string Sorted(std::u16string text)
{
    std::sort(text.begin(), text.end());
    return text;
}

class BuiltInConfig : public ::testing::TestWithParam<std::size_t>
{
protected:
    const ExpectedLanguage& expected = Expected()[GetParam()];
};

TEST_P(BuiltInConfig, SettingsFontAndClasses)
{
    ConfigPtr config = LoadBuiltIn(expected.resourceId);
    ASSERT_TRUE(config);
    EXPECT_EQ(config->GetMatchCase(), expected.matchCase);
    EXPECT_EQ(config->GetTabSize(), expected.tabSize);
    EXPECT_EQ(config->GetAutoIndent(), expected.autoIndent);
    EXPECT_FALSE(config->GetShowWhitespace());
    EXPECT_FALSE(config->GetReplaceTabs());
    EXPECT_FALSE(config->GetVirtualWhitespace());
    EXPECT_EQ(config->GetFacename(), expected.facename);
    EXPECT_EQ(config->GetSize(), 10);
    EXPECT_FALSE(config->GetBold());
    EXPECT_FALSE(config->GetItalic());

    EXPECT_EQ(config->GetCharClassMembers(WordStart), Sorted(expected.wordStart));
    EXPECT_EQ(config->GetCharClassMembers(WordPart), Sorted(expected.wordPart));
    EXPECT_EQ(config->GetCharClassMembers(WordEnd), Sorted(expected.wordEnd));
    EXPECT_EQ(config->GetCharClassMembers(Delimiter), Sorted(kDelimiterClass));
    EXPECT_EQ(config->GetCharClassMembers(Operator), Sorted(expected.operators));
    EXPECT_FALSE(config->IsCharInClass(u'_', Delimiter));
    EXPECT_FALSE(config->IsCharInClass(u'7', Delimiter));
}

TEST_P(BuiltInConfig, ColourGroupsAndKeys)
{
    ConfigPtr config = LoadBuiltIn(expected.resourceId);
    ASSERT_TRUE(config);
    ASSERT_EQ(config->GetColorGroupCount(), static_cast<int>(expected.groups.size()));
    ASSERT_EQ(config->GetGroupKeys().size(), expected.groups.size());
    for (std::size_t i = 0; i < expected.groups.size(); ++i)
    {
        SCOPED_TRACE(i);
        const ExpectedGroup& want = expected.groups[i];
        const SECEditColorGroup& group = config->GetColorGroup(static_cast<int>(i));
        EXPECT_EQ(group.displayName, want.displayName);
        EXPECT_EQ(group.foreground, want.foreground);
        EXPECT_EQ(group.background, want.background);
        EXPECT_EQ(group.foregroundAutomatic, want.foregroundAutomatic);
        EXPECT_EQ(group.backgroundAutomatic, want.backgroundAutomatic);
        EXPECT_EQ(group.configurable, want.configurable);
        EXPECT_EQ(group.reserved, 0);
        EXPECT_EQ(config->GetGroupKeys()[i].first, want.key);
        EXPECT_EQ(config->GetGroupKeys()[i].second, i);
    }
    EXPECT_EQ(config->GetKindColorGroupIndex(ColorGroupKind::Number), 2);
    EXPECT_EQ(config->GetKindColorGroupIndex(ColorGroupKind::Operator), 3);
}

TEST_P(BuiltInConfig, KeywordsPerGroupInOrder)
{
    ConfigPtr config = LoadBuiltIn(expected.resourceId);
    ASSERT_TRUE(config);
    std::vector<std::u16string> keywords;
    config->GetKeywords(keywords);

    std::size_t position = 0;
    for (const ExpectedKeywords& want : expected.keywords)
    {
        SCOPED_TRACE(want.group);
        ASSERT_LE(position + static_cast<std::size_t>(want.count), keywords.size());
        EXPECT_EQ(keywords[position], want.first);
        EXPECT_EQ(keywords[position + static_cast<std::size_t>(want.count) - 1], want.last);
        for (int i = 0; i < want.count; ++i, ++position)
        {
            std::uint16_t group = 0xFFFF;
            const std::u16string& word = keywords[position];
            ASSERT_EQ(config->ClassifyWord(word, group), static_cast<int>(word.size())) << std::string(word.begin(), word.end());
            EXPECT_EQ(group, want.group);
        }
    }
    EXPECT_EQ(position, keywords.size());
}

TEST_P(BuiltInConfig, DelimitersAndPrefixKeys)
{
    ConfigPtr config = LoadBuiltIn(expected.resourceId);
    ASSERT_TRUE(config);
    std::vector<const SECEditDelimiter*> records;
    config->GetDelimiters(records, DelimiterMode::Any);
    ASSERT_EQ(records.size(), expected.delimiters.size());
    for (std::size_t i = 0; i < records.size(); ++i)
    {
        const ExpectedDelimiter& want = expected.delimiters[i];
        SCOPED_TRACE(i);
        EXPECT_EQ(records[i]->opening, want.opening);
        EXPECT_EQ(records[i]->closing, want.closing);
        EXPECT_EQ(records[i]->escape, want.escape);
        EXPECT_EQ(records[i]->group, want.group);
        EXPECT_EQ(records[i]->multiLine, want.multiLine);
        const std::u16string opening = want.opening;
        EXPECT_EQ(config->FindDelimiter(opening.data(), static_cast<int>(opening.size()), 0, DelimiterMode::Any),
                  records[i]);
    }
    // The table holds the records' keys and the prefix keys, nothing else.
    EXPECT_EQ(config->GetDelimiterTableSize(), static_cast<int>(records.size() + expected.prefixes.size()));
}

std::string LanguageName(const ::testing::TestParamInfo<std::size_t>& info)
{
    std::string name;
    for (const char16_t* c = Expected()[info.param].name; *c; ++c)
        name += *c == u'+' ? 'p' : *c == u'#' ? 's' : static_cast<char>(*c);
    return name;
}

INSTANTIATE_TEST_SUITE_P(All, BuiltInConfig, ::testing::Range<std::size_t>(0, 12), LanguageName);

TEST(BuiltInLanguages, RegisteredOrderAndIds)
{
    ASSERT_EQ(kBuiltInLanguages.size(), Expected().size());
    for (std::size_t i = 0; i < kBuiltInLanguages.size(); ++i)
    {
        EXPECT_EQ(std::u16string(kBuiltInLanguages[i].name), Expected()[i].name);
        EXPECT_EQ(kBuiltInLanguages[i].resourceId, Expected()[i].resourceId);
    }
    EXPECT_TRUE(FindLangConfigResource(153).empty());
}

TEST(BuiltInLanguages, KeywordTotals)
{
    // The largest tables, counted independently of the per-group checks.
    ConfigPtr cpp = LoadBuiltIn(154);
    ConfigPtr vb = LoadBuiltIn(158);
    ConfigPtr sql = LoadBuiltIn(166);
    ASSERT_TRUE(cpp && vb && sql);
    EXPECT_EQ(cpp->GetKeywordCount(), 79);
    EXPECT_EQ(vb->GetKeywordCount(), 279 + 521);
    EXPECT_EQ(sql->GetKeywordCount(), 808);
}

TEST(BuiltInLanguages, ArchiveRoundTripIsByteExact)
{
    for (const BuiltInLanguage& language : kBuiltInLanguages)
    {
        SCOPED_TRACE(language.resourceId);
        ConfigPtr config = LoadBuiltIn(language.resourceId);
        ASSERT_TRUE(config);
        EXPECT_EQ(ArchiveOf(*config), ResourceBytes(language.resourceId));
    }
}

} // namespace
