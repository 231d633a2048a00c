// The application engine's colouring refinements for markup.
//
// "XML": a name followed by =" is an attribute.
// "HTML": only tokens inside a tag are coloured; text between tags is plain,
// even where a word spells an element name. Whether a token lies inside a tag
// depends on the nearest angle brackets before and after it, which may be
// lines away, so what has been learnt about the lines around is remembered
// until the text changes: colouring a long stretch of text without brackets
// stays linear.

#include "app/CMyEdit.h"

#include "engine/SECEditCommand.h"
#include "engine/SECEditLangSettings.h"
#include "engine/SECEditLinesMsg.h"
#include "engine/SECEditReplaceCommand.h"

#include <algorithm>
#include <string_view>
#include <vector>

namespace
{
constexpr std::uint16_t XmlAttributeGroup = 8;

bool NameIs(const std::u16string& name, std::u16string_view wanted)
{
    if (name.size() != wanted.size())
        return false;
    for (std::size_t i = 0; i < name.size(); ++i)
    {
        char16_t c = name[i];
        if (c >= u'a' && c <= u'z')
            c = static_cast<char16_t>(c - u'a' + u'A');
        if (c != wanted[i])
            return false;
    }
    return true;
}

void AppendRun(SECEditColorRuns& runs, std::uint16_t group, int length)
{
    while (length > 0)
    {
        const int part = std::min(length, 0xFFFF);
        runs.push_back((static_cast<std::uint32_t>(group) << 16) | static_cast<std::uint32_t>(part));
        length -= part;
    }
}

inline bool IsBracket(char16_t c)
{
    return c == u'<' || c == u'>';
}

// The last angle bracket of a line's text, or 0.
char16_t LastBracketOf(std::u16string_view text)
{
    for (std::size_t i = text.size(); i > 0; --i)
        if (IsBracket(text[i - 1]))
            return text[i - 1];
    return 0;
}

// The first angle bracket of a line's text, or 0.
char16_t FirstBracketOf(std::u16string_view text)
{
    for (char16_t c : text)
        if (IsBracket(c))
            return c;
    return 0;
}
} // namespace

struct CMyEdit::BracketMemo
{
    std::uint64_t generation = 0;

    // The line being coloured and the columns of its brackets.
    std::int32_t line = -1;
    std::vector<std::int32_t> columns;
    std::vector<char16_t> kinds;

    // The last bracket above line `aboveLine` (0: none), found on line
    // `aboveFound` (-1: none); lines between have none.
    std::int32_t aboveLine = -1;
    std::int32_t aboveFound = -1;
    char16_t above = 0;

    // Lines after `belowFrom` up to `belowLine` have no bracket; `below` is
    // the first bracket of `belowLine` (0 and the line count: none at all).
    std::int32_t belowFrom = -1;
    std::int32_t belowLine = -1;
    char16_t below = 0;

    void Reset(std::uint64_t now)
    {
        generation = now;
        line = aboveLine = aboveFound = belowFrom = belowLine = -1;
        above = below = 0;
        columns.clear();
        kinds.clear();
    }

    char16_t Above(const SECEdit& engine, std::int32_t target)
    {
        // Known already: the target lies between the bracket found last time
        // and the line it was looked up for.
        if (aboveLine >= 0 && aboveFound < target && target <= aboveLine)
            return above;
        // Walk up from the target; stop at a bracket, or where the answer is
        // already known.
        const std::int32_t known = (aboveLine >= 0 && aboveLine < target) ? aboveLine : -1;
        char16_t found = 0;
        std::int32_t foundLine = -1;
        bool done = false;
        for (std::int32_t l = target - 1; l >= std::max(known, 0); --l)
        {
            std::u16string_view text;
            engine.GetLineText(l, text);
            if (const char16_t c = LastBracketOf(text))
            {
                found = c;
                foundLine = l;
                done = true;
                break;
            }
        }
        if (!done && known >= 0)
        {
            found = above;
            foundLine = aboveFound;
        }
        aboveLine = target;
        aboveFound = foundLine;
        above = found;
        return found;
    }

    char16_t Below(const SECEdit& engine, std::int32_t target)
    {
        if (belowFrom >= 0 && belowFrom <= target && target < belowLine)
            return below;
        const std::int32_t count = engine.GetLineCount();
        std::int32_t l = target + 1;
        char16_t found = 0;
        for (; l < count; ++l)
        {
            std::u16string_view text;
            engine.GetLineText(l, text);
            if ((found = FirstBracketOf(text)) != 0)
                break;
        }
        belowFrom = target;
        belowLine = l;
        below = found;
        return found;
    }

    void Learn(std::int32_t target, const char16_t* text, int length)
    {
        if (line == target)
            return;
        line = target;
        columns.clear();
        kinds.clear();
        for (int i = 0; i < length; ++i)
        {
            if (IsBracket(text[i]))
            {
                columns.push_back(i);
                kinds.push_back(text[i]);
            }
        }
    }

    // The nearest bracket before the column, on this line or above.
    char16_t Before(const SECEdit& engine, std::int32_t column)
    {
        const auto it = std::lower_bound(columns.begin(), columns.end(), column);
        if (it != columns.begin())
            return kinds[static_cast<std::size_t>(it - columns.begin()) - 1];
        return Above(engine, line);
    }

