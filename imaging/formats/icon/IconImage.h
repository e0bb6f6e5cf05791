#pragma once
// One image of an icon or cursor: a bitmap (colour bitmap and 1-bit mask behind a bitmap-info
// header) or a PNG stream. The mask's transparency survives: masked pixels take the transparent
// colour (or, over white, the inverse colour of the screen-inverting pixels) and alpha 0, in the
// palette of an 8-bit result or in the pixels of a 32-bit one.

#include <cstdint>
#include <span>

class CGraphicsImage;

inline constexpr std::uint32_t kIconTransparentColor = 0x40C0C0;
inline constexpr std::uint32_t kIconInverseColor = 0xC040C0;
// Palette indices an 8-bit result keeps for its masked pixels.
inline constexpr unsigned kIconTransparentIndex = 255;
inline constexpr unsigned kIconInverseIndex = 254;

// width and height come from the directory entry; a cursor's bitmap may come without its mask.
void DecodeIconImage(std::span<std::uint8_t> data, std::uint32_t width, std::uint32_t height, bool cursor,
                     CGraphicsImage& image);

// Moves the pixels of indices 254 and 255 of an 8-bit image to the least-used index from 16 to
// 253, which takes over their colour; the pixels that index had move to their nearest colour.
void FreeMaskIndices(CGraphicsImage& image);
