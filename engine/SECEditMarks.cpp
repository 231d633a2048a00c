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
#include "engine/SECEditTextStore.h"

#include <algorithm>

namespace
{
// Adds `delta` to every key >= `from`, keeping the values where they are.
template <class Map>
void ShiftKeys(Map& map, std::int32_t from, std::int32_t delta)
{
    if (delta == 0 || map.empty())
        return;
    if (delta > 0)
    {
        // Largest first, so a moved key never meets one not yet moved.
        auto it = map.end();
        while (it != map.begin())
        {
            const auto previous = std::prev(it);
            if (previous->first < from)
                break;
            auto node = map.extract(previous);
            node.key() += delta;
            it = map.insert(std::move(node)).position;
        }
    }
    else
    {
        for (auto it = map.lower_bound(from); it != map.end();)
        {
            auto node = map.extract(it++);
            node.key() += delta;
            map.insert(std::move(node));
        }
    }
}
} // namespace

// ---------------------------------------------------------------------------
// Marks

const SECEditLineMarks* SECEdit::FindLineMarks(std::int32_t line) const
{
    const auto it = m_marks.find(line);
    return it == m_marks.end() ? nullptr : &it->second;
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
    SECEditLineMarks& record = m_marks[line];
    record.Set(bit, on);
    if (record.IsEmpty())
        m_marks.erase(line);
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
    for (auto it = m_marks.begin(); it != m_marks.end();)
    {
        if (it->second.Test(bit))
        {
            it->second.Set(bit, false);
            changed = true;
        }
        it = it->second.IsEmpty() ? m_marks.erase(it) : std::next(it);
    }
    if (changed)
        SendSimple(SECEditMsg::InvalidateGutter);
}

std::int32_t SECEdit::FindLineMark(std::int32_t from, int bit, bool forward)
{
    if (m_marks.empty() || from < 0 || from >= GetLineCount())
        return -1;
    // Visit the lines after `from` in the direction of travel, wrapping
    // round the document; `from` itself comes last.
    if (forward)
    {
        for (auto it = m_marks.upper_bound(from); it != m_marks.end(); ++it)
            if (it->second.Test(bit))
                return it->first;
        for (auto it = m_marks.begin(); it != m_marks.end() && it->first <= from; ++it)
            if (it->second.Test(bit))
                return it->first;
    }
    else
    {
        for (auto it = std::make_reverse_iterator(m_marks.lower_bound(from)); it != m_marks.rend(); ++it)
            if (it->second.Test(bit))
                return it->first;
        for (auto it = m_marks.rbegin(); it != m_marks.rend() && it->first >= from; ++it)
            if (it->second.Test(bit))
                return it->first;
    }
    return -1;
}

int SECEdit::CountLineMarks(int bit) const
{
    return static_cast<int>(std::count_if(m_marks.begin(), m_marks.end(),
                                          [bit](const auto& entry) { return entry.second.Test(bit); }));
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
    SECEditLineMarks& record = m_marks[line];
    const std::uint32_t previous = record.value;
    record.value = value;
    if (record.IsEmpty())
        m_marks.erase(line);
    return previous;
}

SECEditLineMarks* SECEdit::GetLineMarks(std::int32_t line)
{
    if (line < 0 || line >= GetLineCount())
        return nullptr;
    return &m_marks[line];
}

void SECEdit::FreeLineMarks(std::int32_t line)
{
    m_marks.erase(line);
}

void SECEdit::InsertLineMarks(std::int32_t line, std::int32_t count, bool atIndent)
{
    if (count <= 0 || line < 0)
        return;
    ShiftKeys(m_marks, atIndent ? line : line + 1, count);
}

void SECEdit::RemoveLineMarks(std::int32_t first, std::int32_t last)
{
    if (first < 0 || last < first)
        return;
    for (auto it = m_marks.lower_bound(first); it != m_marks.end() && it->first <= last;)
    {
        OnLineMarksRemoved(&it->second, it->first);
        it = m_marks.erase(it);
    }
    ShiftKeys(m_marks, last + 1, -(last - first + 1));
}

void SECEdit::OnLineMarksRemoved(SECEditLineMarks*, std::int32_t) {}

void SECEdit::ClearMarkRecords()
{
    m_marks.clear();
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
    for (std::size_t i = 0; i < m_regions.size(); ++i)
    {
        const SECEditTextRange region(m_regions[i].start, m_regions[i].end);
        const bool affected = deletion ? (region.Overlaps(range) || range.Overlaps(region) ||
                                          m_regions[i].start > range.start)
                                       : (region.Contains(range.start) || m_regions[i].start > range.start);
        if (affected)
        {
            InvalidateRegionsFrom(i);
            return;
        }
    }
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
            m_marks[line].Set(SECEditLineMarks::ChangedMark, true);
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
        m_marks[a].Set(SECEditLineMarks::ChangedMark, true);
    }
    FreeCachedColoring(a);
    m_colorFrontier = std::min(m_colorFrontier, a);
    NoteColoringEdit();
    // One gutter notification for the whole edit.
    SendSimple(SECEditMsg::InvalidateGutter);
}
