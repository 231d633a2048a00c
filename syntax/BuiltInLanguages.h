#pragma once

#include <array>

class ISettingsStore;
class SECEditLangRegistry;

// The twelve languages built into the program, in registration order, with
// the id of each one's archived resource.
struct BuiltInLanguage
{
    const char16_t* name;
    int resourceId;
};

inline constexpr std::array<BuiltInLanguage, 12> kBuiltInLanguages{{
    {u"C++", 154},
    {u"C#", 152},
    {u"SQL", 166},
    {u"HTML", 155},
    {u"IDL", 156},
    {u"JScript", 157},
    {u"VB", 158},
    {u"VBScript1", 159},
    {u"VBScript2", 160},
    {u"VBScript3", 161},
    {u"XML", 162},
    {u"XSL", 163},
}};

// Registers each built-in language with a loader chain (its resource, then
// its stored overrides in store) and a saver writing to store. No
// configuration is created here, only on first lookup.
void RegisterBuiltInLanguages(SECEditLangRegistry& registry, ISettingsStore* store);
