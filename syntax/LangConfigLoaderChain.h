#pragma once

#include "syntax/LangConfigLoader.h"

#include <vector>

// Runs its loaders in order, every one even after a failure; succeeds only
// when all of them did.
class LangConfigLoaderChain : public LangConfigLoader
{
public:
    LangConfigLoaderChain() = default;

    // Takes a reference of its own on the loader.
    void Add(LangConfigLoader* loader);
    bool Load(SECEditLangConfig& config) override;

protected:
    ~LangConfigLoaderChain() override;

private:
    std::vector<LangConfigLoader*> m_loaders;
};
