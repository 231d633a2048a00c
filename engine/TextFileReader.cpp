#include "engine/TextFileReader.h"

#include "engine/TextFileFormat.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <memory>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

class FileDescriptor
{
public:
    explicit FileDescriptor(int fd) noexcept : m_fd(fd) {}
    ~FileDescriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int Get() const noexcept { return m_fd; }

private:
    int m_fd;
};

// Reads `size` bytes at `offset`, fewer only at the end of the file; -1 with
// errno set on failure.
std::int64_t ReadAt(int fd, void* buffer, std::size_t size, std::uint64_t offset) noexcept
{
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n = ::pread(fd, static_cast<char*>(buffer) + done, size - done,
                                  static_cast<off_t>(offset + done));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return -1;
        }
        if (n == 0)
            break;
        done += static_cast<std::size_t>(n);
    }
    return static_cast<std::int64_t>(done);
}

using Status = TextFileReader::Status;
using Result = TextFileReader::Result;

void Read8Bit(int fd, std::uint64_t size, Result& result, ITextLoadSink& sink)
{
    if (!sink.Begin(size)) {
        result.status = Status::OutOfMemory;
        return;
    }
    // Room for a piece plus the few bytes of a sequence carried over.
    const auto buffer = std::make_unique_for_overwrite<unsigned char[]>(
        TextFileReader::kPieceSize8Bit + 4);
    bool asUtf8 = result.encoding != TextEncoding::Windows1252;
    std::uint64_t offset = TextFileFormat::ByteOrderMark(result.encoding).size();
    std::size_t carry = 0;
    for (;;) {
        const std::size_t want
            = std::min<std::uint64_t>(TextFileReader::kPieceSize8Bit, size - offset);
        const std::int64_t n = ReadAt(fd, buffer.get() + carry, want, offset);
        if (n < 0) {
            result.status = Status::ReadFailed;
            result.errorNumber = errno;
            return;
        }
        offset += static_cast<std::uint64_t>(n);
        const std::size_t available = carry + static_cast<std::size_t>(n);
        const bool atEnd = static_cast<std::size_t>(n) < want || offset >= size;
        if (available == 0)
            return;
        char16_t* out = sink.Prepare(available);
        const TextFileFormat::DecodeResult r
            = asUtf8 ? TextFileFormat::DecodeUtf8(buffer.get(), available, out, atEnd)
                     : TextFileFormat::DecodeWindows1252(buffer.get(), available, out);
        if (r.status == TextFileFormat::DecodeStatus::ContainsNul) {
            result.status = Status::ContainsNul;
            return;
        }
        if (r.status == TextFileFormat::DecodeStatus::Invalid) {
            // Not UTF-8 after all: every byte is a Windows-1252 character,
            // the mark-like bytes at the start included.
            result.encoding = TextEncoding::Windows1252;
            asUtf8 = false;
            offset = 0;
            carry = 0;
            if (!sink.Begin(size)) {
                result.status = Status::OutOfMemory;
                return;
            }
            continue;
        }
        sink.Commit(r.produced);
        carry = available - r.consumed;
        if (atEnd)
            return;
        std::memmove(buffer.get(), buffer.get() + r.consumed, carry);
    }
}

void ReadUtf16(int fd, std::uint64_t size, Result& result, ITextLoadSink& sink)
{
    const std::uint64_t skip = TextFileFormat::ByteOrderMark(result.encoding).size();
    const std::uint64_t units = (size - skip) / 2;
    if (!sink.Begin(units)) {
        result.status = Status::OutOfMemory;
        return;
    }
    std::uint64_t offset = skip;
    std::uint64_t left = units;
    while (left > 0) {
        const std::size_t want = std::min<std::uint64_t>(TextFileReader::kPieceSizeUtf16 / 2, left);
        char16_t* out = sink.Prepare(want);
        // Little-endian code units need no conversion: read them into place.
        const std::int64_t n = ReadAt(fd, out, want * 2, offset);
        if (n < 0) {
            result.status = Status::ReadFailed;
            result.errorNumber = errno;
            return;
        }
        const std::size_t got = static_cast<std::size_t>(n) / 2;
        if constexpr (std::endian::native == std::endian::big) {
            for (std::size_t k = 0; k < got; ++k)
                out[k] = char16_t((out[k] >> 8) | (out[k] << 8));
        }
        if (TextFileFormat::ContainsNul(out, got)) {
            result.status = Status::ContainsNul;
            return;
        }
        sink.Commit(got);
        offset += 2 * got;
        left -= got;
        if (got < want)
            return; // the file shrank while being read
    }
    if ((size - skip) % 2 != 0) {
        char last = 0;
        const std::int64_t n = ReadAt(fd, &last, 1, offset);
        if (n < 0) {
            result.status = Status::ReadFailed;
            result.errorNumber = errno;
            return;
        }
        if (n == 1)
            result.trailingBytes.assign(1, last);
    }
}

} // namespace

TextFileReader::Result TextFileReader::Read(const std::string& path, ITextLoadSink& sink)
{
    Result result;
    // Opening a named pipe for reading would wait for a writer, and a socket
    // cannot be opened at all: look first, and open without waiting in case
    // the path is replaced in between.
    struct stat named {};
    if (::stat(path.c_str(), &named) == 0 && !S_ISREG(named.st_mode)) {
        result.status = Status::NotAFile;
        result.errorNumber = S_ISDIR(named.st_mode) ? EISDIR : EINVAL;
        return result;
    }
    FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (file.Get() < 0) {
        result.status = Status::CannotOpen;
        result.errorNumber = errno;
        return result;
    }
    struct stat info {};
    if (::fstat(file.Get(), &info) != 0) {
        result.status = Status::ReadFailed;
        result.errorNumber = errno;
        return result;
    }
    if (!S_ISREG(info.st_mode)) {
        result.status = Status::NotAFile;
        result.errorNumber = S_ISDIR(info.st_mode) ? EISDIR : EINVAL;
        return result;
    }
    const auto size = static_cast<std::uint64_t>(info.st_size);
    ::posix_fadvise(file.Get(), 0, 0, POSIX_FADV_SEQUENTIAL);

    std::string head(std::min<std::uint64_t>(size, kSampleSize), '\0');
    const std::int64_t n = ReadAt(file.Get(), head.data(), head.size(), 0);
    if (n < 0) {
        result.status = Status::ReadFailed;
        result.errorNumber = errno;
        return result;
    }
    head.resize(static_cast<std::size_t>(n));
    result.encoding = TextFileFormat::DetectFromHead(head, size);
    if (IsUtf16(result.encoding))
        ReadUtf16(file.Get(), size, result, sink);
    else
        Read8Bit(file.Get(), size, result, sink);
    return result;
}
