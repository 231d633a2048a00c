#pragma once

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

class CChildFrame;
class CFileWatch;
class CHelpWindow;
class CRecoveryJournal;
class CMainFrame;
class CTavroDoc;
class CFileProgress;
class IBusyCursor;
class IFileChooser;
class IMessageBox;
class ISettingsStore;
struct CTavroCommandLine;

// The application: settings, the language registrations, the documents and
// their windows, and the application-wide commands (New, Open, Save, the
// recent files, Help, About).
class CTavroApp : public QObject
{
    Q_OBJECT

public:
    static constexpr int kRecentFileCount = 4;

    // The store, message box and file chooser outlive the application
    // object; tests hand in their own.
    CTavroApp(ISettingsStore& settings, IMessageBox& messages, IFileChooser& files,
              IBusyCursor* busyCursor = nullptr);
    ~CTavroApp() override;

    // Registers the languages, creates the main window and opens what the
    // command line names (a new document when it names nothing). A file that
    // cannot be opened gets its message and the program starts all the same.
    bool InitInstance(const CTavroCommandLine& commandLine, bool showMainWindow = true);
    // Writes the language configurations and the recent-file list back.
    void ExitInstance();

    CMainFrame* MainFrame() const { return m_mainFrame.get(); }
    ISettingsStore& Settings() const { return m_settings; }
    IMessageBox& Messages() const { return m_messages; }
    IBusyCursor* BusyCursor() const { return m_busyCursor; }
    // Shows the progress of reading and writing big files.
    CFileProgress& FileProgress() const { return *m_fileProgress; }

    // --- Languages ------------------------------------------------------------
    const QHash<QString, QString>& ExtLanguageMap() const { return m_extLanguageMap; }
    // The language of a file: its last extension, lower-cased, through the
    // table; "Default" for anything else.
    QString LanguageForPath(const QString& path) const;
    static QString OpenFileFilter();   // the Open dialog's filter, in Qt's form
    static QString SaveFileFilter();   // the Save As dialog's filter

    // --- Documents ------------------------------------------------------------
    CTavroDoc* OnFileNew();
    void OnFileOpen();
    // Opens a file as a document, or activates its window when it is open already.
    CTavroDoc* OpenDocumentFile(const QString& path);
    void OpenFiles(const QStringList& paths);
    CTavroDoc* FindDocument(const QString& path) const;
    QList<CTavroDoc*> Documents() const;
    CChildFrame* CreateFrame(CTavroDoc* doc);

    bool DoFileSave(CTavroDoc* doc);
    // Save (saveAs false, asking for a name only when the document has none)
    // or Save As. False when cancelled or when saving failed.
    bool DoSave(CTavroDoc* doc, bool saveAs);
    // Asks whether to save a modified document: false means Cancel, or a save that failed.
    bool SaveModified(CTavroDoc& doc);
    bool SaveAllModified();
    // Closes every window of the document after asking; false when cancelled.
    bool CloseDocument(CTavroDoc* doc);
    void CloseAllDocuments();

    // --- Recent files ---------------------------------------------------------
    QStringList RecentFiles() const { return m_recentFiles; }
    void AddToRecentFileList(const QString& path);
    void OpenRecentFile(int index);

    // --- Files changed elsewhere, crash recovery --------------------------------
    // Where the recovery journals go (before InitInstance; default: the user's
    // state folder). Tests point it into a temporary folder.
    void SetRecoveryFolder(const QString& folder) { m_recoveryFolder = folder; }
    CRecoveryJournal* Journal() const { return m_journal.get(); }
    CFileWatch* FileWatch() const { return m_fileWatch; }
    enum class RecoveryChoice { Recover, Discard, Later };
    // Replaces the question asked at start-up (tests).
    void SetRecoveryPrompt(std::function<RecoveryChoice(const QString&)> prompt) { m_recoveryPrompt = std::move(prompt); }
    // Offers the documents a program that is no longer running left unsaved.
    void OfferRecovery();

    // --- Help -----------------------------------------------------------------
    void OnHelpTopics();
    void OnAppAbout();
    CHelpWindow* HelpWindow() const;

    int m_bSpellCheckerAvailable = 0;

Q_SIGNALS:
    void recentFileListChanged();
    void documentListChanged();

private:
    void FillExtLanguageMap();
    void LoadRecentFileList();
    void SaveRecentFileList();
    void OnLastFrameClosed(CTavroDoc* doc);
    CTavroDoc* AddDocument(std::unique_ptr<CTavroDoc> doc);
    QString ProposedSaveName(const CTavroDoc& doc) const;

    RecoveryChoice AskAboutRecovery(const QString& text);

    ISettingsStore& m_settings;
    IMessageBox& m_messages;
    IFileChooser& m_files;
    IBusyCursor* m_busyCursor;
    std::unique_ptr<CFileProgress> m_fileProgress;
    bool m_openStopped = false; // the last OpenDocumentFile was stopped by the user

    QString m_recoveryFolder;
    // Before the documents: destroyed after them, once their journals are gone.
    std::unique_ptr<CRecoveryJournal> m_journal;
    CFileWatch* m_fileWatch = nullptr;
    std::function<RecoveryChoice(const QString&)> m_recoveryPrompt;
    QHash<QString, QString> m_extLanguageMap;
    std::vector<std::unique_ptr<CTavroDoc>> m_documents;
    // Documents whose last window has closed; deleted once their panes are gone.
    std::vector<std::unique_ptr<CTavroDoc>> m_retired;
    std::unique_ptr<CMainFrame> m_mainFrame;
    QPointer<CHelpWindow> m_helpWindow;
    QStringList m_recentFiles;
    int m_untitledCount = 0;
};
