#pragma once

#include "platform/FontDescription.h"
#include "platform/IFontMetrics.h"
#include "platform/PixelRect.h"
#include "view/SECEditPrintDevice.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class IDrawingSurface;
class IFontMetricsFactory;
class SECEdit;

// Pages of a printed document, without any toolkit: the printer font, the
// header, body and footer of a page, the document broken into rows that fit
// the body's width, and the drawing of one page through a drawing surface.
// Printing is plain black text; the colouring is not used.
//
// The state lives from BeginPrinting to EndPrinting. The document must not
// change in between: rows refer to its lines and columns.
class SECEditPrintLayout
{
public:
    struct Row
    {
        std::int32_t line = 0;
        std::int32_t column = 0;
        bool operator==(const Row&) const = default;
    };

    explicit SECEditPrintLayout(IFontMetricsFactory& metricsFactory);
    ~SECEditPrintLayout();
    SECEditPrintLayout(const SECEditPrintLayout&) = delete;
    SECEditPrintLayout& operator=(const SECEditPrintLayout&) = delete;

    // Builds the printer font from the editor font (its face, and its point
    // size scaled to the device), lays out the page and breaks `edit` into rows.
    void BeginPrinting(const SECEdit* edit, const FontDescription& editorFont, int tabSize,
                       const SECEditPrintDevice& device);
    void EndPrinting();
    bool IsPrinting() const noexcept { return m_metrics != nullptr; }

    const FontDescription& GetPrinterFont() const noexcept { return m_font; }
    int GetLineHeight() const noexcept { return m_lineHeight; }
    int GetAverageCharWidth() const noexcept { return m_averageWidth; }
    int GetSpaceWidth() const noexcept { return m_spaceWidth; }
    int GetTabStopWidth() const noexcept { return m_tabStopWidth; }

    const PixelRect& GetPageRect() const noexcept { return m_page; }
    const PixelRect& GetHeaderRect() const noexcept { return m_header; }
    const PixelRect& GetFooterRect() const noexcept { return m_footer; }
    const PixelRect& GetBodyRect() const noexcept { return m_body; }
    int GetRowsPerPage() const noexcept { return m_rowsPerPage; }

    const std::vector<Row>& GetRows() const noexcept { return m_rows; }
    int GetPageCount() const noexcept;
    // Rows [first, end) of page `page` (from 1); empty for a page that does not exist.
    void GetPageRows(int page, int& first, int& end) const noexcept;
    // The characters a row prints, tabs still in.
    std::u16string_view GetRowText(int row) const;

    // Width of text drawn from the body's left edge, tabs expanded.
    int MeasureText(std::u16string_view text) const;
    // How many characters from the start of `text` fit into `width`: a
    // character straddling the edge stays when more of it lies inside, a tab
    // when it ends less than 4 pixels beyond.
    int FitCount(std::u16string_view text, int width) const;

    // What the header and footer say.
    static std::u16string HeaderTitle(std::u16string_view documentTitle);
    static std::u16string FooterText(int page);
    // The title shortened with "..." in its middle until it fits `width`,
    // keeping as much of its end (the file name) as it can.
    std::u16string ElideTitle(std::u16string_view title, int width) const;

    // Draws page `page` (from 1): header with the title, the page's rows and
    // the footer with the page number.
    void PrintPage(IDrawingSurface& surface, int page, std::u16string_view documentTitle) const;

private:
    void BreakIntoRows();
    void DrawHeader(IDrawingSurface& surface, std::u16string_view documentTitle) const;
    void DrawFooter(IDrawingSurface& surface, int page) const;
    void DrawBody(IDrawingSurface& surface, int page) const;
    void DrawTabbedText(IDrawingSurface& surface, int top, std::u16string_view text) const;

    IFontMetricsFactory& m_metricsFactory;
    const SECEdit* m_edit = nullptr;
    FontDescription m_font;
    std::unique_ptr<IFontMetrics> m_metrics;
    int m_lineHeight = 1;
    int m_averageWidth = 1;
    int m_spaceWidth = 1;
    int m_tabStopWidth = 1;
    PixelRect m_page;
    PixelRect m_header;
    PixelRect m_footer;
    PixelRect m_body;
    int m_rowsPerPage = 1;
    std::vector<Row> m_rows;
};
