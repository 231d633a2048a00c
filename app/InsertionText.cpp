#include "app/InsertionText.h"

#include <array>

namespace {

struct CommentStyle
{
    std::u16string_view opening;
    std::u16string_view lead; // before "Title: ", "Author: " and the copyright text
    std::u16string_view prefix;
    std::u16string_view closing;
};

constexpr std::u16string_view kStars = u"*************************";
constexpr std::u16string_view kSlashes = u"/////////////////////////";

std::u16string Line(std::u16string_view a, std::u16string_view b = {}, std::u16string_view c = {})
{
    std::u16string out;
    out.reserve(a.size() + b.size() + c.size() + 2);
    out.append(a).append(b).append(c).append(u"\r\n");
    return out;
}

} // namespace

const std::vector<std::u16string>& InsertionText::StyleNames()
{
    static const std::vector<std::u16string> names{u"C", u"C++", u"VB", u"HTML/XML", u"Batch/CMD", u"SQL"};
    return names;
}

std::u16string InsertionText::NoteBlock(std::u16string_view prefix, std::u16string_view note)
{
    std::u16string out(prefix);
    out += u' ';
    for (char16_t c : note) {
        if (c == u'\r')
            continue;
        if (c == u'\n') {
            out.append(u"\r\n").append(prefix) += u' ';
            continue;
        }
        out += c;
    }
    out += u"\r\n";
    return out;
}

std::u16string InsertionText::CommentHeader(const Comment& comment)
{
    const std::u16string cOpen = u"/" + std::u16string(kStars);
    const std::u16string cClose = u" " + std::u16string(kStars) + u"/";
    const std::u16string vb = u"' " + std::u16string(kStars);
    const std::u16string htmlOpen = u"<!-- " + std::u16string(kStars);
    const std::u16string htmlClose = std::u16string(kStars) + u" -->";
    const std::u16string rem = u"REM " + std::u16string(kStars);
    const std::u16string sql = u"-- " + std::u16string(kStars);
    const std::array<CommentStyle, 6> styles{{
        {cOpen, u" ** ", u" **", cClose},
        {kSlashes, u"// ", u"//", kSlashes},
        {vb, u"' ** ", u"' **", vb},
        {htmlOpen, u"** ", u"**", htmlClose},
        {rem, u"REM ** ", u"REM **", rem},
        {sql, u"-- ** ", u"-- **", sql},
    }};
    const std::size_t index = comment.style >= 0 && std::size_t(comment.style) < styles.size()
                                  ? std::size_t(comment.style) : 0;
    const CommentStyle& style = styles[index];
    std::u16string out = Line(style.opening);
    if (comment.titleEnabled)
        out += Line(style.lead, u"Title: ", comment.title);
    if (comment.authorEnabled)
        out += Line(style.lead, u"Author: ", comment.author);
    if (comment.copyrightEnabled)
        out += Line(style.lead, comment.copyright);
    out += NoteBlock(style.prefix, comment.note);
    out += Line(style.closing);
    return out;
}

std::string InsertionText::FormatTime(const std::tm& time, const char* format)
{
    std::array<char, 256> buffer{};
    const std::size_t length = std::strftime(buffer.data(), buffer.size(), format, &time);
    return std::string(buffer.data(), length);
}

std::vector<std::string> InsertionText::DateChoices(const std::tm& time)
{
    static constexpr const char* formats[] = {"%B %d, %Y", "%A, %B %d, %Y", "%m/%d/%Y", "%m/%d/%Y %H:%M", "%H:%M"};
    std::vector<std::string> out;
    for (const char* format : formats)
        out.push_back(FormatTime(time, format));
    return out;
}

std::u16string InsertionText::HtmlSkeleton(std::u16string_view title, std::u16string_view heading,
                                           int headingIndex, std::u16string_view paragraph)
{
    const char16_t level = char16_t(u'1' + (headingIndex >= 0 && headingIndex <= 5 ? headingIndex : 0));
    std::u16string out = u"<html>\r\n<head>\r\n<title>";
    out.append(title).append(u"</title>\r\n</head>\r\n<body>\r\n");
    out.append(u"<h") += level;
    out.append(u">").append(heading).append(u"</h") += level;
    out.append(u">\r\n<p>").append(paragraph).append(u"</p>\r\n</body>\r\n</html>\r\n");
    return out;
}

std::u16string InsertionText::UserLine(std::u16string_view label, std::u16string_view value)
{
    return value.empty() ? std::u16string() : Line(label, value);
}

std::u16string InsertionText::AddressBlock(std::u16string_view address1, std::u16string_view address2,
                                           std::u16string_view city, std::u16string_view state,
                                           std::u16string_view zip)
{
    std::u16string out;
    if (!address1.empty())
        out += Line(address1);
    if (!address2.empty())
        out += Line(address2);
    if (!city.empty())
        out.append(city).append(u", ");
    if (!state.empty())
        out.append(state).append(u" ");
    if (!zip.empty())
        out += Line(zip);
    return out;
}

std::u16string InsertionText::ToLineEnds(std::u16string_view text, std::u16string_view lineEnd)
{
    std::u16string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (c == u'\r' || c == u'\n') {
            if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
                ++i;
            out.append(lineEnd);
            continue;
        }
        out += c;
    }
    return out;
}
