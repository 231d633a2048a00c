#include "engine/SECEdit.h"

#include "engine/ISECEditLangLookup.h"
#include "engine/SECEditCharScan.h"
#include "engine/SECEditCommand.h"
#include "engine/SECEditCompositeCommand.h"
#include "engine/SECEditDefaultLangSettings.h"
#include "engine/SECEditLinesMsg.h"
#include "engine/SECEditMsg.h"
#include "engine/SECEditReplaceCommand.h"
#include "engine/SECEditSearch.h"
#include "engine/SECEditTextStore.h"

#include <algorithm>

namespace
{
ISECEditLangLookup* g_langLookup = nullptr;

std::ptrdiff_t EffectiveLength(const char16_t* text, std::ptrdiff_t length)
{
    if (length < -1)
        return -1;
    if (!text)
        return length <= 0 ? 0 : -1;
    if (length == -1)
        return static_cast<std::ptrdiff_t>(std::char_traits<char16_t>::length(text));
    const char16_t* nul = std::char_traits<char16_t>::find(text, static_cast<std::size_t>(length), u'\0');
    return nul ? nul - text : length;
}

// Tab and column conversion over one line's characters.
std::int32_t ConvertColumnIn(const char16_t* text, std::int32_t length, std::int32_t column, int direction,
                             int tabSize, std::int32_t* displayColumn)
{
    column = std::max(column, 0);
    const bool hasTab =
        tabSize > 1 && SECEditCharScan::Find(text, static_cast<std::size_t>(length), u'\t') != nullptr;
    if (!hasTab)
    {
        const std::int32_t result = direction == 0 ? column : std::min(column, length);
        if (displayColumn)
            *displayColumn = result;
        return result;
    }
    if (direction == 0)
    {
        const std::int32_t end = std::min(column, length);
        std::int32_t display = 0;
        for (std::int32_t i = 0; i < end; ++i)
            display += text[i] == u'\t' ? tabSize - display % tabSize : 1;
        if (displayColumn)
            *displayColumn = display;
        return display;
    }
    // Display column to character column: walk the tabs before it.
    std::int32_t extra = 0; // sum of (tab width - 1) of the tabs walked
    for (std::int32_t i = 0; i < length; ++i)
    {
        const std::int32_t p = i + extra;
        if (p >= column)
            break; // nothing further along can come before the column
        if (text[i] != u'\t')
            continue;
        const std::int32_t width = tabSize - p % tabSize;
        if (column <= p + width - 1)
        {
            if (displayColumn)
                *displayColumn = p;
            return i;
        }
        extra += width - 1;
    }
    std::int32_t result = column - extra;
    std::int32_t display = column;
    if (result > length)
    {
        result = length;
        display = ConvertColumnIn(text, length, length, 0, tabSize, nullptr);
    }
    if (displayColumn)
        *displayColumn = display;
    return result;
}
// Where a line's remaining text must be broken: the character index at which
// its display width reaches the maximum (before a tab that straddles it), or
// 0 when the whole of it fits. Walks at most the first MaxLineLength columns.
std::size_t NextBreak(const char16_t* text, std::size_t length, int tabSize)
{
    std::int32_t display = 0;
    for (std::size_t i = 0; i < length; ++i)
    {
        if (display >= SECEdit::MaxLineLength)
            return i;
        const std::int32_t width = text[i] == u'\t' && tabSize > 1 ? tabSize - display % tabSize : 1;
        if (text[i] == u'\t' && display + width > SECEdit::MaxLineLength)
            return i;
        display += width;
    }
    return 0;
}
} // namespace

SECEdit::SECEdit()
{
    m_store = CreateTextStore();
}

SECEdit::~SECEdit()
{
    ReleaseLangConfig();
    m_colorCache.clear();
    m_regions.clear();
    m_marks.Clear();
    m_store.reset();
    if (m_composite)
    {
        m_composite->Release();
        m_composite = nullptr;
    }
    m_recording = false;
    ClearHistory();
}

