#include "view/SECEditView.h"

#include "platform/qt/QtFonts.h"
#include "platform/qt/QtPainterSurface.h"

#include <QEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>

SECEditView::SECEditView(SECEdit* edit, QWidget* parent) : QAbstractScrollArea(parent), m_edit(edit)
{
    // Every pixel is painted, so Qt need not clear first, and scrolling can
    // move pixels instead of repainting them.
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    viewport()->setAutoFillBackground(false);
    viewport()->setCursor(Qt::IBeamCursor);
    setFocusPolicy(Qt::StrongFocus);
    // The bars stay visible, disabled when there is nothing to scroll.
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);

    m_viewport = std::make_unique<SECEditViewport>(edit, m_metricsFactory, static_cast<ISECEditViewportWindow*>(this));
    m_holder.SetViewport(m_viewport.get());
    m_viewport->SetPresentationState(m_state);
    ApplyPalette();
    m_viewport->UpdateScrollRanges();
}

SECEditView::~SECEditView() = default;

void SECEditView::SetPresentationState(ISECEditPresentationState* state)
{
    m_state = state ? state : &m_holder;
    m_viewport->SetPresentationState(m_state);
    m_viewport->UpdateScrollRanges();
    viewport()->update();
}

void SECEditView::SetGutterMode(int mode)
{
    m_holder.GetGutterSettings().mode = mode;
    OnGutterChanged();
}

void SECEditView::OnGutterChanged()
{
    m_viewport->UpdateScrollRanges();
    viewport()->update();
}

QSize SECEditView::sizeHint() const
{
    return {640, 480};
}

void SECEditView::ApplyPalette()
{
    // Automatic colours follow the desktop: a dark theme gives a dark editor.
    const QPalette& p = palette();
    SECEditSystemColors colors;
    colors.windowText = FromQColor(p.color(QPalette::Active, QPalette::Text));
    colors.window = FromQColor(p.color(QPalette::Active, QPalette::Base));
    colors.gutter = FromQColor(p.color(QPalette::Active, QPalette::Button));
    colors.gutterText = FromQColor(p.color(QPalette::Active, QPalette::ButtonText));
    colors.gutterEdge = FromQColor(p.color(QPalette::Active, QPalette::Shadow));
    m_viewport->SetSystemColors(colors);
    viewport()->update();
}

void SECEditView::paintEvent(QPaintEvent* event)
{
    m_lastPaintRegion = event->region();
    QPainter painter(viewport());
    QtPainterSurface surface(painter);
    for (const QRect& r : event->region())
        m_viewport->PaintText(surface, {r.left(), r.top(), r.right() + 1, r.bottom() + 1});
}

void SECEditView::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    m_viewport->UpdateScrollRanges();
}

void SECEditView::scrollContentsBy(int, int)
{
    if (m_settingScrollBars)
        return;
    m_viewport->ScrollToUnits(horizontalScrollBar()->value(), verticalScrollBar()->value());
}

void SECEditView::changeEvent(QEvent* event)
{
    QAbstractScrollArea::changeEvent(event);
    if (event->type() == QEvent::PaletteChange || event->type() == QEvent::StyleChange)
        ApplyPalette();
}

void SECEditView::focusInEvent(QFocusEvent* event)
{
    QAbstractScrollArea::focusInEvent(event);
    if (m_state->HasSelection() && !m_state->KeepsFocusLook())
        viewport()->update();
}

void SECEditView::focusOutEvent(QFocusEvent* event)
{
    QAbstractScrollArea::focusOutEvent(event);
    if (m_state->HasSelection() && !m_state->KeepsFocusLook())
        viewport()->update();
}

int SECEditView::GetClientWidth() const
{
    return viewport()->width();
}

int SECEditView::GetClientHeight() const
{
    return viewport()->height();
}

bool SECEditView::HasFocus() const
{
    return hasFocus() || viewport()->hasFocus();
}

void SECEditView::InvalidateRect(const PixelRect& area)
{
    viewport()->update(QRect(area.left, area.top, area.Width(), area.Height()));
}

void SECEditView::InvalidateAll()
{
    viewport()->update();
}

void SECEditView::ScrollContents(int dx, int dy, const PixelRect& area)
{
    viewport()->scroll(dx, dy, QRect(area.left, area.top, area.Width(), area.Height()));
}

void SECEditView::SetScrollBar(bool vertical, int maximum, int page, int position, bool enabled)
{
    QScrollBar* bar = vertical ? verticalScrollBar() : horizontalScrollBar();
    ++m_settingScrollBars;
    bar->setSingleStep(1);
    bar->setPageStep(std::max(1, page));
    bar->setRange(0, std::max(0, maximum));
    bar->setValue(position);
    bar->setEnabled(enabled);
    --m_settingScrollBars;
}
