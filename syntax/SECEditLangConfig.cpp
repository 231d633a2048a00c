#include "syntax/SECEditLangConfig.h"

#include "engine/IObserver.h"
#include "engine/SECEditMsg.h"
#include "syntax/SECEditArchiveReader.h"
#include "syntax/SECEditArchiveWriter.h"

#include <algorithm>
#include <atomic>

namespace {

constexpr int kMinTabSize = 1;
constexpr int kMaxTabSize = 64;
constexpr int kMinFontSize = 1;
constexpr int kMaxFontSize = 400;
constexpr char16_t kNotACharacter = 0xFFFF; // outside every character class

char16_t FoldAscii(char16_t c)
{
    return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c;
}

std::u16string Folded(std::u16string_view text)
{
    std::u16string folded(text);
    std::transform(folded.begin(), folded.end(), folded.begin(), FoldAscii);
    return folded;
}

bool ModeTakes(DelimiterMode mode, const SECEditDelimiter& delimiter)
{
    switch (mode)
    {
    case DelimiterMode::SingleLine:
        return !delimiter.multiLine;
    case DelimiterMode::MultiLine:
        return delimiter.multiLine;
    case DelimiterMode::Any:
        return true;
    }
    return false;
}

bool ValidClass(CharClass charClass)
{
    return static_cast<unsigned>(charClass) <= static_cast<unsigned>(Operator);
}

SECEditColorGroup MakeGroup(std::u16string_view name, std::uint32_t foreground, std::uint32_t background)
{
    SECEditColorGroup group;
    group.foreground = foreground;
    group.background = background;
    group.displayName = name;
    return group;
}

} // namespace

// Content ------------------------------------------------------------------

void SECEditLangConfig::Content::Clear()
{
    groups.clear();
    delimiters.clear();
    delimiterIndex.clear();
    for (CharSet& set : classes)
        set.reset();
    keywords.clear();
    keywordIndex.clear();
    foldedIndex.clear();
    longestKeyword = 0;
    groupKeys.clear();
}

void SECEditLangConfig::Content::AddKeyword(std::u16string_view keyword, std::uint16_t group)
{
    const auto found = keywordIndex.find(keyword);
    if (found != keywordIndex.end())
    {
        keywords[found->second].group = group;
        return;
    }
    const auto position = static_cast<std::uint32_t>(keywords.size());
    keywords.push_back({std::u16string(keyword), group});
    keywordIndex.emplace(std::u16string(keyword), position);
    // The newest keyword is the last in table order, so it wins a folded clash.
    foldedIndex.insert_or_assign(Folded(keyword), position);
    longestKeyword = std::max(longestKeyword, keyword.size());
}

void SECEditLangConfig::Content::RebuildFoldedIndex()
{
    foldedIndex.clear();
    for (std::uint32_t i = 0; i < keywords.size(); ++i)
        foldedIndex.insert_or_assign(Folded(keywords[i].text), i);
}

void SECEditLangConfig::Content::AddDelimiterEntry(std::u16string_view key,
                                                   std::unique_ptr<SECEditDelimiter> record)
{
    const auto found = delimiterIndex.find(key);
    if (found != delimiterIndex.end())
    {
        // A key seen again keeps its place; a record replaces, a bare prefix
        // leaves an existing record alone.
        if (record)
            delimiters[found->second].record = std::move(record);
        return;
    }
    delimiterIndex.emplace(std::u16string(key), static_cast<std::uint32_t>(delimiters.size()));
    delimiters.push_back({std::u16string(key), std::move(record)});
}

// Life ---------------------------------------------------------------------

void SECEditLangConfig::NoteColoringChange()
{
    // One counter for every configuration: a configuration created where a
    // released one lived never repeats its revision.
    static std::atomic<std::uint64_t> revisions{0};
    m_coloringRevision = ++revisions;
}

SECEditLangConfig::SECEditLangConfig()
{
    // Match case is not part of the defaults; "Default" has no keywords, so
    // on is the cheaper choice and agrees with the C-family languages.
    m_content.matchCase = true;
    SetDefaults();
}

