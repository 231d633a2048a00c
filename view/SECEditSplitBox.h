#pragma once

#include <QWidget>

#include <functional>

class QRubberBand;

// The small box beside a pane's scroll bar that the user drags to split the
// window: above the vertical bar for a split into rows, left of the
// horizontal bar for a split into columns. While it is dragged a line shows
// where the split will go; releasing it reports the position in the
// coordinates of `window`.
class SECEditSplitBox : public QWidget
{
    Q_OBJECT

public:
    // rows: the box splits into rows (it sits on the vertical bar).
    SECEditSplitBox(bool rows, QWidget* window, std::function<void(int position)> split,
                    QWidget* parent = nullptr);

    bool SplitsRows() const { return m_rows; }
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    int PositionInWindow(const QPointF& globalPos) const;
    void ShowTracker(int position);

    bool m_rows;
    QWidget* m_window;
    std::function<void(int)> m_split;
    QRubberBand* m_tracker = nullptr;
    bool m_dragging = false;
};
