#pragma once
// What several benchmarks need set up once per process.

#include "engine/SECEdit.h"
#include "platform/MemorySettingsStore.h"
#include "syntax/BuiltInLanguages.h"
#include "syntax/SECEditLangRegistry.h"

#include <QApplication>

// An offscreen widget application unless the caller chose a platform.
inline void EnsureBenchApplication()
{
    if (qobject_cast<QApplication*>(QCoreApplication::instance()))
        return;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "tavro_bench";
    static char* argv[] = {name, nullptr};
    // Kept to the very end: tearing the toolkit down in the exit handlers,
    // with panes still open, crashes in its input devices.
    new QApplication(argc, argv);
}

// The twelve built-in languages, registered as the engine's lookup.
inline void InstallBenchLanguages()
{
    static MemorySettingsStore store;
    static SECEditLangRegistry* registry = [] {
        auto* r = new SECEditLangRegistry();
        RegisterBuiltInLanguages(*r, &store);
        SECEdit::SetLangLookup(&r->GetLookup());
        return r;
    }();
    (void)registry;
}
