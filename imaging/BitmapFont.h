#pragma once
// The library's bitmap-font format (internal to the imaging library). Fonts may come from
// anywhere, so every offset and size is checked against the font's length.
//
//   short header: first code (byte), last code (byte)
//   long header:  00 00 46 4E, flag byte, 3 bytes, first code (u16 LE) at 8, last code at 10,
//                 4 bytes; 16 bytes in all
//   offset table: (last - first + 1) u32 LE offsets from the font start, one per code
//   metrics:      optional, u32 0x55AA00FF, u32 total length (9..4096), then records of
//                 u16 BE id, u16 BE length, value; ids 0, 1, 2 give signed metrics m0, m1, m2
//   glyph:        width, height, then height rows of ceil(width / 8) bytes, bottom row first,
//                 leftmost pixel in the top bit; a 0 bit is ink

#include <cstdint>
#include <optional>
#include <span>

struct BitmapFontInfo
{
    std::uint32_t headerSize = 0;
    std::uint32_t firstCode = 0;
    std::uint32_t lastCode = 0;
    // m0 spacing, m1 spacing base, m2 baseline drop.
    int metrics[3] = {0, 1, 0};
    bool hasMetrics = false;
};

struct BitmapGlyph
{
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::span<const std::uint8_t> rows;  // height rows of BytesPerRow(), bottom row first

    std::uint32_t BytesPerRow() const { return (width + 7) / 8; }
    // Row 0 is the glyph's top row.
    bool IsInk(std::uint32_t x, std::uint32_t rowFromTop) const
    {
        const std::uint8_t byte = rows[(height - 1 - rowFromTop) * BytesPerRow() + x / 8];
        return (byte & (0x80 >> (x % 8))) == 0;
    }
};

// The font's header and metrics, or nothing when the font is malformed (first code above the
// last, or a header or offset table that does not fit).
std::optional<BitmapFontInfo> ParseBitmapFont(std::span<const std::uint8_t> font);

// The glyph of a character code, or nothing when the code lies outside the font or the glyph's
// data does not fit into the font.
std::optional<BitmapGlyph> FindGlyph(std::span<const std::uint8_t> font, const BitmapFontInfo& info,
                                     std::uint32_t code);

// The glyph at a table index (code - first).
std::optional<BitmapGlyph> GlyphAtIndex(std::span<const std::uint8_t> font, const BitmapFontInfo& info,
                                        std::uint32_t index);
