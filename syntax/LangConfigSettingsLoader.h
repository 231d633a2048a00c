#pragma once

#include "syntax/LangConfigLoader.h"

#include <string>
#include <string_view>

class ISettingsStore;

// Reads a language's stored overrides from the settings store: the editor
// settings from prefix + "Editor", each colour group from prefix +
// "Color Groups\<key>", the font from prefix + "Font", with the configuration's
// current values as defaults. The prefix is the language name and a backslash.
// A stored value out of range (tab size outside 1..64, font size outside
// 1..400, colour above 0x00FFFFFF, flag other than 0 or 1) is ignored.
class LangConfigSettingsLoader : public LangConfigLoader
{
public:
    // store may be null: then nothing is read and Load fails.
    LangConfigSettingsLoader(ISettingsStore* store, std::u16string_view languageName);

    bool Load(SECEditLangConfig& config) override;
    const std::u16string& GetSectionPrefix() const { return m_prefix; }

private:
    ISettingsStore* m_store;
    std::u16string m_prefix;
};
