#include "app/CMainFrame.h"

#include "app/CChildFrame.h"
#include "app/CPrintCommands.h"
#include "app/CDialogCommands.h"
#include "app/CFindCommands.h"
#include "app/CInsertCommands.h"
#include "app/CToolCommands.h"
#include "app/CTavroApp.h"
#include "app/CTavroDoc.h"
#include "app/TavroCommandIds.h"
#include "platform/ISettingsStore.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QMimeData>
#include <QPointer>
#include <QScreen>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>
#include <QUrl>

#include <algorithm>

namespace {

constexpr char16_t kSectionPlacement[] = u"settings";
constexpr char16_t kSectionBars[] = u"Bar State";
constexpr int kDefaultCx = 730;
constexpr int kDefaultCy = 500;
constexpr int kDefaultX = 15;
constexpr int kDefaultY = 15;
constexpr int kMinimumStoredSize = 100;

// X11 modifier state bits of a key event: Lock and Mod2 (Num Lock).
constexpr quint32 kX11LockMask = 0x02;
constexpr quint32 kX11NumLockMask = 0x10;

// Theme icon name and shipped fallback of each toolbar command.
struct ToolButton
{
    int id;
    const char* icon;
};

constexpr ToolButton kToolButtons[] = {
    {TavroCmd::FileNew, "document-new"},
    {TavroCmd::FileOpen, "document-open"},
    {TavroCmd::FileSave, "document-save"},
    {0, nullptr},
    {TavroCmd::EditCut, "edit-cut"},
    {TavroCmd::EditCopy, "edit-copy"},
    {TavroCmd::EditPaste, "edit-paste"},
    {0, nullptr},
    {TavroCmd::EditUndo, "edit-undo"},
    {TavroCmd::EditRedo, "edit-redo"},
    {0, nullptr},
    {TavroCmd::FilePrint, "document-print"},
    {0, nullptr},
    {TavroCmd::EditFind, "edit-find"},
    {TavroCmd::EditFindNext, "go-next"},
    {TavroCmd::EditBookmarkToggle, "bookmark-new"},
    {TavroCmd::EditBookmarkNext, "go-down"},
    {TavroCmd::EditBookmarkPrev, "go-up"},
    {TavroCmd::EditBookmarkClearAll, "edit-clear"},
    {0, nullptr},
    {TavroCmd::IndentIncrease, "format-indent-more"},
    {TavroCmd::IndentDecrease, "format-indent-less"},
    {TavroCmd::Count, "accessories-calculator"},
    {TavroCmd::ShowWhitespace, "format-justify-fill"},
    {0, nullptr},
    {TavroCmd::RemainOnTop, "go-top"},
    {0, nullptr},
    {TavroCmd::AppAbout, "help-about"},
};

QIcon ToolIcon(const char* name)
{
    const QString themeName = QString::fromLatin1(name);
    return QIcon::fromTheme(themeName, QIcon(QStringLiteral(":/icons/%1.png").arg(themeName)));
}

} // namespace

CMainFrame::CMainFrame(CTavroApp& app) : m_app(app)
{
    setObjectName(QStringLiteral("MainFrame"));
    setWindowTitle(QStringLiteral("Tavro"));
    setWindowIcon(QIcon(QStringLiteral(":/icons/tavro.png")));
    setAcceptDrops(true);

    m_mdiArea = new QMdiArea(this);
    m_mdiArea->setViewMode(QMdiArea::TabbedView);
    m_mdiArea->setTabsClosable(true);
    m_mdiArea->setTabsMovable(true);
    m_mdiArea->setDocumentMode(true);
    m_mdiArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_mdiArea->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(m_mdiArea);
    connect(m_mdiArea, &QMdiArea::subWindowActivated, this, &CMainFrame::OnSubWindowActivated);

    CreateActions();
    CreateMenus();
    CreateToolBar();
    CreateStatusBar();
    new CPrintCommands(m_app, *this); // Print, Print Preview, Print Setup
    new CDialogCommands(*this, m_app); // Set Language, Go To, Count, Font and Colors
    new CFindCommands(*this, m_app); // Find, Replace, Find Next and the Bookmark menu
    new CInsertCommands(*this, m_app); // the Insert menu
    new CToolCommands(*this, m_app); // Options, Check Spelling
    setDockOptions(dockOptions() | QMainWindow::AnimatedDocks);

    connect(&m_app, &CTavroApp::recentFileListChanged, this, &CMainFrame::UpdateRecentFileMenu);
    UpdateRecentFileMenu();
    UpdateMenus();

    qApp->installEventFilter(this);
}

