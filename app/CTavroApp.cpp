#include "app/CTavroApp.h"

#include "app/CAboutDlg.h"
#include "app/CChildFrame.h"
#include "app/CFileProgress.h"
#include "app/CFileWatch.h"
#include "app/CHelpWindow.h"
#include "app/CMainFrame.h"
#include "app/COptionPropSheet.h"
#include "app/CRecoveryJournal.h"
#include "app/CTavroCommandLine.h"
#include "app/CTavroDoc.h"
#include "app/IFileChooser.h"
#include "engine/SECEdit.h"
#include "platform/IMessageBox.h"
#include "platform/ISettingsStore.h"
#include "syntax/BuiltInLanguages.h"
#include "syntax/SECEditLangRegistry.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QMdiArea>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <algorithm>

namespace {

constexpr char16_t kRecentSection[] = u"Recent File List";

struct Extension
{
    const char* extension;
    const char* language;
};

constexpr Extension kExtensions[] = {
    {".c", "C++"},     {".cpp", "C++"},       {".inl", "C++"},    {".h", "C++"},   {".cs", "C#"},
    {".idl", "IDL"},   {".odl", "IDL"},       {".java", "JScript"}, {".js", "JScript"},
    {".dsm", "VBScript1"}, {".vbs", "VBScript3"}, {".mod", "VB"},  {".bas", "VB"},  {".cls", "VB"},
    {".frm", "VB"},    {".sql", "SQL"},       {".htm", "HTML"},   {".html", "HTML"}, {".xml", "XML"},
    {".xsl", "XSL"},
};

// The Open dialog's filter entries, description and patterns.
struct Filter
{
    const char* description;
    const char* patterns;
};

constexpr Filter kOpenFilters[] = {
    {"ASCII Files (*.asc)", "*.asc"},
    {"Text Files (*.TXT)", "*.TXT"},
    {"C++ Implementation (.c;.cpp;.cxx;.tli)", "*.c;*.cpp;*.cxx;*.tli"},
    {"C++ Header (.h;.hpp;.hxx;.inl;.tlh)", "*.h;*.hpp;*.hxx;*.inl;*.tlh"},
    {"SQL Script(.sql)", "*.sql"},
    {"HTML Files(.htm;.html;.asp)", "*.htm;*.html;*.asp"},
    {"Script Files(.js;.vbs)", "*.js;*.vbs"},
    {"XML Files(.xml;.xsl;.dtd)", "*.xml;*.xsl;*.dtd"},
    {"C# Implementation (*.cs)", "*.cs"},
    {"Java Files(*.java)", "*.java"},
    // "*.*" would hide every file without a dot here.
    {"All Files (*.*)", "*"},
};

// Qt reads a filter's patterns from the last parentheses of its text.
QString QtFilterEntry(const Filter& filter)
{
    QString description = QString::fromLatin1(filter.description);
    QString patterns = QString::fromLatin1(filter.patterns);
    patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
    if (description.endsWith(QStringLiteral("(%1)").arg(patterns)))
        return description;
    return QStringLiteral("%1 (%2)").arg(description, patterns);
}

QString CleanAbsolute(const QString& path)
{
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

// Two names of one file compare equal: symbolic links and "./" resolved when the file exists.
QString Canonical(const QString& path)
{
    const QString canonical = QFileInfo(path).canonicalFilePath();
    return canonical.isEmpty() ? CleanAbsolute(path) : canonical;
}

} // namespace

CTavroApp::CTavroApp(ISettingsStore& settings, IMessageBox& messages, IFileChooser& files,
                     IBusyCursor* busyCursor)
    : m_settings(settings), m_messages(messages), m_files(files), m_busyCursor(busyCursor),
      m_fileProgress(std::make_unique<CFileProgress>())
{
    Q_INIT_RESOURCE(tavro);
    FillExtLanguageMap();
}

CTavroApp::~CTavroApp()
{
    // Windows (and the panes observing the engines) go before the documents.
    delete m_helpWindow.data();
    m_mainFrame.reset();
    m_retired.clear();
    m_documents.clear();
    m_journal.reset();
    // The registry outlives this object; its loaders and savers must not keep
    // pointing at a settings store that may go with it.
    RegisterBuiltInLanguages(SECEditLangRegistry::Instance(), nullptr);
}

bool CTavroApp::InitInstance(const CTavroCommandLine& commandLine, bool showMainWindow)
{
    LoadRecentFileList();

    m_journal = std::make_unique<CRecoveryJournal>(m_recoveryFolder.isEmpty() ? CRecoveryJournal::DefaultFolder()
                                                                              : m_recoveryFolder);
    m_fileWatch = new CFileWatch(*this);
    connect(this, &CTavroApp::documentListChanged, m_fileWatch, &CFileWatch::UpdatePaths);

    SECEditLangRegistry& registry = SECEditLangRegistry::Instance();
    RegisterBuiltInLanguages(registry, &m_settings);
    SECEdit::SetLangLookup(&registry.GetLookup());

    m_mainFrame = std::make_unique<CMainFrame>(*this);
    m_mainFrame->RestorePlacement();
    m_mainFrame->RestoreBarState();

    // The shell's verbs for automation are accepted and ignored; for the
    // print verbs the named files open here and main() prints them.
    if (commandLine.files.isEmpty())
        OnFileNew();
    else
        OpenFiles(commandLine.files);

    if (showMainWindow) {
        m_mainFrame->show();
        QTimer::singleShot(0, this, &CTavroApp::OfferRecovery);
    }
    return true;
}

void CTavroApp::ExitInstance()
{
    SECEditLangRegistry::Instance().SaveLangConfigs();
    SaveRecentFileList();
}

// --- Languages ------------------------------------------------------------

void CTavroApp::FillExtLanguageMap()
{
    m_extLanguageMap.reserve(std::size(kExtensions));
    for (const Extension& entry : kExtensions)
        m_extLanguageMap.insert(QString::fromLatin1(entry.extension), QString::fromLatin1(entry.language));
}

QString CTavroApp::LanguageForPath(const QString& path) const
{
    const QString suffix = QFileInfo(path).suffix();
    if (!suffix.isEmpty()) {
        const auto found = m_extLanguageMap.constFind(QLatin1Char('.') + suffix.toLower());
        if (found != m_extLanguageMap.constEnd())
            return found.value();
    }
    return QStringLiteral("Default");
}

QString CTavroApp::OpenFileFilter()
{
    QStringList entries;
    for (const Filter& filter : kOpenFilters)
        entries.append(QtFilterEntry(filter));
    return entries.join(QStringLiteral(";;"));
}

QString CTavroApp::SaveFileFilter()
{
    return QStringLiteral("Tavro Files (*.asc);;All Files (*)");
}

// --- Documents ------------------------------------------------------------

CTavroDoc* CTavroApp::AddDocument(std::unique_ptr<CTavroDoc> doc)
{
    CTavroDoc* raw = doc.get();
    connect(raw, &CTavroDoc::lastFrameClosed, this, &CTavroApp::OnLastFrameClosed);
    m_documents.push_back(std::move(doc));
    Q_EMIT documentListChanged();
    return raw;
}

CTavroDoc* CTavroApp::OnFileNew()
{
    auto doc = std::make_unique<CTavroDoc>(*this);
    if (!doc->OnNewDocument())
        return nullptr;
    doc->SetTitle(QStringLiteral("Tavro%1").arg(++m_untitledCount));
    CTavroDoc* raw = AddDocument(std::move(doc));
    CreateFrame(raw);
    return raw;
}

void CTavroApp::OnFileOpen()
{
    const QString folder = QString::fromStdU16String(m_settings.ReadString(u"Settings", u"DefaultDir", u""));
    const QString path = m_files.ChooseOpenFile(m_mainFrame.get(), tr("Open File"), folder, OpenFileFilter());
    if (path.isEmpty())
        return;
    if (!QFileInfo::exists(path)) {
        const std::u16string question =
            tr("%1\nThis file does not exist.\nDo you want to create it?").arg(QDir::toNativeSeparators(path)).toStdU16String();
        if (m_messages.Show(question, IMessageBox::Buttons::YesNo, IMessageBox::Icon::Question)
            != IMessageBox::Answer::Yes)
            return;
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
            m_messages.Show(tr("Cannot create the file '%1': %2.").arg(QDir::toNativeSeparators(path), file.errorString())
                                .toStdU16String(),
                            IMessageBox::Buttons::Ok, IMessageBox::Icon::Error);
            return;
        }
    }
    OpenDocumentFile(path);
}

