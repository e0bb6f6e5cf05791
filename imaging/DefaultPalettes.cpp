#include "imaging/DefaultPalettes.h"

#include <cstdint>

namespace {

constexpr std::uint32_t twoColors[2] = {0x000000, 0xFFFFFF};
constexpr std::uint32_t fourColors[4] = {0x000000, 0x008000, 0x800000, 0xFFFFFF};
constexpr std::uint32_t sixteenColors[16] = {
    0x000000, 0x000080, 0x008000, 0x008080, 0x800000, 0x800080, 0x808000, 0xC0C0C0,
    0x808080, 0x0000FF, 0x00FF00, 0x00FFFF, 0xFF0000, 0xFF00FF, 0xFFFF00, 0xFFFFFF};
constexpr std::uint8_t cubeLevels[6] = {20, 63, 106, 149, 192, 235};

RGBQUAD Entry(std::uint32_t r, std::uint32_t g, std::uint32_t b)
{
    return RGBQUAD{std::uint8_t(b), std::uint8_t(g), std::uint8_t(r), 0};
}

RGBQUAD Entry(std::uint32_t rgb)
{
    return Entry((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

}  // namespace

void SetDefaultPalette(std::span<RGBQUAD, 256> colors, int bpp)
{
    switch (bpp) {
    case 1:
        for (unsigned i = 0; i < 2; ++i)
            colors[i] = Entry(twoColors[i]);
        break;
    case 2:
        for (unsigned i = 0; i < 4; ++i)
            colors[i] = Entry(fourColors[i]);
        break;
    case 4:
        for (unsigned i = 0; i < 16; ++i)
            colors[i] = Entry(sixteenColors[i]);
        break;
    case 8:
        for (unsigned i = 0; i < 16; ++i)
            colors[i] = Entry(sixteenColors[i]);
        for (unsigned i = 16; i < 32; ++i) {
            const unsigned grey = (i - 16) * 16;
            colors[i] = Entry(grey, grey, grey);
        }
        // The cube is indexed by i itself, not by i - 32, so it starts part-way through.
        for (unsigned i = 32; i < 248; ++i)
            colors[i] = Entry(cubeLevels[(i / 36) % 6], cubeLevels[(i / 6) % 6], cubeLevels[i % 6]);
        for (unsigned i = 248; i < 256; ++i)
            colors[i] = Entry(((i >> 5) & 3) * 64 + 32, ((i >> 2) & 7) * 32 + 16, (i & 3) * 64 + 32);
        break;
    default:
        break;
    }
}
