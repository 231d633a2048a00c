#include "DialogTestSupport.h"

#include "app/CAboutDlg.h"
#include "app/CChildFrame.h"
#include "app/CHelpWindow.h"
#include "app/CMainFrame.h"
#include "app/CTavroDoc.h"
#include "app/CTavroController.h"
#include "app/CTavroView.h"
#include "app/TavroCommandIds.h"
#include "controller/SECEditCommandIds.h"
#include "view/SECEditSplitterWindow.h"
#include "platform/qt/QtSettingsStore.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QStatusBar>
#include <QTextBrowser>
#include <QToolBar>
#include <QUrl>

#include <gtest/gtest.h>

namespace {

QStringList MenuTitles(const CMainFrame& frame)
{
    QStringList titles;
    for (QAction* action : frame.menuBar()->actions())
        titles.append(action->text().remove(QLatin1Char('&')));
    return titles;
}

QMenu* MenuNamed(const CMainFrame& frame, const QString& title)
{
    for (QAction* action : frame.menuBar()->actions()) {
        if (action->text().remove(QLatin1Char('&')) == title)
            return action->menu();
    }
    return nullptr;
}

// Command ids of a menu and its submenus, separators as 0, in order.
QList<int> MenuIds(const QMenu* menu)
{
    QList<int> ids;
    for (QAction* action : menu->actions()) {
        if (action->isSeparator())
            ids.append(0);
        else if (action->menu())
            ids += MenuIds(action->menu());
        else if (action->isVisible() && action->data().isValid())
            ids.append(action->data().toInt());
    }
    return ids;
}

} // namespace

TEST(MainFrame, MenusSwitchBetween128And129WithEveryItemPresent)
{
    AppHarness h;
    ASSERT_TRUE(h.Start({QStringLiteral("absent.txt")}));
    CMainFrame& frame = *h.app->MainFrame();
    EXPECT_EQ(frame.CurrentMenuId(), 128);
    EXPECT_EQ(MenuTitles(frame), (QStringList{QStringLiteral("File"), QStringLiteral("View"), QStringLiteral("Help")}));
    using namespace TavroCmd;
    EXPECT_EQ(MenuIds(MenuNamed(frame, QStringLiteral("File"))),
              (QList<int>{FileNew, FileOpen, 0, FilePrintSetup, 0, 0, AppExit}));

    h.app->OnFileNew();
    EXPECT_EQ(frame.CurrentMenuId(), 129);
    EXPECT_EQ(MenuTitles(frame),
              (QStringList{QStringLiteral("File"), QStringLiteral("Edit"), QStringLiteral("View"), QStringLiteral("Insert"),
                           QStringLiteral("Tools"), QStringLiteral("Window"), QStringLiteral("Help")}));
    EXPECT_EQ(MenuIds(MenuNamed(frame, QStringLiteral("Edit"))),
              (QList<int>{EditUndo, EditRedo, 0, EditCut, EditCopy, EditPaste, 0, UpperCase, LowerCase, IndentIncrease,
                          IndentDecrease, EditBookmarkToggle, EditBookmarkNext, EditBookmarkPrev, 0,
                          EditBookmarkClearAll, 0, GoTo, EditFind, EditReplace, 0, EditSelectAll,
                          EditColumnMode}));
    EXPECT_EQ(MenuIds(MenuNamed(frame, QStringLiteral("Insert"))),
              (QList<int>{Template, DateTime, UserInfoAll, 0, UserName, CompanyName, Address, Telephone, Fax, Email,
                          Uuid, Comment}));
    EXPECT_EQ(MenuIds(MenuNamed(frame, QStringLiteral("Tools"))),
              (QList<int>{ChooseFont, Count, CheckSpelling, SetLanguage, 0, Options}));

    // Features built elsewhere later are shown disabled, never missing.
    // Check Spelling waits for a selection.
    for (int id : {EditUndo, CheckSpelling})
        EXPECT_FALSE(frame.Action(id)->isEnabled()) << id;
    for (int id : {FileNew, FileOpen, FileSave, FileSaveAs, FileClose, FilePrint, FilePrintPreview, FilePrintSetup,
                   WindowNew, HelpFinder, AppAbout, RemainOnTop, DateTime, Comment, Uuid, Template, Options})
        EXPECT_TRUE(frame.Action(id)->isEnabled()) << id;
}

