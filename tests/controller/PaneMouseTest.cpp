// The pane widget with a controller, driven by synthesised Qt events.

#include "ControllerTestSupport.h"

#include "view/SECEditMimeData.h"
#include "view/SECEditView.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QDropEvent>
#include <QInputMethodEvent>
#include <QMenu>
#include <QMimeData>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace {
void EnsureApplication()
{
    static int argc = 1;
    static char name[] = "tavro_controller_tests";
    static char* argv[] = {name, nullptr};
    if (!QApplication::instance())
        new QApplication(argc, argv);
}

// A real pane widget edited by a controller; Qt hands drops to a widget only
// inside a real drag, so the test calls the pane's handlers itself.
class DropPane : public SECEditView
{
public:
    using SECEditView::SECEditView;
    using SECEditView::dragEnterEvent;
    using SECEditView::dragMoveEvent;
    using SECEditView::dropEvent;
};

struct WidgetPane
{
    explicit WidgetPane(SECEdit& edit) : view(&edit), controller(&view.GetViewport())
    {
        view.SetPresentationState(&controller);
        view.SetPaneInput(&controller);
        view.resize(400, 300);
        view.show();
    }
    ~WidgetPane()
    {
        view.SetPaneInput(nullptr);
        view.SetPresentationState(nullptr);
    }
    QWidget* Surface() { return view.viewport(); }
    QPoint At(int column, int line)
    {
        const PixelPoint p = view.GetViewport().PointFromPosition({line, column});
        return {p.x + 2, p.y + 3};
    }
    DropPane view;
    SECEditController controller;
};

// Runs `open`, which shows a pop-up menu, and returns the menu's items as
// "text" or "-text" (disabled); the menu is closed without a choice.
QStringList MenuShownBy(const std::function<void()>& open)
{
    QStringList items;
    QTimer::singleShot(0, [&items] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (!menu)
            return;
        for (QAction* action : menu->actions())
            items.append(action->isSeparator() ? QStringLiteral("|")
                                               : (action->isEnabled() ? QString() : QStringLiteral("-")) + action->text());
        menu->close();
    });
    open();
    return items;
}
} // namespace

TEST(PaneMouse, RightClickMenuKeyAndShiftF10OpenTheContextMenu)
{
    EnsureApplication();
    TestDocument doc(u"alpha beta\ngamma");
    WidgetPane pane(doc.edit);
    const QStringList expected{QStringLiteral("-&Undo"), QStringLiteral("-&Redo"), QStringLiteral("|"),
                               QStringLiteral("-Cu&t"),  QStringLiteral("&Copy"),  QStringLiteral("-&Paste"),
                               QStringLiteral("|"),      QStringLiteral("Select &All")};
    const QPoint at = pane.At(2, 1);
    EXPECT_EQ(MenuShownBy([&] {
                  QContextMenuEvent event(QContextMenuEvent::Mouse, at, pane.Surface()->mapToGlobal(at));
                  QApplication::sendEvent(pane.Surface(), &event);
              }),
              expected);
    EXPECT_EQ(pane.controller.GetCaretPos(), SECEditTextPos(1, 2));
    pane.controller.MoveCaretTo(0, 1);
    EXPECT_EQ(MenuShownBy([&] { QTest::keyClick(&pane.view, Qt::Key_F10, Qt::ShiftModifier); }), expected);
    EXPECT_EQ(MenuShownBy([&] { QTest::keyClick(&pane.view, Qt::Key_Menu); }), expected);
    EXPECT_EQ(pane.controller.GetCaretPos(), SECEditTextPos(0, 1)); // the keyboard moves no caret
}

TEST(PaneMouse, ThePointerShowsGutterTextAndSelection)
{
    EnsureApplication();
    TestDocument doc(u"alpha beta");
    WidgetPane pane(doc.edit);
    pane.view.SetGutterMode(SECEditGutterSettings::MarksOnly);
    pane.controller.GetGutterSettings().mode = SECEditGutterSettings::MarksOnly;
    pane.view.OnGutterChanged();
    QTest::mouseMove(pane.Surface(), QPoint(5, 5));
    EXPECT_EQ(pane.Surface()->cursor().shape(), Qt::BitmapCursor);
    EXPECT_EQ(pane.Surface()->cursor().hotSpot(), QPoint(12, 0));
    QTest::mouseMove(pane.Surface(), pane.At(1, 0));
    EXPECT_EQ(pane.Surface()->cursor().shape(), Qt::IBeamCursor);
    pane.controller.SetSelection({0, 0}, {0, 5});
    QTest::mouseMove(pane.Surface(), pane.At(2, 0));
    EXPECT_EQ(pane.Surface()->cursor().shape(), Qt::ArrowCursor);
}

