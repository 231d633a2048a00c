#include "DialogTestSupport.h"

#include "app/CChildFrame.h"
#include "app/CGetLangDlg.h"
#include "app/CGotoDlg.h"
#include "app/CTavroController.h"
#include "app/CTavroView.h"
#include "app/TavroCommandIds.h"
#include "engine/SECEdit.h"
#include "engine/SECEditMsg.h"
#include "view/SECEditSplitterWindow.h"

#include <QAction>
#include <QCoreApplication>
#include <QEvent>
#include <QLineEdit>
#include <QListWidget>

#include <gtest/gtest.h>

namespace {

// Counts the change notifications of one kind an engine sends.
class MessageCounter final : public IObserver
{
public:
    explicit MessageCounter(unsigned int kind) : m_kind(kind) {}
    void OnUpdate(ISubject*, IMessage* message) override
    {
        if (message && message->GetMessageId() == m_kind)
            ++count;
    }
    int count = 0;

private:
    unsigned int m_kind;
};

QByteArray Lines(int count)
{
    QByteArray text;
    for (int i = 1; i <= count; ++i)
        text += "line " + QByteArray::number(i) + '\n';
    return text;
}

// Types the number into the Go To dialog and presses OK.
std::function<int(QDialog&)> AnswerGoTo(const QString& number)
{
    return [number](QDialog& dialog) {
        auto& goTo = dynamic_cast<CGotoDlg&>(dialog);
        goTo.GetLineEdit()->setText(number);
        goTo.accept();
        return goTo.result();
    };
}

} // namespace

TEST(GotoDialog, RefusesWhatIsNotALineNumberAndKeepsTheFieldSelected)
{
    RecordingMessageBox messages;
    CGotoDlg dialog(messages, 10);
    const QString range = QStringLiteral("Please enter an integer between 1 and 99999.");
    const QString notInteger = QStringLiteral("Please enter an integer.");
    const struct
    {
        const char* text;
        QString message;
    } refused[] = {{"", notInteger}, {"12a", notInteger}, {" ", notInteger}, {"0", range},
                   {"100000", range}, {"99999999999999999999", notInteger}};
    for (const auto& input : refused) {
        messages.texts.clear();
        dialog.GetLineEdit()->setText(QString::fromLatin1(input.text));
        dialog.accept();
        EXPECT_NE(dialog.result(), QDialog::Accepted) << input.text;
        EXPECT_EQ(messages.texts, QStringList{input.message}) << input.text;
        EXPECT_EQ(dialog.GetLineEdit()->selectedText(), dialog.GetLineEdit()->text()) << input.text;
    }
    messages.texts.clear();
    dialog.GetLineEdit()->setText(QStringLiteral("99999"));
    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.GetLine(), 99999);
    EXPECT_TRUE(messages.texts.isEmpty());
}

TEST(GotoDialog, ALongerDocumentRaisesTheLimitToItsLineCount)
{
    RecordingMessageBox messages;
    CGotoDlg dialog(messages, 150000);
    dialog.GetLineEdit()->setText(QStringLiteral("150001"));
    dialog.accept();
    EXPECT_EQ(messages.texts, QStringList{QStringLiteral("Please enter an integer between 1 and 150000.")});
    dialog.GetLineEdit()->setText(QStringLiteral("150000"));
    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.GetLine(), 150000);
}

TEST(GotoDialog, GoToScrollsTheActivePaneToPutTheLineAtTheTop)
{
    AppHarness h;
    ASSERT_TRUE(h.Start());
    ASSERT_NE(OpenWith(h, QStringLiteral("long.txt"), Lines(500)), nullptr);
    h.app->MainFrame()->resize(600, 400);
    CDialogCommands& commands = DialogCommands(h, AnswerGoTo(QStringLiteral("120")));
    SECEditView* pane = commands.ActivePane();
    ASSERT_NE(pane, nullptr);
    pane->resize(400, 300);
    CTavroController& controller = qobject_cast<CTavroView*>(pane)->GetController();
    controller.SetSelection({3, 2}, {7, 1});
    commands.OnGoTo();
    EXPECT_EQ(pane->GetViewport().GetFirstVisibleLine(), 119);
    EXPECT_EQ(pane->GetViewport().GetOrigin().x, 0);
    EXPECT_EQ(controller.GetCaretPos(), SECEditTextPos(119, 0));
    EXPECT_FALSE(controller.HasSelection());

    commands.SetDialogRunner(AnswerGoTo(QStringLiteral("1")));
    commands.OnGoTo();
    EXPECT_EQ(pane->GetViewport().GetFirstVisibleLine(), 0);
    EXPECT_EQ(controller.GetCaretPos(), SECEditTextPos(0, 0));

    // Past the end: as far down as the viewport lets the text go.
    commands.SetDialogRunner(AnswerGoTo(QStringLiteral("90000")));
    commands.OnGoTo();
    const int top = pane->GetViewport().GetFirstVisibleLine();
    EXPECT_GT(top, 400);
    EXPECT_LE(top, commands.ActivePane()->GetEdit()->GetLineCount());
    EXPECT_EQ(controller.GetCaretPos(), SECEditTextPos(500, 0)); // the last line: empty, after the last line feed
    EXPECT_TRUE(h.messages.texts.isEmpty());

    // Cancel, or a refused number, leaves the pane where it is.
    commands.SetDialogRunner([](QDialog&) { return int(QDialog::Rejected); });
    commands.OnGoTo();
    commands.SetDialogRunner(AnswerGoTo(QStringLiteral("0")));
    commands.OnGoTo();
    EXPECT_EQ(pane->GetViewport().GetFirstVisibleLine(), top);
}

