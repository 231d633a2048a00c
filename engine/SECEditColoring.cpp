// Line colouring: turns each line into colour runs, lazily and cached, and
// keeps track of multi-line regions (block comments) so a line is always
// coloured with the state its earlier lines leave it in.
//
// The frontier F says how far the document is settled: every line above F
// either has a current run list or starts outside every multi-line region,
// and the region list holds every region that opens above F. Edits move F
// back to the edited line (or to the start of a region they break up); a
// request at or below F first scans the lines in between for opening texts
// of multi-line regions, which is a plain substring search over the store.

#include "engine/SECEdit.h"

#include "engine/SECEditLangSettings.h"
#include "engine/SECEditLinesMsg.h"
#include "engine/SECEditReplaceCommand.h"
#include "engine/SECEditTextStore.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <limits>
#include <map>
#include <unordered_set>

// What the colouring steps keep between calls: a character table for the
// tokeniser, the multi-line delimiters, and the bookkeeping that turns the
// chain of regions one line continues into the next into a loop.
struct SECEditColoringState
{
    enum : std::uint8_t
    {
        White = 1,
        Delim = 2,
        Start = 4,
        Part = 8,
        End = 16,
        Oper = 32,
        Opens = 64, // some delimiter's opening text begins with it
    };

    const SECEditLangSettings* config = nullptr;
    std::uint64_t configRevision = 0; // the configuration's state the tables below come from
    bool built = false;
    std::array<std::uint8_t, 128> ascii{}; // categories of the ASCII characters
    std::vector<const SECEditDelimiter*> multiLine;
    std::u16string multiLineFirsts; // distinct first characters of their opening texts
    std::u16string otherOpeners;    // non-ASCII first characters of any opening text
    bool anySingleLine = false;
    bool wordsInDelimiters = false;  // some delimiter text holds a word character
    std::u16string singleFirsts;     // first characters of single-line opening texts
    bool singleFirstsBreak = false;  // each of them always starts a token

    std::uint16_t textGroup = 0;
    std::uint16_t operatorGroup = 3;

    // Recent answers of the configuration's ClassifyWord, by word: hashing
    // every word into the keyword table is most of the cost of a line.
    struct WordAnswer
    {
        std::array<char16_t, 14> text{};
        std::uint8_t length = 0; // 0: empty entry
        bool classified = false;
        std::uint16_t group = 0;
    };
    static constexpr std::size_t WordAnswers = 1024;
    std::vector<WordAnswer> words;

    std::uint64_t generation = 1; // bumped whenever cached colouring is dropped

    bool busy = false;     // inside ColorLine
    bool draining = false; // the outermost ColorLine is working off continuations
    bool hasContinuation = false;
    std::int32_t continuationLine = 0;
    std::int32_t continuationColumn = 0;

    SECEditColorRuns work;      // the list of the line being coloured
    SECEditColorRuns found;     // the copy FindCachedColoring hands out

    // What GetLineColoring hands out where the cache has no block of its own
    // that stays put: single runs (the cache keeps them in its slots, which
    // move) and the lists of highlighted lines. Element addresses in these
    // containers never change, so the lists stay valid as long as the engine.
    std::unordered_set<std::uint32_t> singleRuns;
    std::map<std::uint64_t, SECEditColorRuns> highlightLists; // by group and length

    std::uint8_t Category(char16_t c) const
    {
        if (c < 128)
            return ascii[c];
        std::uint8_t k = 0;
        if (config->IsCharInClass(c, Delimiter))
            k |= Delim;
        if (config->IsCharInClass(c, WordStart))
            k |= Start;
        if (config->IsCharInClass(c, WordPart))
            k |= Part;
        if (config->IsCharInClass(c, WordEnd))
            k |= End;
        if (config->IsCharInClass(c, Operator))
            k |= Oper;
        return k;
    }

    bool MayOpen(char16_t c) const
    {
        return c < 128 ? (ascii[c] & Opens) != 0 : otherOpeners.find(c) != std::u16string::npos;
    }

    int ClassifyWord(std::u16string_view word, std::uint16_t& group)
    {
        if (word.size() > std::tuple_size_v<decltype(WordAnswer::text)>)
            return config->ClassifyWord(word, group);
        std::uint32_t hash = 2166136261u;
        for (char16_t c : word)
            hash = (hash ^ c) * 16777619u;
        WordAnswer& answer = words[(hash ^ (hash >> 15)) & (WordAnswers - 1)];
        if (answer.length != word.size() ||
            std::char_traits<char16_t>::compare(answer.text.data(), word.data(), word.size()) != 0)
        {
            std::uint16_t found = 0;
            answer.classified = config->ClassifyWord(word, found) > 0;
            answer.group = found;
            answer.length = static_cast<std::uint8_t>(word.size());
            std::char_traits<char16_t>::copy(answer.text.data(), word.data(), word.size());
        }
        if (!answer.classified)
            return 0;
        group = answer.group;
        return static_cast<int>(word.size());
    }

