#pragma once

#include "platform/IDrawingSurface.h"

#include <QFont>
#include <QPainter>
#include <QPointF>
#include <QRawFont>

#include <array>
#include <memory>
#include <vector>

// Draws on a QPainter (a pane's window or an image).
//
// The editor draws thousands of short pieces of text per screen, and shaping
// each one would dominate painting. Text of simple scripts is therefore laid
// out here from cached glyph indices and advances, and the glyphs of one row
// are collected per colour and drawn as one glyph run each, over the row's
// fills; neighbouring fills of one colour are joined. Anything else (another row, a clip change, the other shapes) draws
// them first.
class QtPainterSurface final : public IDrawingSurface
{
public:
    explicit QtPainterSurface(QPainter& painter);
    ~QtPainterSurface() override;

    void SetFont(const FontDescription& font) override;
    void SetClipRect(const PixelRect& r) override;
    void ClearClip() override;
    void FillRect(const PixelRect& r, std::uint32_t color) override;
    void DrawText(int x, int top, std::u16string_view text, std::uint32_t color) override;
    void InvertRect(const PixelRect& r) override;
    void DrawLine(int x1, int y1, int x2, int y2, std::uint32_t color) override;
    void DrawRoundRect(const PixelRect& r, int cornerWidth, int cornerHeight, std::uint32_t fill,
                       std::uint32_t outline) override;
    void DrawEllipse(const PixelRect& r, std::uint32_t fill, std::uint32_t outline) override;

    // Draws the collected glyphs now.
    void Flush();

private:
    static constexpr int kCached = 0x0300;
    struct CachedFont
    {
        FontDescription description;
        QFont font;
        QRawFont raw;
        int ascent = 0;
        // Per character below kCached: glyph index (0: not in the face) and
        // advance (negative: not looked up yet).
        std::array<quint32, kCached> glyphs{};
        std::array<float, kCached> advances{};
    };
    struct PendingRun
    {
        std::uint32_t color = 0;
        std::vector<quint32> glyphs;
        std::vector<QPointF> positions;
    };

    bool CollectGlyphs(CachedFont& font, int x, int top, std::u16string_view text, std::uint32_t color);
    void UsePen(std::uint32_t color);
    void DrawPendingFill();

    QPainter& m_painter;
    std::vector<std::unique_ptr<CachedFont>> m_fonts;
    int m_current = -1;
    std::uint32_t m_penColor = 0xFFFFFFFF; // none set yet

    std::vector<PendingRun> m_pending; // one per colour; emptied, not freed, by Flush
    std::size_t m_pendingCount = 0;    // runs of m_pending in use
    int m_pendingTop = 0;
    PixelRect m_pendingFill;
    std::uint32_t m_pendingFillColor = 0;
    bool m_fillPending = false;
};