TEST(LanguageDialog, ListsTheNamesSortedStartingOnTheFirst)
{
    const QStringList names{QStringLiteral("XML"), QStringLiteral("C++"), QStringLiteral("HTML"),
                            QStringLiteral("Default")};
    CGetLangDlg dialog(names);
    QStringList listed;
    for (int row = 0; row < dialog.GetList()->count(); ++row)
        listed.append(dialog.GetList()->item(row)->text());
    EXPECT_EQ(listed, (QStringList{QStringLiteral("C++"), QStringLiteral("Default"), QStringLiteral("HTML"),
                                   QStringLiteral("XML")}));
    // The document's own language is not preselected: the first entry is.
    EXPECT_EQ(dialog.GetList()->currentRow(), 0);
    EXPECT_EQ(dialog.GetLanguage(), QStringLiteral("C++"));

    // Choosing an entry and activating it (a double click) closes with OK.
    QListWidgetItem* xml = dialog.GetList()->findItems(QStringLiteral("XML"), Qt::MatchExactly).first();
    dialog.GetList()->setCurrentItem(xml);
    Q_EMIT dialog.GetList()->itemActivated(xml);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.GetLanguage(), QStringLiteral("XML"));

    CGetLangDlg empty({});
    EXPECT_EQ(empty.GetLanguage(), QStringLiteral("Default"));
}

TEST(LanguageDialog, SetLanguageRecoloursTheDocumentOnlyWhenTheLanguageChanges)
{
    AppHarness h;
    ASSERT_TRUE(h.Start());
    CTavroDoc* doc = OpenWith(h, QStringLiteral("page.txt"), "<b>bold</b>\n");
    ASSERT_NE(doc, nullptr);
    ASSERT_EQ(doc->GetLanguageName(), QStringLiteral("Default"));
    MessageCounter recolour(SECEditMsg::InvalidateColoring);
    doc->GetEdit().AddObserver(&recolour);

    QStringList offered;
    QString choice = QStringLiteral("HTML");
    CDialogCommands& commands = DialogCommands(h, [&](QDialog& dialog) {
        auto& language = dynamic_cast<CGetLangDlg&>(dialog);
        offered.clear();
        for (int row = 0; row < language.GetList()->count(); ++row)
            offered.append(language.GetList()->item(row)->text());
        language.GetList()->setCurrentItem(language.GetList()->findItems(choice, Qt::MatchExactly).first());
        return int(QDialog::Accepted);
    });
    // A second window on the document: both recolour.
    CChildFrame* second = h.app->CreateFrame(doc);
    ASSERT_NE(second, nullptr);
    const auto groupsShown = [](CChildFrame* frame) {
        auto* split = qobject_cast<SECEditSplitterWindow*>(frame->GetPaneHost());
        return split->GetActivePane()->GetViewport().GetSettings().groups.size();
    };
    const std::size_t plain = groupsShown(second);
    commands.OnSetLanguage();
    EXPECT_EQ(offered.size(), 13);
    EXPECT_TRUE(offered.contains(QStringLiteral("Default")));
    EXPECT_EQ(doc->GetLanguageName(), QStringLiteral("HTML"));
    EXPECT_EQ(recolour.count, 1);
    for (CChildFrame* frame : doc->GetFrames())
        EXPECT_GT(groupsShown(frame), plain);

    commands.OnSetLanguage(); // the same language again: nothing to do
    EXPECT_EQ(recolour.count, 1);

    choice = QStringLiteral("XML");
    commands.SetDialogRunner([](QDialog&) { return int(QDialog::Rejected); });
    commands.OnSetLanguage();
    EXPECT_EQ(doc->GetLanguageName(), QStringLiteral("HTML"));

    // The chosen language outlives Save As under a name of another language.
    h.files.names = {h.Path(QStringLiteral("renamed.cpp"))};
    ASSERT_TRUE(h.app->DoSave(doc, true));
    EXPECT_EQ(doc->GetLanguageName(), QStringLiteral("HTML"));
    doc->GetEdit().RemoveObserver(&recolour);
}

TEST(LanguageDialog, DialogCommandsAreEnabledWhileADocumentIsOpen)
{
    AppHarness h;
    ASSERT_TRUE(h.Start());
    const CMainFrame& frame = *h.app->MainFrame();
    using namespace TavroCmd;
    for (int id : {SetLanguage, GoTo, Count, ChooseFont})
        EXPECT_TRUE(frame.Action(id)->isEnabled()) << id;
    h.app->CloseAllDocuments();
    for (int i = 0; i < 3; ++i) { // the windows go on the next turns of the event loop
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
    }
    for (int id : {SetLanguage, GoTo, Count, ChooseFont})
        EXPECT_FALSE(frame.Action(id)->isEnabled()) << id;
    // A shortcut pressed with nothing open finds nothing to work on.
    CDialogCommands& commands = DialogCommands(h, [](QDialog&) -> int {
        ADD_FAILURE() << "no dialog without a document";
        return QDialog::Rejected;
    });
    commands.OnGoTo();
    commands.OnCount();
    commands.OnSetLanguage();
    commands.OnChooseFont();
    h.app->OnFileNew();
    EXPECT_TRUE(frame.Action(GoTo)->isEnabled());
}