TEST(MainFrame, ShortcutsOfTheAcceleratorTableAndTheMenuTexts)
{
    AppHarness h;
    ASSERT_TRUE(h.Start());
    const CMainFrame& frame = *h.app->MainFrame();
    using namespace TavroCmd;
    const auto keys = [&](int id) { return frame.Action(id)->shortcuts(); };
    EXPECT_EQ(keys(FileNew), QList<QKeySequence>{QKeySequence(QStringLiteral("Ctrl+N"))});
    EXPECT_EQ(keys(HelpFinder), QList<QKeySequence>{QKeySequence(QStringLiteral("F1"))});
    EXPECT_EQ(keys(CheckSpelling), QList<QKeySequence>{QKeySequence(QStringLiteral("F7"))});
    EXPECT_EQ(keys(Count), QList<QKeySequence>{QKeySequence(QStringLiteral("Ctrl+Shift+C"))});
    EXPECT_EQ(keys(EditUndo).size(), 2);
    EXPECT_EQ(keys(EditCut).size(), 2);
    EXPECT_TRUE(frame.Action(LowerCase)->text().endsWith(QStringLiteral("\tCtrl+U")));
    EXPECT_TRUE(frame.Action(EditBookmarkToggle)->text().endsWith(QStringLiteral("\tCtrl+F2")));
    EXPECT_EQ(frame.Action(RemainOnTop)->statusTip(), QStringLiteral("Toggles the topmost window state flag"));
    EXPECT_EQ(frame.Action(RemainOnTop)->toolTip(), QStringLiteral("Topmost"));
}

TEST(MainFrame, ToolbarButtonsInOrder)
{
    AppHarness h;
    ASSERT_TRUE(h.Start());
    const CMainFrame& frame = *h.app->MainFrame();
    const QToolBar* bar = frame.findChild<QToolBar*>(QStringLiteral("ToolBar"));
    ASSERT_NE(bar, nullptr);
    QList<int> ids;
    for (QAction* action : bar->actions()) {
        ids.append(action->isSeparator() ? 0 : action->data().toInt());
        if (!action->isSeparator()) {
            EXPECT_FALSE(action->icon().isNull()) << action->data().toInt();
        }
    }
    using namespace TavroCmd;
    EXPECT_EQ(ids, (QList<int>{FileNew, FileOpen, FileSave, 0, EditCut, EditCopy, EditPaste, 0, EditUndo, EditRedo, 0,
                               FilePrint, 0, EditFind, EditFindNext, EditBookmarkToggle, EditBookmarkNext,
                               EditBookmarkPrev, EditBookmarkClearAll, 0, IndentIncrease, IndentDecrease, Count,
                               ShowWhitespace, 0, RemainOnTop, 0, AppAbout}));
}

TEST(MainFrame, StatusBarPanes)
{
    AppHarness h;
    ASSERT_TRUE(h.Start());
    CMainFrame& frame = *h.app->MainFrame();
    EXPECT_EQ(frame.PaneText(0), QStringLiteral("Ready"));
    EXPECT_EQ(frame.LineColumnText(), QStringLiteral("Ln 1, Col 1"));
    frame.SetLineColumn(1234, 56);
    EXPECT_EQ(frame.LineColumnText(), QStringLiteral("Ln 1234, Col 56"));
    frame.SetOverwrite(true);
    EXPECT_EQ(frame.PaneText(TavroBar::PaneOverwrite), QStringLiteral("OVR"));
    frame.SetOverwrite(false);
    EXPECT_EQ(frame.PaneText(TavroBar::PaneOverwrite), QString());

    // Overtype is the document's: the pane follows the active window.
    CTavroDoc* first = h.app->Documents()[0];
    first->GetEdit().SetOvertype(true);
    h.app->OnFileNew();
    EXPECT_EQ(frame.PaneText(TavroBar::PaneOverwrite), QString());
    frame.ActivateChildFrame(first->GetFrames()[0]);
    EXPECT_EQ(frame.ActiveDocument(), first);
    EXPECT_EQ(frame.PaneText(TavroBar::PaneOverwrite), QStringLiteral("OVR"));

    // The position pane is wide enough for its largest text.
    const auto* pane = frame.statusBar()->findChild<QLabel*>(QStringLiteral("pane%1").arg(TavroBar::PaneLineColumn));
    ASSERT_NE(pane, nullptr);
    EXPECT_GE(pane->contentsRect().width(), pane->fontMetrics().horizontalAdvance(QStringLiteral("Ln 9999, Col 9999")));
}

