#include "tests/TestFonts.h"

#include <QApplication>

#include <gtest/gtest.h>

#include <cstdio>

// The pane tests need a QApplication; they run without a display.
int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (!LoadTestFont()) {
        std::fprintf(stderr, "The test font %s cannot be loaded (package fonts-dejavu-core).\n", qPrintable(kTestFontFace));
        return 1;
    }
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
