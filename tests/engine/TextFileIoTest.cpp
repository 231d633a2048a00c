#include "engine/SECEditTextStore.h"
#include "engine/SafeFileWriter.h"
#include "engine/TextFileFormat.h"
#include "engine/TextFileReader.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include <csignal>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

class StringSink : public ITextLoadSink
{
public:
    bool Begin(std::size_t) override
    {
        text.clear();
        ++begins;
        return true;
    }
    char16_t* Prepare(std::size_t count) override
    {
        m_used = text.size();
        text.resize(m_used + count);
        return text.data() + m_used;
    }
    void Commit(std::size_t count) override { text.resize(m_used + count); }

    std::u16string text;
    int begins = 0;

private:
    std::size_t m_used = 0;
};

class TempDir
{
public:
    TempDir()
    {
        std::string pattern = (fs::temp_directory_path() / "tavro-io-XXXXXX").string();
        path = ::mkdtemp(pattern.data());
    }
    ~TempDir()
    {
        std::error_code ignored;
        fs::permissions(path, fs::perms::owner_all, fs::perm_options::add, ignored);
        fs::remove_all(path, ignored);
    }
    std::string File(const std::string& name) const { return (path / name).string(); }
    fs::path path;
};

void WriteBytes(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string ReadBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

} // namespace

TEST(TextFileReader, PieceBoundaryInsideAMultiByteCharacter)
{
    TempDir dir;
    // 700,000 bytes with a 3-byte character straddling the first piece's end.
    std::string bytes(TextFileReader::kPieceSize8Bit - 1, 'a');
    bytes += "\xE2\x82\xAC";
    bytes += std::string(700000 - bytes.size(), 'b');
    WriteBytes(dir.File("euro.txt"), bytes);

    StringSink sink;
    const auto result = TextFileReader::Read(dir.File("euro.txt"), sink);
    ASSERT_EQ(result.status, TextFileReader::Status::Ok);
    EXPECT_EQ(result.encoding, TextEncoding::Utf8);
    ASSERT_EQ(sink.text.size(), 700000u - 2);
    EXPECT_EQ(sink.text[TextFileReader::kPieceSize8Bit - 1], u'\u20AC');
    EXPECT_EQ(TextFileFormat::Encode(sink.text, result.encoding), bytes);
}

TEST(TextFileReader, InvalidUtf8LateInTheFileRereadsItAsWindows1252)
{
    TempDir dir;
    std::string bytes = "\xC3\xA9" + std::string(600000, 'x') + "\xE9t\xE9";
    WriteBytes(dir.File("late.txt"), bytes);
    StringSink sink;
    const auto result = TextFileReader::Read(dir.File("late.txt"), sink);
    ASSERT_EQ(result.status, TextFileReader::Status::Ok);
    EXPECT_EQ(result.encoding, TextEncoding::Windows1252);
    EXPECT_EQ(sink.begins, 2);
    EXPECT_EQ(sink.text.size(), bytes.size());
    EXPECT_EQ(TextFileFormat::Encode(sink.text, result.encoding), bytes);
}

TEST(TextFileReader, LargeUtf16FileAndOddLastByte)
{
    TempDir dir;
    std::string bytes = "\xFF\xFE";
    while (bytes.size() < 3000000)
        bytes += std::string("l\0i\0n\0e\0\r\0\n\0", 12);
    bytes.resize(3000000);
    WriteBytes(dir.File("wide.txt"), bytes);
    StringSink sink;
    auto result = TextFileReader::Read(dir.File("wide.txt"), sink);
    ASSERT_EQ(result.status, TextFileReader::Status::Ok);
    EXPECT_EQ(result.encoding, TextEncoding::Utf16LEWithMark);
    EXPECT_EQ(sink.text.size(), (3000000u - 2) / 2);
    EXPECT_EQ(TextFileFormat::Encode(sink.text, result.encoding), bytes);

    WriteBytes(dir.File("odd.txt"), bytes + "\x7F");
    result = TextFileReader::Read(dir.File("odd.txt"), sink);
    ASSERT_EQ(result.status, TextFileReader::Status::Ok);
    EXPECT_EQ(result.trailingBytes, "\x7F");
}

TEST(TextFileReader, Failures)
{
    TempDir dir;
    StringSink sink;
    auto result = TextFileReader::Read(dir.File("missing.txt"), sink);
    EXPECT_EQ(result.status, TextFileReader::Status::CannotOpen);
    EXPECT_EQ(result.errorNumber, ENOENT);

    result = TextFileReader::Read(dir.path.string(), sink);
    EXPECT_EQ(result.status, TextFileReader::Status::NotAFile);
    EXPECT_EQ(result.errorNumber, EISDIR);

    WriteBytes(dir.File("nul.txt"), std::string(700000, 'a') + std::string(1, '\0'));
    result = TextFileReader::Read(dir.File("nul.txt"), sink);
    EXPECT_EQ(result.status, TextFileReader::Status::ContainsNul);
}

