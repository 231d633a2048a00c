#include "app/InsertionText.h"

#include <gtest/gtest.h>

#include <clocale>
#include <string>

namespace {

std::u16string Stars() { return std::u16string(25, u'*'); }

std::tm FixedTime()
{
    std::tm t{};
    t.tm_year = 2004 - 1900;
    t.tm_mon = 2; // March
    t.tm_mday = 5;
    t.tm_wday = 5; // a Friday
    t.tm_hour = 9;
    t.tm_min = 7;
    return t;
}

} // namespace

TEST(InsertionText, CommentWithNothingEnabledHasOpeningNoteAndClosingLines)
{
    InsertionText::Comment comment;
    comment.title = u"ignored";
    EXPECT_EQ(InsertionText::CommentHeader(comment),
              u"/" + Stars() + u"\r\n ** \r\n " + Stars() + u"/\r\n");
}

TEST(InsertionText, CommentStylesFrameTheEnabledLinesInOrder)
{
    InsertionText::Comment comment;
    comment.title = u"Main";
    comment.author = u"Ann";
    comment.copyright = u"Copyright March 05, 2004";
    comment.titleEnabled = comment.authorEnabled = comment.copyrightEnabled = true;

    comment.style = 1;
    const std::u16string slashes(25, u'/');
    EXPECT_EQ(InsertionText::CommentHeader(comment),
              slashes + u"\r\n// Title: Main\r\n// Author: Ann\r\n// Copyright March 05, 2004\r\n// \r\n" + slashes +
                  u"\r\n");

    comment.style = 3;
    comment.authorEnabled = false;
    EXPECT_EQ(InsertionText::CommentHeader(comment),
              u"<!-- " + Stars() + u"\r\n** Title: Main\r\n** Copyright March 05, 2004\r\n** \r\n" + Stars() +
                  u" -->\r\n");

    comment.style = 4;
    comment.titleEnabled = comment.copyrightEnabled = false;
    EXPECT_EQ(InsertionText::CommentHeader(comment),
              u"REM " + Stars() + u"\r\nREM ** \r\nREM " + Stars() + u"\r\n");

    // The other styles' frames: VB and SQL open and close with the same line.
    comment.style = 2;
    EXPECT_EQ(InsertionText::CommentHeader(comment), u"' " + Stars() + u"\r\n' ** \r\n' " + Stars() + u"\r\n");
    comment.style = 5;
    EXPECT_EQ(InsertionText::CommentHeader(comment), u"-- " + Stars() + u"\r\n-- ** \r\n-- " + Stars() + u"\r\n");
    comment.style = 42; // out of range: C
    EXPECT_EQ(InsertionText::CommentHeader(comment).substr(0, 2), u"/*");
}

TEST(InsertionText, NoteLinesEachGetThePrefixWhateverTheLineEnds)
{
    EXPECT_EQ(InsertionText::NoteBlock(u"//", u"a\nb"), u"// a\r\n// b\r\n");
    EXPECT_EQ(InsertionText::NoteBlock(u"//", u"a\r\nb"), u"// a\r\n// b\r\n");
    // A note ending with Enter gives a last line of the prefix alone.
    EXPECT_EQ(InsertionText::NoteBlock(u"--", u"x\n"), u"-- x\r\n-- \r\n");
    EXPECT_EQ(InsertionText::NoteBlock(u"**", u""), u"** \r\n");
}

TEST(InsertionText, DateChoicesComeFromOneTimeInFiveFormats)
{
    // Month and day names follow the locale; these are the C locale's.
    const std::string saved = std::setlocale(LC_TIME, nullptr);
    std::setlocale(LC_TIME, "C");
    const std::vector<std::string> choices = InsertionText::DateChoices(FixedTime());
    const std::vector<std::string> expected{"March 05, 2004", "Friday, March 05, 2004", "03/05/2004",
                                            "03/05/2004 09:07", "09:07"};
    EXPECT_EQ(choices, expected);
    EXPECT_EQ(InsertionText::FormatTime(FixedTime(), InsertionText::kCopyrightDateFormat), "March 05, 2004");
    std::setlocale(LC_TIME, saved.c_str());
}

TEST(InsertionText, HtmlSkeletonCarriesTitleHeadingAndParagraph)
{
    EXPECT_EQ(InsertionText::HtmlSkeleton(u"T", u"Head", 1, u"Para"),
              u"<html>\r\n<head>\r\n<title>T</title>\r\n</head>\r\n<body>\r\n<h2>Head</h2>\r\n"
              u"<p>Para</p>\r\n</body>\r\n</html>\r\n");
    const std::u16string empty = InsertionText::HtmlSkeleton(u"", u"", 2, u"");
    EXPECT_NE(empty.find(u"<title></title>\r\n"), std::u16string::npos);
    EXPECT_NE(empty.find(u"<h3></h3>\r\n"), std::u16string::npos);
    EXPECT_NE(empty.find(u"<p></p>\r\n"), std::u16string::npos);
    EXPECT_NE(InsertionText::HtmlSkeleton(u"", u"", -1, u"").find(u"<h1></h1>"), std::u16string::npos);
}

TEST(InsertionText, UserDetailsLeaveOutWhatIsEmpty)
{
    EXPECT_EQ(InsertionText::UserLine(u"Fax: ", u"123"), u"Fax: 123\r\n");
    EXPECT_EQ(InsertionText::UserLine(u"", u""), u"");
    EXPECT_EQ(InsertionText::AddressBlock(u"1 Road", u"", u"Town", u"ST", u"999"), u"1 Road\r\nTown, ST 999\r\n");
    // Without a zip code the last line has no line end.
    EXPECT_EQ(InsertionText::AddressBlock(u"", u"Flat 2", u"Town", u"ST", u""), u"Flat 2\r\nTown, ST ");
    EXPECT_EQ(InsertionText::AddressBlock(u"", u"", u"", u"", u""), u"");
}

TEST(InsertionText, LineEndsBecomeTheDocumentsOwn)
{
    EXPECT_EQ(InsertionText::ToLineEnds(u"a\r\nb\nc\rd", u"\n"), u"a\nb\nc\nd");
    EXPECT_EQ(InsertionText::ToLineEnds(u"a\r\n", u"\r\n"), u"a\r\n");
}
