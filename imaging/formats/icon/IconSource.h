#pragma once
// Random access to the bytes of an icon file or an executable, from the stream position the read
// began at. Every offset and length is checked against the source's size before anything is read
// or allocated, so a directory that points outside the file fails with the caller's message.

#include "support/ByteOrder.h"

#include <cstdint>
#include <span>
#include <vector>

class CDataStream;

class CIconSource
{
public:
    explicit CIconSource(CDataStream& stream);

    std::uint64_t Size() const { return m_size; }
    bool Contains(std::uint64_t offset, std::uint64_t length) const
    {
        return offset <= m_size && length <= m_size - offset;
    }

    // Exactly `length` bytes at `offset`, or EIconError(failureText).
    std::vector<std::uint8_t> ReadAt(std::uint64_t offset, std::uint32_t length, const char* failureText);
    std::uint16_t U16At(std::uint64_t offset, const char* failureText);
    std::uint32_t U32At(std::uint64_t offset, const char* failureText);

private:
    CDataStream& m_stream;
    std::int32_t m_base;
    std::uint64_t m_size;
};

// Little-endian fields of a block whose size the caller has checked.
inline std::uint16_t IconLe16(std::span<const std::uint8_t> bytes, std::size_t at)
{
    return LoadLE16(bytes.subspan(at, 2).data());
}

inline std::uint32_t IconLe32(std::span<const std::uint8_t> bytes, std::size_t at)
{
    return LoadLE32(bytes.subspan(at, 4).data());
}
