#include "syntax/LangConfigSettingsLoader.h"

#include "platform/ISettingsStore.h"
#include "syntax/LangConfigSectionPrefix.h"
#include "syntax/SECEditLangConfig.h"

namespace {

constexpr int kMaxColor = 0x00FFFFFF;

// Stored values are checked before use: a hand-edited or damaged file must
// not give a tab size of 0 (every column conversion divides by it) or a
// colour with stray high bits.
class Reader
{
public:
    Reader(const ISettingsStore& store, std::u16string section) : m_store(store), m_section(std::move(section)) {}

    bool Flag(std::u16string_view key, bool current) const
    {
        const int value = m_store.ReadInt(m_section, key, current ? 1 : 0);
        return value == 0 || value == 1 ? value == 1 : current;
    }
    int Ranged(std::u16string_view key, int current, int low, int high) const
    {
        const int value = m_store.ReadInt(m_section, key, current);
        return value >= low && value <= high ? value : current;
    }
    std::uint32_t Color(std::u16string_view key, std::uint32_t current) const
    {
        // -1 is no colour, so it stands for "absent" as well as for itself.
        const int value = m_store.ReadInt(m_section, key, -1);
        return value >= 0 && value <= kMaxColor ? static_cast<std::uint32_t>(value) : current;
    }
    std::u16string String(std::u16string_view key, std::u16string_view current) const
    {
        return m_store.ReadString(m_section, key, current);
    }

private:
    const ISettingsStore& m_store;
    std::u16string m_section;
};

} // namespace

LangConfigSettingsLoader::LangConfigSettingsLoader(ISettingsStore* store, std::u16string_view languageName)
    : m_store(store), m_prefix(LangConfigSectionPrefix(languageName))
{
}

bool LangConfigSettingsLoader::Load(SECEditLangConfig& config)
{
    if (!m_store)
        return false;

    const Reader editor(*m_store, m_prefix + u"Editor");
    config.SetTabSize(editor.Ranged(u"TabSize", config.GetTabSize(), 1, 64));
    config.SetAutoIndent(editor.Flag(u"AutoIndent", config.GetAutoIndent()));
    config.SetShowWhitespace(editor.Flag(u"ShowWhitespace", config.GetShowWhitespace()));
    config.SetVirtualWhitespace(editor.Flag(u"VirtualWhitespace", config.GetVirtualWhitespace()));
    config.SetReplaceTabs(editor.Flag(u"ReplaceTabs", config.GetReplaceTabs()));
    config.SetMatchCase(editor.Flag(u"MatchCase", config.GetMatchCase()));

    for (const SECEditLangConfig::GroupKey& key : config.GetGroupKeys())
    {
        if (key.second >= config.GetColorGroupCount())
            continue; // a key naming no group has nothing to read into
        SECEditColorGroup& group = config.GetColorGroup(key.second);
        const Reader section(*m_store, m_prefix + u"Color Groups\\" + key.first);
        group.backgroundAutomatic = section.Flag(u"BackColorAutomatic", group.backgroundAutomatic);
        group.foregroundAutomatic = section.Flag(u"ForeColorAutomatic", group.foregroundAutomatic);
        group.background = section.Color(u"Background", group.background);
        group.foreground = section.Color(u"Foreground", group.foreground);
        group.displayName = section.String(u"DisplayName", group.displayName);
        group.configurable = section.Flag(u"Configurable", group.configurable);
    }

    const Reader font(*m_store, m_prefix + u"Font");
    config.SetFacename(font.String(u"Facename", config.GetFacename()));
    config.SetSize(font.Ranged(u"Size", config.GetSize(), 1, 400));
    config.SetBold(font.Flag(u"Bold", false));
    config.SetItalic(font.Flag(u"Italic", false));
    return true;
}
