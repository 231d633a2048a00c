#include "AppTestSupport.h"

#include "app/CCommentDlg.h"
#include "app/CDateDlg.h"
#include "app/CHTMLFirstDlg.h"
#include "app/CInsertCommands.h"
#include "app/CMainFrame.h"
#include "app/CNewFileDlg.h"
#include "app/CTavroController.h"
#include "app/CTavroDoc.h"
#include "app/InsertionText.h"
#include "app/TavroCommandIds.h"
#include "engine/SECEdit.h"

#include <QAction>
#include <QCoreApplication>
#include <QEvent>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <clocale>

namespace {

struct InsertHarness : AppHarness
{
    CInsertCommands* commands = nullptr;
    CTavroDoc* doc = nullptr;

    explicit InsertHarness(const QByteArray& text = "one\ntwo\n")
    {
        Start();
        doc = app->OpenDocumentFile(Write(QStringLiteral("notes.txt"), text));
        commands = app->MainFrame()->findChild<CInsertCommands*>();
        commands->SetClock([] {
            std::tm t{};
            t.tm_year = 2004 - 1900;
            t.tm_mon = 2;
            t.tm_mday = 5;
            t.tm_wday = 5;
            t.tm_hour = 9;
            t.tm_min = 7;
            return t;
        });
    }

    CTavroController& Controller() { return *commands->ActiveController(); }

    std::u16string Text()
    {
        SECEdit& edit = doc->GetEdit();
        const int last = edit.GetLineCount() - 1;
        std::u16string_view tail;
        edit.GetLineText(last, tail);
        std::u16string out;
        edit.GetText(out, 0, 0, last, int(tail.size()));
        return out;
    }
};

} // namespace

TEST(InsertCommands, InsertsAtTheCaretReplacingTheSelectionAsOneUndoStep)
{
    InsertHarness h;
    h.settings.WriteString(u"UserInfo", u"UserName", u"Ann Smith");
    CTavroController& controller = h.Controller();
    controller.SetSelection({0, 1}, {0, 3});
    const int undoBefore = h.doc->GetEdit().GetUndoCount();

    h.commands->OnUserName();
    // The document's own line ends, not carriage returns in a Unix file.
    EXPECT_EQ(h.Text(), u"oAnn Smith\n\ntwo\n");
    EXPECT_EQ(controller.GetCaretPos(), SECEditTextPos(1, 0));
    EXPECT_FALSE(controller.HasSelection());
    EXPECT_EQ(h.doc->GetEdit().GetUndoCount(), undoBefore + 1);

    h.doc->GetEdit().Undo();
    EXPECT_EQ(h.Text(), u"one\ntwo\n");
}

TEST(InsertCommands, UserDetailsWithEmptyValuesInsertNothingAndAllIsSixSteps)
{
    InsertHarness h;
    h.commands->OnUserName();
    h.commands->OnAddress();
    h.commands->OnUserInfoAll();
    EXPECT_EQ(h.Text(), u"one\ntwo\n");
    EXPECT_EQ(h.doc->GetEdit().GetUndoCount(), 0);

    for (auto [key, value] : {std::pair{u"UserName", u"Ann"}, {u"CompanyName", u"Co"}, {u"Address1", u"1 Rd"},
                              {u"City", u"Town"}, {u"Zip", u"99"}, {u"Tel", u"5"}, {u"Fax", u"6"}, {u"Email", u"a@b"}})
        h.settings.WriteString(u"UserInfo", key, value);
    h.commands->OnUserInfoAll();
    EXPECT_EQ(h.Text(), u"Ann\nCo\n1 Rd\nTown, 99\nTelephone: 5\nFax: 6\ne-mail: a@b\none\ntwo\n");
    EXPECT_EQ(h.doc->GetEdit().GetUndoCount(), 6);
}

TEST(InsertCommands, CommentDialogStartsFromDocumentAndSettingsAndInsertsOnlyOnOk)
{
    InsertHarness h;
    h.settings.WriteString(u"UserInfo", u"UserName", u"Ann");
    const std::string savedLocale = std::setlocale(LC_TIME, nullptr);
    std::setlocale(LC_TIME, "C");
    QString seenTitle, seenAuthor, seenCopyright;
    bool fieldsDisabled = false;
    bool cancel = true;
    h.commands->SetDialogRunner([&](QDialog& dialog) {
        auto& comment = dynamic_cast<CCommentDlg&>(dialog);
        auto* title = comment.findChild<QLineEdit*>(QStringLiteral("title"));
        seenTitle = title->text();
        seenAuthor = comment.findChild<QLineEdit*>(QStringLiteral("author"))->text();
        seenCopyright = comment.findChild<QLineEdit*>(QStringLiteral("copyright"))->text();
        fieldsDisabled = !title->isEnabled();
        if (cancel) {
            comment.reject();
            return int(QDialog::Rejected);
        }
        comment.findChild<QCheckBox*>(QStringLiteral("authorEnabled"))->setChecked(true);
        comment.findChild<QListWidget*>(QStringLiteral("style"))->setCurrentRow(5);
        comment.findChild<QPlainTextEdit*>(QStringLiteral("note"))->setPlainText(QStringLiteral("a\nb"));
        comment.accept();
        return int(QDialog::Accepted);
    });

    h.commands->OnComment();
    std::setlocale(LC_TIME, savedLocale.c_str());
    EXPECT_EQ(seenTitle, h.doc->GetTitle());
    EXPECT_EQ(seenAuthor, QStringLiteral("Ann"));
    EXPECT_EQ(seenCopyright, QStringLiteral("Copyright March 05, 2004"));
    EXPECT_TRUE(fieldsDisabled);
    EXPECT_EQ(h.Text(), u"one\ntwo\n");

    cancel = false;
    h.commands->OnComment();
    const std::u16string stars(25, u'*');
    EXPECT_EQ(h.Text(), u"-- " + stars + u"\n-- ** Author: Ann\n-- ** a\n-- ** b\n-- " + stars + u"\none\ntwo\n");
}

