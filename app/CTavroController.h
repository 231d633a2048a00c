#pragma once

#include "controller/SECEditController.h"

class CTavroView;

// The controller of one application pane: the editor's controller, reporting
// the caret's place and the overtype switch in the main window's status bar.
class CTavroController : public SECEditController
{
public:
    explicit CTavroController(CTavroView& view);

protected:
    void OnCaretChanged() override;
    void OnOvertypeChanged() override;
    void CopyToClipboard(const std::u16string& text) override;

private:
    CTavroView& m_view;
};
