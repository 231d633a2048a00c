#pragma once

#include "engine/CharClass.h"
#include "engine/ColorGroupKind.h"
#include "engine/DelimiterMode.h"
#include "engine/IQueryGuid.h"
#include "engine/IRefCount.h"
#include "engine/ISubject.h"
#include "engine/SECEditDelimiter.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// What the text engine needs of a language configuration: the editor settings
// it lays text out with, and the queries its line colouring asks. The full
// configuration (colour groups, keyword table, delimiter table, font, loading
// and saving) is SECEditLangConfig in syntax/, which implements this; the engine
// on its own uses SECEditDefaultLangSettings ("Default": tab size 4, nothing
// coloured). A configuration is a subject: the engines that use it observe it.
class SECEditLangSettings : public IQueryGuid, public IRefCount, public ISubject
{
public:
    virtual ~SECEditLangSettings() = default;

    virtual const std::u16string& GetName() const = 0;
    virtual int GetTabSize() const = 0; // always 1..64
    virtual bool GetReplaceTabs() const = 0;
    virtual bool GetMatchCase() const = 0;

    // Keyword table, then the case-folded index when match case is off, then
    // a word beginning with a digit gives the Number group. Returns the number
    // of characters classified (the length) and sets group, or 0.
    virtual int ClassifyWord(std::u16string_view word, std::uint16_t& group) const = 0;

    // The delimiter whose opening text starts at text[0], of at most
    // `available` characters, matching the mode; nullptr when none.
    virtual const SECEditDelimiter* FindDelimiter(const char16_t* text, int available,
                                                  int tokenLength, DelimiterMode mode) const = 0;

    // Empties `out`, then appends every delimiter record matching the mode.
    // The default answers none, as for a configuration without delimiters.
    virtual void GetDelimiters(std::vector<const SECEditDelimiter*>& out, DelimiterMode mode) const
    {
        (void)mode;
        out.clear();
    }

    // Changes whenever an answer the line colouring depends on may change
    // (keywords, match case, delimiters, character classes, colour group
    // kinds, the name). Never the same for two different states, even of two
    // configurations, so whoever remembers answers or records compares it
    // before using them again. The default never changes.
    virtual std::uint64_t GetColoringRevision() const { return 0; }

    virtual bool IsCharInClass(char16_t c, CharClass charClass) const = 0;
    virtual std::uint16_t GetKindColorGroupIndex(ColorGroupKind kind) const = 0;

    // Index of the colour group with the given display name, or -1 (the
    // highlighted-line rule colours a line in the group named "Highlight").
    virtual int FindColorGroupByName(std::u16string_view displayName) const = 0;
};