CMainFrame::~CMainFrame()
{
    qApp->removeEventFilter(this);
    // The document windows go with the area; nothing is to follow them now.
    m_tearingDown = true;
    // Take the area down while this is still a CMainFrame: left to the base
    // class, its windows would be destroyed after this part of the object
    // is gone, and their signals would still call into it.
    if (m_mdiArea) {
        disconnect(m_mdiArea, nullptr, this, nullptr);
        for (QMdiSubWindow* sub : m_mdiArea->subWindowList())
            disconnect(sub, nullptr, this, nullptr);
        // Whoever hears of the documents closing meanwhile finds no area to ask.
        QMdiArea* area = m_mdiArea;
        m_mdiArea = nullptr;
        delete area;
    }
}

QAction* CMainFrame::Action(int id) const
{
    return m_actions.value(id, nullptr);
}

QAction* CMainFrame::AddAction(int id, const QString& text, const QString& prompt,
                               const QList<QKeySequence>& keys, bool enabled)
{
    auto* action = new QAction(text, this);
    action->setData(id);
    action->setEnabled(enabled);
    if (!keys.isEmpty()) {
        action->setShortcuts(keys);
        action->setShortcutContext(Qt::WindowShortcut);
    }
    // A prompt holds the status-bar text, then after a line break the tooltip.
    if (!prompt.isEmpty()) {
        const qsizetype split = prompt.indexOf(QLatin1Char('\n'));
        action->setStatusTip(split < 0 ? prompt : prompt.left(split));
        if (split >= 0)
            action->setToolTip(prompt.mid(split + 1));
    }
    addAction(action); // shortcuts work whichever menu is showing
    m_actions.insert(id, action);
    return action;
}