SECEditLangConfig::~SECEditLangConfig() = default;

bool SECEditLangConfig::QueryGuid(const SECGuid& guid, void** out)
{
    if (!out)
        return false;
    if (guid == SECIID_SECEditLangConfig)
        *out = this;
    else if (guid == SECIID_ISubject)
        *out = static_cast<ISubject*>(this);
    else if (guid == SECIID_IRefCount)
        *out = static_cast<IRefCount*>(this);
    else if (guid == SECIID_IQueryGuid)
        *out = static_cast<IQueryGuid*>(this);
    else
    {
        *out = nullptr;
        return false;
    }
    AddRef();
    return true;
}

unsigned long SECEditLangConfig::AddRef()
{
    return ++m_refCount;
}

unsigned long SECEditLangConfig::Release()
{
    const unsigned long count = --m_refCount;
    if (count == 0)
        delete this;
    return count;
}

void SECEditLangConfig::AddObserver(IObserver* observer)
{
    m_observers.Add(observer);
}

void SECEditLangConfig::RemoveObserver(IObserver* observer)
{
    m_observers.Remove(observer);
}

void SECEditLangConfig::UpdateAllObservers(IObserver* sender, IMessage* message)
{
    m_observers.Deliver(this, sender, message);
}

void SECEditLangConfig::Clear()
{
    m_content.Clear();
    NoteColoringChange();
}

void SECEditLangConfig::SetDefaults()
{
    Clear();
    m_content.showWhitespace = false;
    m_content.replaceTabs = false;
    m_content.virtualWhitespace = false;
    m_content.tabSize = 4;
    m_content.autoIndent = false;
    m_content.facename = u"Courier";
    m_content.size = 10;
    m_content.italic = false;
    m_content.bold = false;

    // Black on white stands in for the window colours; the automatic flags
    // let the view substitute the real ones.
    constexpr std::uint32_t windowText = 0x000000;
    constexpr std::uint32_t window = 0xFFFFFF;
    m_content.groups.push_back(MakeGroup(u"Text", windowText, window));
    m_content.groups.push_back(MakeGroup(u"Text Selection", window, windowText));
    m_content.groups.push_back(MakeGroup(u"Number", windowText, window));
    m_content.groups.push_back(MakeGroup(u"Operator", windowText, window));
    m_content.groupKeys = {{u"Text", 0}, {u"Text Selection", 1}, {u"Number", 2}, {u"Operator", 3}};
}

// Settings -----------------------------------------------------------------

void SECEditLangConfig::SetTabSize(int columns)
{
    if (columns >= kMinTabSize && columns <= kMaxTabSize)
        m_content.tabSize = columns;
}

void SECEditLangConfig::SetSize(int points)
{
    if (points >= kMinFontSize && points <= kMaxFontSize)
        m_content.size = points;
}

std::uint16_t SECEditLangConfig::GetKindColorGroupIndex(ColorGroupKind kind) const
{
    const auto index = static_cast<std::size_t>(kind);
    return index < m_kindIndices.size() ? m_kindIndices[index] : 0;
}

int SECEditLangConfig::FindColorGroupByName(std::u16string_view displayName) const
{
    // Names compare without regard to (ASCII) case: "Highlight" finds "HIGHLIGHT".
    const auto fold = [](char16_t c) { return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c; };
    for (std::size_t i = 0; i < m_content.groups.size(); ++i)
    {
        const std::u16string& name = m_content.groups[i].displayName;
        if (name.size() == displayName.size() &&
            std::equal(name.begin(), name.end(), displayName.begin(),
                       [&](char16_t a, char16_t b) { return fold(a) == fold(b); }))
            return static_cast<int>(i);
    }
    return -1;
}

