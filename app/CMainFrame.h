#pragma once

#include <QHash>
#include <QMainWindow>
#include <QRect>

#include <optional>

class CChildFrame;
class CTavroApp;
class CTavroDoc;
class ISettingsStore;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMimeData;
class QMenu;
class QToolBar;

// The main window: menu bar, toolbar, status bar and the tabbed area holding
// the document windows. Every command of the menus exists as a QAction found
// by its command id; a command whose feature is not built yet stays disabled,
// and the code that brings the feature enables it through Action(id).
class CMainFrame : public QMainWindow
{
    Q_OBJECT

public:
    explicit CMainFrame(CTavroApp& app);
    ~CMainFrame() override;

    QAction* Action(int id) const;
    QMdiArea* MdiArea() const { return m_mdiArea; }

    void AddChildFrame(CChildFrame* frame);
    CChildFrame* ActiveChildFrame() const;
    CTavroDoc* ActiveDocument() const;
    void ActivateChildFrame(CChildFrame* frame);
    QList<CChildFrame*> ChildFrames() const;

    // Status bar panes kept current by the active pane's controller.
    void SetLineColumn(int line, int column);
    void SetOverwrite(bool on);
    QString LineColumnText() const;
    QString PaneText(int paneId) const;

    // 128 while no document window is open, 129 while one is.
    int CurrentMenuId() const { return m_currentMenu; }

    bool IsTopmost() const { return m_bTopmost != 0; }
    void OnRemainOnTop();

    // Window placement. The stored rectangle is used only on screens larger
    // than 640 x 480, and written back only when the window is not minimised
    // and its top-left corner lies on the screen.
    static std::optional<QRect> StoredPlacement(const ISettingsStore& settings, QSize screen);
    static bool ShouldStorePlacement(const QRect& frame, bool minimized);
    void RestorePlacement();
    void SavePlacement();
    void RestoreBarState();
    void SaveBarState();

    void UpdateMenus();
    void UpdateTitle();

    // Files dropped on the window open as documents; false when none was a local file.
    bool OpenDroppedFiles(const QMimeData& data);

Q_SIGNALS:
    // The active pane's caret, selection or line marks may have changed:
    // commands enabled by them look again.
    void paneStateChanged();

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QAction* AddAction(int id, const QString& text, const QString& prompt = {},
                       const QList<QKeySequence>& keys = {}, bool enabled = false);
    void CreateActions();
    void CreateMenus();
    void CreateToolBar();
    void CreateStatusBar();
    void UpdateRecentFileMenu();
    void UpdateCommandStates();
    void OnSubWindowActivated(QMdiSubWindow* window);
    void OnCascade();
    void OnTile();
    void OnArrangeIcons();
    void OnTabbed(bool on);
    void UpdateWindowList(QMenu* menu);

    CTavroApp& m_app;
    QMdiArea* m_mdiArea = nullptr;
    QToolBar* m_toolBar = nullptr;
    QHash<int, QAction*> m_actions;
    QList<QMenu*> m_menusNoDocument; // menu 128
    QList<QMenu*> m_menusDocument;   // menu 129
    QList<QAction*> m_recentActions;
    QList<QAction*> m_windowListActions;
    QAction* m_recentEmpty = nullptr;
    QAction* m_tabbedAction = nullptr;
    QLabel* m_paneMessage = nullptr;
    QLabel* m_paneLineColumn = nullptr;
    QLabel* m_paneCaps = nullptr;
    QLabel* m_paneNum = nullptr;
    QLabel* m_paneOverwrite = nullptr;
    int m_currentMenu = 0;
    int m_bTopmost = 0;
    bool m_tearingDown = false;
};
