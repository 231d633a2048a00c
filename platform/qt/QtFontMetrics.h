#pragma once

#include "platform/IFontMetrics.h"
#include "platform/IFontMetricsFactory.h"

#include <QFont>
#include <QFontMetricsF>

#include <array>

// Font measurements through QFontMetricsF. Widths of the common characters
// are cached, since the editor measures short pieces of text all the time.
class QtFontMetrics final : public IFontMetrics
{
public:
    explicit QtFontMetrics(const QFont& font);

    int GetHeight() const override { return m_height; }
    int GetAscent() const override { return m_ascent; }
    int GetAverageCharWidth() const override { return m_averageWidth; }
    int GetCharWidth(char16_t c) const override;
    int GetTextWidth(std::u16string_view text) const override;

    const QFont& GetFont() const { return m_font; }

private:
    static constexpr int kCached = 0x0300; // Latin and its neighbours: no shaping
    double Advance(char16_t c) const;

    QFont m_font;
    QFontMetricsF m_metrics;
    int m_height = 0;
    int m_ascent = 0;
    int m_averageWidth = 0;
    mutable std::array<float, kCached> m_advances{};
};

class QtFontMetricsFactory final : public IFontMetricsFactory
{
public:
    std::unique_ptr<IFontMetrics> CreateMetrics(const FontDescription& font) override;
};
