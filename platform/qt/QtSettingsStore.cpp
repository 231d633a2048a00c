#include "platform/qt/QtSettingsStore.h"

namespace {

QString ToQString(std::u16string_view text)
{
    return QString(reinterpret_cast<const QChar*>(text.data()), static_cast<qsizetype>(text.size()));
}

std::u16string ToU16(const QString& text)
{
    return std::u16string(reinterpret_cast<const char16_t*>(text.utf16()), static_cast<std::size_t>(text.size()));
}

} // namespace

QtSettingsStore::QtSettingsStore()
    : m_settings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Ostrivanteco"), QStringLiteral("tavro"))
{
}

QtSettingsStore::QtSettingsStore(const QString& iniPath) : m_settings(iniPath, QSettings::IniFormat) {}

QString QtSettingsStore::KeyOf(std::u16string_view section, std::u16string_view key)
{
    QString path = ToQString(section).toLower();
    path.replace(QLatin1Char('\\'), QLatin1Char('/'));
    path += QLatin1Char('/');
    path += ToQString(key);
    return path;
}

std::u16string QtSettingsStore::ReadString(std::u16string_view section, std::u16string_view key,
                                           std::u16string_view defaultValue) const
{
    const QVariant value = m_settings.value(KeyOf(section, key));
    if (!value.isValid())
        return std::u16string(defaultValue);
    return ToU16(value.toString());
}

int QtSettingsStore::ReadInt(std::u16string_view section, std::u16string_view key, int defaultValue) const
{
    const QVariant value = m_settings.value(KeyOf(section, key));
    if (!value.isValid())
        return defaultValue;
    bool ok = false;
    const int number = value.toString().trimmed().toInt(&ok);
    return ok ? number : defaultValue;
}

bool QtSettingsStore::WriteString(std::u16string_view section, std::u16string_view key,
                                  std::u16string_view value)
{
    if (!m_settings.isWritable())
        return false;
    m_settings.setValue(KeyOf(section, key), ToQString(value));
    return true;
}

bool QtSettingsStore::WriteInt(std::u16string_view section, std::u16string_view key, int value)
{
    if (!m_settings.isWritable())
        return false;
    m_settings.setValue(KeyOf(section, key), value);
    return true;
}

bool QtSettingsStore::Sync()
{
    m_settings.sync();
    return m_settings.status() == QSettings::NoError;
}
