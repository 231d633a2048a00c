// Line colouring of SECEdit. This first version colours every line as plain
// text; the full tokeniser replaces it.

#include "engine/SECEdit.h"

#include "engine/SECEditTextStore.h"

#include <algorithm>

SECEditColorRuns* SECEdit::GetLineColoring(std::int32_t line)
{
    if (!GetTextStore() || line < 0 || line >= GetLineCount())
        return nullptr;
    if (SECEditColorRuns* cached = FindCachedColoring(line))
        return cached;
    return ColorLine(line, 0);
}

SECEditColorRuns* SECEdit::ColorLine(std::int32_t line, std::int32_t)
{
    if (line < 0 || line >= GetLineCount())
        return nullptr;
    m_colorFrontier = std::max(m_colorFrontier, line + 1);
    SECEditColorRuns& runs = CachedColoring(line);
    runs.assign(1, 0u); // Text, to the end of the line
    return &runs;
}

int SECEdit::ColorToken(std::int32_t, const char16_t*, int, int tokenLength, int, int& pending, SECEditColorRuns&)
{
    const int consumed = std::max(tokenLength, 1);
    pending += consumed;
    return consumed;
}

int SECEdit::ColorWord(std::int32_t, const char16_t*, int, int, int, int&, SECEditColorRuns&)
{
    return 0;
}

int SECEdit::ColorDelimited(std::int32_t, const char16_t*, int, int, int, int&, SECEditColorRuns&)
{
    return 0;
}

int SECEdit::ColorOperator(std::int32_t, const char16_t*, int, int, int, int&, SECEditColorRuns&)
{
    return 0;
}

const SECEditDelimiter* SECEdit::FindDelimiterAt(std::int32_t, const char16_t*, int, int, int, DelimiterMode)
{
    return nullptr;
}

int SECEdit::ColorMultiLineRegion(std::int32_t, const char16_t*, int, int charsLeft, SECEditColorRuns&,
                                  const SECEditDelimiter*)
{
    return std::max(charsLeft, 1);
}

int SECEdit::ColorSingleLineRegion(std::int32_t, const char16_t*, int, int charsLeft, SECEditColorRuns&,
                                   const SECEditDelimiter*)
{
    return std::max(charsLeft, 1);
}

void SECEdit::FlushPending(SECEditColorRuns& runs, int& pending)
{
    if (pending > 0)
        runs.push_back(static_cast<std::uint32_t>(std::min(pending, 0xFFFF)));
    pending = 0;
}

SECEditTextPos SECEdit::FindRegionEnd(const SECEditTextPos& regionStart, const SECEditTextPos&,
                                      const SECEditDelimiter*)
{
    return {regionStart.line, std::max(GetLineLength(regionStart.line), 0)};
}

bool SECEdit::FindSingleLineRegion(std::int32_t, std::int32_t&, std::int32_t&)
{
    return false;
}

bool SECEdit::IsInSingleLineRegion(const SECEditTextPos&)
{
    return false;
}
