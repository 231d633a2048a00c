// Dragging the selection out of a pane, and text dropped into one.

#include "controller/SECEditController.h"
#include "engine/SECEdit.h"
#include "engine/SECEditGroupGuard.h"
#include "view/SECEditViewport.h"

#include <algorithm>

// The controller whose selection is being dragged. Only one drag runs at a
// time; a pane of the same document learns from it that the text comes from
// its own engine.
SECEditController* SECEditController::s_dragSource = nullptr;

namespace {
bool CtrlHeld(int modifiers)
{
    return (modifiers & Qt::ControlModifier) != 0;
}
} // namespace

int SECEditController::StartDrag()
{
    SECEditTransfer data;
    if (!HasSelection() || !MakeTransfer(data)) {
        ClearSelection(true);
        return DropNone;
    }
    const SECEditTextPos saved = m_caret;
    const bool hadCaret = m_caretCreated;
    if (hadCaret)
        DestroyEditCaret();
    s_dragSource = this;
    const int effect = m_host ? m_host->RunDrag(data, !IsReadOnly()) : DropNone;
    if (effect == DropCopy) {
        if (s_dragSource)
            MoveCaretTo(m_active.line, m_active.column);
    } else if (effect == DropMove) {
        if (s_dragSource == this) {
            // Dropped outside this document, or into it where nothing moved.
            if (HasSelection() && !IsReadOnly()) {
                const bool wasModified = GetEdit() && GetEdit()->IsModified();
                ReplaceSelection({});
                AnnounceModifiedChange(wasModified);
            }
        }
        // Moved into another pane of this document: its drop removed the text
        // here, and the caret, which followed the edits, stays where the text was.
    } else {
        ClearSelection(true);
        MoveCaretTo(saved.line, saved.column);
    }
    s_dragSource = nullptr;
    if (hadCaret) {
        CreateEditCaret();
        MoveCaretTo(m_caret.line, m_caret.column);
    }
    NotifyCaret();
    return effect;
}

int SECEditController::OnDragEnter(bool offersText, int modifiers, int x, int y)
{
    m_acceptingDrop = offersText && !IsReadOnly();
    if (m_acceptingDrop) {
        m_dropCaretShown = true;
        MoveCaretToPoint(x, y);
    }
    return OnDragOver(modifiers, x, y);
}

int SECEditController::OnDragOver(int modifiers, int x, int y)
{
    if (!m_acceptingDrop)
        return DropNone;
    MoveCaretToPoint(x, y);
    if (s_dragSource && s_dragSource->GetEdit() == GetEdit()) {
        const SECEditTextPos at = m_caret;
        SECEditTextRange range;
        if (s_dragSource->IsInSelection(at) && s_dragSource->GetSelectionRange(range, true) && at != range.start &&
            at != range.end) {
            // Over the dragged text itself: a drop there changes nothing.
            m_dropCaretShown = false;
            NotifyCaret();
            if (s_dragSource != this)
                return DropNone;
            return CtrlHeld(modifiers) ? DropCopy : DropMove;
        }
    }
    if (!m_dropCaretShown) {
        m_dropCaretShown = true;
        NotifyCaret();
    }
    return CtrlHeld(modifiers) ? DropCopy : DropMove;
}

void SECEditController::OnDragLeave()
{
    if (!m_acceptingDrop)
        return;
    m_acceptingDrop = false;
    m_dropCaretShown = false;
    NotifyCaret();
}

int SECEditController::OnDrop(const SECEditTransfer& data, int effect, int x, int y)
{
    SECEdit* edit = GetEdit();
    if (effect == DropNone || !edit || IsReadOnly() || data.text.empty()) {
        OnDragLeave();
        return DropNone;
    }
    MoveCaretToPoint(x, y);
    OnDragLeave();
    SECEditController* source = s_dragSource && s_dragSource->GetEdit() == edit ? s_dragSource : nullptr;
    if (source) {
        SECEditTextRange range;
        if (source->IsInSelection(m_caret) && source->GetSelectionRange(range, true) && m_caret != range.start &&
            m_caret != range.end) {
            // Onto the dragged text itself: nothing changes.
            ClearSelection(true);
            s_dragSource = nullptr;
            return effect;
        }
    }
    const bool wasModified = edit->IsModified();
    // The caret follows the edits as a marker does while the drop runs, so
    // removing the moved text before the drop point keeps the point right.
    const bool hadCaret = m_caretCreated;
    FixDesiredX();
    if (hadCaret)
        m_caretCreated = false;
    SECEditTextPos start;
    SECEditTextPos end;
    {
        SECEditGroupGuard group(*edit);
        SuspendAutoScroll(false);
        FillVirtualSpace();
        if (source && effect == DropMove && source->HasSelection())
            source->ReplaceSelection({});
        ClearSelection(false);
        start = m_caret;
        if (data.column) {
            InsertColumnBlock(m_caret, data.text);
        } else {
            edit->InsertTextAt(m_caret.line, m_caret.column, data.text);
        }
        end = m_caret;
        SuspendAutoScroll(true);
    }
    if (source)
        s_dragSource = source == this ? nullptr : this;
    m_caretCreated = hadCaret;
    // The dropped text ends up selected.
    if (!data.column)
        SetSelection(start, end, StreamSelection);
    MoveCaretTo(end.line, end.column);
    EnsureCaretVisible();
    RememberCaretX();
    AnnounceModifiedChange(wasModified);
    NotifyCaret();
    return effect;
}
