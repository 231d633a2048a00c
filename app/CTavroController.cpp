#include "app/CTavroController.h"

#include "app/CMainFrame.h"
#include "app/CTavroView.h"
#include "engine/SECEdit.h"

#include <QClipboard>
#include <QGuiApplication>

CTavroController::CTavroController(CTavroView& view) : SECEditController(&view.GetViewport()), m_view(view) {}

void CTavroController::OnCaretChanged()
{
    // Only the pane the user works in speaks for the status bar.
    if (!IsCaretCreated())
        return;
    if (auto* frame = qobject_cast<CMainFrame*>(m_view.window()))
        frame->SetLineColumn(GetCaretPos().line + 1, GetCaretDisplayColumn() + 1);
}

void CTavroController::OnOvertypeChanged()
{
    if (auto* frame = qobject_cast<CMainFrame*>(m_view.window()))
        frame->SetOverwrite(GetEdit() && GetEdit()->GetOvertype());
}

void CTavroController::CopyToClipboard(const std::u16string& text)
{
    if (QClipboard* clipboard = QGuiApplication::clipboard())
        clipboard->setText(QString::fromUtf16(text.data(), qsizetype(text.size())));
}
