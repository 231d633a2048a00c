#include "engine/SECEditLinesMsg.h"

#include <string>

namespace
{
void AppendNumber(std::u16string& out, long long n)
{
    const std::string digits = std::to_string(n);
    out.append(digits.begin(), digits.end());
}
} // namespace

void SECEditLinesMsg::Sprint(std::u16string& out) const
{
    out = u"Invalidate Lines ";
    AppendNumber(out, m_firstLine);
    out += u" to ";
    AppendNumber(out, m_lastLine);
}

const SECEditLinesMsg* SECEditLinesMsg::FromMessage(const IMessage* message) noexcept
{
    if (!message || message->GetMessageId() != InvalidateLines)
        return nullptr;
    return dynamic_cast<const SECEditLinesMsg*>(message);
}
