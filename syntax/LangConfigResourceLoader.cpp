#include "syntax/LangConfigResourceLoader.h"

#include "syntax/LangConfigResources.h"
#include "syntax/SECEditArchiveReader.h"
#include "syntax/SECEditLangConfig.h"

bool LangConfigResourceLoader::Load(SECEditLangConfig& config)
{
    return LoadFromBytes(config, FindLangConfigResource(m_resourceId));
}

bool LangConfigResourceLoader::LoadFromBytes(SECEditLangConfig& config, std::span<const std::uint8_t> bytes)
{
    if (bytes.empty())
        return false;
    config.SetDefaults();
    SECEditArchiveReader archive(bytes);
    return config.Serialize(archive);
}
