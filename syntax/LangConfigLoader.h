#pragma once

#include "engine/IRefCount.h"

class SECEditLangConfig;

// Fills a language configuration from somewhere: the built-in resource, the
// settings store, or a chain of loaders. Reference-counted; created with one
// reference and deleted by the Release that reaches zero.
class LangConfigLoader : public IRefCount
{
public:
    LangConfigLoader() = default;
    LangConfigLoader(const LangConfigLoader&) = delete;
    LangConfigLoader& operator=(const LangConfigLoader&) = delete;

    virtual bool Load(SECEditLangConfig& config) = 0;

    unsigned long AddRef() override { return ++m_refCount; }
    unsigned long Release() override
    {
        const unsigned long count = --m_refCount;
        if (count == 0)
            delete this;
        return count;
    }

protected:
    virtual ~LangConfigLoader() = default;

private:
    unsigned long m_refCount = 1;
};
