#include "app/CColorButton.h"

#include <QEvent>
#include <QPainter>
#include <QPixmap>

CColorButton::CColorButton(const QString& text, QWidget* parent) : QPushButton(text, parent)
{
    setIconSize(QSize(32, 14));
    UpdateSwatch();
}

void CColorButton::SetColor(const QColor& color)
{
    if (color == m_color)
        return;
    m_color = color;
    UpdateSwatch();
}

void CColorButton::changeEvent(QEvent* event)
{
    QPushButton::changeEvent(event);
    if (event->type() == QEvent::EnabledChange)
        UpdateSwatch();
}

void CColorButton::UpdateSwatch()
{
    const QSize size = iconSize();
    QPixmap swatch(size);
    swatch.fill(Qt::transparent);
    QPainter painter(&swatch);
    // A disabled button shows its colour faded, as automatic colours are not the user's to pick.
    QColor fill = m_color;
    if (!isEnabled())
        fill.setAlpha(110);
    painter.fillRect(QRect(QPoint(0, 0), size), fill);
    painter.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
    painter.drawRect(0, 0, size.width() - 1, size.height() - 1);
    painter.end();
    setIcon(QIcon(swatch));
}
