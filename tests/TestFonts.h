#pragma once

#include <QFontDatabase>
#include <QString>
#include <QStringList>

// Tests that measure or look at glyphs use this face, loaded from its file so
// that they do not depend on which fonts the machine has or prefers.
inline const QString kTestFontFace = QStringLiteral("DejaVu Sans Mono");

// Loads the test face; false when its file (Debian fonts-dejavu-core) is missing.
inline bool LoadTestFont()
{
    const int id = QFontDatabase::addApplicationFont(QStringLiteral("/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf"));
    return id >= 0 && QFontDatabase::applicationFontFamilies(id).contains(kTestFontFace);
}
