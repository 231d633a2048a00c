#include "engine/SECEditTextStore.h"

#include "engine/SECEditCharScan.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>

namespace
{
// Blocks are built at about TargetBlock characters and split when an edit
// makes one larger than MaxBlock; a block that shrinks below MinBlock is
// merged with a neighbour. A single line longer than MaxBlock gets a block of
// its own, as large as it needs.
std::size_t TargetBlock = 4096;
std::size_t MaxBlock = 8192;
std::size_t MinBlock = 1024;
// A load of at least this many characters takes its blocks from the arena.
constexpr std::ptrdiff_t ArenaLoad = std::ptrdiff_t(1) << 20;

// Length of `text` up to `count` characters or its first NUL; -1 for a count
// below -1 (or a missing text with a nonzero count).
std::ptrdiff_t EffectiveLength(const char16_t* text, std::ptrdiff_t count)
{
    if (count < -1)
        return -1;
    if (!text)
        return count <= 0 ? 0 : -1;
    if (count == -1)
        return static_cast<std::ptrdiff_t>(std::char_traits<char16_t>::length(text));
    const char16_t* nul = std::char_traits<char16_t>::find(text, static_cast<std::size_t>(count), u'\0');
    return nul ? nul - text : count;
}

} // namespace

namespace
{
// Room for `needed` characters, growing geometrically.
template <class Text>
void Grow(Text& text, std::size_t needed)
{
    if (needed > text.capacity())
        text.reserve(std::max(needed, text.capacity() + text.capacity() / 2));
}
} // namespace

// Prefix sums over the blocks, with O(log n) update and search.
class SECEditTextStore::Fenwick
{
public:
    template <class Value>
    void Build(std::size_t n, Value&& value)
    {
        m_tree.assign(n + 1, 0);
        m_total = 0;
        for (std::size_t i = 1; i <= n; ++i)
        {
            const std::int64_t v = value(i - 1);
            m_total += v;
            m_tree[i] += v;
            const std::size_t parent = i + (i & (~i + 1));
            if (parent <= n)
                m_tree[parent] += m_tree[i];
        }
        m_top = 1;
        while (m_top * 2 <= n)
            m_top *= 2;
        Forget();
    }

    void Add(std::size_t index, std::int64_t delta)
    {
        Forget();
        m_total += delta;
        for (std::size_t i = index + 1; i < m_tree.size(); i += i & (~i + 1))
            m_tree[i] += delta;
    }

    // Adds a value after the last one.
    void Push(std::int64_t value)
    {
        Forget();
        m_total += value;
        const std::size_t i = m_tree.size();
        // The new node sums the values its range covers: its own and those
        // of the nodes just below it.
        std::int64_t sum = value;
        for (std::size_t j = i - 1; j > i - (i & (~i + 1)); j -= j & (~j + 1))
            sum += m_tree[j];
        m_tree.push_back(sum);
        while (m_top * 2 <= i)
            m_top *= 2;
    }

    // Sum of the first `count` values.
    std::int64_t Prefix(std::size_t count) const
    {
        if (count == m_prefixCount)
            return m_prefixSum;
        std::int64_t sum = 0;
        for (std::size_t i = count; i > 0; i -= i & (~i + 1))
            sum += m_tree[i];
        m_prefixCount = count;
        m_prefixSum = sum;
        return sum;
    }

    // The number of leading values whose sum is <= value, and that sum.
    // An edit looks up the same line or offset dozens of times, so the last
    // answer is kept, with the range of values it holds for.
    std::size_t Search(std::int64_t value, std::int64_t& sumBefore) const
    {
        if (value >= m_foundLow && value < m_foundHigh)
        {
            sumBefore = m_foundLow;
            return m_found;
        }
        const std::size_t pos = SearchTree(value, sumBefore);
        if (value >= 0)
        {
            m_found = pos;
            m_foundLow = sumBefore;
            m_foundHigh = pos + 1 < m_tree.size() ? Prefix(pos + 1) : std::numeric_limits<std::int64_t>::max();
        }
        return pos;
    }

    std::int64_t Total() const noexcept { return m_total; }
    std::size_t MemoryUsage() const noexcept { return m_tree.capacity() * sizeof(std::int64_t); }

private:
    void Forget() noexcept
    {
        m_prefixCount = std::size_t(-1);
        m_foundLow = 0;
        m_foundHigh = 0;
    }

    std::size_t SearchTree(std::int64_t value, std::int64_t& sumBefore) const
    {
        std::size_t pos = 0;
        std::int64_t rest = value;
        const std::size_t n = m_tree.size() - 1;
        for (std::size_t step = m_top; step > 0; step >>= 1)
        {
            if (pos + step <= n && m_tree[pos + step] <= rest)
            {
                pos += step;
                rest -= m_tree[pos];
            }
        }
        sumBefore = value - rest;
        return pos;
    }

    std::vector<std::int64_t> m_tree{0};
    std::int64_t m_total = 0;
    std::size_t m_top = 1;
    mutable std::size_t m_prefixCount = std::size_t(-1);
    mutable std::int64_t m_prefixSum = 0;
    mutable std::size_t m_found = 0;
    mutable std::int64_t m_foundLow = 0;
    mutable std::int64_t m_foundHigh = 0;
};

SECEditTextStore::SECEditTextStore()
    : m_arena(std::make_unique<SECEditBlockArena>()), m_chars(std::make_unique<Fenwick>()),
      m_feeds(std::make_unique<Fenwick>())
{
    Reset();
}