TEST(InsertCommands, DateDialogListsSortedChoicesAndOkWithoutChoiceStillReplacesTheSelection)
{
    InsertHarness h;
    const std::string savedLocale = std::setlocale(LC_TIME, nullptr);
    std::setlocale(LC_TIME, "C");
    QStringList listed;
    int pick = 0;
    h.commands->SetDialogRunner([&](QDialog& dialog) {
        auto& date = dynamic_cast<CDateDlg&>(dialog);
        listed.clear();
        for (int i = 0; i < date.GetList()->count(); ++i)
            listed << date.GetList()->item(i)->text();
        if (pick >= 0)
            date.GetList()->setCurrentRow(pick);
        date.accept();
        return int(QDialog::Accepted);
    });
    h.commands->OnDateTime();
    std::setlocale(LC_TIME, savedLocale.c_str());
    EXPECT_EQ(listed, (QStringList{QStringLiteral("03/05/2004"), QStringLiteral("03/05/2004 09:07"),
                                   QStringLiteral("09:07"), QStringLiteral("Friday, March 05, 2004"),
                                   QStringLiteral("March 05, 2004")}));
    EXPECT_EQ(h.Text(), u"03/05/2004one\ntwo\n");

    pick = -1;
    const int undoBefore = h.doc->GetEdit().GetUndoCount();
    h.commands->OnDateTime(); // nothing chosen, nothing selected: no edit at all
    EXPECT_EQ(h.doc->GetEdit().GetUndoCount(), undoBefore);
    h.Controller().SetSelection({1, 0}, {1, 3});
    h.commands->OnDateTime();
    EXPECT_EQ(h.Text(), u"03/05/2004one\n\n");
}

TEST(InsertCommands, TemplateGivesTheHtmlSkeletonAndRefusesXmlWithAMessage)
{
    InsertHarness h("");
    int type = CNewFileDlg::XmlTemplate;
    h.commands->SetDialogRunner([&](QDialog& dialog) {
        if (auto* chooser = dynamic_cast<CNewFileDlg*>(&dialog)) {
            EXPECT_EQ(chooser->GetType(), int(CNewFileDlg::HtmlTemplate));
            chooser->GetTypeBox()->setCurrentIndex(type);
            return int(QDialog::Accepted);
        }
        auto& page = dynamic_cast<CHTMLFirstDlg&>(dialog);
        EXPECT_EQ(page.GetHeadingType()->currentText(), QStringLiteral("H1"));
        page.GetTitleEdit()->setText(QStringLiteral("Home"));
        page.GetHeadingType()->setCurrentIndex(2);
        page.accept();
        return int(QDialog::Accepted);
    });
    h.commands->OnTemplate();
    EXPECT_EQ(h.messages.texts, QStringList{QStringLiteral("XML Template is not\r\nImplemented yet.")});
    EXPECT_EQ(h.Text(), u"");

    type = CNewFileDlg::HtmlTemplate;
    h.commands->OnTemplate();
    const std::u16string lf = h.doc->GetEdit().GetLineEndString();
    EXPECT_EQ(h.Text(), InsertionText::ToLineEnds(InsertionText::HtmlSkeleton(u"Home", u"", 2, u""), lf));
}

TEST(InsertCommands, UuidIsFreshAndInTheHyphenatedLowerCaseForm)
{
    InsertHarness h("");
    h.commands->OnUuid();
    h.commands->OnUuid();
    const QString text = QString::fromStdU16String(h.Text());
    ASSERT_EQ(text.size(), 72);
    const QRegularExpression form(QStringLiteral("^[0-9a-f]{8}-[0-9a-f]{4}-[0-9a-f]{4}-[0-9a-f]{4}-[0-9a-f]{12}$"));
    EXPECT_TRUE(form.match(text.left(36)).hasMatch()) << text.toStdString();
    EXPECT_NE(text.left(36), text.mid(36));
}

TEST(InsertCommands, EnabledWhileADocumentIsOpenAndNothingGoesIntoAReadOnlyOne)
{
    InsertHarness h;
    EXPECT_TRUE(h.app->MainFrame()->Action(TavroCmd::Uuid)->isEnabled());
    h.doc->GetEdit().SetReadOnly(true);
    h.commands->OnUuid();
    EXPECT_EQ(h.Text(), u"one\ntwo\n");
    h.app->CloseAllDocuments();
    for (int i = 0; i < 3; ++i) { // the windows go on the next turns of the event loop
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
    }
    EXPECT_FALSE(h.app->MainFrame()->Action(TavroCmd::Comment)->isEnabled());
}
