#include "imaging/formats/tiff/LibtiffWideSamples.h"

#include "imaging/GraphicsCodec.h"
#include "imaging/GraphicsException.h"
#include "imaging/GraphicsImage.h"
#include "imaging/formats/tiff/LibtiffHandle.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace {

std::uint8_t FromInteger(std::uint32_t value)
{
    constexpr std::uint64_t whole = 0xFFFFFFFFu;
    return std::uint8_t((std::uint64_t{value} * 255 + whole / 2) / whole);
}

std::uint8_t FromFloat(float value)
{
    if (!(value > 0))  // also NaN
        return 0;
    return value >= 1 ? 255 : std::uint8_t(std::lround(value * 255.0f));
}

}  // namespace

std::optional<WideSampleLayout> FindWideSamples(TIFF* tiff)
{
    std::uint16_t bits = 0, format = SAMPLEFORMAT_UINT, photometric = 0, planar = PLANARCONFIG_CONTIG;
    WideSampleLayout layout;
    if (TIFFIsTiled(tiff) != 0 || TIFFGetFieldDefaulted(tiff, TIFFTAG_BITSPERSAMPLE, &bits) == 0 || bits != 32 ||
        TIFFGetField(tiff, TIFFTAG_PHOTOMETRIC, &photometric) == 0 ||
        TIFFGetField(tiff, TIFFTAG_IMAGEWIDTH, &layout.width) == 0 ||
        TIFFGetField(tiff, TIFFTAG_IMAGELENGTH, &layout.height) == 0)
        return std::nullopt;
    TIFFGetFieldDefaulted(tiff, TIFFTAG_SAMPLEFORMAT, &format);
    TIFFGetFieldDefaulted(tiff, TIFFTAG_SAMPLESPERPIXEL, &layout.samples);
    TIFFGetFieldDefaulted(tiff, TIFFTAG_PLANARCONFIG, &planar);
    if (format != SAMPLEFORMAT_UINT && format != SAMPLEFORMAT_IEEEFP)
        return std::nullopt;
    if (photometric == PHOTOMETRIC_RGB)
        layout.colours = 3;
    else if (photometric == PHOTOMETRIC_MINISBLACK || photometric == PHOTOMETRIC_MINISWHITE)
        layout.colours = 1;
    else
        return std::nullopt;
    if (layout.samples < layout.colours || layout.samples > layout.colours + 1)
        return std::nullopt;
    layout.floatingPoint = format == SAMPLEFORMAT_IEEEFP;
    layout.whiteIsZero = photometric == PHOTOMETRIC_MINISWHITE;
    layout.separatePlanes = planar == PLANARCONFIG_SEPARATE && layout.samples > 1;
    return layout;
}

void ReadWideSamples(CLibtiffHandle& handle, const WideSampleLayout& layout, CGraphicsImage& image,
                     const CGraphicsCodecInfo& info)
{
    TIFF* tiff = handle.Get();
    const tmsize_t lineSize = TIFFScanlineSize(tiff);
    const std::size_t perLine = layout.separatePlanes ? 1 : layout.samples;
    if (lineSize < tmsize_t(std::size_t{layout.width} * perLine * 4))
        throw ETiffError(GraphicsText::Tiff::BadEntry);
    std::vector<std::uint8_t> line(static_cast<std::size_t>(lineSize));
    const int pixelBytes = image.Bpp() / 8;
    // Planes one after another, each from its top: libtiff decodes every strip once.
    const std::uint16_t planes = layout.separatePlanes ? layout.samples : 1;
    const std::uint64_t steps = std::uint64_t{planes} * layout.height;
    for (std::uint16_t plane = 0; plane < planes; ++plane) {
        for (std::uint32_t y = 0; y < layout.height; ++y) {
            info.ReportProgress(int((std::uint64_t{plane} * layout.height + y) * 100 / steps));
            if (TIFFReadScanline(tiff, line.data(), y, plane) < 0 || handle.HadError())
                throw ETiffError(GraphicsText::Tiff::ReadFailed);
            std::uint8_t* target = image.Row(y);
            for (std::uint32_t x = 0; x < layout.width; ++x) {
                for (std::size_t i = 0; i < perLine; ++i) {
                    const std::size_t sample = layout.separatePlanes ? plane : i;
                    std::uint32_t bits = 0;
                    std::memcpy(&bits, line.data() + 4 * (std::size_t{x} * perLine + i), 4);
                    float real = 0;
                    std::memcpy(&real, &bits, 4);
                    std::uint8_t value = layout.floatingPoint ? FromFloat(real) : FromInteger(bits);
                    std::uint8_t* pixel = target + std::size_t{x} * std::size_t(pixelBytes);
                    if (sample >= layout.colours) {
                        pixel[3] = value;
                    } else if (layout.colours == 1) {
                        value = layout.whiteIsZero ? std::uint8_t(255 - value) : value;
                        pixel[0] = pixel[1] = pixel[2] = value;
                    } else {
                        pixel[2 - sample] = value;  // B, G, R in the picture
                    }
                }
            }
        }
    }
    info.ReportProgress(100);
}