TEST(PaneMouse, DropsCarryTextColumnBlocksAndRefuseReadOnly)
{
    EnsureApplication();
    TestDocument doc(u"abc\ndef\nghi");
    WidgetPane pane(doc.edit);

    // The column marker goes with the text and comes back.
    std::unique_ptr<QMimeData> block(SECEditMimeData::Make({u"12\n34\n", true}));
    EXPECT_TRUE(block->hasFormat(QStringLiteral("MSDEVColumnSelect")));
    EXPECT_EQ(block->text(), QStringLiteral("12\n34\n"));
    SECEditTransfer back;
    ASSERT_TRUE(SECEditMimeData::Read(*block, back));
    EXPECT_TRUE(back.column);
    QMimeData plain;
    plain.setText(QStringLiteral("XY"));

    const auto drop = [&](const QMimeData& data, QPoint at, Qt::KeyboardModifiers modifiers) {
        QDragEnterEvent enter(at, Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, modifiers);
        pane.view.dragEnterEvent(&enter);
        if (!enter.isAccepted())
            return Qt::IgnoreAction;
        QDropEvent event(QPointF(at), Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, modifiers);
        pane.view.dropEvent(&event);
        return event.isAccepted() ? event.dropAction() : Qt::IgnoreAction;
    };
    // While text is over the pane its drop caret shows, with or without the focus.
    QDragEnterEvent over(pane.At(2, 2), Qt::CopyAction | Qt::MoveAction, &plain, Qt::LeftButton, Qt::NoModifier);
    pane.view.dragEnterEvent(&over);
    EXPECT_TRUE(pane.controller.IsDropCaret());
    EXPECT_FALSE(pane.view.GetCaretScreenRect().isEmpty());
    EXPECT_EQ(drop(plain, pane.At(1, 0), Qt::NoModifier), Qt::MoveAction);
    EXPECT_FALSE(pane.controller.IsDropCaret());
    EXPECT_EQ(doc.Line(0), u"aXYbc");
    EXPECT_EQ(drop(*block, pane.At(1, 1), Qt::ControlModifier), Qt::CopyAction);
    EXPECT_EQ(doc.Line(1), u"d12ef");
    EXPECT_EQ(doc.Line(2), u"g34hi");
    doc.edit.SetReadOnly(true);
    EXPECT_EQ(drop(plain, pane.At(0, 2), Qt::NoModifier), Qt::IgnoreAction);
    EXPECT_EQ(doc.Line(2), u"g34hi");
    doc.edit.SetReadOnly(false);

    // Files are not text for the pane: it leaves them to the window around it.
    QMimeData files;
    files.setUrls({QUrl::fromLocalFile(QStringLiteral("/tmp/some.txt"))});
    files.setText(QStringLiteral("/tmp/some.txt"));
    EXPECT_EQ(drop(files, pane.At(0, 0), Qt::NoModifier), Qt::IgnoreAction);
    EXPECT_EQ(doc.Line(0), u"aXYbc");
}

TEST(PaneMouse, AnInputMethodComposesAtTheCaretAndKnowsTheFont)
{
    EnsureApplication();
    TestDocument doc(u"ab");
    WidgetPane pane(doc.edit);
    pane.view.setFocus();
    pane.controller.OnFocus(true);
    pane.controller.MoveCaretTo(0, 1);
    const QRect before = pane.view.inputMethodQuery(Qt::ImCursorRectangle).toRect();
    EXPECT_FALSE(before.isEmpty());
    EXPECT_TRUE(pane.view.inputMethodQuery(Qt::ImEnabled).toBool());
    const QFont font = pane.view.inputMethodQuery(Qt::ImFont).value<QFont>();
    EXPECT_FALSE(font.family().isEmpty());

    // The composition shows at the caret and moves it on; the document is untouched until it commits.
    QInputMethodEvent compose(QStringLiteral("\u304B"), {});
    QApplication::sendEvent(&pane.view, &compose);
    EXPECT_EQ(pane.view.GetPreeditText(), QStringLiteral("\u304B"));
    EXPECT_EQ(doc.Line(0), u"ab");
    EXPECT_GT(pane.view.inputMethodQuery(Qt::ImCursorRectangle).toRect().left(), before.left());
    QInputMethodEvent commit;
    commit.setCommitString(QStringLiteral("\u304C"));
    QApplication::sendEvent(&pane.view, &commit);
    EXPECT_TRUE(pane.view.GetPreeditText().isEmpty());
    EXPECT_EQ(doc.Line(0), u"a\u304Cb");
}
