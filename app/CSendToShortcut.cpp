#include "app/CSendToShortcut.h"

#include "platform/IMessageBox.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QStandardPaths>

namespace {

// Marks the entries this program wrote, so it may replace them without asking.
constexpr char kMarker[] = "X-Tavro-Shortcut=true";

} // namespace

QString CSendToShortcut::QuoteExecArgument(const QString& argument)
{
    static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
    bool needsQuotes = argument.isEmpty();
    for (QChar c : argument)
        needsQuotes = needsQuotes || reserved.contains(c);
    QString out;
    if (needsQuotes) {
        out += QLatin1Char('"');
        for (QChar c : argument) {
            if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') || c == QLatin1Char('\\'))
                out += QLatin1Char('\\');
            out += c;
        }
        out += QLatin1Char('"');
    } else {
        out = argument;
    }
    // A literal percent sign would be read as a field code.
    out.replace(QLatin1Char('%'), QStringLiteral("%%"));
    // The value is a desktop entry string as well, where a backslash escapes.
    out.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
    return out;
}

QByteArray CSendToShortcut::EntryText(const QString& program)
{
    QByteArray text = "[Desktop Entry]\n"
                      "Type=Application\n"
                      "Name=Tavro\n"
                      "GenericName=Text Editor\n"
                      "Comment=Edit source code, web pages and scripts with syntax colouring\n";
    text += "Exec=" + QuoteExecArgument(program).toUtf8() + " %F\n";
    // The same offer as the packaged entry, but starting this very program.
    text += "Icon=tavro\n"
            "Terminal=false\n"
            "Categories=Development;TextEditor;\n"
            "MimeType=text/plain;text/x-c++src;text/x-c++hdr;text/x-csrc;text/x-chdr;text/x-csharp;text/x-java;"
            "text/x-sql;text/html;text/xml;application/xml;application/xslt+xml;application/javascript;"
            "text/vbscript;\n";
    text += kMarker;
    text += '\n';
    return text;
}

bool CSendToShortcut::IsOurs(const QString& path)
{
    QFile file(path);
    if (!file.exists())
        return true;
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QList<QByteArray> lines = file.readAll().split('\n');
    for (const QByteArray& line : lines) {
        if (line.trimmed() == kMarker)
            return true;
    }
    return false;
}

QString CSendToShortcut::DefaultFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::ApplicationsLocation);
}

CSendToShortcut::Result CSendToShortcut::Create(const QString& folder, const QString& program,
                                                IMessageBox& messages)
{
    const QString path = QDir(folder).filePath(QLatin1String(kFileName));
    if (!IsOurs(path)) {
        const std::u16string question =
            QStringLiteral("%1 already exists and was not made by Tavro.\nReplace it?").arg(path).toStdU16String();
        if (messages.Show(question, IMessageBox::Buttons::YesNo, IMessageBox::Icon::Question) !=
            IMessageBox::Answer::Yes)
            return Result::Declined;
    }
    QSaveFile file(path);
    const bool written = QDir().mkpath(folder) && file.open(QIODevice::WriteOnly) &&
                         file.write(EntryText(program)) >= 0 && file.commit();
    if (!written) {
        messages.Show(QStringLiteral("Could not write the shortcut %1.").arg(path).toStdU16String(),
                      IMessageBox::Buttons::Ok, IMessageBox::Icon::Warning);
        return Result::Failed;
    }
    return Result::Written;
}