void CMainFrame::CreateActions()
{
    using namespace TavroCmd;
    using K = QKeySequence;
    const auto key = [](const char* text) { return QList<QKeySequence>{K(QString::fromLatin1(text))}; };

    // File
    connect(AddAction(FileNew, tr("&New"), tr("Create a new document\nNew"), key("Ctrl+N"), true),
            &QAction::triggered, &m_app, [this] { m_app.OnFileNew(); });
    connect(AddAction(FileOpen, tr("&Open..."), tr("Open an existing document\nOpen"), key("Ctrl+O"), true),
            &QAction::triggered, &m_app, [this] { m_app.OnFileOpen(); });
    connect(AddAction(FileClose, tr("&Close"), tr("Close the active document\nClose")), &QAction::triggered,
            this, [this] {
                if (CTavroDoc* doc = ActiveDocument())
                    m_app.CloseDocument(doc);
            });
    connect(AddAction(FileSave, tr("&Save"), tr("Save the active document\nSave"), key("Ctrl+S")),
            &QAction::triggered, this, [this] {
                if (CTavroDoc* doc = ActiveDocument())
                    m_app.DoFileSave(doc);
            });
    connect(AddAction(FileSaveAs, tr("Save &As..."), tr("Save the active document with a new name\nSave As")),
            &QAction::triggered, this, [this] {
                if (CTavroDoc* doc = ActiveDocument())
                    m_app.DoSave(doc, true);
            });
    AddAction(FilePrint, tr("&Print..."), tr("Print the active document\nPrint"), key("Ctrl+P"));
    AddAction(FilePrintPreview, tr("Print Pre&view"), tr("Display full pages\nPrint Preview"));
    AddAction(FilePrintSetup, tr("P&rint Setup..."), tr("Change the printer and printing options\nPrint Setup"));
    connect(AddAction(AppExit, tr("E&xit"), tr("Quit the application; prompts to save documents\nExit"), {}, true),
            &QAction::triggered, this, &QWidget::close);
    for (int i = 0; i < CTavroApp::kRecentFileCount; ++i) {
        QAction* recent = AddAction(FileMruFirst + i, QString(), tr("Open this document"), {}, true);
        connect(recent, &QAction::triggered, &m_app, [this, i] { m_app.OpenRecentFile(i); });
        m_recentActions.append(recent);
    }
    m_recentEmpty = new QAction(tr("Recent File"), this);
    m_recentEmpty->setEnabled(false);

    // Edit: the editor's own commands, shown here and enabled by the editor pane.
    AddAction(EditUndo, tr("&Undo"), tr("Undo the last action\nUndo"), {K(QStringLiteral("Ctrl+Z")), K(QStringLiteral("Alt+Backspace"))});
    AddAction(EditRedo, tr("&Redo\tCtrl+Y"), tr("Redo the previously undone action\nRedo"));
    AddAction(EditCut, tr("Cu&t"), tr("Cut the selection and put it on the Clipboard\nCut"),
              {K(QStringLiteral("Ctrl+X")), K(QStringLiteral("Shift+Del"))});
    AddAction(EditCopy, tr("&Copy"), tr("Copy the selection and put it on the Clipboard\nCopy"),
              {K(QStringLiteral("Ctrl+C")), K(QStringLiteral("Ctrl+Ins"))});
    AddAction(EditPaste, tr("&Paste"), tr("Insert Clipboard contents\nPaste"),
              {K(QStringLiteral("Ctrl+V")), K(QStringLiteral("Shift+Ins"))});
    AddAction(UpperCase, tr("&Upper case\tCtrl+Shift+U"), tr("Changes the current selection to upper case characters"));
    AddAction(LowerCase, tr("&Lower case\tCtrl+U"), tr("Changes the current selection to lower case characters"));
    AddAction(IndentIncrease, tr("&Increase"), tr("Increase the indentation of the selection\nIncrease Indent"));
    AddAction(IndentDecrease, tr("&Decrease"), tr("Decrease the indentation of the selection\nDecrease Indent"));
    AddAction(EditBookmarkToggle, tr("&Set Bookmark\tCtrl+F2"), tr("Sets or removes a bookmark\nBookmark Toggle"));
    AddAction(EditBookmarkNext, tr("&Next Bookmak\tF2"), tr("Jumps to the next set bookmark\nNext Bookmark"));
    AddAction(EditBookmarkPrev, tr("&Prev Bookmark\tShift+F2"), tr("Jumps to the previous set bookmark\nPrevious Bookmark"));
    AddAction(EditBookmarkClearAll, tr("&Remove All Bookmarks"), tr("Removes all bookmarks\nRemove All Bookmarks"));
    AddAction(EditFindNext, tr("Find Next\tF3"), tr("Repeats the last search for the next instance of string\nFind Next"));
    AddAction(GoTo, tr("Go To..."), tr("Displays a dialog box to provide user entry\nGo To"), key("Ctrl+G"));
    AddAction(EditFind, tr("&Find..."), tr("Find the specified text\nFind"), key("Ctrl+F"));
    AddAction(EditReplace, tr("R&eplace..."), tr("Replace specific text with different text\nReplace"), key("Ctrl+H"));
    AddAction(EditSelectAll, tr("Select A&ll\tCtrl+A"), tr("Selects the entire document\nSelect All"));
    AddAction(EditColumnMode, tr("Colu&mn Selection\tCtrl+Shift+B"),
              tr("Mouse drags and Shift with the arrow keys select column blocks\nColumn Selection"))
        ->setCheckable(true);

    // View
    QAction* toolbar = AddAction(ViewToolbar, tr("&Toolbar"), tr("Show or hide the toolbar\nToggle ToolBar"), {}, true);
    toolbar->setCheckable(true);
    QAction* statusbar = AddAction(ViewStatusBar, tr("&Status Bar"), tr("Show or hide the status bar\nToggle StatusBar"), {}, true);
    statusbar->setCheckable(true);
    AddAction(ShowWhitespace, tr("Sho&w white space "), tr("Toggles the display of white space characters\nShow Whitespace"))
        ->setCheckable(true);
    AddAction(ShowLineNumbers, tr("Show &line numbers"), tr("Toggle the display of line numbers\nline numbers"))
        ->setCheckable(true);
    QAction* onTop = AddAction(RemainOnTop, tr("&Remain on Top"), tr("Toggles the topmost window state flag\nTopmost"), {}, true);
    onTop->setCheckable(true);
    connect(onTop, &QAction::triggered, this, [this] { OnRemainOnTop(); });

    // Insert
    AddAction(Template, tr("&Template..."), tr("New File Template\nTemplate"));
    AddAction(DateTime, tr("&Date and Time..."), tr("Date and time selection dialog\nDate"), key("Ctrl+D"));
    AddAction(UserInfoAll, tr("A&ll"));
    AddAction(UserName, tr("User &name"));
    AddAction(CompanyName, tr("&Company name"));
    AddAction(Address, tr("&Address"));
    AddAction(Telephone, tr("&Telephone"));
    AddAction(Fax, tr("&Fax"));
    AddAction(Email, tr("&e-mail"));
    AddAction(Uuid, tr("uu&id"), tr("Inserts a uuid\nuuid"));
    AddAction(Comment, tr("&Comment..."), tr("Inserts a comment block\nComment"));

    // Tools
    AddAction(ChooseFont, tr("&Font and Colors..."), tr("Changes the client window display font\nDisplay Font"));
    AddAction(Count, tr("Count..."), tr("Display the count dialog\nCount"), key("Ctrl+Shift+C"));
    AddAction(CheckSpelling, tr("Check Spelling..."), tr("Checks the spelling of the selection or entire document\nSpell Check"), key("F7"));
    AddAction(SetLanguage, tr("Set Language..."), tr("Select the programming language for the purpose of syntax coloring\nSet Language"));
    AddAction(Options, tr("Options..."), tr("Obtions and parameters for customization\nOptions"));

    // Window
    connect(AddAction(WindowNew, tr("&New Window"), tr("Open another window for the active document\nNew Window")),
            &QAction::triggered, this, [this] {
                if (CTavroDoc* doc = ActiveDocument())
                    m_app.CreateFrame(doc);
            });
    connect(AddAction(WindowCascade, tr("&Cascade"), tr("Arrange windows so they overlap\nCascade Windows")),
            &QAction::triggered, this, &CMainFrame::OnCascade);
    connect(AddAction(WindowTileHorz, tr("&Tile"), tr("Arrange windows as non-overlapping tiles\nTile Windows")),
            &QAction::triggered, this, &CMainFrame::OnTile);
    connect(AddAction(WindowArrange, tr("&Arrange Icons"), tr("Arrange icons at the bottom of the window\nArrange Icons")),
            &QAction::triggered, this, &CMainFrame::OnArrangeIcons);
    // Cascade and Tile leave the tabs for overlapping windows; this brings them back.
    m_tabbedAction = new QAction(tr("Ta&bbed"), this);
    m_tabbedAction->setStatusTip(tr("Show the document windows as tabs"));
    m_tabbedAction->setCheckable(true);
    m_tabbedAction->setChecked(true);
    connect(m_tabbedAction, &QAction::toggled, this, &CMainFrame::OnTabbed);

    // Help
    connect(AddAction(HelpFinder, tr("&Help Topics"), tr("List Help topics\nHelp Topics"), key("F1"), true),
            &QAction::triggered, &m_app, [this] { m_app.OnHelpTopics(); });
    connect(AddAction(AppAbout, tr("&About Tavro..."), tr("Display program information, version number and copyright\nAbout"), {}, true),
            &QAction::triggered, &m_app, [this] { m_app.OnAppAbout(); });

    // F6 and Shift+F6 move between the panes of a split document window.
    connect(AddAction(NextPane, tr("Next Pane"), tr("Switch to the next window pane\nNext Pane"), key("F6"), true),
            &QAction::triggered, this, [this] {
                if (CChildFrame* frame = ActiveChildFrame())
                    frame->ActivateNextPane(true);
            });
    connect(AddAction(PrevPane, tr("Previous Pane"), tr("Switch back to the previous window pane\nPrevious Pane"), key("Shift+F6"), true),
            &QAction::triggered, this, [this] {
                if (CChildFrame* frame = ActiveChildFrame())
                    frame->ActivateNextPane(false);
            });
}