    void Build(const SECEditLangSettings* settings)
    {
        config = settings;
        configRevision = settings->GetColoringRevision();
        built = true;
        textGroup = settings->GetKindColorGroupIndex(ColorGroupKind::Text);
        operatorGroup = settings->GetKindColorGroupIndex(ColorGroupKind::Operator);
        words.assign(WordAnswers, WordAnswer());
        for (char16_t c = 0; c < 128; ++c)
        {
            std::uint8_t k = 0;
            if (c == u' ' || c == u'\t')
                k |= White;
            if (settings->IsCharInClass(c, Delimiter))
                k |= Delim;
            if (settings->IsCharInClass(c, WordStart))
                k |= Start;
            if (settings->IsCharInClass(c, WordPart))
                k |= Part;
            if (settings->IsCharInClass(c, WordEnd))
                k |= End;
            if (settings->IsCharInClass(c, Operator))
                k |= Oper;
            ascii[c] = k;
        }
        // Most tokens cannot begin any delimiter; knowing which characters
        // can spares the table look-up for the rest.
        std::vector<const SECEditDelimiter*> all;
        settings->GetDelimiters(all, DelimiterMode::Any);
        otherOpeners.clear();
        wordsInDelimiters = false;
        for (const SECEditDelimiter* d : all)
        {
            if (!d)
                continue;
            for (const std::u16string* text : {&d->opening, &d->closing, &d->escape})
                for (char16_t c : *text)
                    wordsInDelimiters = wordsInDelimiters || c >= 128 || !(ascii[c] & (White | Delim | Oper)) ||
                                        (ascii[c] & (Start | Part | End));
            if (d->opening.empty())
                continue;
            const char16_t c = d->opening[0];
            if (c < 128)
                ascii[c] |= Opens;
            else if (otherOpeners.find(c) == std::u16string::npos)
                otherOpeners.push_back(c);
        }
        settings->GetDelimiters(multiLine, DelimiterMode::MultiLine);
        multiLine.erase(std::remove_if(multiLine.begin(), multiLine.end(),
                                       [](const SECEditDelimiter* d) { return !d || d->opening.empty(); }),
                        multiLine.end());
        multiLineFirsts.clear();
        for (const SECEditDelimiter* d : multiLine)
            if (multiLineFirsts.find(d->opening[0]) == std::u16string::npos)
                multiLineFirsts.push_back(d->opening[0]);
        std::vector<const SECEditDelimiter*> single;
        settings->GetDelimiters(single, DelimiterMode::SingleLine);
        anySingleLine = !single.empty();
        singleFirsts.clear();
        singleFirstsBreak = true;
        for (const SECEditDelimiter* d : single)
        {
            if (!d || d->opening.empty())
                continue;
            const char16_t c = d->opening[0];
            if (singleFirsts.find(c) == std::u16string::npos)
                singleFirsts.push_back(c);
            // A delimiter that may neither begin, continue nor end a word
            // always stands at the start of a token.
            const std::uint8_t k = Category(c);
            if (!(k & Delim) || (k & (White | Start | Part | End)))
                singleFirstsBreak = false;
        }
    }
};

