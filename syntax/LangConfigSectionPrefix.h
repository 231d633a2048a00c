#pragma once

#include <string>
#include <string_view>

// The settings-store sections of a language all begin with its name and a
// backslash ("C++\Editor"); a name already ending in one is taken as it is.
inline std::u16string LangConfigSectionPrefix(std::u16string_view languageName)
{
    std::u16string prefix(languageName);
    if (prefix.empty() || prefix.back() != u'\\')
        prefix.push_back(u'\\');
    return prefix;
}