// ---------------------------------------------------------------------------
// Subject and observer

bool SECEdit::QueryGuid(const SECGuid& guid, void** out)
{
    if (!out)
        return false;
    if (guid == SECIID_IQueryGuid)
        *out = static_cast<IQueryGuid*>(this);
    else if (guid == SECIID_ISubject)
        *out = static_cast<ISubject*>(this);
    else if (guid == SECIID_IObserver)
        *out = static_cast<IObserver*>(this);
    else
    {
        *out = nullptr;
        return false;
    }
    return true;
}

void SECEdit::AddObserver(IObserver* observer)
{
    m_observers.Add(observer);
}

void SECEdit::RemoveObserver(IObserver* observer)
{
    m_observers.Remove(observer);
}

void SECEdit::UpdateAllObservers(IObserver* sender, IMessage* message)
{
    m_observers.Deliver(this, sender, message);
}

void SECEdit::OnUpdate(ISubject*, IMessage* message)
{
    if (!message)
    {
        BuildFont();
        UpdateAllObservers(nullptr, nullptr);
        return;
    }
    switch (message->GetMessageId())
    {
    case SECEditMsg::EditCommand:
        if (SECEditCommand* command = SECEditCommand::FromMessage(message))
            UpdateLineArrays(*command);
        UpdateAllObservers(nullptr, message);
        break;
    case SECEditMsg::ReplaceCommand:
        if (const SECEditReplaceCommand* replace = SECEditReplaceCommand::FromMessage(message))
            UpdateLineArrays(*replace);
        UpdateAllObservers(nullptr, message);
        break;
    case SECEditMsg::CompositeCommand:
        if (SECEditCompositeCommand* composite = SECEditCompositeCommand::FromMessage(message))
            composite->DeliverCommands(this, this);
        break;
    case SECEditMsg::InvalidateColoring:
        ClearColorCache();
        BuildFont();
        if (!m_store)
            UpdateAllObservers(nullptr, nullptr);
        else
            UpdateAllObservers(nullptr, message);
        break;
    default:
        BuildFont();
        UpdateAllObservers(nullptr, message);
        break;
    }
}

void SECEdit::SendSimple(unsigned int kind)
{
    SECEditMsg message(kind);
    UpdateAllObservers(nullptr, &message);
}

// ---------------------------------------------------------------------------
// Set-up and language

void SECEdit::SetLangLookup(ISECEditLangLookup* lookup)
{
    g_langLookup = lookup;
}

ISECEditLangLookup* SECEdit::GetLangLookup()
{
    return g_langLookup;
}

bool SECEdit::InitNew(std::u16string_view language)
{
    if (!SetLanguage(language))
        return false;
    return ResetContent();
}

bool SECEdit::ResetContent()
{
    if (!m_langConfig)
        SetLanguage(u"Default");
    m_modified = false;
    m_readOnly = false;
    m_lineFeedBreaks = false;
    m_cleanMarker = CleanEmpty;
    ForgetHistory();
    ClearMarkRecords();
    m_store = CreateTextStore();
    m_store->Reset();
    BuildFont();
    ClearColorCache();
    SendSimple(SECEditMsg::InitController);
    return true;
}

void SECEdit::ChooseFont() {}

void SECEdit::BuildFont() {}

SECEditLangSettings* SECEdit::GetLangConfig() const
{
    return m_langConfig;
}

void SECEdit::SetLangConfig(SECEditLangSettings* config)
{
    if (config)
        config->AddRef();
    ReleaseLangConfig();
    m_langConfig = config;
    if (m_langConfig)
        m_langConfig->AddObserver(this);
}

void SECEdit::ReleaseLangConfig()
{
    if (!m_langConfig)
        return;
    SECEditLangSettings* old = m_langConfig;
    m_langConfig = nullptr;
    old->RemoveObserver(this);
    old->Release();
}