void SECEditLangConfig::SetGroupKey(std::u16string_view key, std::uint16_t index)
{
    for (GroupKey& entry : m_content.groupKeys)
    {
        if (entry.first == key)
        {
            entry.second = index;
            return;
        }
    }
    m_content.groupKeys.emplace_back(std::u16string(key), index);
}

// Keywords -----------------------------------------------------------------

int SECEditLangConfig::ClassifyWord(std::u16string_view word, std::uint16_t& group) const
{
    if (word.empty())
        return 0;
    const int length = static_cast<int>(word.size());
    const Content& content = m_content;
    if (word.size() <= content.longestKeyword)
    {
        const auto exact = content.keywordIndex.find(word);
        if (exact != content.keywordIndex.end())
        {
            group = content.keywords[exact->second].group;
            return length;
        }
        if (!content.matchCase)
        {
            // Fold into a buffer on the stack: no allocation on the colouring path.
            constexpr std::size_t kBuffer = 128;
            char16_t buffer[kBuffer];
            StringIndex::const_iterator folded;
            if (word.size() <= kBuffer)
            {
                std::transform(word.begin(), word.end(), buffer, FoldAscii);
                folded = content.foldedIndex.find(std::u16string_view(buffer, word.size()));
            }
            else
            {
                folded = content.foldedIndex.find(Folded(word));
            }
            if (folded != content.foldedIndex.end())
            {
                group = content.keywords[folded->second].group;
                return length;
            }
        }
    }
    if (word[0] >= u'0' && word[0] <= u'9')
    {
        group = GetKindColorGroupIndex(ColorGroupKind::Number);
        return length;
    }
    return 0;
}

void SECEditLangConfig::GetKeywords(std::vector<std::u16string>& list) const
{
    for (const Keyword& keyword : m_content.keywords)
        list.push_back(keyword.text);
}

void SECEditLangConfig::AddKeyword(std::u16string_view keyword, std::uint16_t group)
{
    m_content.AddKeyword(keyword, group);
    NoteColoringChange();
}

// Delimiters ---------------------------------------------------------------

const SECEditDelimiter* SECEditLangConfig::FindDelimiter(const char16_t* text, int available,
                                                         int tokenLength, DelimiterMode mode) const
{
    if (!text)
        return nullptr;
    const StringIndex& index = m_content.delimiterIndex;
    for (int n = 1; n <= available; ++n)
    {
        const auto found = index.find(std::u16string_view(text, static_cast<std::size_t>(n)));
        if (found == index.end())
            return nullptr;
        const SECEditDelimiter* record = m_content.delimiters[found->second].record.get();
        if (!record)
            continue; // a proper prefix of a longer opening text
        if (tokenLength != 0 && static_cast<std::size_t>(tokenLength) != record->opening.size())
            return nullptr;
        return ModeTakes(mode, *record) ? record : nullptr;
    }
    return nullptr;
}

void SECEditLangConfig::GetDelimiters(std::vector<const SECEditDelimiter*>& list, DelimiterMode mode) const
{
    list.clear();
    for (const DelimiterEntry& entry : m_content.delimiters)
    {
        if (entry.record && ModeTakes(mode, *entry.record))
            list.push_back(entry.record.get());
    }
}

void SECEditLangConfig::AddDelimiter(const SECEditDelimiter& delimiter)
{
    m_content.AddDelimiterEntry(delimiter.opening, std::make_unique<SECEditDelimiter>(delimiter));
    NoteColoringChange();
}

void SECEditLangConfig::AddDelimiterPrefix(std::u16string_view key)
{
    m_content.AddDelimiterEntry(key, nullptr);
    NoteColoringChange();
}

// Character classes ---------------------------------------------------------

bool SECEditLangConfig::IsCharInClass(char16_t c, CharClass charClass) const
{
    return ValidClass(charClass) && m_content.classes[static_cast<std::size_t>(charClass)].test(c);
}

void SECEditLangConfig::SetCharClass(const char16_t* characters, CharClass charClass, bool replace)
{
    std::u16string_view text;
    if (characters)
        text = characters;
    SetCharClass(text, charClass, replace);
}

