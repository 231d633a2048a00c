#include "platform/qt/QtFonts.h"

#include <QGuiApplication>
#include <QScreen>

#include <cmath>

QFont MakeQFont(const FontDescription& description)
{
    QFont font(QString::fromStdU16String(description.face));
    int pixels = description.pixelHeight;
    if (pixels <= 0) {
        double dpi = 96.0;
        if (const QScreen* screen = QGuiApplication::primaryScreen())
            dpi = screen->logicalDotsPerInchY();
        pixels = int(std::lround(std::max(description.pointSize, 1) * dpi / 72.0));
    }
    font.setPixelSize(std::max(pixels, 1));
    if (description.fixedPitch) {
        font.setFixedPitch(true);
        font.setStyleHint(QFont::TypeWriter, QFont::PreferDefault);
    }
    font.setWeight(description.bold ? QFont::Bold : QFont::Normal);
    font.setItalic(description.italic);
    // Whole-pixel advances keep glyphs on the columns the editor computes.
    font.setHintingPreference(QFont::PreferFullHinting);
    return font;
}
