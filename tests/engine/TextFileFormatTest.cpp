#include "engine/TextEncoder.h"
#include "engine/TextFileFormat.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace {

using Status = TextFileFormat::DecodeStatus;

std::string Bytes(std::initializer_list<int> values)
{
    std::string s;
    for (int v : values)
        s.push_back(char(v));
    return s;
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

void ExpectRoundTrip(const std::string& bytes, TextEncoding expected)
{
    const TextFileFormat::Decoded d = TextFileFormat::Decode(bytes);
    ASSERT_EQ(d.status, Status::Ok);
    EXPECT_EQ(d.encoding, expected);
    EXPECT_EQ(TextFileFormat::Encode(d.text, d.encoding) + d.trailingByte, bytes);
}

} // namespace

TEST(TextFileFormat, EightBitTextIsNeverTakenForUtf16)
{
    for (const char* text : {"Bush hid the facts", "this app can break", "ab", "abcd", "a\r\nb\r\n"}) {
        const auto d = TextFileFormat::Decode(text);
        EXPECT_EQ(d.encoding, TextEncoding::Utf8) << text;
        EXPECT_EQ(d.status, Status::Ok);
    }
    EXPECT_FALSE(TextFileFormat::LooksLikeUtf16LE("Bush hid the facts", 18));
}

TEST(TextFileFormat, DetectsUtf16ByMarkOrByItsZeroHighBytes)
{
    ExpectRoundTrip("\xFF\xFE" + Utf16LE(u"Hello\r\nworld\r\n"), TextEncoding::Utf16LEWithMark);
    ExpectRoundTrip(Utf16LE(u"Hello\r\nworld\r\n"), TextEncoding::Utf16LE);
    // Surrogate pairs, and a line of mostly Cyrillic text with spaces.
    ExpectRoundTrip(Utf16LE(u"a\U0001F600b \u0436\u0436\u0436 \u0436\u0436 x\n"), TextEncoding::Utf16LE);
    ExpectRoundTrip("\xFF\xFE" + Utf16LE(u"\U0001F600\U00010348\n"), TextEncoding::Utf16LEWithMark);

    const auto d = TextFileFormat::Decode(Utf16LE(u"Hi"));
    EXPECT_EQ(d.text, u"Hi"); // no character skipped without a mark
    // Control characters, a lone low surrogate, odd size: not UTF-16 text.
    EXPECT_FALSE(TextFileFormat::LooksLikeUtf16LE(Utf16LE(u"a\x01" "b"), 6));
    EXPECT_FALSE(TextFileFormat::LooksLikeUtf16LE(Utf16LE(u"ab\xDC00"), 6));
    EXPECT_FALSE(TextFileFormat::LooksLikeUtf16LE(Utf16LE(u"ab") + "c", 5));
    EXPECT_FALSE(TextFileFormat::LooksLikeUtf16LE(std::string("\0H\0i\0!\0\n", 8), 8)); // big-endian
}

TEST(TextFileFormat, OddLengthUtf16KeepsItsLastByte)
{
    const std::string bytes = "\xFF\xFE" + Utf16LE(u"ab") + "Z";
    const auto d = TextFileFormat::Decode(bytes);
    EXPECT_EQ(d.encoding, TextEncoding::Utf16LEWithMark);
    EXPECT_EQ(d.text, u"ab");
    EXPECT_EQ(d.trailingByte, "Z");
    ExpectRoundTrip(bytes, TextEncoding::Utf16LEWithMark);
}

TEST(TextFileFormat, Utf8WithAndWithoutMark)
{
    ExpectRoundTrip("caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80\n", TextEncoding::Utf8);
    ExpectRoundTrip("\xEF\xBB\xBFx\xF4\x8F\xBF\xBFy", TextEncoding::Utf8WithMark);
    const auto d = TextFileFormat::Decode("\xF0\x9F\x98\x80");
    EXPECT_EQ(d.text, u"\U0001F600");
    ExpectRoundTrip("", TextEncoding::Utf8);
    ExpectRoundTrip("a", TextEncoding::Utf8);
    ExpectRoundTrip("\xEF\xBB\xBF", TextEncoding::Utf8WithMark);
}

TEST(TextFileFormat, InvalidUtf8IsWindows1252AndKeepsEveryByte)
{
    for (const std::string& bad : {
             Bytes({'a', 0xC0, 0x80}),             // overlong
             Bytes({0xE0, 0x80, 0x80}),            // overlong
             Bytes({0xED, 0xA0, 0x80}),            // encoded surrogate
             Bytes({0xF4, 0x90, 0x80, 0x80}),      // beyond U+10FFFF
             Bytes({'x', 0xE2, 0x82}),             // cut off at the end
             Bytes({0xEF, 0xBB, 0xBF, 0xFF, 'a'}), // a mark, then not UTF-8
             Bytes({0x80, 0x81, 0x8D, 0x8F, 0x90, 0x9D, 0x9F}),
         }) {
        SCOPED_TRACE(bad);
        EXPECT_FALSE(TextFileFormat::IsValidUtf8(bad));
        ExpectRoundTrip(bad, TextEncoding::Windows1252);
    }
    const auto d = TextFileFormat::Decode(Bytes({0x80, 0x81, 0x8D, 0x8F, 0x90, 0x9D, 0x9F, 0xFF}));
    EXPECT_EQ(d.text, u"\u20AC\u0081\u008D\u008F\u0090\u009D\u0178\u00FF");
}