TEST(MainFrame, StoredPlacementOnlyOnScreensLargerThan640By480)
{
    MemorySettings settings;
    EXPECT_FALSE(CMainFrame::StoredPlacement(settings, QSize(640, 480)));
    EXPECT_FALSE(CMainFrame::StoredPlacement(settings, QSize(1024, 480)));
    EXPECT_FALSE(CMainFrame::StoredPlacement(settings, QSize(640, 768)));
    EXPECT_EQ(CMainFrame::StoredPlacement(settings, QSize(641, 481)), QRect(15, 15, 641, 481));
    EXPECT_EQ(CMainFrame::StoredPlacement(settings, QSize(1024, 768)), QRect(15, 15, 730, 500));

    settings.WriteInt(u"settings", u"cx", 900);
    settings.WriteInt(u"Settings", u"cy", 700);
    settings.WriteInt(u"SETTINGS", u"x", 40);
    settings.WriteInt(u"settings", u"y", 30);
    EXPECT_EQ(CMainFrame::StoredPlacement(settings, QSize(1920, 1080)), QRect(40, 30, 900, 700));

    // Nor can a huge one cost a gigabyte of window.
    settings.WriteInt(u"settings", u"cx", 20000);
    settings.WriteInt(u"settings", u"cy", 16000);
    EXPECT_EQ(CMainFrame::StoredPlacement(settings, QSize(1920, 1050)), QRect(40, 30, 1920, 1050));

    // A damaged value cannot make the window vanish.
    settings.WriteInt(u"settings", u"cx", 0);
    settings.WriteString(u"settings", u"cy", u"tall");
    EXPECT_EQ(CMainFrame::StoredPlacement(settings, QSize(1920, 1080)), QRect(40, 30, 730, 500));

    EXPECT_TRUE(CMainFrame::ShouldStorePlacement(QRect(0, 0, 800, 600), false));
    EXPECT_FALSE(CMainFrame::ShouldStorePlacement(QRect(0, 0, 800, 600), true));
    EXPECT_FALSE(CMainFrame::ShouldStorePlacement(QRect(-5, 10, 800, 600), false));
    EXPECT_FALSE(CMainFrame::ShouldStorePlacement(QRect(10, -1, 800, 600), false));
}

TEST(MainFrame, ClosingWritesThePlacementAndTheBarsComeBack)
{
    AppHarness h;
    ASSERT_TRUE(h.Start());
    CMainFrame* frame = h.app->MainFrame();
    frame->show();
    frame->move(50, 60);
    frame->resize(800, 600);
    frame->Action(TavroCmd::ViewStatusBar)->trigger();
    EXPECT_TRUE(frame->statusBar()->isHidden());
    frame->Action(TavroCmd::ViewToolbar)->trigger();
    EXPECT_TRUE(frame->findChild<QToolBar*>(QStringLiteral("ToolBar"))->isHidden());
    ASSERT_TRUE(frame->close());
    EXPECT_EQ(h.settings.ReadInt(u"settings", u"cx", 0), 800);
    EXPECT_EQ(h.settings.ReadInt(u"settings", u"cy", 0), 600);
    EXPECT_EQ(h.settings.ReadInt(u"settings", u"x", 0), frame->pos().x());
    EXPECT_EQ(h.settings.ReadInt(u"settings", u"y", 0), frame->pos().y());

    AppHarness next;
    next.settings = h.settings;
    ASSERT_TRUE(next.Start());
    EXPECT_EQ(next.app->MainFrame()->size(), QSize(800, 600));
    EXPECT_TRUE(next.app->MainFrame()->statusBar()->isHidden());
    EXPECT_FALSE(next.app->MainFrame()->Action(TavroCmd::ViewStatusBar)->isChecked());
    next.app->MainFrame()->show();
    EXPECT_TRUE(next.app->MainFrame()->findChild<QToolBar*>(QStringLiteral("ToolBar"))->isHidden());
    EXPECT_FALSE(next.app->MainFrame()->Action(TavroCmd::ViewToolbar)->isChecked());
}

