#include "view/SECEditViewport.h"
#include "view/TabbedTextWidth.h"

#include "engine/SECEdit.h"
#include "engine/SECEditCommand.h"
#include "engine/SECEditCompositeCommand.h"
#include "engine/SECEditLineMarks.h"
#include "engine/SECEditLinesMsg.h"
#include "engine/SECEditMsg.h"
#include "engine/SECEditReplaceCommand.h"
#include "platform/IDrawingSurface.h"
#include "platform/IFontMetricsFactory.h"
#include "view/ISECEditPresentationState.h"
#include "view/ISECEditViewportWindow.h"
#include "view/SECEditContrast.h"
#include "view/SECEditGutterSettings.h"
#include "view/SECEditSplitterSyncMsg.h"

#include <algorithm>
#include <climits>

namespace {
constexpr char16_t kTab = u'\t';
constexpr char16_t kSpace = u' ';
constexpr char16_t kTabMark = 0x00BB;   // right-pointing double angle quotation mark
constexpr std::uint32_t kBookmarkFill = 0xFFFF00; // cyan
constexpr std::uint32_t kBlack = 0x000000;
constexpr std::uint32_t kEllipseColor = 0x000080; // dark red
constexpr int kMaxColumns = 2048;

const SECEditGutterSettings& DefaultGutter()
{
    static const SECEditGutterSettings settings;
    return settings;
}
} // namespace

// The selection as one paint sees it.
struct SECEditViewport::LineSelection
{
    bool shown = false;
    int mode = StreamSelection;
    int startLine = 0;
    int startColumn = 0;
    int endLine = 0;
    int endColumn = 0;
};

SECEditViewport::SECEditViewport(SECEdit* edit, IFontMetricsFactory& metricsFactory, ISECEditViewportWindow* window)
    : m_edit(edit), m_metricsFactory(metricsFactory), m_window(window)
{
    m_settings = SECEditViewSettings::Read(m_edit, m_colors);
    RebuildMetrics();
    if (m_edit)
        m_edit->AddObserver(this);
}

SECEditViewport::~SECEditViewport()
{
    if (m_edit)
        m_edit->RemoveObserver(this);
}

// --- Settings and metrics ---------------------------------------------------------

void SECEditViewport::RefreshSettings()
{
    m_settings = SECEditViewSettings::Read(m_edit, m_colors);
    RebuildMetrics();
}

void SECEditViewport::ApplySettings(const SECEditViewSettings& settings)
{
    m_settings = settings;
    if (m_settings.groups.empty())
        m_settings.groups.push_back({m_colors.windowText, m_colors.window});
    RebuildMetrics();
}

void SECEditViewport::SetSystemColors(const SECEditSystemColors& colors)
{
    m_colors = colors;
    RefreshSettings();
}

void SECEditViewport::RebuildMetrics()
{
    FontDescription font = m_settings.font;
    font.fixedPitch = true;
    font.bold = false; // the editor font is always upright and of normal weight
    font.italic = false;
    m_settings.font = font;
    // A new font keeps the same first line and column at the top left.
    const int firstLine = m_origin.y / m_lineHeight;
    const int firstColumn = m_origin.x / m_averageWidth;
    m_metrics = m_metricsFactory.CreateMetrics(font);
    m_lineHeight = std::max(1, m_metrics->GetHeight());
    m_averageWidth = std::max(1, m_metrics->GetAverageCharWidth());
    m_spaceWidth = std::max(1, m_metrics->GetCharWidth(kSpace));
    m_tabGlyphWidth = std::max(0, m_metrics->GetCharWidth(m_edit ? m_edit->GetWhitespaceMark(true) : kTabMark));
    const int tabSize = std::max(1, m_settings.tabSize);
    m_tabStopWidth = m_settings.showWhitespace ? (tabSize - 1) * m_spaceWidth + m_tabGlyphWidth
                                               : tabSize * m_spaceWidth;
    m_tabStopWidth = std::max(1, m_tabStopWidth);
    m_origin = {firstColumn * m_averageWidth, firstLine * m_lineHeight};
}

// --- Geometry ------------------------------------------------------------------------

const SECEditGutterSettings& SECEditViewport::GetGutterSettings() const
{
    return m_state ? m_state->GetGutterSettings() : DefaultGutter();
}

