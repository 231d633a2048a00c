#pragma once

#include "engine/SECEditMsg.h"

#include <cstdint>

// Kind 22585: lines first to last (inclusive) must be recoloured and repainted.
class SECEditLinesMsg : public SECEditMsg
{
public:
    SECEditLinesMsg(std::int32_t firstLine, std::int32_t lastLine) noexcept
        : SECEditMsg(InvalidateLines), m_firstLine(firstLine), m_lastLine(lastLine)
    {
    }

    std::int32_t GetFirstLine() const noexcept { return m_firstLine; }
    std::int32_t GetLastLine() const noexcept { return m_lastLine; }

    // "Invalidate Lines %d to %d"
    void Sprint(std::u16string& out) const override;

    // The message as a lines message, or nullptr when it is another kind.
    static const SECEditLinesMsg* FromMessage(const IMessage* message) noexcept;

private:
    std::int32_t m_firstLine;
    std::int32_t m_lastLine;
};
