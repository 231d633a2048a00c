#pragma once

#include "engine/SECEditMsg.h"

#include <cstdint>

// What the undo history holds: an edit command or a composite of commands.
// Each command has a serial number that is never reused, so the history can
// tell "the command that was on top when the document was saved" from a later
// command that happens to occupy the same memory.
class SECEditCommandBase : public SECEditMsg
{
public:
    // True when the command may be undone and redone (for an edit command:
    // every execution so far succeeded).
    virtual bool CanUndo() const = 0;
    virtual void SetUndoable(bool undoable) = 0;
    // Carry the command out (again); returns success.
    virtual bool Do() = 0;
    // Take it back; returns success.
    virtual bool UndoCommand() = 0;

    std::uint64_t GetSerial() const noexcept { return m_serial; }

protected:
    explicit SECEditCommandBase(unsigned int kind) noexcept;

private:
    std::uint64_t m_serial;
};
