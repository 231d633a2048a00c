#include "DialogTestSupport.h"

#include "app/CFindCommands.h"
#include "app/CFindReplaceDlg.h"
#include "app/CTavroController.h"
#include "app/CTavroView.h"
#include "app/TavroCommandIds.h"
#include "controller/SECEditCommandIds.h"
#include "controller/SECEditSearchSettings.h"
#include "engine/SECEdit.h"
#include "engine/SECEditLineMarks.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QRadioButton>

#include <gtest/gtest.h>

namespace {

struct FindHarness
{
    FindHarness(const QByteArray& text)
    {
        SECEditSearchSettings::Instance().findText.clear();
        SECEditSearchSettings::Instance().replaceText.clear();
        SECEditSearchSettings::Instance().regularExpression = false;
        SECEditSearchSettings::Instance().wholeWord = false;
        SECEditSearchSettings::Instance().matchCase = false;
        started = h.Start();
        doc = started ? OpenWith(h, QStringLiteral("find.txt"), text) : nullptr;
        commands = h.app->MainFrame()->findChild<CFindCommands*>();
        pane = doc ? qobject_cast<CTavroView*>(DialogCommands(h).ActivePane()) : nullptr;
    }
    CTavroController& Controller() { return pane->GetController(); }
    CFindReplaceDlg* Open(bool find)
    {
        h.app->MainFrame()->Action(find ? TavroCmd::EditFind : TavroCmd::EditReplace)->trigger();
        return commands->Dialog();
    }
    std::u16string Text() const
    {
        std::u16string all;
        doc->GetEdit().GetAllText(all);
        return all;
    }

    AppHarness h;
    bool started = false;
    CTavroDoc* doc = nullptr;
    CFindCommands* commands = nullptr;
    CTavroView* pane = nullptr;
};

template <typename T> T* Child(QWidget* dialog, const char* name)
{
    return dialog->findChild<T*>(QString::fromLatin1(name));
}

} // namespace

TEST(FindReplaceDialog, ReplaceAllIsOneUndoStepAndTheDialogStaysOpen)
{
    FindHarness f("red green red\nred\n");
    ASSERT_TRUE(f.started && f.pane && f.commands);
    CFindReplaceDlg* dialog = f.Open(false);
    ASSERT_NE(dialog, nullptr);
    EXPECT_FALSE(dialog->isModal());
    // Opened without a selection: the whole file, and no Selection scope.
    EXPECT_FALSE(Child<QRadioButton>(dialog, "selection")->isEnabled());
    EXPECT_TRUE(Child<QRadioButton>(dialog, "wholeFile")->isChecked());

    Child<QComboBox>(dialog, "findWhat")->setEditText(QStringLiteral("red"));
    Child<QComboBox>(dialog, "replaceWith")->setEditText(QStringLiteral("blue"));
    Child<QPushButton>(dialog, "replaceAll")->click();
    EXPECT_EQ(f.Text(), u"blue green blue\nblue\n");
    // Find Next follows at once, and finds nothing more.
    EXPECT_EQ(f.h.messages.texts,
              (QStringList{QStringLiteral("The document has been searched and 3 replacements were made."),
                           QStringLiteral("Finished searching for 'red'.")}));
    EXPECT_EQ(f.commands->Dialog(), dialog);
    EXPECT_EQ(SECEditSearchSettings::Instance().replaceHistory.front(), u"blue");
    EXPECT_TRUE(f.h.app->MainFrame()->isWindowModified()) << "the title shows the change";

    f.Controller().OnCommand(ID_EDIT_UNDO);
    EXPECT_EQ(f.Text(), u"red green red\nred\n");
    dialog->reject();

    // Replace All in the selection; the next Replace dialog opened on a
    // selection starts on that scope again, one opened without starts on the whole file.
    f.Controller().SetSelection({0, 0}, {0, 9});
    dialog = f.Open(false);
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(Child<QRadioButton>(dialog, "wholeFile")->isChecked());
    Child<QComboBox>(dialog, "findWhat")->setEditText(QStringLiteral("red"));
    Child<QRadioButton>(dialog, "selection")->click();
    Child<QPushButton>(dialog, "replaceAll")->click();
    EXPECT_EQ(f.Text(), u"blue green red\nred\n");
    dialog->reject();
    f.Controller().SetSelection({1, 0}, {1, 3});
    dialog = f.Open(false);
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(Child<QRadioButton>(dialog, "selection")->isChecked());
    dialog->reject();
    f.Controller().ClearSelection(true);
    dialog = f.Open(false);
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(Child<QRadioButton>(dialog, "wholeFile")->isChecked());
    dialog->reject();
}

