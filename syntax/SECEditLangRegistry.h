#pragma once

#include "engine/ISECEditLangLookup.h"

#include <string>
#include <string_view>
#include <vector>

class LangConfigLoader;
class LangConfigSaver;
class SECEditLangConfig;
class SECEditLangSettings;

// The table of languages: maps a language name to its shared configuration,
// creating it on first use by running the language's loader, and writes the
// created configurations back through their savers (at exit). "Default"
// exists from the start, with neither loader nor saver.
//
// Instance() is the one the program uses; it is also the text engine's
// language lookup. Tests may make registries of their own.
class SECEditLangRegistry
{
public:
    SECEditLangRegistry();
    ~SECEditLangRegistry(); // releases every configuration, loader and saver
    SECEditLangRegistry(const SECEditLangRegistry&) = delete;
    SECEditLangRegistry& operator=(const SECEditLangRegistry&) = delete;

    // The program's registry; on first use it installs itself as the text
    // engine's language lookup (SECEdit::SetLangLookup).
    static SECEditLangRegistry& Instance();

    // Stores the loader (and the saver, when given) under the name, taking a
    // reference on each and releasing any stored before. A configuration
    // already created under the name stays as it is. Always succeeds.
    bool RegisterLanguage(std::u16string_view name, LangConfigLoader* loader,
                          LangConfigSaver* saver = nullptr);

    // The configuration of that name, created on first use; nullptr when the
    // name has neither a configuration nor a loader. The registry keeps its
    // own reference: a caller that holds on to the object adds one of its own.
    SECEditLangConfig* LookupLangConfig(std::u16string_view name);

    // With a name: saves that configuration with its saver (false when either
    // is missing). With none: saves every created configuration that has a
    // saver and answers whether any save succeeded.
    bool SaveLangConfigs(std::u16string_view name);
    bool SaveLangConfigs();

    // Empties the list, then every name with a loader (in registration order),
    // then every other configuration name ("Default").
    void GetLanguageNames(std::vector<std::u16string>& names) const;

    // The engine's view of this registry: LookupLangConfig with a reference
    // added for the caller.
    ISECEditLangLookup& GetLookup() { return m_lookup; }

private:
    class Lookup : public ISECEditLangLookup
    {
    public:
        explicit Lookup(SECEditLangRegistry& registry) : m_registry(registry) {}
        SECEditLangSettings* LookupLangConfig(std::u16string_view name) override;

    private:
        SECEditLangRegistry& m_registry;
    };

    struct Language
    {
        std::u16string name;
        SECEditLangConfig* config = nullptr;
        LangConfigLoader* loader = nullptr;
        LangConfigSaver* saver = nullptr;
    };

    Language* Find(std::u16string_view name);
    const Language* Find(std::u16string_view name) const;
    Language& FindOrAdd(std::u16string_view name);

    std::vector<Language> m_languages; // registration order; a dozen entries
    Lookup m_lookup{*this};
};
