#include "app/CToolCommands.h"

#include "app/CChildFrame.h"
#include "app/CMainFrame.h"
#include "app/COptionPropSheet.h"
#include "app/CSpellCheckDlg.h"
#include "app/CTavroApp.h"
#include "app/CTavroController.h"
#include "app/CTavroView.h"
#include "app/TavroCommandIds.h"
#include "engine/SECEdit.h"
#include "platform/IMessageBox.h"
#include "view/SECEditSplitterWindow.h"

#include <QAction>

#include <algorithm>

CToolCommands::CToolCommands(CMainFrame& frame, CTavroApp& app)
    : QObject(&frame), m_frame(frame), m_app(app), m_run([](QDialog& dialog) { return dialog.exec(); }),
      m_speller(std::make_unique<SpellChecker>())
{
    setObjectName(QStringLiteral("ToolCommands"));
    if (QAction* options = m_frame.Action(TavroCmd::Options)) {
        options->setEnabled(true);
        connect(options, &QAction::triggered, this, &CToolCommands::OnOptions);
    }
    m_spelling = m_frame.Action(TavroCmd::CheckSpelling);
    if (m_spelling)
        connect(m_spelling, &QAction::triggered, this, &CToolCommands::OnCheckSpelling);
    m_spellingAvailable = m_speller->HasDictionary();
    connect(&m_app, &CTavroApp::documentListChanged, this, &CToolCommands::UpdateStates);
    connect(&m_frame, &CMainFrame::paneStateChanged, this, &CToolCommands::UpdateStates);
    UpdateStates();
}

CToolCommands::~CToolCommands() = default;

void CToolCommands::SetSpellChecker(std::unique_ptr<SpellChecker> checker)
{
    m_speller = std::move(checker);
    m_spellingAvailable = m_speller && m_speller->HasDictionary();
    UpdateStates();
}

void CToolCommands::UpdateStates()
{
    // Check Spelling works on selected text, with a dictionary installed.
    if (!m_spelling)
        return;
    const CTavroController* controller =
        m_spellingAvailable && !m_app.Documents().isEmpty() && m_frame.MdiArea() ? ActiveController() : nullptr;
    m_spelling->setEnabled(controller && controller->HasSelectionNow());
}

int CToolCommands::Run(QDialog& dialog)
{
    return m_run ? m_run(dialog) : QDialog::Rejected;
}

CTavroController* CToolCommands::ActiveController() const
{
    CChildFrame* frame = m_frame.ActiveChildFrame();
    auto* splitter = frame ? qobject_cast<SECEditSplitterWindow*>(frame->GetPaneHost()) : nullptr;
    auto* view = splitter ? qobject_cast<CTavroView*>(splitter->GetActivePane()) : nullptr;
    return view ? &view->GetController() : nullptr;
}

void CToolCommands::OnOptions()
{
    COptionPropSheet sheet(m_app.Settings(), m_app.Messages(), &m_frame);
    Run(sheet);
}

void CToolCommands::OnCheckSpelling()
{
    CTavroController* controller = ActiveController();
    if (!controller || !controller->GetEdit())
        return;
    IMessageBox& messages = m_app.Messages();
    if (!m_speller->Probe()) {
        messages.Show(u"No spelling dictionary was found. Install one for your language "
                      u"(for example the hunspell-en-us package) and try again.",
                      IMessageBox::Buttons::Ok, IMessageBox::Icon::Warning);
        return;
    }
    if (!controller->HasSelectionNow()) {
        messages.Show(u"Select the text to check first.", IMessageBox::Buttons::Ok, IMessageBox::Icon::Information);
        return;
    }
    if (controller->IsColumnSelection()) {
        // Corrected words change the lengths of the block's rows.
        messages.Show(u"Check Spelling works on an ordinary selection, not on a column block.",
                      IMessageBox::Buttons::Ok, IMessageBox::Icon::Information);
        return;
    }
    const SECEditTextPos start = std::min(controller->GetAnchor(), controller->GetActiveEnd());
    const std::u16string original = controller->GetSelectedText();
    std::u16string text = original;
    const SpellChecker::Result result =
        m_speller->Check(text, [this](const QString& word, const QStringList& suggestions, const QString& context,
                                      int at) {
            CSpellCheckDlg dialog(word, suggestions, context, at, &m_frame);
            Run(dialog);
            return dialog.GetDecision();
        });
    if (result == SpellChecker::Result::NoErrors) {
        messages.Show(u"No errors found.");
        return;
    }
    if (text == original)
        return;
    controller->InsertAtCaret(text);
    // Select the corrected text again, so another check or a look covers the same words.
    controller->SetSelection(start, controller->GetCaretPos());
}
