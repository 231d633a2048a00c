#include "app/CTavroDoc.h"

#include "app/COptionPropSheet.h"
#include "app/CTavroApp.h"
#include "engine/SECEditLangSettings.h"

#include <QFile>
#include <QFileInfo>

CTavroDoc::CTavroDoc(CTavroApp& app) : m_app(app)
{
    m_edit.SetMessageBox(&app.Messages());
    m_edit.SetBusyCursor(app.BusyCursor());
    m_edit.AddObserver(&m_watch);
}

CTavroDoc::~CTavroDoc()
{
    m_edit.RemoveObserver(&m_watch);
}

bool CTavroDoc::OnNewDocument()
{
    m_pathName.clear();
    const bool ok = m_edit.ResetContent();
    m_edit.SetBreaksWithLineFeedOnly(COptionPropSheet::NewDocumentsUseLineFeeds(m_app.Settings()));
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
    CheckModified();
    return ok;
}

bool CTavroDoc::OnSaveDocument(const QString& path)
{
    const bool ok = m_edit.SaveFile(QFile::encodeName(path).toStdString());
    CheckModified();
    return ok;
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
