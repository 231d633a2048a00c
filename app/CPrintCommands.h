#pragma once

#include <QObject>
#include <QStringList>

#include <memory>

class CMainFrame;
class CTavroApp;
class CTavroDoc;
class QPrinter;
struct CTavroCommandLine;

// File > Print, Print Preview and Print Setup for the active document, and
// the printing the command line asks for. One printer set-up is kept for
// the whole session, so Print Setup's choices carry over to Print.
class CPrintCommands : public QObject
{
    Q_OBJECT

public:
    // Connects the main window's print commands; owned by the main window.
    CPrintCommands(CTavroApp& app, CMainFrame& frame);
    ~CPrintCommands() override;

    void OnFilePrint();
    void OnFilePrintPreview();
    void OnFilePrintSetup();

    QPrinter& Printer();

    // Prints one document; false (after a message) when printing failed.
    static bool PrintDocument(CTavroApp& app, CTavroDoc& doc, QPrinter& printer);
    // Prints the open documents of these files; files that did not open
    // have had their message already and count as failures.
    static bool PrintFiles(CTavroApp& app, const QStringList& files, QPrinter& printer);
    // "-p FILE": the default printer; "-pt FILE PRINTER": that printer. With
    // no such printer there is a message and nothing is printed.
    static bool PrintFromCommandLine(CTavroApp& app, const CTavroCommandLine& commandLine);

private:
    CTavroApp& m_app;
    CMainFrame& m_frame;
    std::unique_ptr<QPrinter> m_printer;
};