bool SECEdit::SetLanguage(std::u16string_view name)
{
    SECEditLangSettings* config = g_langLookup ? g_langLookup->LookupLangConfig(name) : nullptr;
    if (!config && name == u"Default")
        config = SECEditDefaultLangSettings::GetShared();
    if (!config)
        return false;
    SetLangConfig(config);
    config->Release(); // the lookup's reference; the engine holds its own
    SECEditMsg message(SECEditMsg::InvalidateColoring);
    OnUpdate(this, &message);
    return true;
}

int SECEdit::GetTabSize() const
{
    return m_langConfig ? std::clamp(m_langConfig->GetTabSize(), 1, 64) : 4;
}

bool SECEdit::GetReplaceTabs() const
{
    return m_langConfig && m_langConfig->GetReplaceTabs();
}

std::unique_ptr<SECEditTextStore> SECEdit::CreateTextStore()
{
    return std::make_unique<SECEditTextStore>();
}

bool SECEdit::IsReadOnly() const
{
    return m_readOnly;
}

char16_t SECEdit::GetWhitespaceMark(bool isTab) const
{
    return isTab ? u'\u00BB' : u'\u00B7';
}

bool SECEdit::OpenFile(const std::string&)
{
    return false;
}

void SECEdit::ReportOpenError() {}

bool SECEdit::SaveFile(const std::string&)
{
    return false;
}

void SECEdit::FinishLoad()
{
    // The first line end decides the convention for the breaks added from now
    // on, the long-line breaks just below included.
    std::u16string firstEnd;
    m_lineFeedBreaks = GetLineCount() > 1 && GetText(firstEnd, 0, GetLineLength(0), 0, -1)
                       && firstEnd == std::u16string(1, m_store->GetLineFeedChar());
    ClearColorCache();
    ClearMarkRecords();
    SendSimple(SECEditMsg::InitController);
    BreakLongLines(true, 0, -1);
}

// ---------------------------------------------------------------------------
// Reading

std::int32_t SECEdit::GetLineCount() const
{
    return m_store->GetLineCount();
}

std::int32_t SECEdit::GetLineText(std::int32_t line, std::u16string* text, const char16_t** pointer) const
{
    const char16_t* p = nullptr;
    const std::int32_t length = m_store->GetLineText(line, p);
    if (length < 0)
        return -1;
    if (text)
        text->assign(p, static_cast<std::size_t>(length));
    if (pointer)
        *pointer = p;
    return length;
}

std::int32_t SECEdit::GetLineText(std::int32_t line, std::u16string& text) const
{
    return GetLineText(line, &text, nullptr);
}

std::int32_t SECEdit::GetLineText(std::int32_t line, const char16_t*& pointer) const
{
    return GetLineText(line, nullptr, &pointer);
}

std::int32_t SECEdit::GetLineText(std::int32_t line, std::u16string_view& text) const
{
    const char16_t* p = nullptr;
    const std::int32_t length = GetLineText(line, nullptr, &p);
    text = length >= 0 ? std::u16string_view(p, static_cast<std::size_t>(length)) : std::u16string_view();
    return length;
}

std::int32_t SECEdit::GetLineLength(std::int32_t line) const
{
    return m_store->GetLineLength(line);
}

std::int32_t SECEdit::GetFullLineLength(std::int32_t line) const
{
    return m_store->GetFullLineLength(line);
}

bool SECEdit::GetText(std::u16string& out, std::int32_t startLine, std::int32_t startColumn, std::int32_t endLine,
                      std::int32_t endColumn) const
{
    return m_store->GetText(out, startLine, startColumn, endLine, endColumn);
}

std::ptrdiff_t SECEdit::GetTextPointer(const char16_t*& pointer, std::int32_t startLine, std::int32_t startColumn,
                                       std::int32_t endLine, std::int32_t endColumn) const
{
    return m_store->GetTextPointer(pointer, startLine, startColumn, endLine, endColumn);
}

