#pragma once

#include "platform/FontDescription.h"
#include "view/SECEditPrintDevice.h"

#include <QString>

class QPrinter;
class SECEdit;

// Prints a document on a QPrinter (a real printer, a PDF file or the print
// preview's pages) through SECEditPrintLayout.
class SECEditPrintJob
{
public:
    // The font and tab size printing takes from the document's language: the
    // editor font's face and size, upright and of normal weight.
    static FontDescription EditorFont(const SECEdit* edit);
    static int TabSize(const SECEdit* edit);

    // The printable area and resolution of the printer's current page setup.
    static SECEditPrintDevice DeviceOf(const QPrinter& printer);
    // Pages the document takes with the printer's current page setup.
    static int PageCount(const QPrinter& printer, const SECEdit* edit);

    // Prints the printer's page range (every page when none is chosen), in
    // its page order and number of copies. Returns the number of pages
    // printed, or -1 when the printer would not start or failed on a page.
    static int Print(QPrinter& printer, const SECEdit* edit, const QString& title);
};
