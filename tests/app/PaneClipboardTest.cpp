#include "DialogTestSupport.h"

#include "app/CTavroController.h"
#include "app/CTavroView.h"
#include "app/TavroCommandIds.h"
#include "controller/SECEditCommandIds.h"
#include "engine/SECEdit.h"

#include <QAction>
#include <QClipboard>
#include <QDropEvent>
#include <QGuiApplication>
#include <QMimeData>
#include <QUrl>

#include <gtest/gtest.h>

TEST(PaneClipboard, PasteFollowsTheClipboardAndColumnBlocksTravelThroughIt)
{
    AppHarness h;
    ASSERT_TRUE(h.Start());
    CTavroDoc* doc = OpenWith(h, QStringLiteral("block.txt"), "abcd\nefgh\n");
    ASSERT_NE(doc, nullptr);
    auto* pane = qobject_cast<CTavroView*>(DialogCommands(h).ActivePane());
    ASSERT_NE(pane, nullptr);
    CTavroController& c = pane->GetController();
    c.OnFocus(true);
    QAction* paste = h.app->MainFrame()->Action(TavroCmd::EditPaste);
    QClipboard* clipboard = QGuiApplication::clipboard();

    clipboard->clear();
    EXPECT_FALSE(paste->isEnabled());
    clipboard->setText(QStringLiteral("x"));
    EXPECT_TRUE(paste->isEnabled()); // heard from the clipboard, not asked at a caret move

    // A block copied here carries the marker and pastes back as a block.
    c.SetSelection({0, 1}, {1, 3}, ColumnSelection);
    c.OnCommand(ID_EDIT_COPY);
    ASSERT_NE(clipboard->mimeData(), nullptr);
    EXPECT_TRUE(clipboard->mimeData()->hasFormat(QStringLiteral("MSDEVColumnSelect")));
    c.ClearSelection(true);
    c.MoveCaretTo(0, 4);
    c.OnCommand(ID_EDIT_PASTE);
    std::u16string text;
    doc->GetEdit().GetAllText(text);
    EXPECT_EQ(text.substr(0, 13), u"abcdbc\nefghfg");

    // The column switch is an Edit menu item with a check mark that follows the pane.
    QAction* column = h.app->MainFrame()->Action(TavroCmd::EditColumnMode);
    ASSERT_NE(column, nullptr);
    EXPECT_FALSE(column->isChecked());
    column->trigger();
    EXPECT_TRUE(c.IsColumnMode());
    EXPECT_TRUE(column->isChecked());
}

TEST(PaneClipboard, FilesDroppedOnAPaneOpenAsDocuments)
{
    AppHarness h;
    ASSERT_TRUE(h.Start());
    CTavroDoc* first = OpenWith(h, QStringLiteral("first.txt"), "text\n");
    ASSERT_NE(first, nullptr);
    auto* pane = qobject_cast<CTavroView*>(DialogCommands(h).ActivePane());
    ASSERT_NE(pane, nullptr);
    const qsizetype before = h.app->Documents().size();
    const QString other = h.Write(QStringLiteral("dropped.xml"), "<a/>\n");
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(other)});
    data.setText(other);
    QDragEnterEvent enter(QPoint(30, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QGuiApplication::sendEvent(pane->viewport(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(30, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QGuiApplication::sendEvent(pane->viewport(), &drop);
    ASSERT_EQ(h.app->Documents().size(), before + 1);
    EXPECT_EQ(h.app->Documents().last()->GetLanguageName(), QStringLiteral("XML"));
    std::u16string text;
    first->GetEdit().GetAllText(text);
    EXPECT_EQ(text, u"text\n"); // the file's name did not go in as text
}
