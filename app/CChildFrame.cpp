#include "app/CChildFrame.h"

#include "app/CTavroApp.h"
#include "app/CTavroDoc.h"
#include "app/CTavroView.h"
#include "view/SECEditSplitterWindow.h"

#include <QCloseEvent>
#include <QMdiSubWindow>
#include <QVBoxLayout>

CChildFrame::CChildFrame(CTavroApp& app, CTavroDoc& doc, QWidget* parent)
    : QWidget(parent), m_app(app), m_doc(&doc)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_paneHost = CreatePaneHost(doc, this);
    layout->addWidget(m_paneHost);
    setFocusProxy(m_paneHost);

    m_doc->AddFrame(this);
    connect(m_doc, &CTavroDoc::titleChanged, this, &CChildFrame::UpdateTitle);
    connect(m_doc, &CTavroDoc::modifiedChanged, this, &CChildFrame::UpdateTitle);
    UpdateTitle();
}

CChildFrame::~CChildFrame()
{
    if (m_doc)
        m_doc->RemoveFrame(this);
}

QWidget* CChildFrame::CreatePaneHost(CTavroDoc& doc, QWidget* parent)
{
    // Every pane of the split window is a view of the document's one engine.
    CMyEdit* edit = &doc.GetEdit();
    return new SECEditSplitterWindow([edit](QWidget* paneParent) { return new CTavroView(edit, paneParent); },
                                     parent);
}

QString CChildFrame::FrameTitle() const
{
    const QList<CChildFrame*>& frames = m_doc->GetFrames();
    if (frames.size() <= 1)
        return m_doc->GetTitle();
    return QStringLiteral("%1:%2").arg(m_doc->GetTitle()).arg(frames.indexOf(this) + 1);
}

void CChildFrame::UpdateTitle()
{
    setWindowTitle(FrameTitle() + QStringLiteral("[*]"));
    setWindowModified(m_doc->IsModified());
    Q_EMIT titleChanged();
}

void CChildFrame::ActivateNextPane(bool forward)
{
    auto* splitter = qobject_cast<SECEditSplitterWindow*>(m_paneHost);
    if (!splitter)
        return;
    QList<SECEditView*> panes; // row by row
    for (int row = 0; row < splitter->GetRowCount(); ++row) {
        for (int column = 0; column < splitter->GetColumnCount(); ++column) {
            if (SECEditView* pane = splitter->GetPane(row, column))
                panes.append(pane);
        }
    }
    if (panes.size() < 2)
        return;
    qsizetype at = panes.indexOf(splitter->GetActivePane());
    at = (at + (forward ? 1 : panes.size() - 1)) % panes.size();
    panes[at]->setFocus(forward ? Qt::TabFocusReason : Qt::BacktabFocusReason);
}

void CChildFrame::CloseWithoutAsking()
{
    m_closeWithoutAsking = true;
    if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget()))
        sub->close();
    else
        close();
}

void CChildFrame::closeEvent(QCloseEvent* event)
{
    // Only the last window of a document asks to save it.
    if (!m_closeWithoutAsking && m_doc->GetFrames().size() == 1 && !m_app.SaveModified(*m_doc)) {
        event->ignore();
        return;
    }
    event->accept();
}
