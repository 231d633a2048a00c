#pragma once

#include "engine/ITextLoadSink.h"
#include "engine/TextEncoding.h"

#include <cstddef>
#include <string>

// Reads a text file in its own encoding into a sink. The encoding is found
// from the opening bytes (a mark, or the zero high bytes of UTF-16) and, for
// 8-bit files, from the whole content: valid UTF-8 stays UTF-8, anything else
// is read again as Windows-1252. Pieces are read at fixed sizes; a multi-byte
// sequence cut by a piece boundary is carried over whole.
class TextFileReader
{
public:
    enum class Status
    {
        Ok,
        CannotOpen,   // errorNumber says why
        NotAFile,     // a directory or a device
        ReadFailed,   // errorNumber says why
        ContainsNul,  // a zero character: the text cannot hold it
        OutOfMemory,  // the sink had no room
    };

    struct Result
    {
        Status status = Status::Ok;
        int errorNumber = 0;
        TextEncoding encoding = TextEncoding::Utf8;
        // The odd last byte of a UTF-16 file: no character holds it, so it is
        // kept here and written back after the text.
        std::string trailingBytes;
    };

    // Small enough that a piece and its decoded characters stay in the
    // processor's cache on their way into the store.
    static constexpr std::size_t kPieceSize8Bit = 65536;
    static constexpr std::size_t kPieceSizeUtf16 = 131072;
    static constexpr std::size_t kSampleSize = 65536;

    static Result Read(const std::string& path, ITextLoadSink& sink);
};
