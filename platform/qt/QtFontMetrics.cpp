#include "platform/qt/QtFontMetrics.h"

#include "platform/qt/QtFonts.h"

#include <cmath>

QtFontMetrics::QtFontMetrics(const QFont& font) : m_font(font), m_metrics(font)
{
    m_height = std::max(1, int(std::ceil(m_metrics.height() - 0.01)));
    m_ascent = int(std::lround(m_metrics.ascent()));
    m_averageWidth = std::max(1, int(std::lround(m_metrics.averageCharWidth())));
    m_advances.fill(-1.0f);
}

double QtFontMetrics::Advance(char16_t c) const
{
    if (c < kCached) {
        float& cached = m_advances[c];
        if (cached < 0)
            cached = float(m_metrics.horizontalAdvance(QChar(c)));
        return cached;
    }
    return m_metrics.horizontalAdvance(QChar(c));
}

int QtFontMetrics::GetCharWidth(char16_t c) const
{
    return int(std::lround(Advance(c)));
}

int QtFontMetrics::GetTextWidth(std::u16string_view text) const
{
    double width = 0;
    for (char16_t c : text) {
        if (c >= kCached) {
            // Beyond simple scripts, characters combine and shape: measure the whole.
            const QString s = QString::fromRawData(reinterpret_cast<const QChar*>(text.data()),
                                                   qsizetype(text.size()));
            return int(std::lround(m_metrics.horizontalAdvance(s)));
        }
        width += Advance(c);
    }
    return int(std::lround(width));
}

std::unique_ptr<IFontMetrics> QtFontMetricsFactory::CreateMetrics(const FontDescription& font)
{
    return std::make_unique<QtFontMetrics>(MakeQFont(font));
}
