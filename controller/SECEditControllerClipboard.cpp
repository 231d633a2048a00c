// Copy, cut and paste, and the text they hand the clipboard.

#include "controller/SECEditController.h"
#include "engine/SECEdit.h"

#include <cstdlib>

// --- Clipboard ---------------------------------------------------------------

bool SECEditController::MakeTransfer(SECEditTransfer& data) const
{
    SECEdit* edit = GetEdit();
    data = {};
    if (!edit)
        return false;
    if (HasSelection()) {
        data.text = GetSelectedText();
        data.column = m_mode == ColumnSelection;
        int sl = 0, sc = 0, el = 0, ec = 0;
        // A selection wholly in the blank beyond a line's end copies as spaces.
        if (data.text.empty() && GetSelection(sl, sc, el, ec, true) && sl == el)
            data.text.assign(std::size_t(std::abs(ec - sc)), u' ');
    } else {
        // Nothing selected: the caret's whole line with its line break.
        const int line = m_caret.line;
        if (line < LastLine())
            edit->GetText(data.text, line, 0, line + 1, 0);
        else
            edit->GetText(data.text, line, 0, line, LineLength(line));
    }
    return !data.text.empty();
}

void SECEditController::OnCopy()
{
    SECEditTransfer data;
    // Copying nothing empties the clipboard.
    if (!MakeTransfer(data))
        data = {};
    CopyToClipboard(data);
}

void SECEditController::OnCut()
{
    if (!HasSelectionNow() || Guarded())
        return;
    OnCopy();
    ReplaceSelection({});
}

void SECEditController::OnPaste()
{
    SECEditTransfer data;
    if (Guarded() || !ReadClipboard(data) || data.text.empty())
        return;
    ReplaceSelection(data.text, data.column);
}
