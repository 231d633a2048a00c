#pragma once

#include "platform/ISettingsStore.h"

#include <charconv>
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// A settings store held in memory, for tests. Values are kept as text, as
// the INI file keeps them, so an integer read of a non-number gives the default.
// Every write is also logged, so tests can check what was written and in
// which order.
class MemorySettingsStore : public ISettingsStore
{
public:
    struct Write
    {
        std::u16string section; // as the writer spelled it
        std::u16string key;
        std::u16string value;
    };

    std::u16string ReadString(std::u16string_view section, std::u16string_view key,
                              std::u16string_view defaultValue) const override
    {
        const std::u16string* value = Find(section, key);
        return value ? *value : std::u16string(defaultValue);
    }

    int ReadInt(std::u16string_view section, std::u16string_view key, int defaultValue) const override
    {
        const std::u16string* value = Find(section, key);
        if (!value)
            return defaultValue;
        std::string narrow;
        for (char16_t c : *value)
        {
            if (c > 0x7F)
                return defaultValue;
            narrow.push_back(static_cast<char>(c));
        }
        int result = 0;
        const char* begin = narrow.data();
        const char* end = begin + narrow.size();
        if (begin != end && *begin == '+')
            ++begin;
        const auto [ptr, ec] = std::from_chars(begin, end, result);
        if (ec != std::errc() || ptr != end || begin == end)
            return defaultValue;
        return result;
    }

    bool WriteString(std::u16string_view section, std::u16string_view key,
                     std::u16string_view value) override
    {
        m_sections[Fold(section)][std::u16string(key)] = std::u16string(value);
        m_log.push_back({std::u16string(section), std::u16string(key), std::u16string(value)});
        return true;
    }

    bool WriteInt(std::u16string_view section, std::u16string_view key, int value) override
    {
        const std::string text = std::to_string(value);
        return WriteString(section, key, std::u16string(text.begin(), text.end()));
    }

    bool Contains(std::u16string_view section, std::u16string_view key) const
    {
        return Find(section, key) != nullptr;
    }
    const std::vector<Write>& GetWriteLog() const { return m_log; }
    void ClearWriteLog() { m_log.clear(); }

    // Section names are compared without regard to (ASCII) case.
    static std::u16string Fold(std::u16string_view section)
    {
        std::u16string folded(section);
        for (char16_t& c : folded)
        {
            if (c >= u'A' && c <= u'Z')
                c = static_cast<char16_t>(c - u'A' + u'a');
        }
        return folded;
    }

private:
    const std::u16string* Find(std::u16string_view section, std::u16string_view key) const
    {
        const auto sectionIt = m_sections.find(Fold(section));
        if (sectionIt == m_sections.end())
            return nullptr;
        const auto keyIt = sectionIt->second.find(key);
        return keyIt == sectionIt->second.end() ? nullptr : &keyIt->second;
    }

    std::map<std::u16string, std::map<std::u16string, std::u16string, std::less<>>> m_sections;
    std::vector<Write> m_log;
};