TEST(TextFileFormat, AllByteValuesSurvive)
{
    std::string all;
    for (int b = 1; b < 256; ++b)
        all.push_back(char(b));
    ExpectRoundTrip(all, TextEncoding::Windows1252);
    for (int b = 1; b < 256; ++b) {
        const char16_t c = TextFileFormat::Windows1252ToUnicode((unsigned char)b);
        EXPECT_EQ(TextFileFormat::UnicodeToWindows1252(c), b);
    }
}

TEST(TextFileFormat, NulIsRefusedInEveryEncoding)
{
    EXPECT_EQ(TextFileFormat::Decode(std::string("ab\0cd", 5)).status, Status::ContainsNul);
    EXPECT_EQ(TextFileFormat::Decode(Bytes({0xFF, 'a', 0, 'b'})).status, Status::ContainsNul);
    EXPECT_EQ(TextFileFormat::Decode("\xFF\xFE" + Utf16LE(std::u16string(u"a\0b", 3))).status,
              Status::ContainsNul);
    // Odd size rules out UTF-16 without a mark; the zeros then refuse it.
    EXPECT_EQ(TextFileFormat::Decode(Utf16LE(u"abc") + "d").status, Status::ContainsNul);
    std::u16string longText(1000, u'x');
    EXPECT_FALSE(TextFileFormat::ContainsNul(longText.data(), longText.size()));
    longText[777] = 0;
    EXPECT_TRUE(TextFileFormat::ContainsNul(longText.data(), longText.size()));
}

TEST(TextFileFormat, Utf8SequenceCutByAPieceIsCarriedOver)
{
    // Every split point of a text with 2-, 3- and 4-byte sequences, after a
    // long ASCII run so the block path is taken too.
    const std::string bytes = std::string(130, 'a') + "\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80z";
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const std::u16string expected = std::u16string(130, u'a') + u"\u00E9\u20AC\U0001F600z";
    for (std::size_t split = 0; split <= bytes.size(); ++split) {
        std::u16string out(bytes.size(), u'\0');
        const auto first = TextFileFormat::DecodeUtf8(p, split, out.data(), false);
        ASSERT_EQ(first.status, Status::Ok);
        ASSERT_LE(split - first.consumed, 3u);
        const auto second = TextFileFormat::DecodeUtf8(p + first.consumed, bytes.size() - first.consumed,
                                                       out.data() + first.produced, true);
        ASSERT_EQ(second.status, Status::Ok);
        out.resize(first.produced + second.produced);
        EXPECT_EQ(out, expected) << "split at " << split;
    }
}

TEST(TextFileFormat, EncoderJoinsSurrogatePairsAcrossPiecesAndReplacesLoneOnes)
{
    const std::u16string text = u"x\U0001F600y";
    std::string out(64, '\0');
    TextEncoder encoder(TextEncoding::Utf8);
    std::size_t n = encoder.Encode(std::u16string_view(text).substr(0, 2), out.data());
    n += encoder.Encode(std::u16string_view(text).substr(2), out.data() + n);
    n += encoder.Finish(out.data() + n);
    out.resize(n);
    EXPECT_EQ(out, "x\xF0\x9F\x98\x80y");

    EXPECT_EQ(TextFileFormat::Encode(u"a\xD800", TextEncoding::Utf8), "a\xEF\xBF\xBD");
    EXPECT_EQ(TextFileFormat::Encode(u"\xDC00" "b", TextEncoding::Utf8), "\xEF\xBF\xBD" "b");
    EXPECT_FALSE(TextFileFormat::CanEncode(u"a\xD800", TextEncoding::Utf8));
    EXPECT_TRUE(TextFileFormat::CanEncode(u"a\U0001F600", TextEncoding::Utf8));
}

TEST(TextFileFormat, Windows1252KnowsWhatItCannotHold)
{
    EXPECT_TRUE(TextFileFormat::CanEncode(u"caf\u00E9 \u20AC \u0178 \u0081", TextEncoding::Windows1252));
    EXPECT_FALSE(TextFileFormat::CanEncode(u"\u0436", TextEncoding::Windows1252));
    EXPECT_FALSE(TextFileFormat::CanEncode(u"\u0080", TextEncoding::Windows1252)); // 0x80 is the euro sign
    EXPECT_EQ(TextFileFormat::Encode(u"a\u0436\u20AC", TextEncoding::Windows1252), "a?\x80");
    EXPECT_TRUE(TextFileFormat::CanEncode(u"\u0436\U0001F600", TextEncoding::Utf16LEWithMark));
}