SECEditTextStore::~SECEditTextStore() = default;

void SECEditTextStore::Reset()
{
    m_blocks.clear();
    m_arena->SetWanted(false);
    m_blocks.emplace_back(m_arena.get());
    m_lineFeed = 10;
    m_carriageReturn = 13;
    RebuildTrees();
}

void SECEditTextStore::RebuildTrees()
{
    m_chars->Build(m_blocks.size(), [this](std::size_t i) { return std::int64_t(m_blocks[i].text.size()); });
    m_feeds->Build(m_blocks.size(), [this](std::size_t i) { return std::int64_t(m_blocks[i].feeds.size()); });
}

std::uint32_t SECEditTextStore::CountCarriageReturns(const char16_t* p, std::size_t n) const
{
    return m_carriageReturn != 0 ? static_cast<std::uint32_t>(SECEditCharScan::Count(p, n, m_carriageReturn)) : 0;
}

std::uint32_t SECEditTextStore::CountLone(const Block& b, std::size_t from, std::size_t to) const
{
    if (m_carriageReturn == 0 || from >= to)
        return 0;
    const std::size_t size = b.text.size();
    to = std::min(to, size);
    std::uint32_t lone = 0;
    SECEditCharScan::ForEach(b.text.data() + from, to - from, m_carriageReturn, [&](std::size_t i) {
        const std::size_t at = from + i;
        lone += at + 1 >= size || b.text[at + 1] != m_lineFeed;
    });
    return lone;
}

void SECEditTextStore::RecountCarriageReturns(Block& b) const
{
    b.carriageReturns = CountCarriageReturns(b.text.data(), b.text.size());
    b.loneCarriageReturns = b.carriageReturns ? CountLone(b, 0, b.text.size()) : 0;
}

void SECEditTextStore::RescanFeeds(Block& b) const
{
    b.feeds.clear();
    b.feeds.reserve(SECEditCharScan::Count(b.text.data(), b.text.size(), m_lineFeed));
    SECEditCharScan::ForEach(b.text.data(), b.text.size(), m_lineFeed,
                [&](std::size_t i) { b.feeds.push_back(static_cast<std::uint32_t>(i)); });
}

// ---------------------------------------------------------------------------
// Looking things up

std::int32_t SECEditTextStore::GetLineCount() const
{
    return static_cast<std::int32_t>(m_feeds->Total() + 1);
}

std::ptrdiff_t SECEditTextStore::GetLength() const noexcept
{
    return static_cast<std::ptrdiff_t>(m_chars->Total());
}

bool SECEditTextStore::LocateLine(std::int32_t line, int& block, std::int32_t& localLine,
                                  std::ptrdiff_t* blockStart) const
{
    if (line < 0 || line > m_feeds->Total())
        return false;
    std::int64_t before = 0;
    std::size_t b = m_feeds->Search(line, before);
    if (b >= m_blocks.size())
    {
        // The last line, after the last line feed: it lives in the last block.
        b = m_blocks.size() - 1;
        before = m_feeds->Prefix(b);
    }
    block = static_cast<int>(b);
    localLine = static_cast<std::int32_t>(line - before);
    if (blockStart)
        *blockStart = static_cast<std::ptrdiff_t>(m_chars->Prefix(b));
    return true;
}

std::size_t SECEditTextStore::LineStartInBlock(const Block& b, std::int32_t localLine) const
{
    return localLine == 0 ? 0 : std::size_t(b.feeds[static_cast<std::size_t>(localLine) - 1]) + 1;
}

std::size_t SECEditTextStore::LineEndInBlock(int, const Block& b, std::int32_t localLine) const
{
    return static_cast<std::size_t>(localLine) < b.feeds.size()
               ? std::size_t(b.feeds[static_cast<std::size_t>(localLine)]) + 1
               : b.text.size();
}

bool SECEditTextStore::LocatePosition(std::int32_t line, std::int32_t column, bool allowPastFeed, int& block,
                                      std::size_t& local, std::ptrdiff_t* offset) const
{
    std::int32_t localLine = 0;
    std::ptrdiff_t blockStart = 0;
    if (column < 0 || !LocateLine(line, block, localLine, offset ? &blockStart : nullptr))
        return false;
    const Block& b = m_blocks[static_cast<std::size_t>(block)];
    const std::size_t start = LineStartInBlock(b, localLine);
    std::size_t end = LineEndInBlock(block, b, localLine);
    if (!allowPastFeed && static_cast<std::size_t>(localLine) < b.feeds.size())
        --end; // stop before the line feed
    if (static_cast<std::size_t>(column) > end - start)
        return false;
    local = start + static_cast<std::size_t>(column);
    if (offset)
        *offset = blockStart + static_cast<std::ptrdiff_t>(local);
    return true;
}

std::int32_t SECEditTextStore::GetFullLineLength(std::int32_t line) const
{
    int block = 0;
    std::int32_t localLine = 0;
    if (!LocateLine(line, block, localLine, nullptr))
        return -1;
    const Block& b = m_blocks[static_cast<std::size_t>(block)];
    return static_cast<std::int32_t>(LineEndInBlock(block, b, localLine) - LineStartInBlock(b, localLine));
}

