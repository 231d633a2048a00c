// Line marks of SECEdit, and the per-line arrays (marks and colour cache)
// that follow every edit.
//
// Both arrays are sparse maps keyed by line: only marked lines and coloured
// lines have entries, so inserting or removing lines renumbers just the
// entries below the edit, never one slot per line of the document.

#include "engine/SECEdit.h"

#include "engine/SECEditCommand.h"
#include "engine/SECEditLinesMsg.h"
#include "engine/SECEditMsg.h"
#include "engine/SECEditReplaceCommand.h"
#include "engine/SECEditTextStore.h"

#include <algorithm>
#include <climits>

// ---------------------------------------------------------------------------
// Marks

SECEditLineMarks& SECEdit::MarksFor(std::int32_t line)
{
    std::unique_ptr<SECEditLineMarks>& record = m_marks.Get(line);
    if (!record)
        record = std::make_unique<SECEditLineMarks>();
    return *record;
}

const SECEditLineMarks* SECEdit::FindLineMarks(std::int32_t line) const
{
    const std::unique_ptr<SECEditLineMarks>* record = m_marks.Find(line);
    return record ? record->get() : nullptr;
}

bool SECEdit::TestLineMark(std::int32_t line, int bit) const
{
    const SECEditLineMarks* record = FindLineMarks(line);
    return record && record->Test(bit);
}

void SECEdit::SetLineMark(std::int32_t line, int bit, bool on)
{
    if (line < 0 || line >= GetLineCount() || bit < 0 || bit >= 32)
        return;
    SECEditLineMarks& record = MarksFor(line);
    record.Set(bit, on);
    if (record.IsEmpty())
        m_marks.Erase(line);
    SendSimple(SECEditMsg::InvalidateGutter);
}

void SECEdit::ToggleLineMark(std::int32_t line, int bit)
{
    if (line < 0 || line >= GetLineCount())
        return;
    SetLineMark(line, bit, !TestLineMark(line, bit));
}

void SECEdit::ClearLineMarks(int bit)
{
    if (bit < 0 || bit >= 32)
        return;
    bool changed = false;
    m_marks.ForEach([&](std::int32_t, std::unique_ptr<SECEditLineMarks>& record) {
        if (record->Test(bit))
        {
            record->Set(bit, false);
            changed = true;
        }
    });
    m_marks.EraseIf([](const std::unique_ptr<SECEditLineMarks>& record) { return record->IsEmpty(); });
    if (changed)
        SendSimple(SECEditMsg::InvalidateGutter);
}

std::int32_t SECEdit::FindLineMark(std::int32_t from, int bit, bool forward)
{
    if (m_marks.Empty() || from < 0 || from >= GetLineCount())
        return -1;
    const auto hasBit = [bit](const std::unique_ptr<SECEditLineMarks>& record) { return record->Test(bit); };
    // Visit the lines after `from` in the direction of travel, wrapping
    // round the document; `from` itself comes last.
    if (forward)
    {
        const std::int32_t next = m_marks.FirstAfter(from, hasBit);
        if (next >= 0)
            return next;
        const std::int32_t wrapped = m_marks.FirstAfter(-1, hasBit);
        return wrapped >= 0 && wrapped <= from ? wrapped : -1;
    }
    const std::int32_t previous = m_marks.LastBefore(from, hasBit);
    if (previous >= 0)
        return previous;
    const std::int32_t wrapped = m_marks.LastBefore(GetLineCount(), hasBit);
    return wrapped >= from ? wrapped : -1;
}

int SECEdit::CountLineMarks(int bit) const
{
    int count = 0;
    m_marks.ForEach([&](std::int32_t, const std::unique_ptr<SECEditLineMarks>& record) { count += record->Test(bit); });
    return count;
}

std::uint32_t SECEdit::GetLineValue(std::int32_t line) const
{
    const SECEditLineMarks* record = FindLineMarks(line);
    return record ? record->value : 0;
}

std::uint32_t SECEdit::SetLineValue(std::int32_t line, std::uint32_t value)
{
    if (line < 0 || line >= GetLineCount())
        return 0;
    SECEditLineMarks& record = MarksFor(line);
    const std::uint32_t previous = record.value;
    record.value = value;
    if (record.IsEmpty())
        m_marks.Erase(line);
    return previous;
}

SECEditLineMarks* SECEdit::GetLineMarks(std::int32_t line)
{
    if (line < 0 || line >= GetLineCount())
        return nullptr;
    return &MarksFor(line);
}

