#pragma once

#include "engine/IQueryGuid.h"
#include "engine/IRefCount.h"
#include "engine/ISubject.h"

#include <string>

// What the text engine needs of a language configuration. The full
// configuration (colour groups, keywords, delimiters, classes, font) lives in
// syntax/ and derives from this; the engine alone uses SECEditDefaultLangSettings.
// A configuration is a subject: engines that use it observe it, and hear of
// every change to it.
class SECEditLangSettings : public IQueryGuid, public IRefCount, public ISubject
{
public:
    virtual ~SECEditLangSettings() = default;

    virtual const std::u16string& GetName() const = 0;
    virtual int GetTabSize() const = 0;       // always 1..64
    virtual bool GetReplaceTabs() const = 0;
};