TEST(SafeFileWriter, ReplacesTheTargetAndKeepsItsPermissions)
{
    TempDir dir;
    const std::string target = dir.File("a.txt");
    WriteBytes(target, "old");
    ::chmod(target.c_str(), 0640);
    SafeFileWriter writer(target);
    ASSERT_TRUE(writer.Open());
    ASSERT_TRUE(writer.Write("new", 3));
    EXPECT_EQ(ReadBytes(target), "old"); // untouched until the commit
    ASSERT_TRUE(writer.Commit()) << writer.Error();
    EXPECT_EQ(ReadBytes(target), "new");
    struct stat info {};
    ASSERT_EQ(::stat(target.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path), fs::directory_iterator()), 1);
}

TEST(SafeFileWriter, SavingThroughALinkKeepsTheLink)
{
    TempDir dir;
    WriteBytes(dir.File("real.txt"), "old");
    fs::create_symlink(dir.File("real.txt"), dir.File("link.txt"));
    SafeFileWriter writer(dir.File("link.txt"));
    ASSERT_TRUE(writer.Open());
    ASSERT_TRUE(writer.Write("new", 3));
    ASSERT_TRUE(writer.Commit());
    EXPECT_TRUE(fs::is_symlink(dir.File("link.txt")));
    EXPECT_EQ(ReadBytes(dir.File("real.txt")), "new");
}

TEST(SafeFileWriter, AbortLeavesNothingBehind)
{
    TempDir dir;
    const std::string target = dir.File("a.txt");
    WriteBytes(target, "old");
    {
        SafeFileWriter writer(target);
        ASSERT_TRUE(writer.Open());
        ASSERT_TRUE(writer.Write("partial", 7));
    } // destroyed without a commit
    EXPECT_EQ(ReadBytes(target), "old");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path), fs::directory_iterator()), 1);
}

// A save killed at any moment leaves the old file or the whole new one, and
// nothing else in the folder once the next save into it is done; with
// unnamed temporaries, nothing else even before.
TEST(SafeFileWriter, ASaveKilledAtAnyMomentLeavesNothingBehind)
{
    constexpr int chunks = 8;
    const std::string chunk(1 << 20, 'n');
    for (const bool namedOnly : {false, true}) {
        TempDir dir;
        const std::string target = dir.File("big.txt");
        WriteBytes(target, "old");
        // Moments: after opening, while writing, all written, and (not
        // waiting to be killed) during the commit itself.
        for (const int moment : {0, 3, chunks, chunks + 1}) {
            SCOPED_TRACE((namedOnly ? "named, moment " : "unnamed, moment ") + std::to_string(moment));
            int report[2];
            ASSERT_EQ(::pipe(report), 0);
            const pid_t child = ::fork();
            ASSERT_GE(child, 0);
            if (child == 0) {
                SafeFileWriter::UseNamedTemporariesOnly(namedOnly);
                SafeFileWriter writer(target);
                const char byte = 1;
                if (!writer.Open())
                    ::_exit(1);
                for (int i = 0; i <= chunks; ++i) {
                    if (i == moment || (i == chunks && moment > chunks))
                        [[maybe_unused]] const ssize_t sent = ::write(report[1], &byte, 1);
                    if (i == moment)
                        ::pause(); // killed here
                    if (i < chunks && !writer.Write(chunk.data(), chunk.size()))
                        ::_exit(1);
                }
                ::_exit(writer.Commit() ? 0 : 1);
            }
            ::close(report[1]);
            char byte = 0;
            ASSERT_EQ(::read(report[0], &byte, 1), 1);
            ::close(report[0]);
            ::kill(child, SIGKILL);
            int status = 0;
            ASSERT_EQ(::waitpid(child, &status, 0), child);

            const std::string now = ReadBytes(target);
            EXPECT_TRUE(now == "old" || now.size() == chunks * chunk.size()) << now.size();
            const auto entries = std::distance(fs::directory_iterator(dir.path), fs::directory_iterator());
            if (moment <= chunks) {
                EXPECT_EQ(entries, namedOnly ? 2 : 1) << "a named temporary is the killed save's own";
            }

            SafeFileWriter next(target);
            ASSERT_TRUE(next.Open()) << next.Error();
            ASSERT_TRUE(next.Write("old", 3));
            ASSERT_TRUE(next.Commit()) << next.Error();
            EXPECT_EQ(std::distance(fs::directory_iterator(dir.path), fs::directory_iterator()), 1);
        }
    }

    // Temporaries in the earlier naming carry no process id: the target's
    // own go once nothing has written to them for an hour.
    TempDir dir;
    const std::string target = dir.File("a.txt");
    for (const char* name : {".a.txt.123456.tmp", ".a.txt.654321.tmp", ".b.txt.111111.tmp"})
        WriteBytes(dir.File(name), "partial");
    const auto hoursAgo = fs::file_time_type::clock::now() - std::chrono::hours(2);
    fs::last_write_time(dir.File(".a.txt.123456.tmp"), hoursAgo);
    fs::last_write_time(dir.File(".b.txt.111111.tmp"), hoursAgo);
    SafeFileWriter writer(target);
    ASSERT_TRUE(writer.Open());
    ASSERT_TRUE(writer.Commit());
    EXPECT_FALSE(fs::exists(dir.File(".a.txt.123456.tmp")));
    EXPECT_TRUE(fs::exists(dir.File(".a.txt.654321.tmp"))) << "perhaps still being written";
    EXPECT_TRUE(fs::exists(dir.File(".b.txt.111111.tmp"))) << "another file's";
}

