#include "engine/SECEditCommandBase.h"

#include <atomic>

namespace
{
// Serials start at 1: 0 is the clean marker's "nothing on top".
std::atomic<std::uint64_t> g_nextSerial{1};
} // namespace

SECEditCommandBase::SECEditCommandBase(unsigned int kind) noexcept
    : SECEditMsg(kind), m_serial(g_nextSerial.fetch_add(1, std::memory_order_relaxed))
{
}
