#include "view/SECEditPrintJob.h"

#include "engine/SECEdit.h"
#include "platform/qt/QtFontMetrics.h"
#include "platform/qt/QtPainterSurface.h"
#include "view/SECEditPrintLayout.h"
#include "view/SECEditViewSettings.h"

#include <QPainter>
#include <QPrinter>

#include <algorithm>
#include <vector>

FontDescription SECEditPrintJob::EditorFont(const SECEdit* edit)
{
    FontDescription font = SECEditViewSettings::Read(edit, SECEditSystemColors{}).font;
    font.fixedPitch = true;
    font.bold = false;
    font.italic = false;
    return font;
}

int SECEditPrintJob::TabSize(const SECEdit* edit)
{
    return SECEditViewSettings::Read(edit, SECEditSystemColors{}).tabSize;
}

SECEditPrintDevice SECEditPrintJob::DeviceOf(const QPrinter& printer)
{
    return {printer.width(), printer.height(), printer.logicalDpiX(), printer.logicalDpiY()};
}

int SECEditPrintJob::PageCount(const QPrinter& printer, const SECEdit* edit)
{
    QtFontMetricsFactory metrics;
    SECEditPrintLayout layout(metrics);
    layout.BeginPrinting(edit, EditorFont(edit), TabSize(edit), DeviceOf(printer));
    return layout.GetPageCount();
}

int SECEditPrintJob::Print(QPrinter& printer, const SECEdit* edit, const QString& title)
{
    QtFontMetricsFactory metrics;
    SECEditPrintLayout layout(metrics);
    layout.BeginPrinting(edit, EditorFont(edit), TabSize(edit), DeviceOf(printer));
    const int pageCount = layout.GetPageCount();

    int from = 1;
    int to = pageCount;
    if (printer.printRange() == QPrinter::PageRange && printer.fromPage() > 0) {
        from = std::max(1, printer.fromPage());
        to = std::min(pageCount, printer.toPage() > 0 ? printer.toPage() : pageCount);
    }
    std::vector<int> pages;
    for (int page = from; page <= to; ++page)
        pages.push_back(page);
    if (printer.pageOrder() == QPrinter::LastPageFirst)
        std::reverse(pages.begin(), pages.end());
    // A printer that cannot make copies itself gets them page by page, collated.
    const int copies = printer.supportsMultipleCopies() ? 1 : std::max(1, printer.copyCount());
    if (pages.empty())
        return 0;

    const std::u16string documentTitle = title.toStdU16String();
    QPainter painter;
    if (!painter.begin(&printer))
        return -1;
    int printed = 0;
    {
        QtPainterSurface surface(painter);
        for (int copy = 0; copy < copies; ++copy) {
            for (int page : pages) {
                if (printed > 0) {
                    surface.Flush();
                    if (!printer.newPage()) {
                        surface.Flush();
                        painter.end();
                        return -1;
                    }
                }
                layout.PrintPage(surface, page, documentTitle);
                ++printed;
            }
        }
        surface.Flush();
    }
    if (!painter.end())
        return -1;
    layout.EndPrinting();
    return printed;
}