namespace
{
constexpr std::uint32_t MaxRunLength = 0xFFFF;

inline std::uint32_t MakeRun(std::uint16_t group, std::uint32_t length)
{
    return (static_cast<std::uint32_t>(group) << 16) | length;
}

// Appends a run; a length beyond 16 bits becomes several runs of the group,
// since a length of 0 would mean "to the end of the line".
void EmitRun(SECEditColorRuns& runs, std::uint16_t group, std::int64_t length)
{
    while (length > static_cast<std::int64_t>(MaxRunLength))
    {
        runs.push_back(MakeRun(group, MaxRunLength));
        length -= MaxRunLength;
    }
    if (length > 0)
        runs.push_back(MakeRun(group, static_cast<std::uint32_t>(length)));
}

// Length of the token at p with n characters left (n > 0): a run of white
// space, or a word (which may begin with a WordStart character, continue with
// WordPart characters and close on a WordEnd character). A delimiter that may
// not start a word gives 0; callers treat that as one character.
int NextTokenLength(const SECEditColoringState& st, const char16_t* p, int n)
{
    if (n <= 0)
        return 0;
    const std::uint8_t first = st.Category(p[0]);
    int i = 0;
    if (first & SECEditColoringState::White)
    {
        while (i < n && (p[i] == u' ' || p[i] == u'\t'))
            ++i;
        return i;
    }
    if (!(first & SECEditColoringState::Delim) || (first & SECEditColoringState::Start))
    {
        i = 1;
        while (i < n)
        {
            const std::uint8_t k = st.Category(p[i]);
            const bool word = !(k & (SECEditColoringState::White | SECEditColoringState::Delim));
            if (!word && !(k & SECEditColoringState::Part))
                break;
            ++i;
        }
        if (i < n && (st.Category(p[i]) & SECEditColoringState::End))
            ++i;
    }
    return i;
}

// First p in [p, end) whose character is one of `set`, or end. Tests fixed
// groups of characters at a time so the compiler can vectorise the common
// case of nothing found.
const char16_t* FindFirstOf(const char16_t* p, const char16_t* end, std::u16string_view set)
{
    constexpr std::ptrdiff_t Group = 32;
    if (set.size() == 1)
    {
        const char16_t a = set[0];
        for (;;)
        {
            while (end - p >= Group)
            {
                unsigned any = 0;
                for (std::ptrdiff_t k = 0; k < Group; ++k)
                    any |= static_cast<unsigned>(p[k] == a);
                if (any)
                    break;
                p += Group;
            }
            const char16_t* stop = std::min(end, p + Group);
            for (; p < stop; ++p)
                if (*p == a)
                    return p;
            if (p == end)
                return end;
        }
    }
    if (set.size() == 2)
    {
        const char16_t a = set[0];
        const char16_t b = set[1];
        for (;;)
        {
            while (end - p >= Group)
            {
                unsigned any = 0;
                for (std::ptrdiff_t k = 0; k < Group; ++k)
                    any |= static_cast<unsigned>(p[k] == a) | static_cast<unsigned>(p[k] == b);
                if (any)
                    break;
                p += Group;
            }
            const char16_t* stop = std::min(end, p + Group);
            for (; p < stop; ++p)
                if (*p == a || *p == b)
                    return p;
            if (p == end)
                return end;
        }
    }
    for (; p < end; ++p)
        if (set.find(*p) != std::u16string_view::npos)
            return p;
    return end;
}

// First p in [p, end) where the two characters a, b stand, or end (p[1]
// may lie at end, where it cannot match). Block-wise like FindFirstOf; an
// opening text such as "/*" is rarer than its first character alone.
const char16_t* FindPair(const char16_t* p, const char16_t* end, char16_t a, char16_t b)
{
    constexpr std::ptrdiff_t Group = 32;
    for (;;)
    {
        while (end - p > Group)
        {
            unsigned any = 0;
            for (std::ptrdiff_t k = 0; k < Group; ++k)
                any |= static_cast<unsigned>(p[k] == a) & static_cast<unsigned>(p[k + 1] == b);
            if (any)
                break;
            p += Group;
        }
        const char16_t* stop = std::min(end, p + Group);
        for (; p < stop; ++p)
            if (*p == a && p + 1 < end && p[1] == b)
                return p;
        if (p >= end)
            return end;
    }
}

// Whether `needle` stands in the store at `offset`; only called when it does
// not fit in the block at hand, which blocks made of whole lines make rare.
bool MatchesAcrossBlocks(const SECEditTextStore& store, std::ptrdiff_t offset, std::u16string_view needle)
{
    std::size_t matched = 0;
    const bool inside = store.ForEachChunk(offset, static_cast<std::ptrdiff_t>(needle.size()),
                                           [&](std::u16string_view piece) {
                                               if (needle.substr(matched, piece.size()) != piece)
                                                   return false;
                                               matched += piece.size();
                                               return true;
                                           });
    return inside && matched == needle.size();
}

// The earliest offset in [from, to) at which one of `needles` starts (each
// non-empty; `firsts` holds their distinct first characters) and which
// `accept` takes, or -1. The match itself may run past `to` but not past
// `limit`. accept(offset, block text, index in the block) may look at the
// text around the match; blocks hold whole lines.
template <class Accept>
std::ptrdiff_t FindInStore(const SECEditTextStore& store, const std::vector<std::u16string_view>& needles,
                           std::u16string_view firsts, std::ptrdiff_t from, std::ptrdiff_t to, std::ptrdiff_t limit,
                           Accept&& accept)
{
    if (from < 0 || from >= to || needles.empty())
        return -1;
    int block = store.FindBlock(from, false);
    if (block < 0)
        return -1;
    std::ptrdiff_t blockStart = store.GetBlockStart(block);
    const int blocks = store.GetBlockCount();
    const bool pairSearch = needles.size() == 1 && needles[0].size() >= 2 &&
                            needles[0].find(store.GetLineFeedChar()) == std::u16string_view::npos;
    for (; block < blocks && blockStart < to; ++block)
    {
        const std::u16string_view text = store.GetBlock(block);
        const std::ptrdiff_t size = static_cast<std::ptrdiff_t>(text.size());
        const char16_t* base = text.data();
        const char16_t* p = base + std::max<std::ptrdiff_t>(0, from - blockStart);
        const char16_t* end = base + std::min(size, to - blockStart);
        while (p < end)
        {
            // One opening text of two or more characters: look for its first
            // two together (within the block; a match across blocks needs a
            // line feed in it, which opening texts do not hold).
            p = pairSearch ? FindPair(p, end, needles[0][0], needles[0][1]) : FindFirstOf(p, end, firsts);
            if (p == end)
                break;
            const std::ptrdiff_t local = p - base;
            const std::ptrdiff_t offset = blockStart + local;
            for (std::u16string_view needle : needles)
            {
                const auto length = static_cast<std::ptrdiff_t>(needle.size());
                if (needle[0] != *p || offset + length > limit)
                    continue;
                const bool matches = local + length <= size
                                         ? std::char_traits<char16_t>::compare(p, needle.data(), needle.size()) == 0
                                         : MatchesAcrossBlocks(store, offset, needle);
                if (matches && accept(offset, text, local))
                    return offset;
                if (matches)
                    break; // rejected here: no other needle can do better at this offset
            }
            ++p;
        }
        blockStart += size;
    }
    return -1;
}

std::ptrdiff_t FindInStore(const SECEditTextStore& store, const std::vector<std::u16string_view>& needles,
                           std::u16string_view firsts, std::ptrdiff_t from, std::ptrdiff_t to, std::ptrdiff_t limit)
{
    return FindInStore(store, needles, firsts, from, to, limit,
                       [](std::ptrdiff_t, std::u16string_view, std::ptrdiff_t) { return true; });
}

// Where a single-line region that opens with `delimiter` and whose closing
// text is searched from `from` ends on a line of `length` characters: just
// past its closing text, or the end of the line. A closing text preceded by
// an odd number of escape texts does not count.
int SingleLineRegionEnd(const char16_t* text, int length, int from, const SECEditDelimiter* delimiter)
{
    if (!delimiter || delimiter->closing.empty())
        return length;
    const std::u16string_view line(text, static_cast<std::size_t>(length));
    const std::u16string_view closing = delimiter->closing;
    const std::u16string_view escape = delimiter->escape;
    std::size_t at = static_cast<std::size_t>(std::clamp(from, 0, length));
    std::size_t searchFrom = at;
    for (;;)
    {
        at = line.find(closing, searchFrom);
        if (at == std::u16string_view::npos)
            return length;
        if (!escape.empty() && at != searchFrom)
        {
            std::size_t escapes = 0;
            std::size_t back = at;
            while (back >= escape.size() && line.substr(back - escape.size(), escape.size()) == escape)
            {
                ++escapes;
                back -= escape.size();
            }
            if (escapes % 2 == 1)
            {
                searchFrom = at + closing.size();
                continue;
            }
        }
        return static_cast<int>(at + closing.size());
    }
}

// IsInSingleLineRegion on a line's text: whether the column lies in a
// single-line region (its start included, its end not).
bool InSingleLineRegion(const SECEditColoringState& st, const char16_t* text, int length, int column)
{
    if (st.singleFirstsBreak)
    {
        // Every character an opening text can begin with starts a token, so
        // jump from one to the next instead of walking every token.
        const std::u16string_view firsts = st.singleFirsts;
        int pos = 0;
        while (pos <= column && pos < length)
        {
            const char16_t* hit = FindFirstOf(text + pos, text + length, firsts);
            const int at = static_cast<int>(hit - text);
            if (at > column || at >= length)
                return false;
            if (const SECEditDelimiter* d = st.config->FindDelimiter(hit, length - at, 0, DelimiterMode::SingleLine))
            {
                const int end = SingleLineRegionEnd(text, length, at + static_cast<int>(d->opening.size()), d);
                if (column < end)
                    return true;
                pos = std::max(end, at + 1);
            }
            else
                pos = at + 1;
        }
        return false;
    }
    int pos = 0;
    while (pos < length && pos <= column)
    {
        const int left = length - pos;
        const int token = NextTokenLength(st, text + pos, left);
        if (st.MayOpen(text[pos]))
        {
            if (const SECEditDelimiter* d = st.config->FindDelimiter(text + pos, left, token, DelimiterMode::SingleLine))
            {
                const int end = SingleLineRegionEnd(text, length, pos + static_cast<int>(d->opening.size()), d);
                if (column >= pos && column < end)
                    return true;
                pos = std::max(end, pos + 1);
                continue;
            }
        }
        pos += token > 0 ? token : 1;
    }
    return false;
}

} // namespace

