#pragma once

#include <QWidget>

#include <array>
#include <functional>

class QSplitter;
class SECEditView;

// A window of up to two rows and two columns of editor panes on one
// document. The user splits it by dragging the box beside a scroll bar and
// joins it again by dragging a divider to the window's edge. Panes follow
// each other through SplitterSync: those in one row scroll together
// vertically, those in one column horizontally.
class SECEditSplitterWindow : public QWidget
{
    Q_OBJECT

public:
    using PaneFactory = std::function<SECEditView*(QWidget* parent)>;
    static constexpr int MaxRows = 2;
    static constexpr int MaxColumns = 2;
    static constexpr int MinPaneSize = 10;

    explicit SECEditSplitterWindow(PaneFactory factory, QWidget* parent = nullptr);
    ~SECEditSplitterWindow() override;

    int GetRowCount() const { return m_rowCount; }
    int GetColumnCount() const { return m_columnCount; }
    SECEditView* GetPane(int row, int column) const;
    // The pane that last had the focus (the first pane until one did).
    SECEditView* GetActivePane() const;

    // Splits at a position in this window's coordinates: the first row
    // (column) keeps that much. False when already split that way or when the
    // position leaves a pane smaller than MinPaneSize.
    bool SplitRow(int y);
    bool SplitColumn(int x);
    // Removes a row or column of panes; the last one stays.
    void DeleteRow(int row);
    void DeleteColumn(int column);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    SECEditView* MakePane(QWidget* parent, const SECEditView* like);
    void AddSplitBoxes(SECEditView* pane);
    void UpdateCells();
    void OnRowDividerMoved();
    void OnColumnDividerMoved(QSplitter* row);
    int ColumnSplitterExtent() const;

    PaneFactory m_factory;
    QSplitter* m_rows = nullptr;
    std::array<QSplitter*, MaxRows> m_rowSplitters{};
    std::array<std::array<SECEditView*, MaxColumns>, MaxRows> m_panes{};
    int m_rowCount = 0;
    int m_columnCount = 0;
    SECEditView* m_active = nullptr;
    bool m_syncingSizes = false;
};
