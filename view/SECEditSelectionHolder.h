#pragma once

#include "view/ISECEditPresentationState.h"
#include "view/SECEditGutterSettings.h"

class SECEdit;
class SECEditViewport;

// A pane's caret-less stand-in for its controller: it holds a selection and
// the gutter settings, keeps the selection in step with edits, and answers the
// view's questions about them.
class SECEditSelectionHolder : public ISECEditPresentationState
{
public:
    SECEditSelectionHolder() = default;
    virtual ~SECEditSelectionHolder() = default;

    // The viewport answers geometry (column blocks) and the configuration's
    // virtual-space setting; without one, neither is available.
    void SetViewport(SECEditViewport* viewport) noexcept { m_viewport = viewport; }

    void SetSelection(SECEditTextPos anchor, SECEditTextPos active, int mode = StreamSelection);
    void ClearSelection();
    // Mode 4: the block being dragged, in document pixels.
    void SetColumnRect(const PixelRect& rect);
    void SetKeepsFocusLook(bool keep) noexcept { m_keepsFocusLook = keep; }
    SECEditTextPos GetAnchor() const noexcept { return m_anchor; }
    SECEditTextPos GetActiveEnd() const noexcept { return m_active; }
    SECEditGutterSettings& GetGutterSettings() noexcept { return m_gutter; }

    bool IsColumnSelection() const override;
    bool GetSelection(int& startLine, int& startColumn, int& endLine, int& endColumn,
                      bool keepVirtualColumns = false) const override;
    bool GetSelectionRange(SECEditTextRange& range, bool keepVirtualColumns = false) const override;
    int GetSelectionMode() const override { return m_mode; }
    bool HasSelection() const override;
    PixelRect GetColumnRect() const override;
    bool KeepsFocusLook() const override { return m_keepsFocusLook; }
    bool GetColumnSelectionSpan(int line, int& startColumn, int& endColumn) const override;
    const SECEditGutterSettings& GetGutterSettings() const override { return m_gutter; }
    int GetTextLeft() const override;
    PixelPoint PointFromPosition(SECEditTextPos pos) const override;
    SECEditTextPos PositionFromPoint(PixelPoint point, bool roundTabs) const override;
    int GetTextExtent(std::u16string_view text, int offset = 0) const override;
    void OnUpdate(ISubject* subject, IMessage* message) override;

private:
    bool VirtualSpaceAllowed() const;
    SECEdit* Edit() const;

    SECEditViewport* m_viewport = nullptr;
    SECEditTextPos m_anchor;
    SECEditTextPos m_active;
    int m_mode = StreamSelection;
    PixelRect m_columnRect;
    bool m_keepsFocusLook = true;
    SECEditGutterSettings m_gutter;
};
