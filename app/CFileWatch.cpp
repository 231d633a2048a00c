#include "app/CFileWatch.h"

#include "app/CFileProgress.h"
#include "app/CMainFrame.h"
#include "app/CTavroApp.h"
#include "app/CTavroDoc.h"
#include "app/FileIdentity.h"

#include <QDir>
#include <QFileInfo>
#include <QPointer>
#include <QSet>
#include <QStatusBar>

CFileWatch::CFileWatch(CTavroApp& app) : QObject(&app), m_app(app)
{
    m_settle.setSingleShot(true);
    m_settle.setInterval(250);
    connect(&m_settle, &QTimer::timeout, this, &CFileWatch::CheckAll);
    connect(&m_watcher, &QFileSystemWatcher::fileChanged, &m_settle, qOverload<>(&QTimer::start));
    connect(&m_watcher, &QFileSystemWatcher::directoryChanged, &m_settle, qOverload<>(&QTimer::start));
}

void CFileWatch::UpdatePaths()
{
    QSet<QString> wanted;
    for (CTavroDoc* doc : m_app.Documents()) {
        if (doc->GetPathName().isEmpty())
            continue;
        wanted.insert(doc->GetPathName());
        wanted.insert(QFileInfo(doc->GetPathName()).absolutePath());
    }
    const QStringList watched = m_watcher.files() + m_watcher.directories();
    QStringList gone;
    for (const QString& path : watched) {
        if (!wanted.contains(path))
            gone.append(path);
    }
    if (!gone.isEmpty())
        m_watcher.removePaths(gone);
    QStringList added;
    for (const QString& path : wanted) {
        // A file replaced by a rename is no longer watched: add it again.
        if (!watched.contains(path) && QFileInfo::exists(path))
            added.append(path);
    }
    if (!added.isEmpty())
        m_watcher.addPaths(added);
}

void CFileWatch::CheckAll()
{
    // A reload may show a message, whose event loop may bring more events:
    // they are looked at once this check is over.
    if (m_checking || CFileProgress::Busy()) {
        m_settle.start();
        return;
    }
    m_checking = true;
    QList<QPointer<CTavroDoc>> docs;
    for (CTavroDoc* doc : m_app.Documents())
        docs.append(doc);
    for (const QPointer<CTavroDoc>& doc : docs) {
        if (doc)
            Check(*doc);
    }
    m_checking = false;
    UpdatePaths();
}

void CFileWatch::Check(CTavroDoc& doc)
{
    const QString path = doc.GetPathName();
    if (path.isEmpty())
        return;
    const FileIdentity now = FileIdentity::Of(path);
    const FileIdentity& known = doc.DiskIdentity();
    if (now == known)
        return;
    const QString name = QDir::toNativeSeparators(path);
    if (!now.exists) {
        doc.SetDiskIdentity(now);
        doc.MarkFileMissing();
        const QString text = tr("'%1' was deleted or moved away by another program. The document is kept and "
                                "marked modified: Save writes the file again.").arg(name);
        doc.ShowFileNotice(text, false);
        Note(text);
        return;
    }
    if (!doc.IsModified() && doc.FileNotice().isEmpty()) {
        if (doc.Reload())
            Note(tr("'%1' was changed by another program and has been read again.").arg(name));
        return;
    }
    doc.ShowFileNotice(tr("'%1' was changed by another program. Reload it (your changes here are lost) or keep "
                          "your version?").arg(name),
                       true);
}

void CFileWatch::Note(const QString& text)
{
    m_lastNote = text;
    if (CMainFrame* frame = m_app.MainFrame())
        frame->statusBar()->showMessage(text, 10000);
}