void SECEdit::GetAllText(std::u16string& out) const
{
    out.clear();
    out.reserve(static_cast<std::size_t>(m_store->GetLength()));
    m_store->ForEachChunk(0, -1, [&](std::u16string_view piece) {
        out.append(piece);
        return true;
    });
}

std::int32_t SECEdit::FindText(std::int32_t startLine, std::int32_t startColumn, std::int32_t& matchLine,
                               std::int32_t& matchColumn, std::u16string_view pattern, bool down, bool wrap,
                               bool matchCase, bool wholeWord, bool regularExpression, std::int32_t limitLine,
                               std::int32_t limitColumn) const
{
    SECEditSearch::Options options;
    options.down = down;
    options.wrap = wrap;
    options.matchCase = matchCase;
    options.wholeWord = wholeWord;
    options.regularExpression = regularExpression;
    const SECEditSearch search(*m_store);
    const std::int32_t length =
        search.Find(startLine, startColumn, matchLine, matchColumn, pattern, options, limitLine, limitColumn);
    m_searchTooComplexLine = search.TooComplexLine();
    return length;
}

bool SECEdit::IsValidPosition(std::int32_t line, std::int32_t column, bool always) const
{
    if (always)
        return true;
    if (line < 0 || line >= GetLineCount() || column < 0)
        return false;
    return column <= GetLineLength(line);
}

std::int32_t SECEdit::ValidateColumn(std::int32_t line, std::int32_t column, bool always) const
{
    return IsValidPosition(line, column, always) ? column : -1;
}

bool SECEdit::IsBlankLine(std::int32_t line) const
{
    std::u16string_view text;
    if (GetLineText(line, text) <= 0)
        return true;
    return std::all_of(text.begin(), text.end(), [](char16_t c) { return c == u' ' || c == u'\t'; });
}

std::int32_t SECEdit::CountLeadingBlanks(std::int32_t line) const
{
    std::u16string_view text;
    if (GetLineText(line, text) <= 0)
        return 0;
    const auto it = std::find_if(text.begin(), text.end(), [](char16_t c) { return c != u' ' && c != u'\t'; });
    return static_cast<std::int32_t>(it - text.begin());
}

std::u16string SECEdit::GetLineEndString() const
{
    std::u16string end;
    const char16_t cr = m_store->GetCarriageReturnChar();
    if (cr && !m_lineFeedBreaks)
        end += cr;
    end += m_store->GetLineFeedChar();
    return end;
}

// ---------------------------------------------------------------------------
// Tabs and columns

std::int32_t SECEdit::ConvertColumn(std::int32_t column, int direction, std::int32_t line,
                                    std::int32_t* displayColumn) const
{
    if (line < 0)
    {
        if (displayColumn)
            *displayColumn = -1;
        return -1;
    }
    line = std::min(line, GetLineCount() - 1);
    const char16_t* text = nullptr;
    const std::int32_t length = GetLineText(line, text);
    return ConvertColumnIn(text, length, column, direction, GetTabSize(), displayColumn);
}

std::int32_t SECEdit::ConvertColumnInString(std::int32_t column, int direction, const char16_t* string,
                                            std::int32_t* displayColumn) const
{
    const std::size_t length = string ? std::char_traits<char16_t>::length(string) : 0;
    return ConvertColumnInString(column, direction, std::u16string_view(string ? string : u"", length),
                                 displayColumn);
}

std::int32_t SECEdit::ConvertColumnInString(std::int32_t column, int direction, std::u16string_view string,
                                            std::int32_t* displayColumn) const
{
    const char16_t* nul = SECEditCharScan::Find(string.data(), string.size(), u'\0');
    const std::size_t length = nul ? static_cast<std::size_t>(nul - string.data()) : string.size();
    return ConvertColumnIn(string.data(), static_cast<std::int32_t>(std::min<std::size_t>(length, INT32_MAX)),
                           column, direction, GetTabSize(), displayColumn);
}

