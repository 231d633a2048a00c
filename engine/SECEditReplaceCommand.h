#pragma once

#include "engine/SECEditCommandBase.h"
#include "engine/SECEditTextPos.h"
#include "engine/SECEditTextStore.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class SECEdit;

// Many replacements inside lines, none of which adds or removes a line break,
// carried out, undone and redone as one command and delivered to observers
// once (kind 22588) rather than as a deletion and an insertion each. Replace
// All builds one: a hundred thousand replacements then cost one pass over the
// text instead of two hundred thousand edits.
//
// Observers read IsDone(), the lines touched and Map(): positions move as the
// deletion and insertion of each replacement would have moved them.
class SECEditReplaceCommand : public SECEditCommandBase
{
public:
    explicit SECEditReplaceCommand(SECEdit* engine);

    // Adds the replacement of `removed`, found at `at` (offset `offset`) in the
    // text before the command, by `inserted`. Replacements are added before
    // the command is first done, in document order, none overlapping another.
    void Add(std::ptrdiff_t offset, SECEditTextPos at, std::u16string_view removed, std::u16string_view inserted);

    // "Replace %d occurrences from line %d to line %d"
    void Sprint(std::u16string& out) const override;
    bool CanUndo() const override { return m_success && m_undoable; }
    void SetUndoable(bool undoable) override { m_undoable = undoable; }
    bool Do() override;
    bool UndoCommand() override;

    std::size_t GetCount() const noexcept { return m_spans.size(); }
    // True while the replacements are in the text (done or redone).
    bool IsDone() const noexcept { return m_done; }
    std::int32_t GetFirstLine() const noexcept;
    std::int32_t GetLastLine() const noexcept;
    // Each line holding a replacement, once, in order.
    template <class Visit>
    void ForEachLine(Visit visit) const
    {
        for (std::size_t k = 0; k < m_spans.size(); ++k)
            if (k == 0 || m_spans[k].at.line != m_spans[k - 1].at.line)
                visit(m_spans[k].at.line);
    }
    // Whether every replacement passes the test, given what it removes and
    // what it inserts (as the command is done).
    template <class Test>
    bool Every(Test test) const
    {
        for (const Span& s : m_spans)
            if (!test(std::u16string_view(m_removed).substr(s.removedAt, std::size_t(s.removed)),
                      std::u16string_view(m_inserted).substr(s.insertedAt, std::size_t(s.inserted))))
                return false;
        return true;
    }
    // A position outside the replaced text, moved by the replacements before
    // it on its line (as this delivery changes the text).
    SECEditTextPos Shift(SECEditTextPos pos) const;
    // A position in the text as it was before this delivery, moved to where
    // the same text is after it.
    SECEditTextPos Map(SECEditTextPos pos) const;
    // Where the caret of the pane that made the change goes: after the last
    // replacement, or after the text put back for the first one when undone
    // (the caret follows each edit, and undo goes backwards).
    SECEditTextPos GetCaretAfter() const;

    // The store's edits that carry the command out or take it back.
    void MakeStoreEdits(bool undo, std::vector<SECEditTextStore::SpanEdit>& out) const;

    static SECEditReplaceCommand* FromMessage(IMessage* message) noexcept;

private:
    struct Span
    {
        std::ptrdiff_t offset;  // before the command
        SECEditTextPos at;      // before the command
        std::int32_t shift;     // what earlier replacements on the line added to its column
        std::size_t removedAt;  // into m_removed
        std::size_t insertedAt; // into m_inserted
        std::int32_t removed;
        std::int32_t inserted;
    };
    bool Run(bool undo);

    SECEdit* m_engine;
    std::vector<Span> m_spans;
    std::u16string m_removed;
    std::u16string m_inserted;
    bool m_done = false;
    bool m_undoable = true;
    bool m_success = true;
};