void SECEdit::FreeLineMarks(std::int32_t line)
{
    m_marks.Erase(line);
}

void SECEdit::InsertLineMarks(std::int32_t line, std::int32_t count, bool atIndent)
{
    if (count <= 0 || line < 0 || count > INT32_MAX - 1 - line)
        return; // no line number may pass the largest one
    m_marks.Shift(atIndent ? line : line + 1, count);
}

void SECEdit::RemoveLineMarks(std::int32_t first, std::int32_t last)
{
    if (first < 0 || last < first)
        return;
    m_marks.EraseRange(first, last, [this](std::int32_t line, std::unique_ptr<SECEditLineMarks>& record) {
        OnLineMarksRemoved(record.get(), line);
    });
    if (last < INT32_MAX)
        m_marks.Shift(last + 1, -(last - first + 1));
}

void SECEdit::OnLineMarksRemoved(SECEditLineMarks*, std::int32_t) {}

void SECEdit::ClearMarkRecords()
{
    m_marks.Clear();
}

// ---------------------------------------------------------------------------
// Colour cache

void SECEdit::InvalidateRegionsFrom(std::size_t index)
{
    if (index >= m_regions.size())
        return;
    // Copy first: an observer may ask for colouring while it is told.
    const std::vector<ColorRegion> dropped(m_regions.begin() + static_cast<std::ptrdiff_t>(index), m_regions.end());
    // Lines from the first dropped region's opening on are no longer settled.
    m_colorFrontier = std::min(m_colorFrontier, dropped.front().start.line);
    m_regions.erase(m_regions.begin() + static_cast<std::ptrdiff_t>(index), m_regions.end());
    for (const ColorRegion& region : dropped)
    {
        FreeCachedColoring(region.start.line, region.end.line);
        SECEditLinesMsg message(region.start.line, region.end.line);
        UpdateAllObservers(nullptr, &message);
    }
}

void SECEdit::InvalidateRegionsForEdit(const SECEditTextRange& range, bool deletion)
{
    // Regions are in document order and never overlap, so the first one the
    // edit touches (one holding or overlapping the edit, or any after it) is
    // the first that ends at or after the edit's start.
    const SECEditTextPos at = deletion ? range.Normalized().start : range.start;
    const auto first = std::lower_bound(m_regions.begin(), m_regions.end(), at,
                                        [](const ColorRegion& r, const SECEditTextPos& p) { return r.end < p; });
    if (first != m_regions.end())
        InvalidateRegionsFrom(static_cast<std::size_t>(first - m_regions.begin()));
}

// ---------------------------------------------------------------------------
// Per-line arrays after an edit

void SECEdit::UpdateLineArrays(const SECEditCommand& command)
{
    const SECEditTextRange range = command.GetRange().Normalized();
    const std::int32_t a = range.start.line;
    const std::int32_t b = range.end.line;
    if (command.IsTextPresent())
    {
        if (b > a)
        {
            ShiftColorCache(a, b - a);
            InsertLineMarks(a, b - a, m_editAtIndent);
        }
        for (std::int32_t line = a; line <= b; ++line)
            MarksFor(line).Set(SECEditLineMarks::ChangedMark, true);
    }
    else
    {
        if (b > a)
        {
            FreeCachedColoring(a + 1, b);
            ShiftColorCache(b, -(b - a));
            if (m_editAtIndent)
                RemoveLineMarks(a, b - 1);
            else
                RemoveLineMarks(a + 1, b);
        }
        // After the records moved, so the joined line keeps the mark.
        MarksFor(a).Set(SECEditLineMarks::ChangedMark, true);
    }
    FreeCachedColoring(a);
    m_colorFrontier = std::min(m_colorFrontier, a);
    NoteColoringEdit();
    // One gutter notification for the whole edit.
    SendSimple(SECEditMsg::InvalidateGutter);
}

void SECEdit::UpdateLineArrays(const SECEditReplaceCommand& command)
{
    // No line came or went: each touched line is marked changed and coloured
    // again, as the deletion and insertion of each replacement would do
    // (ApplyReplace has seen to the comment and string regions).
    command.ForEachLine([this](std::int32_t line) {
        MarksFor(line).Set(SECEditLineMarks::ChangedMark, true);
        FreeCachedColoring(line);
    });
    NoteColoringEdit();
    SendSimple(SECEditMsg::InvalidateGutter);
}