void SECEdit::MakeIndentString(std::u16string& out, std::int32_t width, const SECEditTextPos& pos,
                               bool honourReplaceTabs)
{
    out.clear();
    if (width <= 0)
        return;
    if (honourReplaceTabs && GetReplaceTabs())
    {
        out.assign(static_cast<std::size_t>(width), u' ');
        return;
    }
    const int tab = GetTabSize();
    const std::int32_t d = std::max(ConvertColumn(pos.column, 0, pos.line), 0) % tab;
    if (width < tab - d)
    {
        out.assign(static_cast<std::size_t>(width), u' ');
        return;
    }
    const std::int32_t w = width + d - tab;
    out.assign(1 + static_cast<std::size_t>(w / tab), u'\t');
    out.append(static_cast<std::size_t>(w % tab), u' ');
}

std::int32_t SECEdit::ColumnsToNextTab(const SECEditTextPos& pos) const
{
    const int tab = GetTabSize();
    return tab - std::max(ConvertColumn(pos.column, 0, pos.line), 0) % tab;
}

bool SECEdit::InsertTab(std::int32_t line, std::int32_t column)
{
    if (GetReplaceTabs())
    {
        const std::u16string spaces(static_cast<std::size_t>(ColumnsToNextTab({line, column})), u' ');
        return InsertTextAt(line, column, spaces);
    }
    return InsertTextAt(line, column, u"\t", 1);
}

bool SECEdit::IsLineTooLong(std::int32_t line) const
{
    const std::int64_t length = GetLineLength(line);
    if (length * GetTabSize() <= MaxLineLength)
        return false;
    return ConvertColumn(static_cast<std::int32_t>(length), 0, line) > MaxLineLength;
}

bool SECEdit::BreakLongLines(bool apply, std::int32_t firstLine, std::int32_t lastLine)
{
    const std::int32_t count = GetLineCount();
    if (lastLine == -1)
        lastLine = count - 1;
    if (firstLine < 0 || lastLine < 0 || firstLine >= count)
        return false;
    lastLine = std::min(lastLine, count - 1);
    if (lastLine < firstLine)
        return false;

    const std::u16string lineEnd = GetLineEndString();
    // A line whose full length stays within this cannot be too wide.
    const std::int32_t shortEnough = MaxLineLength / GetTabSize();
    bool broke = false;
    std::int32_t line = firstLine;
    while (line <= lastLine)
    {
        const std::int32_t candidate = m_store->FindLongLine(line, lastLine, shortEnough);
        if (candidate < 0)
            break;
        line = candidate;
        if (!IsLineTooLong(line))
        {
            ++line;
            continue;
        }
        if (!apply)
            return true;

        // Cut the whole line in one go: breaking it one piece at a time would
        // move the rest of a long line (a minified file can hold 100 MB on one
        // line) once for every piece.
        const char16_t* p = nullptr;
        const std::int32_t length = GetLineText(line, p);
        const std::u16string text(p, static_cast<std::size_t>(length));
        std::u16string broken;
        broken.reserve(text.size() + text.size() / 1000 * lineEnd.size() + lineEnd.size());
        std::size_t start = 0;
        std::int32_t pieces = 0;
        std::int32_t firstBreak = 0;
        for (;;)
        {
            const std::size_t at = NextBreak(text.data() + start, text.size() - start, GetTabSize());
            if (at == 0)
                break;
            if (pieces == 0)
                firstBreak = static_cast<std::int32_t>(at);
            broken.append(text, start, at);
            broken += lineEnd;
            start += at;
            ++pieces;
        }
        broken.append(text, start, std::u16string::npos);
        if (pieces == 0)
        {
            ++line;
            continue;
        }
        const bool hasText = std::any_of(text.begin(), text.end(), [](char16_t c) { return c != u' ' && c != u'\t'; });
        const bool atIndent = hasText && CountLeadingBlanks(line) >= firstBreak;
        SECEditTextRange range(line, 0, line, 0);
        if (!m_store->Delete({line, 0, line, length}) ||
            !m_store->Insert(range, broken.data(), static_cast<std::ptrdiff_t>(broken.size())))
            break;
        InsertLineMarks(line, pieces, atIndent);
        for (std::int32_t piece = line; piece <= line + pieces; ++piece)
            SetMarkBit(MarksFor(piece), SECEditLineMarks::ChangedMark, true);
        broke = true;
        lastLine += pieces;
        line += pieces + 1;
    }
    if (broke)
    {
        ForgetHistory();
        m_modified = true;
        m_cleanMarker = CleanNever;
        ClearColorCache();
        UpdateAllObservers(nullptr, nullptr);
    }
    return broke;
}