CTavroDoc* CTavroApp::FindDocument(const QString& path) const
{
    const QString wanted = Canonical(path);
    for (const auto& doc : m_documents) {
        if (!doc->GetPathName().isEmpty() && Canonical(doc->GetPathName()) == wanted)
            return doc.get();
    }
    return nullptr;
}

QList<CTavroDoc*> CTavroApp::Documents() const
{
    QList<CTavroDoc*> list;
    for (const auto& doc : m_documents)
        list.append(doc.get());
    return list;
}

CTavroDoc* CTavroApp::OpenDocumentFile(const QString& path)
{
    const QString fullPath = CleanAbsolute(path);
    if (CTavroDoc* open = FindDocument(fullPath)) {
        if (!open->GetFrames().isEmpty())
            m_mainFrame->ActivateChildFrame(open->GetFrames().constFirst());
        return open;
    }
    auto doc = std::make_unique<CTavroDoc>(*this);
    m_openStopped = false;
    if (!doc->OnOpenDocument(fullPath)) {
        m_openStopped = doc->GetEdit().WasStopped();
        return nullptr; // the engine has told the user why, unless the user stopped it
    }
    doc->SetPathName(fullPath);
    CTavroDoc* raw = AddDocument(std::move(doc));
    AddToRecentFileList(fullPath);
    CreateFrame(raw);
    return raw;
}

