#pragma once

#include "engine/IObserver.h"
#include "engine/SECEditTextPos.h"
#include "platform/IFontMetrics.h"
#include "platform/PixelPoint.h"
#include "platform/PixelRect.h"
#include "view/SECEditViewSettings.h"

#include <cstdint>
#include <memory>
#include <string_view>

class IDrawingSurface;
class IFontMetricsFactory;
class ISECEditPresentationState;
class ISECEditViewportWindow;
class SECEdit;
class SECEditSplitterSyncMsg;
struct SECEditGutterSettings;

// One pane's view of a text engine, without any toolkit: font metrics, tab
// stops, the gutter, the mapping between text positions and points,
// scrolling, painting through a drawing surface, and the turning of change
// notifications into repaint areas.
//
// Coordinates: "logical" pixels lay the whole document out from its top-left
// corner, one row of line-height pixels per line, text starting right of the
// gutter. Device pixels are logical minus the origin (the scroll position),
// except the gutter, which stays at the window's left edge.
class SECEditViewport : public IObserver
{
public:
    // Observes `edit` until destroyed. `window` may be null (nothing is then
    // invalidated or scrolled on screen).
    SECEditViewport(SECEdit* edit, IFontMetricsFactory& metricsFactory, ISECEditViewportWindow* window = nullptr);
    virtual ~SECEditViewport();
    SECEditViewport(const SECEditViewport&) = delete;
    SECEditViewport& operator=(const SECEditViewport&) = delete;

    SECEdit* GetEdit() const noexcept { return m_edit; }
    void SetPresentationState(ISECEditPresentationState* state) noexcept { m_state = state; }
    ISECEditPresentationState* GetPresentationState() const noexcept { return m_state; }

    // --- Settings and metrics ---------------------------------------------------
    // Re-reads the configuration and rebuilds the metrics.
    void RefreshSettings();
    // Uses these settings until the next refresh (tests, previews).
    void ApplySettings(const SECEditViewSettings& settings);
    const SECEditViewSettings& GetSettings() const noexcept { return m_settings; }
    void SetSystemColors(const SECEditSystemColors& colors);
    const SECEditSystemColors& GetSystemColors() const noexcept { return m_colors; }

    const IFontMetrics& GetMetrics() const noexcept { return *m_metrics; }
    int GetLineHeight() const noexcept { return m_lineHeight; }
    int GetAverageCharWidth() const noexcept { return m_averageWidth; }
    int GetSpaceWidth() const noexcept { return m_spaceWidth; }
    int GetTabGlyphWidth() const noexcept { return m_tabGlyphWidth; }
    // Every tab stop is a multiple of this, measured from the text's left edge.
    int GetTabStopWidth() const noexcept { return m_tabStopWidth; }

    // --- Geometry (logical pixels) ------------------------------------------------
    const SECEditGutterSettings& GetGutterSettings() const;
    // Where text starts: the gutter's width.
    int GetTextLeft() const;
    // Width of text starting `offset` pixels right of the text's left edge,
    // tabs expanded to their stops.
    int MeasureText(std::u16string_view text, int offset = 0) const;
    // A position beyond its line's end counts one space width per column.
    PixelPoint PointFromPosition(SECEditTextPos pos) const;
    // The position nearest to a point; `snapped` gets the point of its boundary.
    // Beyond a line's end, columns are added only with allowVirtual.
    SECEditTextPos PositionFromPoint(PixelPoint point, bool roundTabs, bool allowVirtual,
                                     PixelPoint* snapped = nullptr) const;
    // The same with virtual white space as the configuration says.
    SECEditTextPos PositionFromPoint(PixelPoint point, bool roundTabs, PixelPoint* snapped = nullptr) const;
    // Lines touched by a logical rectangle, clamped to the document.
    void GetVisibleLineRange(const PixelRect& logical, int& first, int& last) const;
    // Lines first..last across the full width (logical).
    PixelRect GetLineRect(int first, int last) const;