// ---------------------------------------------------------------------------
// Editing

bool SECEdit::InsertText(SECEditTextRange& range, std::u16string_view text)
{
    return InsertText(range, text.data(), static_cast<std::ptrdiff_t>(text.size()));
}

bool SECEdit::InsertTextAt(std::int32_t line, std::int32_t column, std::u16string_view text)
{
    return InsertTextAt(line, column, text.data(), static_cast<std::ptrdiff_t>(text.size()));
}

bool SECEdit::InsertTextAt(std::int32_t line, std::int32_t column, const char16_t* text, std::ptrdiff_t length)
{
    SECEditTextRange range(line, column, line, column);
    return InsertText(range, text, length);
}

bool SECEdit::InsertText(SECEditTextRange& range, const char16_t* text, std::ptrdiff_t length)
{
    const std::ptrdiff_t count = EffectiveLength(text, length);
    if (count < 0 || !m_store->IsEditablePosition(range.start.line, range.start.column))
        return false;

    InvalidateRegionsForEdit(range, false);

    // Which line keeps the marks when this insertion splits a line.
    std::u16string_view lineText;
    GetLineText(range.start.line, lineText);
    const auto firstText = std::find_if(lineText.begin(), lineText.end(),
                                        [](char16_t c) { return c != u' ' && c != u'\t'; });
    const bool hasText = firstText != lineText.end();
    const std::int32_t leadingBlanks = static_cast<std::int32_t>(firstText - lineText.begin());
    m_editAtIndent = hasText ? leadingBlanks >= range.start.column : range.start.column == 0;

    if (!m_store->Insert(range, text, count))
        return false;
    if (count == 0 && !m_executing)
        return true; // nothing changed: no undo step, nothing to tell
    // An undo or redo puts back exactly the recorded text: breaking lines
    // again would make it differ from the text the step was taken from.
    const SECEditCommand* running = SECEditCommand::FromMessage(m_executing);
    if (!m_breaking && !(running && running->IsReplaying()))
        BreakAfterInsert(range);

    SECEditCommandBase* command = m_executing;
    if (!command)
        command = MakeInsertCommand(range);
    if (command)
        OnUpdate(this, command);
    return true;
}

