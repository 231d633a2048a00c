#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// The cached colour runs of a document, one slot of 8 bytes per line. A slot
// is empty, holds a single run in place (empty lines, lines inside a block
// comment), or points to a block holding the run count and the runs. So a
// cached line costs 4 bytes per run plus, at most, the slot, the count and
// the allocator's own overhead (about 32 bytes), and colouring a line does
// one allocation. The slots keep a gap (a run of unused, empty slots) where
// lines were last added or removed, so repeated edits in one place move only
// the slots between the old and the new place, not every slot below.
class SECEditColorCache
{
public:
    SECEditColorCache() = default;
    ~SECEditColorCache();
    SECEditColorCache(const SECEditColorCache&) = delete;
    SECEditColorCache& operator=(const SECEditColorCache&) = delete;

    // The line's runs and their count, or nullptr when none are cached.
    const std::uint32_t* Find(std::int32_t line, std::size_t& count) const noexcept;
    bool Has(std::int32_t line) const noexcept;
    // `lines`, the document's line count, lets the slot array grow once to
    // its final size rather than step by step.
    void Set(std::int32_t line, const std::uint32_t* runs, std::size_t count, std::size_t lines = 0);
    void Free(std::int32_t line) noexcept;
    void Free(std::int32_t first, std::int32_t last) noexcept;
    // Renumbers the lines from `from` on by `delta`: a positive delta opens
    // that many empty slots at `from`; a negative one removes the slots from
    // `from + delta` to `from - 1`, freeing what they hold.
    void Shift(std::int32_t from, std::int32_t delta);
    void clear() noexcept;
    // Number of lines with cached runs.
    std::size_t size() const noexcept { return m_count; }
    // Heap bytes held, slots included.
    std::size_t GetMemoryUsage() const noexcept;

private:
    // Empty: both words 0. One run in place: word 0 is 1, word 1 the run.
    // Otherwise the two words hold a pointer (at least 8-byte aligned, so
    // word 0 is even) to a block { count, runs... }.
    struct Slot
    {
        std::uint32_t word[2] = {0, 0};
    };
    static void Release(const Slot& slot) noexcept;
    std::size_t LineCount() const noexcept { return m_slots.size() - m_gapLength; }
    Slot& At(std::size_t line) noexcept { return m_slots[line < m_gapStart ? line : line + m_gapLength]; }
    const Slot& At(std::size_t line) const noexcept
    {
        return m_slots[line < m_gapStart ? line : line + m_gapLength];
    }
    // Puts the gap before line `at`; what leaves the gap's new place is emptied.
    void MoveGap(std::size_t at) noexcept;

    // The gap: m_gapLength empty slots from m_gapStart on.
    std::vector<Slot> m_slots;
    std::size_t m_gapStart = 0;
    std::size_t m_gapLength = 0;
    std::size_t m_count = 0;
    std::size_t m_blockBytes = 0;
};