std::int32_t SECEditTextStore::GetLineText(std::int32_t line, const char16_t*& pointer) const
{
    static const char16_t empty[1] = {0};
    int block = 0;
    std::int32_t localLine = 0;
    if (!LocateLine(line, block, localLine, nullptr))
        return -1;
    const Block& b = m_blocks[static_cast<std::size_t>(block)];
    const std::size_t start = LineStartInBlock(b, localLine);
    std::size_t end = LineEndInBlock(block, b, localLine);
    if (static_cast<std::size_t>(localLine) < b.feeds.size())
        --end;
    const char16_t* p = b.text.data() + start;
    std::size_t length = end - start;
    if (m_carriageReturn != 0 && b.carriageReturns > 0)
    {
        if (b.loneCarriageReturns == 0)
        {
            // Every carriage return stands just before a line feed.
            if (static_cast<std::size_t>(localLine) < b.feeds.size() && length > 0 && p[length - 1] == m_carriageReturn)
                --length;
        }
        else if (const char16_t* cr = SECEditCharScan::Find(p, length, m_carriageReturn))
            length = static_cast<std::size_t>(cr - p);
    }
    pointer = length > 0 ? p : empty;
    return static_cast<std::int32_t>(std::min<std::size_t>(length, std::numeric_limits<std::int32_t>::max()));
}

std::int32_t SECEditTextStore::GetLineText(std::int32_t line, std::u16string_view& text) const
{
    const char16_t* p = nullptr;
    const std::int32_t length = GetLineText(line, p);
    text = length >= 0 ? std::u16string_view(p, static_cast<std::size_t>(length)) : std::u16string_view();
    return length;
}

std::int32_t SECEditTextStore::GetLineLength(std::int32_t line) const
{
    const char16_t* p = nullptr;
    return GetLineText(line, p);
}

std::ptrdiff_t SECEditTextStore::GetLineStart(std::int32_t line) const
{
    int block = 0;
    std::size_t local = 0;
    std::ptrdiff_t offset = 0;
    return LocatePosition(line, 0, true, block, local, &offset) ? offset : -1;
}

std::ptrdiff_t SECEditTextStore::PositionToOffset(std::int32_t line, std::int32_t column) const
{
    int block = 0;
    std::size_t local = 0;
    std::ptrdiff_t offset = 0;
    return LocatePosition(line, column, true, block, local, &offset) ? offset : -1;
}

bool SECEditTextStore::IsEditablePosition(std::int32_t line, std::int32_t column) const
{
    int block = 0;
    std::size_t local = 0;
    return LocatePosition(line, column, false, block, local, nullptr);
}

int SECEditTextStore::FindBlock(std::ptrdiff_t offset, bool atEnd) const
{
    const std::ptrdiff_t length = GetLength();
    if (offset < 0 || offset > length)
        return -1;
    if (offset == length)
        return static_cast<int>(m_blocks.size()) - 1;
    std::int64_t before = 0;
    std::size_t b = m_chars->Search(offset, before);
    if (atEnd && before == offset && b > 0)
        --b;
    return static_cast<int>(b);
}

bool SECEditTextStore::OffsetToPosition(std::ptrdiff_t offset, std::int32_t& line, std::int32_t& column) const
{
    const int block = FindBlock(offset, false);
    if (block < 0)
        return false;
    const Block& b = m_blocks[static_cast<std::size_t>(block)];
    const std::size_t local = static_cast<std::size_t>(offset - GetBlockStart(block));
    const auto it = std::lower_bound(b.feeds.begin(), b.feeds.end(), static_cast<std::uint32_t>(local));
    const std::int32_t localLine = static_cast<std::int32_t>(it - b.feeds.begin());
    line = static_cast<std::int32_t>(m_feeds->Prefix(static_cast<std::size_t>(block))) + localLine;
    column = static_cast<std::int32_t>(local - LineStartInBlock(b, localLine));
    return true;
}

int SECEditTextStore::GetBlockCount() const noexcept
{
    return static_cast<int>(m_blocks.size());
}

std::u16string_view SECEditTextStore::GetBlock(int index) const
{
    if (index < 0 || index >= GetBlockCount())
        return {};
    const Block& b = m_blocks[static_cast<std::size_t>(index)];
    return {b.text.data(), b.text.size()};
}

std::ptrdiff_t SECEditTextStore::GetBlockStart(int index) const
{
    if (index < 0 || index > GetBlockCount())
        return -1;
    return static_cast<std::ptrdiff_t>(m_chars->Prefix(static_cast<std::size_t>(index)));
}

bool SECEditTextStore::ForEachChunk(std::ptrdiff_t offset, std::ptrdiff_t count,
                                    const std::function<bool(std::u16string_view)>& sink) const
{
    const std::ptrdiff_t length = GetLength();
    if (count == -1 && offset >= 0 && offset <= length)
        count = length - offset;
    if (offset < 0 || count < 0 || offset > length || count > length - offset)
        return false;
    if (count == 0)
        return true;
    int block = FindBlock(offset, false);
    std::size_t local = static_cast<std::size_t>(offset - GetBlockStart(block));
    while (count > 0)
    {
        const Block& b = m_blocks[static_cast<std::size_t>(block)];
        const std::size_t take = std::min<std::size_t>(b.text.size() - local, static_cast<std::size_t>(count));
        if (take > 0 && !sink(std::u16string_view(b.text.data() + local, take)))
            return false;
        count -= static_cast<std::ptrdiff_t>(take);
        local = 0;
        ++block;
    }
    return true;
}

