#pragma once

#include "platform/ISettingsStore.h"

#include <QSettings>
#include <QString>

// The settings store on QSettings: an INI file in the user's configuration
// folder (organisation "Ostrivanteco", application "tavro"). Section names are
// folded to lower case, so "Settings" and "settings" are one section; a
// backslash in a section name nests groups, as QSettings does with "/".
class QtSettingsStore : public ISettingsStore
{
public:
    QtSettingsStore();
    // A store over one INI file, for tests and for a settings file named on
    // the command line.
    explicit QtSettingsStore(const QString& iniPath);

    std::u16string ReadString(std::u16string_view section, std::u16string_view key,
                              std::u16string_view defaultValue) const override;
    int ReadInt(std::u16string_view section, std::u16string_view key, int defaultValue) const override;
    bool WriteString(std::u16string_view section, std::u16string_view key,
                     std::u16string_view value) override;
    bool WriteInt(std::u16string_view section, std::u16string_view key, int value) override;

    // Writes pending changes to disk; false when the file could not be written.
    bool Sync();
    QSettings& GetSettings() { return m_settings; }

    static QString KeyOf(std::u16string_view section, std::u16string_view key);

private:
    QSettings m_settings;
};