void SECEdit::BreakAfterInsert(SECEditTextRange& range)
{
    // Every break goes inside the inserted range, so that the one command
    // that records the insertion also takes its breaks back. A line that was
    // already too wide before the edit (after the tab size grew) therefore
    // keeps its part outside the range as it was.
    std::int32_t first = range.start.line;
    while (first <= range.end.line && !IsLineTooLong(first))
        ++first;
    if (first > range.end.line)
        return;

    // The breaks are worked out on a copy of the lines from the first one too
    // wide to the end of the insertion, and put in with one replacement:
    // putting them in one at a time would move the rest of a long pasted line
    // (it can hold megabytes) once for every piece.
    const std::int32_t lastLength = std::max(GetLineLength(range.end.line), range.end.column);
    std::u16string text;
    if (!m_store->GetText(text, first, 0, range.end.line, lastLength))
        return;
    const int tab = GetTabSize();
    const char16_t lineFeed = m_store->GetLineFeedChar();
    const char16_t carriageReturn = m_store->GetCarriageReturnChar();
    std::vector<std::size_t> breaks; // offsets into `text`
    SECEditTextPos end = range.end;
    // Whether the first `count` characters stay within the widest line; walks
    // no further than that width.
    const auto fits = [tab](const char16_t* line, std::int32_t count) {
        std::int32_t display = 0;
        for (std::int32_t i = 0; i < count && display <= MaxLineLength; ++i)
            display += line[i] == u'\t' ? tab - display % tab : 1;
        return display <= MaxLineLength;
    };
    std::size_t lineStart = 0;
    std::size_t textEnd = 0; // where the text of the line being cut ends
    for (std::int32_t j = first; j <= end.line; ++j)
    {
        if (textEnd <= lineStart)
        {
            textEnd = lineStart;
            while (textEnd < text.size() && text[textEnd] != lineFeed &&
                   (carriageReturn == 0 || text[textEnd] != carriageReturn))
                ++textEnd;
        }
        const char16_t* line = text.data() + lineStart;
        const std::int32_t length = static_cast<std::int32_t>(textEnd - lineStart);
        if (std::int64_t{length} * tab > MaxLineLength && !fits(line, length))
        {
            // (Each character takes a column at least: none further on matters.)
            const std::int32_t reach = std::min(length, MaxLineLength + 1);
            std::int32_t at = ConvertColumnIn(line, reach, MaxLineLength, 1, tab, nullptr);
            // Break right after the inserted text when that is early enough.
            if (j == end.line && fits(line, std::min(end.column, length)))
                at = end.column;
            if (j == range.start.line)
                at = std::max(at, range.start.column);
            if (j == end.line)
                at = std::min(at, end.column);
            // A break at either end of the line would shorten nothing.
            if (at > 0 && at < length)
            {
                breaks.push_back(lineStart + static_cast<std::size_t>(at));
                end.AdjustForEdit(SECEditTextPos(j, at), SECEditTextPos(j + 1, 0), true);
                lineStart += static_cast<std::size_t>(at); // the rest is the next line
                continue;
            }
        }
        const std::size_t feed = text.find(lineFeed, textEnd);
        if (feed == std::u16string::npos)
            break;
        lineStart = feed + 1;
    }
    if (breaks.empty())
        return;

    // Only the inserted part changes: from the insertion's start (or the
    // first line broken) to its end.
    const std::size_t from = first == range.start.line ? static_cast<std::size_t>(range.start.column) : 0;
    const std::int32_t fromColumn = static_cast<std::int32_t>(from);
    const std::u16string lineEnd = GetLineEndString();
    std::u16string broken;
    const std::size_t until = text.size() - static_cast<std::size_t>(lastLength - range.end.column);
    broken.reserve(until - from + breaks.size() * lineEnd.size());
    std::size_t copied = from;
    for (const std::size_t at : breaks)
    {
        broken.append(text, copied, at - copied);
        broken += lineEnd;
        copied = at;
    }
    broken.append(text, copied, until - copied);
    SECEditTextRange replaced(first, fromColumn, first, fromColumn);
    if (!m_store->Delete({first, fromColumn, range.end.line, range.end.column}))
        return;
    if (!m_store->Insert(replaced, broken.data(), static_cast<std::ptrdiff_t>(broken.size())))
        return;
    range.end = replaced.end;
}

