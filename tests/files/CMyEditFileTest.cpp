#include "app/CMyEdit.h"
#include "engine/IMessage.h"
#include "engine/IObserver.h"
#include "engine/SECEditMsg.h"
#include "engine/TextFileFormat.h"
#include "platform/IBusyCursor.h"
#include "platform/IMessageBox.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

using namespace std::string_literals;

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

class CountingBusyCursor : public IBusyCursor
{
public:
    void Begin() override { ++depth, ++begins; }
    void End() override { --depth; }
    int depth = 0;
    int begins = 0;
};

class RecordingMessageBox : public IMessageBox
{
public:
    explicit RecordingMessageBox(const CountingBusyCursor& cursor) : m_cursor(cursor) {}
    Answer Show(const std::u16string& text, Buttons, Icon icon) override
    {
        EXPECT_EQ(m_cursor.depth, 0) << "a message box under the busy cursor";
        texts.push_back(text);
        icons.push_back(icon);
        return answer;
    }
    std::vector<std::u16string> texts;
    std::vector<Icon> icons;
    Answer answer = Answer::Ok;

private:
    const CountingBusyCursor& m_cursor;
};

class KindRecorder : public IObserver
{
public:
    void OnUpdate(ISubject*, IMessage* message) override { kinds.push_back(message ? message->GetMessageId() : 0); }
    std::vector<unsigned int> kinds;
};

std::string ReadBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

void WriteBytes(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string Utf16LE(std::u16string_view text)
{
    std::string s;
    for (char16_t c : text) {
        s.push_back(char(c & 0xFF));
        s.push_back(char(c >> 8));
    }
    return s;
}

std::u16string AllText(const CMyEdit& edit)
{
    std::u16string text;
    edit.GetAllText(text);
    return text;
}

bool Contains(const std::u16string& text, std::u16string_view part)
{
    return text.find(part) != std::u16string::npos;
}

class CMyEditFiles : public testing::Test
{
protected:
    void SetUp() override
    {
        std::string pattern = (fs::temp_directory_path() / "tavro-files-XXXXXX").string();
        m_dir = ::mkdtemp(pattern.data());
        edit.SetMessageBox(&messages);
        edit.SetBusyCursor(&cursor);
        edit.ResetContent();
    }
    void TearDown() override
    {
        EXPECT_EQ(cursor.depth, 0);
        std::error_code ignored;
        for (const auto& entry : fs::recursive_directory_iterator(m_dir, ignored))
            fs::permissions(entry.path(), fs::perms::owner_all, fs::perm_options::add, ignored);
        fs::permissions(m_dir, fs::perms::owner_all, fs::perm_options::add, ignored);
        fs::remove_all(m_dir, ignored);
    }

    std::string File(const std::string& name) const { return (m_dir / name).string(); }

    // Opens the bytes from one file and saves them to another.
    std::string RoundTrip(const std::string& bytes)
    {
        WriteBytes(File("in.txt"), bytes);
        EXPECT_TRUE(edit.OpenFile(File("in.txt")));
        EXPECT_FALSE(edit.IsModified());
        EXPECT_TRUE(edit.SaveFile(File("out.txt")));
        return ReadBytes(File("out.txt"));
    }

    // A document with some text of its own, to see that failures keep it.
    void TypeSomething()
    {
        edit.InsertTextAt(0, 0, u"keep me");
        ASSERT_TRUE(edit.IsModified());
    }

    CountingBusyCursor cursor;
    RecordingMessageBox messages{cursor};
    CMyEdit edit;

private:
    fs::path m_dir;
};

std::string Repeat(const std::string& piece, std::size_t size)
{
    std::string s;
    while (s.size() < size)
        s += piece;
    s.resize(size);
    return s;
}

} // namespace

