#pragma once

#include "platform/IDrawingSurface.h"

#include <QFont>
#include <QPainter>

#include <vector>

// Draws on a QPainter (a pane's window or an image).
class QtPainterSurface final : public IDrawingSurface
{
public:
    explicit QtPainterSurface(QPainter& painter);

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

private:
    struct CachedFont
    {
        FontDescription description;
        QFont font;
        int ascent = 0;
    };

    QPainter& m_painter;
    std::vector<CachedFont> m_fonts;
    int m_current = -1;
};