    // Inside a tag: the nearest bracket before is "<" and the nearest after
    // is ">". A "<" opens a tag when a ">" follows it; a ">" closes one when
    // a "<" precedes it.
    bool IsInsideTag(const SECEdit& engine, std::int32_t target, const char16_t* text, int length, int tokenStart,
                     int tokenLength)
    {
        Learn(target, text, length);
        const char16_t token = text[tokenStart];
        if (tokenLength <= 1 && token == u'>')
            return Before(engine, tokenStart) == u'<';
        if (tokenLength <= 1 && token == u'<')
            return After(engine, tokenStart + 1) == u'>';
        return Before(engine, tokenStart) == u'<' && After(engine, tokenStart) == u'>';
    }

    // The nearest bracket at or after the column, on this line or below.
    char16_t After(const SECEdit& engine, std::int32_t column)
    {
        const auto it = std::lower_bound(columns.begin(), columns.end(), column);
        if (it != columns.end())
            return kinds[static_cast<std::size_t>(it - columns.begin())];
        return Below(engine, line);
    }
};

CMyEdit::BracketMemo& CMyEdit::Brackets()
{
    if (!m_brackets)
        m_brackets = std::make_shared<BracketMemo>();
    // Anything learnt about the text holds until the text or the language changes.
    if (m_brackets->generation != GetColoringGeneration())
        m_brackets->Reset(GetColoringGeneration());
    return *m_brackets;
}

int CMyEdit::ColorToken(std::int32_t line, const char16_t* lineText, int tokenStart, int tokenLength, int charsLeft,
                        int& pending, SECEditColorRuns& runs)
{
    const SECEditLangSettings* config = GetLangConfig();
    if (!config)
        return SECEdit::ColorToken(line, lineText, tokenStart, tokenLength, charsLeft, pending, runs);
    const std::u16string& name = config->GetName();

    if (NameIs(name, u"XML"))
    {
        const char16_t* after = lineText + tokenStart + tokenLength;
        if (tokenLength > 0 && charsLeft - tokenLength >= 3 && after[0] == u'=' && after[1] == u'"')
        {
            FlushPending(runs, pending);
            AppendRun(runs, XmlAttributeGroup, tokenLength);
            return tokenLength;
        }
    }
    else if (NameIs(name, u"HTML"))
    {
        // Only a token the base colouring would colour needs the tag test;
        // anything else is plain text inside a tag or out.
        const char16_t first = lineText[tokenStart];
        std::uint16_t group = 0;
        const bool white = first == u' ' || first == u'\t';
        const bool colourable =
            (tokenLength > 0 && !white &&
             config->ClassifyWord(std::u16string_view(lineText + tokenStart, static_cast<std::size_t>(tokenLength)),
                                  group) > 0) ||
            FindDelimiterAt(line, lineText, tokenStart, tokenLength, charsLeft, DelimiterMode::Any) ||
            config->IsCharInClass(first, Operator);
        if (!colourable || !Brackets().IsInsideTag(*this, line, lineText, tokenStart + charsLeft, tokenStart,
                                                   tokenLength))
        {
            const int used = tokenLength > 0 ? tokenLength : 1;
            pending += used;
            return used;
        }
    }
    return SECEdit::ColorToken(line, lineText, tokenStart, tokenLength, charsLeft, pending, runs);
}

void CMyEdit::OnUpdate(ISubject* subject, IMessage* message)
{
    SECEdit::OnUpdate(subject, message);
    const SECEditLangSettings* config = GetLangConfig();
    if (!message || !config || !NameIs(config->GetName(), u"HTML"))
        return;
    if (SECEditCommand* command = SECEditCommand::FromMessage(message)) {
        const SECEditTextRange range = command->GetRange().Normalized();
        RecolorAroundTags(range.start.line, command->IsTextPresent() ? range.end.line : range.start.line);
    } else if (const SECEditReplaceCommand* replace = SECEditReplaceCommand::FromMessage(message)) {
        replace->ForEachLine([this](std::int32_t line) { RecolorAroundTags(line, line); });
    }
}

void CMyEdit::RecolorAroundTags(std::int32_t editFirst, std::int32_t editLast)
{
    // A token's tag test looks at the nearest brackets before and after it,
    // across lines without brackets. So the edit may change the colouring of
    // every line from the last bracket above it to the first bracket below it.
    const std::int32_t count = GetLineCount();
    const std::int32_t a = std::clamp(editFirst, 0, count - 1);
    const std::int32_t b = std::clamp(editLast, a, count - 1);
    std::int32_t first = a;
    while (first > 0)
    {
        std::u16string_view text;
        GetLineText(first - 1, text);
        if (LastBracketOf(text))
            break;
        --first;
    }
    if (first > 0)
        --first;
    std::int32_t last = b;
    while (last + 1 < count)
    {
        std::u16string_view text;
        GetLineText(last + 1, text);
        ++last;
        if (FirstBracketOf(text))
            break;
    }
    if (first == a && last == b)
        return;
    FreeCachedColoring(first, last);
    m_colorFrontier = std::min(m_colorFrontier, first);
    SECEditLinesMsg lines(first, last);
    UpdateAllObservers(nullptr, &lines);
}
