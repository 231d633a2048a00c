#include "ControllerTestSupport.h"

#include "view/SECEditView.h"

#include <QApplication>
#include <QFocusEvent>
#include <QTest>

#include <gtest/gtest.h>

namespace {
// The pane widget needs an application object; the other suites need none.
void EnsureApplication()
{
    static int argc = 1;
    static char name[] = "tavro_controller_tests";
    static char* argv[] = {name, nullptr};
    if (!QApplication::instance())
        new QApplication(argc, argv);
}

// A real pane widget edited by a controller.
struct WidgetPane
{
    explicit WidgetPane(SECEdit& edit) : view(&edit), controller(&view.GetViewport())
    {
        view.SetPresentationState(&controller);
        view.SetPaneInput(&controller);
        view.resize(400, 300);
    }
    ~WidgetPane()
    {
        view.SetPaneInput(nullptr);
        view.SetPresentationState(nullptr);
    }
    SECEditView view;
    SECEditController controller;
};
} // namespace

TEST(PaneWidget, KeysAndTextReachTheControllerAndTabIsAnEditingKey)
{
    EnsureApplication();
    TestDocument doc(u"");
    WidgetPane pane(doc.edit);
    QTest::keyClicks(&pane.view, QStringLiteral("ab"));
    QTest::keyClick(&pane.view, Qt::Key_Tab);
    QTest::keyClick(&pane.view, Qt::Key_Return);
    QTest::keyClicks(&pane.view, QStringLiteral("c"));
    EXPECT_EQ(doc.Line(0), u"ab\t");
    EXPECT_EQ(doc.Line(1), u"c");
    QTest::keyClick(&pane.view, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(doc.Line(1), u"");
    // Shift+Tab arrives as a back-tab; with a selection over both lines it outdents them.
    QTest::keyClick(&pane.view, Qt::Key_Up, Qt::ShiftModifier);
    QTest::keyClick(&pane.view, Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(doc.Line(0), u"ab\t");
    QTest::keyClick(&pane.view, Qt::Key_Home, Qt::ControlModifier);
    QTest::keyClick(&pane.view, Qt::Key_Tab);
    QTest::keyClick(&pane.view, Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(doc.Line(0), u"\tab\t");
    EXPECT_EQ(pane.controller.GetCaretPos(), SECEditTextPos(0, 0));
}

TEST(PaneWidget, TheCaretIsABarThatBecomesABlockInOvertype)
{
    EnsureApplication();
    TestDocument doc(u"abc");
    WidgetPane pane(doc.edit);
    QTest::keyClick(&pane.view, Qt::Key_Right);
    const QRect bar = pane.view.GetCaretScreenRect();
    ASSERT_FALSE(bar.isEmpty());
    EXPECT_EQ(bar.width(), 2);
    EXPECT_EQ(bar.height(), pane.view.GetViewport().GetLineHeight());
    QTest::keyClick(&pane.view, Qt::Key_Insert);
    const QRect block = pane.view.GetCaretScreenRect();
    EXPECT_EQ(block.width(), pane.view.GetViewport().MeasureText(u"b"));
    EXPECT_GT(block.left(), bar.left());
    EXPECT_TRUE(doc.edit.GetOvertype());
}

TEST(PaneWidget, AMenuPopupLeavesTheCaretWithThePane)
{
    EnsureApplication();
    TestDocument doc(u"abc");
    WidgetPane pane(doc.edit);
    QTest::keyClick(&pane.view, Qt::Key_End);
    ASSERT_TRUE(pane.controller.IsCaretCreated());
    QFocusEvent popup(QEvent::FocusOut, Qt::PopupFocusReason);
    QApplication::sendEvent(&pane.view, &popup);
    EXPECT_TRUE(pane.controller.IsCaretCreated());
    EXPECT_TRUE(pane.view.GetCaretScreenRect().isEmpty()); // not drawn while the menu is open
    // An edit from the menu still moves this pane's caret.
    pane.controller.OnCommand(ID_EDIT_BACKSPACE);
    EXPECT_EQ(pane.controller.GetCaretPos(), SECEditTextPos(0, 2));
    QFocusEvent away(QEvent::FocusOut, Qt::OtherFocusReason);
    QApplication::sendEvent(&pane.view, &away);
    EXPECT_FALSE(pane.controller.IsCaretCreated());
}
