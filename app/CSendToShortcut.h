#pragma once

#include <QString>

class IMessageBox;

// The desktop's way to offer the editor for a file: a desktop entry,
// tavro.desktop, in the user's applications folder, starting the program with
// the chosen files. A file of that name we did not write is replaced only
// when the user agrees.
class CSendToShortcut
{
public:
    enum class Result { Written, Declined, Failed };

    static constexpr const char* kFileName = "tavro.desktop";

    // The entry's text for a program at this path.
    static QByteArray EntryText(const QString& program);
    // A desktop entry Exec argument: quoted when it needs it, then escaped
    // as a desktop entry string.
    static QString QuoteExecArgument(const QString& argument);
    // True when the file is one of ours (or is not there at all).
    static bool IsOurs(const QString& path);

    // Writes the entry into folder (created if missing) for the program.
    static Result Create(const QString& folder, const QString& program, IMessageBox& messages);
    // The user's applications folder.
    static QString DefaultFolder();
};
