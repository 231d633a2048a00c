#include "view/SECEditPrintLayout.h"
#include "view/TabbedTextWidth.h"

#include "engine/SECEdit.h"
#include "platform/IDrawingSurface.h"
#include "platform/IFontMetricsFactory.h"

#include <algorithm>
#include <string>

namespace {
constexpr char16_t kTab = u'\t';
constexpr char16_t kSpace = u' ';
constexpr std::uint32_t kBlack = 0x000000;
constexpr std::u16string_view kEllipsis = u"...";
// A tab may reach this far past the right edge and still stay on its row.
constexpr int kTabSlack = 4;

bool IsHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }
} // namespace

SECEditPrintLayout::SECEditPrintLayout(IFontMetricsFactory& metricsFactory) : m_metricsFactory(metricsFactory) {}

SECEditPrintLayout::~SECEditPrintLayout() = default;

void SECEditPrintLayout::BeginPrinting(const SECEdit* edit, const FontDescription& editorFont, int tabSize,
                                       const SECEditPrintDevice& device)
{
    m_edit = edit;

    // The editor's point size, measured in printer pixels.
    const int points = editorFont.pointSize > 0 ? editorFont.pointSize
                       : editorFont.pixelHeight > 0 ? std::max(1, editorFont.pixelHeight * 72 / 96)
                                                    : 10;
    m_font = editorFont;
    m_font.pointSize = points;
    m_font.pixelHeight = std::max(1, points * std::max(device.dpiY, 1) / 72);
    m_font.pixelWidth = 0;
    m_metrics = m_metricsFactory.CreateMetrics(m_font);
    m_lineHeight = std::max(1, m_metrics->GetHeight());
    m_averageWidth = std::max(1, m_metrics->GetAverageCharWidth());
    m_spaceWidth = std::max(1, m_metrics->GetCharWidth(kSpace));
    m_tabStopWidth = std::max(1, tabSize) * m_spaceWidth;

    // Half an inch of margin inside the printable area on every side.
    const int marginX = std::max(device.dpiX, 0) / 2;
    const int marginY = std::max(device.dpiY, 0) / 2;
    m_page = {marginX, marginY, std::max(marginX, device.width - marginX), std::max(marginY, device.height - marginY)};
    const int band = 2 * m_lineHeight;
    m_header = {m_page.left, m_page.top, m_page.right, std::min(m_page.bottom, m_page.top + band)};
    m_footer = {m_page.left, std::max(m_header.bottom, m_page.bottom - band), m_page.right, m_page.bottom};
    m_body = {m_page.left, m_header.bottom, m_page.right, m_footer.top};
    // A page too small for one row still prints one per page rather than none
    // (which would never end) or a division by zero.
    m_rowsPerPage = std::max(1, m_body.Height() / m_lineHeight);

    BreakIntoRows();
}

void SECEditPrintLayout::EndPrinting()
{
    m_metrics.reset();
    m_rows.clear();
    m_rows.shrink_to_fit();
    m_edit = nullptr;
}

void SECEditPrintLayout::BreakIntoRows()
{
    m_rows.clear();
    if (!m_edit)
        return;
    const std::int32_t lineCount = m_edit->GetLineCount();
    m_rows.reserve(std::size_t(std::max(lineCount, 0)));
    const int width = m_body.Width();
    for (std::int32_t line = 0; line < lineCount; ++line) {
        std::u16string_view text;
        if (m_edit->GetLineText(line, text) < 0)
            continue;
        std::size_t column = 0;
        for (;;) {
            m_rows.push_back({line, std::int32_t(column)});
            const std::u16string_view rest = text.substr(column);
            if (rest.empty())
                break;
            std::size_t fit = std::size_t(FitCount(rest, width));
            if (fit < rest.size() && fit > 0 && IsHighSurrogate(rest[fit - 1]) && IsLowSurrogate(rest[fit]))
                --fit; // never split a character's two halves
            if (fit == 0) // wider than the whole body: alone on its row, so the break moves on
                fit = rest.size() > 1 && IsHighSurrogate(rest[0]) && IsLowSurrogate(rest[1]) ? 2 : 1;
            if (fit >= rest.size())
                break;
            column += fit;
        }
    }
}

int SECEditPrintLayout::GetPageCount() const noexcept
{
    return int((m_rows.size() + std::size_t(m_rowsPerPage) - 1) / std::size_t(m_rowsPerPage));
}

void SECEditPrintLayout::GetPageRows(int page, int& first, int& end) const noexcept
{
    first = 0;
    end = 0;
    if (page < 1 || page > GetPageCount())
        return;
    const std::size_t start = std::size_t(page - 1) * std::size_t(m_rowsPerPage);
    first = int(start);
    end = int(std::min(m_rows.size(), start + std::size_t(m_rowsPerPage)));
}

std::u16string_view SECEditPrintLayout::GetRowText(int row) const
{
    if (!m_edit || row < 0 || std::size_t(row) >= m_rows.size())
        return {};
    const Row& r = m_rows[std::size_t(row)];
    std::u16string_view text;
    if (m_edit->GetLineText(r.line, text) < 0)
        return {};
    std::size_t end = text.size();
    if (std::size_t(row) + 1 < m_rows.size() && m_rows[std::size_t(row) + 1].line == r.line)
        end = std::size_t(m_rows[std::size_t(row) + 1].column);
    const std::size_t start = std::min(std::size_t(r.column), text.size());
    return text.substr(start, std::max(end, start) - start);
}

int SECEditPrintLayout::MeasureText(std::u16string_view text) const
{
    return TabbedTextWidth(*m_metrics, text, m_tabStopWidth);
}