int SECEditViewport::GetTextLeft() const
{
    return GetGutterSettings().GetTextLeft(m_edit ? m_edit->GetLineCount() : 1);
}

int SECEditViewport::LastLine() const
{
    return m_edit ? std::max(0, m_edit->GetLineCount() - 1) : 0;
}

int SECEditViewport::MeasureText(std::u16string_view text, int offset) const
{
    return TabbedTextWidth(*m_metrics, text, m_tabStopWidth, offset);
}

int SECEditViewport::WidthOfPrefix(std::u16string_view text, int count) const
{
    return MeasureText(text.substr(0, std::size_t(std::clamp(count, 0, int(text.size())))));
}

PixelPoint SECEditViewport::PointFromPosition(SECEditTextPos pos) const
{
    std::u16string_view text;
    if (!m_edit || pos.line < 0 || m_edit->GetLineText(pos.line, text) < 0)
        return {0, 0};
    const int length = int(text.size());
    const int column = std::max(0, pos.column);
    const int measured = std::min(column, length);
    const int excess = column - measured;
    return {GetTextLeft() + WidthOfPrefix(text, measured) + excess * m_spaceWidth, pos.line * m_lineHeight};
}

SECEditTextPos SECEditViewport::PositionFromPoint(PixelPoint point, bool roundTabs, PixelPoint* snapped) const
{
    return PositionFromPoint(point, roundTabs, m_settings.virtualWhitespace, snapped);
}

SECEditTextPos SECEditViewport::PositionFromPoint(PixelPoint point, bool roundTabs, bool allowVirtual,
                                                  PixelPoint* snapped) const
{
    const int line = std::clamp(point.y < 0 ? 0 : point.y / m_lineHeight, 0, LastLine());
    const int left = GetTextLeft();
    PixelPoint result{left, line * m_lineHeight};
    SECEditTextPos pos(line, 0);
    std::u16string_view text;
    if (m_edit)
        m_edit->GetLineText(line, text);

    const int d = point.x - left;
    if (d > 0 && m_edit) {
        const int length = int(text.size());
        const int lineWidth = MeasureText(text);
        if (lineWidth < d) {
            pos.column = length;
            result.x = left + lineWidth;
            if (allowVirtual) {
                const int extra = (d - lineWidth) / m_spaceWidth;
                pos.column += extra;
                result.x += extra * m_spaceWidth;
            }
        } else {
            // The last boundary at or left of d, then the nearer of it and the next.
            int lo = 0;
            int hi = length;
            while (lo < hi) {
                const int mid = (lo + hi + 1) / 2;
                if (WidthOfPrefix(text, mid) <= d)
                    lo = mid;
                else
                    hi = mid - 1;
            }
            const int h = WidthOfPrefix(text, lo);
            int column = lo;
            int x = h;
            if (lo < length) {
                const int g = WidthOfPrefix(text, lo + 1);
                bool right;
                if (text[std::size_t(lo)] != kTab || g == h)
                    right = g - d < d - h;
                else if (!roundTabs)
                    right = d != h;
                else
                    right = g - d < 4;
                if (right) {
                    column = lo + 1;
                    x = g;
                }
            }
            pos.column = column;
            result.x = left + x;
        }
    }
    if (snapped)
        *snapped = result;
    return pos;
}

void SECEditViewport::GetVisibleLineRange(const PixelRect& logical, int& first, int& last) const
{
    first = std::max(0, logical.top / m_lineHeight);
    // The bottom edge lies outside the rectangle.
    last = std::min(LastLine(), std::max(0, logical.bottom - 1) / m_lineHeight);
}

PixelRect SECEditViewport::GetLineRect(int first, int last) const
{
    return {0, first * m_lineHeight, INT_MAX / 2, (last + 1) * m_lineHeight};
}

// --- Scrolling ---------------------------------------------------------------------------

int SECEditViewport::GetClientWidth() const
{
    return m_window ? m_window->GetClientWidth() : 0;
}

int SECEditViewport::GetClientHeight() const
{
    return m_window ? m_window->GetClientHeight() : 0;
}

int SECEditViewport::GetVisibleLineCount() const
{
    return m_window ? m_window->GetClientHeight() / m_lineHeight : 0;
}

int SECEditViewport::GetVisibleColumnCount() const
{
    return m_window ? std::max(0, m_window->GetClientWidth() - GetTextLeft()) / m_averageWidth : 0;
}

