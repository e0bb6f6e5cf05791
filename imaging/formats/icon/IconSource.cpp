#include "imaging/formats/icon/IconSource.h"

#include "imaging/GraphicsCodec.h"
#include "imaging/GraphicsException.h"
#include "support/DataStream.h"

#include <algorithm>

CIconSource::CIconSource(CDataStream& stream)
    : m_stream(stream), m_base(std::max(stream.Tell(), 0)), m_size(0)
{
    const std::int32_t total = stream.Size();
    if (total > m_base)
        m_size = static_cast<std::uint64_t>(total - m_base);
}

std::vector<std::uint8_t> CIconSource::ReadAt(std::uint64_t offset, std::uint32_t length, const char* failureText)
{
    if (!Contains(offset, length))
        throw EIconError(failureText);
    std::vector<std::uint8_t> bytes(length);
    const auto position = static_cast<std::int32_t>(m_base + static_cast<std::int64_t>(offset));
    if (m_stream.Seek(position, 0) != position ||
        !ReadFully(m_stream, bytes.data(), length))
        throw EIconError(failureText);
    return bytes;
}

std::uint16_t CIconSource::U16At(std::uint64_t offset, const char* failureText)
{
    return IconLe16(ReadAt(offset, 2, failureText), 0);
}

std::uint32_t CIconSource::U32At(std::uint64_t offset, const char* failureText)
{
    return IconLe32(ReadAt(offset, 4, failureText), 0);
}