void CMainFrame::CreateMenus()
{
    using namespace TavroCmd;
    const auto menu = [this](const QString& title, std::initializer_list<int> ids) {
        auto* m = new QMenu(title, this);
        for (int id : ids) {
            if (id == 0)
                m->addSeparator();
            else
                m->addAction(Action(id));
        }
        return m;
    };
    const auto addRecent = [this](QMenu* file) {
        // The recent files sit before Exit, between separators.
        QAction* exit = Action(AppExit);
        file->insertAction(exit, m_recentEmpty);
        for (QAction* recent : m_recentActions)
            file->insertAction(exit, recent);
        file->insertSeparator(exit);
    };

    // Menu 128: no document open.
    QMenu* file128 = menu(tr("&File"), {FileNew, FileOpen, 0, FilePrintSetup, 0, AppExit});
    addRecent(file128);
    QMenu* view128 = menu(tr("&View"), {ViewToolbar, ViewStatusBar, 0, RemainOnTop});
    QMenu* help128 = menu(tr("&Help"), {HelpFinder, 0, AppAbout});
    m_menusNoDocument = {file128, view128, help128};

    // Menu 129: a document open.
    QMenu* file129 = menu(tr("&File"), {FileNew, FileOpen, FileClose, FileSave, FileSaveAs, 0, FilePrint,
                                        FilePrintPreview, FilePrintSetup, 0, AppExit});
    addRecent(file129);
    QMenu* edit = menu(tr("&Edit"), {EditUndo, EditRedo, 0, EditCut, EditCopy, EditPaste, 0});
    QMenu* changeCase = menu(tr("Change Cas&e"), {UpperCase, LowerCase});
    QMenu* indent = menu(tr("&Indent"), {IndentIncrease, IndentDecrease});
    QMenu* bookmark = menu(tr("&Bookmark"), {EditBookmarkToggle, EditBookmarkNext, EditBookmarkPrev, 0,
                                              EditBookmarkClearAll});
    edit->addMenu(changeCase);
    edit->addMenu(indent);
    edit->addMenu(bookmark);
    edit->addSeparator();
    edit->addAction(Action(GoTo));
    edit->addAction(Action(EditFind));
    edit->addAction(Action(EditReplace));
    edit->addSeparator();
    edit->addAction(Action(EditSelectAll));
    edit->addAction(Action(EditColumnMode));
    QMenu* view129 = menu(tr("&View"), {ViewToolbar, ViewStatusBar, 0, ShowWhitespace, ShowLineNumbers, 0,
                                        RemainOnTop});
    QMenu* insert = menu(tr("&Insert"), {Template, DateTime});
    QMenu* userInfo = menu(tr("User &Information"), {UserInfoAll, 0, UserName, CompanyName, Address, Telephone,
                                                      Fax, Email});
    insert->addMenu(userInfo);
    insert->addAction(Action(Uuid));
    insert->addAction(Action(Comment));
    QMenu* tools = menu(tr("&Tools"), {ChooseFont, Count, CheckSpelling, SetLanguage, 0, Options});
    QMenu* window = menu(tr("&Window"), {WindowNew, WindowCascade, WindowTileHorz, WindowArrange});
    window->addAction(m_tabbedAction);
    // The open windows follow, numbered, the active one checked.
    connect(window, &QMenu::aboutToShow, this, [this, window] { UpdateWindowList(window); });
    QMenu* help129 = menu(tr("&Help"), {HelpFinder, 0, AppAbout});
    m_menusDocument = {file129, edit, view129, insert, tools, window, help129};
}