int SECEditViewport::GetExtentWidth() const
{
    const int columns = m_edit ? m_edit->GetMaxLineLength() : kMaxColumns;
    return columns * m_averageWidth;
}

int SECEditViewport::GetExtentHeight() const
{
    return (m_edit ? m_edit->GetLineCount() : 1) * m_lineHeight;
}

void SECEditViewport::ScrollBy(int columns, int lines)
{
    ScrollTo({m_origin.x + columns * m_averageWidth, m_origin.y + lines * m_lineHeight});
}

void SECEditViewport::ScrollTo(PixelPoint origin)
{
    const int totalLines = GetExtentHeight() / m_lineHeight;
    const int totalColumns = GetExtentWidth() / m_averageWidth;
    const int maxLine = std::max(0, totalLines - GetVisibleLineCount());
    const int maxColumn = std::max(0, totalColumns - GetVisibleColumnCount());
    const int line = std::clamp(origin.y / m_lineHeight, 0, maxLine);
    const int column = std::clamp(origin.x / m_averageWidth, 0, maxColumn);
    const PixelPoint target{column * m_averageWidth, line * m_lineHeight};
    if (target == m_origin)
        return;
    const int dx = target.x - m_origin.x;
    const int dy = target.y - m_origin.y;
    m_origin = target;

    if (m_window) {
        const int width = m_window->GetClientWidth();
        const int height = m_window->GetClientHeight();
        const int textLeft = std::min(GetTextLeft(), width);
        if (std::abs(dy) >= height || std::abs(dx) >= width - textLeft) {
            m_window->InvalidateAll();
        } else {
            // Rows move with the gutter; columns move under a gutter that stays.
            if (dy != 0)
                m_window->ScrollContents(0, -dy, {0, 0, width, height});
            if (dx != 0)
                m_window->ScrollContents(-dx, 0, {textLeft, 0, width, height});
        }
        m_window->SetScrollBar(true, std::max(0, totalLines - GetVisibleLineCount()), GetVisibleLineCount(),
                               GetFirstVisibleLine(), totalLines > GetVisibleLineCount());
        m_window->SetScrollBar(false, std::max(0, totalColumns - GetVisibleColumnCount()),
                               GetVisibleColumnCount(), GetFirstVisibleColumn(),
                               totalColumns > GetVisibleColumnCount());
    }

    if (m_splitterWindow && !m_applyingSync && m_edit) {
        SECEditSplitterSyncMsg message(m_splitterWindow, m_splitterRow, m_splitterColumn, m_origin);
        m_edit->UpdateAllObservers(this, &message);
    }
}

void SECEditViewport::UpdateScrollRanges()
{
    CheckTextLeft();
    if (!m_window)
        return;
    const int visibleLines = GetVisibleLineCount();
    const int totalLines = GetExtentHeight() / m_lineHeight;
    const int visibleColumns = GetVisibleColumnCount();
    const int totalColumns = GetExtentWidth() / m_averageWidth;

    // Whatever fits needs no scrolling: back to the start.
    PixelPoint origin = m_origin;
    if (visibleLines >= totalLines)
        origin.y = 0;
    else if (GetFirstVisibleLine() > totalLines - visibleLines)
        origin.y = (totalLines - visibleLines) * m_lineHeight;
    if (visibleColumns >= totalColumns)
        origin.x = 0;
    if (origin != m_origin)
        ScrollTo(origin);

    m_window->SetScrollBar(true, std::max(0, totalLines - visibleLines), visibleLines, GetFirstVisibleLine(),
                           visibleLines < totalLines);
    m_window->SetScrollBar(false, std::max(0, totalColumns - visibleColumns), visibleColumns,
                           GetFirstVisibleColumn(), visibleColumns < totalColumns);
}

// --- Painting ------------------------------------------------------------------------------

bool SECEditViewport::IsSelectionShown() const
{
    if (!m_state || !m_state->HasSelection())
        return false;
    return m_state->KeepsFocusLook() || (m_window && (m_window->HasFocus() || m_window->IsActivePane()));
}

