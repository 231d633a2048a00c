#include "view/SECEditSplitBox.h"

#include <QMouseEvent>
#include <QPainter>
#include <QRubberBand>
#include <QStyle>

SECEditSplitBox::SECEditSplitBox(bool rows, QWidget* window, std::function<void(int)> split, QWidget* parent)
    : QWidget(parent), m_rows(rows), m_window(window), m_split(std::move(split))
{
    setCursor(rows ? Qt::SplitVCursor : Qt::SplitHCursor);
    setToolTip(rows ? tr("Drag to split the window into two rows")
                    : tr("Drag to split the window into two columns"));
    // Beside a scroll bar the box would otherwise take half the bar's length.
    setFixedSize(sizeHint());
}

QSize SECEditSplitBox::sizeHint() const
{
    const int extent = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    return m_rows ? QSize(extent, 7) : QSize(7, extent);
}

void SECEditSplitBox::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QPalette& p = palette();
    painter.fillRect(rect(), p.color(QPalette::Button));
    painter.setPen(p.color(QPalette::Mid));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
    // Two grip lines across the box's long side.
    painter.setPen(p.color(QPalette::Dark));
    if (m_rows) {
        painter.drawLine(2, 2, width() - 3, 2);
        painter.drawLine(2, height() - 3, width() - 3, height() - 3);
    } else {
        painter.drawLine(2, 2, 2, height() - 3);
        painter.drawLine(width() - 3, 2, width() - 3, height() - 3);
    }
}

int SECEditSplitBox::PositionInWindow(const QPointF& globalPos) const
{
    const QPoint local = m_window->mapFromGlobal(globalPos.toPoint());
    return m_rows ? local.y() : local.x();
}

void SECEditSplitBox::ShowTracker(int position)
{
    if (!m_tracker)
        m_tracker = new QRubberBand(QRubberBand::Line, m_window);
    const int limit = m_rows ? m_window->height() : m_window->width();
    position = std::clamp(position, 0, std::max(0, limit - 1));
    if (m_rows)
        m_tracker->setGeometry(0, position, m_window->width(), 3);
    else
        m_tracker->setGeometry(position, 0, 3, m_window->height());
    m_tracker->show();
}

void SECEditSplitBox::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return QWidget::mousePressEvent(event);
    m_dragging = true;
    ShowTracker(PositionInWindow(event->globalPosition()));
}

void SECEditSplitBox::mouseMoveEvent(QMouseEvent* event)
{
    if (m_dragging)
        ShowTracker(PositionInWindow(event->globalPosition()));
}

void SECEditSplitBox::mouseReleaseEvent(QMouseEvent* event)
{
    if (!m_dragging || event->button() != Qt::LeftButton)
        return QWidget::mouseReleaseEvent(event);
    m_dragging = false;
    if (m_tracker)
        m_tracker->hide();
    // The split may delete this box's pane; report last.
    const int position = PositionInWindow(event->globalPosition());
    auto split = m_split;
    split(position);
}

void SECEditSplitBox::mouseDoubleClickEvent(QMouseEvent*)
{
    auto split = m_split;
    split((m_rows ? m_window->height() : m_window->width()) / 2);
}