bool SECEditTextStore::GetText(std::u16string& out, std::int32_t startLine, std::int32_t startColumn,
                               std::int32_t endLine, std::int32_t endColumn) const
{
    const std::ptrdiff_t start = PositionToOffset(startLine, startColumn);
    if (start < 0)
        return false;
    std::ptrdiff_t end = 0;
    if (endLine == -1 || endColumn == -1)
        end = PositionToOffset(startLine, GetFullLineLength(startLine));
    else
        end = PositionToOffset(endLine, endColumn);
    if (end < start)
        return false;
    out.clear();
    out.reserve(static_cast<std::size_t>(end - start));
    return ForEachChunk(start, end - start, [&](std::u16string_view piece) {
        out.append(piece);
        return true;
    });
}

std::ptrdiff_t SECEditTextStore::GetTextPointer(const char16_t*& pointer, std::int32_t startLine,
                                                std::int32_t startColumn, std::int32_t endLine,
                                                std::int32_t endColumn) const
{
    const std::ptrdiff_t start = PositionToOffset(startLine, startColumn);
    if (start < 0)
        return 0;
    std::ptrdiff_t end = 0;
    if (endLine == -1 || endColumn == -1)
        end = PositionToOffset(startLine, GetFullLineLength(startLine));
    else
        end = PositionToOffset(endLine, endColumn);
    if (end < start)
        return 0;
    const int first = FindBlock(start, false);
    const int last = end > start ? FindBlock(end, true) : first;
    if (first != last)
        return -1;
    const Block& b = m_blocks[static_cast<std::size_t>(first)];
    pointer = b.text.data() + (start - GetBlockStart(first));
    return end - start;
}

std::int32_t SECEditTextStore::FindLongLine(std::int32_t fromLine, std::int32_t toLine, std::int32_t threshold) const
{
    int block = 0;
    std::int32_t localLine = 0;
    const std::int32_t last = std::min(toLine, GetLineCount() - 1);
    if (fromLine > last || !LocateLine(fromLine, block, localLine, nullptr))
        return -1;
    const std::size_t limit = static_cast<std::size_t>(std::max(threshold, 0));
    std::int32_t line = fromLine;
    for (std::size_t bi = static_cast<std::size_t>(block); bi < m_blocks.size() && line <= last; ++bi)
    {
        const Block& b = m_blocks[bi];
        const std::size_t lines = b.feeds.size() + (bi + 1 == m_blocks.size() ? 1 : 0);
        const std::size_t count =
            std::min(lines - static_cast<std::size_t>(localLine), static_cast<std::size_t>(last - line) + 1);
        if (!AnyLineLonger(b, static_cast<std::size_t>(localLine), static_cast<std::size_t>(localLine) + count, limit))
        {
            // Most blocks: one quick look at them all.
            line += static_cast<std::int32_t>(count);
            localLine = 0;
            continue;
        }
        std::size_t start = LineStartInBlock(b, localLine);
        for (std::size_t l = static_cast<std::size_t>(localLine); l < lines && line <= last; ++l, ++line)
        {
            const std::size_t end = l < b.feeds.size() ? std::size_t(b.feeds[l]) + 1 : b.text.size();
            if (end - start > limit)
                return line;
            start = end;
        }
        localLine = 0;
    }
    return -1;
}

bool SECEditTextStore::AnyLineLonger(const Block& b, std::size_t from, std::size_t to, std::size_t limit)
{
    if (b.text.size() <= limit || from >= to)
        return false;
    const std::uint32_t* feeds = b.feeds.data();
    const std::size_t feedCount = b.feeds.size();
    // Lines below `feedCount` end just after their line feed, the one after
    // that (the last line of the text) at the end of the block.
    const std::size_t end = std::min(to, feedCount);
    std::size_t k = from;
    if (k == 0 && k < end)
    {
        if (std::size_t(feeds[0]) + 1 > limit)
            return true;
        k = 1;
    }
    // Without an early exit, so the compiler can compare several at a time.
    const auto most = static_cast<std::uint32_t>(limit); // a line count, so it fits
    bool longer = false;
    for (; k < end; ++k)
        longer |= feeds[k] - feeds[k - 1] > most;
    if (longer)
        return true;
    if (to > feedCount)
        return b.text.size() - (feedCount > 0 ? std::size_t(feeds[feedCount - 1]) + 1 : 0) > limit;
    return false;
}

std::size_t SECEditTextStore::GetMemoryUsage() const noexcept
{
    std::size_t bytes = m_blocks.capacity() * sizeof(m_blocks[0]) + m_chars->MemoryUsage() + m_feeds->MemoryUsage() +
                        m_arena->IdleBytes();
    for (const auto& b : m_blocks)
        bytes += sizeof(Block) + b.text.capacity() * sizeof(char16_t) + b.feeds.capacity() * sizeof(std::uint32_t);
    return bytes;
}

// ---------------------------------------------------------------------------
// Changing the text

void SECEditTextStore::SetLineFeedChar(char16_t c)
{
    if (c == m_lineFeed || c == 0)
        return;
    std::u16string all;
    all.reserve(static_cast<std::size_t>(GetLength()));
    ForEachChunk(0, -1, [&](std::u16string_view piece) {
        all.append(piece);
        return true;
    });
    m_lineFeed = c;
    RebuildAll(std::move(all));
}

char16_t SECEditTextStore::GetLineFeedChar() const
{
    return m_lineFeed;
}