// --- State -------------------------------------------------------------------

SECEditColoringState& SECEdit::ColoringState()
{
    // While a line is being coloured nothing can change the configuration.
    if (m_coloringState && m_coloringState->busy)
        return *m_coloringState;
    if (!m_coloringState)
        m_coloringState = std::make_shared<SECEditColoringState>();
    SECEditColoringState& st = *m_coloringState;
    // The keyword answers and delimiter records are the configuration's as it
    // was: any change to it (a reload frees the records) builds them afresh.
    const SECEditLangSettings* config = GetLangConfig();
    if (!st.built || st.config != config || st.configRevision != config->GetColoringRevision())
        st.Build(config);
    return st;
}

void SECEdit::ResetColoringState()
{
    if (!m_coloringState)
        return;
    m_coloringState->built = false;
    ++m_coloringState->generation;
}

bool SECEdit::KeepsColorRegions(std::u16string_view removed, std::u16string_view inserted)
{
    // Words replaced by words, where no delimiter holds a word character:
    // every token boundary next to a delimiter stays, so no comment or
    // string opens, closes or moves but by the change of length.
    if (removed.empty() || inserted.empty() || !GetLangConfig())
        return false;
    const SECEditColoringState& st = ColoringState();
    if (st.wordsInDelimiters)
        return false;
    // A plain word character: in no class at all.
    const auto word = [&](char16_t c) { return c < 128 && st.ascii[c] == 0; };
    return std::all_of(removed.begin(), removed.end(), word) && std::all_of(inserted.begin(), inserted.end(), word);
}