int SECEditPrintLayout::FitCount(std::u16string_view text, int width) const
{
    const int n = int(text.size());
    if (n == 0 || width <= 0)
        return 0;
    if (MeasureText(text) <= width)
        return n;
    const auto prefixWidth = [&](int count) { return MeasureText(text.substr(0, std::size_t(count))); };

    // The last boundary at or left of the edge: gallop, then halve, so a long
    // line costs about what one row of it measures.
    int lo = 0;
    int hi = 1;
    while (hi < n && prefixWidth(hi) <= width) {
        lo = hi;
        hi *= 2;
    }
    hi = std::min(hi, n); // prefixWidth(hi) > width
    while (hi - lo > 1) {
        const int mid = lo + (hi - lo) / 2;
        if (prefixWidth(mid) <= width)
            lo = mid;
        else
            hi = mid;
    }
    // Then the character straddling the edge.
    const int h = prefixWidth(lo);
    const int g = prefixWidth(lo + 1);
    bool stays;
    if (text[std::size_t(lo)] != kTab || g == h)
        stays = g - width < width - h;
    else
        stays = g - width < kTabSlack;
    return stays ? lo + 1 : lo;
}

std::u16string SECEditPrintLayout::HeaderTitle(std::u16string_view documentTitle)
{
    return documentTitle.empty() ? std::u16string(u"Untitled") : std::u16string(documentTitle);
}

std::u16string SECEditPrintLayout::FooterText(int page)
{
    const std::string number = std::to_string(page);
    return u"Page: " + std::u16string(number.begin(), number.end());
}

std::u16string SECEditPrintLayout::ElideTitle(std::u16string_view title, int width) const
{
    const auto fits = [&](const std::u16string& s) { return m_metrics->GetTextWidth(s) <= width; };
    std::u16string whole(title);
    if (fits(whole))
        return whole;
    const std::size_t slash = title.find_last_of(u"/\\");
    if (slash != std::u16string_view::npos) {
        // Folders give way first; the file name stays whole as long as it can.
        const std::u16string_view tail = title.substr(slash);
        for (std::size_t keep = slash; keep-- > 0;) {
            std::u16string s = std::u16string(title.substr(0, keep)) + std::u16string(kEllipsis) + std::u16string(tail);
            if (fits(s))
                return s;
        }
        for (std::size_t drop = 0; drop <= tail.size(); ++drop) {
            std::u16string s = std::u16string(kEllipsis) + std::u16string(tail.substr(drop));
            if (fits(s))
                return s;
        }
        return std::u16string(kEllipsis);
    }
    const std::size_t n = title.size();
    for (std::size_t removed = 1; removed <= n; ++removed) {
        const std::size_t left = (n - removed + 1) / 2;
        const std::size_t right = n - removed - left;
        std::u16string s =
            std::u16string(title.substr(0, left)) + std::u16string(kEllipsis) + std::u16string(title.substr(n - right));
        if (fits(s))
            return s;
    }
    return std::u16string(kEllipsis);
}

void SECEditPrintLayout::PrintPage(IDrawingSurface& surface, int page, std::u16string_view documentTitle) const
{
    if (!IsPrinting())
        return;
    surface.SetFont(m_font);
    if (m_header.Height() > 0)
        DrawHeader(surface, documentTitle);
    DrawBody(surface, page);
    if (m_footer.Height() > 0)
        DrawFooter(surface, page);
}

void SECEditPrintLayout::DrawHeader(IDrawingSurface& surface, std::u16string_view documentTitle) const
{
    if (m_header.Height() >= m_lineHeight)
        surface.DrawText(m_header.left, m_header.top, ElideTitle(HeaderTitle(documentTitle), m_header.Width()),
                         kBlack);
    const int y = m_header.top + m_lineHeight + m_lineHeight / 2;
    if (y < m_header.bottom)
        surface.DrawLine(m_header.left, y, m_header.right, y, kBlack);
}

void SECEditPrintLayout::DrawFooter(IDrawingSurface& surface, int page) const
{
    const int y = m_footer.top + m_lineHeight / 2;
    if (y >= m_footer.bottom)
        return;
    surface.DrawLine(m_footer.left, y, m_footer.right, y, kBlack);
    if (m_footer.bottom >= y + m_lineHeight + m_lineHeight / 2)
        surface.DrawText(m_footer.left, y + m_lineHeight / 2, FooterText(page), kBlack);
}

void SECEditPrintLayout::DrawBody(IDrawingSurface& surface, int page) const
{
    int first = 0;
    int end = 0;
    GetPageRows(page, first, end);
    int top = m_body.top;
    for (int row = first; row < end; ++row, top += m_lineHeight)
        DrawTabbedText(surface, top, GetRowText(row));
}

void SECEditPrintLayout::DrawTabbedText(IDrawingSurface& surface, int top, std::u16string_view text) const
{
    // Pieces between tabs; a tab moves to the next stop measured from the body's left edge.
    const int left = m_body.left;
    int x = left;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t tab = text.find(kTab, start);
        const std::size_t stop = tab == std::u16string_view::npos ? text.size() : tab;
        if (stop > start) {
            const std::u16string_view piece = text.substr(start, stop - start);
            surface.DrawText(x, top, piece, kBlack);
            x += m_metrics->GetTextWidth(piece);
        }
        if (tab == std::u16string_view::npos)
            break;
        x = left + (std::max(x - left, 0) / m_tabStopWidth + 1) * m_tabStopWidth;
        start = tab + 1;
    }
}
