#pragma once
// The library's one weighting of colour into grey, 76·R + 152·G + 29·B over 256: the 8-bit row
// converters, the grey JPEG writer and the PNM writer's choice of black all use it.

#include <cstdint>

// The weighted sum, 256 times the grey level: for comparing brightness without rounding.
constexpr std::uint32_t GreyWeightedSum(std::uint32_t red, std::uint32_t green, std::uint32_t blue)
{
    return 76 * red + 152 * green + 29 * blue;
}

constexpr std::uint32_t GreyLevel(std::uint32_t red, std::uint32_t green, std::uint32_t blue)
{
    return GreyWeightedSum(red, green, blue) >> 8;
}

// Of a colour 0x..RRGGBB.
constexpr std::uint32_t GreyOf(std::uint32_t colour)
{
    return GreyLevel((colour >> 16) & 0xFF, (colour >> 8) & 0xFF, colour & 0xFF);
}

// The weights add up to 257, so white stays 255 and no level overflows a byte.
static_assert(GreyOf(0xFFFFFF) == 255 && GreyOf(0x808080) == 128 && GreyOf(0) == 0);
