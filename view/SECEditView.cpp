#include "view/SECEditView.h"

#include "engine/SECEdit.h"
#include "platform/qt/QtFonts.h"
#include "platform/qt/QtPainterSurface.h"
#include "view/SECEditMimeData.h"

#include <QApplication>
#include <QBitmap>
#include <QContextMenuEvent>
#include <QCursor>
#include <QDrag>
#include <QEvent>
#include <QFontMetrics>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPointer>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionSlider>

#include <optional>

namespace {

// A scroll bar that repaints for a new range or page only when its look
// changes. Every line typed or deleted in a long document changes the range
// by one, which seldom moves the handle by a pixel, and a scroll bar's
// gradients cost more to paint than the rows of text the edit touched.
class PaneScrollBar : public QScrollBar
{
public:
    explicit PaneScrollBar(Qt::Orientation orientation) : QScrollBar(orientation) {}

protected:
    void sliderChange(SliderChange change) override
    {
        if ((change == SliderRangeChange || change == SliderStepsChange) && m_shown && *m_shown == CurrentLook() &&
            !style()->styleHint(QStyle::SH_ScrollBar_Transient, nullptr, this))
            return;
        QScrollBar::sliderChange(change);
    }

    void paintEvent(QPaintEvent* event) override
    {
        // A part painted over a whole of another look leaves the whole unknown.
        const Look look = CurrentLook();
        if ((QRegion(rect()) - event->region()).isEmpty() || (m_shown && *m_shown == look))
            m_shown = look;
        else
            m_shown.reset();
        QScrollBar::paintEvent(event);
    }

private:
    // What the bar draws: where its handle lies, and whether either end is
    // reached (an arrow there shows disabled).
    struct Look
    {
        QRect handle;
        bool atStart = false;
        bool atEnd = false;
        bool operator==(const Look&) const = default;
    };

    Look CurrentLook() const
    {
        QStyleOptionSlider option;
        initStyleOption(&option);
        return {style()->subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarSlider, this),
                option.sliderValue == option.minimum, option.sliderValue == option.maximum};
    }

    std::optional<Look> m_shown;
};

} // namespace

SECEditView::SECEditView(SECEdit* edit, QWidget* parent) : QAbstractScrollArea(parent), m_edit(edit)
{
    // Every pixel is painted, so Qt need not clear first, and scrolling can
    // move pixels instead of repainting them.
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    viewport()->setAutoFillBackground(false);
    viewport()->setCursor(Qt::IBeamCursor);
    // The pointer's shape follows what lies under it: gutter, selection or text.
    viewport()->setMouseTracking(true);
    viewport()->setAcceptDrops(true);
    setFocusPolicy(Qt::StrongFocus);
    // The bars stay visible, disabled when there is nothing to scroll.
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollBar(new PaneScrollBar(Qt::Vertical));
    setHorizontalScrollBar(new PaneScrollBar(Qt::Horizontal));

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
    if (m_input) {
        m_input->SetCaretListener({});
        m_input->SetPaneHost(nullptr);
    }
    m_input = input;
    setAttribute(Qt::WA_InputMethodEnabled, input != nullptr);
    if (m_input) {
        m_input->SetPaneHost(this);
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
    if (!m_input || (!m_caretPhase && !m_input->IsDropCaret()) || !m_input->GetCaretRect(r))
        return {};
    const PixelPoint origin = m_viewport->GetOrigin();
    r = r.Translated(-origin.x, -origin.y);
    if (!m_preedit.isEmpty()) {
        // The caret stands inside the composition.
        const int dx = QFontMetrics(EditorFont()).horizontalAdvance(m_preedit.left(m_preeditCursor));
        r = r.Translated(dx, 0);
    }
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
    if (m_input && m_input->IsDropCaret()) {
        painter.fillRect(m_caretShown, Qt::gray);
        return;
    }
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
    if (event->key() == Qt::Key_Menu || (event->key() == Qt::Key_F10 && modifiers == Qt::ShiftModifier)) {
        m_input->OnContextMenu(0, 0, true);
        event->accept();
        return;
    }
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
    if (m_input && event->button() == Qt::MiddleButton) {
        const QPoint p = event->position().toPoint();
        m_input->OnMiddleClick(p.x(), p.y());
        event->accept();
        return;
    }
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
    UpdatePointerShape(event->position().toPoint());
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
    UpdatePointerShape(event->position().toPoint());
    event->accept();
}

void SECEditView::inputMethodEvent(QInputMethodEvent* event)
{
    const QString text = event->commitString();
    if (m_input && !text.isEmpty())
        m_input->OnChar(std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()), std::size_t(text.size())));
    const QString preedit = event->preeditString();
    int cursor = int(preedit.size());
    for (const QInputMethodEvent::Attribute& a : event->attributes())
        if (a.type == QInputMethodEvent::Cursor)
            cursor = std::clamp(a.start, 0, int(preedit.size()));
    if (preedit != m_preedit || cursor != m_preeditCursor) {
        m_preedit = preedit;
        m_preeditCursor = cursor;
        viewport()->update();
        OnCaretChanged();
    }
    event->accept();
}

