#include "syntax/SECEditLangRegistry.h"

#include "engine/SECEdit.h"
#include "syntax/LangConfigLoader.h"
#include "syntax/LangConfigSaver.h"
#include "syntax/SECEditLangConfig.h"

SECEditLangRegistry::SECEditLangRegistry()
{
    Language& fallback = FindOrAdd(u"Default");
    fallback.config = new SECEditLangConfig();
}

SECEditLangRegistry::~SECEditLangRegistry()
{
    if (SECEdit::GetLangLookup() == &m_lookup)
        SECEdit::SetLangLookup(nullptr);
    for (Language& language : m_languages)
    {
        if (language.config)
            language.config->Release();
        if (language.loader)
            language.loader->Release();
        if (language.saver)
            language.saver->Release();
    }
}

SECEditLangRegistry& SECEditLangRegistry::Instance()
{
    // The program's registry is also the engines' way to find languages.
    static SECEditLangRegistry registry;
    static const bool installed = (SECEdit::SetLangLookup(&registry.m_lookup), true);
    (void)installed;
    return registry;
}

SECEditLangRegistry::Language* SECEditLangRegistry::Find(std::u16string_view name)
{
    for (Language& language : m_languages)
    {
        if (language.name == name)
            return &language;
    }
    return nullptr;
}

const SECEditLangRegistry::Language* SECEditLangRegistry::Find(std::u16string_view name) const
{
    return const_cast<SECEditLangRegistry*>(this)->Find(name);
}

SECEditLangRegistry::Language& SECEditLangRegistry::FindOrAdd(std::u16string_view name)
{
    if (Language* language = Find(name))
        return *language;
    m_languages.push_back({std::u16string(name), nullptr, nullptr, nullptr});
    return m_languages.back();
}

bool SECEditLangRegistry::RegisterLanguage(std::u16string_view name, LangConfigLoader* loader,
                                           LangConfigSaver* saver)
{
    Language& language = FindOrAdd(name);
    if (loader)
        loader->AddRef();
    if (language.loader)
        language.loader->Release();
    language.loader = loader;
    if (saver)
    {
        saver->AddRef();
        if (language.saver)
            language.saver->Release();
        language.saver = saver;
    }
    return true;
}

SECEditLangConfig* SECEditLangRegistry::LookupLangConfig(std::u16string_view name)
{
    Language* language = Find(name);
    if (!language)
        return nullptr;
    if (language->config)
        return language->config;
    if (!language->loader)
        return nullptr;
    // The configuration comes into being even when its loader fails: it then
    // has the defaults and whatever the loader managed to read.
    auto* config = new SECEditLangConfig();
    config->SetName(language->name);
    language->loader->Load(*config);
    language->config = config;
    return config;
}

bool SECEditLangRegistry::SaveLangConfigs(std::u16string_view name)
{
    const Language* language = Find(name);
    if (!language || !language->config || !language->saver)
        return false;
    return language->saver->Save(*language->config);
}

bool SECEditLangRegistry::SaveLangConfigs()
{
    bool anySaved = false;
    for (const Language& language : m_languages)
    {
        if (language.config && language.saver && language.saver->Save(*language.config))
            anySaved = true;
    }
    return anySaved;
}

void SECEditLangRegistry::GetLanguageNames(std::vector<std::u16string>& names) const
{
    names.clear();
    for (const Language& language : m_languages)
    {
        if (language.loader)
            names.push_back(language.name);
    }
    for (const Language& language : m_languages)
    {
        if (language.config && !language.loader)
            names.push_back(language.name);
    }
}

SECEditLangSettings* SECEditLangRegistry::Lookup::LookupLangConfig(std::u16string_view name)
{
    SECEditLangConfig* config = m_registry.LookupLangConfig(name);
    if (config)
        config->AddRef();
    return config;
}