void SECEdit::ShiftColorRegions(const SECEditReplaceCommand& command)
{
    for (ColorRegion& region : m_regions)
    {
        region.start = command.Shift(region.start);
        region.end = command.Shift(region.end);
    }
    // A line that begins inside a region is coloured only from the region's
    // opening line: one holding a replacement sends colouring back there.
    std::size_t drop = m_regions.size();
    command.ForEachLine([&](std::int32_t line) {
        if (drop < m_regions.size())
            return;
        const auto region = std::lower_bound(m_regions.begin(), m_regions.end(), line,
                                             [](const ColorRegion& r, std::int32_t l) { return r.end.line < l; });
        if (region != m_regions.end() && region->start.line < line)
            drop = static_cast<std::size_t>(region - m_regions.begin());
    });
    InvalidateRegionsFrom(drop);
}

void SECEdit::NoteColoringEdit()
{
    if (m_coloringState)
        ++m_coloringState->generation;
}

std::uint64_t SECEdit::GetColoringGeneration() const
{
    return m_coloringState ? m_coloringState->generation : 0;
}

// --- Cache -------------------------------------------------------------------

SECEditColorRuns* SECEdit::FindCachedColoring(std::int32_t line)
{
    std::size_t count = 0;
    const std::uint32_t* runs = m_colorCache.Find(line, count);
    if (!runs)
        return nullptr;
    if (!m_coloringState)
        m_coloringState = std::make_shared<SECEditColoringState>();
    m_coloringState->found.assign(runs, runs + count);
    return &m_coloringState->found;
}

bool SECEdit::HasCachedColoring(std::int32_t line) const
{
    return m_colorCache.Has(line);
}

void SECEdit::StoreCachedColoring(std::int32_t line, const SECEditColorRuns& runs)
{
    m_colorCache.Set(line, runs.data(), runs.size(), static_cast<std::size_t>(std::max(0, GetLineCount())));
}

void SECEdit::FreeCachedColoring(std::int32_t line)
{
    m_colorCache.Free(line);
}

void SECEdit::FreeCachedColoring(std::int32_t first, std::int32_t last)
{
    if (last >= first)
        m_colorCache.Free(first, last);
}

void SECEdit::ClearColorCache()
{
    ResetColoringState();
    m_colorCache.clear();
    m_regions.clear();
    m_colorFrontier = 0;
}

void SECEdit::ShiftColorCache(std::int32_t afterLine, std::int32_t delta)
{
    m_colorCache.Shift(afterLine + 1, delta);
}

// --- Lines -------------------------------------------------------------------

SECEditColorRunsRef SECEdit::CachedColoring(std::int32_t line)
{
    std::size_t count = 0;
    const std::uint32_t* runs = m_colorCache.Find(line, count);
    if (!runs)
        return {};
    if (count != 1)
        return {runs, count}; // a block of the cache's own: it stays until the line's list is freed
    if (!m_coloringState)
        m_coloringState = std::make_shared<SECEditColoringState>();
    return {&*m_coloringState->singleRuns.insert(runs[0]).first, 1};
}

SECEditColorRunsRef SECEdit::GetLineColoring(std::int32_t line)
{
    if (!GetTextStore() || !GetLangConfig() || line < 0 || line >= GetLineCount())
        return {};
    if (m_coloringState && (m_coloringState->busy || m_coloringState->draining))
        return CachedColoring(line); // asked from inside a notification the colouring sent
    if (line >= m_colorFrontier)
        BringColoringUpTo(line);
    if (!HasCachedColoring(line) && !ColorLine(line, 0))
        return {};
    const SECEditColorRunsRef runs = CachedColoring(line);
    if (!runs)
        return {};

    // A highlighted line shows in the "Highlight" group when the language has
    // one. The cache keeps the line's own colouring, so taking the mark off
    // shows it again at once.
    if (TestLineMark(line, SECEditLineMarks::HighlightMark))
    {
        const int group = GetLangConfig()->FindColorGroupByName(u"Highlight");
        if (group >= 0)
        {
            SECEditColoringState& st = ColoringState();
            const std::int32_t length = std::max<std::int32_t>(0, GetLineLength(line));
            SECEditColorRuns& list =
                st.highlightLists[(static_cast<std::uint64_t>(group) << 32) | static_cast<std::uint32_t>(length)];
            if (list.empty())
            {
                if (length == 0)
                    list.push_back(MakeRun(static_cast<std::uint16_t>(group), 0));
                else
                    EmitRun(list, static_cast<std::uint16_t>(group), length);
            }
            return &list;
        }
    }
    return runs;
}