void SECEditTextStore::SetCarriageReturnChar(char16_t c)
{
    m_carriageReturn = c;
    for (Block& b : m_blocks)
        RecountCarriageReturns(b);
}

char16_t SECEditTextStore::GetCarriageReturnChar() const
{
    return m_carriageReturn;
}

void SECEditTextStore::RebuildAll(std::u16string text)
{
    m_blocks.clear();
    m_blocks.emplace_back(m_arena.get());
    RebuildTrees();
    AppendText(text);
}

void SECEditTextStore::SetBlockSizes(std::size_t target, std::size_t max, std::size_t min)
{
    TargetBlock = std::max<std::size_t>(target, 2);
    MaxBlock = std::max(max, TargetBlock);
    MinBlock = std::min(min, MaxBlock / 2);
}

void SECEditTextStore::Reserve(std::ptrdiff_t count)
{
    if (count > 0)
        m_blocks.reserve(m_blocks.size() + static_cast<std::size_t>(count) / TargetBlock + 1);
    if (count >= ArenaLoad)
        m_arena->SetWanted(true);
}

void SECEditTextStore::AppendText(std::u16string_view text)
{
    const char16_t* nul = SECEditCharScan::Find(text.data(), text.size(), u'\0');
    if (nul)
        text = text.substr(0, static_cast<std::size_t>(nul - text.data()));
    struct OpenArena
    {
        SECEditBlockArena& arena;
        explicit OpenArena(SECEditBlockArena& a) : arena(a) { arena.SetOpen(true); }
        ~OpenArena() { arena.SetOpen(false); }
    } opened(*m_arena);
    // The last block grows and new ones follow it: the sums are updated for
    // those alone.
    const std::size_t first = m_blocks.size() - 1;
    const std::int64_t charsBefore = static_cast<std::int64_t>(m_blocks[first].text.size());
    const std::int64_t feedsBefore = static_cast<std::int64_t>(m_blocks[first].feeds.size());
    while (!text.empty())
    {
        Block& last = m_blocks.back();
        std::size_t take = text.size();
        if (last.text.size() + text.size() > MaxBlock)
        {
            // Cut after the first line feed that brings the block to its
            // target size; a line without one stays whole.
            const std::size_t from = last.text.size() >= TargetBlock ? 0 : TargetBlock - last.text.size() - 1;
            if (from < text.size())
            {
                const char16_t* feed =
                    SECEditCharScan::Find(text.data() + from, text.size() - from, m_lineFeed);
                if (feed)
                    take = static_cast<std::size_t>(feed - text.data()) + 1;
            }
        }
        const std::size_t base = last.text.size();
        if (last.text.empty())
            last.text.reserve(take + take / 32); // a little room, so a first edit need not reallocate
        else
            Grow(last.text, base + take);
        last.text.insert(last.text.end(), text.begin(), text.begin() + static_cast<std::ptrdiff_t>(take));

        // A carriage return that ended the block now has a follower.
        if (base > 0 && m_carriageReturn != 0 && last.text[base - 1] == m_carriageReturn &&
            last.text[base] == m_lineFeed)
            --last.loneCarriageReturns;
        thread_local std::vector<std::uint32_t> found;
        found.clear();
        SECEditCharScan::ScanLineEnds(last.text.data(), base, base + take, last.text.size(), m_lineFeed,
                                      m_carriageReturn, found, last.carriageReturns, last.loneCarriageReturns);
        if (last.feeds.capacity() < last.feeds.size() + found.size())
            last.feeds.reserve(last.feeds.size() + found.size());
        last.feeds.insert(last.feeds.end(), found.begin(), found.end());
        text.remove_prefix(take);
        if (!text.empty())
            m_blocks.emplace_back(m_arena.get());
    }
    m_chars->Add(first, static_cast<std::int64_t>(m_blocks[first].text.size()) - charsBefore);
    m_feeds->Add(first, static_cast<std::int64_t>(m_blocks[first].feeds.size()) - feedsBefore);
    for (std::size_t i = first + 1; i < m_blocks.size(); ++i)
    {
        m_chars->Push(static_cast<std::int64_t>(m_blocks[i].text.size()));
        m_feeds->Push(static_cast<std::int64_t>(m_blocks[i].feeds.size()));
    }
}

void SECEditTextStore::ReclaimArena() noexcept
{
    // Blocks an edit reallocates leave their piece of the arena behind. Once
    // half of what it holds is idle, the blocks still in its sparse pages
    // move to the heap, so those pages go back to the system.
    if (!m_arena->IsWasteful())
        return;
    try
    {
        for (Block& b : m_blocks)
        {
            if (b.text.capacity() == 0 ||
                !m_arena->InSparsePage(b.text.data(), b.text.capacity() * sizeof(char16_t)))
                continue;
            decltype(b.text) moved; // on the heap
            moved.reserve(b.text.capacity());
            moved.assign(b.text.begin(), b.text.end());
            b.text = std::move(moved);
        }
    }
    catch (const std::bad_alloc&)
    {
        // Stays where it is: it was correct there too.
    }
    m_arena->TolerateIdle();
}

bool SECEditTextStore::Insert(SECEditTextRange& range, const char16_t* text, std::ptrdiff_t count)
{
    return InsertChars(range, text, count) && range.IsOrdered();
}

bool SECEditTextStore::InsertAt(SECEditTextRange& range, const char16_t* text, std::ptrdiff_t count)
{
    return InsertChars(range, text, count);
}