void SECEditViewport::PaintText(IDrawingSurface& surface, const PixelRect& area)
{
    if (area.IsEmpty())
        return;
    const int gutterWidth = GetTextLeft();
    const PixelRect textArea{std::max(area.left, gutterWidth), area.top, area.right, area.bottom};

    if (!m_edit) {
        surface.FillRect(area, m_settings.GetTextColors().background);
        return;
    }
    if (!textArea.IsEmpty()) {
        surface.SetClipRect(textArea);
        m_paintArea = textArea.Translated(m_origin.x, m_origin.y);
        int first = 0;
        int last = 0;
        GetVisibleLineRange(m_paintArea, first, last);
        surface.SetFont(m_settings.font);

        LineSelection selection;
        selection.shown = IsSelectionShown();
        if (selection.shown) {
            selection.mode = m_state->GetSelectionMode();
            selection.shown = m_state->GetSelection(selection.startLine, selection.startColumn, selection.endLine,
                                                    selection.endColumn);
        }

        for (int line = first; line <= last; ++line)
            PaintLine(surface, line, selection);

        const int below = (last + 1) * m_lineHeight - m_origin.y;
        if (below < textArea.bottom)
            surface.FillRect({textArea.left, std::max(below, textArea.top), textArea.right, textArea.bottom},
                             m_settings.GetTextColors().background);

        if (selection.shown && selection.mode == ColumnDragRect)
            InvertSelectionRectangle(surface);
        surface.ClearClip();
    }

    if (gutterWidth > 0 && area.left < gutterWidth)
        PaintGutter(surface, area);
}

void SECEditViewport::PaintLine(IDrawingSurface& surface, int line, const LineSelection& selection)
{
    std::u16string_view text;
    if (m_edit->GetLineText(line, text) < 0)
        return;
    const int length = int(text.size());
    const int y = line * m_lineHeight;

    // Selected columns of this line, and the selected blank columns beyond its end
    // (counted from the line's end).
    int selStart = 0;
    int selEnd = 0;
    int blankSelStart = 0;
    int blankSelEnd = 0;
    if (selection.shown && selection.mode == ColumnSelection) {
        int start = 0;
        int end = 0;
        if (m_state->GetColumnSelectionSpan(line, start, end) && end > start) {
            selStart = std::min(start, length);
            selEnd = std::min(end, length);
            if (end > length) {
                blankSelStart = std::max(start, length) - length;
                blankSelEnd = end - length;
            }
        }
    } else if (selection.shown && selection.mode != ColumnDragRect && line >= selection.startLine &&
               line <= selection.endLine) {
        selStart = line == selection.startLine ? selection.startColumn : 0;
        selEnd = line == selection.endLine ? selection.endColumn : length;
        const bool extends = line != selection.endLine || selection.endColumn != 0;
        if (extends) {
            if (line != selection.endLine) {
                blankSelStart = 0;
                blankSelEnd = m_settings.virtualWhitespace ? INT_MAX : 1;
            } else if (selection.endColumn > length) {
                blankSelStart = line == selection.startLine && selection.startColumn > length
                                    ? selection.startColumn - length
                                    : 0;
                blankSelEnd = selection.endColumn - length;
            }
        }
        selStart = std::min(selStart, length);
        selEnd = std::min(selEnd, length);
    }

    const SECEditColorRunsRef runs = m_edit->GetLineColoring(line);
    const bool noRuns = !runs || runs->empty();
    const std::uint32_t firstGroup = noRuns ? m_settings.textGroup : (runs->front() >> 16);

    int x = GetTextLeft();
    int column = 0;
    const std::size_t runCount = noRuns ? 1 : runs->size();
    for (std::size_t i = 0; i < runCount && column < length; ++i) {
        if (x >= m_paintArea.right)
            break; // runs that begin right of the area are not drawn
        const std::uint32_t run = noRuns ? 0 : (*runs)[i];
        const int runLength = (run & 0xFFFF) == 0 ? length - column : std::min(int(run & 0xFFFF), length - column);
        const SECEditGroupColors& colors = m_settings.GetGroupColors(run >> 16);
        x += DrawRunSegment(surface, x, y, text, column, runLength, colors, selStart, selEnd);
        column += runLength;
    }
    // A list that stops short of the line's end: the rest is plain text.
    if (column < length && x < m_paintArea.right)
        x += DrawRunSegment(surface, x, y, text, column, length - column, m_settings.GetTextColors(), selStart,
                            selEnd);

    if (x >= m_paintArea.right)
        return;
    const int blanks = (m_paintArea.right - x) / m_spaceWidth + 1;
    const bool highlighted = m_edit->TestLineMark(line, SECEditLineMarks::HighlightMark);
    const SECEditGroupColors& rest =
        highlighted ? m_settings.GetGroupColors(firstGroup) : m_settings.GetTextColors();
    const int a = std::clamp(blankSelStart, 0, blanks);
    const int b = std::clamp(blankSelEnd, a, blanks);
    FillBlankColumns(surface, x, y, a, rest);
    FillBlankColumns(surface, x + a * m_spaceWidth, y, b - a, m_settings.GetSelectionColors());
    FillBlankColumns(surface, x + b * m_spaceWidth, y, blanks - b, rest);
}