    // --- Scrolling ------------------------------------------------------------------
    PixelPoint GetOrigin() const noexcept { return m_origin; }
    // Moves the origin (clamped, whole lines and characters), moving the
    // window's pixels and telling the other panes of a split window.
    void ScrollTo(PixelPoint origin);
    void ScrollToUnits(int column, int line) { ScrollTo({column * m_averageWidth, line * m_lineHeight}); }
    void ScrollBy(int columns, int lines);
    int GetFirstVisibleLine() const noexcept { return m_origin.y / m_lineHeight; }
    int GetFirstVisibleColumn() const noexcept { return m_origin.x / m_averageWidth; }
    // The window's client area in pixels; 0 without a window.
    int GetClientWidth() const;
    int GetClientHeight() const;
    // Whole lines and columns that fit in the window.
    int GetVisibleLineCount() const;
    int GetVisibleColumnCount() const;
    // 2048 columns wide whatever the lines hold; line count times line height high.
    int GetExtentWidth() const;
    int GetExtentHeight() const;
    void UpdateScrollRanges();

    // --- Painting ---------------------------------------------------------------------
    // Paints the text and gutter inside a device rectangle.
    void PaintText(IDrawingSurface& surface, const PixelRect& area);
    void PaintGutter(IDrawingSurface& surface, const PixelRect& area);
    // Rows of lines first..last (-1: to the bottom of the window).
    void InvalidateLineRange(int first, int last);
    void InvalidateGutter();

    // --- Split windows ------------------------------------------------------------------
    // Places the viewport in a split window; null window: not split.
    void SetSplitterCell(const void* window, int row, int column) noexcept;
    const void* GetSplitterWindow() const noexcept { return m_splitterWindow; }

    // --- Notifications -------------------------------------------------------------------
    void OnUpdate(ISubject* subject, IMessage* message) override;

    // Whether painting shows the selection: the pane has the keyboard, is the
    // one last worked in, or the state keeps the focus look.
    bool IsSelectionShown() const;

protected:
    // The parts of painting, overridable by a derived view.
    virtual int DrawRunSegment(IDrawingSurface& surface, int x, int y, std::u16string_view line, int column,
                               int length, const SECEditGroupColors& colors, int selStart, int selEnd);
    virtual int DrawPlainSegment(IDrawingSurface& surface, int x, int y, std::u16string_view text,
                                 const SECEditGroupColors& colors);
    virtual void PaintGutterBackground(IDrawingSurface& surface, const PixelRect& area);
    virtual void DrawLineMarks(IDrawingSurface& surface, int line, const PixelRect& cell);
    virtual void DrawLineNumber(IDrawingSurface& surface, int line, const PixelRect& cell);
    virtual void DrawRoundMark(IDrawingSurface& surface, int line, const PixelRect& cell);
    virtual void DrawEllipseMark(IDrawingSurface& surface, int line, const PixelRect& cell);
    virtual void InvertSelectionRectangle(IDrawingSurface& surface);

private:
    struct LineSelection;

    void RebuildMetrics();
    void PaintLine(IDrawingSurface& surface, int line, const LineSelection& selection);
    void FillBlankColumns(IDrawingSurface& surface, int x, int y, int count, const SECEditGroupColors& colors);
    int WidthOfPrefix(std::u16string_view text, int count) const;
    int LastLine() const;
    void ApplySplitterSync(const SECEditSplitterSyncMsg& message);
    void InvalidateEverything();
    void CheckTextLeft();

    SECEdit* m_edit;
    IFontMetricsFactory& m_metricsFactory;
    ISECEditViewportWindow* m_window;
    ISECEditPresentationState* m_state = nullptr;

    SECEditViewSettings m_settings;
    SECEditSystemColors m_colors;
    std::unique_ptr<IFontMetrics> m_metrics;
    int m_lineHeight = 1;
    int m_averageWidth = 1;
    int m_spaceWidth = 1;
    int m_tabGlyphWidth = 1;
    int m_tabStopWidth = 1;

    PixelPoint m_origin;
    int m_lastTextLeft = -1;

    const void* m_splitterWindow = nullptr;
    int m_splitterRow = 0;
    int m_splitterColumn = 0;
    bool m_applyingSync = false;

    // The logical area being painted, so segments wholly outside it are skipped.
    PixelRect m_paintArea;
};
