#include "engine/SECEditReplaceCommand.h"

#include "engine/SECEdit.h"

#include <algorithm>
#include <string>

SECEditReplaceCommand::SECEditReplaceCommand(SECEdit* engine) : SECEditCommandBase(ReplaceCommand), m_engine(engine)
{
}

void SECEditReplaceCommand::Add(std::ptrdiff_t offset, SECEditTextPos at, std::u16string_view removed,
                                std::u16string_view inserted)
{
    std::int32_t shift = 0;
    if (!m_spans.empty() && m_spans.back().at.line == at.line)
        shift = m_spans.back().shift + m_spans.back().inserted - m_spans.back().removed;
    m_spans.push_back({offset, at, shift, m_removed.size(), m_inserted.size(),
                       std::int32_t(removed.size()), std::int32_t(inserted.size())});
    m_removed += removed;
    m_inserted += inserted;
}

void SECEditReplaceCommand::Sprint(std::u16string& out) const
{
    const auto number = [](long long n) {
        const std::string digits = std::to_string(n);
        return std::u16string(digits.begin(), digits.end());
    };
    out = u"Replace " + number(static_cast<long long>(m_spans.size())) + u" occurrences from line " +
          number(GetFirstLine()) + u" to line " + number(GetLastLine());
}

bool SECEditReplaceCommand::Run(bool undo)
{
    if (!m_engine || !m_engine->ApplyReplace(*this, undo))
    {
        m_success = false;
        return false;
    }
    return true;
}

bool SECEditReplaceCommand::Do()
{
    // Observers hear of the change inside the run, and read IsDone then.
    m_done = true;
    if (Run(false))
        return true;
    m_done = false;
    return false;
}

bool SECEditReplaceCommand::UndoCommand()
{
    m_done = false;
    if (Run(true))
        return true;
    m_done = true;
    return false;
}

std::int32_t SECEditReplaceCommand::GetFirstLine() const noexcept
{
    return m_spans.empty() ? 0 : m_spans.front().at.line;
}

std::int32_t SECEditReplaceCommand::GetLastLine() const noexcept
{
    return m_spans.empty() ? 0 : m_spans.back().at.line;
}

SECEditTextPos SECEditReplaceCommand::Map(SECEditTextPos pos) const
{
    // The replacements on the position's line, in order: each one's start and
    // length as the text stands now, and what it becomes. A deletion takes a
    // position inside it to its start; the insertion there moves it past the
    // inserted text. Done, replacements run forwards, so a position taken
    // past one is at the start of a replacement right behind and goes past
    // that one too; undone, they run backwards, and the last replacement
    // holding the position decides.
    auto span = std::lower_bound(m_spans.begin(), m_spans.end(), pos.line,
                                 [](const Span& s, std::int32_t line) { return s.at.line < line; });
    std::int32_t moved = 0;
    std::int32_t taken = -1;
    for (; span != m_spans.end() && span->at.line == pos.line; ++span)
    {
        const std::int32_t start = m_done ? span->at.column : span->at.column + span->shift;
        const std::int32_t now = m_done ? span->removed : span->inserted;
        const std::int32_t after = m_done ? span->inserted : span->removed;
        if (pos.column < start)
            break;
        if (pos.column <= start + now)
        {
            if (m_done)
                pos.column = start + now;
            else
                taken = start + moved + after;
        }
        moved += after - now;
    }
    return {pos.line, taken >= 0 ? taken : pos.column + moved};
}

SECEditTextPos SECEditReplaceCommand::Shift(SECEditTextPos pos) const
{
    auto span = std::lower_bound(m_spans.begin(), m_spans.end(), pos.line,
                                 [](const Span& s, std::int32_t line) { return s.at.line < line; });
    std::int32_t moved = 0;
    for (; span != m_spans.end() && span->at.line == pos.line; ++span)
    {
        const std::int32_t start = m_done ? span->at.column : span->at.column + span->shift;
        const std::int32_t now = m_done ? span->removed : span->inserted;
        if (pos.column < start + now)
            break;
        moved += (m_done ? span->inserted : span->removed) - now;
    }
    return {pos.line, pos.column + moved};
}

SECEditTextPos SECEditReplaceCommand::GetCaretAfter() const
{
    if (m_spans.empty())
        return {};
    if (m_done)
    {
        const Span& last = m_spans.back();
        return {last.at.line, last.at.column + last.shift + last.inserted};
    }
    const Span& first = m_spans.front();
    return {first.at.line, first.at.column + first.removed};
}

void SECEditReplaceCommand::MakeStoreEdits(bool undo, std::vector<SECEditTextStore::SpanEdit>& out) const
{
    // Each edit's offset is in the text as the ones before it left it: when
    // doing, after the earlier replacements; when undoing, after the earlier
    // ones were taken back, which is where the text stood before.
    out.clear();
    out.reserve(m_spans.size());
    std::ptrdiff_t moved = 0;
    for (const Span& s : m_spans)
    {
        const std::u16string_view removed(m_removed.data() + s.removedAt, std::size_t(s.removed));
        const std::u16string_view inserted(m_inserted.data() + s.insertedAt, std::size_t(s.inserted));
        if (undo)
            out.push_back({s.offset, s.inserted, removed});
        else
            out.push_back({s.offset + moved, s.removed, inserted});
        moved += s.inserted - s.removed;
    }
}

SECEditReplaceCommand* SECEditReplaceCommand::FromMessage(IMessage* message) noexcept
{
    if (!message || message->GetMessageId() != ReplaceCommand)
        return nullptr;
    return dynamic_cast<SECEditReplaceCommand*>(message);
}