void SECEditViewport::FillBlankColumns(IDrawingSurface& surface, int x, int y, int count,
                                       const SECEditGroupColors& colors)
{
    if (count <= 0)
        return;
    // Blank columns are spaces: only their background shows.
    surface.FillRect({x - m_origin.x, y - m_origin.y, x + count * m_spaceWidth - m_origin.x,
                      y + m_lineHeight - m_origin.y},
                     colors.background);
}

int SECEditViewport::DrawRunSegment(IDrawingSurface& surface, int x, int y, std::u16string_view line, int column,
                                    int length, const SECEditGroupColors& colors, int selStart, int selEnd)
{
    const SECEditGroupColors& selected = m_settings.GetSelectionColors();
    // Draws columns [from, to) with the selection split out.
    auto drawSplit = [&](int at, int from, int to) {
        int width = 0;
        const int a = std::clamp(selStart, from, to);
        const int b = std::clamp(selEnd, a, to);
        if (a > from)
            width += DrawPlainSegment(surface, at + width, y, line.substr(std::size_t(from), std::size_t(a - from)),
                                      colors);
        if (b > a)
            width += DrawPlainSegment(surface, at + width, y, line.substr(std::size_t(a), std::size_t(b - a)),
                                      selected);
        if (to > b)
            width += DrawPlainSegment(surface, at + width, y, line.substr(std::size_t(b), std::size_t(to - b)),
                                      colors);
        return width;
    };

    const int end = column + length;
    if (!m_settings.showWhitespace)
        return drawSplit(x, column, end);

    // Visible white space: each space or tab is its own cell with its mark at the start.
    int width = 0;
    int from = column;
    while (from < end) {
        int blank = from;
        while (blank < end && line[std::size_t(blank)] != kSpace && line[std::size_t(blank)] != kTab)
            ++blank;
        if (blank > from)
            width += drawSplit(x + width, from, blank);
        if (blank >= end)
            break;
        const bool isTab = line[std::size_t(blank)] == kTab;
        const SECEditGroupColors& cellColors = blank >= selStart && blank < selEnd ? selected : colors;
        const int cellX = x + width;
        const int cellWidth = isTab ? MeasureText(u"\t", cellX - GetTextLeft()) : m_spaceWidth;
        if (cellX + cellWidth > m_paintArea.left && cellX < m_paintArea.right) {
            const int top = y - m_origin.y;
            surface.FillRect({cellX - m_origin.x, top, cellX + cellWidth - m_origin.x, top + m_lineHeight},
                             cellColors.background);
            const char16_t mark = m_edit->GetWhitespaceMark(isTab);
            surface.DrawText(cellX - m_origin.x, top, std::u16string_view(&mark, 1), cellColors.foreground);
        }
        width += cellWidth;
        from = blank + 1;
    }
    return width;
}

int SECEditViewport::DrawPlainSegment(IDrawingSurface& surface, int x, int y, std::u16string_view text,
                                      const SECEditGroupColors& colors)
{
    const int textLeft = GetTextLeft();
    const int width = MeasureText(text, x - textLeft);
    if (width <= 0 || x + width <= m_paintArea.left || x >= m_paintArea.right)
        return width;
    const int top = y - m_origin.y;
    surface.FillRect({x - m_origin.x, top, x + width - m_origin.x, top + m_lineHeight}, colors.background);
    // Text between tabs is drawn piece by piece; the tabs themselves are blank.
    int at = x;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t tab = text.find(kTab, start);
        const std::size_t stop = tab == std::u16string_view::npos ? text.size() : tab;
        if (stop > start) {
            const std::u16string_view piece = text.substr(start, stop - start);
            surface.DrawText(at - m_origin.x, top, piece, colors.foreground);
            if (tab != std::u16string_view::npos)
                at += m_metrics->GetTextWidth(piece);
        }
        if (tab == std::u16string_view::npos)
            break;
        const int offset = std::max(at - textLeft, 0);
        at = textLeft + (offset / m_tabStopWidth + 1) * m_tabStopWidth;
        start = tab + 1;
    }
    return width;
}

