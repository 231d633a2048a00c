#include "tests/TestFonts.h"

#include <QApplication>
#include <QStandardPaths>

#include <gtest/gtest.h>

#include <cstdio>

int main(int argc, char** argv)
{
    // Widgets without a display; settings never touch the user's own files.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QStandardPaths::setTestModeEnabled(true);
    QApplication app(argc, argv);
    if (!LoadTestFont()) {
        std::fprintf(stderr, "The test font %s cannot be loaded (package fonts-dejavu-core).\n", qPrintable(kTestFontFace));
        return 1;
    }
    QCoreApplication::setOrganizationName(QStringLiteral("Ostrivanteco"));
    QCoreApplication::setApplicationName(QStringLiteral("tavro-tests"));
    QCoreApplication::setApplicationVersion(QStringLiteral("3.3.0.6"));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
