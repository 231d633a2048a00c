#include "engine/SECEditRegExp.h"

#define PCRE2_CODE_UNIT_WIDTH 16
#include <pcre2.h>

#include <algorithm>

namespace {

pcre2_code* Code(void* p) { return static_cast<pcre2_code*>(p); }
pcre2_match_data* Data(void* p) { return static_cast<pcre2_match_data*>(p); }
pcre2_match_context* Context(void* p) { return static_cast<pcre2_match_context*>(p); }

// The JIT's default stack (32 KB) runs out on a repeated group over a line of
// a few thousand characters, and a match that runs out is no match at all.
// This one is reserved, not committed: pages are used only as needed.
constexpr PCRE2_SIZE JitStackStart = 32 * 1024;
constexpr PCRE2_SIZE JitStackMax = 8 * 1024 * 1024;

PCRE2_SPTR Units(std::u16string_view text)
{
    static const char16_t empty = 0;
    return reinterpret_cast<PCRE2_SPTR>(text.empty() ? &empty : text.data());
}

bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

} // namespace

SECEditRegExp::SECEditRegExp() = default;

SECEditRegExp::SECEditRegExp(std::u16string_view pattern, bool ignoreCase)
    : m_pattern(pattern), m_ignoreCase(ignoreCase)
{
}

SECEditRegExp::~SECEditRegExp() { Invalidate(); }

void SECEditRegExp::Invalidate()
{
    if (m_matchContext)
        pcre2_match_context_free(Context(m_matchContext));
    if (m_jitStack)
        pcre2_jit_stack_free(static_cast<pcre2_jit_stack*>(m_jitStack));
    m_matchContext = nullptr;
    m_jitStack = nullptr;
    if (m_matchData)
        pcre2_match_data_free(Data(m_matchData));
    if (m_code)
        pcre2_code_free(Code(m_code));
    m_matchData = nullptr;
    m_code = nullptr;
    m_compiled = false;
    m_errorCode = 0;
    m_errorOffset = 0;
}

void SECEditRegExp::SetPattern(std::u16string_view pattern)
{
    if (pattern == m_pattern)
        return;
    m_pattern = pattern;
    Invalidate();
}

void SECEditRegExp::SetIgnoreCase(bool on)
{
    if (on == m_ignoreCase)
        return;
    m_ignoreCase = on;
    Invalidate();
}

void SECEditRegExp::SetLiteral(bool on)
{
    if (on == m_literal)
        return;
    m_literal = on;
    Invalidate();
}

bool SECEditRegExp::Compile() const
{
    if (m_compiled)
        return m_code != nullptr;
    m_compiled = true;
    // Invalid UTF-16 (a lone surrogate in the document) must not stop a
    // search, so the subject is never required to be valid.
    std::uint32_t options = PCRE2_UTF | PCRE2_MATCH_INVALID_UTF;
    if (m_ignoreCase)
        options |= PCRE2_CASELESS;
    if (m_literal)
        options |= PCRE2_LITERAL;
    else
        options |= PCRE2_MULTILINE | PCRE2_ALT_BSUX | PCRE2_MATCH_UNSET_BACKREF;
    pcre2_compile_context* context = pcre2_compile_context_create(nullptr);
    if (!context) {
        m_errorCode = PCRE2_ERROR_NOMEMORY;
        return false;
    }
    // Lines end with a line feed, possibly after a carriage return.
    pcre2_set_newline(context, PCRE2_NEWLINE_ANYCRLF);
    int error = 0;
    PCRE2_SIZE offset = 0;
    pcre2_code* code = pcre2_compile(Units(m_pattern), m_pattern.size(), options, &error, &offset, context);
    pcre2_compile_context_free(context);
    if (!code) {
        m_errorCode = error;
        m_errorOffset = offset;
        return false;
    }
    pcre2_jit_compile(code, PCRE2_JIT_COMPLETE); // the interpreter serves when JIT is unavailable
    pcre2_match_data* data = pcre2_match_data_create_from_pattern(code, nullptr);
    if (!data) {
        pcre2_code_free(code);
        m_errorCode = PCRE2_ERROR_NOMEMORY;
        return false;
    }
    m_code = code;
    m_matchData = data;
    // Without a context of our own, the default stack and limits serve.
    if (pcre2_match_context* context = pcre2_match_context_create(nullptr)) {
        m_matchContext = context;
        if (pcre2_jit_stack* stack = pcre2_jit_stack_create(JitStackStart, JitStackMax, nullptr)) {
            m_jitStack = stack;
            pcre2_jit_stack_assign(context, nullptr, stack);
        }
    }
    return true;
}

bool SECEditRegExp::IsValid() const { return Compile(); }