void CMainFrame::CreateToolBar()
{
    m_toolBar = new QToolBar(tr("Standard"), this);
    m_toolBar->setObjectName(QStringLiteral("ToolBar"));
    m_toolBar->setIconSize(QSize(16, 16));
    for (const ToolButton& button : kToolButtons) {
        if (button.id == 0) {
            m_toolBar->addSeparator();
            continue;
        }
        QAction* action = Action(button.id);
        action->setIcon(ToolIcon(button.icon));
        m_toolBar->addAction(action);
    }
    addToolBar(Qt::TopToolBarArea, m_toolBar);

    QAction* toggle = Action(TavroCmd::ViewToolbar);
    toggle->setChecked(true);
    connect(toggle, &QAction::toggled, m_toolBar, &QWidget::setVisible);
    connect(m_toolBar, &QToolBar::visibilityChanged, toggle, [this, toggle](bool) {
        // Hiding the whole window also hides the bar; only follow the bar itself.
        if (!isHidden())
            toggle->setChecked(!m_toolBar->isHidden());
    });
}

void CMainFrame::CreateStatusBar()
{
    QStatusBar* bar = statusBar();
    bar->setObjectName(QStringLiteral("StatusBar"));
    m_paneMessage = new QLabel(tr("Ready"), bar);
    bar->addWidget(m_paneMessage, 1);

    const auto pane = [bar](const QString& sizingText, int id) {
        auto* label = new QLabel(bar);
        label->setObjectName(QStringLiteral("pane%1").arg(id));
        label->setAlignment(Qt::AlignCenter);
        label->setFrameShape(QFrame::Panel);
        label->setFrameShadow(QFrame::Sunken);
        const int margins = label->contentsMargins().left() + label->contentsMargins().right() + 2 * label->frameWidth() + 8;
        label->setFixedWidth(label->fontMetrics().horizontalAdvance(sizingText) + margins);
        bar->addPermanentWidget(label);
        return label;
    };
    m_paneLineColumn = pane(QStringLiteral("Ln 9999, Col 9999"), TavroBar::PaneLineColumn);
    m_paneCaps = pane(QStringLiteral("CAP"), TavroBar::PaneCaps);
    m_paneNum = pane(QStringLiteral("NUM"), TavroBar::PaneNum);
    m_paneOverwrite = pane(QStringLiteral("OVR"), TavroBar::PaneOverwrite);

    QAction* toggle = Action(TavroCmd::ViewStatusBar);
    toggle->setChecked(true);
    connect(toggle, &QAction::toggled, bar, &QWidget::setVisible);
}

void CMainFrame::SetLineColumn(int line, int column)
{
    m_paneLineColumn->setText(QStringLiteral("Ln %1, Col %2").arg(line).arg(column));
}

void CMainFrame::SetOverwrite(bool on)
{
    m_paneOverwrite->setText(on ? QStringLiteral("OVR") : QString());
}

QString CMainFrame::LineColumnText() const
{
    return m_paneLineColumn->text();
}

QString CMainFrame::PaneText(int paneId) const
{
    switch (paneId) {
    case 0: return m_paneMessage->text();
    case TavroBar::PaneLineColumn: return m_paneLineColumn->text();
    case TavroBar::PaneCaps: return m_paneCaps->text();
    case TavroBar::PaneNum: return m_paneNum->text();
    case TavroBar::PaneOverwrite: return m_paneOverwrite->text();
    default: return {};
    }
}

