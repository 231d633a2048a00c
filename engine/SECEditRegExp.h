#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// A regular expression over 16-bit text, compiled with PCRE2 (JIT when the
// machine allows it). It offers the few members the editor uses: pattern,
// ignore case, global, execute and replace. Patterns follow the JavaScript
// flavour where PCRE2 can (\uHHHH escapes, unset back references match
// nothing); ^ and $ match at line starts and ends, as a user of an editor
// expects. A pattern that does not compile reports why, and matches nothing.
class SECEditRegExp
{
public:
    struct Match
    {
        std::size_t firstIndex = 0; // 0-based, in characters
        std::size_t length = 0;
        // Capture groups 1..n as (start, length); start is npos when the
        // group took no part in the match.
        std::vector<std::pair<std::size_t, std::size_t>> groups;
    };
    static constexpr std::size_t npos = static_cast<std::size_t>(-1);

    SECEditRegExp();
    explicit SECEditRegExp(std::u16string_view pattern, bool ignoreCase = false);
    ~SECEditRegExp();
    SECEditRegExp(const SECEditRegExp&) = delete;
    SECEditRegExp& operator=(const SECEditRegExp&) = delete;

    void SetPattern(std::u16string_view pattern);
    const std::u16string& GetPattern() const noexcept { return m_pattern; }
    void SetIgnoreCase(bool on);
    bool GetIgnoreCase() const noexcept { return m_ignoreCase; }
    // Replace: every match (true) or the first one only (false).
    void SetGlobal(bool on) noexcept { m_global = on; }
    bool GetGlobal() const noexcept { return m_global; }
    // Treats the pattern as plain text (used for case-insensitive literal
    // searches, which then fold case the same way as regular expressions).
    void SetLiteral(bool on);

    // Compiles on demand; false, with GetError, for a pattern PCRE2 refuses.
    bool IsValid() const;
    // "<reason> at position <n>", empty when the pattern is valid.
    std::u16string GetError() const;

    // The first match starting at or after `start` in `subject`. Characters
    // before `start` are still seen by look-behind and \b. With `notEmpty`,
    // empty matches are skipped so a caller that advances by the match
    // length can't loop.
    bool Execute(std::u16string_view subject, std::size_t start, Match& match, bool notEmpty = true) const;
    // True when the last Execute gave up at one of PCRE2's limits (matching
    // steps, depth, memory, JIT stack) rather than finding no match: the
    // text was not fully searched.
    bool LimitReached() const noexcept { return m_limitReached; }

    // The source with the first (or, with Global, every) match replaced.
    // The replacement understands $$, $& (the match), $` and $' (the text
    // before and after it), and $1..$99 (groups; an unset one gives nothing).
    // Text that is not a valid reference stays as typed.
    std::u16string Replace(std::u16string_view source, std::u16string_view replacement) const;
    // Expands the replacement for one match of `source`.
    std::u16string Expand(std::u16string_view source, const Match& match, std::u16string_view replacement) const;

private:
    void Invalidate();
    bool Compile() const;

    std::u16string m_pattern;
    bool m_ignoreCase = false;
    bool m_global = false;
    bool m_literal = false;

    // Compiled lazily; mutable because compiling is a cache of the pattern.
    mutable void* m_code = nullptr;       // pcre2_code_16
    mutable void* m_matchData = nullptr;  // pcre2_match_data_16
    mutable void* m_matchContext = nullptr; // pcre2_match_context_16
    mutable void* m_jitStack = nullptr;     // pcre2_jit_stack_16
    mutable bool m_compiled = false;
    mutable bool m_limitReached = false;
    mutable int m_errorCode = 0;
    mutable std::size_t m_errorOffset = 0;
};
