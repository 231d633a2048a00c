#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

// A sparse array indexed by line number: entries only for the lines that
// have one (line marks, cached colour runs). Entries live in sorted chunks of
// at most MaxChunk, each with an offset added to its keys, so renumbering
// every entry below an edit (lines inserted or removed) costs one addition per
// chunk rather than one per entry, and finding or adding an entry costs a
// binary search and a short move within one chunk.
template <class T>
class SECEditLineMap
{
public:
    std::size_t Size() const noexcept { return m_size; }
    bool Empty() const noexcept { return m_size == 0; }
    void Clear() noexcept
    {
        m_chunks.clear();
        m_size = 0;
    }

    T* Find(std::int32_t line)
    {
        const std::size_t c = ChunkFor(line);
        if (c == npos)
            return nullptr;
        Chunk& chunk = m_chunks[c];
        const auto it = LowerBound(chunk, line);
        return it != chunk.items.end() && it->first + chunk.offset == line ? &it->second : nullptr;
    }
    const T* Find(std::int32_t line) const { return const_cast<SECEditLineMap*>(this)->Find(line); }

    // The line's entry, created (value-initialised) when missing. The
    // reference is valid until the next change of the map.
    T& Get(std::int32_t line)
    {
        if (m_chunks.empty())
        {
            m_chunks.emplace_back();
            m_chunks[0].items.emplace_back(line, T{});
            m_size = 1;
            return m_chunks[0].items[0].second;
        }
        std::size_t c = ChunkFor(line);
        if (c == npos)
            c = 0; // before every entry: the first chunk takes it
        Chunk* chunk = &m_chunks[c];
        auto it = LowerBound(*chunk, line);
        if (it != chunk->items.end() && it->first + chunk->offset == line)
            return it->second;
        it = chunk->items.insert(it, {line - chunk->offset, T{}});
        ++m_size;
        if (chunk->items.size() > MaxChunk)
        {
            // Split in halves; the new chunk keeps the offset.
            Chunk upper;
            upper.offset = chunk->offset;
            const std::size_t half = chunk->items.size() / 2;
            upper.items.assign(std::make_move_iterator(chunk->items.begin() + static_cast<std::ptrdiff_t>(half)),
                               std::make_move_iterator(chunk->items.end()));
            chunk->items.erase(chunk->items.begin() + static_cast<std::ptrdiff_t>(half), chunk->items.end());
            m_chunks.insert(m_chunks.begin() + static_cast<std::ptrdiff_t>(c) + 1, std::move(upper));
            return *Find(line);
        }
        return it->second;
    }

    bool Erase(std::int32_t line)
    {
        const std::size_t c = ChunkFor(line);
        if (c == npos)
            return false;
        Chunk& chunk = m_chunks[c];
        const auto it = LowerBound(chunk, line);
        if (it == chunk.items.end() || it->first + chunk.offset != line)
            return false;
        chunk.items.erase(it);
        --m_size;
        if (chunk.items.empty())
            m_chunks.erase(m_chunks.begin() + static_cast<std::ptrdiff_t>(c));
        return true;
    }

    // Calls removed(line, value) for each entry of lines first..last, in
    // order, then erases them.
    template <class Removed>
    void EraseRange(std::int32_t first, std::int32_t last, Removed&& removed)
    {
        if (last < first)
            return;
        for (std::size_t c = 0; c < m_chunks.size();)
        {
            Chunk& chunk = m_chunks[c];
            if (chunk.items.back().first + chunk.offset < first)
            {
                ++c;
                continue;
            }
            if (chunk.items.front().first + chunk.offset > last)
                break;
            const auto from = LowerBound(chunk, first);
            auto to = from;
            while (to != chunk.items.end() && to->first + chunk.offset <= last)
            {
                removed(to->first + chunk.offset, to->second);
                ++to;
            }
            m_size -= static_cast<std::size_t>(to - from);
            chunk.items.erase(from, to);
            if (chunk.items.empty())
                m_chunks.erase(m_chunks.begin() + static_cast<std::ptrdiff_t>(c));
            else
                ++c;
        }
    }
    void EraseRange(std::int32_t first, std::int32_t last)
    {
        EraseRange(first, last, [](std::int32_t, T&) {});
    }

