#include "engine/SECEditBlockArena.h"

#include <algorithm>
#include <atomic>
#include <bit>
#include <new>
#include <utility>

#if defined(__linux__)
#include <sys/mman.h>
#endif

// Under the address sanitizer, the parts of a chunk not handed out are
// poisoned, so a block writing past its end is still caught.
#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define TAVRO_ARENA_SANITIZED 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__) || defined(TAVRO_ARENA_SANITIZED)
#include <sanitizer/asan_interface.h>
#define ARENA_POISON(p, n) ASAN_POISON_MEMORY_REGION(p, n)
#define ARENA_UNPOISON(p, n) ASAN_UNPOISON_MEMORY_REGION(p, n)
#else
#define ARENA_POISON(p, n) ((void)(p), (void)(n))
#define ARENA_UNPOISON(p, n) ((void)(p), (void)(n))
#endif

namespace
{
constexpr std::size_t kChunkBytes = SECEditBlockArena::kChunkBytes;
constexpr std::size_t kLargePage = SECEditBlockArena::kLargePage;
// A larger piece is not worth a chunk's room: it comes from the heap.
constexpr std::size_t kLargestPiece = kChunkBytes / 8;
constexpr std::size_t kAlignment = 16;

std::atomic<std::size_t> s_heldBytes{0};

std::size_t Aligned(std::size_t bytes)
{
    return (bytes + kAlignment - 1) / kAlignment * kAlignment;
}

// A chunk aligned to the large page size, which the system is asked to back
// with large pages; null when there is no memory.
char* AllocateChunk() noexcept
{
#if defined(__linux__)
    const std::size_t mapped = kChunkBytes + kLargePage;
    void* p = ::mmap(nullptr, mapped, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (p == MAP_FAILED)
        return nullptr;
    char* const raw = static_cast<char*>(p);
    char* const base = reinterpret_cast<char*>((reinterpret_cast<std::uintptr_t>(raw) + kLargePage - 1) &
                                               ~std::uintptr_t(kLargePage - 1));
    // Keep only the aligned chunk.
    if (base > raw)
        ::munmap(raw, std::size_t(base - raw));
    if (const std::size_t tail = std::size_t(raw + mapped - (base + kChunkBytes)); tail > 0)
        ::munmap(base + kChunkBytes, tail);
#ifdef MADV_HUGEPAGE
    ::madvise(base, kChunkBytes, MADV_HUGEPAGE); // a hint: without it the chunk still works
#endif
#else
    char* const base = static_cast<char*>(::operator new(kChunkBytes, std::align_val_t(kLargePage), std::nothrow));
    if (!base)
        return nullptr;
#endif
    ARENA_POISON(base, kChunkBytes);
    return base;
}

void FreeChunk(char* base) noexcept
{
    ARENA_UNPOISON(base, kChunkBytes);
#if defined(__linux__)
    ::munmap(base, kChunkBytes);
#else
    ::operator delete(base, std::align_val_t(kLargePage));
#endif
}

// Hands a large page no piece uses back to the system; false where that
// cannot be done (the page then stays with its chunk). Touching it again
// later finds zeros, which is all a fresh piece may expect.
bool ReleasePage(char* page) noexcept
{
#if defined(__linux__)
    return ::madvise(page, kLargePage, MADV_DONTNEED) == 0;
#else
    (void)page;
    return false;
#endif
}
} // namespace

SECEditBlockArena::~SECEditBlockArena()
{
    // Every piece is given back before (the store's blocks go first); this
    // only frees chunks should one remain.
    for (const Chunk& chunk : m_chunks)
    {
        s_heldBytes -= std::size_t(std::popcount(chunk.held)) * kLargePage;
        FreeChunk(chunk.base);
    }
}

std::vector<SECEditBlockArena::Chunk>::const_iterator SECEditBlockArena::Find(const void* p) const noexcept
{
    const char* const c = static_cast<const char*>(p);
    auto it = std::upper_bound(m_chunks.begin(), m_chunks.end(), c,
                               [](const char* address, const Chunk& chunk) { return address < chunk.base; });
    if (it == m_chunks.begin())
        return m_chunks.end();
    --it;
    return c < it->base + kChunkBytes ? it : m_chunks.end();
}

std::vector<SECEditBlockArena::Chunk>::iterator SECEditBlockArena::Find(const void* p) noexcept
{
    const auto found = std::as_const(*this).Find(p);
    return m_chunks.begin() + (found - m_chunks.cbegin());
}

bool SECEditBlockArena::InSparsePage(const void* piece, std::size_t bytes) const noexcept
{
    const auto chunk = Find(piece);
    if (chunk == m_chunks.end())
        return false;
    const std::size_t offset = std::size_t(static_cast<const char*>(piece) - chunk->base);
    for (std::size_t page = offset / kLargePage; page < kPages && page * kLargePage < offset + bytes; ++page)
    {
        if (chunk->pageLive[page] < kLargePage / 2)
            return true;
    }
    return false;
}

void SECEditBlockArena::CountPages(Chunk& chunk, std::size_t offset, std::size_t bytes, bool add) noexcept
{
    const std::size_t end = offset + bytes;
    for (std::size_t page = offset / kLargePage; page < kPages && page * kLargePage < end; ++page)
    {
        const std::size_t overlap =
            std::min(end, (page + 1) * kLargePage) - std::max(offset, page * kLargePage);
        const unsigned bit = 1u << page;
        if (add)
        {
            chunk.pageLive[page] += static_cast<std::uint32_t>(overlap);
            if (!(chunk.held & bit))
            {
                chunk.held |= bit;
                m_held += kLargePage;
                s_heldBytes += kLargePage;
            }
        }
        else
        {
            chunk.pageLive[page] -= std::min(chunk.pageLive[page], static_cast<std::uint32_t>(overlap));
            if (chunk.pageLive[page] == 0 && (chunk.held & bit) && ReleasePage(chunk.base + page * kLargePage))
            {
                chunk.held &= ~bit;
                m_held -= kLargePage;
                s_heldBytes -= kLargePage;
            }
        }
    }
}

void* SECEditBlockArena::Take(std::size_t bytes) noexcept
{
    if (!m_wanted || !m_open || bytes == 0 || bytes > kLargestPiece)
        return nullptr;
    const std::size_t size = Aligned(bytes);
    auto chunk = m_current ? Find(m_current) : m_chunks.end();
    if (chunk == m_chunks.end() || kChunkBytes - chunk->used < size)
    {
        char* const base = AllocateChunk();
        if (!base)
            return nullptr;
        try
        {
            Chunk fresh;
            fresh.base = base;
            chunk = m_chunks.insert(std::upper_bound(m_chunks.begin(), m_chunks.end(), base,
                                                     [](const char* address, const Chunk& c) {
                                                         return address < c.base;
                                                     }),
                                    fresh);
        }
        catch (const std::bad_alloc&)
        {
            FreeChunk(base);
            return nullptr;
        }
        m_current = base;
    }
    char* const piece = chunk->base + chunk->used;
    CountPages(*chunk, chunk->used, size, true);
    chunk->used += size;
    chunk->live += size;
    m_live += size;
    ARENA_UNPOISON(piece, bytes);
    return piece;
}

bool SECEditBlockArena::Give(void* piece, std::size_t bytes) noexcept
{
    if (m_chunks.empty())
        return false;
    const auto chunk = Find(piece);
    if (chunk == m_chunks.end())
        return false;
    ARENA_POISON(piece, bytes);
    const std::size_t size = std::min(chunk->live, Aligned(bytes));
    chunk->live -= size;
    m_live -= size;
    if (chunk->live == 0)
        Release(chunk);
    else
        CountPages(*chunk, std::size_t(static_cast<char*>(piece) - chunk->base), size, false);
    return true;
}

void SECEditBlockArena::Release(std::vector<Chunk>::iterator chunk) noexcept
{
    if (chunk->base == m_current)
        m_current = nullptr;
    const std::size_t held = std::size_t(std::popcount(chunk->held)) * kLargePage;
    m_held -= held;
    s_heldBytes -= held;
    FreeChunk(chunk->base);
    m_chunks.erase(chunk);
    if (m_chunks.empty())
        m_tolerated = 0;
}

std::size_t SECEditBlockArena::HeldBytes() noexcept
{
    return s_heldBytes.load(std::memory_order_relaxed);
}
