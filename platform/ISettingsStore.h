#pragma once

#include <string>
#include <string_view>

// The per-user settings store: named sections holding string and integer
// values. Section names are compared without regard to case, so "Settings"
// and "settings" are one section; value names are compared exactly. A section
// name may contain backslashes ("C++\Color Groups\Text"); they are part of the
// name. A missing or unreadable store is no error: every read gives its default.
class ISettingsStore
{
public:
    virtual ~ISettingsStore() = default;

    virtual std::u16string ReadString(std::u16string_view section, std::u16string_view key,
                                      std::u16string_view defaultValue) const = 0;
    // A value that is absent or not an integer reads as the default.
    virtual int ReadInt(std::u16string_view section, std::u16string_view key,
                        int defaultValue) const = 0;

    // Return false when the store could not take the value.
    virtual bool WriteString(std::u16string_view section, std::u16string_view key,
                             std::u16string_view value) = 0;
    virtual bool WriteInt(std::u16string_view section, std::u16string_view key, int value) = 0;
};