TEST(SafeFileWriter, FailuresNameTheFileAndTheReason)
{
    TempDir dir;
    SafeFileWriter intoMissingFolder(dir.File("no/such/folder/a.txt"));
    EXPECT_FALSE(intoMissingFolder.Open());
    EXPECT_NE(intoMissingFolder.Error().find("no/such/folder/a.txt"), std::string::npos);
    EXPECT_NE(intoMissingFolder.Error().find("No such file or directory"), std::string::npos);

    SafeFileWriter overFolder(dir.path.string());
    EXPECT_FALSE(overFolder.Open());
    EXPECT_NE(overFolder.Error().find("Is a directory"), std::string::npos);

    // Root may write into any folder, so only others see this refusal.
    if (::geteuid() != 0) {
        const std::string locked = dir.File("locked");
        fs::create_directory(locked);
        WriteBytes(locked + "/a.txt", "old");
        ::chmod(locked.c_str(), 0555);
        SafeFileWriter writer(locked + "/a.txt");
        EXPECT_FALSE(writer.Open());
        EXPECT_NE(writer.Error().find("Permission denied"), std::string::npos);
        EXPECT_EQ(ReadBytes(locked + "/a.txt"), "old");
    }
}

TEST(SafeFileWriter, ReadOnlyIsJudgedByThePermissionBits)
{
    TempDir dir;
    const std::string target = dir.File("ro.txt");
    EXPECT_FALSE(SafeFileWriter::IsReadOnly(target)); // missing: may be created
    WriteBytes(target, "x");
    EXPECT_FALSE(SafeFileWriter::IsReadOnly(target));
    ::chmod(target.c_str(), 0444);
    EXPECT_TRUE(SafeFileWriter::IsReadOnly(target)); // root included
}

TEST(SECEditTextStoreWrite, PairsCutByPortionsOrBlocksStayWhole)
{
    TempDir dir;
    // Lines of 99 characters and a line feed; one emoji straddles the
    // 256,000-character portion in which the text is encoded.
    std::u16string text;
    while (text.size() < 255999)
        text += std::u16string(99, u'x') + u'\n';
    text.resize(255999);
    text += u"\U0001F600";
    text += std::u16string(1000, u'y') + u"\r\n\u00E9";
    SECEditTextStore store;
    store.AppendText(text);
    ASSERT_GT(store.GetBlockCount(), 1);

    for (const TextEncoding encoding :
         {TextEncoding::Utf8, TextEncoding::Utf8WithMark, TextEncoding::Utf16LEWithMark}) {
        SafeFileWriter file(dir.File("out.txt"));
        ASSERT_TRUE(file.Open());
        ASSERT_TRUE(store.Write(file, encoding));
        ASSERT_TRUE(file.Commit());
        EXPECT_EQ(ReadBytes(dir.File("out.txt")), TextFileFormat::Encode(text, encoding));
    }

    SafeFileWriter file(dir.File("range.txt"));
    ASSERT_TRUE(file.Open());
    ASSERT_TRUE(store.WriteRange(file, 255990, 20, TextEncoding::Utf8));
    EXPECT_FALSE(store.WriteRange(file, store.GetLength() - 1, 2, TextEncoding::Utf8));
    EXPECT_FALSE(store.WriteRange(file, -1, 1, TextEncoding::Utf8));
    ASSERT_TRUE(file.Commit());
    EXPECT_EQ(ReadBytes(dir.File("range.txt")),
              TextFileFormat::Encode(std::u16string_view(text).substr(255990, 20), TextEncoding::Utf8));
}
