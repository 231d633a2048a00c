#pragma once

#include "app/CMyEdit.h"
#include "app/FileIdentity.h"
#include "engine/IObserver.h"

#include <QList>
#include <QObject>
#include <QString>

#include <memory>

class CChildFrame;
class CDocumentJournal;
class CTavroApp;

// A document: one text engine and the windows showing it. It holds no text
// of its own; new, open, save and the modified state are the engine's.
class CTavroDoc : public QObject
{
    Q_OBJECT

public:
    explicit CTavroDoc(CTavroApp& app);
    ~CTavroDoc() override;

    bool OnNewDocument();
    bool OnOpenDocument(const QString& path);
    bool OnSaveDocument(const QString& path);

    // The engine's modified state; the framework-side flag below is kept only
    // for what sets it and is never consulted.
    bool IsModified() const;
    void SetModifiedFlag(bool modified) { m_modifiedFlag = modified; }

    CMyEdit& GetEdit() { return m_edit; }
    const CMyEdit& GetEdit() const { return m_edit; }
    QString GetLanguageName() const;

    QString GetTitle() const { return m_title; }
    void SetTitle(const QString& title);
    QString GetPathName() const { return m_pathName; }
    // Sets the path and, from its file name, the title.
    void SetPathName(const QString& path);

    // --- The file on disk and the recovery journal ---------------------------
    // The file as this document last read or wrote it.
    const FileIdentity& DiskIdentity() const { return m_diskIdentity; }
    void SetDiskIdentity(const FileIdentity& identity) { m_diskIdentity = identity; }
    CDocumentJournal* Journal() const { return m_journal.get(); }
    // Reads the file again in place; carets, scroll positions and bookmarks
    // stay where their lines still exist. The undo history starts afresh.
    bool Reload();
    // The file went away: the document stays, modified, so Save writes it again.
    void MarkFileMissing();
    // Shows (empty text: hides) a notice about the file in every window of
    // the document; `offerReload` adds Reload and Keep Mine.
    void ShowFileNotice(const QString& text, bool offerReload);
    QString FileNotice() const { return m_fileNotice; }
    bool FileNoticeOffersReload() const { return m_noticeOffersReload; }

    const QList<CChildFrame*>& GetFrames() const { return m_frames; }
    void AddFrame(CChildFrame* frame);
    void RemoveFrame(CChildFrame* frame);

Q_SIGNALS:
    void titleChanged();
    void modifiedChanged(bool modified);
    void lastFrameClosed(CTavroDoc* doc);
    void fileNoticeChanged();

private:
    // Follows the engine's notifications to tell the windows when the
    // modified state changes.
    class EngineWatch final : public IObserver
    {
    public:
        explicit EngineWatch(CTavroDoc& doc) : m_doc(doc) {}
        void OnUpdate(ISubject* subject, IMessage* message) override;

    private:
        CTavroDoc& m_doc;
    };

    void CheckModified();
    void FileLoaded(const QString& path);

    CTavroApp& m_app;
    CMyEdit m_edit;
    EngineWatch m_watch{*this};
    QString m_title;
    QString m_pathName;
    QList<CChildFrame*> m_frames;
    FileIdentity m_diskIdentity;
    std::unique_ptr<CDocumentJournal> m_journal;
    QString m_fileNotice;
    bool m_noticeOffersReload = false;
    bool m_modifiedFlag = false;
    bool m_lastModified = false;
};
