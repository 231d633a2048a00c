#include "app/CInsertCommands.h"

#include "app/CChildFrame.h"
#include "app/CCommentDlg.h"
#include "app/CDateDlg.h"
#include "app/CHTMLFirstDlg.h"
#include "app/CMainFrame.h"
#include "app/CNewFileDlg.h"
#include "app/CTavroApp.h"
#include "app/CTavroController.h"
#include "app/CTavroDoc.h"
#include "app/CTavroView.h"
#include "app/InsertionText.h"
#include "app/TavroCommandIds.h"
#include "engine/SECEdit.h"
#include "platform/IMessageBox.h"
#include "platform/ISettingsStore.h"
#include "view/SECEditSplitterWindow.h"

#include <QAction>
#include <QUuid>

namespace {

constexpr std::u16string_view kUserInfo = u"UserInfo";

constexpr int kCommands[] = {TavroCmd::Comment, TavroCmd::DateTime, TavroCmd::UserName, TavroCmd::CompanyName,
                             TavroCmd::Address, TavroCmd::Telephone, TavroCmd::Fax, TavroCmd::Email,
                             TavroCmd::UserInfoAll, TavroCmd::Uuid, TavroCmd::Template};

// The break the document already uses after its first line; the engine's
// default for a document of one line.
std::u16string DocumentLineEnd(const SECEdit& edit)
{
    if (edit.GetLineCount() > 1) {
        std::u16string_view first;
        edit.GetLineText(0, first);
        std::u16string end;
        if (edit.GetText(end, 0, int(first.size()), 1, 0) && !end.empty())
            return end;
    }
    return edit.GetLineEndString();
}

std::tm LocalNow()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return local;
}

} // namespace

CInsertCommands::CInsertCommands(CMainFrame& frame, CTavroApp& app)
    : QObject(&frame), m_frame(frame), m_app(app), m_run([](QDialog& dialog) { return dialog.exec(); }),
      m_clock(LocalNow)
{
    setObjectName(QStringLiteral("InsertCommands"));
    const std::pair<int, void (CInsertCommands::*)()> handlers[] = {
        {TavroCmd::Comment, &CInsertCommands::OnComment},
        {TavroCmd::DateTime, &CInsertCommands::OnDateTime},
        {TavroCmd::UserName, &CInsertCommands::OnUserName},
        {TavroCmd::CompanyName, &CInsertCommands::OnCompanyName},
        {TavroCmd::Address, &CInsertCommands::OnAddress},
        {TavroCmd::Telephone, &CInsertCommands::OnTelephone},
        {TavroCmd::Fax, &CInsertCommands::OnFax},
        {TavroCmd::Email, &CInsertCommands::OnEmail},
        {TavroCmd::UserInfoAll, &CInsertCommands::OnUserInfoAll},
        {TavroCmd::Uuid, &CInsertCommands::OnUuid},
        {TavroCmd::Template, &CInsertCommands::OnTemplate},
    };
    for (const auto& [id, handler] : handlers) {
        if (QAction* action = m_frame.Action(id))
            connect(action, &QAction::triggered, this, handler);
    }
    for (int id : kCommands)
        m_actions.append(m_frame.Action(id));
    connect(&m_app, &CTavroApp::documentListChanged, this, &CInsertCommands::UpdateStates);
    UpdateStates();
}

void CInsertCommands::UpdateStates()
{
    const bool hasDocument = !m_app.Documents().isEmpty();
    for (const QPointer<QAction>& action : std::as_const(m_actions)) {
        if (action)
            action->setEnabled(hasDocument);
    }
}

int CInsertCommands::Run(QDialog& dialog)
{
    return m_run ? m_run(dialog) : QDialog::Rejected;
}

CTavroController* CInsertCommands::ActiveController() const
{
    CChildFrame* frame = m_frame.ActiveChildFrame();
    auto* splitter = frame ? qobject_cast<SECEditSplitterWindow*>(frame->GetPaneHost()) : nullptr;
    auto* view = splitter ? qobject_cast<CTavroView*>(splitter->GetActivePane()) : nullptr;
    return view ? &view->GetController() : nullptr;
}

std::u16string CInsertCommands::UserInfo(std::u16string_view key) const
{
    return m_app.Settings().ReadString(kUserInfo, key, u"");
}

void CInsertCommands::Insert(std::u16string_view text)
{
    CTavroController* controller = ActiveController();
    SECEdit* edit = controller ? controller->GetEdit() : nullptr;
    if (!edit)
        return;
    controller->InsertAtCaret(InsertionText::ToLineEnds(text, DocumentLineEnd(*edit)));
}

void CInsertCommands::InsertUserLine(std::u16string_view label, std::u16string_view key)
{
    const std::u16string text = InsertionText::UserLine(label, UserInfo(key));
    if (!text.empty())
        Insert(text);
}

void CInsertCommands::OnComment()
{
    CTavroDoc* doc = m_frame.ActiveDocument();
    if (!doc || !ActiveController())
        return;
    CCommentDlg dialog(doc->GetTitle(), QString::fromStdU16String(UserInfo(u"UserName")),
                       CCommentDlg::CopyrightText(m_clock()), &m_frame);
    if (Run(dialog) == QDialog::Accepted)
        Insert(dialog.GetComment());
}

void CInsertCommands::OnDateTime()
{
    if (!ActiveController())
        return;
    CDateDlg dialog(m_clock(), &m_frame);
    if (Run(dialog) == QDialog::Accepted)
        Insert(dialog.GetResult().toStdU16String());
}

void CInsertCommands::OnUserName() { InsertUserLine(u"", u"UserName"); }
void CInsertCommands::OnCompanyName() { InsertUserLine(u"", u"CompanyName"); }
void CInsertCommands::OnTelephone() { InsertUserLine(u"Telephone: ", u"Tel"); }
void CInsertCommands::OnFax() { InsertUserLine(u"Fax: ", u"Fax"); }
void CInsertCommands::OnEmail() { InsertUserLine(u"e-mail: ", u"Email"); }

void CInsertCommands::OnAddress()
{
    const std::u16string text = InsertionText::AddressBlock(UserInfo(u"Address1"), UserInfo(u"Address2"),
                                                            UserInfo(u"City"), UserInfo(u"State"), UserInfo(u"Zip"));
    if (!text.empty())
        Insert(text);
}

void CInsertCommands::OnUserInfoAll()
{
    OnUserName();
    OnCompanyName();
    OnAddress();
    OnTelephone();
    OnFax();
    OnEmail();
}

void CInsertCommands::OnUuid()
{
    Insert(QUuid::createUuid().toString(QUuid::WithoutBraces).toStdU16String());
}

void CInsertCommands::OnTemplate()
{
    if (!ActiveController())
        return;
    CNewFileDlg chooser(&m_frame);
    if (Run(chooser) != QDialog::Accepted)
        return;
    if (chooser.GetType() != CNewFileDlg::HtmlTemplate) {
        m_app.Messages().Show(u"XML Template is not\r\nImplemented yet.");
        return;
    }
    CHTMLFirstDlg page(&m_frame);
    if (Run(page) == QDialog::Accepted)
        Insert(page.GetResult());
}