TEST(FindReplaceDialog, MarkAllBookmarksAndSelectsTheFirstMatch)
{
    FindHarness f("one\ntwo two\nthree\ntwo\n");
    ASSERT_TRUE(f.started && f.pane && f.commands);
    // Next, Previous and Remove All wait for a bookmark; setting one is always possible.
    f.Controller().OnFocus(true);
    CMainFrame& frame = *f.h.app->MainFrame();
    const auto enabled = [&frame] {
        QList<bool> states;
        for (int id : {TavroCmd::EditBookmarkToggle, TavroCmd::EditBookmarkNext, TavroCmd::EditBookmarkPrev,
                       TavroCmd::EditBookmarkClearAll})
            states.append(frame.Action(id)->isEnabled());
        return states;
    };
    EXPECT_EQ(enabled(), (QList<bool>{true, false, false, false}));
    CFindReplaceDlg* dialog = f.Open(true);
    ASSERT_NE(dialog, nullptr);
    Child<QComboBox>(dialog, "findWhat")->setEditText(QStringLiteral("two"));
    Child<QPushButton>(dialog, "markAll")->click();
    const SECEdit& edit = f.doc->GetEdit();
    EXPECT_EQ(edit.CountLineMarks(SECEditLineMarks::BookmarkMark), 2);
    EXPECT_TRUE(edit.TestLineMark(1, SECEditLineMarks::BookmarkMark));
    EXPECT_TRUE(edit.TestLineMark(3, SECEditLineMarks::BookmarkMark));
    EXPECT_EQ(f.Controller().GetSelectedText(), u"two");
    EXPECT_TRUE(f.h.messages.texts.isEmpty());
    EXPECT_FALSE(dialog->isVisible()) << "the follow-up Find Next found a match and closed the dialog";
    EXPECT_EQ(enabled(), (QList<bool>{true, true, true, true}));

    // The Bookmark menu acts on the pane.
    QAction* next = f.h.app->MainFrame()->Action(TavroCmd::EditBookmarkNext);
    next->trigger();
    EXPECT_EQ(f.Controller().GetCaretPos(), SECEditTextPos(3, 0));
    f.h.app->MainFrame()->Action(TavroCmd::EditBookmarkClearAll)->trigger();
    EXPECT_EQ(edit.CountLineMarks(SECEditLineMarks::BookmarkMark), 0);
    EXPECT_EQ(enabled(), (QList<bool>{true, false, false, false}));
    f.h.app->MainFrame()->Action(TavroCmd::EditBookmarkToggle)->trigger();
    EXPECT_EQ(enabled(), (QList<bool>{true, true, true, true}));
}

TEST(FindReplaceDialog, AnInvalidRegularExpressionGetsAMessage)
{
    FindHarness f("a(b\n");
    ASSERT_TRUE(f.started && f.pane && f.commands);
    CFindReplaceDlg* dialog = f.Open(true);
    ASSERT_NE(dialog, nullptr);
    Child<QCheckBox>(dialog, "wholeWord")->setChecked(true);
    Child<QCheckBox>(dialog, "regularExpression")->setChecked(true);
    EXPECT_FALSE(Child<QCheckBox>(dialog, "wholeWord")->isChecked());
    EXPECT_FALSE(Child<QCheckBox>(dialog, "wholeWord")->isEnabled());
    Child<QComboBox>(dialog, "findWhat")->setEditText(QStringLiteral("a(b"));
    Child<QPushButton>(dialog, "findNext")->click();
    ASSERT_EQ(f.h.messages.texts.size(), 1);
    EXPECT_TRUE(f.h.messages.texts.front().startsWith(QStringLiteral("The regular expression 'a(b' is not valid")));
    EXPECT_EQ(f.commands->Dialog(), dialog) << "nothing found: the dialog stays";

    // With the field empty, nothing can be asked.
    Child<QComboBox>(dialog, "findWhat")->setEditText(QString());
    EXPECT_FALSE(Child<QPushButton>(dialog, "findNext")->isEnabled());
    EXPECT_FALSE(Child<QPushButton>(dialog, "markAll")->isEnabled());
    dialog->reject();
}
