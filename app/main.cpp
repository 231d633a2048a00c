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
