#include "engine/SECEditTextStore.h"

#include "engine/SafeFileWriter.h"
#include "engine/TextEncoder.h"
#include "engine/TextFileFormat.h"

#include <memory>
#include <utility>

namespace {

constexpr std::size_t kPortion = 256000;   // characters encoded at a time
constexpr std::size_t kFlushAt = 1 << 20;  // bytes gathered before a write

// Encodes the store's pieces into one buffer and writes it in large portions:
// a text of many small blocks still costs few system calls.
class EncodedOutput
{
public:
    EncodedOutput(SafeFileWriter& file, TextEncoding encoding)
        : m_file(file), m_encoder(encoding),
          m_buffer(std::make_unique_for_overwrite<char[]>(kFlushAt + TextEncoder::MaxBytes(kPortion)))
    {
    }

    bool Put(std::u16string_view text)
    {
        while (!text.empty()) {
            const std::u16string_view piece = text.substr(0, kPortion);
            text.remove_prefix(piece.size());
            m_used += m_encoder.Encode(piece, m_buffer.get() + m_used);
            if (m_used >= kFlushAt && !Flush())
                return false;
        }
        return true;
    }

    bool Finish()
    {
        m_used += m_encoder.Finish(m_buffer.get() + m_used);
        return Flush();
    }

private:
    bool Flush()
    {
        const bool ok = m_used == 0 || m_file.Write(m_buffer.get(), m_used);
        m_used = 0;
        return ok;
    }

    SafeFileWriter& m_file;
    TextEncoder m_encoder;
    std::unique_ptr<char[]> m_buffer;
    std::size_t m_used = 0;
};

bool WritePieces(const SECEditTextStore& store, SafeFileWriter& file, std::ptrdiff_t offset,
                 std::ptrdiff_t count, TextEncoding encoding)
{
    EncodedOutput out(file, encoding);
    if (count == 0)
        return true;
    bool written = true;
    const bool walked = store.ForEachChunk(offset, count, [&](std::u16string_view piece) {
        written = out.Put(piece);
        return written;
    });
    return walked && written && out.Finish();
}

} // namespace

bool SECEditTextStore::Write(SafeFileWriter& file, TextEncoding encoding) const
{
    const std::string_view mark = TextFileFormat::ByteOrderMark(encoding);
    if (!mark.empty() && !file.Write(mark.data(), mark.size()))
        return false;
    return WritePieces(*this, file, 0, GetLength(), encoding);
}

bool SECEditTextStore::WriteRange(SafeFileWriter& file, std::ptrdiff_t offset, std::ptrdiff_t count,
                                  TextEncoding encoding) const
{
    if (offset < 0 || count < 0 || offset > GetLength() || count > GetLength() - offset)
        return false;
    return WritePieces(*this, file, offset, count, encoding);
}

namespace {
// The store's members as Swap knows them: a member added to the store without
// a line in Swap fails here rather than loading half a document.
struct StoreLayout
{
    virtual ~StoreLayout() = default;
    std::unique_ptr<int> arena;
    std::vector<std::unique_ptr<int>> blocks;
    std::unique_ptr<int> chars;
    std::unique_ptr<int> feeds;
    char16_t lineFeed;
    char16_t carriageReturn;
};
} // namespace

void SECEditTextStore::Swap(SECEditTextStore& other) noexcept
{
    static_assert(sizeof(SECEditTextStore) == sizeof(StoreLayout), "Swap must exchange every member");
    std::swap(m_arena, other.m_arena); // the blocks keep pointing at theirs
    std::swap(m_blocks, other.m_blocks);
    std::swap(m_chars, other.m_chars);
    std::swap(m_feeds, other.m_feeds);
    std::swap(m_lineFeed, other.m_lineFeed);
    std::swap(m_carriageReturn, other.m_carriageReturn);
}
