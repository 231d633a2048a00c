#pragma once

#include "engine/SECEditCommandBase.h"
#include "engine/SECEditTextRange.h"

#include <string>

class SECEdit;

// One insertion or deletion, recorded so it can be undone and redone, and
// delivered to the engine's observers (kind 22586) each time it is carried
// out, undone or redone.
//
// An observer reads GetRange() and IsTextPresent(): when the text is present
// (an insert done, a delete undone) the range covers the text now in the
// document; otherwise the range's start is where the text was removed.
class SECEditCommand : public SECEditCommandBase
{
public:
    // A command for `range` of `engine`. `inserts`: doing the command inserts
    // `text` at the range's start; otherwise doing it deletes the range.
    SECEditCommand(SECEdit* engine, const SECEditTextRange& range, bool inserts, std::u16string text = {});

    // "Insert text having length %d at line %d, column %d" or
    // "Delete text from line %d, column %d to line %d, column %d"
    void Sprint(std::u16string& out) const override;

    bool CanUndo() const override { return m_success; }
    void SetUndoable(bool undoable) override { m_undoable = undoable; }
    bool Do() override;
    bool UndoCommand() override;
    virtual bool ExecuteDelete();
    virtual bool ExecuteInsert();

    SECEdit* GetEngine() const noexcept { return m_engine; }
    const SECEditTextRange& GetRange() const noexcept { return m_range; }
    void SetRange(const SECEditTextRange& range) noexcept { m_range = range; }
    // The inserted or deleted characters; an insert command logged by the
    // engine holds none until it is first undone.
    const std::u16string& GetText() const noexcept { return m_text; }
    void SetText(std::u16string text) { m_text = std::move(text); }
    bool Inserts() const noexcept { return m_inserts; }
    bool IsTextPresent() const noexcept { return m_textPresent; }
    bool IsUndoable() const noexcept { return m_undoable; }
    // True once the command has been undone: from then on each execution
    // puts back exactly the text it recorded, and the engine adds no line
    // breaks of its own.
    bool IsReplaying() const noexcept { return m_replaying; }
    bool Succeeded() const noexcept { return m_success; }

    // The message as an edit command, or nullptr when it is another kind.
    static SECEditCommand* FromMessage(IMessage* message) noexcept;

private:
    SECEdit* m_engine;
    SECEditTextRange m_range;
    std::u16string m_text;
    bool m_inserts;
    bool m_textPresent;
    bool m_undoable = true;
    bool m_success = true;
    bool m_replaying = false;
};
