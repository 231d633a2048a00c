#pragma once

#include "engine/SECEditBlockArena.h"
#include "engine/SECEditTextRange.h"
#include "engine/TextEncoding.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class SafeFileWriter;

// The characters of one document, with their line structure.
//
// The text is kept in blocks of a few thousand characters, each holding whole
// lines (a block ends just after a line feed, except the last one). Each block
// knows where its line feeds are; the counts of characters and line feeds of
// all blocks are summed in Fenwick trees, so finding a line or an offset costs
// O(log blocks) and an edit touches one or a few blocks wherever it is. A line
// is therefore always contiguous in memory, while a range over several lines
// may not be (GetTextPointer answers -1 then).
//
// Lines: the line feed character alone separates lines. A line's text runs
// from its start to the first carriage return or line feed; its full length
// also counts the characters after that up to and including its line feed. A
// text that ends with a line feed has an empty last line. Offsets are 64-bit.
class SECEditTextStore
{
public:
    SECEditTextStore();
    virtual ~SECEditTextStore();
    SECEditTextStore(const SECEditTextStore&) = delete;
    SECEditTextStore& operator=(const SECEditTextStore&) = delete;

    // Inserts `count` characters (-1: up to the first NUL; the text always
    // stops at its first NUL) at the range's start and sets the range's end to
    // just after them. Fails (false, nothing changed) when the start does not
    // exist: a line out of range, or a column past the line's line feed.
    virtual bool Insert(SECEditTextRange& range, const char16_t* text, std::ptrdiff_t count);
    // Removes the characters from the range's start up to, not including, its
    // end. Fails when an end does not exist or the range is not ordered.
    virtual bool Delete(const SECEditTextRange& range);

    virtual std::int32_t GetLineCount() const;
    // -1 for a line that does not exist.
    virtual std::int32_t GetFullLineLength(std::int32_t line) const;
    virtual std::int32_t GetLineLength(std::int32_t line) const;

    virtual void SetLineFeedChar(char16_t c);
    virtual char16_t GetLineFeedChar() const;
    // 0: lines end with the line feed alone (a carriage return is then an
    // ordinary character).
    virtual void SetCarriageReturnChar(char16_t c);
    virtual char16_t GetCarriageReturnChar() const;

    // Copies the range into `out`. An end line or end column of -1 means the
    // end of the start line, its line end included. False when a position
    // does not exist or the range is not ordered.
    virtual bool GetText(std::u16string& out, std::int32_t startLine, std::int32_t startColumn,
                         std::int32_t endLine, std::int32_t endColumn) const;
    // A pointer into the store (valid until the next change) and the count of
    // characters; -1 when the range is not contiguous, 0 when a position does
    // not exist.
    virtual std::ptrdiff_t GetTextPointer(const char16_t*& pointer, std::int32_t startLine,
                                          std::int32_t startColumn, std::int32_t endLine,
                                          std::int32_t endColumn) const;

    // Back to one empty line; line feed 10, carriage return 13.
    virtual void Reset();

    // -1 for a line that does not exist or a column past the line's full
    // length (the line end may be addressed).
    virtual std::ptrdiff_t PositionToOffset(std::int32_t line, std::int32_t column) const;
    // False for an offset outside 0..GetLength().
    virtual bool OffsetToPosition(std::ptrdiff_t offset, std::int32_t& line, std::int32_t& column) const;

    // Insert for loading: the same as Insert, never notifying anyone.
    virtual bool InsertAt(SECEditTextRange& range, const char16_t* text, std::ptrdiff_t count);

    // --- Fast paths -------------------------------------------------------

    // Appends at the very end, building blocks at their final size. Stops at
    // the first NUL.
    void AppendText(std::u16string_view text);
    // Reserves room for roughly `count` more characters before a bulk load.
    // For a large load, the blocks appended until the next Reset are carved
    // out of large chunks of memory (see SECEditBlockArena).
    void Reserve(std::ptrdiff_t count);

    // Number of characters, line ends included.
    std::ptrdiff_t GetLength() const noexcept;

    // The line's text (without its line end) as a view into the store, valid
    // until the next change; its length, or -1 when the line does not exist.
    std::int32_t GetLineText(std::int32_t line, const char16_t*& pointer) const;
    std::int32_t GetLineText(std::int32_t line, std::u16string_view& text) const;
    // The offset of the line's first character, or -1.
    std::ptrdiff_t GetLineStart(std::int32_t line) const;

    // Calls `sink` with consecutive contiguous pieces of the characters from
    // `offset` on, `count` of them (-1: to the end). Stops early and returns
    // false when the sink returns false or the span is outside the text.
    bool ForEachChunk(std::ptrdiff_t offset, std::ptrdiff_t count,
                      const std::function<bool(std::u16string_view)>& sink) const;

    // Blocks, for callers that walk the text themselves.
    int GetBlockCount() const noexcept;
    std::u16string_view GetBlock(int index) const;
    std::ptrdiff_t GetBlockStart(int index) const;
    // The block holding the offset; with `atEnd`, an offset at a block's end
    // belongs to that block rather than the next. -1 when out of range.
    int FindBlock(std::ptrdiff_t offset, bool atEnd) const;