QFont SECEditView::EditorFont() const
{
    return MakeQFont(m_viewport->GetSettings().font);
}

QVariant SECEditView::inputMethodQuery(Qt::InputMethodQuery query) const
{
    if (!m_input)
        return QAbstractScrollArea::inputMethodQuery(query);
    switch (query) {
    case Qt::ImEnabled:
        return true;
    case Qt::ImCursorRectangle: {
        PixelRect r;
        if (!m_input->GetCaretRect(r))
            return QRect();
        const PixelPoint origin = m_viewport->GetOrigin();
        r = r.Translated(-origin.x, -origin.y);
        int dx = 0;
        if (!m_preedit.isEmpty())
            dx = QFontMetrics(EditorFont()).horizontalAdvance(m_preedit.left(m_preeditCursor));
        // In the scroll area's own pixels, where the input method places its window.
        return QRect(viewport()->mapTo(const_cast<SECEditView*>(this), QPoint(r.left + dx, r.top)),
                     QSize(std::max(1, r.Width()), r.Height()));
    }
    case Qt::ImFont:
        return EditorFont();
    case Qt::ImCursorPosition:
    case Qt::ImAnchorPosition:
        return m_input->GetCaretTextPos().column;
    case Qt::ImSurroundingText: {
        std::u16string_view line;
        if (!m_edit || m_edit->GetLineText(m_input->GetCaretTextPos().line, line) < 0)
            return QString();
        return QString::fromUtf16(line.data(), qsizetype(line.size()));
    }
    case Qt::ImCurrentSelection:
        return QString();
    default:
        return QAbstractScrollArea::inputMethodQuery(query);
    }
}

void SECEditView::PaintPreedit(QPainter& painter)
{
    PixelRect r;
    if (m_preedit.isEmpty() || !m_input || !m_input->GetCaretRect(r))
        return;
    const PixelPoint origin = m_viewport->GetOrigin();
    r = r.Translated(-origin.x, -origin.y);
    const QFont font = EditorFont();
    const QFontMetrics metrics(font);
    // Over the text after the caret, as the text will stand once it commits.
    const QRect area(r.left, r.top, metrics.horizontalAdvance(m_preedit) + 1, r.Height());
    painter.setClipping(false);
    painter.fillRect(area, palette().color(QPalette::Base));
    QFont underlined = font;
    underlined.setUnderline(true);
    painter.setFont(underlined);
    painter.setPen(palette().color(QPalette::Text));
    painter.drawText(area, Qt::AlignLeft | Qt::AlignVCenter, m_preedit);
}

void SECEditView::UpdatePointerShape(const QPoint& at)
{
    const int shape = m_input ? m_input->GetCursorShape(at.x(), at.y()) : int(ISECEditPaneInput::TextCursor);
    if (shape == m_pointerShape)
        return;
    m_pointerShape = shape;
    switch (shape) {
    case ISECEditPaneInput::GutterCursor: viewport()->setCursor(GutterCursor()); break;
    case ISECEditPaneInput::ArrowCursor: viewport()->setCursor(Qt::ArrowCursor); break;
    default: viewport()->setCursor(Qt::IBeamCursor); break;
    }
}

QCursor SECEditView::GutterCursor()
{
    // The usual arrow, mirrored: it points up and to the right, its tip the hot spot.
    static const QCursor cursor = [] {
        QPixmap pixmap(32, 32);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing, false);
        const QPointF arrow[] = {{12, 0}, {12, 16}, {8.5, 12.5}, {5.5, 19}, {3, 18}, {6, 11.5}, {1, 11.5}};
        painter.setPen(QPen(Qt::white, 1));
        painter.setBrush(Qt::black);
        painter.drawPolygon(arrow, int(std::size(arrow)));
        painter.end();
        return QCursor(pixmap, 12, 0);
    }();
    return cursor;
}

void SECEditView::contextMenuEvent(QContextMenuEvent* event)
{
    if (!m_input) {
        QAbstractScrollArea::contextMenuEvent(event);
        return;
    }
    const bool keyboard = event->reason() == QContextMenuEvent::Keyboard;
    const QPoint p = keyboard ? QPoint() : viewport()->mapFrom(this, event->pos());
    m_input->OnContextMenu(p.x(), p.y(), keyboard);
    event->accept();
}

// Files open as documents where the application allows it, else the parent
// decides. Says whether the drag carried files.
bool SECEditView::TakeFileDrag(QDropEvent* event)
{
    if (!SECEditMimeData::HasLocalFiles(*event->mimeData()))
        return false;
    if (AcceptsDroppedFiles())
        event->acceptProposedAction();
    else
        event->ignore();
    return true;
}

