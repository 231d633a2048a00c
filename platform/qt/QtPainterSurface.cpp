#include "platform/qt/QtPainterSurface.h"

#include "platform/qt/QtFonts.h"

#include <QFontMetricsF>
#include <QGlyphRun>

#include <cmath>

namespace {
QRect ToQRect(const PixelRect& r)
{
    return QRect(r.left, r.top, r.Width(), r.Height());
}
} // namespace

QtPainterSurface::QtPainterSurface(QPainter& painter) : m_painter(painter) {}

QtPainterSurface::~QtPainterSurface()
{
    Flush();
}

void QtPainterSurface::SetFont(const FontDescription& font)
{
    if (m_current >= 0 && m_fonts[std::size_t(m_current)]->description == font)
        return;
    Flush();
    for (std::size_t i = 0; i < m_fonts.size(); ++i) {
        if (m_fonts[i]->description == font) {
            m_current = int(i);
            m_painter.setFont(m_fonts[i]->font);
            return;
        }
    }
    auto cached = std::make_unique<CachedFont>();
    cached->description = font;
    cached->font = MakeQFont(font);
    cached->raw = QRawFont::fromFont(cached->font);
    cached->ascent = int(std::lround(QFontMetricsF(cached->font).ascent()));
    cached->advances.fill(-1.0f);
    m_painter.setFont(cached->font);
    m_fonts.push_back(std::move(cached));
    m_current = int(m_fonts.size() - 1);
}

void QtPainterSurface::UsePen(std::uint32_t color)
{
    if (color == m_penColor)
        return;
    m_painter.setPen(ToQColor(color));
    m_penColor = color;
}

void QtPainterSurface::DrawPendingFill()
{
    if (m_fillPending) {
        m_painter.fillRect(ToQRect(m_pendingFill), ToQColor(m_pendingFillColor));
        m_fillPending = false;
    }
}

void QtPainterSurface::Flush()
{
    DrawPendingFill();
    if (m_pendingCount == 0)
        return;
    const QRawFont& raw = m_fonts[std::size_t(m_current)]->raw;
    for (std::size_t i = 0; i < m_pendingCount; ++i) {
        PendingRun& run = m_pending[i];
        if (run.glyphs.empty())
            continue;
        UsePen(run.color);
        QGlyphRun glyphs;
        glyphs.setRawFont(raw);
        glyphs.setRawData(run.glyphs.data(), run.positions.data(), int(run.glyphs.size()));
        m_painter.drawGlyphRun(QPointF(0, 0), glyphs);
        run.glyphs.clear();
        run.positions.clear();
    }
    m_pendingCount = 0;
}

bool QtPainterSurface::CollectGlyphs(CachedFont& font, int x, int top, std::u16string_view text,
                                     std::uint32_t color)
{
    if (!font.raw.isValid())
        return false;
    // Look every character up first: one outside the cache or the face goes
    // the slow way, through Qt's own font fallback.
    std::unique_ptr<QFontMetricsF> metrics;
    for (char16_t c : text) {
        if (c >= kCached)
            return false;
        if (font.advances[c] < 0) {
            if (!metrics)
                metrics = std::make_unique<QFontMetricsF>(font.font);
            const QChar qc(c);
            quint32 glyph = 0;
            int count = 1;
            if (!font.raw.glyphIndexesForChars(&qc, 1, &glyph, &count) || count != 1)
                glyph = 0;
            font.glyphs[c] = glyph;
            // The advances the editor measures with, so glyphs land where the
            // caret and the next run expect them.
            font.advances[c] = float(metrics->horizontalAdvance(qc));
        }
        if (font.glyphs[c] == 0 && c != u' ')
            return false;
    }

    if (m_pendingCount > 0 && top != m_pendingTop)
        Flush();
    std::size_t slot = 0;
    while (slot < m_pendingCount && m_pending[slot].color != color)
        ++slot;
    if (slot == m_pendingCount) {
        if (m_pending.size() <= slot)
            m_pending.emplace_back();
        m_pending[slot].color = color;
        ++m_pendingCount;
    }
    PendingRun& run = m_pending[slot];
    const double baseline = top + font.ascent;
    double at = x;
    for (char16_t c : text) {
        if (c != u' ') {
            run.glyphs.push_back(font.glyphs[c]);
            run.positions.emplace_back(at, baseline);
        }
        at += font.advances[c];
    }
    m_pendingTop = top;
    return true;
}

