#pragma once

#include "engine/SECEditObserverList.h"
#include "engine/SECEditLangSettings.h"
#include "syntax/SECEditColorGroup.h"

#include <array>
#include <bitset>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

class IObserver;
class IMessage;
class SECEditArchiveReader;
class SECEditArchiveWriter;

// Identifier QueryGuid answers for a language configuration, besides the
// observer-protocol interfaces it implements.
inline constexpr SECGuid SECIID_SECEditLangConfig{0x5e, 0xc0, 0x00, 0x02, 0x7a, 0x51, 0x4f, 0x0e,
                                                  0x9a, 0x21, 0x00, 0x00, 0x00, 0x00, 0x01, 0x01};

// Everything that makes a text engine colour and lay out one language: colour
// groups, keyword table, comment and string delimiters, five character classes,
// six editor settings and the editor font. One object per language is shared
// (by reference count) by every engine showing a document of that language,
// and those engines observe it.
//
// Created with one reference; Release deletes it at zero, so it lives on the heap.
class SECEditLangConfig : public SECEditLangSettings
{
public:
    SECEditLangConfig(); // the defaults, name "Default", match case on
    SECEditLangConfig(const SECEditLangConfig&) = delete;
    SECEditLangConfig& operator=(const SECEditLangConfig&) = delete;

    // IQueryGuid: answers SECIID_SECEditLangConfig (this object) and the
    // protocol interfaces of engine/SECEditMsg.h it implements (subject,
    // reference count, query); adds a reference for the caller.
    bool QueryGuid(const SECGuid& guid, void** out) override;

    // IRefCount
    unsigned long AddRef() override;
    unsigned long Release() override;

    // ISubject
    // Appends (null is ignored); RemoveObserver removes every occurrence and
    // is safe during a notification.
    void AddObserver(IObserver* observer) override;
    void RemoveObserver(IObserver* observer) override;
    // Calls every observer but the sender with (this, message).
    void UpdateAllObservers(IObserver* sender, IMessage* message) override;

    // Colour groups. Indices run from 0 to GetColorGroupCount() - 1; groups 0
    // to 3 are always Text, Text Selection, Number and Operator.
    SECEditColorGroup& GetColorGroup(int index) { return m_content.groups[static_cast<std::size_t>(index)]; }
    const SECEditColorGroup& GetColorGroup(int index) const { return m_content.groups[static_cast<std::size_t>(index)]; }
    int GetColorGroupCount() const { return static_cast<int>(m_content.groups.size()); }
    SECEditColorGroup& GetKindColorGroup(ColorGroupKind kind) { return GetColorGroup(GetKindColorGroupIndex(kind)); }
    const SECEditColorGroup& GetKindColorGroup(ColorGroupKind kind) const { return GetColorGroup(GetKindColorGroupIndex(kind)); }
    std::uint16_t GetKindColorGroupIndex(ColorGroupKind kind) const override;
    // The group array itself; the colour dialog edits records in place.
    std::vector<SECEditColorGroup>& GetColorGroups() { return m_content.groups; }
    const std::vector<SECEditColorGroup>& GetColorGroups() const { return m_content.groups; }
    int FindColorGroupByName(std::u16string_view displayName) const override;

    // Settings-store key of each group ("Text", "Keyword", "DataType" ...), in table order.
    using GroupKey = std::pair<std::u16string, std::uint16_t>;
    const std::vector<GroupKey>& GetGroupKeys() const { return m_content.groupKeys; }
    void SetGroupKey(std::u16string_view key, std::uint16_t index);

    // Font. Bold and italic are carried through archives and the settings
    // store, but the editor font is always of normal weight and upright.
    bool GetBold() const { return false; }
    bool GetItalic() const { return false; }
    const std::u16string& GetFacename() const { return m_content.facename; }
    int GetSize() const { return m_content.size; }
    void SetBold(bool bold) { m_content.bold = bold; }
    void SetItalic(bool italic) { m_content.italic = italic; }
    void SetFacename(std::u16string_view facename) { m_content.facename = facename; }
    void SetSize(int points); // ignored outside 1..400

    // Editor settings. Setters change the field only; they notify nobody.
    const std::u16string& GetName() const override { return m_name; }
    int GetTabSize() const override { return m_content.tabSize; }
    bool GetAutoIndent() const { return m_content.autoIndent; }
    bool GetShowWhitespace() const { return m_content.showWhitespace; }
    bool GetVirtualWhitespace() const { return m_content.virtualWhitespace; }
    bool GetReplaceTabs() const override { return m_content.replaceTabs; }
    bool GetMatchCase() const override { return m_content.matchCase; }
    void SetName(std::u16string_view name)
    {
        m_name = name;
        NoteColoringChange();
    }
    void SetTabSize(int columns); // ignored outside 1..64: columns are divided by it
    void SetAutoIndent(bool on) { m_content.autoIndent = on; }
    void SetShowWhitespace(bool on) { m_content.showWhitespace = on; }
    void SetVirtualWhitespace(bool on) { m_content.virtualWhitespace = on; }
    void SetReplaceTabs(bool on) { m_content.replaceTabs = on; }
    void SetMatchCase(bool on)
    {
        m_content.matchCase = on;
        NoteColoringChange();
    }

