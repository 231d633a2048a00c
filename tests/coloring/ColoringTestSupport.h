#pragma once

#include "engine/IMessage.h"
#include "engine/IObserver.h"
#include "engine/SECEdit.h"
#include "engine/SECEditLinesMsg.h"
#include "platform/MemorySettingsStore.h"
#include "syntax/BuiltInLanguages.h"
#include "syntax/SECEditLangRegistry.h"

#include <memory>
#include <string>
#include <utility>
#include <vector>

// The built-in languages, registered once for the whole test program and
// installed as the engines' language lookup.
inline SECEditLangRegistry& TestRegistry()
{
    static MemorySettingsStore store;
    static SECEditLangRegistry* registry = [] {
        auto* r = new SECEditLangRegistry();
        RegisterBuiltInLanguages(*r, &store);
        SECEdit::SetLangLookup(&r->GetLookup());
        return r;
    }();
    return *registry;
}

// An engine of the given language holding `text`.
template <class Engine = SECEdit>
std::unique_ptr<Engine> MakeEngine(std::u16string_view language, std::u16string_view text)
{
    TestRegistry();
    auto engine = std::make_unique<Engine>();
    engine->InitNew(language);
    if (!text.empty())
        engine->InsertTextAt(0, 0, text);
    return engine;
}

// A run list written out as "group:length" pairs, e.g. "5:3 0:2 3:1".
inline std::string RunsText(SECEditColorRunsRef runs)
{
    if (!runs)
        return "none";
    std::string out;
    for (std::uint32_t run : *runs)
    {
        if (!out.empty())
            out += ' ';
        out += std::to_string(run >> 16) + ':' + std::to_string(run & 0xFFFF);
    }
    return out;
}

inline std::string LineRuns(SECEdit& engine, std::int32_t line)
{
    return RunsText(engine.GetLineColoring(line));
}

// Records the InvalidateLines notifications an engine sends.
class LinesRecorder : public IObserver
{
public:
    void OnUpdate(ISubject*, IMessage* message) override
    {
        if (const SECEditLinesMsg* lines = SECEditLinesMsg::FromMessage(message))
            invalidated.emplace_back(lines->GetFirstLine(), lines->GetLastLine());
    }
    std::vector<std::pair<std::int32_t, std::int32_t>> invalidated;
};