void SECEdit::BringColoringUpTo(std::int32_t line)
{
    const SECEditTextPos rangeStart(m_colorFrontier, 0);
    const SECEditTextPos rangeEnd(line, 0);

    // Regions reaching into the unsettled lines may have changed: drop them
    // and everything after them, and find them again from the first one's
    // opening line.
    auto first = std::lower_bound(m_regions.begin(), m_regions.end(), rangeStart,
                                  [](const ColorRegion& r, const SECEditTextPos& p) { return r.end < p; });
    if (first != m_regions.end() && first->start <= rangeEnd)
    {
        // Its opening line may begin inside an earlier region that ends on
        // it: that line is only coloured right from the earlier opening.
        while (first != m_regions.begin() && std::prev(first)->end.line >= first->start.line)
            --first;
        const std::int32_t startLine = first->start.line;
        InvalidateRegionsFrom(static_cast<std::size_t>(first - m_regions.begin()));
        m_colorFrontier = std::min(m_colorFrontier, startLine);
        ColorLine(m_colorFrontier, 0);
    }

    // Lines between the frontier and the requested one are only searched for
    // opening texts of multi-line regions, not coloured.
    SECEditColoringState& st = ColoringState();
    if (st.multiLine.empty())
    {
        m_colorFrontier = std::max(m_colorFrontier, line);
        return;
    }
    if (m_colorFrontier >= line)
        return;
    const SECEditTextStore& store = *GetTextStore();
    const std::ptrdiff_t end = store.GetLineStart(line);
    const std::ptrdiff_t length = store.GetLength();
    std::vector<std::u16string_view> openings;
    openings.reserve(st.multiLine.size());
    for (const SECEditDelimiter* d : st.multiLine)
        openings.push_back(d->opening);

    // A candidate inside a string or a line comment opens nothing. Most are
    // told apart on the line's text alone; the position is worked out only
    // for the rest.
    const char16_t lineFeed = store.GetLineFeedChar();
    const char16_t carriageReturn = store.GetCarriageReturnChar();
    const auto accept = [&](std::ptrdiff_t offset, std::u16string_view block, std::ptrdiff_t local) {
        if (st.anySingleLine)
        {
            std::ptrdiff_t start = local;
            while (start > 0 && block[static_cast<std::size_t>(start - 1)] != lineFeed)
                --start;
            std::ptrdiff_t stop = start;
            while (stop < static_cast<std::ptrdiff_t>(block.size()) && block[static_cast<std::size_t>(stop)] != lineFeed &&
                   (carriageReturn == 0 || block[static_cast<std::size_t>(stop)] != carriageReturn))
                ++stop;
            if (local < stop && stop - start < std::numeric_limits<int>::max() &&
                InSingleLineRegion(st, block.data() + start, static_cast<int>(stop - start),
                                   static_cast<int>(local - start)))
                return false;
        }
        SECEditTextPos pos;
        return store.OffsetToPosition(offset, pos.line, pos.column) && !IsInSingleLineRegion(pos);
    };

    while (m_colorFrontier < line)
    {
        const std::ptrdiff_t from = store.GetLineStart(m_colorFrontier);
        const std::ptrdiff_t at =
            from < 0 ? -1 : FindInStore(store, openings, st.multiLineFirsts, from, end, length, accept);
        SECEditTextPos pos;
        if (at < 0 || !store.OffsetToPosition(at, pos.line, pos.column))
        {
            m_colorFrontier = line + 1;
            break;
        }
        ColorLine(pos.line, 0);
        m_colorFrontier = std::max(m_colorFrontier, pos.line + 1);
    }
}

SECEditColorRuns* SECEdit::ColorLine(std::int32_t line, std::int32_t startColumn)
{
    SECEditColoringState& st = ColoringState();
    if (st.busy)
    {
        // A region opened on one line continues on a later one. Colouring that
        // line from here would nest one call per line of a chain of regions
        // (every line of a markup file can end inside one), so the outermost
        // call works them off in a loop instead.
        st.hasContinuation = true;
        st.continuationLine = line;
        st.continuationColumn = startColumn;
        return FindCachedColoring(line);
    }

    SECEditColorRuns* result = nullptr;
    st.busy = true;
    try
    {
        result = ColorOneLine(line, startColumn);
    }
    catch (...)
    {
        st.busy = false;
        st.hasContinuation = false;
        throw;
    }
    st.busy = false;

    if (!st.draining)
    {
        st.draining = true;
        while (st.hasContinuation)
        {
            st.hasContinuation = false;
            try
            {
                ColorLine(st.continuationLine, st.continuationColumn);
            }
            catch (...)
            {
                st.draining = false;
                st.hasContinuation = false;
                throw;
            }
        }
        st.draining = false;
        result = FindCachedColoring(line);
    }
    return result;
}

