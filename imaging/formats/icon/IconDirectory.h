#pragma once
// The directory of an icon or cursor file and the group-icon directory of an executable: one entry
// per image, and the choice of the image a request asks for.

#include <cstdint>
#include <span>
#include <vector>

// What a caller can learn about every image of an icon without decoding it.
struct CIconEntryInfo
{
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    int bitCount = 0;
};

struct IconDirectoryEntry
{
    CIconEntryInfo info;
    std::uint8_t colorCount = 0;
    std::uint32_t dataSize = 0;
    // The image's data: an offset in an icon file, a resource identifier in an executable.
    std::uint32_t location = 0;
};

// The fixed parts of the two directory layouts.
inline constexpr std::size_t kIconHeaderSize = 6;
inline constexpr std::size_t kIconFileEntrySize = 16;
inline constexpr std::size_t kIconGroupEntrySize = 14;
inline constexpr std::uint16_t kIconTypeIcon = 1;
inline constexpr std::uint16_t kIconTypeCursor = 2;

// One directory entry; `entry` holds kIconFileEntrySize or kIconGroupEntrySize bytes. A width or
// height byte of 0 stands for 256.
IconDirectoryEntry ParseIconFileEntry(std::span<const std::uint8_t> entry);
IconDirectoryEntry ParseIconGroupEntry(std::span<const std::uint8_t> entry);

// The bits per pixel that a colour count needs; 0 for a count of 0 (256 colours or more).
int BitsForColorCount(unsigned count);
// Whether an image's data is a PNG stream rather than a bitmap.
bool IsPngIconImage(std::span<const std::uint8_t> data);
// The bits per pixel of an image from its first bytes (a bitmap-info header or a PNG header);
// 0 when they say nothing usable.
int BitCountOfIconImage(std::span<const std::uint8_t> head);
// How many leading bytes BitCountOfIconImage looks at.
inline constexpr std::uint32_t kIconImageHeadSize = 26;

// The index of the entry the request selects. Bits 24 and 25 of the request are ignored. A request
// of 0 or more is an entry number. A negative one with top byte 0x80 packs width, height and bit
// count into its low three bytes (bit count 0xFF: the most bits). Any other request takes the
// largest image, then the one with more bits, then the first. EIconError when nothing matches.
std::size_t ChooseIconEntry(std::span<const IconDirectoryEntry> entries, std::int32_t request);

// The most bytes one image may have: enough for the largest bitmap an entry can describe (256 x 256
// at 32 bits with its mask, 270376 bytes) and for a PNG of that size stored without compression.
inline constexpr std::uint32_t kMaxIconImageSize = 0x48000;