void SECEdit::BreakJoinedLine(std::int32_t line, std::int32_t joinColumn)
{
    // Each break is an insert command of its own, logged into the open group
    // and delivered like any edit.
    const std::u16string lineEnd = GetLineEndString();
    const bool wasBreaking = m_breaking;
    m_breaking = true;
    for (bool first = true; IsLineTooLong(line); ++line, first = false)
    {
        const std::int32_t length = GetLineLength(line);
        std::int32_t at = ConvertColumn(MaxLineLength, 1, line);
        if (first && joinColumn > 0 && joinColumn < length && ConvertColumn(joinColumn, 0, line) <= MaxLineLength)
            at = joinColumn;
        if (at <= 0 || at >= length || !InsertTextAt(line, at, lineEnd))
            break;
    }
    m_breaking = wasBreaking;
}

bool SECEdit::DeleteText(std::int32_t startLine, std::int32_t startColumn, std::int32_t endLine,
                         std::int32_t endColumn)
{
    const SECEditTextRange range(startLine, startColumn, endLine, endColumn);
    if (!range.IsOrdered() || !m_store->IsEditablePosition(startLine, startColumn) ||
        !m_store->IsEditablePosition(endLine, endColumn))
        return false;

    if (range.IsEmpty() && !m_executing)
        return true; // nothing to remove: no undo step, nothing to tell

    InvalidateRegionsForEdit(range, true);
    m_editAtIndent = startColumn <= CountLeadingBlanks(startLine) && endColumn < GetLineLength(endLine);
    const std::int32_t lengthBefore = GetLineLength(startLine);

    SECEditCommandBase* command = m_executing;
    SECEditCommand* fresh = nullptr;
    if (!command)
    {
        std::u16string text;
        m_store->GetText(text, startLine, startColumn, endLine, endColumn);
        fresh = new SECEditCommand(this, range, false, std::move(text));
        command = fresh;
    }
    if (!m_store->Delete(range))
    {
        if (fresh)
            fresh->Release();
        return false;
    }

    if (fresh)
    {
        // A deletion that made the line longer (a join, or a lone carriage
        // return removed) and too wide breaks it again, at the join when
        // that is early enough, in the same undo step as the deletion. One
        // that only shortened a line already too wide leaves it alone.
        if (GetLineLength(startLine) > lengthBefore && IsLineTooLong(startLine))
        {
            const bool opened = !m_recording;
            if (opened)
                SetCompositeMode(true);
            LogAndDeliver(fresh);
            BreakJoinedLine(startLine, startColumn);
            if (opened)
                SetCompositeMode(false);
            return true;
        }
        LogAndDeliver(fresh);
        return true;
    }
    OnUpdate(this, command);
    return true;
}

bool SECEdit::ApplyReplace(SECEditReplaceCommand& command, bool undo)
{
    thread_local std::vector<SECEditTextStore::SpanEdit> edits;
    command.MakeStoreEdits(undo, edits);
    if (edits.empty())
        return true;
    // Regions from the first replacement on are coloured again; its start is
    // the same whichever way the command runs.
    std::int32_t line = 0, column = 0;
    if (!m_store->OffsetToPosition(edits.front().offset, line, column))
        return false;
    const SECEditTextPos first(line, column);
    const bool keep = command.Every([this](std::u16string_view removed, std::u16string_view inserted) {
        return KeepsColorRegions(removed, inserted);
    });
    if (!keep)
        InvalidateRegionsForEdit(SECEditTextRange(first, first), true);
    if (!m_store->ReplaceSpans(edits))
        return false;
    if (keep)
        ShiftColorRegions(command);
    else
        m_colorFrontier = std::min(m_colorFrontier, command.GetFirstLine());
    OnUpdate(this, &command);
    return true;
}

void SECEdit::LogAndDeliver(SECEditCommandBase* command)
{
    // The history normally keeps the command; should it refuse it, the
    // observers still hear of the edit before it goes.
    command->AddRef();
    if (!LogCommand(command))
        command->Release(); // the creator's reference, which nobody took
    OnUpdate(this, command);
    command->Release();
}
