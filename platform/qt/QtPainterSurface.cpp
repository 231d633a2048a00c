#include "platform/qt/QtPainterSurface.h"

#include "platform/qt/QtFonts.h"

#include <QFontMetricsF>

#include <cmath>

namespace {
QRect ToQRect(const PixelRect& r)
{
    return QRect(r.left, r.top, r.Width(), r.Height());
}
} // namespace

QtPainterSurface::QtPainterSurface(QPainter& painter) : m_painter(painter) {}

void QtPainterSurface::SetFont(const FontDescription& font)
{
    if (m_current >= 0 && m_fonts[std::size_t(m_current)].description == font)
        return;
    for (std::size_t i = 0; i < m_fonts.size(); ++i) {
        if (m_fonts[i].description == font) {
            m_current = int(i);
            m_painter.setFont(m_fonts[i].font);
            return;
        }
    }
    CachedFont cached{font, MakeQFont(font), 0};
    cached.ascent = int(std::lround(QFontMetricsF(cached.font).ascent()));
    m_fonts.push_back(cached);
    m_current = int(m_fonts.size() - 1);
    m_painter.setFont(cached.font);
}

void QtPainterSurface::SetClipRect(const PixelRect& r)
{
    m_painter.setClipRect(ToQRect(r));
}

void QtPainterSurface::ClearClip()
{
    m_painter.setClipping(false);
}

void QtPainterSurface::FillRect(const PixelRect& r, std::uint32_t color)
{
    if (!r.IsEmpty())
        m_painter.fillRect(ToQRect(r), ToQColor(color));
}

void QtPainterSurface::DrawText(int x, int top, std::u16string_view text, std::uint32_t color)
{
    if (text.empty())
        return;
    const int ascent = m_current >= 0 ? m_fonts[std::size_t(m_current)].ascent
                                      : int(std::lround(QFontMetricsF(m_painter.font()).ascent()));
    m_painter.setPen(ToQColor(color));
    const QString s = QString::fromRawData(reinterpret_cast<const QChar*>(text.data()), qsizetype(text.size()));
    m_painter.drawText(QPoint(x, top + ascent), s);
}

void QtPainterSurface::InvertRect(const PixelRect& r)
{
    if (r.IsEmpty())
        return;
    const QPainter::CompositionMode mode = m_painter.compositionMode();
    m_painter.setCompositionMode(QPainter::CompositionMode_Difference);
    m_painter.fillRect(ToQRect(r), Qt::white);
    m_painter.setCompositionMode(mode);
}

void QtPainterSurface::DrawLine(int x1, int y1, int x2, int y2, std::uint32_t color)
{
    m_painter.setPen(QPen(ToQColor(color), 0));
    m_painter.drawLine(x1, y1, x2, y2);
}

void QtPainterSurface::DrawRoundRect(const PixelRect& r, int cornerWidth, int cornerHeight, std::uint32_t fill,
                                     std::uint32_t outline)
{
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
    m_painter.save();
    m_painter.setRenderHint(QPainter::Antialiasing, true);
    m_painter.setPen(QPen(ToQColor(outline), 1));
    m_painter.setBrush(ToQColor(fill));
    m_painter.drawEllipse(QRectF(r.left + 0.5, r.top + 0.5, r.Width() - 1, r.Height() - 1));
    m_painter.restore();
}