TEST(MainFrame, MinimisedWindowKeepsTheStoredPlacement)
{
    AppHarness h;
    h.settings.WriteInt(u"settings", u"cx", 777);
    ASSERT_TRUE(h.Start());
    CMainFrame* frame = h.app->MainFrame();
    frame->show();
    frame->resize(900, 650);
    frame->showMinimized();
    if (!frame->isMinimized())
        GTEST_SKIP() << "this platform plugin cannot minimise";
    ASSERT_TRUE(frame->close());
    EXPECT_EQ(h.settings.ReadInt(u"settings", u"cx", 0), 777);
}

TEST(MainFrame, RemainOnTopTogglesTheFlagAndTheCheckMark)
{
    AppHarness h;
    ASSERT_TRUE(h.Start());
    CMainFrame& frame = *h.app->MainFrame();
    frame.show();
    EXPECT_FALSE(frame.IsTopmost());
    frame.Action(TavroCmd::RemainOnTop)->trigger();
    EXPECT_TRUE(frame.IsTopmost());
    EXPECT_TRUE(frame.Action(TavroCmd::RemainOnTop)->isChecked());
    EXPECT_TRUE(frame.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    frame.Action(TavroCmd::RemainOnTop)->trigger();
    EXPECT_FALSE(frame.IsTopmost());
    EXPECT_FALSE(frame.Action(TavroCmd::RemainOnTop)->isChecked());
    EXPECT_TRUE(frame.isVisible());
}

TEST(MainFrame, DroppedFilesOpen)
{
    AppHarness h;
    ASSERT_TRUE(h.Start({QStringLiteral("none.txt")}));
    const QString a = h.Write(QStringLiteral("a.xml"), "<a/>\n");
    const QString b = h.Write(QStringLiteral("b.cs"), "class B {}\n");
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(a), QUrl::fromLocalFile(b)});
    data.setText(QStringLiteral("not a file"));
    // Qt delivers a synthetic drop event only inside a real drag, so the handler is called directly.
    EXPECT_TRUE(h.app->MainFrame()->OpenDroppedFiles(data));
    ASSERT_EQ(h.app->Documents().size(), 2) << h.messages.texts.join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(h.app->Documents()[0]->GetLanguageName(), QStringLiteral("XML"));
    EXPECT_EQ(h.app->Documents()[1]->GetLanguageName(), QStringLiteral("C#"));
}

TEST(MainFrame, HelpTopicsShowsTheManualAndAboutNamesTheVersion)
{
    AppHarness h;
    ASSERT_TRUE(h.Start());
    h.app->MainFrame()->Action(TavroCmd::HelpFinder)->trigger();
    CHelpWindow* help = h.app->HelpWindow();
    ASSERT_NE(help, nullptr);
    EXPECT_TRUE(help->isVisible());
    EXPECT_TRUE(help->Browser()->toPlainText().contains(QStringLiteral("User's Manual")));
    // Every page linked from the contents exists.
    for (const char* page : {"files.html", "editing.html", "windows.html", "languages.html", "settings.html"}) {
        help->Browser()->setSource(QUrl(QStringLiteral("qrc:/help/") + QString::fromLatin1(page)));
        EXPECT_GT(help->Browser()->toPlainText().size(), 200) << page;
    }
    // The manual names the settings file the program really uses, and says
    // that a Find Next that finds something closes the Find window.
    QtSettingsStore store;
    const QFileInfo file(store.GetSettings().fileName());
    help->Browser()->setSource(QUrl(QStringLiteral("qrc:/help/settings.html")));
    EXPECT_TRUE(help->Browser()->toPlainText().contains(file.dir().dirName() + QLatin1Char('/') + file.fileName()))
        << file.filePath().toStdString();
    help->Browser()->setSource(QUrl(QStringLiteral("qrc:/help/editing.html")));
    EXPECT_TRUE(help->Browser()->toPlainText().simplified().contains(QStringLiteral("the Find window closes")));

    CAboutDlg about;
    EXPECT_EQ(about.windowTitle(), QStringLiteral("About Tavro"));
    const auto* version = about.findChild<QLabel*>(QStringLiteral("versionLabel"));
    ASSERT_NE(version, nullptr);
    EXPECT_TRUE(version->text().contains(QStringLiteral("Version 3.3.0.6")));
}

