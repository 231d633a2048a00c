#include <QApplication>
#include <QStandardPaths>

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    // Widgets without a display; settings never touch the user's own files.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QStandardPaths::setTestModeEnabled(true);
    QApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Ostrivanteco"));
    QCoreApplication::setApplicationName(QStringLiteral("tavro-tests"));
    QCoreApplication::setApplicationVersion(QStringLiteral("3.3.0.6"));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
