// The undo history of SECEdit: two rings of 256 commands, groups, and the
// modified flag derived from the clean marker.

#include "engine/SECEdit.h"

#include "engine/SECEditCommand.h"
#include "engine/SECEditCompositeCommand.h"

#include <algorithm>

SECEditCommandBase* SECEdit::RingStack::Push(SECEditCommandBase* command)
{
    top = (top + 1) % HistoryCapacity;
    SECEditCommandBase* displaced = ring[static_cast<std::size_t>(top)];
    ring[static_cast<std::size_t>(top)] = command;
    count = std::min(count + 1, HistoryCapacity);
    return displaced;
}

SECEditCommandBase* SECEdit::RingStack::Peek() const
{
    if (count == 0 || top < 0 || top >= HistoryCapacity)
        return nullptr;
    return ring[static_cast<std::size_t>(top)];
}

SECEditCommandBase* SECEdit::RingStack::Pop()
{
    if (count == 0 || top < 0)
        return nullptr;
    SECEditCommandBase* command = ring[static_cast<std::size_t>(top)];
    ring[static_cast<std::size_t>(top)] = nullptr;
    top = top == 0 ? HistoryCapacity - 1 : top - 1;
    --count;
    return command;
}

bool SECEdit::IsModified() const
{
    return m_modified;
}

void SECEdit::SetModified(bool modified)
{
    m_modified = modified;
}

SECEditCommandBase* SECEdit::PeekUndo() const
{
    return m_undo.Peek();
}

SECEditCommandBase* SECEdit::PeekRedo() const
{
    return m_redo.Peek();
}

void SECEdit::ClearHistory()
{
    while (SECEditCommandBase* command = m_undo.Pop())
        command->Release();
    while (SECEditCommandBase* command = m_redo.Pop())
        command->Release();
    // An open group's commands describe text that may no longer exist.
    if (m_composite)
    {
        m_composite->Release();
        m_composite = m_recording ? new SECEditCompositeCommand() : nullptr;
    }
}

bool SECEdit::LogCommand(SECEditCommandBase* command)
{
    if (!command)
        return false;
    if (m_recording && m_composite)
        return m_composite->AddCommand(command);
    if (SECEditCommandBase* displaced = m_undo.Push(command))
    {
        // The saved state lay below the oldest step, which is now gone:
        // undoing everything will no longer lead back to it.
        if (m_cleanMarker == CleanEmpty)
            m_cleanMarker = CleanNever;
        displaced->Release();
    }
    while (SECEditCommandBase* undone = m_redo.Pop())
        undone->Release();
    UpdateModified();
    return true;
}

bool SECEdit::ExecuteCommand(SECEditCommandBase* command)
{
    if (!command || !command->Do())
        return false;
    return LogCommand(command);
}

SECEditCommandBase* SECEdit::Undo()
{
    return MoveStep(m_undo, m_redo, false);
}

SECEditCommandBase* SECEdit::Redo()
{
    return MoveStep(m_redo, m_undo, true);
}

SECEditCommandBase* SECEdit::MoveStep(RingStack& from, RingStack& to, bool redo)
{
    SetCompositeMode(false);
    m_historyStepFailed = false;
    while (SECEditCommandBase* command = from.Pop())
    {
        // A command whose first execution failed never changed the text:
        // there is nothing to take back, and the next step still fits.
        const bool undoable = command->CanUndo();
        if (undoable && !(redo ? command->Do() : command->UndoCommand()))
        {
            // The step does not fit the text (a group puts back what it had
            // done before failing). Going on would apply the older steps at
            // the wrong places, so the history goes.
            command->Release();
            ForgetHistory();
            m_historyStepFailed = true;
            return nullptr;
        }
        if (SECEditCommandBase* displaced = to.Push(command))
            displaced->Release();
        UpdateModified();
        if (undoable)
            return command;
    }
    return nullptr;
}

void SECEdit::UpdateModified()
{
    const SECEditCommandBase* top = m_undo.Peek();
    m_modified = (top ? top->GetSerial() : CleanEmpty) != m_cleanMarker;
}

void SECEdit::MarkClean()
{
    const SECEditCommandBase* top = m_undo.Peek();
    m_cleanMarker = top ? top->GetSerial() : CleanEmpty;
    m_modified = false;
}

SECEditCommand* SECEdit::MakeInsertCommand(const SECEditTextRange& range)
{
    if (m_executing)
        return SECEditCommand::FromMessage(m_executing);
    auto* command = new SECEditCommand(this, range, true);
    if (!LogCommand(command))
    {
        command->Release();
        return nullptr;
    }
    return command;
}

void SECEdit::SetCompositeMode(bool on)
{
    if (on)
    {
        if (m_recording)
            SetCompositeMode(false);
        m_composite = new SECEditCompositeCommand();
        m_recording = true;
        return;
    }
    if (!m_recording)
        return;
    m_recording = false;
    SECEditCompositeCommand* composite = m_composite;
    m_composite = nullptr;
    if (!composite)
        return;
    if (composite->GetCommandCount() == 0 || !LogCommand(composite))
        composite->Release();
}

bool SECEdit::CombineWithPrevious(SECEditCommandBase* command, bool commandFirst)
{
    if (!command)
        return false;
    SetCompositeMode(false);
    SECEditCommandBase* previous = m_undo.Pop();
    if (!previous)
        return LogCommand(command);
    auto* composite = new SECEditCompositeCommand();
    if (commandFirst)
    {
        composite->AddCommand(command);
        composite->AddCommand(previous);
    }
    else
    {
        composite->AddCommand(previous);
        composite->AddCommand(command);
    }
    return LogCommand(composite);
}

void SECEdit::ForgetHistory()
{
    if (m_modified)
        m_cleanMarker = CleanNever;
    ClearHistory();
}

void SECEdit::MarkUnsaved()
{
    m_modified = true;
    m_cleanMarker = CleanNever;
}