TEST_F(CMyEditFiles, RoundTripsAreByteExact)
{
    std::string allBytes;
    for (int b = 1; b < 256; ++b)
        allBytes.push_back(char(b));
    // 700,000 bytes whose first read ends inside a 3-byte character.
    std::string straddling = Repeat("line of text\n", 511999) + "\xE2\x82\xAC";
    straddling += Repeat("more\r\n", 700000 - straddling.size());

    const std::vector<std::pair<const char*, std::string>> cases = {
        {"empty", ""},
        {"one byte", "a"},
        {"two bytes", "ab"},
        {"LF", "one\ntwo\n"},
        {"CR LF", "one\r\ntwo\r\n"},
        {"lone CR", "one\rtwo\r"},
        {"mixed ends", "a\r\nb\nc\rd\n\re"},
        {"no final end", "last line"},
        {"UTF-16 with mark", "\xFF\xFE" + Utf16LE(u"Hello\r\nworld\n")},
        {"UTF-16 without mark", Utf16LE(u"Hello\r\nworld\n")},
        {"UTF-16 surrogates", "\xFF\xFE" + Utf16LE(u"\U0001F600 \U00010348\r\n\U0010FFFF")},
        {"UTF-8", "caf\xC3\xA9 \xF0\x9F\x98\x80\n"},
        {"UTF-8 with mark", "\xEF\xBB\xBF" "caf\xC3\xA9 \xF0\x9F\x98\x80\n"},
        {"invalid UTF-8", "caf\xE9 \xC3\x28 \xF5\x80\n"},
        {"all byte values", allBytes},
        {"boundary in a character", straddling},
        {"3,000,000-byte UTF-16", "\xFF\xFE" + Repeat(Utf16LE(u"\u0436ord \U0001F600\r\n"), 2999998)},
    };
    for (const auto& [name, bytes] : cases) {
        SCOPED_TRACE(name);
        EXPECT_EQ(RoundTrip(bytes), bytes);
    }
    EXPECT_TRUE(messages.texts.empty());
    EXPECT_GT(cursor.begins, 0);
}

TEST_F(CMyEditFiles, EncodingsAreRememberedPerDocument)
{
    WriteBytes(File("a.txt"), "\xFF\xFE" + Utf16LE(u"x"));
    ASSERT_TRUE(edit.OpenFile(File("a.txt")));
    EXPECT_EQ(edit.GetEncoding(), TextEncoding::Utf16LEWithMark);
    EXPECT_EQ(AllText(edit), u"x");
    WriteBytes(File("b.txt"), "\xE9t\xE9");
    ASSERT_TRUE(edit.OpenFile(File("b.txt")));
    EXPECT_EQ(edit.GetEncoding(), TextEncoding::Windows1252);
    EXPECT_EQ(AllText(edit), u"\u00E9t\u00E9");

    CMyEdit fresh;
    fresh.ResetContent();
    fresh.InsertTextAt(0, 0, u"\u00E9\u20AC\U0001F600\r\n");
    ASSERT_TRUE(fresh.SaveFile(File("new.txt")));
    EXPECT_EQ(ReadBytes(File("new.txt")), "\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80\r\n");
}

TEST_F(CMyEditFiles, LongLineIsBrokenAndLeavesTheDocumentModified)
{
    WriteBytes(File("long.txt"), std::string(5000, 'x'));
    KindRecorder observer;
    edit.AddObserver(&observer);
    ASSERT_TRUE(edit.OpenFile(File("long.txt")));
    edit.RemoveObserver(&observer);
    ASSERT_EQ(edit.GetLineCount(), 3);
    EXPECT_EQ(edit.GetLineLength(0), 2048);
    EXPECT_EQ(edit.GetLineLength(1), 2048);
    EXPECT_EQ(edit.GetLineLength(2), 904);
    EXPECT_TRUE(edit.IsModified());
    EXPECT_EQ(edit.GetUndoCount(), 0);
    EXPECT_NE(std::find(observer.kinds.begin(), observer.kinds.end(), SECEditMsg::InitController),
              observer.kinds.end());
    // The user hears of it at once, with the file's name and the count.
    ASSERT_EQ(messages.texts.size(), 1u);
    EXPECT_TRUE(Contains(messages.texts[0], u"long.txt"));
    EXPECT_TRUE(Contains(messages.texts[0], u" 1 line"));
    EXPECT_EQ(edit.GetBrokenLineCount(), 1);

    // Two long lines among short ones are counted as two; a file within the limit says nothing.
    WriteBytes(File("two.txt"), "a\n" + std::string(3000, 'y') + "\nb\n" + std::string(2100, 'z'));
    messages.texts.clear();
    ASSERT_TRUE(edit.OpenFile(File("two.txt")));
    ASSERT_EQ(messages.texts.size(), 1u);
    EXPECT_TRUE(Contains(messages.texts[0], u" 2 line"));
    WriteBytes(File("fits.txt"), std::string(2048, 'x'));
    messages.texts.clear();
    ASSERT_TRUE(edit.OpenFile(File("fits.txt")));
    EXPECT_TRUE(messages.texts.empty());
    EXPECT_FALSE(edit.IsModified());
}

