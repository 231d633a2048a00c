#include "syntax/SECEditArchiveReader.h"

#include "engine/TextFileFormat.h"

bool SECEditArchiveReader::Take(std::size_t count, const std::uint8_t*& data)
{
    if (m_failed || count > m_bytes.size() - m_position)
    {
        m_failed = true;
        return false;
    }
    data = m_bytes.data() + m_position;
    m_position += count;
    return true;
}

bool SECEditArchiveReader::ReadUInt8(std::uint8_t& value)
{
    const std::uint8_t* data = nullptr;
    if (!Take(1, data))
        return false;
    value = data[0];
    return true;
}

bool SECEditArchiveReader::ReadUInt16(std::uint16_t& value)
{
    const std::uint8_t* data = nullptr;
    if (!Take(2, data))
        return false;
    value = static_cast<std::uint16_t>(data[0] | (data[1] << 8));
    return true;
}

bool SECEditArchiveReader::ReadUInt32(std::uint32_t& value)
{
    const std::uint8_t* data = nullptr;
    if (!Take(4, data))
        return false;
    value = static_cast<std::uint32_t>(data[0]) | (static_cast<std::uint32_t>(data[1]) << 8) |
            (static_cast<std::uint32_t>(data[2]) << 16) | (static_cast<std::uint32_t>(data[3]) << 24);
    return true;
}

bool SECEditArchiveReader::ReadInt32(std::int32_t& value)
{
    std::uint32_t raw = 0;
    if (!ReadUInt32(raw))
        return false;
    value = static_cast<std::int32_t>(raw);
    return true;
}

bool SECEditArchiveReader::ReadFlag(bool& value)
{
    std::uint32_t raw = 0;
    if (!ReadUInt32(raw))
        return false;
    value = raw != 0;
    return true;
}

bool SECEditArchiveReader::ReadCount(std::uint32_t& value)
{
    std::uint16_t shortCount = 0;
    if (!ReadUInt16(shortCount))
        return false;
    if (shortCount != 0xFFFF)
    {
        value = shortCount;
        return true;
    }
    return ReadUInt32(value);
}

// One byte below 0xFF; or 0xFF and a 16-bit length below 0xFFFE; or 0xFF,
// 0xFFFF and a 32-bit length. 0xFF 0xFFFE marks UTF-16 characters and is
// followed by the length in one of the three forms (once only).
bool SECEditArchiveReader::ReadLength(std::uint32_t& length, bool& unicode, bool markerAllowed)
{
    std::uint8_t byteLength = 0;
    if (!ReadUInt8(byteLength))
        return false;
    if (byteLength < 0xFF)
    {
        length = byteLength;
        return true;
    }
    std::uint16_t wordLength = 0;
    if (!ReadUInt16(wordLength))
        return false;
    if (wordLength == 0xFFFE)
    {
        if (!markerAllowed)
        {
            m_failed = true;
            return false;
        }
        unicode = true;
        return ReadLength(length, unicode, false);
    }
    if (wordLength < 0xFFFE)
    {
        length = wordLength;
        return true;
    }
    return ReadUInt32(length);
}

bool SECEditArchiveReader::ReadString(std::u16string& value)
{
    std::uint32_t length = 0;
    bool unicode = false;
    if (!ReadLength(length, unicode, true))
        return false;
    // Check the length against the bytes left before allocating anything.
    const std::size_t byteCount = unicode ? std::size_t{length} * 2 : std::size_t{length};
    const std::uint8_t* data = nullptr;
    if (!Take(byteCount, data))
        return false;
    value.resize(length);
    if (unicode)
    {
        for (std::size_t i = 0; i < length; ++i)
            value[i] = static_cast<char16_t>(data[2 * i] | (data[2 * i + 1] << 8));
    }
    else
    {
        for (std::size_t i = 0; i < length; ++i)
            value[i] = TextFileFormat::Windows1252ToUnicode(data[i]); // as 8-bit files are read
    }
    return true;
}