void SECEditLangConfig::SetCharClass(std::u16string_view characters, CharClass charClass, bool replace)
{
    if (ValidClass(charClass))
    {
        CharSet& set = m_content.classes[static_cast<std::size_t>(charClass)];
        if (replace)
            set.reset();
        for (char16_t c : characters)
        {
            if (c != kNotACharacter)
                set.set(c);
        }
    }
    NoteColoringChange();
    // Engines drop their colouring and repaint; the message lives on the stack.
    SECEditMsg message(SECEditMsg::InvalidateColoring);
    UpdateAllObservers(nullptr, &message);
}

std::u16string SECEditLangConfig::GetCharClassMembers(CharClass charClass) const
{
    std::u16string members;
    if (!ValidClass(charClass))
        return members;
    const CharSet& set = m_content.classes[static_cast<std::size_t>(charClass)];
    for (std::size_t c = set._Find_first(); c < kNotACharacter; c = set._Find_next(c))
        members.push_back(static_cast<char16_t>(c));
    return members;
}

// Archives -----------------------------------------------------------------

bool SECEditLangConfig::Read(SECEditArchiveReader& archive, Content& content)
{
    // Groups. The four standard ones must be there, and indices are 16-bit.
    std::int32_t groupCount = 0;
    if (!archive.ReadInt32(groupCount) || groupCount < 4 || groupCount > 0xFFFF)
        return false;
    for (std::int32_t i = 0; i < groupCount; ++i)
    {
        SECEditColorGroup group;
        if (!archive.ReadUInt16(group.reserved) || !archive.ReadUInt32(group.foreground) ||
            !archive.ReadUInt32(group.background) || !archive.ReadFlag(group.foregroundAutomatic) ||
            !archive.ReadFlag(group.backgroundAutomatic) || !archive.ReadString(group.displayName) ||
            !archive.ReadFlag(group.configurable))
            return false;
        content.groups.push_back(std::move(group));
    }
    const auto validGroup = [groupCount](std::uint16_t index) { return index < groupCount; };

    // Delimiter table.
    std::int32_t delimiterCount = 0;
    if (!archive.ReadInt32(delimiterCount) || delimiterCount < 0)
        return false;
    for (std::int32_t i = 0; i < delimiterCount; ++i)
    {
        std::u16string key;
        bool hasRecord = false;
        if (!archive.ReadString(key) || !archive.ReadFlag(hasRecord))
            return false;
        std::unique_ptr<SECEditDelimiter> record;
        if (hasRecord)
        {
            record = std::make_unique<SECEditDelimiter>();
            if (!archive.ReadString(record->opening) || !archive.ReadString(record->closing) ||
                !archive.ReadString(record->escape) || !archive.ReadUInt16(record->group) ||
                !archive.ReadFlag(record->multiLine) || !validGroup(record->group))
                return false;
        }
        content.AddDelimiterEntry(key, std::move(record));
    }

    // Editor settings; a tab size or font size out of range keeps the current one.
    std::int32_t tabSize = 0;
    if (!archive.ReadFlag(content.matchCase) || !archive.ReadFlag(content.showWhitespace) ||
        !archive.ReadFlag(content.replaceTabs) || !archive.ReadFlag(content.virtualWhitespace) ||
        !archive.ReadInt32(tabSize) || !archive.ReadFlag(content.autoIndent))
        return false;
    if (tabSize >= kMinTabSize && tabSize <= kMaxTabSize)
        content.tabSize = tabSize;

    std::int32_t size = 0;
    if (!archive.ReadString(content.facename) || !archive.ReadInt32(size) ||
        !archive.ReadFlag(content.italic) || !archive.ReadFlag(content.bold))
        return false;
    if (size >= kMinFontSize && size <= kMaxFontSize)
        content.size = size;

    for (CharSet& set : content.classes)
    {
        std::u16string members;
        if (!archive.ReadString(members))
            return false;
        for (char16_t c : members)
        {
            if (c != kNotACharacter)
                set.set(c);
        }
    }

    std::uint32_t keywordCount = 0;
    if (!archive.ReadCount(keywordCount))
        return false;
    std::u16string keyword;
    for (std::uint32_t i = 0; i < keywordCount; ++i)
    {
        std::uint16_t group = 0;
        if (!archive.ReadString(keyword) || !archive.ReadUInt16(group) || !validGroup(group))
            return false;
        content.AddKeyword(keyword, group);
    }
    content.RebuildFoldedIndex();

    std::uint32_t keyCount = 0;
    if (!archive.ReadCount(keyCount))
        return false;
    for (std::uint32_t i = 0; i < keyCount; ++i)
    {
        std::u16string key;
        std::uint16_t index = 0;
        if (!archive.ReadString(key) || !archive.ReadUInt16(index) || !validGroup(index))
            return false;
        const auto existing = std::find_if(content.groupKeys.begin(), content.groupKeys.end(),
                                           [&key](const GroupKey& entry) { return entry.first == key; });
        if (existing != content.groupKeys.end())
            existing->second = index;
        else
            content.groupKeys.emplace_back(std::move(key), index);
    }
    return true;
}