void CMainFrame::AddChildFrame(CChildFrame* frame)
{
    QMdiSubWindow* sub = m_mdiArea->addSubWindow(frame);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    sub->setWindowIcon(QIcon(QStringLiteral(":/icons/document.png")));
    connect(frame, &CChildFrame::titleChanged, this, &CMainFrame::UpdateTitle);
    connect(sub, &QObject::destroyed, this, [this] {
        UpdateMenus();
        UpdateTitle();
    });
    frame->show();
    // A tab shows its window filling the area; overlapping windows open full size as well.
    sub->showMaximized();
    m_mdiArea->setActiveSubWindow(sub);
    UpdateMenus();
    UpdateTitle();
}

CChildFrame* CMainFrame::ActiveChildFrame() const
{
    if (!m_mdiArea)
        return nullptr; // being torn down
    QMdiSubWindow* sub = m_mdiArea->activeSubWindow();
    if (!sub) {
        // Without focus (offscreen, or the window is not active) Qt reports no
        // active window; the current tab is still the one the user sees.
        const QList<QMdiSubWindow*> list = m_mdiArea->subWindowList(QMdiArea::ActivationHistoryOrder);
        if (!list.isEmpty())
            sub = list.constLast();
    }
    return sub ? qobject_cast<CChildFrame*>(sub->widget()) : nullptr;
}

CTavroDoc* CMainFrame::ActiveDocument() const
{
    CChildFrame* frame = ActiveChildFrame();
    return frame ? frame->GetDocument() : nullptr;
}

void CMainFrame::ActivateChildFrame(CChildFrame* frame)
{
    for (QMdiSubWindow* sub : m_mdiArea->subWindowList()) {
        if (sub->widget() == frame) {
            m_mdiArea->setActiveSubWindow(sub);
            break;
        }
    }
}

QList<CChildFrame*> CMainFrame::ChildFrames() const
{
    QList<CChildFrame*> frames;
    if (!m_mdiArea)
        return frames; // being torn down
    for (QMdiSubWindow* sub : m_mdiArea->subWindowList(QMdiArea::CreationOrder)) {
        if (auto* frame = qobject_cast<CChildFrame*>(sub->widget()))
            frames.append(frame);
    }
    return frames;
}

void CMainFrame::UpdateMenus()
{
    if (m_tearingDown)
        return;
    int open = 0;
    for (QMdiSubWindow* sub : m_mdiArea->subWindowList()) {
        // A window being destroyed is still listed while its destroyed() runs.
        if (qobject_cast<CChildFrame*>(sub->widget()))
            ++open;
    }
    if (open == 0) {
        m_paneLineColumn->clear();
        SetOverwrite(false);
    }
    else if (m_paneLineColumn->text().isEmpty())
        SetLineColumn(1, 1); // until the pane's caret reports its own position
    const int wanted = open > 0 ? 129 : 128;
    if (wanted != m_currentMenu) {
        m_currentMenu = wanted;
        menuBar()->clear();
        for (QMenu* menu : wanted == 129 ? m_menusDocument : m_menusNoDocument)
            menuBar()->addMenu(menu);
    }
    UpdateCommandStates();
}

void CMainFrame::UpdateCommandStates()
{
    const bool hasDocument = ActiveDocument() != nullptr;
    for (int id : {TavroCmd::FileClose, TavroCmd::FileSave, TavroCmd::FileSaveAs, TavroCmd::FilePrint,
                   TavroCmd::FilePrintPreview, TavroCmd::WindowNew,
                   TavroCmd::WindowCascade, TavroCmd::WindowTileHorz, TavroCmd::WindowArrange}) {
        Action(id)->setEnabled(hasDocument);
    }
    m_tabbedAction->setEnabled(hasDocument);
}

void CMainFrame::UpdateRecentFileMenu()
{
    const QStringList files = m_app.RecentFiles();
    m_recentEmpty->setVisible(files.isEmpty());
    for (int i = 0; i < m_recentActions.size(); ++i) {
        QAction* action = m_recentActions[i];
        if (i < files.size()) {
            QString shown = QDir::toNativeSeparators(files[i]);
            if (shown.size() > 60) // keep the menu narrow: elide the middle folders
                shown = shown.left(20) + QStringLiteral("...") + shown.right(37);
            shown.replace(QLatin1Char('&'), QStringLiteral("&&"));
            action->setText(QStringLiteral("&%1 %2").arg(i + 1).arg(shown));
            action->setVisible(true);
        } else {
            action->setVisible(false);
        }
    }
}

void CMainFrame::UpdateTitle()
{
    if (m_tearingDown)
        return;
    CChildFrame* frame = ActiveChildFrame();
    if (!frame) {
        setWindowTitle(QStringLiteral("Tavro"));
        setWindowModified(false);
        return;
    }
    setWindowTitle(QStringLiteral("Tavro - %1[*]").arg(frame->FrameTitle()));
    setWindowModified(frame->GetDocument()->IsModified());
}

