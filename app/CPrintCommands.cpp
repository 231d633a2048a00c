#include "app/CPrintCommands.h"

#include "app/CMainFrame.h"
#include "app/CTavroApp.h"
#include "app/CTavroCommandLine.h"
#include "app/CTavroDoc.h"
#include "app/TavroCommandIds.h"
#include "platform/IBusyCursor.h"
#include "platform/IMessageBox.h"
#include "view/SECEditPrintJob.h"

#include <QAction>
#include <QPageSetupDialog>
#include <QPointer>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QScreen>

#include <algorithm>
#include <cstdio>

namespace {

void Tell(CTavroApp& app, const QString& text)
{
    app.Messages().Show(text.toStdU16String(), IMessageBox::Buttons::Ok, IMessageBox::Icon::Warning);
}

} // namespace

CPrintCommands::CPrintCommands(CTavroApp& app, CMainFrame& frame) : QObject(&frame), m_app(app), m_frame(frame)
{
    connect(frame.Action(TavroCmd::FilePrint), &QAction::triggered, this, &CPrintCommands::OnFilePrint);
    connect(frame.Action(TavroCmd::FilePrintPreview), &QAction::triggered, this, &CPrintCommands::OnFilePrintPreview);
    QAction* setup = frame.Action(TavroCmd::FilePrintSetup);
    setup->setEnabled(true);
    connect(setup, &QAction::triggered, this, &CPrintCommands::OnFilePrintSetup);
}

CPrintCommands::~CPrintCommands() = default;

QPrinter& CPrintCommands::Printer()
{
    if (!m_printer)
        m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return *m_printer;
}

void CPrintCommands::OnFilePrint()
{
    CTavroDoc* doc = m_frame.ActiveDocument();
    if (!doc)
        return;
    QPrinter& printer = Printer();
    printer.setDocName(doc->GetTitle());
    QPrintDialog dialog(&printer, &m_frame);
    dialog.setWindowTitle(tr("Print"));
    int pages = 1;
    {
        BusyCursorScope busy(m_app.BusyCursor()); // a long document takes a moment to lay out
        pages = std::max(1, SECEditPrintJob::PageCount(printer, &doc->GetEdit()));
    }
    dialog.setMinMax(1, pages);
    if (dialog.exec() != QDialog::Accepted)
        return;
    PrintDocument(m_app, *doc, printer);
}

void CPrintCommands::OnFilePrintPreview()
{
    CTavroDoc* doc = m_frame.ActiveDocument();
    if (!doc)
        return;
    QPrinter& printer = Printer();
    printer.setDocName(doc->GetTitle());
    QPrintPreviewDialog preview(&printer, &m_frame);
    preview.setWindowTitle(tr("Print Preview - %1").arg(doc->GetTitle()));
    QPointer<CTavroDoc> shown(doc);
    connect(&preview, &QPrintPreviewDialog::paintRequested, &preview, [shown](QPrinter* pages) {
        if (shown)
            SECEditPrintJob::Print(*pages, &shown->GetEdit(), shown->GetTitle());
    });
    // Pages want room: most of the screen, not the size of a small main window.
    if (const QScreen* screen = m_frame.screen())
        preview.resize(screen->availableSize() * 3 / 4);
    preview.exec();
}

void CPrintCommands::OnFilePrintSetup()
{
    QPageSetupDialog dialog(&Printer(), &m_frame);
    dialog.setWindowTitle(tr("Print Setup"));
    dialog.exec();
}

bool CPrintCommands::PrintDocument(CTavroApp& app, CTavroDoc& doc, QPrinter& printer)
{
    printer.setDocName(doc.GetTitle());
    int printed = 0;
    {
        BusyCursorScope busy(app.BusyCursor());
        printed = SECEditPrintJob::Print(printer, &doc.GetEdit(), doc.GetTitle());
    }
    if (printed < 0) {
        Tell(app, tr("%1 could not be printed.").arg(doc.GetTitle()));
        return false;
    }
    return true;
}

bool CPrintCommands::PrintFiles(CTavroApp& app, const QStringList& files, QPrinter& printer)
{
    bool ok = true;
    for (const QString& file : files) {
        CTavroDoc* doc = app.FindDocument(file);
        if (!doc) {
            ok = false;
            continue;
        }
        ok = PrintDocument(app, *doc, printer) && ok;
    }
    return ok;
}

bool CPrintCommands::PrintFromCommandLine(CTavroApp& app, const CTavroCommandLine& commandLine)
{
    const QString wanted = commandLine.printTo && !commandLine.printToArgs.isEmpty() ? commandLine.printToArgs.first()
                                                                                     : QString();
    const QPrinterInfo info = wanted.isEmpty() ? QPrinterInfo::defaultPrinter() : QPrinterInfo::printerInfo(wanted);
    if (info.isNull()) {
        const QString text = wanted.isEmpty()
                                 ? tr("There is no printer to print on. Install a printer, or print to a file "
                                      "with File > Print, then try again.")
                                 : tr("The printer \"%1\" was not found.").arg(wanted);
        // Started from a shell, the message should reach the terminal too.
        std::fprintf(stderr, "tavro: %s\n", text.toLocal8Bit().constData());
        Tell(app, text);
        return false;
    }
    QPrinter printer(info, QPrinter::HighResolution);
    return PrintFiles(app, commandLine.files, printer);
}
