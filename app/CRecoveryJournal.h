#pragma once

#include "app/CMyEdit.h"
#include "app/FileIdentity.h"

#include <QDateTime>
#include <QList>
#include <QLockFile>
#include <QObject>
#include <QString>
#include <QThreadPool>
#include <QTimer>

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <string_view>
#include <thread>

class CDocumentJournal;

// Crash recovery: every modified document keeps a journal from which its text
// can be rebuilt after the program died.
//
// A journal names a base, the text the document started from (its file as
// loaded or last saved, identified by size, modification time, inode and a
// hash; or an empty text; or a copy of the text taken by the journal itself),
// and then records every change to the characters since, as offsets: the work
// per keystroke is a look-up of the offset and an append to a buffer in
// memory, whatever the document's size. A worker thread appends the buffer to
// the file about a second after the first change, in one framed, checksummed
// record, and flushes it to disk; a record cut short by a crash fails its
// checksum and is left out.
//
// Each running program keeps its journals in a folder of its own, with a lock
// file holding its process id. At start-up the folders whose owner is no
// longer running are offered for recovery.
class CRecoveryJournal : public QObject
{
    Q_OBJECT

public:
    // `folder` holds the per-program folders; it is created when needed.
    explicit CRecoveryJournal(const QString& folder, QObject* parent = nullptr);
    // Waits for the writes under way, then removes this program's folder if
    // no journal is left in it.
    ~CRecoveryJournal() override;

    // The folder under the user's state (or data) folder.
    static QString DefaultFolder();
    QString Folder() const { return m_root; }

    // Starts a journal for a document's engine; it listens to the engine
    // until destroyed, and removes its file when destroyed.
    std::unique_ptr<CDocumentJournal> Attach(CMyEdit& edit);

    // How long after a change its record is written.
    void SetWriteDelay(int milliseconds) { m_writeDelay = milliseconds; }
    int WriteDelay() const { return m_writeDelay; }
    // Blocks until every record handed to the worker is on disk (tests, exit).
    void WaitForWrites();

    // --- Recovery -------------------------------------------------------------

    struct Orphan
    {
        QString journalPath;
        QString documentPath; // empty for a document never saved
        QString title;
        QDateTime lastChange;
    };
    // Journals left by programs no longer running. Their folders stay locked
    // by this program until Forget, Discard or Recover has dealt with them.
    QList<Orphan> FindOrphans();
    // Leaves the journals for a later start.
    void ReleaseOrphans();
    void Discard(const Orphan& orphan);

    struct Recovered
    {
        bool ok = false;
        QString documentPath;
        QString title;
        // What could not be recovered, for the user; empty when all was.
        QString problem;
        // The journal the recovered document should carry on from (its base
        // and its records so far), so a second crash loses nothing either.
        std::string baseMeta;
        std::string edits;
    };
    // Rebuilds the document's text into `edit`. The journal file stays until
    // Discard: a failed recovery can be tried again.
    Recovered Recover(const Orphan& orphan, CMyEdit& edit);

private:
    friend class CDocumentJournal;

    void Post(std::function<void()> job);
    // On the writer's thread: appends a record unless the journal failed before.
    void Append(const std::string& path, char kind, std::string_view body);
    void WorkerLoop();
    QString NewJournalPath();
    bool EnsureSession();

    QString m_root;
    QString m_session;
    std::unique_ptr<QLockFile> m_sessionLock;
    std::vector<std::unique_ptr<QLockFile>> m_orphanLocks;
    int m_writeDelay = 1000;
    int m_nextJournal = 0;

    // Journals a write failed in (writer's thread only).
    std::set<std::string> m_failed;
    // Hashes of base files, read beside the writer.
    QThreadPool m_hashing;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::condition_variable m_idle;
    std::deque<std::function<void()>> m_jobs;
    bool m_busy = false;
    bool m_stop = false;
    std::thread m_worker;
};

// The journal of one document. CTavroDoc tells it what the text is based on;
// the engine tells it every change.
class CDocumentJournal final : public ITextChangeListener
{
public:
    CDocumentJournal(CRecoveryJournal& owner, CMyEdit& edit);
    ~CDocumentJournal() override;

    // The text now equals the file `path` as it is on disk (`identity`): after
    // loading it (`keepChanges`: the changes recorded since the load, such as
    // lines broken for their length, stay) or after saving it (they go).
    void SetFileBase(const QString& path, const FileIdentity& identity, bool keepChanges);
    // The text started empty (a new document).
    void SetEmptyBase(const QString& title);
    // Nothing on disk matches the text any more (the file went away): the
    // next write takes a copy of the text as the base.
    void ForgetBase();
    // A recovered document carries on with the journal it was rebuilt from.
    void ContinueFrom(const std::string& baseMeta, const std::string& edits);
    void SetTitle(const QString& title) { m_title = title; }

    // Writes what is pending now rather than after the delay.
    void WriteNow();
    QString FilePath() const { return m_path; }
    bool HasFile() const { return m_fileCreated; }

    // ITextChangeListener
    void OnTextInserted(std::ptrdiff_t offset, std::u16string_view text, std::ptrdiff_t lengthAfter) override;
    void OnTextDeleted(std::ptrdiff_t offset, std::ptrdiff_t count, std::ptrdiff_t lengthAfter) override;
    void OnTextReplaced() override;

private:
    enum class Base : std::uint8_t { Unknown = 0, Empty = 1, File = 2, Copy = 3 };

    void Changed();
    void RemoveFile();
    std::string Meta() const;

    CRecoveryJournal& m_owner;
    CMyEdit& m_edit;
    QString m_path;
    Base m_base = Base::Unknown;
    QString m_documentPath;
    QString m_title;
    FileIdentity m_identity;
    std::string m_pending;
    std::string m_continuedMeta;
    bool m_fileCreated = false;
    QTimer m_timer;
};