void CMainFrame::OnSubWindowActivated(QMdiSubWindow*)
{
    if (m_tearingDown)
        return;
    UpdateTitle();
    UpdateCommandStates();
    SetLineColumn(1, 1); // until the pane's caret reports its own position
    // Overtype belongs to the document, so the pane shows the active one's.
    CTavroDoc* doc = ActiveDocument();
    SetOverwrite(doc && doc->GetEdit().GetOvertype());
}

void CMainFrame::UpdateWindowList(QMenu* menu)
{
    for (QAction* action : std::as_const(m_windowListActions)) {
        menu->removeAction(action);
        action->deleteLater();
    }
    m_windowListActions.clear();
    const QList<CChildFrame*> frames = ChildFrames();
    if (frames.isEmpty())
        return;
    m_windowListActions.append(menu->addSeparator());
    const CChildFrame* active = ActiveChildFrame();
    for (int i = 0; i < frames.size() && i < 9; ++i) {
        CChildFrame* frame = frames[i];
        QString title = frame->FrameTitle();
        title.replace(QLatin1Char('&'), QStringLiteral("&&"));
        QAction* action = menu->addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(title));
        action->setCheckable(true);
        action->setChecked(frame == active);
        action->setStatusTip(tr("Activate this window"));
        connect(action, &QAction::triggered, this, [this, frame = QPointer<CChildFrame>(frame)] {
            if (frame)
                ActivateChildFrame(frame);
        });
        m_windowListActions.append(action);
    }
}

void CMainFrame::OnCascade()
{
    m_tabbedAction->setChecked(false);
    // Each window two thirds of the area, each one a title bar lower and to
    // the right of the one before, starting again at the top left when the
    // next would no longer fit; the active window ends on top.
    const QList<QMdiSubWindow*> windows = m_mdiArea->subWindowList(QMdiArea::CreationOrder);
    const QSize area = m_mdiArea->viewport()->size();
    const QSize size(std::max(area.width() * 2 / 3, std::min(area.width(), 200)),
                     std::max(area.height() * 2 / 3, std::min(area.height(), 150)));
    const int step = std::max(16, style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, this));
    QMdiSubWindow* active = m_mdiArea->activeSubWindow();
    QPoint at(0, 0);
    for (QMdiSubWindow* sub : windows) {
        if (sub->isMinimized() || sub->isMaximized() || sub->isHidden())
            sub->showNormal();
        if (at.x() + size.width() > area.width() || at.y() + size.height() > area.height())
            at = QPoint(0, 0);
        sub->setGeometry(QRect(at, size));
        sub->raise();
        at += QPoint(step, step);
    }
    if (active) {
        active->raise();
        m_mdiArea->setActiveSubWindow(active);
    }
}

void CMainFrame::OnTile()
{
    m_tabbedAction->setChecked(false);
    m_mdiArea->tileSubWindows();
}

void CMainFrame::OnArrangeIcons()
{
    // Line the minimised windows up along the bottom edge of the area.
    if (m_mdiArea->viewMode() != QMdiArea::SubWindowView)
        return;
    int x = 0;
    const int bottom = m_mdiArea->viewport()->height();
    for (QMdiSubWindow* sub : m_mdiArea->subWindowList(QMdiArea::CreationOrder)) {
        if (!sub->isMinimized())
            continue;
        sub->move(x, bottom - sub->height());
        x += sub->width();
    }
}

void CMainFrame::OnTabbed(bool on)
{
    m_mdiArea->setViewMode(on ? QMdiArea::TabbedView : QMdiArea::SubWindowView);
    if (!on) {
        for (QMdiSubWindow* sub : m_mdiArea->subWindowList())
            sub->showNormal();
    }
}

void CMainFrame::OnRemainOnTop()
{
    const bool wanted = m_bTopmost == 0;
    const QRect frame = geometry();
    const bool wasVisible = isVisible();
    setWindowFlag(Qt::WindowStaysOnTopHint, wanted);
    setGeometry(frame);
    if (wasVisible)
        show();
    // The flag follows what the window really has now; a refused change
    // leaves both flag and check mark as they were.
    if (windowFlags().testFlag(Qt::WindowStaysOnTopHint) == wanted)
        m_bTopmost = wanted ? 1 : 0;
    Action(TavroCmd::RemainOnTop)->setChecked(m_bTopmost != 0);
}

