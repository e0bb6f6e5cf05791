#pragma once
// The function tables of the nine pixel formats (internal to the imaging library).

#include "imaging/GraphicsImage.h"

#include <bit>
#include <cstdint>

// Pixel values are copied to and from memory as native words in places.
static_assert(std::endian::native == std::endian::little);

// Functions of an image without a format: converters return a dummy row, reads give 0.
const GraphicsFormatFunctions& InertFormatFunctions();
// The table of a format, or null when bpp names none.
const GraphicsFormatFunctions* FormatFunctionsFor(int bpp);

// Grey level of a colour, as the 8-bit row converters compute it.
constexpr std::uint32_t GreyOf(std::uint32_t colour)
{
    return (76 * ((colour >> 16) & 0xFF) + 152 * ((colour >> 8) & 0xFF) + 29 * (colour & 0xFF)) >> 8;
}

inline std::uint32_t LoadLE32(const std::uint8_t* p)
{
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
           std::uint32_t(p[3]) << 24;
}

inline void StoreLE32(std::uint8_t* p, std::uint32_t v)
{
    p[0] = std::uint8_t(v);
    p[1] = std::uint8_t(v >> 8);
    p[2] = std::uint8_t(v >> 16);
    p[3] = std::uint8_t(v >> 24);
}