    // Keywords. ClassifyWord answers the word's length and sets group when the
    // word is a keyword (folded to lower case when match case is off) or
    // begins with a digit (the Number group); otherwise 0. No allocation.
    int ClassifyWord(std::u16string_view word, std::uint16_t& group) const override;
    int ClassifyWord(const char16_t* text, int length, std::uint16_t& group) const
    {
        return length > 0 ? ClassifyWord(std::u16string_view(text, static_cast<std::size_t>(length)), group) : 0;
    }
    // Appends every keyword, in table order.
    void GetKeywords(std::vector<std::u16string>& list) const;
    int GetKeywordCount() const { return static_cast<int>(m_content.keywords.size()); }
    // Adds or regroups a keyword (building configurations in code and tests).
    void AddKeyword(std::u16string_view keyword, std::uint16_t group);

    // Delimiters. The table holds each opening text and all its proper
    // prefixes (the prefixes without a record), so a lookup can stop early.
    const SECEditDelimiter* FindDelimiter(const char16_t* text, int available, int tokenLength,
                                          DelimiterMode mode) const override;
    // Empties the list, then appends the records the mode takes, in table order.
    void GetDelimiters(std::vector<const SECEditDelimiter*>& list, DelimiterMode mode) const override;
    // Adds a record under its opening text; AddDelimiterPrefix adds a key
    // without a record. Neither adds missing prefixes by itself.
    void AddDelimiter(const SECEditDelimiter& delimiter);
    void AddDelimiterPrefix(std::u16string_view key);
    int GetDelimiterTableSize() const { return static_cast<int>(m_content.delimiters.size()); }

    // Character classes; a class outside 0-4 has no members. SetCharClass
    // adds the characters (after emptying the class when replace is set) and
    // sends every observer an InvalidateColoring notification.
    bool IsCharInClass(char16_t c, CharClass charClass) const override;
    std::uint64_t GetColoringRevision() const override { return m_coloringRevision; }
    void SetCharClass(const char16_t* characters, CharClass charClass, bool replace);
    void SetCharClass(std::u16string_view characters, CharClass charClass, bool replace);
    // The members of a class, ascending.
    std::u16string GetCharClassMembers(CharClass charClass) const;

    // Loading: reads one archived configuration. On a truncated or malformed
    // archive it answers false and the configuration is unchanged.
    bool Serialize(SECEditArchiveReader& archive);
    // Storing: writes the configuration in the same layout.
    void Serialize(SECEditArchiveWriter& archive) const;

    // Empties groups, keywords, delimiters, group keys and character classes.
    void Clear();
    // Clear, then the initial settings, font, group keys and the four
    // standard groups. Name and match case are left as they are.
    void SetDefaults();

protected:
    ~SECEditLangConfig() override;

private:
    struct StringHash
    {
        using is_transparent = void;
        std::size_t operator()(std::u16string_view s) const noexcept
        {
            return std::hash<std::u16string_view>{}(s);
        }
    };
    // Text -> position in a table; found by a view of the characters.
    using StringIndex = std::unordered_map<std::u16string, std::uint32_t, StringHash, std::equal_to<>>;

    struct Keyword
    {
        std::u16string text;
        std::uint16_t group = 0;
    };
    struct DelimiterEntry
    {
        std::u16string key;
        std::unique_ptr<SECEditDelimiter> record; // none for a prefix entry
    };
    using CharSet = std::bitset<0x10000>;

    // Everything an archive carries; loading builds a new one and swaps it in.
    struct Content
    {
        std::vector<SECEditColorGroup> groups;
        std::vector<DelimiterEntry> delimiters; // table order
        StringIndex delimiterIndex;
        bool matchCase = true;
        bool showWhitespace = false;
        bool replaceTabs = false;
        bool virtualWhitespace = false;
        int tabSize = 4;
        bool autoIndent = false;
        std::u16string facename;
        int size = 10;
        bool italic = false;
        bool bold = false;
        std::array<CharSet, 5> classes;
        std::vector<Keyword> keywords; // table order
        StringIndex keywordIndex;
        StringIndex foldedIndex;       // lower-cased keyword -> keyword
        std::size_t longestKeyword = 0;
        std::vector<GroupKey> groupKeys;

        void Clear();
        void AddKeyword(std::u16string_view keyword, std::uint16_t group);
        void AddDelimiterEntry(std::u16string_view key, std::unique_ptr<SECEditDelimiter> record);
        void RebuildFoldedIndex();
    };

    static bool Read(SECEditArchiveReader& archive, Content& content);

    // A fresh revision after any change that colouring answers depend on.
    void NoteColoringChange();

    std::u16string m_name = u"Default";
    std::uint64_t m_coloringRevision = 0;
    unsigned long m_refCount = 1;
    SECEditObserverList m_observers;
    std::array<std::uint16_t, 4> m_kindIndices{0, 1, 2, 3};
    Content m_content;
};
