#include "syntax/SECEditArchiveWriter.h"

void SECEditArchiveWriter::WriteUInt16(std::uint16_t value)
{
    m_bytes.push_back(static_cast<std::uint8_t>(value & 0xFF));
    m_bytes.push_back(static_cast<std::uint8_t>(value >> 8));
}

void SECEditArchiveWriter::WriteUInt32(std::uint32_t value)
{
    for (int shift = 0; shift < 32; shift += 8)
        m_bytes.push_back(static_cast<std::uint8_t>((value >> shift) & 0xFF));
}

void SECEditArchiveWriter::WriteCount(std::uint32_t value)
{
    if (value < 0xFFFF)
    {
        WriteUInt16(static_cast<std::uint16_t>(value));
        return;
    }
    WriteUInt16(0xFFFF);
    WriteUInt32(value);
}

void SECEditArchiveWriter::WriteString(std::u16string_view value)
{
    // The Unicode marker: 0xFF, then 0xFFFE.
    WriteUInt8(0xFF);
    WriteUInt16(0xFFFE);
    const std::size_t length = value.size();
    if (length < 0xFF)
    {
        WriteUInt8(static_cast<std::uint8_t>(length));
    }
    else if (length < 0xFFFE)
    {
        WriteUInt8(0xFF);
        WriteUInt16(static_cast<std::uint16_t>(length));
    }
    else
    {
        WriteUInt8(0xFF);
        WriteUInt16(0xFFFF);
        WriteUInt32(static_cast<std::uint32_t>(length));
    }
    for (char16_t c : value)
        WriteUInt16(static_cast<std::uint16_t>(c));
}
