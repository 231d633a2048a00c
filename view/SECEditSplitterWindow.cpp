#include "view/SECEditSplitterWindow.h"

#include "view/SECEditSplitBox.h"
#include "view/SECEditView.h"

#include <QEvent>
#include <QScrollBar>
#include <QSplitter>
#include <QVBoxLayout>

SECEditSplitterWindow::SECEditSplitterWindow(PaneFactory factory, QWidget* parent)
    : QWidget(parent), m_factory(std::move(factory))
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_rows = new QSplitter(Qt::Vertical, this);
    m_rows->setChildrenCollapsible(true);
    m_rows->setOpaqueResize(true);
    layout->addWidget(m_rows);
    connect(m_rows, &QSplitter::splitterMoved, this, [this] { OnRowDividerMoved(); });

    auto* row = new QSplitter(Qt::Horizontal, m_rows);
    row->setChildrenCollapsible(true);
    connect(row, &QSplitter::splitterMoved, this, [this, row] { OnColumnDividerMoved(row); });
    m_rows->addWidget(row);
    m_rowSplitters[0] = row;
    m_panes[0][0] = MakePane(row, nullptr);
    row->addWidget(m_panes[0][0]);
    m_rowCount = 1;
    m_columnCount = 1;
    UpdateCells();
}

SECEditSplitterWindow::~SECEditSplitterWindow() = default;

SECEditView* SECEditSplitterWindow::GetPane(int row, int column) const
{
    if (row < 0 || row >= m_rowCount || column < 0 || column >= m_columnCount)
        return nullptr;
    return m_panes[std::size_t(row)][std::size_t(column)];
}

SECEditView* SECEditSplitterWindow::GetActivePane() const
{
    return m_active ? m_active : m_panes[0][0];
}

SECEditView* SECEditSplitterWindow::MakePane(QWidget* parent, const SECEditView* like)
{
    SECEditView* pane = m_factory(parent);
    pane->setMinimumSize(MinPaneSize, MinPaneSize);
    pane->installEventFilter(this);
    pane->viewport()->installEventFilter(this);
    AddSplitBoxes(pane);
    if (like) {
        // A new pane opens where the one it was split from stands.
        pane->GetViewport().ScrollTo(like->GetViewport().GetOrigin());
    }
    return pane;
}

void SECEditSplitterWindow::AddSplitBoxes(SECEditView* pane)
{
    auto* rowBox = new SECEditSplitBox(
        true, this, [this](int y) { SplitRow(y); }, pane);
    auto* columnBox = new SECEditSplitBox(
        false, this, [this](int x) { SplitColumn(x); }, pane);
    pane->addScrollBarWidget(rowBox, Qt::AlignTop);
    pane->addScrollBarWidget(columnBox, Qt::AlignLeft);
}

int SECEditSplitterWindow::ColumnSplitterExtent() const
{
    return m_rowSplitters[0] ? m_rowSplitters[0]->width() : width();
}

bool SECEditSplitterWindow::SplitRow(int y)
{
    const int height = m_rows->height();
    if (m_rowCount >= MaxRows || y < MinPaneSize || y > height - MinPaneSize - m_rows->handleWidth())
        return false;
    auto* row = new QSplitter(Qt::Horizontal, m_rows);
    row->setChildrenCollapsible(true);
    connect(row, &QSplitter::splitterMoved, this, [this, row] { OnColumnDividerMoved(row); });
    for (int c = 0; c < m_columnCount; ++c) {
        SECEditView* pane = MakePane(row, m_panes[0][std::size_t(c)]);
        row->addWidget(pane);
        m_panes[1][std::size_t(c)] = pane;
    }
    m_rows->addWidget(row);
    m_rowSplitters[1] = row;
    m_rowCount = 2;
    row->setSizes(m_rowSplitters[0]->sizes());
    m_rows->setSizes({y, height - y - m_rows->handleWidth()});
    UpdateCells();
    return true;
}