TEST(MainFrame, TitleShowsTheActiveDocumentAndItsModifiedMark)
{
    AppHarness h;
    h.Write(QStringLiteral("t.txt"), "x");
    ASSERT_TRUE(h.Start({QStringLiteral("t.txt")}));
    CMainFrame& frame = *h.app->MainFrame();
    EXPECT_EQ(frame.windowTitle(), QStringLiteral("Tavro - t.txt[*]"));
    EXPECT_FALSE(frame.isWindowModified());
    ASSERT_TRUE(h.app->Documents()[0]->GetEdit().InsertTextAt(0, 0, u"y"));
    EXPECT_TRUE(frame.isWindowModified());
    EXPECT_TRUE(h.app->Documents()[0]->GetFrames()[0]->isWindowModified());
}

TEST(MainFrame, CascadeAndTileLeaveTheTabsAndTabbedBringsThemBack)
{
    AppHarness h;
    ASSERT_TRUE(h.Start());
    h.app->OnFileNew();
    CMainFrame& frame = *h.app->MainFrame();
    frame.show();
    ASSERT_EQ(frame.MdiArea()->viewMode(), QMdiArea::TabbedView);
    frame.Action(TavroCmd::WindowCascade)->trigger();
    EXPECT_EQ(frame.MdiArea()->viewMode(), QMdiArea::SubWindowView);
    QAction* tabbed = nullptr;
    for (QAction* action : MenuNamed(frame, QStringLiteral("Window"))->actions()) {
        if (action->text().remove(QLatin1Char('&')) == QStringLiteral("Tabbed"))
            tabbed = action;
    }
    ASSERT_NE(tabbed, nullptr);
    EXPECT_FALSE(tabbed->isChecked());
    tabbed->trigger();
    EXPECT_EQ(frame.MdiArea()->viewMode(), QMdiArea::TabbedView);
    frame.Action(TavroCmd::WindowTileHorz)->trigger();
    EXPECT_EQ(frame.MdiArea()->viewMode(), QMdiArea::SubWindowView);
    EXPECT_EQ(frame.ChildFrames().size(), 2);

    // The Window menu lists the open windows; choosing one activates it.
    QMenu* window = MenuNamed(frame, QStringLiteral("Window"));
    Q_EMIT window->aboutToShow();
    QStringList listed;
    QAction* first = nullptr;
    for (QAction* action : window->actions()) {
        if (action->text().startsWith(QLatin1Char('&')) && action->text().at(1).isDigit()) {
            listed.append(action->text());
            if (!first)
                first = action;
        }
    }
    EXPECT_EQ(listed, (QStringList{QStringLiteral("&1 Tavro1"), QStringLiteral("&2 Tavro2")}));
    ASSERT_NE(first, nullptr);
    first->trigger();
    EXPECT_EQ(frame.ActiveDocument()->GetTitle(), QStringLiteral("Tavro1"));
}

TEST(MainFrame, CascadeShowsEveryWindowAtASensibleSize)
{
    AppHarness h;
    ASSERT_TRUE(h.Start());
    CMainFrame& frame = *h.app->MainFrame();
    frame.resize(900, 700);
    frame.show();
    h.app->OnFileNew();
    h.app->OnFileNew();
    for (int round = 0; round < 2; ++round) { // straight from the tabs, then from overlapping windows
        frame.Action(TavroCmd::WindowCascade)->trigger();
        const QRect area = frame.MdiArea()->viewport()->rect();
        QList<QPoint> corners;
        for (QMdiSubWindow* sub : frame.MdiArea()->subWindowList(QMdiArea::CreationOrder)) {
            EXPECT_TRUE(sub->isVisible());
            EXPECT_FALSE(sub->isMinimized() || sub->isMaximized());
            EXPECT_TRUE(area.contains(sub->geometry())) << sub->width() << "x" << sub->height();
            EXPECT_GE(sub->width(), area.width() / 2);
            EXPECT_LT(sub->width(), area.width());
            if (!corners.isEmpty()) {
                EXPECT_GT(sub->x(), corners.last().x());
                EXPECT_GT(sub->y(), corners.last().y());
            }
            corners.append(sub->pos());
        }
        EXPECT_EQ(corners.size(), 3);
    }
}