bool SECEditLangConfig::Serialize(SECEditArchiveReader& archive)
{
    // Read into a fresh copy and swap it in only when the whole archive was
    // sound, so a damaged archive leaves this configuration as it was.
    auto staged = std::make_unique<Content>();
    staged->matchCase = m_content.matchCase;
    staged->tabSize = m_content.tabSize;
    staged->size = m_content.size;
    if (!Read(archive, *staged))
        return false;
    m_content = std::move(*staged);
    NoteColoringChange();
    return true;
}

void SECEditLangConfig::Serialize(SECEditArchiveWriter& archive) const
{
    const Content& content = m_content;
    archive.WriteInt32(static_cast<std::int32_t>(content.groups.size()));
    for (const SECEditColorGroup& group : content.groups)
    {
        archive.WriteUInt16(group.reserved);
        archive.WriteUInt32(group.foreground);
        archive.WriteUInt32(group.background);
        archive.WriteFlag(group.foregroundAutomatic);
        archive.WriteFlag(group.backgroundAutomatic);
        archive.WriteString(group.displayName);
        archive.WriteFlag(group.configurable);
    }

    archive.WriteInt32(static_cast<std::int32_t>(content.delimiters.size()));
    for (const DelimiterEntry& entry : content.delimiters)
    {
        archive.WriteString(entry.key);
        archive.WriteFlag(entry.record != nullptr);
        if (entry.record)
        {
            archive.WriteString(entry.record->opening);
            archive.WriteString(entry.record->closing);
            archive.WriteString(entry.record->escape);
            archive.WriteUInt16(entry.record->group);
            archive.WriteFlag(entry.record->multiLine);
        }
    }

    archive.WriteFlag(content.matchCase);
    archive.WriteFlag(content.showWhitespace);
    archive.WriteFlag(content.replaceTabs);
    archive.WriteFlag(content.virtualWhitespace);
    archive.WriteInt32(content.tabSize);
    archive.WriteFlag(content.autoIndent);

    archive.WriteString(content.facename);
    archive.WriteInt32(content.size);
    archive.WriteFlag(content.italic);
    archive.WriteFlag(content.bold);

    for (int charClass = WordStart; charClass <= Operator; ++charClass)
        archive.WriteString(GetCharClassMembers(static_cast<CharClass>(charClass)));

    archive.WriteCount(static_cast<std::uint32_t>(content.keywords.size()));
    for (const Keyword& keyword : content.keywords)
    {
        archive.WriteString(keyword.text);
        archive.WriteUInt16(keyword.group);
    }

    archive.WriteCount(static_cast<std::uint32_t>(content.groupKeys.size()));
    for (const GroupKey& key : content.groupKeys)
    {
        archive.WriteString(key.first);
        archive.WriteUInt16(key.second);
    }
}
