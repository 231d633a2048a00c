#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <type_traits>
#include <vector>

// Large chunks of memory that the blocks of a big load are carved from.
//
// Loading a file touches every page of its text for the first time, and that
// first touch costs more than reading and decoding. Memory taken in large
// chunks can be backed by the system's large pages, which are several times
// cheaper to touch and to give back than the small pages under many small
// allocations.
//
// Pieces are only handed out while the arena is both wanted (a load said it
// is big) and open (the store is appending): edits never take from it, so it
// never grows after a load. A piece given back is not reused, but each large
// page of a chunk goes back to the system as soon as none of its pieces is in
// use, and the whole chunk with its last piece (at the latest with its
// store). Edits that reallocate blocks scattered over the text leave pages
// partly idle; once more than half of what the arena holds is idle, the
// store moves the blocks left in sparse pages to the heap, which empties
// them. So the arena never holds more than the load put in it, and after
// heavy editing at most about twice what its remaining blocks use.
class SECEditBlockArena
{
public:
    SECEditBlockArena() = default;
    ~SECEditBlockArena();
    SECEditBlockArena(const SECEditBlockArena&) = delete;
    SECEditBlockArena& operator=(const SECEditBlockArena&) = delete;

    void SetWanted(bool wanted) noexcept { m_wanted = wanted; }
    void SetOpen(bool open) noexcept { m_open = open; }

    // `bytes` of memory (aligned for any character or index type), or null
    // when the arena is not handing out pieces, the piece is too large for a
    // chunk or no chunk could be had: the caller then uses the heap.
    void* Take(std::size_t bytes) noexcept;
    // Gives a piece back; false when it is not one of this arena's.
    bool Give(void* piece, std::size_t bytes) noexcept;

    // Bytes of the large pages held but no longer used by any piece.
    std::size_t IdleBytes() const noexcept { return m_held - m_live; }
    // Whether more than half of what the arena holds is idle (and more than
    // after the last clean-up): pieces still in use in sparse pages are then
    // worth moving to the heap, which empties those pages.
    bool IsWasteful() const noexcept
    {
        return m_held >= 2 * kLargePage && IdleBytes() * 2 > m_held && IdleBytes() > m_tolerated + m_held / 8;
    }
    // Called after a clean-up: what is idle now is not worth another one.
    void TolerateIdle() noexcept { m_tolerated = IdleBytes(); }
    // Whether the piece overlaps a large page less than half used.
    bool InSparsePage(const void* piece, std::size_t bytes) const noexcept;
    // Bytes all arenas of the process hold (the large pages of their chunks
    // in use), for memory reports.
    static std::size_t HeldBytes() noexcept;

    static constexpr std::size_t kLargePage = std::size_t(2) << 20;
    static constexpr std::size_t kChunkBytes = 4 * kLargePage;

private:
    static constexpr std::size_t kPages = kChunkBytes / kLargePage;

    struct Chunk
    {
        char* base = nullptr;
        std::size_t used = 0; // bytes handed out, from the base on
        std::size_t live = 0; // bytes of those still in use
        std::array<std::uint32_t, kPages> pageLive{}; // the same per large page
        unsigned held = 0; // the large pages holding memory, one bit each
    };

    // Chunks sorted by address; the last one taken from is `m_current`.
    std::vector<Chunk> m_chunks;
    char* m_current = nullptr;
    std::size_t m_held = 0; // bytes of the large pages holding memory
    std::size_t m_live = 0; // bytes of the pieces in use
    std::size_t m_tolerated = 0;
    bool m_wanted = false;
    bool m_open = false;

    std::vector<Chunk>::iterator Find(const void* p) noexcept;
    std::vector<Chunk>::const_iterator Find(const void* p) const noexcept;
    // Counts the piece [offset, offset + bytes) in (or out of) each large
    // page it overlaps.
    void CountPages(Chunk& chunk, std::size_t offset, std::size_t bytes, bool add) noexcept;
    void Release(std::vector<Chunk>::iterator chunk) noexcept;
};

// The allocator of block texts and line feed lists: pieces come from the
// store's arena while it hands them out, otherwise from the heap. Containers
// take their allocator along when moved or swapped, so a piece always goes
// back where it came from.
template <class T>
class SECEditBlockAllocator
{
public:
    using value_type = T;
    using propagate_on_container_move_assignment = std::true_type;
    using propagate_on_container_swap = std::true_type;
    using is_always_equal = std::false_type;

    SECEditBlockAllocator() noexcept = default;
    explicit SECEditBlockAllocator(SECEditBlockArena* arena) noexcept : m_arena(arena) {}
    template <class U>
    SECEditBlockAllocator(const SECEditBlockAllocator<U>& other) noexcept : m_arena(other.Arena())
    {
    }

    T* allocate(std::size_t n)
    {
        if (m_arena)
        {
            if (void* p = m_arena->Take(n * sizeof(T)))
                return static_cast<T*>(p);
        }
        return std::allocator<T>().allocate(n);
    }
    void deallocate(T* p, std::size_t n) noexcept
    {
        if (!m_arena || !m_arena->Give(p, n * sizeof(T)))
            std::allocator<T>().deallocate(p, n);
    }

    SECEditBlockArena* Arena() const noexcept { return m_arena; }

    template <class U>
    bool operator==(const SECEditBlockAllocator<U>& other) const noexcept
    {
        return m_arena == other.Arena();
    }

private:
    SECEditBlockArena* m_arena = nullptr;
};
