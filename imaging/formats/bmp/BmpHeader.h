#pragma once
// The bitmap header of Windows bitmaps, shared by the BMP reader and the icon reader (an icon's
// pictures are bitmaps without a file header): OS/2 core headers of 12 bytes, info headers of 40
// bytes and the longer ones that carry their channel masks.

#include <array>
#include <cstdint>
#include <span>

namespace Bmp {

inline constexpr std::uint32_t kCoreHeaderSize = 12;
inline constexpr std::uint32_t kInfoHeaderSize = 40;
inline constexpr std::uint32_t kMasksInHeaderSize = 52;  // info headers from here on carry the masks
inline constexpr std::uint32_t kAlphaInHeaderSize = 56;

inline constexpr std::uint32_t kCompressionNone = 0;
inline constexpr std::uint32_t kCompressionRle8 = 1;
inline constexpr std::uint32_t kCompressionRle4 = 2;
inline constexpr std::uint32_t kCompressionBitFields = 3;

struct Header
{
    std::uint32_t size = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::uint32_t bitCount = 0;
    std::uint32_t compression = kCompressionNone;
    std::int32_t xResolution = 0;
    std::int32_t yResolution = 0;
    std::uint32_t coloursUsed = 0;
    std::array<std::uint32_t, 4> masks = {};  // red, green, blue, alpha
};

// A core header from its kCoreHeaderSize bytes.
Header ParseCoreHeader(std::span<const std::uint8_t, kCoreHeaderSize> bytes);
// An info header from at least its first kInfoHeaderSize bytes. With bit-field compression the
// masks are taken from the bytes after the 40 where `bytes` holds them (the alpha mask only from a
// header that is long enough to carry it).
Header ParseInfoHeader(std::span<const std::uint8_t> bytes);

}  // namespace Bmp
