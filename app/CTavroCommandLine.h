#pragma once

#include <QString>
#include <QStringList>

// What the command line asks for. File names are made absolute against the
// folder the program was started in, so they mean the same thing when handed
// to an instance that is already running elsewhere.
struct CTavroCommandLine
{
    enum class Action { Run, ShowHelp, ShowVersion, Error };

    Action action = Action::Run;
    QStringList files;
    QString message; // help text, version text or error text

    // The shell's print verbs: the files are printed, not shown (main.cpp).
    bool print = false;
    bool printTo = false;
    QStringList printToArgs; // printer, driver, port
    bool automation = false;
    bool embedding = false;
    bool unregister = false;
    bool dde = false;

    // Not shown in --help: prints the time from start to the first paint of
    // the main window in milliseconds, then quits. Used by the start-up benchmark.
    bool firstPaintTime = false;

    static CTavroCommandLine Parse(const QStringList& arguments, const QString& currentFolder);
};
