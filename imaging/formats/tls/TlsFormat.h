#pragma once
// The layout of the library's own sequence files ("TLSP"), shared by their reader and writer:
// a 16-byte header, then per frame a 64-byte attribute block, the rows (top first, padded to
// 4 bytes) and, in sequences of two frames or more, a 4-byte trailer. A CRC-16 covers it all.

#include <array>
#include <cstdint>
#include <span>

namespace tls {

inline constexpr std::size_t kHeaderSize = 16;
inline constexpr std::size_t kAttributeBlockSize = 64;
inline constexpr std::size_t kTrailerSize = 4;
inline constexpr std::uint32_t kMaxDimension = 4096;
inline constexpr std::size_t kCrcOffset = 10;
// Entries of the attribute table: 3-bit values packed into the block's 16 words.
inline constexpr std::uint32_t kAttributeCount = 176;
// Pixels after the table that tell a 32-bit image's table apart from chance.
inline constexpr std::uint32_t kAttributeCheckEnd = 198;

using AttributeBlock = std::array<std::uint8_t, kAttributeBlockSize>;
using Trailer = std::array<std::uint8_t, kTrailerSize>;

struct Header
{
    std::uint16_t width = 0;
    std::uint16_t height = 0;
    std::uint8_t bytesPerPixel = 0;
    std::uint8_t lastFrame = 0;
    std::uint16_t crc = 0;
    std::uint32_t userValue = 0;

    // The 16 bytes as stored, little-endian.
    std::array<std::uint8_t, kHeaderSize> Bytes() const;
    // False when the magic is not there.
    bool Parse(std::span<const std::uint8_t, kHeaderSize> bytes);

    std::uint32_t LineBytes() const { return ((std::uint32_t{width} * bytesPerPixel * 8 + 31) >> 5) * 4; }
    std::uint32_t FrameCount() const { return std::uint32_t{lastFrame} + 1; }
    // Attribute block, rows and, with two frames or more, the trailer.
    std::uint64_t FrameSize() const
    {
        return kAttributeBlockSize + std::uint64_t{height} * LineBytes() + (lastFrame > 0 ? kTrailerSize : 0);
    }
    std::uint64_t FrameOffset(std::uint32_t frame) const { return kHeaderSize + frame * FrameSize(); }
    std::uint64_t FileSize() const { return FrameOffset(FrameCount()); }
};

// CRC-16, polynomial 0x1021, most significant bit first, start 0, no final inversion.
class Crc16
{
public:
    void Add(std::span<const std::uint8_t> bytes);
    std::uint16_t Value() const { return m_value; }

private:
    std::uint16_t m_value = 0;
};

// Entry i of the attribute table: 3 bits at (i >> 4) * 3 of word i & 15.
std::uint8_t Attribute(const AttributeBlock& block, std::uint32_t i);
void SetAttribute(AttributeBlock& block, std::uint32_t i, std::uint8_t value);

// The 1-byte pixel: bits 4, 5, 6 blue, green, red of at least 64; bits 0-3 and 7 from alpha.
inline std::uint8_t PixelByte(std::uint8_t blue, std::uint8_t green, std::uint8_t red, std::uint8_t alpha)
{
    return static_cast<std::uint8_t>((blue >= 64 ? 0x10 : 0) | (green >= 64 ? 0x20 : 0) | (red >= 64 ? 0x40 : 0) |
                                     (alpha & 0x8F));
}

}  // namespace tls
