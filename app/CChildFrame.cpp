#include "app/CChildFrame.h"

#include "app/CTavroApp.h"
#include "app/CTavroDoc.h"
#include "app/CTavroView.h"
#include "app/FileIdentity.h"
#include "platform/IMessageBox.h"
#include "view/SECEditSplitterWindow.h"

#include <QCloseEvent>
#include <QDir>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QMdiSubWindow>
#include <QVBoxLayout>

CChildFrame::CChildFrame(CTavroApp& app, CTavroDoc& doc, QWidget* parent)
    : QWidget(parent), m_app(app), m_doc(&doc)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    // Hidden until another program changes the file; it never takes the
    // keyboard from the text.
    m_noticeBar = new QFrame(this);
    m_noticeBar->setObjectName(QStringLiteral("FileNoticeBar"));
    m_noticeBar->setFrameShape(QFrame::StyledPanel);
    m_noticeBar->setAutoFillBackground(true);
    QPalette palette = m_noticeBar->palette();
    palette.setColor(QPalette::Window, QColor(255, 244, 196));
    palette.setColor(QPalette::WindowText, Qt::black);
    m_noticeBar->setPalette(palette);
    auto* barLayout = new QHBoxLayout(m_noticeBar);
    barLayout->setContentsMargins(8, 4, 8, 4);
    m_noticeText = new QLabel(m_noticeBar);
    m_noticeText->setWordWrap(true);
    m_reloadButton = new QPushButton(tr("&Reload"), m_noticeBar);
    m_reloadButton->setObjectName(QStringLiteral("ReloadButton"));
    m_keepButton = new QPushButton(tr("&Keep Mine"), m_noticeBar);
    m_keepButton->setObjectName(QStringLiteral("KeepMineButton"));
    for (QPushButton* button : {m_reloadButton, m_keepButton})
        button->setFocusPolicy(Qt::NoFocus);
    barLayout->addWidget(m_noticeText, 1);
    barLayout->addWidget(m_reloadButton);
    barLayout->addWidget(m_keepButton);
    layout->addWidget(m_noticeBar);
    connect(m_reloadButton, &QPushButton::clicked, this, &CChildFrame::OnReloadClicked);
    connect(m_keepButton, &QPushButton::clicked, this, &CChildFrame::OnKeepMineClicked);

    m_paneHost = CreatePaneHost(doc, this);
    layout->addWidget(m_paneHost);
    setFocusProxy(m_paneHost);

    m_doc->AddFrame(this);
    connect(m_doc, &CTavroDoc::titleChanged, this, &CChildFrame::UpdateTitle);
    connect(m_doc, &CTavroDoc::modifiedChanged, this, &CChildFrame::UpdateTitle);
    connect(m_doc, &CTavroDoc::fileNoticeChanged, this, &CChildFrame::UpdateFileNotice);
    UpdateTitle();
    UpdateFileNotice();
}

void CChildFrame::UpdateFileNotice()
{
    const QString text = m_doc->FileNotice();
    m_noticeText->setText(text.isEmpty() ? QString() : text);
    m_reloadButton->setVisible(m_doc->FileNoticeOffersReload());
    m_keepButton->setText(m_doc->FileNoticeOffersReload() ? tr("&Keep Mine") : tr("&Dismiss"));
    m_noticeBar->setVisible(!text.isEmpty());
}

void CChildFrame::OnReloadClicked()
{
    const QString question = tr("Read '%1' again from disk? The changes made here since it was last saved will be lost.")
                                 .arg(QDir::toNativeSeparators(m_doc->GetPathName()));
    if (m_app.Messages().Show(question.toStdU16String(), IMessageBox::Buttons::YesNo, IMessageBox::Icon::Warning)
        != IMessageBox::Answer::Yes)
        return;
    m_doc->Reload();
}

void CChildFrame::OnKeepMineClicked()
{
    // The file as it is now is the one a later Save replaces without asking again.
    if (m_doc->FileNoticeOffersReload())
        m_doc->SetDiskIdentity(FileIdentity::Of(m_doc->GetPathName()));
    m_doc->ShowFileNotice({}, false);
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
