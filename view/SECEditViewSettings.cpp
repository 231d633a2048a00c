#include "view/SECEditViewSettings.h"

#include "engine/ColorGroupKind.h"
#include "engine/SECEdit.h"
#include "engine/SECEditLangSettings.h"
#include "view/SECEditContrast.h"

#if defined(TAVRO_VIEW_WITH_SYNTAX)
#include "syntax/SECEditLangConfig.h"
#endif

SECEditViewSettings SECEditViewSettings::Read(const SECEdit* edit, const SECEditSystemColors& colors)
{
    SECEditViewSettings settings;
    settings.groups = {{colors.windowText, colors.window}, {colors.window, colors.windowText}};
    if (!edit)
        return settings;
    settings.tabSize = edit->GetTabSize();
    if (settings.tabSize < 1)
        settings.tabSize = 1;

#if defined(TAVRO_VIEW_WITH_SYNTAX)
    const auto* config = dynamic_cast<const SECEditLangConfig*>(edit->GetLangConfig());
    if (!config || config->GetColorGroupCount() < 2)
        return settings;
    settings.showWhitespace = config->GetShowWhitespace();
    settings.virtualWhitespace = config->GetVirtualWhitespace();
    if (!config->GetFacename().empty())
        settings.font.face = config->GetFacename();
    if (config->GetSize() > 0)
        settings.font.pointSize = config->GetSize();
    settings.font.bold = config->GetBold();
    settings.font.italic = config->GetItalic();

    std::vector<SECEditColorGroup> groups = config->GetColorGroups();
    ApplyAutomaticColors(groups, colors.windowText, colors.window);
    settings.groups.clear();
    settings.groups.reserve(groups.size());
    for (const SECEditColorGroup& g : groups)
        settings.groups.push_back({g.foreground, g.background});
    settings.textGroup = config->GetKindColorGroupIndex(ColorGroupKind::Text);
    settings.selectionGroup = config->GetKindColorGroupIndex(ColorGroupKind::TextSelection);
#endif
    settings.KeepReadable();
    return settings;
}

void SECEditViewSettings::KeepReadable()
{
    if (!SECEditContrast::IsDark(GetTextColors().background))
        return;
    for (SECEditGroupColors& group : groups)
        group.foreground = SECEditContrast::Readable(group.foreground, group.background);
}
