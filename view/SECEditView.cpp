#include "view/SECEditView.h"

#include "platform/qt/QtFonts.h"
#include "platform/qt/QtPainterSurface.h"

#include <QEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPointer>
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

    m_caretBlink.setInterval(500);
    connect(&m_caretBlink, &QTimer::timeout, this, [this] {
        m_caretPhase = !m_caretPhase;
        OnCaretChanged();
    });
}

namespace {

// The pane the user last worked in, across every window of the program.
QPointer<SECEditView>& ActivePane()
{
    static QPointer<SECEditView> pane;
    return pane;
}

} // namespace

SECEditView::~SECEditView()
{
    // The controller may go before the pane; nothing may call it from here on.
    m_input = nullptr;
}

void SECEditView::SetPaneInput(ISECEditPaneInput* input)
{
    if (m_input)
        m_input->SetCaretListener({});
    m_input = input;
    setAttribute(Qt::WA_InputMethodEnabled, input != nullptr);
    if (m_input) {
        m_input->SetCaretListener([this] {
            // A caret that moved shows at once and blinks from there.
            m_caretPhase = true;
            if (m_caretBlink.isActive())
                m_caretBlink.start();
            OnCaretChanged();
        });
        if (HasFocus())
            m_input->OnFocus(true);
    }
    OnCaretChanged();
}

QRect SECEditView::GetCaretScreenRect() const
{
    PixelRect r;
    if (!m_input || !m_caretPhase || !m_input->GetCaretRect(r))
        return {};
    const PixelPoint origin = m_viewport->GetOrigin();
    r = r.Translated(-origin.x, -origin.y);
    // Scrolled under the gutter: hidden.
    if (r.left < m_viewport->GetTextLeft())
        return {};
    return QRect(r.left, r.top, r.Width(), r.Height());
}

void SECEditView::OnCaretChanged()
{
    const QRect now = GetCaretScreenRect();
    if (now == m_caretShown)
        return;
    if (!m_caretShown.isEmpty())
        viewport()->update(m_caretShown);
    if (!now.isEmpty())
        viewport()->update(now);
}

void SECEditView::PaintCaret(QPainter& painter)
{
    m_caretShown = GetCaretScreenRect();
    if (m_caretShown.isEmpty())
        return;
    // Inverting keeps the caret visible on any colour and the character under
    // an overtype block readable.
    painter.setClipping(false);
    painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    painter.fillRect(m_caretShown, Qt::white);
}

bool SECEditView::event(QEvent* event)
{
    if (m_input && (event->type() == QEvent::ShortcutOverride || event->type() == QEvent::KeyPress)) {
        auto* key = static_cast<QKeyEvent*>(event);
        const int modifiers = int(key->modifiers() & ~(Qt::KeypadModifier | Qt::MetaModifier));
        if (event->type() == QEvent::ShortcutOverride) {
            // The editor's own keys come here before the application's shortcuts.
            if (m_input->IsKeyBound(key->key(), modifiers)) {
                event->accept();
                return true;
            }
            return QAbstractScrollArea::event(event);
        }
        // Tab and Shift+Tab are editing keys here, not focus moves.
        if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) {
            keyPressEvent(key);
            return true;
        }
    }
    return QAbstractScrollArea::event(event);
}

void SECEditView::keyPressEvent(QKeyEvent* event)
{
    if (!m_input) {
        QAbstractScrollArea::keyPressEvent(event);
        return;
    }
    BecomeActivePane();
    if (!m_caretBlink.isActive()) {
        // Keys arrive, so this pane has the keyboard even if no focus event
        // said so (a display without a window manager sends none).
        m_caretPhase = true;
        m_caretBlink.start();
        m_input->OnFocus(true);
    }
    const int modifiers = int(event->modifiers() & ~(Qt::KeypadModifier | Qt::MetaModifier));
    if (m_input->OnKeyDown(event->key(), modifiers)) {
        event->accept();
        return;
    }
    const QString text = event->text();
    if (!text.isEmpty() && !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) &&
        m_input->OnChar(std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()), std::size_t(text.size())))) {
        event->accept();
        return;
    }
    QAbstractScrollArea::keyPressEvent(event);
}