bool SECEditSplitterWindow::SplitColumn(int x)
{
    const int width = ColumnSplitterExtent();
    if (m_columnCount >= MaxColumns || x < MinPaneSize || x > width - MinPaneSize - m_rows->handleWidth())
        return false;
    for (int r = 0; r < m_rowCount; ++r) {
        QSplitter* row = m_rowSplitters[std::size_t(r)];
        SECEditView* pane = MakePane(row, m_panes[std::size_t(r)][0]);
        row->addWidget(pane);
        m_panes[std::size_t(r)][1] = pane;
    }
    m_columnCount = 2;
    for (int r = 0; r < m_rowCount; ++r)
        m_rowSplitters[std::size_t(r)]->setSizes({x, width - x - m_rowSplitters[std::size_t(r)]->handleWidth()});
    UpdateCells();
    return true;
}

void SECEditSplitterWindow::DeleteRow(int row)
{
    if (m_rowCount < 2 || row < 0 || row >= m_rowCount)
        return;
    QSplitter* gone = m_rowSplitters[std::size_t(row)];
    for (int c = 0; c < m_columnCount; ++c)
        if (m_active == m_panes[std::size_t(row)][std::size_t(c)])
            m_active = nullptr;
    if (row == 0) {
        m_rowSplitters[0] = m_rowSplitters[1];
        m_panes[0] = m_panes[1];
    }
    m_rowSplitters[1] = nullptr;
    m_panes[1] = {};
    m_rowCount = 1;
    // Out of the splitter at once, so a split right after this sees one row.
    gone->hide();
    gone->setParent(nullptr);
    gone->deleteLater();
    UpdateCells();
}

void SECEditSplitterWindow::DeleteColumn(int column)
{
    if (m_columnCount < 2 || column < 0 || column >= m_columnCount)
        return;
    for (int r = 0; r < m_rowCount; ++r) {
        SECEditView* gone = m_panes[std::size_t(r)][std::size_t(column)];
        if (m_active == gone)
            m_active = nullptr;
        if (column == 0)
            m_panes[std::size_t(r)][0] = m_panes[std::size_t(r)][1];
        m_panes[std::size_t(r)][1] = nullptr;
        gone->hide();
        gone->setParent(nullptr);
        gone->deleteLater();
    }
    m_columnCount = 1;
    UpdateCells();
}

void SECEditSplitterWindow::UpdateCells()
{
    for (int r = 0; r < m_rowCount; ++r) {
        for (int c = 0; c < m_columnCount; ++c) {
            SECEditView* pane = m_panes[std::size_t(r)][std::size_t(c)];
            pane->GetViewport().SetSplitterCell(this, r, c);
            // A box is offered only while the window can still split its way.
            for (auto* box : pane->findChildren<SECEditSplitBox*>())
                box->setVisible(box->SplitsRows() ? m_rowCount < MaxRows : m_columnCount < MaxColumns);
        }
    }
}

void SECEditSplitterWindow::OnRowDividerMoved()
{
    if (m_rowCount < 2)
        return;
    const QList<int> sizes = m_rows->sizes();
    // A row dragged below the smallest pane size is closed.
    for (int r = 0; r < m_rowCount && r < sizes.size(); ++r) {
        if (sizes[r] < MinPaneSize) {
            DeleteRow(r);
            return;
        }
    }
}

void SECEditSplitterWindow::OnColumnDividerMoved(QSplitter* row)
{
    if (m_syncingSizes || m_columnCount < 2)
        return;
    const QList<int> sizes = row->sizes();
    for (int c = 0; c < m_columnCount && c < sizes.size(); ++c) {
        if (sizes[c] < MinPaneSize) {
            DeleteColumn(c);
            return;
        }
    }
    // Both rows share one column divider.
    m_syncingSizes = true;
    for (int r = 0; r < m_rowCount; ++r)
        if (m_rowSplitters[std::size_t(r)] != row)
            m_rowSplitters[std::size_t(r)]->setSizes(sizes);
    m_syncingSizes = false;
}

bool SECEditSplitterWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FocusIn) {
        for (int r = 0; r < m_rowCount; ++r)
            for (int c = 0; c < m_columnCount; ++c) {
                SECEditView* pane = m_panes[std::size_t(r)][std::size_t(c)];
                if (pane && (watched == pane || watched == pane->viewport()))
                    m_active = pane;
            }
    }
    return QWidget::eventFilter(watched, event);
}
