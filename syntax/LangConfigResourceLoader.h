#pragma once

#include "syntax/LangConfigLoader.h"

#include <cstdint>
#include <span>

// Loads a built-in language from its archived resource (see
// LangConfigResources.h): resets the configuration to its defaults, then
// reads the archive. Fails when the resource is missing or empty, or when its
// archive is cut short or malformed; the configuration keeps its defaults then.
class LangConfigResourceLoader : public LangConfigLoader
{
public:
    explicit LangConfigResourceLoader(int resourceId) : m_resourceId(resourceId) {}

    bool Load(SECEditLangConfig& config) override;
    int GetResourceId() const { return m_resourceId; }

    // The same, over any archive bytes.
    static bool LoadFromBytes(SECEditLangConfig& config, std::span<const std::uint8_t> bytes);

private:
    int m_resourceId;
};