void CTavroApp::OpenFiles(const QStringList& paths)
{
    for (const QString& path : paths)
        OpenDocumentFile(path);
}

CChildFrame* CTavroApp::CreateFrame(CTavroDoc* doc)
{
    if (!doc || !m_mainFrame)
        return nullptr;
    auto* frame = new CChildFrame(*this, *doc);
    m_mainFrame->AddChildFrame(frame);
    return frame;
}

void CTavroApp::OnLastFrameClosed(CTavroDoc* doc)
{
    const auto it = std::find_if(m_documents.begin(), m_documents.end(),
                                 [doc](const auto& owned) { return owned.get() == doc; });
    if (it == m_documents.end())
        return;
    // The frame being destroyed still has panes attached to the engine.
    m_retired.push_back(std::move(*it));
    m_documents.erase(it);
    QTimer::singleShot(0, this, [this] { m_retired.clear(); });
    Q_EMIT documentListChanged();
}

QString CTavroApp::ProposedSaveName(const CTavroDoc& doc) const
{
    if (!doc.GetPathName().isEmpty())
        return doc.GetPathName();
    QString name = doc.GetTitle();
    if (QFileInfo(name).suffix().isEmpty())
        name += QStringLiteral(".asc");
    const QString folder = QString::fromStdU16String(m_settings.ReadString(u"Settings", u"DefaultDir", u""));
    return folder.isEmpty() ? name : QDir(folder).filePath(name);
}

bool CTavroApp::DoFileSave(CTavroDoc* doc)
{
    return DoSave(doc, false);
}

