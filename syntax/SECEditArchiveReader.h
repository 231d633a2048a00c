#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

// Reads the archive layout language configurations are stored in:
// little-endian integers, length-prefixed strings (8-bit or UTF-16) and
// counts. Every read checks the bytes left; the first one that would run
// past the end fails, and so does every read after it.
class SECEditArchiveReader
{
public:
    explicit SECEditArchiveReader(std::span<const std::uint8_t> bytes) : m_bytes(bytes) {}

    bool ReadUInt8(std::uint8_t& value);
    bool ReadUInt16(std::uint16_t& value);
    bool ReadUInt32(std::uint32_t& value);
    bool ReadInt32(std::int32_t& value);
    // A 32-bit flag: any non-zero value is set.
    bool ReadFlag(bool& value);
    // A 16-bit count, or 0xFFFF followed by a 32-bit count.
    bool ReadCount(std::uint32_t& value);
    // A string in any of the accepted length forms: 8-bit characters
    // (Windows-1252) or, after the Unicode marker, UTF-16LE code units.
    bool ReadString(std::u16string& value);

    bool Failed() const { return m_failed; }
    std::size_t GetPosition() const { return m_position; }
    std::size_t GetRemaining() const { return m_bytes.size() - m_position; }
    bool AtEnd() const { return m_position == m_bytes.size(); }

private:
    bool Take(std::size_t count, const std::uint8_t*& data);
    bool ReadLength(std::uint32_t& length, bool& unicode, bool markerAllowed);

    std::span<const std::uint8_t> m_bytes;
    std::size_t m_position = 0;
    bool m_failed = false;
};
