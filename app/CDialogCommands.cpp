#include "app/CDialogCommands.h"

#include "app/CChildFrame.h"
#include "app/CCountDlg.h"
#include "app/CFontColorDlg.h"
#include "app/CGetLangDlg.h"
#include "app/CGotoDlg.h"
#include "app/CMainFrame.h"
#include "app/CTavroApp.h"
#include "app/CTavroController.h"
#include "app/CTavroDoc.h"
#include "app/CTavroView.h"
#include "app/TavroCommandIds.h"
#include "engine/SECEditLangSettings.h"
#include "platform/IBusyCursor.h"
#include "syntax/SECEditLangConfig.h"
#include "syntax/SECEditLangRegistry.h"
#include "view/SECEditSplitterWindow.h"
#include "view/SECEditView.h"

#include <QAction>
#include <QPointer>

#include <algorithm>
#include <optional>
#include <vector>

namespace {

constexpr int kCommands[] = {TavroCmd::SetLanguage, TavroCmd::GoTo, TavroCmd::Count, TavroCmd::ChooseFont};

} // namespace

CDialogCommands::CDialogCommands(CMainFrame& frame, CTavroApp& app)
    : QObject(&frame), m_frame(frame), m_app(app), m_run([](QDialog& dialog) { return dialog.exec(); })
{
    setObjectName(QStringLiteral("DialogCommands"));
    connect(m_frame.Action(TavroCmd::SetLanguage), &QAction::triggered, this, &CDialogCommands::OnSetLanguage);
    connect(m_frame.Action(TavroCmd::GoTo), &QAction::triggered, this, &CDialogCommands::OnGoTo);
    connect(m_frame.Action(TavroCmd::Count), &QAction::triggered, this, &CDialogCommands::OnCount);
    connect(m_frame.Action(TavroCmd::ChooseFont), &QAction::triggered, this, &CDialogCommands::OnChooseFont);
    for (int id : kCommands)
        m_actions.append(m_frame.Action(id));
    // The application's list, not the frame's windows: it is also told while
    // the main window is being torn down, when the frame can't be asked.
    connect(&m_app, &CTavroApp::documentListChanged, this, &CDialogCommands::UpdateStates);
    UpdateStates();
}

void CDialogCommands::UpdateStates()
{
    const bool hasDocument = !m_app.Documents().isEmpty();
    for (const QPointer<QAction>& action : std::as_const(m_actions)) {
        if (action)
            action->setEnabled(hasDocument);
    }
}

int CDialogCommands::Run(QDialog& dialog)
{
    return m_run ? m_run(dialog) : QDialog::Rejected;
}

SECEditView* CDialogCommands::ActivePane() const
{
    CChildFrame* frame = m_frame.ActiveChildFrame();
    auto* splitter = frame ? qobject_cast<SECEditSplitterWindow*>(frame->GetPaneHost()) : nullptr;
    return splitter ? splitter->GetActivePane() : nullptr;
}

bool CDialogCommands::ApplyLanguage(SECEdit& edit, const QString& name)
{
    const SECEditLangSettings* config = edit.GetLangConfig();
    const std::u16string wanted = name.toStdU16String();
    if (config && config->GetName() == wanted)
        return false; // recolouring the same language would only cost time
    return edit.SetLanguage(wanted);
}

void CDialogCommands::OnSetLanguage()
{
    CTavroDoc* doc = m_frame.ActiveDocument();
    if (!doc)
        return;
    std::vector<std::u16string> names;
    SECEditLangRegistry::Instance().GetLanguageNames(names);
    QStringList list;
    for (const std::u16string& name : names)
        list.append(QString::fromStdU16String(name));
    CGetLangDlg dialog(list, &m_frame);
    if (Run(dialog) == QDialog::Accepted)
        ApplyLanguage(doc->GetEdit(), dialog.GetLanguage());
}

void CDialogCommands::GoToLine(SECEditView& pane, int line)
{
    // The line goes to the top first, so putting the caret there scrolls no
    // further; the viewport clamps an origin beyond the end of the text, the
    // controller a caret beyond the last line.
    const int target = std::max(line, 1) - 1;
    pane.GetViewport().ScrollToUnits(0, target);
    pane.viewport()->update();
    if (auto* view = qobject_cast<CTavroView*>(&pane)) {
        CTavroController& controller = view->GetController();
        controller.ClearSelection(true);
        controller.MoveCaretTo(target, 0);
        controller.RememberCaretX();
    }
}

void CDialogCommands::OnGoTo()
{
    CTavroDoc* doc = m_frame.ActiveDocument();
    SECEditView* pane = ActivePane();
    if (!doc || !pane)
        return;
    CGotoDlg dialog(m_app.Messages(), doc->GetEdit().GetLineCount(), &m_frame);
    if (Run(dialog) != QDialog::Accepted)
        return;
    GoToLine(*pane, dialog.GetLine());
    pane->setFocus();
}

void CDialogCommands::OnCount()
{
    CTavroDoc* doc = m_frame.ActiveDocument();
    if (!doc)
        return;
    const SECEdit& edit = doc->GetEdit();
    std::optional<CountStatistics> selection;
    CountStatistics whole;
    {
        // A document of many megabytes takes a moment to walk through.
        const BusyCursorScope busy(m_app.BusyCursor());
        SECEditView* pane = ActivePane();
        if (pane && pane->GetPresentationState())
            selection = CCountDlg::CountSelection(edit, *pane->GetPresentationState());
        whole = CCountDlg::CountDocument(edit);
    }
    CCountDlg dialog(whole, selection, &m_frame);
    Run(dialog);
}

void CDialogCommands::OnChooseFont()
{
    CTavroDoc* doc = m_frame.ActiveDocument();
    auto* config = doc ? dynamic_cast<SECEditLangConfig*>(doc->GetEdit().GetLangConfig()) : nullptr;
    if (!config)
        return;
    // Every document of the language shares the configuration, so it must
    // outlive the dialog even if this document closes meanwhile.
    config->AddRef();
    {
        CFontColorDlg dialog(*config, &m_frame);
        if (Run(dialog) == QDialog::Accepted) {
            dialog.Apply();
            CFontColorDlg::NotifyFontUpdate(*config);
        }
    }
    config->Release();
}
