#include "syntax/LangConfigSaver.h"

#include "platform/ISettingsStore.h"
#include "syntax/LangConfigSectionPrefix.h"
#include "syntax/SECEditLangConfig.h"

LangConfigSaver::LangConfigSaver(ISettingsStore* store, std::u16string_view languageName)
    : m_store(store), m_prefix(LangConfigSectionPrefix(languageName))
{
}

bool LangConfigSaver::Save(const SECEditLangConfig& config)
{
    if (!m_store)
        return false;
    ISettingsStore& store = *m_store;

    // Same sections and values, in the same order, as the settings-store loader.
    const std::u16string editor = m_prefix + u"Editor";
    bool ok = store.WriteInt(editor, u"TabSize", config.GetTabSize()) &&
              store.WriteInt(editor, u"AutoIndent", config.GetAutoIndent()) &&
              store.WriteInt(editor, u"ShowWhitespace", config.GetShowWhitespace()) &&
              store.WriteInt(editor, u"VirtualWhitespace", config.GetVirtualWhitespace()) &&
              store.WriteInt(editor, u"ReplaceTabs", config.GetReplaceTabs()) &&
              store.WriteInt(editor, u"MatchCase", config.GetMatchCase());

    for (const SECEditLangConfig::GroupKey& key : config.GetGroupKeys())
    {
        if (!ok)
            break;
        if (key.second >= config.GetColorGroupCount())
            continue;
        const SECEditColorGroup& group = config.GetColorGroup(key.second);
        const std::u16string section = m_prefix + u"Color Groups\\" + key.first;
        ok = store.WriteInt(section, u"BackColorAutomatic", group.backgroundAutomatic) &&
             store.WriteInt(section, u"ForeColorAutomatic", group.foregroundAutomatic) &&
             store.WriteInt(section, u"Background", static_cast<int>(group.background)) &&
             store.WriteInt(section, u"Foreground", static_cast<int>(group.foreground)) &&
             store.WriteString(section, u"DisplayName", group.displayName) &&
             store.WriteInt(section, u"Configurable", group.configurable);
    }

    const std::u16string font = m_prefix + u"Font";
    ok = ok && store.WriteString(font, u"Facename", config.GetFacename()) &&
         store.WriteInt(font, u"Size", config.GetSize()) &&
         store.WriteInt(font, u"Bold", config.GetBold()) &&
         store.WriteInt(font, u"Italic", config.GetItalic());
    // Report what happened: a store that refused a value has not saved it.
    return ok;
}