TEST_F(CMyEditFiles, SavingClearsModifiedAndWritesEditsWithTheFileLineEnds)
{
    WriteBytes(File("a.txt"), "one\ntwo\n");
    ASSERT_TRUE(edit.OpenFile(File("a.txt")));
    edit.InsertTextAt(2, 0, u"three\r\n");
    ASSERT_TRUE(edit.IsModified());
    ASSERT_TRUE(edit.SaveFile(File("a.txt")));
    EXPECT_FALSE(edit.IsModified());
    EXPECT_EQ(ReadBytes(File("a.txt")), "one\ntwo\nthree\r\n");
}

TEST_F(CMyEditFiles, OpenFailuresGiveOneMessageAndKeepTheDocument)
{
    WriteBytes(File("nul.txt"), "text\0more"s);
    fs::create_directory(File("folder"));
    // Neither a named pipe nor a socket may hold the open up.
    ASSERT_EQ(::mkfifo(File("pipe").c_str(), 0600), 0);
    const int sock = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address {};
    address.sun_family = AF_UNIX;
    const std::string socketPath = File("socket");
    ASSERT_LT(socketPath.size(), sizeof(address.sun_path));
    std::copy(socketPath.begin(), socketPath.end(), address.sun_path);
    ASSERT_EQ(::bind(sock, reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);
    TypeSomething();
    KindRecorder observer;
    edit.AddObserver(&observer);
    for (const std::string name : {"missing.txt", "folder", "nul.txt", "pipe", "socket"}) {
        SCOPED_TRACE(name);
        messages.texts.clear();
        EXPECT_FALSE(edit.OpenFile(File(name)));
        ASSERT_EQ(messages.texts.size(), 1u);
        EXPECT_TRUE(Contains(messages.texts[0], std::u16string(name.begin(), name.end())));
        EXPECT_EQ(AllText(edit), u"keep me");
        EXPECT_TRUE(edit.IsModified());
        if (name == "nul.txt") {
            EXPECT_TRUE(Contains(messages.texts[0], u"NUL"));
        }
    }
    EXPECT_TRUE(Contains(messages.texts[0], u"not a regular file"));
    ::close(sock);
    edit.RemoveObserver(&observer);
    EXPECT_TRUE(observer.kinds.empty()); // the panes heard nothing
}

TEST_F(CMyEditFiles, UnreadableFileIsReported)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "root reads files whatever their permission bits";
    WriteBytes(File("secret.txt"), "x");
    ::chmod(File("secret.txt").c_str(), 0);
    TypeSomething();
    EXPECT_FALSE(edit.OpenFile(File("secret.txt")));
    ASSERT_EQ(messages.texts.size(), 1u);
    EXPECT_TRUE(Contains(messages.texts[0], u"Permission denied"));
    EXPECT_EQ(AllText(edit), u"keep me");
}

TEST_F(CMyEditFiles, ReadOnlyTargetGetsItsMessageAndStaysAsItWas)
{
    WriteBytes(File("ro.txt"), "old");
    ::chmod(File("ro.txt").c_str(), 0444);
    TypeSomething();
    EXPECT_FALSE(edit.SaveFile(File("ro.txt")));
    ASSERT_EQ(messages.texts.size(), 1u);
    const std::string expected = "The file '" + File("ro.txt")
                                 + "' exists and is read-only. Please save to a different filename.";
    EXPECT_EQ(messages.texts[0], std::u16string(expected.begin(), expected.end()));
    EXPECT_EQ(messages.icons[0], IMessageBox::Icon::Warning);
    EXPECT_EQ(ReadBytes(File("ro.txt")), "old");
    EXPECT_TRUE(edit.IsModified());
}