TEST(MainFrame, LineNumbersArePerPaneAndWhiteSpaceIsForTheWholeLanguage)
{
    AppHarness h;
    ASSERT_TRUE(h.Start());
    CTavroDoc* one = OpenWith(h, QStringLiteral("one.cpp"), "int a;\tx\n");
    CTavroDoc* two = OpenWith(h, QStringLiteral("two.cpp"), "int b; \n");
    ASSERT_TRUE(one && two);
    auto* pane = qobject_cast<CTavroView*>(DialogCommands(h).ActivePane());
    ASSERT_NE(pane, nullptr);
    CTavroController& controller = pane->GetController();
    controller.OnFocus(true);
    CMainFrame& frame = *h.app->MainFrame();
    QAction* numbers = frame.Action(TavroCmd::ShowLineNumbers);
    QAction* white = frame.Action(TavroCmd::ShowWhitespace);
    EXPECT_TRUE(numbers->isEnabled() && white->isEnabled());
    EXPECT_FALSE(numbers->isChecked() || white->isChecked());

    const int left = pane->GetViewport().GetTextLeft();
    numbers->trigger();
    EXPECT_TRUE(numbers->isChecked());
    EXPECT_EQ(controller.GetGutterSettings().mode, SECEditGutterSettings::MarksAndNumbers);
    EXPECT_GT(pane->GetViewport().GetTextLeft(), left);
    numbers->trigger();
    EXPECT_FALSE(numbers->isChecked());
    EXPECT_EQ(controller.GetGutterSettings().mode, SECEditGutterSettings::MarksOnly);
    EXPECT_EQ(pane->GetViewport().GetTextLeft(), left);

    // Every pane of every document of the language follows at once.
    const auto shown = [&] {
        QList<bool> states;
        for (CTavroDoc* doc : {one, two})
            for (CChildFrame* child : doc->GetFrames())
                states.append(qobject_cast<SECEditSplitterWindow*>(child->GetPaneHost())
                                  ->GetActivePane()->GetViewport().GetSettings().showWhitespace);
        return states;
    };
    white->trigger();
    EXPECT_TRUE(white->isChecked());
    EXPECT_EQ(shown(), (QList<bool>{true, true}));
    // Shift+Ctrl+8 toggles the same setting; the menu's mark shows only its own toggles.
    controller.OnCommand(ID_EDIT_SHOW_WHITESPACE);
    EXPECT_EQ(shown(), (QList<bool>{false, false}));
    EXPECT_TRUE(white->isChecked());
    white->trigger();
    white->trigger();
    EXPECT_FALSE(white->isChecked());
    EXPECT_EQ(shown(), (QList<bool>{false, false}));
}

TEST(MainFrame, DocumentWindowsCloseWhileTheFrameIsStillWhole)
{
    // The frame's handlers of a closing document window run during its own
    // teardown; they must find a whole CMainFrame, not the base class that is
    // left once its destructor has returned.
    AppHarness h;
    ASSERT_TRUE(h.Start());
    h.app->OnFileNew();
    QObject* frame = h.app->MainFrame();
    const QList<QMdiSubWindow*> windows = h.app->MainFrame()->MdiArea()->subWindowList();
    ASSERT_GE(windows.size(), 2);
    int closed = 0;
    int closedWhole = 0;
    for (QMdiSubWindow* window : windows) {
        QObject::connect(window, &QObject::destroyed, [&] {
            ++closed;
            if (qobject_cast<CMainFrame*>(frame))
                ++closedWhole;
        });
    }
    h.app.reset();
    EXPECT_EQ(closed, windows.size());
    EXPECT_EQ(closedWhole, windows.size());
}