std::optional<QRect> CMainFrame::StoredPlacement(const ISettingsStore& settings, QSize screen)
{
    if (screen.width() <= 640 || screen.height() <= 480)
        return std::nullopt;
    int cx = settings.ReadInt(kSectionPlacement, u"cx", kDefaultCx);
    int cy = settings.ReadInt(kSectionPlacement, u"cy", kDefaultCy);
    const int x = settings.ReadInt(kSectionPlacement, u"x", kDefaultX);
    const int y = settings.ReadInt(kSectionPlacement, u"y", kDefaultY);
    // A damaged store must not make the window vanish: tiny or huge sizes give way to the defaults.
    if (cx < kMinimumStoredSize || cx > 16 * screen.width())
        cx = kDefaultCx;
    if (cy < kMinimumStoredSize || cy > 16 * screen.height())
        cy = kDefaultCy;
    // Never larger than the screen's free area.
    return QRect(x, y, std::min(cx, screen.width()), std::min(cy, screen.height()));
}

bool CMainFrame::ShouldStorePlacement(const QRect& frame, bool minimized)
{
    return !minimized && frame.left() >= 0 && frame.top() >= 0;
}

void CMainFrame::RestorePlacement()
{
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    // The screen that shows the stored corner, or the primary one when a
    // monitor has gone away; the window fits inside its free area.
    const ISettingsStore& settings = m_app.Settings();
    const QPoint corner(settings.ReadInt(kSectionPlacement, u"x", kDefaultX),
                        settings.ReadInt(kSectionPlacement, u"y", kDefaultY));
    for (QScreen* s : QGuiApplication::screens()) {
        if (s->availableGeometry().contains(corner))
            screen = s;
    }
    const QRect area = screen->availableGeometry();
    const std::optional<QRect> stored = StoredPlacement(settings, area.size());
    if (!stored)
        return;
    resize(stored->size());
    move(std::clamp(stored->left(), area.left(), area.right() + 1 - stored->width()),
         std::clamp(stored->top(), area.top(), area.bottom() + 1 - stored->height()));
}

void CMainFrame::SavePlacement()
{
    const QRect frame(pos(), size());
    if (!ShouldStorePlacement(frame, isMinimized()))
        return;
    ISettingsStore& settings = m_app.Settings();
    settings.WriteInt(kSectionPlacement, u"cx", frame.width());
    settings.WriteInt(kSectionPlacement, u"cy", frame.height());
    settings.WriteInt(kSectionPlacement, u"x", frame.left());
    settings.WriteInt(kSectionPlacement, u"y", frame.top());
}

void CMainFrame::RestoreBarState()
{
    const ISettingsStore& settings = m_app.Settings();
    const QByteArray state = QByteArray::fromBase64(
        QString::fromStdU16String(settings.ReadString(kSectionBars, u"MainFrame", u"")).toLatin1());
    if (!state.isEmpty())
        restoreState(state); // a damaged state is rejected by Qt and changes nothing
    Action(TavroCmd::ViewToolbar)->setChecked(!m_toolBar->isHidden());
    const bool statusVisible = settings.ReadInt(kSectionBars, u"StatusBar", 1) != 0;
    Action(TavroCmd::ViewStatusBar)->setChecked(statusVisible);
    statusBar()->setVisible(statusVisible);
}

void CMainFrame::SaveBarState()
{
    ISettingsStore& settings = m_app.Settings();
    settings.WriteString(kSectionBars, u"MainFrame", QString::fromLatin1(saveState().toBase64()).toStdU16String());
    settings.WriteInt(kSectionBars, u"StatusBar", statusBar()->isHidden() ? 0 : 1);
}

void CMainFrame::closeEvent(QCloseEvent* event)
{
    if (!m_app.SaveAllModified()) {
        event->ignore();
        return;
    }
    SavePlacement();
    SaveBarState();
    m_app.CloseAllDocuments();
    event->accept();
}

void CMainFrame::dragEnterEvent(QDragEnterEvent* event)
{
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void CMainFrame::dropEvent(QDropEvent* event)
{
    if (OpenDroppedFiles(*event->mimeData())) {
        event->acceptProposedAction();
        activateWindow();
    }
}

bool CMainFrame::OpenDroppedFiles(const QMimeData& data)
{
    QStringList files;
    for (const QUrl& url : data.urls()) {
        if (url.isLocalFile())
            files.append(url.toLocalFile());
    }
    if (files.isEmpty())
        return false;
    m_app.OpenFiles(files);
    return true;
}

bool CMainFrame::eventFilter(QObject* watched, QEvent* event)
{
    if ((event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease)
        && QGuiApplication::platformName() == QLatin1String("xcb")) {
        // Qt has no query for the lock keys; the X11 state of each key event carries them.
        const quint32 state = static_cast<QKeyEvent*>(event)->nativeModifiers();
        m_paneCaps->setText((state & kX11LockMask) ? QStringLiteral("CAP") : QString());
        m_paneNum->setText((state & kX11NumLockMask) ? QStringLiteral("NUM") : QString());
    }
    return QMainWindow::eventFilter(watched, event);
}
