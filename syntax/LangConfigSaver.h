#pragma once

#include "engine/IRefCount.h"

#include <string>
#include <string_view>

class ISettingsStore;
class SECEditLangConfig;

// Writes a language configuration to the settings store: the same sections
// and values, in the same order, as LangConfigSettingsLoader reads.
// Reference-counted like the loaders.
class LangConfigSaver : public IRefCount
{
public:
    // store may be null (no application settings): Save then fails at once.
    LangConfigSaver(ISettingsStore* store, std::u16string_view languageName);
    LangConfigSaver(const LangConfigSaver&) = delete;
    LangConfigSaver& operator=(const LangConfigSaver&) = delete;

    virtual bool Save(const SECEditLangConfig& config);
    const std::u16string& GetSectionPrefix() const { return m_prefix; }

    unsigned long AddRef() override { return ++m_refCount; }
    unsigned long Release() override
    {
        const unsigned long count = --m_refCount;
        if (count == 0)
            delete this;
        return count;
    }

protected:
    virtual ~LangConfigSaver() = default;

private:
    ISettingsStore* m_store;
    std::u16string m_prefix;
    unsigned long m_refCount = 1;
};