bool CTavroApp::DoSave(CTavroDoc* doc, bool saveAs)
{
    if (!doc)
        return false;
    QString path = doc->GetPathName();
    if (saveAs || path.isEmpty()) {
        path = m_files.ChooseSaveFile(m_mainFrame.get(), tr("Save As"), ProposedSaveName(*doc), SaveFileFilter(),
                                      QStringLiteral("asc"));
        if (path.isEmpty())
            return false;
        path = CleanAbsolute(path);
    }
    if (!doc->OnSaveDocument(path))
        return false; // the engine has reported why; the document stays modified
    if (path != doc->GetPathName()) {
        doc->SetPathName(path);
        AddToRecentFileList(path);
        m_fileWatch->UpdatePaths();
    }
    return true;
}

bool CTavroApp::SaveModified(CTavroDoc& doc)
{
    if (!doc.IsModified())
        return true;
    const QString name = doc.GetPathName().isEmpty() ? doc.GetTitle() : QDir::toNativeSeparators(doc.GetPathName());
    const IMessageBox::Answer answer = m_messages.Show(tr("Save changes to %1?").arg(name).toStdU16String(),
                                                       IMessageBox::Buttons::YesNoCancel,
                                                       IMessageBox::Icon::Warning);
    switch (answer) {
    case IMessageBox::Answer::Yes: return DoFileSave(&doc);
    case IMessageBox::Answer::No: return true;
    default: return false;
    }
}

bool CTavroApp::SaveAllModified()
{
    for (CTavroDoc* doc : Documents()) {
        if (!SaveModified(*doc))
            return false;
    }
    return true;
}

bool CTavroApp::CloseDocument(CTavroDoc* doc)
{
    if (!doc || !SaveModified(*doc))
        return false;
    const QList<CChildFrame*> frames = doc->GetFrames();
    for (CChildFrame* frame : frames)
        frame->CloseWithoutAsking();
    return true;
}

void CTavroApp::CloseAllDocuments()
{
    for (CTavroDoc* doc : Documents()) {
        const QList<CChildFrame*> frames = doc->GetFrames();
        for (CChildFrame* frame : frames)
            frame->CloseWithoutAsking();
    }
}

// --- Recent files ---------------------------------------------------------

void CTavroApp::LoadRecentFileList()
{
    m_recentFiles.clear();
    for (int i = 1; i <= kRecentFileCount; ++i) {
        const std::u16string key = u"File" + QString::number(i).toStdU16String();
        const QString file = QString::fromStdU16String(m_settings.ReadString(kRecentSection, key, u""));
        if (!file.isEmpty() && !m_recentFiles.contains(file))
            m_recentFiles.append(file);
    }
    Q_EMIT recentFileListChanged();
}

void CTavroApp::SaveRecentFileList()
{
    for (int i = 1; i <= kRecentFileCount; ++i) {
        const std::u16string key = u"File" + QString::number(i).toStdU16String();
        const QString file = i <= m_recentFiles.size() ? m_recentFiles[i - 1] : QString();
        m_settings.WriteString(kRecentSection, key, file.toStdU16String());
    }
}

void CTavroApp::AddToRecentFileList(const QString& path)
{
    const QString full = CleanAbsolute(path);
    m_recentFiles.removeAll(full);
    m_recentFiles.prepend(full);
    while (m_recentFiles.size() > kRecentFileCount)
        m_recentFiles.removeLast();
    Q_EMIT recentFileListChanged();
}

void CTavroApp::OpenRecentFile(int index)
{
    if (index < 0 || index >= m_recentFiles.size())
        return;
    const QString path = m_recentFiles[index];
    if (!OpenDocumentFile(path) && !m_openStopped) {
        // A file that cannot be opened any more leaves the list.
        m_recentFiles.removeAll(path);
        Q_EMIT recentFileListChanged();
    }
}

// --- Crash recovery ---------------------------------------------------------

