#pragma once

#include <array>
#include <cstdint>

// A 128-bit interface identifier.
using SECGuid = std::array<std::uint8_t, 16>;

// Interface query by identifier: true and *out set when the object offers it.
class IQueryGuid
{
public:
    virtual bool QueryGuid(const SECGuid& guid, void** out) = 0;

protected:
    ~IQueryGuid() = default;
};
