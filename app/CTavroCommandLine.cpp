#include "app/CTavroCommandLine.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>

namespace {

QCommandLineOption Hidden(const QStringList& names, const QString& description,
                          const QString& valueName = {})
{
    QCommandLineOption option(names, description, valueName);
    option.setFlags(QCommandLineOption::HiddenFromHelp);
    return option;
}

} // namespace

CTavroCommandLine CTavroCommandLine::Parse(const QStringList& arguments, const QString& currentFolder)
{
    CTavroCommandLine result;

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Tavro, a text editor for programmers. Opens each FILE in its own window."));
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    // Not addHelpOption(): it also offers --help-all, which would start the
    // editor here instead of printing anything.
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Displays help on commandline options."));
    parser.addOption(help);
    const QCommandLineOption version = parser.addVersionOption();
    const QCommandLineOption print({QStringLiteral("p"), QStringLiteral("print")},
                                   QStringLiteral("Print the files on the default printer, then quit."));
    const QCommandLineOption printTo({QStringLiteral("pt"), QStringLiteral("print-to")},
                                     QStringLiteral("Print FILE on PRINTER (DRIVER and PORT are ignored), "
                                                    "then quit."));
    const QCommandLineOption automation = Hidden({QStringLiteral("automation"), QStringLiteral("Automation")},
                                                 QStringLiteral("Ignored."));
    const QCommandLineOption embedding = Hidden({QStringLiteral("embedding"), QStringLiteral("Embedding")},
                                                QStringLiteral("Ignored."));
    const QCommandLineOption unregister = Hidden({QStringLiteral("unregister"), QStringLiteral("Unregister"),
                                                  QStringLiteral("unregserver"), QStringLiteral("Unregserver")},
                                                 QStringLiteral("Ignored."));
    const QCommandLineOption dde = Hidden({QStringLiteral("dde")}, QStringLiteral("Ignored."));
    const QCommandLineOption firstPaint = Hidden({QStringLiteral("first-paint-time")},
                                                 QStringLiteral("Print milliseconds to first paint, then quit."));
    for (const QCommandLineOption& option : {print, printTo, automation, embedding, unregister, dde, firstPaint})
        parser.addOption(option);
    // Qt's own options are taken out by QApplication; they are known here too
    // so that the command line can be checked before any display is opened.
    for (const char* name : {"platform", "platformpluginpath", "platformtheme", "plugin", "style", "stylesheet",
                             "display", "geometry", "qwindowgeometry", "title", "qwindowtitle", "icon",
                             "qwindowicon", "session", "name", "qmljsdebugger"})
        parser.addOption(Hidden({QString::fromLatin1(name)}, QStringLiteral("Qt option."), QStringLiteral("value")));
    for (const char* name : {"reverse", "widgetcount", "sync", "nograb", "dograb"})
        parser.addOption(Hidden({QString::fromLatin1(name)}, QStringLiteral("Qt option.")));
    parser.addPositionalArgument(QStringLiteral("FILE"), QStringLiteral("A file to open."),
                                 QStringLiteral("[FILE...]"));

    const QString program = QStringLiteral("tavro");
    if (!parser.parse(arguments)) {
        result.action = Action::Error;
        result.message = QStringLiteral("%1: %2\nTry '%1 --help' for the options.").arg(program, parser.errorText());
        return result;
    }
    if (parser.isSet(help)) {
        result.action = Action::ShowHelp;
        result.message = parser.helpText();
        return result;
    }
    if (parser.isSet(version)) {
        result.action = Action::ShowVersion;
        result.message = QStringLiteral("%1 %2\n").arg(program, QCoreApplication::applicationVersion());
        return result;
    }

    result.print = parser.isSet(print);
    result.printTo = parser.isSet(printTo);
    result.automation = parser.isSet(automation);
    result.embedding = parser.isSet(embedding);
    result.unregister = parser.isSet(unregister);
    result.dde = parser.isSet(dde);
    result.firstPaintTime = parser.isSet(firstPaint);

    QStringList positional = parser.positionalArguments();
    if (result.printTo && !positional.isEmpty()) {
        // "-pt FILE PRINTER DRIVER PORT": only the first argument names a file.
        result.printToArgs = positional.mid(1);
        positional = positional.mid(0, 1);
    }
    const QDir base(currentFolder);
    for (const QString& name : positional) {
        if (!name.isEmpty())
            result.files.append(QDir::cleanPath(base.absoluteFilePath(name)));
    }
    return result;
}