std::u16string SECEditRegExp::GetError() const
{
    if (Compile())
        return {};
    PCRE2_UCHAR buffer[256];
    const int n = pcre2_get_error_message(m_errorCode, buffer, sizeof buffer / sizeof buffer[0]);
    std::u16string text = n > 0 ? std::u16string(reinterpret_cast<const char16_t*>(buffer), std::size_t(n))
                                : std::u16string(u"invalid pattern");
    if (m_errorCode != PCRE2_ERROR_NOMEMORY) {
        text += u" at position ";
        const std::string digits = std::to_string(m_errorOffset);
        text.append(digits.begin(), digits.end());
    }
    return text;
}

bool SECEditRegExp::Execute(std::u16string_view subject, std::size_t start, Match& match, bool notEmpty) const
{
    m_limitReached = false;
    if (!Compile() || start > subject.size())
        return false;
    pcre2_match_data* data = Data(m_matchData);
    const int rc = pcre2_match(Code(m_code), Units(subject), subject.size(), start,
                               notEmpty ? PCRE2_NOTEMPTY : 0, data, Context(m_matchContext));
    if (rc <= 0) {
        m_limitReached = rc == PCRE2_ERROR_MATCHLIMIT || rc == PCRE2_ERROR_DEPTHLIMIT ||
                         rc == PCRE2_ERROR_HEAPLIMIT || rc == PCRE2_ERROR_JIT_STACKLIMIT ||
                         rc == PCRE2_ERROR_NOMEMORY;
        return false;
    }
    const PCRE2_SIZE* ovector = pcre2_get_ovector_pointer(data);
    if (ovector[0] > ovector[1])
        return false; // \K in a look-ahead can do this; not a usable match
    match.firstIndex = ovector[0];
    match.length = ovector[1] - ovector[0];
    std::uint32_t groups = 0;
    pcre2_pattern_info(Code(m_code), PCRE2_INFO_CAPTURECOUNT, &groups);
    match.groups.assign(groups, {npos, 0});
    for (std::uint32_t i = 1; i <= groups && int(i) < rc; ++i) {
        const PCRE2_SIZE s = ovector[2 * i];
        const PCRE2_SIZE e = ovector[2 * i + 1];
        if (s != PCRE2_UNSET && e >= s)
            match.groups[i - 1] = {s, e - s};
    }
    return true;
}

std::u16string SECEditRegExp::Expand(std::u16string_view source, const Match& match,
                                     std::u16string_view replacement) const
{
    std::u16string out;
    out.reserve(replacement.size());
    auto group = [&](std::size_t n) {
        const auto& g = match.groups[n - 1];
        if (g.first != npos)
            out.append(source.substr(g.first, g.second));
    };
    for (std::size_t i = 0; i < replacement.size(); ++i) {
        const char16_t c = replacement[i];
        if (c != u'$' || i + 1 >= replacement.size()) {
            out.push_back(c);
            continue;
        }
        const char16_t next = replacement[i + 1];
        if (next == u'$') {
            out.push_back(u'$');
            ++i;
        } else if (next == u'&') {
            out.append(source.substr(match.firstIndex, match.length));
            ++i;
        } else if (next == u'`') {
            out.append(source.substr(0, match.firstIndex));
            ++i;
        } else if (next == u'\'') {
            out.append(source.substr(std::min(source.size(), match.firstIndex + match.length)));
            ++i;
        } else if (IsDigit(next)) {
            // Two digits when they name an existing group, else one.
            const std::size_t one = std::size_t(next - u'0');
            if (i + 2 < replacement.size() && IsDigit(replacement[i + 2])) {
                const std::size_t two = one * 10 + std::size_t(replacement[i + 2] - u'0');
                if (two >= 1 && two <= match.groups.size()) {
                    group(two);
                    i += 2;
                    continue;
                }
            }
            if (one >= 1 && one <= match.groups.size()) {
                group(one);
                ++i;
            } else {
                out.push_back(c);
            }
        } else {
            out.push_back(c);
        }
    }
    return out;
}

std::u16string SECEditRegExp::Replace(std::u16string_view source, std::u16string_view replacement) const
{
    std::u16string out;
    std::size_t copied = 0;
    std::size_t at = 0;
    Match match;
    while (at <= source.size() && Execute(source, at, match, false)) {
        out.append(source.substr(copied, match.firstIndex - copied));
        out += Expand(source, match, replacement);
        copied = match.firstIndex + match.length;
        if (!m_global)
            break;
        // After an empty match, step over one character so the loop ends.
        at = match.length ? copied : copied + 1;
        if (!match.length && copied < source.size()) {
            out.push_back(source[copied]);
            copied += 1;
        }
    }
    out.append(source.substr(std::min(copied, source.size())));
    return out;
}