TEST_F(CMyEditFiles, FailedSaveKeepsTheTargetAndTheModifiedFlag)
{
    TypeSomething();
    EXPECT_FALSE(edit.SaveFile(File("no-such-folder/a.txt")));
    ASSERT_EQ(messages.texts.size(), 1u);
    EXPECT_TRUE(Contains(messages.texts[0], u"no-such-folder/a.txt"));
    EXPECT_TRUE(Contains(messages.texts[0], u"No such file or directory"));
    EXPECT_TRUE(edit.IsModified());

    if (::geteuid() == 0)
        return; // root writes into any folder
    fs::create_directory(File("locked"));
    WriteBytes(File("locked/a.txt"), "old");
    ::chmod(File("locked").c_str(), 0555);
    messages.texts.clear();
    EXPECT_FALSE(edit.SaveFile(File("locked/a.txt")));
    EXPECT_EQ(messages.texts.size(), 1u);
    EXPECT_EQ(ReadBytes(File("locked/a.txt")), "old");
    EXPECT_TRUE(edit.IsModified());
}

TEST_F(CMyEditFiles, Windows1252DocumentWithNewCharactersAsksBeforeSavingAsUtf8)
{
    WriteBytes(File("w.txt"), "caf\xE9\n");
    ASSERT_TRUE(edit.OpenFile(File("w.txt")));
    ASSERT_EQ(edit.GetEncoding(), TextEncoding::Windows1252);
    edit.InsertTextAt(1, 0, u"\u0436\u20AC");

    messages.answer = IMessageBox::Answer::No;
    EXPECT_FALSE(edit.SaveFile(File("w.txt")));
    EXPECT_EQ(messages.texts.size(), 1u);
    EXPECT_EQ(ReadBytes(File("w.txt")), "caf\xE9\n");
    EXPECT_TRUE(edit.IsModified());

    messages.answer = IMessageBox::Answer::Yes;
    EXPECT_TRUE(edit.SaveFile(File("w.txt")));
    EXPECT_EQ(ReadBytes(File("w.txt")), "caf\xC3\xA9\n\xD0\xB6\xE2\x82\xAC");
    EXPECT_EQ(edit.GetEncoding(), TextEncoding::Utf8);
    EXPECT_FALSE(edit.IsModified());

    // Characters the code page holds need no question.
    WriteBytes(File("v.txt"), "caf\xE9\n");
    ASSERT_TRUE(edit.OpenFile(File("v.txt")));
    edit.InsertTextAt(1, 0, u"\u20AC");
    messages.texts.clear();
    EXPECT_TRUE(edit.SaveFile(File("v.txt")));
    EXPECT_TRUE(messages.texts.empty());
    EXPECT_EQ(ReadBytes(File("v.txt")), "caf\xE9\n\x80");
}

TEST_F(CMyEditFiles, OddLengthUtf16KeepsItsLastByteAndSaysSo)
{
    const std::string bytes = "\xFF\xFE" + Utf16LE(u"abc\r\n") + "!";
    EXPECT_EQ(RoundTrip(bytes), bytes);
    ASSERT_EQ(messages.texts.size(), 1u);
    EXPECT_EQ(messages.icons[0], IMessageBox::Icon::Information);
    EXPECT_EQ(AllText(edit), u"abc\r\n");
}

TEST_F(CMyEditFiles, AppendChunkInsertsInTheDocumentEncoding)
{
    std::int32_t line = 0;
    std::int32_t column = 0;
    const std::string bytes = "a\xC3\xA9\nb";
    ASSERT_TRUE(edit.AppendChunk(bytes.data(), bytes.size(), line, column));
    EXPECT_EQ(line, 1);
    EXPECT_EQ(column, 1);
    EXPECT_EQ(AllText(edit), u"a\u00E9\nb");
    std::int32_t badLine = 7;
    EXPECT_FALSE(edit.AppendChunk("x", 1, badLine, column));
}
