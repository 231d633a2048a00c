#include "app/CFontColorSample.h"

#include <QPainter>

CFontColorSample::CFontColorSample(QWidget* parent) : QWidget(parent)
{
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void CFontColorSample::SetSample(const QFont& font, const QColor& foreground, const QColor& background)
{
    m_font = font;
    m_foreground = foreground;
    m_background = background;
    update();
}

QSize CFontColorSample::sizeHint() const
{
    return {260, 70};
}

void CFontColorSample::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QRect frame = rect().adjusted(0, 0, -1, -1);
    painter.fillRect(frame, m_background);
    painter.setPen(QPen(Qt::black, 1));
    painter.drawRect(frame);
    // A large font is cut at the frame rather than drawn over it.
    const QRect inner = rect().adjusted(2, 2, -2, -2);
    painter.setClipRect(inner);
    painter.setFont(m_font);
    painter.setPen(m_foreground);
    painter.drawText(inner, Qt::AlignCenter | Qt::TextSingleLine, SampleText());
}
