// Copy, cut and paste.

#include "controller/SECEditController.h"

// --- Clipboard ---------------------------------------------------------------

void SECEditController::OnCopyOrCut(bool cut)
{
    if (!HasSelectionNow() || (cut && Guarded()))
        return;
    CopyToClipboard(GetSelectedText());
    if (cut)
        ReplaceSelection({});
}

void SECEditController::OnPaste()
{
    std::u16string text;
    if (Guarded() || !ReadClipboard(text) || text.empty())
        return;
    ReplaceSelection(text);
}