CTavroApp::RecoveryChoice CTavroApp::AskAboutRecovery(const QString& text)
{
    if (m_recoveryPrompt)
        return m_recoveryPrompt(text);
    QMessageBox box(QMessageBox::Warning, tr("Recover Documents"), text, QMessageBox::NoButton, m_mainFrame.get());
    QPushButton* recover = box.addButton(tr("&Recover"), QMessageBox::AcceptRole);
    QPushButton* discard = box.addButton(tr("&Discard"), QMessageBox::DestructiveRole);
    box.addButton(tr("&Later"), QMessageBox::RejectRole);
    box.setDefaultButton(recover);
    box.exec();
    if (box.clickedButton() == recover)
        return RecoveryChoice::Recover;
    if (box.clickedButton() == discard)
        return RecoveryChoice::Discard;
    return RecoveryChoice::Later;
}

void CTavroApp::OfferRecovery()
{
    if (!m_journal)
        return;
    const QList<CRecoveryJournal::Orphan> orphans = m_journal->FindOrphans();
    if (orphans.isEmpty())
        return;
    QStringList lines;
    for (const auto& orphan : orphans) {
        const QString where = orphan.documentPath.isEmpty() ? tr("never saved")
                                                            : QDir::toNativeSeparators(orphan.documentPath);
        lines << tr("%1 (%2), last changed %3")
                     .arg(orphan.title, where, QLocale().toString(orphan.lastChange, QLocale::ShortFormat));
    }
    const QString text = tr("Tavro stopped without saving changes to these documents:\n\n%1\n\n"
                            "Recover opens them as they were, unsaved. Discard throws the changes away. "
                            "Later keeps them for the next start.")
                             .arg(lines.join(QLatin1Char('\n')));
    const RecoveryChoice choice = AskAboutRecovery(text);
    if (choice == RecoveryChoice::Later) {
        m_journal->ReleaseOrphans();
        return;
    }
    QStringList problems;
    for (const auto& orphan : orphans) {
        if (choice == RecoveryChoice::Discard) {
            m_journal->Discard(orphan);
            continue;
        }
        if (!orphan.documentPath.isEmpty() && FindDocument(orphan.documentPath)) {
            problems << tr("%1: the file is open already; close it and start again to recover the changes.")
                            .arg(orphan.title);
            continue;
        }
        auto doc = std::make_unique<CTavroDoc>(*this);
        const CRecoveryJournal::Recovered recovered = m_journal->Recover(orphan, doc->GetEdit());
        if (!recovered.problem.isEmpty())
            problems << QStringLiteral("%1: %2").arg(orphan.title, recovered.problem);
        if (!recovered.ok)
            continue; // the journal stays for another try
        if (recovered.documentPath.isEmpty()) {
            doc->SetTitle(QStringLiteral("Tavro%1").arg(++m_untitledCount));
            if (doc->GetEdit().GetLineCount() <= 1) // no line break of its own to follow
                doc->GetEdit().SetBreaksWithLineFeedOnly(COptionPropSheet::NewDocumentsUseLineFeeds(m_settings));
        } else {
            doc->SetPathName(recovered.documentPath);
            doc->SetDiskIdentity(FileIdentity::Of(recovered.documentPath));
        }
        // The document's own journal is on disk before the old one goes.
        doc->Journal()->ContinueFrom(recovered.baseMeta, recovered.edits);
        doc->Journal()->WriteNow();
        m_journal->WaitForWrites();
        m_journal->Discard(orphan);
        CreateFrame(AddDocument(std::move(doc)));
    }
    if (!problems.isEmpty())
        m_messages.Show(tr("Not everything could be recovered:\n\n%1").arg(problems.join(QLatin1Char('\n')))
                            .toStdU16String(),
                        IMessageBox::Buttons::Ok, IMessageBox::Icon::Warning);
}

// --- Help -------------------------------------------------------------------

void CTavroApp::OnHelpTopics()
{
    if (!m_helpWindow)
        m_helpWindow = new CHelpWindow(m_mainFrame.get());
    m_helpWindow->show();
    m_helpWindow->raise();
    m_helpWindow->activateWindow();
}

void CTavroApp::OnAppAbout()
{
    CAboutDlg about(m_mainFrame.get());
    about.exec();
}

CHelpWindow* CTavroApp::HelpWindow() const
{
    return m_helpWindow.data();
}
