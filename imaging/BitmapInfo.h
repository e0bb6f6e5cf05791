#pragma once
// The device-independent bitmap header and palette that travel with every image. The layout is
// the classic Windows one, so the readers and writers of bitmap-based formats can use it as is.

#include <cstdint>

struct BITMAPINFOHEADER
{
    std::uint32_t biSize = 0;
    std::int32_t biWidth = 0;
    std::int32_t biHeight = 0;
    std::uint16_t biPlanes = 0;
    std::uint16_t biBitCount = 0;
    std::uint32_t biCompression = 0;
    std::uint32_t biSizeImage = 0;
    std::int32_t biXPelsPerMeter = 0;
    std::int32_t biYPelsPerMeter = 0;
    std::uint32_t biClrUsed = 0;
    std::uint32_t biClrImportant = 0;
};
static_assert(sizeof(BITMAPINFOHEADER) == 40);

// One palette entry in memory order B, G, R, A; the reserved byte serves as the entry's alpha.
struct RGBQUAD
{
    std::uint8_t rgbBlue = 0;
    std::uint8_t rgbGreen = 0;
    std::uint8_t rgbRed = 0;
    std::uint8_t rgbReserved = 0;
};
static_assert(sizeof(RGBQUAD) == 4);

inline constexpr std::uint32_t BI_RGB = 0;
inline constexpr std::uint32_t BI_BITFIELDS = 3;

struct GraphicsBitmapInfo
{
    BITMAPINFOHEADER header;
    RGBQUAD colors[256];
};
