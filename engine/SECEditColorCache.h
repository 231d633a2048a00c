#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// The cached colour runs of a document, one slot of 8 bytes per line. A slot
// is empty, holds a single run in place (empty lines, lines inside a block
// comment), or points to a block holding the run count and the runs. So a
// cached line costs 4 bytes per run plus, at most, the slot, the count and
// the allocator's own overhead (about 32 bytes), and colouring a line does
// one allocation.
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

    std::vector<Slot> m_slots;
    std::size_t m_count = 0;
    std::size_t m_blockBytes = 0;
};
