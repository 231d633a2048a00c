#include "app/CTavroDoc.h"

#include "app/CChildFrame.h"
#include "app/CRecoveryJournal.h"
#include "app/CFileProgress.h"
#include "app/COptionPropSheet.h"
#include "app/CTavroApp.h"
#include "app/CTavroController.h"
#include "app/CTavroView.h"
#include "engine/SECEditLangSettings.h"
#include "engine/SECEditLineMarks.h"
#include "platform/IMessageBox.h"

#include <QFile>
#include <QDir>
#include <QFileInfo>
#include <QPointer>

#include <algorithm>
#include <vector>

CTavroDoc::CTavroDoc(CTavroApp& app) : m_app(app)
{
    m_edit.SetMessageBox(&app.Messages());
    m_edit.SetBusyCursor(app.BusyCursor());
    m_edit.SetFileProgress(&app.FileProgress());
    m_edit.AddObserver(&m_watch);
    if (CRecoveryJournal* journal = app.Journal())
        m_journal = journal->Attach(m_edit);
}

CTavroDoc::~CTavroDoc()
{
    m_journal.reset(); // closed without saving: its journal goes too
    m_edit.RemoveObserver(&m_watch);
}

bool CTavroDoc::OnNewDocument()
{
    m_pathName.clear();
    const bool ok = m_edit.ResetContent();
    m_edit.SetBreaksWithLineFeedOnly(COptionPropSheet::NewDocumentsUseLineFeeds(m_app.Settings()));
    m_diskIdentity = {};
    if (m_journal)
        m_journal->SetEmptyBase(m_title);
    CheckModified();
    return ok;
}

bool CTavroDoc::OnOpenDocument(const QString& path)
{
    // The language comes first, so the first colouring of the text uses it.
    m_edit.SetLanguage(m_app.LanguageForPath(path).toStdU16String());
    const bool ok = m_edit.OpenFile(QFile::encodeName(path).toStdString());
    // A file without a line break has no convention to keep: it takes the new documents' one.
    if (ok && m_edit.GetLineCount() <= 1)
        m_edit.SetBreaksWithLineFeedOnly(COptionPropSheet::NewDocumentsUseLineFeeds(m_app.Settings()));
    if (ok)
        FileLoaded(path);
    CheckModified();
    return ok;
}

void CTavroDoc::FileLoaded(const QString& path)
{
    m_diskIdentity = FileIdentity::Of(path);
    // Lines broken for their length are changes to the file: the journal keeps them.
    if (m_journal)
        m_journal->SetFileBase(path, m_diskIdentity, true);
    ShowFileNotice({}, false);
}

bool CTavroDoc::OnSaveDocument(const QString& path)
{
    // Another program may have written the file since we read or wrote it.
    const FileIdentity now = FileIdentity::Of(path);
    if (now.exists && m_diskIdentity.exists && now != m_diskIdentity
        && QFileInfo(path).absoluteFilePath() == QFileInfo(m_pathName).absoluteFilePath()) {
        const QString question = tr("The file '%1' was changed by another program since it was opened or last "
                                    "saved here. Overwrite it with this document?")
                                     .arg(QDir::toNativeSeparators(path));
        if (m_app.Messages().Show(question.toStdU16String(), IMessageBox::Buttons::YesNo, IMessageBox::Icon::Warning)
            != IMessageBox::Answer::Yes)
            return false;
    }
    const bool ok = m_edit.SaveFile(QFile::encodeName(path).toStdString());
    if (ok) {
        m_diskIdentity = FileIdentity::Of(path);
        if (m_journal)
            m_journal->SetFileBase(path, m_diskIdentity, false);
        ShowFileNotice({}, false);
    }
    CheckModified();
    return ok;
}

bool CTavroDoc::Reload()
{
    if (m_pathName.isEmpty())
        return false;
    // Where every pane stands, by line and column.
    struct PaneState
    {
        QPointer<CTavroView> view;
        SECEditTextPos caret;
        PixelPoint origin;
    };
    std::vector<PaneState> panes;
    for (CChildFrame* frame : m_frames) {
        for (CTavroView* view : frame->GetPaneHost()->findChildren<CTavroView*>())
            panes.push_back(PaneState{QPointer<CTavroView>(view), view->GetController().GetCaretPos(),
                                      view->GetViewport().GetOrigin()});
    }
    std::vector<std::int32_t> bookmarks;
    const int bookmarkCount = m_edit.CountLineMarks(SECEditLineMarks::BookmarkMark);
    std::int32_t line = m_edit.GetLineCount() - 1;
    for (int i = 0; i < bookmarkCount; ++i) {
        line = m_edit.FindLineMark(line, SECEditLineMarks::BookmarkMark, true);
        if (line < 0)
            break;
        bookmarks.push_back(line);
    }

    if (!m_edit.OpenFile(QFile::encodeName(m_pathName).toStdString())) {
        CheckModified();
        return false;
    }
    FileLoaded(m_pathName);

    const std::int32_t lines = m_edit.GetLineCount();
    for (std::int32_t mark : bookmarks) {
        if (mark < lines)
            m_edit.SetLineMark(mark, SECEditLineMarks::BookmarkMark, true);
    }
    for (const PaneState& pane : panes) {
        if (!pane.view)
            continue;
        const std::int32_t caretLine = std::clamp(pane.caret.line, 0, lines - 1);
        const std::int32_t column = std::clamp(pane.caret.column, 0, m_edit.GetLineLength(caretLine));
        pane.view->GetViewport().ScrollTo(pane.origin);
        pane.view->GetController().MoveCaretTo(caretLine, column);
    }
    CheckModified();
    return true;
}

void CTavroDoc::MarkFileMissing()
{
    m_edit.MarkUnsaved();
    if (m_journal)
        m_journal->ForgetBase();
    CheckModified();
}

void CTavroDoc::ShowFileNotice(const QString& text, bool offerReload)
{
    if (text == m_fileNotice && offerReload == m_noticeOffersReload)
        return;
    m_fileNotice = text;
    m_noticeOffersReload = offerReload;
    Q_EMIT fileNoticeChanged();
}

bool CTavroDoc::IsModified() const
{
    return m_edit.IsModified();
}

QString CTavroDoc::GetLanguageName() const
{
    const SECEditLangSettings* config = m_edit.GetLangConfig();
    return config ? QString::fromStdU16String(config->GetName()) : QString();
}

void CTavroDoc::SetTitle(const QString& title)
{
    if (title == m_title)
        return;
    m_title = title;
    if (m_journal)
        m_journal->SetTitle(title);
    Q_EMIT titleChanged();
}

void CTavroDoc::SetPathName(const QString& path)
{
    m_pathName = path;
    SetTitle(QFileInfo(path).fileName());
}

void CTavroDoc::AddFrame(CChildFrame* frame)
{
    if (!m_frames.contains(frame))
        m_frames.append(frame);
    Q_EMIT titleChanged(); // frame numbers ("name:2") change with the count
}

void CTavroDoc::RemoveFrame(CChildFrame* frame)
{
    if (!m_frames.removeOne(frame))
        return;
    if (m_frames.isEmpty())
        Q_EMIT lastFrameClosed(this);
    else
        Q_EMIT titleChanged();
}

void CTavroDoc::CheckModified()
{
    const bool modified = IsModified();
    if (modified == m_lastModified)
        return;
    m_lastModified = modified;
    Q_EMIT modifiedChanged(modified);
}

void CTavroDoc::EngineWatch::OnUpdate(ISubject*, IMessage*)
{
    m_doc.CheckModified();
}
