#include <QApplication>
#include <QStandardPaths>

#include <gtest/gtest.h>

// Printing to PDF needs a QApplication for its fonts, but no display.
int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QStandardPaths::setTestModeEnabled(true);
    QApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Ostrivanteco"));
    QCoreApplication::setApplicationName(QStringLiteral("tavro-tests"));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
