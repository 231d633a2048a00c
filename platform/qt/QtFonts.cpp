#include "platform/qt/QtFonts.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QHash>
#include <QScreen>

#include <cmath>

namespace {

// Whether a family of this name is installed, not merely matched by fontconfig
// to something else. Asked on every paint, so the answers are kept: fonts
// installed while the program runs are seen at its next start.
bool IsInstalledFamily(const QString& face)
{
    static QHash<QString, bool> known;
    const QString key = face.toCaseFolded();
    auto it = known.constFind(key);
    if (it == known.constEnd())
        it = known.insert(key, QFontDatabase::families().contains(face, Qt::CaseInsensitive));
    return it.value();
}

// The desktop's fixed-width font. A platform without a theme answers its
// default font, which may be proportional; "monospace" is fixed-width on any
// fontconfig desktop.
QFont DesktopFixedFont()
{
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    // Measured rather than asked (some fixed-width faces do not declare their
    // spacing), once per desktop font, as this runs on every paint.
    static QString measuredFamily;
    static bool fixedWidth = true;
    if (font.family() != measuredFamily) {
        const QFontMetricsF metrics(font);
        fixedWidth = metrics.horizontalAdvance(QLatin1Char('i')) == metrics.horizontalAdvance(QLatin1Char('M'));
        measuredFamily = font.family();
    }
    if (!fixedWidth) {
        font = QFont(QStringLiteral("monospace"));
        font.setStyleHint(QFont::TypeWriter);
    }
    return font;
}

} // namespace

bool IsBuiltInFace(std::u16string_view face)
{
    const QString name = QString::fromUtf16(face.data(), qsizetype(face.size())).trimmed();
    return name.isEmpty() || name.compare(QLatin1String("Courier"), Qt::CaseInsensitive) == 0 ||
           name.compare(QLatin1String("Courier New"), Qt::CaseInsensitive) == 0;
}

bool UsesDesktopFixedFont(const FontDescription& description)
{
    if (!description.fixedPitch)
        return false;
    return IsBuiltInFace(description.face) || !IsInstalledFamily(QString::fromStdU16String(description.face));
}

QFont MakeQFont(const FontDescription& description)
{
    const bool desktop = UsesDesktopFixedFont(description);
    QFont font = desktop ? DesktopFixedFont()
                         : QFont(QString::fromStdU16String(description.face));
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
        // Should the desktop's family be missing too, fontconfig still picks a fixed-width one.
        font.setStyleHint(QFont::TypeWriter, QFont::PreferDefault);
    }
    font.setWeight(description.bold ? QFont::Bold : QFont::Normal);
    font.setItalic(description.italic);
    // Whole-pixel advances keep glyphs on the columns the editor computes.
    font.setHintingPreference(QFont::PreferFullHinting);
    return font;
}