bool SECEditTextStore::InsertChars(SECEditTextRange& range, const char16_t* text, std::ptrdiff_t count)
{
    const std::ptrdiff_t n = EffectiveLength(text, count);
    int block = 0;
    std::size_t local = 0;
    if (n < 0 || !LocatePosition(range.start.line, range.start.column, false, block, local, nullptr))
        return false;
    if (n == 0)
    {
        range.end = range.start;
        return true;
    }
    const std::size_t size = static_cast<std::size_t>(n);
    Block& b = m_blocks[static_cast<std::size_t>(block)];
    Grow(b.text, b.text.size() + size);
    const std::size_t around = local > 0 ? local - 1 : 0;
    const std::uint32_t loneBefore = CountLone(b, around, local);
    b.text.insert(b.text.begin() + static_cast<std::ptrdiff_t>(local), text, text + size);
    b.carriageReturns += CountCarriageReturns(text, size);
    if (b.carriageReturns > 0)
        b.loneCarriageReturns += CountLone(b, around, local + size) - loneBefore;

    // Line feeds after the insertion point move right; the new ones go in between.
    const auto at = std::lower_bound(b.feeds.begin(), b.feeds.end(), static_cast<std::uint32_t>(local));
    const std::size_t firstMoved = static_cast<std::size_t>(at - b.feeds.begin());
    for (std::size_t i = firstMoved; i < b.feeds.size(); ++i)
        b.feeds[i] += static_cast<std::uint32_t>(size);
    std::size_t added = 0;
    std::size_t lastFeed = 0;
    SECEditCharScan::ForEach(text, size, m_lineFeed, [&](std::size_t i) {
        ++added;
        lastFeed = i;
    });
    if (added > 0)
    {
        b.feeds.insert(b.feeds.begin() + static_cast<std::ptrdiff_t>(firstMoved), added, 0);
        std::size_t k = firstMoved;
        SECEditCharScan::ForEach(text, size, m_lineFeed,
                    [&](std::size_t i) { b.feeds[k++] = static_cast<std::uint32_t>(local + i); });
    }

    if (b.text.size() > MaxBlock)
        SplitBlock(block); // rebuilds the trees
    else
    {
        m_chars->Add(static_cast<std::size_t>(block), n);
        m_feeds->Add(static_cast<std::size_t>(block), static_cast<std::int64_t>(added));
    }

    if (added > 0)
        range.end = SECEditTextPos(range.start.line + static_cast<std::int32_t>(added),
                                   static_cast<std::int32_t>(size - lastFeed - 1));
    else
        range.end = SECEditTextPos(range.start.line, range.start.column + static_cast<std::int32_t>(size));
    ReclaimArena();
    return true;
}

void SECEditTextStore::SplitBlock(int index)
{
    Block whole = std::move(m_blocks[static_cast<std::size_t>(index)]);
    std::vector<Block> pieces;
    std::size_t start = 0;
    std::size_t feedIndex = 0;
    const std::size_t size = whole.text.size();
    auto cutPiece = [&](std::size_t end, std::size_t feedEnd) {
        Block piece;
        piece.text.reserve(end - start + (end - start) / 32);
        piece.text.assign(whole.text.begin() + static_cast<std::ptrdiff_t>(start),
                          whole.text.begin() + static_cast<std::ptrdiff_t>(end));
        RecountCarriageReturns(piece);
        piece.feeds.reserve(feedEnd - feedIndex);
        for (std::size_t f = feedIndex; f < feedEnd; ++f)
            piece.feeds.push_back(whole.feeds[f] - static_cast<std::uint32_t>(start));
        pieces.push_back(std::move(piece));
        start = end;
        feedIndex = feedEnd;
    };
    while (size - start > MaxBlock)
    {
        // Cut after the first line feed at or beyond the target size.
        const auto it = std::lower_bound(whole.feeds.begin() + static_cast<std::ptrdiff_t>(feedIndex),
                                         whole.feeds.end(), static_cast<std::uint32_t>(start + TargetBlock - 1));
        if (it == whole.feeds.end() || std::size_t(*it) + 1 >= size)
            break;
        cutPiece(std::size_t(*it) + 1, static_cast<std::size_t>(it - whole.feeds.begin()) + 1);
    }
    if (pieces.empty())
    {
        m_blocks[static_cast<std::size_t>(index)] = std::move(whole);
        RebuildTrees();
        return;
    }
    cutPiece(size, whole.feeds.size());
    m_blocks[static_cast<std::size_t>(index)] = std::move(pieces.front());
    m_blocks.insert(m_blocks.begin() + index + 1, std::make_move_iterator(pieces.begin() + 1),
                    std::make_move_iterator(pieces.end()));
    RebuildTrees();
}

void SECEditTextStore::MergeWithNext(int index)
{
    Block& a = m_blocks[static_cast<std::size_t>(index)];
    Block& b = m_blocks[static_cast<std::size_t>(index) + 1];
    const std::uint32_t base = static_cast<std::uint32_t>(a.text.size());
    Grow(a.text, a.text.size() + b.text.size());
    a.text.insert(a.text.end(), b.text.begin(), b.text.end());
    // `a` ends with its line feed, so no carriage return changes company.
    a.carriageReturns += b.carriageReturns;
    a.loneCarriageReturns += b.loneCarriageReturns;
    a.feeds.reserve(a.feeds.size() + b.feeds.size());
    for (std::uint32_t f : b.feeds)
        a.feeds.push_back(base + f);
    m_blocks.erase(m_blocks.begin() + index + 1);
}

