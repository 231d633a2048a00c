#pragma once

#include <QFileSystemWatcher>
#include <QObject>
#include <QTimer>

class CTavroApp;
class CTavroDoc;

// Watches the file of every open document, and its folder (programs often
// save by writing a new file and renaming it over the old one), and acts when
// another program changed or removed it:
// - an unmodified document is read again in place, with a note in the status bar;
// - a modified one gets a notice in its windows offering Reload or Keep Mine;
// - a file gone away is reported and its document marked modified.
// The document's own saves change what it remembers of the file first, so
// they never count as a change.
class CFileWatch : public QObject
{
    Q_OBJECT

public:
    explicit CFileWatch(CTavroApp& app);

    // Follows the documents' paths after an open, a save or a close.
    void UpdatePaths();
    // Compares every document with its file now.
    void CheckAll();
    // What the last check said in the status bar (tests).
    QString LastNote() const { return m_lastNote; }

private:
    void Check(CTavroDoc& doc);
    void Note(const QString& text);

    CTavroApp& m_app;
    QFileSystemWatcher m_watcher;
    // Events come in bursts (a save is several of them): one check after the burst.
    QTimer m_settle;
    QString m_lastNote;
    bool m_checking = false;
};