SECEditColorRuns* SECEdit::ColorOneLine(std::int32_t line, std::int32_t startColumn)
{
    const char16_t* text = nullptr;
    const std::int32_t length = GetTextStore()->GetLineText(line, text);
    if (length < 0)
        return nullptr;
    m_colorFrontier = std::max(m_colorFrontier, line + 1);
    SECEditColoringState& st = ColoringState();
    SECEditColorRuns& runs = st.work;
    runs.clear();
    if (length == 0)
    {
        runs.push_back(MakeRun(0, 0));
        StoreCachedColoring(line, runs);
        return &runs;
    }
    if (startColumn > 0)
    {
        std::size_t count = 0;
        if (const std::uint32_t* cached = m_colorCache.Find(line, count))
            runs.assign(cached, cached + count);
        if (startColumn >= length)
        {
            StoreCachedColoring(line, runs);
            return &runs;
        }
    }
    else
        startColumn = 0;

    int pending = 0;
    int pos = startColumn;
    while (pos < length)
    {
        const int left = length - pos;
        const int token = NextTokenLength(st, text + pos, left);
        int used = ColorToken(line, text, pos, token, left, pending, runs);
        if (used <= 0)
            used = 1;
        pos += std::min(used, left);
    }
    FlushPending(runs, pending);
    StoreCachedColoring(line, runs);
    return &runs;
}

// --- Tokens ------------------------------------------------------------------

int SECEdit::ColorToken(std::int32_t line, const char16_t* lineText, int tokenStart, int tokenLength, int charsLeft,
                        int& pending, SECEditColorRuns& runs)
{
    if (int used = ColorWord(line, lineText, tokenStart, tokenLength, charsLeft, pending, runs))
        return used;
    if (int used = ColorDelimited(line, lineText, tokenStart, tokenLength, charsLeft, pending, runs))
        return used;
    if (int used = ColorOperator(line, lineText, tokenStart, tokenLength, charsLeft, pending, runs))
        return used;
    const int used = tokenLength > 0 ? tokenLength : 1;
    pending += used;
    return used;
}

int SECEdit::ColorWord(std::int32_t, const char16_t* lineText, int tokenStart, int tokenLength, int, int& pending,
                       SECEditColorRuns& runs)
{
    if (tokenLength <= 0)
        return 0;
    const char16_t first = lineText[tokenStart];
    if (first == u' ' || first == u'\t')
        return 0; // white space is never a keyword or a number
    std::uint16_t group = 0;
    const std::u16string_view word(lineText + tokenStart, static_cast<std::size_t>(tokenLength));
    if (ColoringState().ClassifyWord(word, group) <= 0)
        return 0;
    FlushPending(runs, pending);
    EmitRun(runs, group, tokenLength);
    return tokenLength;
}

int SECEdit::ColorDelimited(std::int32_t line, const char16_t* lineText, int tokenStart, int tokenLength,
                            int charsLeft, int& pending, SECEditColorRuns& runs)
{
    const SECEditDelimiter* delimiter =
        FindDelimiterAt(line, lineText, tokenStart, tokenLength, charsLeft, DelimiterMode::Any);
    if (!delimiter)
        return 0;
    FlushPending(runs, pending);
    if (delimiter->multiLine)
        return ColorMultiLineRegion(line, lineText, tokenStart, charsLeft, runs, delimiter);
    return ColorSingleLineRegion(line, lineText, tokenStart, charsLeft, runs, delimiter);
}

int SECEdit::ColorOperator(std::int32_t, const char16_t* lineText, int tokenStart, int, int, int& pending,
                           SECEditColorRuns& runs)
{
    if (!(ColoringState().Category(lineText[tokenStart]) & SECEditColoringState::Oper))
        return 0;
    FlushPending(runs, pending);
    EmitRun(runs, ColoringState().operatorGroup, 1);
    return 1;
}

const SECEditDelimiter* SECEdit::FindDelimiterAt(std::int32_t, const char16_t* lineText, int tokenStart,
                                                 int tokenLength, int charsLeft, DelimiterMode mode)
{
    if (charsLeft <= 0 || !ColoringState().MayOpen(lineText[tokenStart]))
        return nullptr;
    return GetLangConfig()->FindDelimiter(lineText + tokenStart, charsLeft, tokenLength, mode);
}

void SECEdit::FlushPending(SECEditColorRuns& runs, int& pending)
{
    if (pending <= 0)
        return;
    EmitRun(runs, ColoringState().textGroup, pending);
    pending = 0;
}

// --- Regions -----------------------------------------------------------------

int SECEdit::ColorSingleLineRegion(std::int32_t line, const char16_t*, int tokenStart, int charsLeft,
                                   SECEditColorRuns& runs, const SECEditDelimiter* delimiter)
{
    const SECEditTextPos start(line, tokenStart);
    const SECEditTextPos from(line, tokenStart + static_cast<std::int32_t>(delimiter->opening.size()));
    const SECEditTextPos end = FindRegionEnd(start, from, delimiter);
    const int used = std::clamp(end.column - tokenStart, 1, charsLeft);
    EmitRun(runs, delimiter->group, used);
    return used;
}