bool SECEditTextStore::Delete(const SECEditTextRange& range)
{
    int bs = 0;
    int be = 0;
    std::size_t ls = 0;
    std::size_t le = 0;
    if (!range.IsOrdered() || !LocatePosition(range.start.line, range.start.column, false, bs, ls, nullptr) ||
        !LocatePosition(range.end.line, range.end.column, false, be, le, nullptr))
        return false;
    if (range.IsEmpty())
        return true;

    bool structural = false;
    Block& first = m_blocks[static_cast<std::size_t>(bs)];
    if (bs == be)
    {
        const std::size_t removed = le - ls;
        const std::size_t around = ls > 0 ? ls - 1 : 0;
        const std::uint32_t loneBefore = CountLone(first, around, le);
        first.carriageReturns -= CountCarriageReturns(first.text.data() + ls, removed);
        first.text.erase(first.text.begin() + static_cast<std::ptrdiff_t>(ls),
                         first.text.begin() + static_cast<std::ptrdiff_t>(le));
        const auto from = std::lower_bound(first.feeds.begin(), first.feeds.end(), static_cast<std::uint32_t>(ls));
        const auto to = std::lower_bound(from, first.feeds.end(), static_cast<std::uint32_t>(le));
        const std::int64_t feedsRemoved = to - from;
        for (auto it = to; it != first.feeds.end(); ++it)
            *it -= static_cast<std::uint32_t>(removed);
        first.feeds.erase(from, to);
        first.loneCarriageReturns += CountLone(first, around, ls) - loneBefore;
        m_chars->Add(static_cast<std::size_t>(bs), -static_cast<std::int64_t>(removed));
        m_feeds->Add(static_cast<std::size_t>(bs), -feedsRemoved);
    }
    else
    {
        // Keep the head of the first block and the tail of the last one, as
        // one block: the joined line must stay in one piece.
        Block& last = m_blocks[static_cast<std::size_t>(be)];
        first.text.resize(ls);
        first.feeds.erase(std::lower_bound(first.feeds.begin(), first.feeds.end(), static_cast<std::uint32_t>(ls)),
                          first.feeds.end());
        Grow(first.text, ls + last.text.size() - le);
        first.text.insert(first.text.end(), last.text.begin() + static_cast<std::ptrdiff_t>(le), last.text.end());
        for (auto it = std::lower_bound(last.feeds.begin(), last.feeds.end(), static_cast<std::uint32_t>(le));
             it != last.feeds.end(); ++it)
            first.feeds.push_back(static_cast<std::uint32_t>(*it - le + ls));
        RecountCarriageReturns(first);
        m_blocks.erase(m_blocks.begin() + bs + 1, m_blocks.begin() + be + 1);
        structural = true;
    }

    // Keep blocks from becoming empty or tiny.
    Block& b = m_blocks[static_cast<std::size_t>(bs)];
    if (b.text.empty() && m_blocks.size() > 1)
    {
        m_blocks.erase(m_blocks.begin() + bs);
        structural = true;
    }
    else if (b.text.size() < MinBlock && m_blocks.size() > 1)
    {
        const std::size_t i = static_cast<std::size_t>(bs);
        if (i + 1 < m_blocks.size() && b.text.size() + m_blocks[i + 1].text.size() <= MaxBlock)
        {
            MergeWithNext(bs);
            structural = true;
        }
        else if (i > 0 && b.text.size() + m_blocks[i - 1].text.size() <= MaxBlock)
        {
            MergeWithNext(bs - 1);
            structural = true;
        }
    }
    if (structural)
    {
        const std::size_t i = std::min(static_cast<std::size_t>(bs), m_blocks.size() - 1);
        if (m_blocks[i].text.size() > MaxBlock)
            SplitBlock(static_cast<int>(i)); // rebuilds the trees
        else
            RebuildTrees();
    }
    ReclaimArena();
    return true;
}

// ---------------------------------------------------------------------------
// Many replacements at once