    // Adds delta to every line >= from. With a negative delta the lines
    // from + delta to from - 1 must have no entries (erase them first), so the
    // order of the entries never changes.
    void Shift(std::int32_t from, std::int32_t delta)
    {
        if (delta == 0)
            return;
        for (Chunk& chunk : m_chunks)
        {
            if (chunk.items.back().first + chunk.offset < from)
                continue;
            if (chunk.items.front().first + chunk.offset >= from)
            {
                chunk.offset += delta;
                continue;
            }
            for (auto it = LowerBound(chunk, from); it != chunk.items.end(); ++it)
                it->first += delta;
        }
    }

    // Every entry in line order: visit(line, value).
    template <class Visit>
    void ForEach(Visit&& visit)
    {
        for (Chunk& chunk : m_chunks)
            for (auto& item : chunk.items)
                visit(item.first + chunk.offset, item.second);
    }
    template <class Visit>
    void ForEach(Visit&& visit) const
    {
        for (const Chunk& chunk : m_chunks)
            for (const auto& item : chunk.items)
                visit(item.first + chunk.offset, item.second);
    }

    // Erases the entries for which drop(value) holds.
    template <class Drop>
    void EraseIf(Drop&& drop)
    {
        for (Chunk& chunk : m_chunks)
        {
            const auto end = std::remove_if(chunk.items.begin(), chunk.items.end(),
                                            [&](auto& item) { return drop(item.second); });
            m_size -= static_cast<std::size_t>(chunk.items.end() - end);
            chunk.items.erase(end, chunk.items.end());
        }
        m_chunks.erase(std::remove_if(m_chunks.begin(), m_chunks.end(),
                                      [](const Chunk& chunk) { return chunk.items.empty(); }),
                       m_chunks.end());
    }

    // The smallest line > after whose value satisfies match, or -1.
    template <class Match>
    std::int32_t FirstAfter(std::int32_t after, Match&& match) const
    {
        for (const Chunk& chunk : m_chunks)
        {
            if (chunk.items.back().first + chunk.offset <= after)
                continue;
            for (auto it = UpperBound(chunk, after); it != chunk.items.end(); ++it)
                if (match(it->second))
                    return it->first + chunk.offset;
        }
        return -1;
    }

    // The largest line < before whose value satisfies match, or -1.
    template <class Match>
    std::int32_t LastBefore(std::int32_t before, Match&& match) const
    {
        for (auto c = m_chunks.rbegin(); c != m_chunks.rend(); ++c)
        {
            const Chunk& chunk = *c;
            if (chunk.items.front().first + chunk.offset >= before)
                continue;
            for (auto it = std::make_reverse_iterator(LowerBound(chunk, before)); it != chunk.items.rend(); ++it)
                if (match(it->second))
                    return it->first + chunk.offset;
        }
        return -1;
    }

private:
    static constexpr std::size_t MaxChunk = 64;
    static constexpr std::size_t npos = static_cast<std::size_t>(-1);

    struct Chunk
    {
        std::int32_t offset = 0; // added to every key of the chunk
        std::vector<std::pair<std::int32_t, T>> items;
    };

    // The last chunk whose first line is <= line, or npos.
    std::size_t ChunkFor(std::int32_t line) const
    {
        std::size_t low = 0, high = m_chunks.size();
        while (low < high)
        {
            const std::size_t mid = (low + high) / 2;
            const Chunk& chunk = m_chunks[mid];
            if (chunk.items.front().first + chunk.offset <= line)
                low = mid + 1;
            else
                high = mid;
        }
        return low == 0 ? npos : low - 1;
    }

    // Keys are compared in 64 bits: a query far outside the chunk's lines
    // must not overflow when its offset is taken off.
    template <class C>
    static auto LowerBound(C& chunk, std::int32_t line)
    {
        const std::int64_t key = std::int64_t{line} - chunk.offset;
        return std::lower_bound(chunk.items.begin(), chunk.items.end(), key,
                                [](const auto& item, std::int64_t k) { return item.first < k; });
    }
    template <class C>
    static auto UpperBound(C& chunk, std::int32_t line)
    {
        const std::int64_t key = std::int64_t{line} - chunk.offset;
        return std::upper_bound(chunk.items.begin(), chunk.items.end(), key,
                                [](std::int64_t k, const auto& item) { return k < item.first; });
    }

    std::vector<Chunk> m_chunks; // never holds an empty chunk
    std::size_t m_size = 0;
};
