#pragma once

#include <string_view>

class SECEditLangSettings;

// Finds the shared configuration of a language by name. The process-wide
// language registry (syntax/) installs itself as the engine's lookup; without
// one, only "Default" exists.
class ISECEditLangLookup
{
public:
    // Returns the configuration with one reference added for the caller, or
    // nullptr when no language of that name exists.
    virtual SECEditLangSettings* LookupLangConfig(std::u16string_view name) = 0;

protected:
    ~ISECEditLangLookup() = default;
};