bool SECEditTextStore::ReplaceSpans(const std::vector<SpanEdit>& edits)
{
    // Where each edit falls in the text as it is now: block and position in
    // the block. Everything is checked before anything changes.
    struct Local
    {
        int block;
        std::size_t at;
        std::size_t removed;
        std::u16string_view inserted;
    };
    thread_local std::vector<Local> local;
    local.clear();
    local.reserve(edits.size());
    const auto isBreak = [this](char16_t c) {
        return c == m_lineFeed || (m_carriageReturn != 0 && c == m_carriageReturn);
    };
    std::ptrdiff_t shift = 0;
    std::ptrdiff_t previousEnd = 0;
    for (const SpanEdit& edit : edits)
    {
        const std::ptrdiff_t at = edit.offset - shift;
        if (edit.removed < 0 || at < previousEnd || at + edit.removed > GetLength())
            return false;
        const int block = FindBlock(at, false);
        const std::size_t base = std::size_t(GetBlockStart(block));
        const Block& b = m_blocks[std::size_t(block)];
        const std::size_t inBlock = std::size_t(at) - base;
        if (inBlock + std::size_t(edit.removed) > b.text.size())
            return false;
        if (std::any_of(edit.inserted.begin(), edit.inserted.end(), isBreak))
            return false;
        local.push_back({block, inBlock, std::size_t(edit.removed), edit.inserted});
        previousEnd = at + edit.removed;
        shift += std::ptrdiff_t(edit.inserted.size()) - edit.removed;
    }
    // The text at the edits, read a little ahead of the check: the places lie
    // far apart, and waiting for each in turn would cost more than the check.
    constexpr std::size_t Ahead = 16;
    const auto at = [this](const Local& e) { return m_blocks[std::size_t(e.block)].text.data() + e.at; };
    for (std::size_t k = 0; k < local.size(); ++k)
    {
        if (k + Ahead < local.size())
            __builtin_prefetch(at(local[k + Ahead]));
        const Local& e = local[k];
        const char16_t* removed = at(e);
        if (std::any_of(removed, removed + e.removed, isBreak))
            return false;
        // The character before is the text's own unless an earlier edit ends
        // right here (its inserted text then holds no carriage return).
        const bool follows = k > 0 && local[k - 1].block == e.block && local[k - 1].at + local[k - 1].removed == e.at;
        if (e.at > 0 && !follows && m_carriageReturn != 0 && removed[-1] == m_carriageReturn)
            return false;
    }

    thread_local std::vector<char16_t> scratch;
    for (std::size_t first = 0; first < local.size();)
    {
        std::size_t last = first;
        while (last < local.size() && local[last].block == local[first].block)
            ++last;
        Block& b = m_blocks[std::size_t(local[first].block)];
        // The pieces between edits move by the running sum of the size
        // changes before them: from the back when none moves left, from the
        // front when none moves right, otherwise through a scratch copy.
        std::ptrdiff_t sum = 0;
        bool right = true;
        bool left = true;
        for (std::size_t k = first; k < last; ++k)
        {
            sum += std::ptrdiff_t(local[k].inserted.size()) - std::ptrdiff_t(local[k].removed);
            right = right && sum >= 0;
            left = left && sum <= 0;
        }
        const std::size_t oldSize = b.text.size();
        const std::size_t newSize = std::size_t(std::ptrdiff_t(oldSize) + sum);
        const auto copy = [](char16_t* to, const char16_t* from, std::size_t n) {
            if (n > 0)
                std::memmove(to, from, n * sizeof(char16_t));
        };
        if (right)
        {
            if (newSize > b.text.capacity())
                b.text.reserve(std::max(newSize, b.text.capacity() + b.text.capacity() / 2));
            b.text.resize(newSize);
            char16_t* p = b.text.data();
            std::size_t tail = oldSize; // end of the piece still to move
            std::ptrdiff_t moved = sum;
            for (std::size_t k = last; k-- > first;)
            {
                const Local& e = local[k];
                const std::size_t end = e.at + e.removed;
                copy(p + std::ptrdiff_t(end) + moved, p + end, tail - end);
                moved -= std::ptrdiff_t(e.inserted.size()) - std::ptrdiff_t(e.removed);
                copy(p + std::ptrdiff_t(e.at) + moved, e.inserted.data(), e.inserted.size());
                tail = e.at;
            }
        }
        else if (left)
        {
            char16_t* p = b.text.data();
            std::ptrdiff_t moved = 0;
            for (std::size_t k = first; k < last; ++k)
            {
                const Local& e = local[k];
                copy(p + std::ptrdiff_t(e.at) + moved, e.inserted.data(), e.inserted.size());
                const std::ptrdiff_t after = moved + std::ptrdiff_t(e.inserted.size()) - std::ptrdiff_t(e.removed);
                const std::size_t end = e.at + e.removed;
                const std::size_t next = k + 1 < last ? local[k + 1].at : oldSize;
                copy(p + std::ptrdiff_t(end) + after, p + end, next - end);
                moved = after;
            }
            b.text.resize(newSize);
        }
        else
        {
            scratch.clear();
            std::size_t from = 0;
            for (std::size_t k = first; k < last; ++k)
            {
                scratch.insert(scratch.end(), b.text.begin() + std::ptrdiff_t(from),
                               b.text.begin() + std::ptrdiff_t(local[k].at));
                scratch.insert(scratch.end(), local[k].inserted.begin(), local[k].inserted.end());
                from = local[k].at + local[k].removed;
            }
            scratch.insert(scratch.end(), b.text.begin() + std::ptrdiff_t(from), b.text.end());
            b.text.assign(scratch.begin(), scratch.end());
        }
        // Line feeds after an edit move with it; none came or went.
        std::size_t k = first;
        std::ptrdiff_t moved = 0;
        for (std::uint32_t& feed : b.feeds)
        {
            while (k < last && local[k].at + local[k].removed <= feed)
            {
                moved += std::ptrdiff_t(local[k].inserted.size()) - std::ptrdiff_t(local[k].removed);
                ++k;
            }
            feed = static_cast<std::uint32_t>(std::ptrdiff_t(feed) + moved);
        }
        first = last;
    }

    // A block left empty goes; one grown past the largest size is split.
    // Both only where edits fell, from the back so indices stay valid.
    for (std::size_t k = local.size(); k-- > 0;)
    {
        const int index = local[k].block;
        if (k + 1 < local.size() && local[k + 1].block == index)
            continue;
        if (std::size_t(index) >= m_blocks.size())
            continue;
        if (m_blocks[std::size_t(index)].text.empty() && m_blocks.size() > 1)
            m_blocks.erase(m_blocks.begin() + index);
        else if (m_blocks[std::size_t(index)].text.size() > MaxBlock)
            SplitBlock(index);
    }
    if (!local.empty())
        RebuildTrees();
    ReclaimArena();
    return true;
}
