#pragma once
// Multi-byte fields of files and pixel rows: 16- and 32-bit values kept little-endian (Windows
// bitmaps, icons, GIF, TLS) or big-endian (XWD, TIFF from Motorola machines, ISO media boxes).
// The caller has checked that the bytes are there.

#include <cstdint>

constexpr std::uint16_t LoadLE16(const std::uint8_t* p)
{
    return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}

constexpr std::uint32_t LoadLE32(const std::uint8_t* p)
{
    return std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16 | std::uint32_t{p[3]} << 24;
}

constexpr std::uint16_t LoadBE16(const std::uint8_t* p)
{
    return static_cast<std::uint16_t>(p[0] << 8 | p[1]);
}

constexpr std::uint32_t LoadBE32(const std::uint8_t* p)
{
    return std::uint32_t{p[0]} << 24 | std::uint32_t{p[1]} << 16 | std::uint32_t{p[2]} << 8 | std::uint32_t{p[3]};
}

constexpr std::uint64_t LoadBE64(const std::uint8_t* p)
{
    return std::uint64_t{LoadBE32(p)} << 32 | LoadBE32(p + 4);
}

// In the file's own order: `bigEndian` as the file's header says.
constexpr std::uint16_t Load16(const std::uint8_t* p, bool bigEndian)
{
    return bigEndian ? LoadBE16(p) : LoadLE16(p);
}

constexpr std::uint32_t Load32(const std::uint8_t* p, bool bigEndian)
{
    return bigEndian ? LoadBE32(p) : LoadLE32(p);
}

constexpr void StoreLE16(std::uint8_t* p, std::uint16_t value)
{
    p[0] = static_cast<std::uint8_t>(value);
    p[1] = static_cast<std::uint8_t>(value >> 8);
}

constexpr void StoreLE32(std::uint8_t* p, std::uint32_t value)
{
    p[0] = static_cast<std::uint8_t>(value);
    p[1] = static_cast<std::uint8_t>(value >> 8);
    p[2] = static_cast<std::uint8_t>(value >> 16);
    p[3] = static_cast<std::uint8_t>(value >> 24);
}