int SECEdit::ColorMultiLineRegion(std::int32_t line, const char16_t*, int tokenStart, int charsLeft,
                                  SECEditColorRuns& runs, const SECEditDelimiter* delimiter)
{
    const SECEditTextPos start(line, tokenStart);
    const SECEditTextPos from(line, tokenStart + static_cast<std::int32_t>(delimiter->opening.size()));
    const SECEditTextPos end = FindRegionEnd(start, from, delimiter);
    if (end.line <= line)
    {
        const int used = std::clamp(end.column - tokenStart, 1, charsLeft);
        EmitRun(runs, delimiter->group, used);
        return used;
    }

    EmitRun(runs, delimiter->group, charsLeft);
    const std::uint32_t whole = MakeRun(delimiter->group, 0);
    for (std::int32_t inside = line + 1; inside < end.line; ++inside)
        m_colorCache.Set(inside, &whole, 1, static_cast<std::size_t>(GetLineCount()));
    AddColorRegion({start, end});
    SECEditLinesMsg message(line, end.line);
    UpdateAllObservers(nullptr, &message);

    SECEditColorRuns last;
    if (end.column > 0)
        EmitRun(last, delimiter->group, end.column);
    else
        last.push_back(whole);
    StoreCachedColoring(end.line, last);
    ColorLine(end.line, end.column);
    return charsLeft;
}

void SECEdit::AddColorRegion(const ColorRegion& region)
{
    // Normally the new region is the last one. Should it not be, keep the list
    // in document order and drop regions the new one swallows.
    auto at = std::lower_bound(m_regions.begin(), m_regions.end(), region.start,
                               [](const ColorRegion& r, const SECEditTextPos& p) { return r.start < p; });
    auto past = at;
    while (past != m_regions.end() && past->start < region.end)
        ++past;
    at = m_regions.erase(at, past);
    m_regions.insert(at, region);
}

SECEditTextPos SECEdit::FindRegionEnd(const SECEditTextPos& regionStart, const SECEditTextPos& searchFrom,
                                      const SECEditDelimiter* delimiter)
{
    const SECEditTextStore& store = *GetTextStore();
    const char16_t* text = nullptr;
    const std::int32_t lineLength = std::max(0, store.GetLineText(regionStart.line, text));
    const SECEditTextPos lineEnd(regionStart.line, lineLength);
    if (!delimiter || delimiter->closing.empty())
        return lineEnd;
    const std::u16string_view closing = delimiter->closing;

    if (!delimiter->multiLine)
        return SECEditTextPos(regionStart.line, SingleLineRegionEnd(text, lineLength, searchFrom.column, delimiter));

    // Across lines, up to the end of the document.
    const std::int32_t lastLine = store.GetLineCount() - 1;
    const std::int32_t lastLength = std::max(0, store.GetLineLength(lastLine));
    const SECEditTextPos documentEnd(lastLine, lastLength);
    const std::ptrdiff_t limit = store.GetLineStart(lastLine) + lastLength;
    const std::ptrdiff_t from = store.PositionToOffset(searchFrom.line, searchFrom.column);
    if (from < 0)
        return documentEnd;
    const std::vector<std::u16string_view> needles{closing};
    const std::u16string_view first(closing.data(), 1);
    const std::ptrdiff_t at = FindInStore(store, needles, first, from, limit, limit);
    if (at < 0)
        return documentEnd;
    SECEditTextPos end;
    if (!store.OffsetToPosition(at + static_cast<std::ptrdiff_t>(closing.size()), end.line, end.column))
        return documentEnd;
    return end;
}

bool SECEdit::FindSingleLineRegion(std::int32_t line, std::int32_t& startColumn, std::int32_t& endColumn)
{
    const char16_t* text = nullptr;
    const std::int32_t length = GetTextStore()->GetLineText(line, text);
    if (length <= 0 || !GetLangConfig())
        return false;
    SECEditColoringState& st = ColoringState();
    int pos = std::max(0, startColumn);
    while (pos < length)
    {
        const int left = length - pos;
        const int token = NextTokenLength(st, text + pos, left);
        if (const SECEditDelimiter* d = FindDelimiterAt(line, text, pos, token, left, DelimiterMode::SingleLine))
        {
            startColumn = pos;
            const SECEditTextPos end = FindRegionEnd(
                SECEditTextPos(line, pos),
                SECEditTextPos(line, pos + static_cast<std::int32_t>(d->opening.size())), d);
            endColumn = end.column;
            return true;
        }
        pos += token > 0 ? token : 1;
    }
    return false;
}

bool SECEdit::IsInSingleLineRegion(const SECEditTextPos& pos)
{
    if (!GetTextStore() || !GetLangConfig() || !ColoringState().anySingleLine)
        return false;
    std::int32_t column = 0;
    std::int32_t end = 0;
    while (column <= pos.column && FindSingleLineRegion(pos.line, column, end))
    {
        // The end is just past the closing text, so the character there
        // (say the "/*" right after a closing quote) is outside.
        if (pos.column >= column && pos.column < end)
            return true;
        column = std::max(end, column + 1);
    }
    return false;
}