void SECEditView::dragEnterEvent(QDragEnterEvent* event)
{
    if (TakeFileDrag(event))
        return;
    if (!m_input) {
        event->ignore();
        return;
    }
    const QPoint p = event->position().toPoint();
    const int effect = m_input->OnDragEnter(event->mimeData()->hasText(), int(event->modifiers()), p.x(), p.y());
    // The pane takes the drag even where a drop would do nothing, so it hears the moves.
    if (event->mimeData()->hasText() && !(m_edit && m_edit->IsReadOnly())) {
        event->setDropAction(effect == DropCopy ? Qt::CopyAction : Qt::MoveAction);
        event->accept();
    } else {
        event->ignore();
    }
}

void SECEditView::dragMoveEvent(QDragMoveEvent* event)
{
    if (TakeFileDrag(event))
        return;
    if (!m_input) {
        event->ignore();
        return;
    }
    const QPoint p = event->position().toPoint();
    const int effect = m_input->OnDragOver(int(event->modifiers()), p.x(), p.y());
    if (effect == DropNone) {
        event->ignore();
        return;
    }
    event->setDropAction(effect == DropCopy ? Qt::CopyAction : Qt::MoveAction);
    event->accept();
}

void SECEditView::dragLeaveEvent(QDragLeaveEvent* event)
{
    if (m_input)
        m_input->OnDragLeave();
    event->accept();
}

void SECEditView::dropEvent(QDropEvent* event)
{
    const QMimeData* mime = event->mimeData();
    if (SECEditMimeData::HasLocalFiles(*mime) && AcceptsDroppedFiles()) {
        OpenDroppedFiles(*mime);
        event->acceptProposedAction();
        return;
    }
    SECEditTransfer data;
    if (!m_input || !SECEditMimeData::Read(*mime, data)) {
        if (m_input)
            m_input->OnDragLeave();
        event->ignore();
        return;
    }
    const QPoint p = event->position().toPoint();
    int effect = m_input->OnDragOver(int(event->modifiers()), p.x(), p.y());
    // A drop from another program keeps to what that program allows.
    if (effect == DropMove && !(event->possibleActions() & Qt::MoveAction))
        effect = DropCopy;
    if (effect == DropCopy && !(event->possibleActions() & Qt::CopyAction))
        effect = DropMove;
    effect = m_input->OnDrop(data, effect, p.x(), p.y());
    if (effect == DropNone) {
        event->ignore();
        return;
    }
    event->setDropAction(effect == DropCopy ? Qt::CopyAction : Qt::MoveAction);
    event->accept();
}

void SECEditView::StartTimer(int id, int milliseconds)
{
    QTimer*& timer = m_timers[id];
    if (!timer) {
        timer = new QTimer(this);
        connect(timer, &QTimer::timeout, this, [this, id] {
            if (m_input)
                m_input->OnTimer(id);
        });
    }
    timer->start(milliseconds);
}

void SECEditView::StopTimer(int id)
{
    if (QTimer* timer = m_timers.value(id))
        timer->stop();
}

PixelPoint SECEditView::GetPointerPos() const
{
    const QPoint p = viewport()->mapFromGlobal(QCursor::pos());
    return {p.x(), p.y()};
}

int SECEditView::GetDragStartDistance() const
{
    return QApplication::startDragDistance();
}

int SECEditView::RunDrag(const SECEditTransfer& data, bool allowMove)
{
    auto* drag = new QDrag(this);
    drag->setMimeData(SECEditMimeData::Make(data));
    const Qt::DropActions actions = allowMove ? Qt::CopyAction | Qt::MoveAction : Qt::CopyAction;
    const Qt::DropAction result = drag->exec(actions, allowMove ? Qt::MoveAction : Qt::CopyAction);
    switch (result) {
    case Qt::CopyAction: return DropCopy;
    case Qt::MoveAction: return allowMove ? DropMove : DropCopy;
    default: return DropNone;
    }
}

int SECEditView::RunPopupMenu(int x, int y, const std::vector<SECEditMenuItem>& items)
{
    QMenu menu(this);
    for (const SECEditMenuItem& item : items) {
        if (item.id == 0) {
            menu.addSeparator();
            continue;
        }
        QAction* action = menu.addAction(QString::fromUtf16(item.label.data(), qsizetype(item.label.size())));
        action->setData(item.id);
        action->setEnabled(item.enabled);
    }
    QPointer<SECEditView> alive(this);
    QAction* chosen = menu.exec(viewport()->mapToGlobal(QPoint(x, y)));
    if (!alive || !chosen)
        return 0;
    return chosen->data().toInt();
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
    PaintPreedit(painter);
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
    {
        // The bars are always shown, so a new range needs no new layout of
        // the pane; the layout the scroll area would queue repaints both bars.
        const QSignalBlocker quiet(bar);
        bar->setRange(0, std::max(0, maximum));
    }
    bar->setValue(position);
    bar->setEnabled(enabled);
    --m_settingScrollBars;
}
