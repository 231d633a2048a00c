#include "syntax/BuiltInLanguages.h"

#include "syntax/LangConfigLoaderChain.h"
#include "syntax/LangConfigResourceLoader.h"
#include "syntax/LangConfigSaver.h"
#include "syntax/LangConfigSettingsLoader.h"
#include "syntax/SECEditLangRegistry.h"

void RegisterBuiltInLanguages(SECEditLangRegistry& registry, ISettingsStore* store)
{
    for (const BuiltInLanguage& language : kBuiltInLanguages)
    {
        // Built-in resource first, then the user's stored overrides.
        auto* chain = new LangConfigLoaderChain();
        auto* resource = new LangConfigResourceLoader(language.resourceId);
        auto* stored = new LangConfigSettingsLoader(store, language.name);
        chain->Add(resource);
        chain->Add(stored);
        resource->Release();
        stored->Release();
        auto* saver = new LangConfigSaver(store, language.name);
        registry.RegisterLanguage(language.name, chain, saver);
        chain->Release();
        saver->Release();
    }
}
