#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <utility>
#include <vector>

// Writes the archive layout SECEditArchiveReader reads. Strings are always
// written in the Unicode form (FF FE FF, then the length, then UTF-16LE).
class SECEditArchiveWriter
{
public:
    void WriteUInt8(std::uint8_t value) { m_bytes.push_back(value); }
    void WriteUInt16(std::uint16_t value);
    void WriteUInt32(std::uint32_t value);
    void WriteInt32(std::int32_t value) { WriteUInt32(static_cast<std::uint32_t>(value)); }
    void WriteFlag(bool value) { WriteUInt32(value ? 1 : 0); }
    // 16-bit below 0xFFFF, else 0xFFFF and a 32-bit count.
    void WriteCount(std::uint32_t value);
    void WriteString(std::u16string_view value);

    const std::vector<std::uint8_t>& GetBytes() const { return m_bytes; }
    std::vector<std::uint8_t> TakeBytes() { return std::move(m_bytes); }

private:
    std::vector<std::uint8_t> m_bytes;
};
