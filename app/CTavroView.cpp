#include "app/CTavroView.h"

#include "app/CMainFrame.h"
#include "app/CTavroController.h"

CTavroView::CTavroView(SECEdit* edit, QWidget* parent)
    : SECEditView(edit, parent), m_controller(std::make_unique<CTavroController>(*this))
{
    // The controller keeps the pane's gutter from now on: start from the pane's.
    m_controller->GetGutterSettings() = GetSelectionHolder().GetGutterSettings();
    SetPresentationState(m_controller.get());
    SetPaneInput(m_controller.get());
}

CTavroView::~CTavroView()
{
    // The viewport outlives the controller by a moment: let it fall back first.
    SetPaneInput(nullptr);
    SetPresentationState(nullptr);
}

bool CTavroView::AcceptsDroppedFiles() const
{
    return qobject_cast<CMainFrame*>(window()) != nullptr;
}

void CTavroView::OpenDroppedFiles(const QMimeData& data)
{
    if (auto* frame = qobject_cast<CMainFrame*>(window()))
        frame->OpenDroppedFiles(data);
}
