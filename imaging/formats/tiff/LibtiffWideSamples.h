#pragma once
// TIFF samples of 32 bits, unsigned integers or floating point, which libtiff's RGBA interface
// refuses: grey or RGB, with or without alpha, in strips of either planar configuration. libtiff
// decodes the scanlines (with any compression and predictor it knows); here they are scaled to 8
// bits, integers over their whole range and floating point over 0 to 1, as ImageMagick scales them.

#include <tiffio.h>

#include <cstdint>
#include <optional>

class CGraphicsCodecInfo;
class CGraphicsImage;
class CLibtiffHandle;

struct WideSampleLayout
{
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::uint16_t samples = 0;  // grey or RGB, perhaps one more for alpha
    std::uint16_t colours = 0;  // 1 or 3
    bool floatingPoint = false;
    bool whiteIsZero = false;
    bool separatePlanes = false;
    bool HasAlpha() const { return samples > colours; }
};

// The layout of the current directory when this reader takes it.
std::optional<WideSampleLayout> FindWideSamples(TIFF* tiff);

// Fills the image, already created at the layout's size with 24 bits (32 with alpha), top row
// first. ETiffError "Fehler beim Lesen" when libtiff cannot decode a scanline; EGraphicsAbort when
// the progress callback asks to stop.
void ReadWideSamples(CLibtiffHandle& handle, const WideSampleLayout& layout, CGraphicsImage& image,
                     const CGraphicsCodecInfo& info);
