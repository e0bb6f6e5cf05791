#pragma once
// Reads PNG files through libpng into the library's pixel formats:
//   palette 1/2/4/8 bits        -> indexed of the same depth with the file's palette
//   grey 1/2/4/8 bits           -> indexed of the same depth with a grey ramp
//   grey 16 bits                -> 8-bit indexed with a grey ramp
//   grey with alpha (8, 16)     -> 32 bits
//   RGB / RGBA (8, 16 bits)     -> 24 / 32 bits
//   grey or RGB with a tRNS key -> 32 bits, alpha 0 exactly where a pixel has the key colour
// 16-bit samples are rounded to 8 bits. Palette transparency becomes palette alpha or, where
// pixels need it, a 32-bit image.

#include "imaging/GraphicsCodec.h"

#include <cstdint>

class CPngReader : public CGraphicsReader
{
public:
    // Bits of ColorType().
    static constexpr std::uint32_t ColorTypePalette = 1;
    static constexpr std::uint32_t ColorTypeColor = 2;
    static constexpr std::uint32_t ColorTypeAlpha = 4;

    using CGraphicsReader::Read;
    void Read(CDataStream& stream, CGraphicsImage& image) override;

    // The PNG colour type of the last file read; the alpha bit is also set when palette
    // transparency or a colour key made the picture a 32-bit one.
    std::uint32_t ColorType() const { return m_colorType; }

private:
    std::uint32_t m_colorType = 0;
};
