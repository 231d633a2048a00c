#include "engine/SECEditCommand.h"

#include "engine/SECEdit.h"

#include <string>

namespace
{
void AppendNumber(std::u16string& out, long long n)
{
    const std::string digits = std::to_string(n);
    out.append(digits.begin(), digits.end());
}
} // namespace

SECEditCommand::SECEditCommand(SECEdit* engine, const SECEditTextRange& range, bool inserts, std::u16string text)
    : SECEditCommandBase(EditCommand), m_engine(engine), m_range(range), m_text(std::move(text)),
      m_inserts(inserts), m_textPresent(inserts)
{
}

void SECEditCommand::Sprint(std::u16string& out) const
{
    if (m_inserts)
    {
        out = u"Insert text having length ";
        AppendNumber(out, static_cast<long long>(m_text.size()));
        out += u" at line ";
        AppendNumber(out, m_range.start.line);
        out += u", column ";
        AppendNumber(out, m_range.start.column);
    }
    else
    {
        out = u"Delete text from line ";
        AppendNumber(out, m_range.start.line);
        out += u", column ";
        AppendNumber(out, m_range.start.column);
        out += u" to line ";
        AppendNumber(out, m_range.end.line);
        out += u", column ";
        AppendNumber(out, m_range.end.column);
    }
}

bool SECEditCommand::Do()
{
    if (!m_engine)
        return false;
    SECEditCommandBase* const outer = m_engine->GetExecutingCommand();
    m_engine->SetExecutingCommand(this);
    const bool ok = m_inserts ? ExecuteInsert() : ExecuteDelete();
    m_engine->SetExecutingCommand(outer);
    return ok;
}

bool SECEditCommand::UndoCommand()
{
    if (!m_engine)
        return false;
    m_replaying = true;
    SECEditCommandBase* const outer = m_engine->GetExecutingCommand();
    m_engine->SetExecutingCommand(this);
    const bool ok = m_inserts ? ExecuteDelete() : ExecuteInsert();
    m_engine->SetExecutingCommand(outer);
    return ok;
}

bool SECEditCommand::ExecuteInsert()
{
    m_textPresent = true;
    const SECEditTextRange before = m_range;
    bool ok = m_engine->InsertText(m_range, m_text.data(), static_cast<std::ptrdiff_t>(m_text.size()));
    // The line-length rule may have added line breaks: the text is what the
    // document now holds.
    if (ok && m_range != before)
    {
        std::u16string now;
        ok = m_engine->GetText(now, m_range.start.line, m_range.start.column, m_range.end.line,
                               m_range.end.column);
        if (ok)
            m_text = std::move(now);
    }
    m_success = m_success && ok;
    return ok;
}

bool SECEditCommand::ExecuteDelete()
{
    m_textPresent = false;
    if (m_text.empty() && !m_engine->GetText(m_text, m_range.start.line, m_range.start.column, m_range.end.line,
                                             m_range.end.column))
        m_success = false;
    const bool ok =
        m_engine->DeleteText(m_range.start.line, m_range.start.column, m_range.end.line, m_range.end.column);
    m_success = m_success && ok;
    return ok;
}

SECEditCommand* SECEditCommand::FromMessage(IMessage* message) noexcept
{
    if (!message || message->GetMessageId() != EditCommand)
        return nullptr;
    return dynamic_cast<SECEditCommand*>(message);
}
