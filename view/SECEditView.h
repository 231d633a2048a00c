#pragma once

#include "platform/qt/QtFontMetrics.h"
#include "view/ISECEditPaneHost.h"
#include "view/ISECEditPaneInput.h"
#include "view/ISECEditViewportWindow.h"
#include "view/SECEditSelectionHolder.h"
#include "view/SECEditViewport.h"

#include <QAbstractScrollArea>
#include <QHash>
#include <QRegion>
#include <QTimer>

#include <memory>
#include <vector>

class QMimeData;

class SECEdit;

// The editor pane: a scroll area whose viewport widget shows one
// SECEditViewport. Everything the pane draws or computes lives in the
// viewport; this class only hands it the window's events.
class SECEditView : public QAbstractScrollArea, protected ISECEditViewportWindow, public ISECEditPaneHost
{
    Q_OBJECT

public:
    explicit SECEditView(SECEdit* edit, QWidget* parent = nullptr);
    ~SECEditView() override;

    virtual SECEdit* GetEdit() const { return m_edit; }
    SECEditViewport& GetViewport() { return *m_viewport; }
    // Whether this is the pane the user last worked in (clicked or typed in).
    bool IsActivePane() const override;
    const SECEditViewport& GetViewport() const { return *m_viewport; }

    // Until a controller takes over, the pane's own holder answers for the
    // selection and the gutter.
    ISECEditPresentationState* GetPresentationState() const { return m_state; }
    void SetPresentationState(ISECEditPresentationState* state);
    SECEditSelectionHolder& GetSelectionHolder() { return m_holder; }

    // The controller that takes the pane's keys and focus and says where the
    // caret is; none: the pane only shows text.
    void SetPaneInput(ISECEditPaneInput* input);
    ISECEditPaneInput* GetPaneInput() const { return m_input; }
    // The caret as last drawn, in viewport-widget pixels (empty when hidden).
    QRect GetCaretScreenRect() const;

    // Shows the gutter in one of the gutter modes (SECEditGutterSettings::Mode)
    // while the pane's own holder answers for it.
    void SetGutterMode(int mode);
    int GetGutterMode() const { return m_state->GetGutterSettings().mode; }
    // Lays the pane out again after its gutter settings changed.
    void OnGutterChanged();

    // The area the last paint covered, in viewport-widget pixels.
    const QRegion& GetLastPaintRegion() const { return m_lastPaintRegion; }

    QSize sizeHint() const override;

    // The composition an input method shows at the caret before it commits.
    const QString& GetPreeditText() const { return m_preedit; }
    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;

    // ISECEditPaneHost
    void StartTimer(int id, int milliseconds) override;
    void StopTimer(int id) override;
    PixelPoint GetPointerPos() const override;
    int GetDragStartDistance() const override;
    int RunDrag(const SECEditTransfer& data, bool allowMove) override;
    int RunPopupMenu(int x, int y, const std::vector<SECEditMenuItem>& items) override;
    // The pointer's shape for the gutter: an arrow pointing up and to the right.
    static QCursor GutterCursor();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void changeEvent(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    bool event(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    // Files dropped on the pane: the application opens them; a pane alone
    // leaves them to its parent.
    virtual bool AcceptsDroppedFiles() const { return false; }
    virtual void OpenDroppedFiles(const QMimeData& data) { (void)data; }

    // ISECEditViewportWindow
    int GetClientWidth() const override;
    int GetClientHeight() const override;
    bool HasFocus() const override;
    void InvalidateRect(const PixelRect& area) override;
    void InvalidateAll() override;
    void ScrollContents(int dx, int dy, const PixelRect& area) override;
    void SetScrollBar(bool vertical, int maximum, int page, int position, bool enabled) override;

private:
    bool TakeFileDrag(QDropEvent* event);
    void BecomeActivePane();
    void ApplyPalette();
    void OnCaretChanged();
    void PaintCaret(QPainter& painter);
    void PaintPreedit(QPainter& painter);
    void UpdatePointerShape(const QPoint& at);
    QFont EditorFont() const;

    SECEdit* m_edit;
    QtFontMetricsFactory m_metricsFactory;
    SECEditSelectionHolder m_holder;
    ISECEditPresentationState* m_state = &m_holder;
    std::unique_ptr<SECEditViewport> m_viewport;
    QRegion m_lastPaintRegion;
    // Rectangles handed to the toolkit to repaint since the last paint (its
    // own region splits them into bands, so they are kept whole here).
    std::vector<QRect> m_pendingUpdate;
    int m_settingScrollBars = 0;
    ISECEditPaneInput* m_input = nullptr;
    QTimer m_caretBlink;
    bool m_caretPhase = true;
    QRect m_caretShown;
    QHash<int, QTimer*> m_timers;
    int m_pointerShape = -1;
    QString m_preedit;
    int m_preeditCursor = 0;
};
