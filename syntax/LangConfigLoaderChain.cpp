#include "syntax/LangConfigLoaderChain.h"

LangConfigLoaderChain::~LangConfigLoaderChain()
{
    for (LangConfigLoader* loader : m_loaders)
        loader->Release();
}

void LangConfigLoaderChain::Add(LangConfigLoader* loader)
{
    if (!loader)
        return;
    loader->AddRef();
    m_loaders.push_back(loader);
}

bool LangConfigLoaderChain::Load(SECEditLangConfig& config)
{
    // Every loader runs: stored overrides still apply when the resource is missing.
    bool allLoaded = true;
    for (LangConfigLoader* loader : m_loaders)
        allLoaded = loader->Load(config) && allLoaded;
    return allLoaded;
}