void SECEditViewport::InvertSelectionRectangle(IDrawingSurface& surface)
{
    const PixelRect r = m_state->GetColumnRect();
    surface.InvertRect(r.Translated(-m_origin.x, -m_origin.y));
}

void SECEditViewport::PaintGutter(IDrawingSurface& surface, const PixelRect& area)
{
    const int gutterWidth = GetTextLeft();
    const PixelRect strip{0, area.top, gutterWidth, area.bottom};
    if (strip.IsEmpty())
        return;
    surface.SetClipRect(strip);
    PaintGutterBackground(surface, strip);
    int first = 0;
    int last = 0;
    GetVisibleLineRange(strip.Translated(0, m_origin.y), first, last);
    if (m_edit) {
        for (int line = first; line <= last; ++line) {
            const int top = line * m_lineHeight - m_origin.y;
            const PixelRect cell{0, top, gutterWidth, top + m_lineHeight};
            // Marks go under the number so that a bookmarked line keeps its number readable.
            DrawLineMarks(surface, line, cell);
            DrawLineNumber(surface, line, cell);
        }
    }
    surface.ClearClip();
}

void SECEditViewport::PaintGutterBackground(IDrawingSurface& surface, const PixelRect& area)
{
    surface.FillRect(area, m_colors.gutter);
    surface.DrawLine(area.right - 1, area.top, area.right - 1, area.bottom, m_colors.gutterEdge);
}

void SECEditViewport::DrawLineNumber(IDrawingSurface& surface, int line, const PixelRect& cell)
{
    const SECEditGutterSettings& gutter = GetGutterSettings();
    if (!gutter.ShowsLineNumbers())
        return;
    const int fontHeight = gutter.lineNumberFont.pixelHeight > 0 ? gutter.lineNumberFont.pixelHeight : 12;
    surface.SetFont(gutter.lineNumberFont);
    // Lines are numbered from 1, as the status bar counts them.
    const std::u16string number = gutter.FormatLineNumber(line + 1, m_edit->GetLineCount());
    const std::uint32_t color = gutter.lineNumberColor == SECEditGutterSettings::AutomaticColor
                                    ? m_colors.gutterText
                                    : gutter.lineNumberColor;
    surface.DrawText(cell.left, cell.top + (cell.Height() - fontHeight) / 2, number, color);
    surface.SetFont(m_settings.font);
}

void SECEditViewport::DrawLineMarks(IDrawingSurface& surface, int line, const PixelRect& cell)
{
    DrawRoundMark(surface, line, cell);
    DrawEllipseMark(surface, line, cell);
}

void SECEditViewport::DrawRoundMark(IDrawingSurface& surface, int line, const PixelRect& cell)
{
    if (!m_edit->TestLineMark(line, SECEditLineMarks::BookmarkMark))
        return;
    surface.DrawRoundRect({cell.left, cell.top, cell.right - 1, cell.bottom}, 6, 6, kBookmarkFill, kBlack);
}

void SECEditViewport::DrawEllipseMark(IDrawingSurface& surface, int line, const PixelRect& cell)
{
    if (!m_edit->TestLineMark(line, SECEditLineMarks::SecondGutterMark))
        return;
    const int c = std::min(cell.Width(), cell.Height());
    const int d = (c - 3) % 2 != 0 ? c - 3 : c - 2; // always odd, so the circle has a centre pixel
    if (d <= 3)
        return;
    int top = cell.top + 1;
    if (cell.Height() > cell.Width())
        top += (cell.Height() - d) / 2 - 1;
    const int left = cell.left + 2;
    // Dark red vanishes on a dark theme's gutter: lightened there as text is.
    const std::uint32_t color = SECEditContrast::Readable(kEllipseColor, m_colors.gutter);
    surface.DrawEllipse({left, top, left + d, top + d}, color, color);
}

// --- Invalidation ----------------------------------------------------------------------------

