#pragma once

#include <ctime>
#include <string>
#include <string_view>
#include <vector>

// The prepared texts of the Insert menu, built from plain values so they can
// be checked without a window. Line ends are "\r\n"; ToLineEnds gives them
// the document's own before they are inserted.
class InsertionText
{
public:
    struct Comment
    {
        int style = 0; // index into StyleNames()
        std::u16string title;
        std::u16string author;
        std::u16string copyright;
        std::u16string note;
        bool titleEnabled = false;
        bool authorEnabled = false;
        bool copyrightEnabled = false;
    };

    static const std::vector<std::u16string>& StyleNames();
    // The header for the comment's style; a style out of range counts as 0.
    static std::u16string CommentHeader(const Comment& comment);
    // The note's lines, each led by the prefix and a space.
    static std::u16string NoteBlock(std::u16string_view prefix, std::u16string_view note);

    // strftime in the current locale's encoding; empty for an empty result.
    static std::string FormatTime(const std::tm& time, const char* format);
    // The five date and time texts the Date and Time dialog offers, in the
    // order of their formats.
    static std::vector<std::string> DateChoices(const std::tm& time);
    static constexpr const char* kCopyrightDateFormat = "%B %d, %Y";

    // heading is 0 for H1 ... 5 for H6; anything else counts as H1.
    static std::u16string HtmlSkeleton(std::u16string_view title, std::u16string_view heading,
                                       int headingIndex, std::u16string_view paragraph);

    // label + value + "\r\n", or nothing when the value is empty.
    static std::u16string UserLine(std::u16string_view label, std::u16string_view value);
    static std::u16string AddressBlock(std::u16string_view address1, std::u16string_view address2,
                                       std::u16string_view city, std::u16string_view state,
                                       std::u16string_view zip);

    // Every "\r\n" (and lone "\r" or "\n") becomes lineEnd.
    static std::u16string ToLineEnds(std::u16string_view text, std::u16string_view lineEnd);
};