void SECEditView::mousePressEvent(QMouseEvent* event)
{
    BecomeActivePane();
    if (!m_input || event->button() != Qt::LeftButton) {
        QAbstractScrollArea::mousePressEvent(event);
        return;
    }
    if (!hasFocus())
        setFocus(Qt::MouseFocusReason);
    const QPoint p = event->position().toPoint();
    m_input->OnMouseDown(p.x(), p.y(), int(event->modifiers()), false);
    event->accept();
}

void SECEditView::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (!m_input || event->button() != Qt::LeftButton) {
        QAbstractScrollArea::mouseDoubleClickEvent(event);
        return;
    }
    const QPoint p = event->position().toPoint();
    m_input->OnMouseDown(p.x(), p.y(), int(event->modifiers()), true);
    event->accept();
}

void SECEditView::mouseMoveEvent(QMouseEvent* event)
{
    if (!m_input || !(event->buttons() & Qt::LeftButton)) {
        QAbstractScrollArea::mouseMoveEvent(event);
        return;
    }
    const QPoint p = event->position().toPoint();
    m_input->OnMouseMove(p.x(), p.y());
    event->accept();
}

void SECEditView::mouseReleaseEvent(QMouseEvent* event)
{
    if (!m_input || event->button() != Qt::LeftButton) {
        QAbstractScrollArea::mouseReleaseEvent(event);
        return;
    }
    m_input->OnMouseUp();
    event->accept();
}

void SECEditView::inputMethodEvent(QInputMethodEvent* event)
{
    const QString text = event->commitString();
    if (m_input && !text.isEmpty())
        m_input->OnChar(std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()), std::size_t(text.size())));
    event->accept();
}

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
    m_state->SetGutterMode(mode);
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
    PaintCaret(painter);
    // Forgotten only now: what painting itself asked for is asked again.
    m_pendingUpdate.clear();
}

void SECEditView::resizeEvent(QResizeEvent* event)
{
    m_pendingUpdate.clear();
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

void SECEditView::BecomeActivePane()
{
    QPointer<SECEditView>& active = ActivePane();
    if (active == this)
        return;
    SECEditView* previous = active.data();
    active = this;
    // The pane that stops being the active one hides its selection.
    if (previous && previous->m_state->HasSelection() && !previous->m_state->KeepsFocusLook())
        previous->viewport()->update();
}

bool SECEditView::IsActivePane() const
{
    return ActivePane().data() == this;
}

void SECEditView::focusInEvent(QFocusEvent* event)
{
    QAbstractScrollArea::focusInEvent(event);
    BecomeActivePane();
    if (m_input) {
        m_caretPhase = true;
        m_caretBlink.start();
        m_input->OnFocus(true);
    }
    if (m_state->HasSelection() && !m_state->KeepsFocusLook())
        viewport()->update();
}

void SECEditView::focusOutEvent(QFocusEvent* event)
{
    QAbstractScrollArea::focusOutEvent(event);
    m_caretBlink.stop();
    if (m_input && event->reason() == Qt::PopupFocusReason) {
        // A menu is open for a moment: the caret stays this pane's (its
        // commands act here), it is only not drawn meanwhile.
        m_caretPhase = false;
        OnCaretChanged();
    } else if (m_input) {
        m_input->OnFocus(false);
    }
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
    // An edit far below the window still asks for the gutter, every time: a
    // rectangle already waiting for the next paint needn't go to the toolkit
    // again (merging it into the dirty region costs more than the edit).
    const QRect rect(area.left, area.top, area.Width(), area.Height());
    if (rect.isEmpty())
        return;
    for (const QRect& waiting : m_pendingUpdate)
        if (waiting.contains(rect))
            return;
    if (m_pendingUpdate.size() < 16) // a few rectangles, quick to look through
        m_pendingUpdate.push_back(rect);
    viewport()->update(rect);
}

void SECEditView::InvalidateAll()
{
    m_pendingUpdate.assign(1, viewport()->rect());
    viewport()->update();
}

void SECEditView::ScrollContents(int dx, int dy, const PixelRect& area)
{
    m_pendingUpdate.clear(); // the toolkit moves what waits with the pixels
    viewport()->scroll(dx, dy, QRect(area.left, area.top, area.Width(), area.Height()));
    // The caret's pixels moved with the text; draw it again where it belongs.
    if (!m_caretShown.isEmpty()) {
        viewport()->update(m_caretShown.translated(dx, dy));
        viewport()->update(m_caretShown);
    }
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
