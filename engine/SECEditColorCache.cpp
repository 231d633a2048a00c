#include "engine/SECEditColorCache.h"

#include <algorithm>
#include <bit>
#include <cstdlib>
#include <cstring>
#include <new>

static_assert(std::endian::native == std::endian::little, "the slot tag lives in the pointer's low word");
static_assert(sizeof(std::uint32_t*) <= 8, "a block pointer must fit a slot");

namespace
{
inline bool IsEmpty(const std::uint32_t (&word)[2])
{
    return word[0] == 0 && word[1] == 0;
}

inline bool IsInline(const std::uint32_t (&word)[2])
{
    return (word[0] & 1u) != 0;
}

inline std::uint32_t* BlockOf(const std::uint32_t (&word)[2])
{
    std::uint32_t* block = nullptr;
    std::memcpy(&block, word, sizeof(block));
    return block;
}

inline std::size_t BlockBytes(std::size_t count)
{
    return (count + 1) * sizeof(std::uint32_t);
}
} // namespace

SECEditColorCache::~SECEditColorCache()
{
    clear();
}

void SECEditColorCache::Release(const Slot& slot) noexcept
{
    if (!IsEmpty(slot.word) && !IsInline(slot.word))
        std::free(BlockOf(slot.word));
}

const std::uint32_t* SECEditColorCache::Find(std::int32_t line, std::size_t& count) const noexcept
{
    count = 0;
    if (line < 0 || static_cast<std::size_t>(line) >= LineCount())
        return nullptr;
    const Slot& slot = At(static_cast<std::size_t>(line));
    if (IsEmpty(slot.word))
        return nullptr;
    if (IsInline(slot.word))
    {
        count = 1;
        return &slot.word[1];
    }
    const std::uint32_t* block = BlockOf(slot.word);
    count = block[0];
    return block + 1;
}

bool SECEditColorCache::Has(std::int32_t line) const noexcept
{
    return line >= 0 && static_cast<std::size_t>(line) < LineCount() && !IsEmpty(At(static_cast<std::size_t>(line)).word);
}

void SECEditColorCache::Set(std::int32_t line, const std::uint32_t* runs, std::size_t count, std::size_t lines)
{
    if (line < 0)
        return;
    const auto index = static_cast<std::size_t>(line);
    if (index >= LineCount()) // new slots go after the last line, which is after the gap
        m_slots.resize(m_gapLength + std::max({index + 1, lines, LineCount() + LineCount() / 2}));
    Slot slot;
    if (count == 1)
    {
        slot.word[0] = 1;
        slot.word[1] = runs[0];
    }
    else
    {
        auto* block = static_cast<std::uint32_t*>(std::malloc(BlockBytes(count)));
        if (!block)
            throw std::bad_alloc();
        block[0] = static_cast<std::uint32_t>(count);
        if (count > 0)
            std::memcpy(block + 1, runs, count * sizeof(std::uint32_t));
        std::memcpy(slot.word, &block, sizeof(block));
        m_blockBytes += BlockBytes(count);
    }
    Free(line);
    At(index) = slot;
    ++m_count;
}

void SECEditColorCache::Free(std::int32_t line) noexcept
{
    if (line < 0 || static_cast<std::size_t>(line) >= LineCount())
        return;
    Slot& slot = At(static_cast<std::size_t>(line));
    if (IsEmpty(slot.word))
        return;
    if (!IsInline(slot.word))
        m_blockBytes -= BlockBytes(BlockOf(slot.word)[0]);
    Release(slot);
    slot = Slot();
    --m_count;
}

void SECEditColorCache::Free(std::int32_t first, std::int32_t last) noexcept
{
    const std::int64_t end = std::min<std::int64_t>(last, static_cast<std::int64_t>(LineCount()) - 1);
    for (std::int64_t line = std::max(first, 0); line <= end; ++line)
        Free(static_cast<std::int32_t>(line));
}

void SECEditColorCache::MoveGap(std::size_t at) noexcept
{
    if (at == m_gapStart || m_gapLength == 0) {
        m_gapStart = at;
        return;
    }
    Slot* slots = m_slots.data();
    if (at < m_gapStart) {
        // Lines at..gapStart-1 move up behind the gap.
        std::memmove(slots + at + m_gapLength, slots + at, (m_gapStart - at) * sizeof(Slot));
        std::fill(slots + at, slots + std::min(m_gapStart, at + m_gapLength), Slot());
    } else {
        // The lines after the gap, up to `at`, move down in front of it.
        std::memmove(slots + m_gapStart, slots + m_gapStart + m_gapLength, (at - m_gapStart) * sizeof(Slot));
        std::fill(slots + std::max(at, m_gapStart + m_gapLength), slots + at + m_gapLength, Slot());
    }
    m_gapStart = at;
}

void SECEditColorCache::Shift(std::int32_t from, std::int32_t delta)
{
    if (delta == 0 || from < 0)
        return;
    const auto size = static_cast<std::int64_t>(LineCount());
    if (delta > 0)
    {
        if (from >= size)
            return;
        MoveGap(static_cast<std::size_t>(from));
        const auto needed = static_cast<std::size_t>(delta);
        if (m_gapLength < needed)
        {
            // Room for this edit and for many more like it.
            const std::size_t grow = needed - m_gapLength + std::max<std::size_t>(4096, LineCount() / 256);
            m_slots.insert(m_slots.begin() + static_cast<std::ptrdiff_t>(m_gapStart + m_gapLength), grow, Slot());
            m_gapLength += grow;
        }
        // The gap's first slots, empty, become the new lines.
        m_gapStart += needed;
        m_gapLength -= needed;
        return;
    }
    const std::int64_t first = std::max<std::int64_t>(0, static_cast<std::int64_t>(from) + delta);
    if (first >= size)
        return;
    Free(static_cast<std::int32_t>(first), from - 1);
    // The emptied slots join the gap.
    MoveGap(static_cast<std::size_t>(first));
    m_gapLength += static_cast<std::size_t>(std::min<std::int64_t>(from, size) - first);
}

void SECEditColorCache::clear() noexcept
{
    for (const Slot& slot : m_slots)
        Release(slot);
    m_slots.clear();
    m_slots.shrink_to_fit();
    m_gapStart = 0;
    m_gapLength = 0;
    m_count = 0;
    m_blockBytes = 0;
}

std::size_t SECEditColorCache::GetMemoryUsage() const noexcept
{
    return m_slots.capacity() * sizeof(Slot) + m_blockBytes;
}