void SECEditViewport::InvalidateLineRange(int first, int last)
{
    if (!m_window)
        return;
    const int width = m_window->GetClientWidth();
    const int height = m_window->GetClientHeight();
    const int top = first * m_lineHeight - m_origin.y;
    const int bottom = last < 0 ? height : (last + 1) * m_lineHeight - m_origin.y;
    const PixelRect rows = PixelRect{0, top, width, bottom}.Intersected({0, 0, width, height});
    if (!rows.IsEmpty())
        m_window->InvalidateRect(rows);
}

void SECEditViewport::InvalidateGutter()
{
    if (!m_window)
        return;
    const int gutterWidth = std::min(GetTextLeft(), m_window->GetClientWidth());
    if (gutterWidth > 0)
        m_window->InvalidateRect({0, 0, gutterWidth, m_window->GetClientHeight()});
}

void SECEditViewport::InvalidateEverything()
{
    if (m_window)
        m_window->InvalidateAll();
}

void SECEditViewport::CheckTextLeft()
{
    // A change of the gutter's width (more digits) moves every line.
    const int textLeft = GetTextLeft();
    if (m_lastTextLeft >= 0 && textLeft != m_lastTextLeft)
        InvalidateEverything();
    m_lastTextLeft = textLeft;
}

// --- Split windows ------------------------------------------------------------------------------

void SECEditViewport::SetSplitterCell(const void* window, int row, int column) noexcept
{
    m_splitterWindow = window;
    m_splitterRow = row;
    m_splitterColumn = column;
}

void SECEditViewport::ApplySplitterSync(const SECEditSplitterSyncMsg& message)
{
    if (!m_splitterWindow || message.GetWindow() != m_splitterWindow)
        return;
    PixelPoint origin = m_origin;
    if (message.GetRow() == m_splitterRow)
        origin.y = message.GetOrigin().y;
    if (message.GetColumn() == m_splitterColumn)
        origin.x = message.GetOrigin().x;
    if (origin == m_origin)
        return;
    m_applyingSync = true;
    ScrollTo(origin);
    m_applyingSync = false;
    InvalidateEverything();
}

// --- Notifications ---------------------------------------------------------------------------------

void SECEditViewport::OnUpdate(ISubject* subject, IMessage* message)
{
    if (!message) {
        RefreshSettings();
        InvalidateEverything();
        UpdateScrollRanges();
        return;
    }
    switch (message->GetMessageId()) {
    case SECEditMsg::SplitterSync:
        if (const auto* sync = dynamic_cast<const SECEditSplitterSyncMsg*>(message))
            ApplySplitterSync(*sync);
        return;
    case SECEditMsg::InvalidateGutter:
        InvalidateGutter();
        return;
    case SECEditMsg::InvalidateLines:
        if (const SECEditLinesMsg* lines = SECEditLinesMsg::FromMessage(message))
            InvalidateLineRange(lines->GetFirstLine(), lines->GetLastLine());
        return;
    case SECEditMsg::CompositeCommand:
        if (SECEditCompositeCommand* composite = SECEditCompositeCommand::FromMessage(message))
            composite->DeliverCommands(this, subject);
        return;
    case SECEditMsg::InitController:
        if (m_state)
            m_state->OnUpdate(subject, message);
        m_origin = {0, 0};
        InvalidateEverything();
        UpdateScrollRanges();
        return;
    case SECEditMsg::EditCommand: {
        if (m_state)
            m_state->OnUpdate(subject, message);
        const SECEditCommand* command = SECEditCommand::FromMessage(message);
        if (!command) {
            InvalidateEverything();
            return;
        }
        const SECEditTextRange range = command->GetRange().Normalized();
        if (range.start.line == range.end.line) {
            InvalidateLineRange(range.start.line, range.start.line);
        } else {
            InvalidateLineRange(range.start.line, -1);
            UpdateScrollRanges();
        }
        return;
    }
    case SECEditMsg::ReplaceCommand:
        if (m_state)
            m_state->OnUpdate(subject, message);
        if (const SECEditReplaceCommand* replace = SECEditReplaceCommand::FromMessage(message))
            InvalidateLineRange(replace->GetFirstLine(), replace->GetLastLine());
        else
            InvalidateEverything();
        return;
    case SECEditMsg::InvalidateColoring:
    case SECEditMsg::FontUpdate:
        RefreshSettings();
        InvalidateEverything();
        UpdateScrollRanges();
        return;
    default:
        InvalidateEverything();
        UpdateScrollRanges();
        return;
    }
}
