#pragma once

#include "engine/SECEditCommandBase.h"

#include <unordered_set>
#include <vector>

class IObserver;
class ISubject;

// Several commands that undo and redo as one step (kind 22587). It owns its
// commands: each holds one reference that the composite releases when it dies.
// Observers never receive a composite; the engine delivers its commands one by
// one.
class SECEditCompositeCommand : public SECEditCommandBase
{
public:
    SECEditCompositeCommand() noexcept;
    ~SECEditCompositeCommand() override;

    // "SECEditCompositeCommand"
    void Sprint(std::u16string& out) const override;

    bool CanUndo() const override { return m_undoable; }
    void SetUndoable(bool undoable) override { m_undoable = undoable; }
    // Each command's Do, first to last; at a failure takes back those done, returns false.
    bool Do() override;
    // Each command's UndoCommand, last to first; at a failure redoes those undone.
    bool UndoCommand() override;

    virtual int GetCommandCount() const;
    virtual bool AllSucceeded() const;
    // observer->OnUpdate(subject, command) for each command, first to last.
    virtual void DeliverCommands(IObserver* observer, ISubject* subject);
    // Appends the command and takes over the caller's reference; refused
    // (false, nothing taken) when CanAddCommand says no.
    virtual bool AddCommand(SECEditCommandBase* command);
    // False when the command is already here, itself or inside a nested composite.
    virtual bool CanAddCommand(const SECEditCommandBase* command) const;

    SECEditCommandBase* GetCommand(int index) const;

    // The message as a composite, or nullptr when it is another kind.
    static SECEditCompositeCommand* FromMessage(IMessage* message) noexcept;

private:
    std::vector<SECEditCommandBase*> m_commands;
    // For CanAddCommand: a group of thousands of edits (replace all) must not
    // compare each new command with every earlier one.
    std::unordered_set<const SECEditCommandBase*> m_members;
    std::vector<const SECEditCompositeCommand*> m_nested;
    bool m_undoable = true;
};