void QtPainterSurface::SetClipRect(const PixelRect& r)
{
    Flush();
    m_painter.setClipRect(ToQRect(r));
}

void QtPainterSurface::ClearClip()
{
    Flush();
    m_painter.setClipping(false);
}

void QtPainterSurface::FillRect(const PixelRect& r, std::uint32_t color)
{
    if (r.IsEmpty())
        return;
    // Collected glyphs are drawn over every fill of their row: the cells of a
    // row do not overlap, and a glyph reaching into its neighbour's cell
    // stays whole.
    if (m_pendingCount > 0 && r.top != m_pendingTop)
        Flush();
    // Neighbouring cells of one colour become one fill.
    if (m_fillPending && color == m_pendingFillColor && r.top == m_pendingFill.top &&
        r.bottom == m_pendingFill.bottom && r.left == m_pendingFill.right) {
        m_pendingFill.right = r.right;
        return;
    }
    DrawPendingFill();
    m_pendingFill = r;
    m_pendingFillColor = color;
    m_fillPending = true;
}

void QtPainterSurface::DrawText(int x, int top, std::u16string_view text, std::uint32_t color)
{
    if (text.empty())
        return;
    if (m_current < 0)
        SetFont(FontDescription{u"", 10, 0, 0, true, false, false});
    CachedFont& font = *m_fonts[std::size_t(m_current)];
    if (m_fillPending && m_pendingFill.top != top)
        Flush();
    if (CollectGlyphs(font, x, top, text, color))
        return;
    Flush();
    UsePen(color);
    const QString s = QString::fromRawData(reinterpret_cast<const QChar*>(text.data()), qsizetype(text.size()));
    m_painter.drawText(QPoint(x, top + font.ascent), s);
}

void QtPainterSurface::InvertRect(const PixelRect& r)
{
    Flush();
    if (r.IsEmpty())
        return;
    const QPainter::CompositionMode mode = m_painter.compositionMode();
    m_painter.setCompositionMode(QPainter::CompositionMode_Difference);
    m_painter.fillRect(ToQRect(r), Qt::white);
    m_painter.setCompositionMode(mode);
}

void QtPainterSurface::DrawLine(int x1, int y1, int x2, int y2, std::uint32_t color)
{
    Flush();
    UsePen(color);
    m_painter.drawLine(x1, y1, x2, y2);
}

void QtPainterSurface::DrawRoundRect(const PixelRect& r, int cornerWidth, int cornerHeight, std::uint32_t fill,
                                     std::uint32_t outline)
{
    Flush();
    m_painter.save();
    m_painter.setRenderHint(QPainter::Antialiasing, false);
    m_painter.setPen(QPen(ToQColor(outline), 0));
    m_painter.setBrush(ToQColor(fill));
    // The outline runs along the inside of r, as a window system's rectangles do.
    m_painter.drawRoundedRect(QRect(r.left, r.top, r.Width() - 1, r.Height() - 1), cornerWidth / 2.0,
                              cornerHeight / 2.0);
    m_painter.restore();
}

void QtPainterSurface::DrawEllipse(const PixelRect& r, std::uint32_t fill, std::uint32_t outline)
{
    Flush();
    m_painter.save();
    m_painter.setRenderHint(QPainter::Antialiasing, true);
    m_painter.setPen(QPen(ToQColor(outline), 1));
    m_painter.setBrush(ToQColor(fill));
    m_painter.drawEllipse(QRectF(r.left + 0.5, r.top + 0.5, r.Width() - 1, r.Height() - 1));
    m_painter.restore();
}