TEST(TextFileFormat, RandomTextsRoundTrip)
{
    std::mt19937 random(1234);
    for (int round = 0; round < 300; ++round) {
        // Random code points (no NUL, no surrogates) as UTF-8...
        std::u16string text;
        const int length = int(random() % 200);
        for (int i = 0; i < length; ++i) {
            char32_t cp;
            switch (random() % 4) {
            case 0: cp = 1 + random() % 0x7F; break;
            case 1: cp = 0x80 + random() % 0x780; break;
            case 2: cp = 0x800 + random() % (0xD800 - 0x800); break;
            default: cp = 0x10000 + random() % 0x100000; break;
            }
            if (cp >= 0x10000) {
                text.push_back(char16_t(0xD800 + ((cp - 0x10000) >> 10)));
                text.push_back(char16_t(0xDC00 + ((cp - 0x10000) & 0x3FF)));
            } else {
                text.push_back(char16_t(cp));
            }
        }
        const std::string utf8 = TextFileFormat::Encode(text, TextEncoding::Utf8);
        const auto d = TextFileFormat::Decode(utf8);
        ASSERT_EQ(d.text, text);
        ExpectRoundTrip(utf8, TextEncoding::Utf8);
        ExpectRoundTrip("\xFF\xFE" + Utf16LE(text), TextEncoding::Utf16LEWithMark);
        // ...and random bytes without NUL, whatever they turn out to be.
        std::string bytes;
        for (int i = 0; i < length; ++i)
            bytes.push_back(char(1 + random() % 255));
        const auto b = TextFileFormat::Decode(bytes);
        ASSERT_EQ(b.status, Status::Ok);
        EXPECT_EQ(TextFileFormat::Encode(b.text, b.encoding) + b.trailingByte, bytes);
    }
}

namespace {

// A plain decoder to hold the fast one to: strict UTF-8, one code point at a time.
TextFileFormat::DecodeStatus ReferenceDecode(const std::string& bytes, std::u16string& text)
{
    text.clear();
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    for (std::size_t i = 0; i < bytes.size();) {
        const unsigned c = p[i];
        const int length = c < 0x80 ? 1 : c < 0xC2 ? 0 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : c < 0xF5 ? 4 : 0;
        if (length == 0 || i + length > bytes.size())
            return Status::Invalid;
        char32_t cp = length == 1 ? c : c & (0xFF >> (length + 1));
        for (int k = 1; k < length; ++k) {
            if ((p[i + k] & 0xC0) != 0x80)
                return Status::Invalid;
            cp = (cp << 6) | (p[i + k] & 0x3F);
        }
        const char32_t least[] = {0, 0, 0x80, 0x800, 0x10000};
        if (cp < least[length] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
            return Status::Invalid;
        if (cp == 0)
            return Status::ContainsNul;
        if (cp >= 0x10000) {
            text.push_back(char16_t(0xD800 + ((cp - 0x10000) >> 10)));
            text.push_back(char16_t(0xDC00 + ((cp - 0x10000) & 0x3FF)));
        } else {
            text.push_back(char16_t(cp));
        }
        i += std::size_t(length);
    }
    return Status::Ok;
}

} // namespace

TEST(TextFileFormat, FastUtf8DecodingAgreesWithAPlainDecoder)
{
    // Mostly well-formed mixed text (the fast paths), now and then broken.
    const char* pieces[] = {"a", "bc", "\n", "\xC3\xA9", "\xD0\xB6", "\xE2\x82\xAC", "\xEF\xBF\xBF", "\xC2\x80",
                            "\xF0\x9F\x98\x80", "\xC0", "\x80", "\xED\xA0\x80", "\xE0\x80\x80", "\xE0\xA0",
                            "\xF4\x90\x80\x80", "(NUL)"};
    std::mt19937 random(99);
    for (int round = 0; round < 3000; ++round) {
        std::string bytes;
        const int count = int(random() % 200);
        const bool broken = random() % 3 == 0;
        for (int k = 0; k < count; ++k) {
            const std::size_t which = random() % (broken && random() % 8 == 0 ? std::size(pieces) : 9);
            bytes += which == std::size(pieces) - 1 ? std::string(1, '\0') : std::string(pieces[which]);
        }
        std::u16string expected;
        const Status status = ReferenceDecode(bytes, expected);
        std::u16string out(bytes.size() + 1, u'\0');
        const auto r = TextFileFormat::DecodeUtf8(reinterpret_cast<const unsigned char*>(bytes.data()),
                                                  bytes.size(), out.data(), true);
        ASSERT_EQ(r.status, status) << round;
        if (status == Status::Ok) {
            out.resize(r.produced);
            ASSERT_EQ(out, expected) << round;
        }
    }
}