    // One replacement inside a line: `removed` characters at `offset` give
    // way to `inserted`.
    struct SpanEdit
    {
        std::ptrdiff_t offset = 0;
        std::int32_t removed = 0;
        std::u16string_view inserted;
    };
    // Carries out many replacements in one pass over the blocks they touch,
    // as the same Delete and Insert calls one after another would. Offsets
    // ascend, each in the text as the edits before it left it, and spans
    // don't overlap. No edit may remove or insert a line feed or carriage
    // return or start just after a carriage return, so lines keep their
    // number and their line ends. Otherwise false, and nothing changes.
    virtual bool ReplaceSpans(const std::vector<SpanEdit>& edits);

    // Whether an edit may start or end here: the line exists and the column
    // lies between 0 and the line's line feed (inclusive), so the line end
    // itself can only be removed together with the start of the next line.
    bool IsEditablePosition(std::int32_t line, std::int32_t column) const;

    // The first line from `fromLine` to `toLine` whose full length exceeds
    // `threshold`, or -1. Walks the blocks directly, for checks over the
    // whole document.
    std::int32_t FindLongLine(std::int32_t fromLine, std::int32_t toLine, std::int32_t threshold) const;

    // Process-wide block sizes in characters (defaults 4096, 8192, 1024).
    // Tests shrink them to exercise splitting and merging on small texts.
    static void SetBlockSizes(std::size_t target, std::size_t max, std::size_t min);

    // Heap bytes held for the text and its index (approximate, for reports).
    std::size_t GetMemoryUsage() const noexcept;

    // --- Files (SECEditTextStoreWrite.cpp) ----------------------------------

    // Writes the whole text in the encoding, its byte-order mark first.
    virtual bool Write(SafeFileWriter& file, TextEncoding encoding) const;
    // Writes `count` characters from `offset` (no mark). A surrogate pair cut
    // by the range's ends is written as U+FFFD in UTF-8.
    virtual bool WriteRange(SafeFileWriter& file, std::ptrdiff_t offset, std::ptrdiff_t count,
                            TextEncoding encoding) const;
    // Exchanges the whole text with another store: a file is loaded into a
    // fresh store and swapped in only once it has been read completely.
    void Swap(SECEditTextStore& other) noexcept;

private:
    struct Block
    {
        Block() = default;
        explicit Block(SECEditBlockArena* arena) : text(SECEditBlockAllocator<char16_t>(arena)) {}

        // From the arena when loaded in bulk. The line feeds stay on the
        // heap: they are reallocated by other edits than the text, and would
        // otherwise keep large pages alive that the text has left.
        std::vector<char16_t, SECEditBlockAllocator<char16_t>> text;
        std::vector<std::uint32_t> feeds; // positions of the line feeds in `text`
        // Carriage returns in `text`, and those of them not followed by a
        // line feed. Without any, a line's length comes from `feeds` alone;
        // without lone ones, from `feeds` and the character before the feed.
        std::uint32_t carriageReturns = 0;
        std::uint32_t loneCarriageReturns = 0;
    };
    class Fenwick;

    // Where the blocks of a big load live; declared before the blocks, so it
    // outlives them.
    std::unique_ptr<SECEditBlockArena> m_arena;
    // Blocks are held by value: a line look-up then touches the block list,
    // the block's line feeds and its text, and nothing else.
    std::vector<Block> m_blocks;
    std::unique_ptr<Fenwick> m_chars; // characters per block
    std::unique_ptr<Fenwick> m_feeds; // line feeds per block
    char16_t m_lineFeed = 10;
    char16_t m_carriageReturn = 13;

    // `blockStart` and `offset` are computed only when asked for: they cost a
    // second walk of a tree.
    bool LocateLine(std::int32_t line, int& block, std::int32_t& localLine, std::ptrdiff_t* blockStart) const;
    bool LocatePosition(std::int32_t line, std::int32_t column, bool allowPastFeed, int& block,
                        std::size_t& local, std::ptrdiff_t* offset) const;
    std::size_t LineStartInBlock(const Block& b, std::int32_t localLine) const;
    std::size_t LineEndInBlock(int block, const Block& b, std::int32_t localLine) const;
    bool InsertChars(SECEditTextRange& range, const char16_t* text, std::ptrdiff_t count);
    void SplitBlock(int index);
    void MergeWithNext(int index);
    void RebuildTrees();
    void ReclaimArena() noexcept;
    void RebuildAll(std::u16string text);
    void RescanFeeds(Block& b) const;
    std::uint32_t CountCarriageReturns(const char16_t* p, std::size_t n) const;
    // Whether one of the lines [from, to) of the block has a full length
    // above `limit`.
    static bool AnyLineLonger(const Block& b, std::size_t from, std::size_t to, std::size_t limit);
    // Lone carriage returns among text[from, to) of the block.
    std::uint32_t CountLone(const Block& b, std::size_t from, std::size_t to) const;
    void RecountCarriageReturns(Block& b) const;
};
