#include "app/CFileChooser.h"
#include "app/CInstanceChannel.h"
#include "app/CMainFrame.h"
#include "app/CPrintCommands.h"
#include "app/CTavroApp.h"
#include "app/CTavroCommandLine.h"
#include "platform/qt/QtBusyCursor.h"
#include "platform/qt/QtMessageBox.h"
#include "platform/qt/QtSettingsStore.h"

#include <QApplication>
#include <QDir>
#include <QPalette>
#include <QTimer>

#include <chrono>
#include <cstdio>

namespace {

void SetIdentity()
{
    QCoreApplication::setOrganizationName(QStringLiteral("Ostrivanteco"));
    QCoreApplication::setApplicationName(QStringLiteral("tavro"));
    QCoreApplication::setApplicationVersion(QStringLiteral("3.3.0.6"));
}

// Reports the wall-clock time of the first paint of the main window, after
// the paint has been flushed, and quits.
class FirstPaintProbe : public QObject
{
public:
    explicit FirstPaintProbe(QWidget* watched) { watched->installEventFilter(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && !m_seen) {
            m_seen = true;
            watched->removeEventFilter(this);
            auto* window = static_cast<QWidget*>(watched);
            QTimer::singleShot(0, window, [window] {
                const auto now = std::chrono::system_clock::now().time_since_epoch();
                std::printf("first-paint-ns %lld\n",
                            static_cast<long long>(std::chrono::duration_cast<std::chrono::nanoseconds>(now).count()));
                std::fflush(stdout);
                window->close();
            });
        }
        return false;
    }

private:
    bool m_seen = false;
};

// TAVRO_PALETTE=dark: dark colours where the desktop has no theme to give
// them (a bare X session), and for seeing the editor as a dark desktop shows it.
void UseDarkPalette()
{
    QPalette dark;
    dark.setColor(QPalette::Window, QColor(53, 53, 53));
    dark.setColor(QPalette::WindowText, QColor(230, 230, 230));
    dark.setColor(QPalette::Base, QColor(30, 30, 30));
    dark.setColor(QPalette::AlternateBase, QColor(45, 45, 45));
    dark.setColor(QPalette::Text, QColor(220, 220, 220));
    dark.setColor(QPalette::Button, QColor(60, 60, 60));
    dark.setColor(QPalette::ButtonText, QColor(230, 230, 230));
    dark.setColor(QPalette::BrightText, QColor(255, 80, 80));
    dark.setColor(QPalette::Light, QColor(90, 90, 90));
    dark.setColor(QPalette::Midlight, QColor(75, 75, 75));
    dark.setColor(QPalette::Mid, QColor(45, 45, 45));
    dark.setColor(QPalette::Dark, QColor(25, 25, 25));
    dark.setColor(QPalette::Shadow, QColor(10, 10, 10));
    dark.setColor(QPalette::Highlight, QColor(42, 130, 218));
    dark.setColor(QPalette::HighlightedText, QColor(255, 255, 255));
    dark.setColor(QPalette::Link, QColor(110, 170, 255));
    dark.setColor(QPalette::ToolTipBase, QColor(53, 53, 53));
    dark.setColor(QPalette::ToolTipText, QColor(230, 230, 230));
    dark.setColor(QPalette::PlaceholderText, QColor(140, 140, 140));
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        dark.setColor(QPalette::Disabled, role, QColor(128, 128, 128));
    QApplication::setPalette(dark);
}

} // namespace

int main(int argc, char* argv[])
{
    // --help, --version and a mistyped option answer without needing a display.
    {
        QCoreApplication probe(argc, argv);
        SetIdentity();
        const CTavroCommandLine early = CTavroCommandLine::Parse(probe.arguments(), QDir::currentPath());
        switch (early.action) {
        case CTavroCommandLine::Action::ShowHelp:
        case CTavroCommandLine::Action::ShowVersion:
            std::fputs(early.message.toLocal8Bit().constData(), stdout);
            return 0;
        case CTavroCommandLine::Action::Error:
            std::fputs((early.message + QLatin1Char('\n')).toLocal8Bit().constData(), stderr);
            return 2;
        case CTavroCommandLine::Action::Run:
            break;
        }
    }

    QApplication app(argc, argv);
    SetIdentity();
    if (qEnvironmentVariable("TAVRO_PALETTE").compare(QLatin1String("dark"), Qt::CaseInsensitive) == 0)
        UseDarkPalette();
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/tavro.png")));
    // Lets the desktop match the windows to the installed tavro.desktop entry.
    QGuiApplication::setDesktopFileName(QStringLiteral("tavro"));

    const CTavroCommandLine commandLine = CTavroCommandLine::Parse(app.arguments(), QDir::currentPath());
    switch (commandLine.action) {
    case CTavroCommandLine::Action::ShowHelp:
    case CTavroCommandLine::Action::ShowVersion:
        std::fputs(commandLine.message.toLocal8Bit().constData(), stdout);
        return 0;
    case CTavroCommandLine::Action::Error:
        std::fputs((commandLine.message + QLatin1Char('\n')).toLocal8Bit().constData(), stderr);
        return 2;
    case CTavroCommandLine::Action::Run:
        break;
    }

    // A running instance takes the files and comes to the front; when it does
    // not answer, this one opens them itself.
    CInstanceChannel channel;
    // Printing is done here, so it is never handed over.
    const bool printing = commandLine.print || commandLine.printTo;
    if (!commandLine.files.isEmpty() && !commandLine.firstPaintTime && !printing
        && channel.SendToRunningInstance(commandLine.files))
        return 0;

    QtSettingsStore settings;
    QtMessageBox messages;
    QtBusyCursor busyCursor;
    CFileChooser files;
    CTavroApp theApp(settings, messages, files, &busyCursor);

    std::unique_ptr<FirstPaintProbe> probe;
    if (!theApp.InitInstance(commandLine, false))
        return 1;
    CMainFrame* mainFrame = theApp.MainFrame();
    messages.SetParent(mainFrame);
    if (printing) {
        // Print the named files and quit without showing a window.
        const bool printed = CPrintCommands::PrintFromCommandLine(theApp, commandLine);
        theApp.ExitInstance();
        return printed ? 0 : 1;
    }
    if (commandLine.firstPaintTime)
        probe = std::make_unique<FirstPaintProbe>(mainFrame);
    mainFrame->show();

    if (!commandLine.firstPaintTime) {
        // Documents left unsaved by a program that died are offered once the window shows.
        QTimer::singleShot(0, &theApp, &CTavroApp::OfferRecovery);
        channel.Listen();
        QObject::connect(&channel, &CInstanceChannel::filesReceived, mainFrame, [&theApp, mainFrame](const QStringList& list) {
            if (mainFrame->isMinimized())
                mainFrame->showNormal();
            mainFrame->raise();
            mainFrame->activateWindow();
            theApp.OpenFiles(list);
        });
    }

    const int result = QApplication::exec();
    theApp.ExitInstance();
    return result;
}
