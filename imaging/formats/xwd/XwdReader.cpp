#include "imaging/formats/xwd/XwdReader.h"

#include "imaging/GraphicsException.h"
#include "imaging/GraphicsImage.h"
#include "imaging/formats/xwd/XwdHeader.h"
#include "support/ByteOrder.h"
#include "support/DataStream.h"

#include <bit>
#include <cstdint>
#include <vector>

namespace {

constexpr std::uint32_t kMaxHeaderSize = 256;
constexpr std::uint32_t kMaxSide = 32767;
constexpr std::uint32_t kOldVersion = 6;
constexpr std::uint32_t kDirectColor = 5;

struct ColormapEntry
{
    std::uint32_t red;
    std::uint32_t green;
    std::uint32_t blue;
};

// 16-bit samples to 8 bits: the high byte.
std::uint32_t To8(std::uint32_t sample)
{
    return sample >> 8;
}

Xwd::Header ReadHeader(CDataStream& stream)
{
    std::uint8_t bytes[Xwd::kFieldsSize];
    ReadExactly<EXwdFileReadError>(stream, bytes, Xwd::kFieldsSize);
    Xwd::Header header;
    for (std::size_t i = 0; i < Xwd::FieldCount; ++i)
        header[i] = LoadBE32(bytes + 4 * i);
    return header;
}

bool Indexed(const Xwd::Header& h)
{
    return h[Xwd::VisualClass] < Xwd::kTrueColor;
}

void CheckHeader(const Xwd::Header& h)
{
    if (h[Xwd::HeaderSize] > kMaxHeaderSize || h[Xwd::HeaderSize] < Xwd::kFieldsSize ||
        (h[Xwd::FileVersion] != Xwd::kVersion && h[Xwd::FileVersion] != kOldVersion))
        throw EXwdNotAXwdFile();
    // The old layout of version 6 dumps is not read.
    if (h[Xwd::FileVersion] == kOldVersion)
        throw EGraphicsException(GraphicsText::FormatNotSupported);
    const std::uint32_t width = h[Xwd::PixmapWidth];
    const std::uint32_t bpp = h[Xwd::BitsPerPixel];
    if (width == 0 || h[Xwd::PixmapHeight] == 0 || width > kMaxSide || h[Xwd::PixmapHeight] > kMaxSide ||
        h[Xwd::PixmapDepth] > 32 || bpp > 32 || std::uint64_t{h[Xwd::BytesPerLine]} * 8 < std::uint64_t{width} * bpp)
        throw EXwdNotAXwdFile();
    // Z pixmaps, and single-plane dumps in any format (their layouts are the same).
    const bool layoutKnown = h[Xwd::PixmapFormat] == Xwd::kZPixmap || (h[Xwd::PixmapDepth] == 1 && bpp == 1);
    const bool bppKnown = bpp == 1 || bpp == 4 || bpp == 8 || bpp == 16 || bpp == 24 || bpp == 32;
    const bool masksKnown = h[Xwd::RedMask] != 0 && h[Xwd::GreenMask] != 0 && h[Xwd::BlueMask] != 0;
    // Bitmap lines are whole units.
    const bool unitKnown = (h[Xwd::BitmapUnit] == 8 || h[Xwd::BitmapUnit] == 16 || h[Xwd::BitmapUnit] == 32) &&
                           h[Xwd::BytesPerLine] % (h[Xwd::BitmapUnit] / 8) == 0;
    if (!layoutKnown || !bppKnown || (bpp == 1 && !unitKnown) || h[Xwd::ByteOrder] > 1 ||
        (Indexed(h) ? h[Xwd::PixmapDepth] > 8 : !masksKnown))
        throw EGraphicsException(GraphicsText::FormatNotSupported);
}

// Pixel x of a stored line, by the dump's bit and byte orders.
class CXwdPixels
{
public:
    explicit CXwdPixels(const Xwd::Header& h)
        : m_bpp(h[Xwd::BitsPerPixel]), m_msbFirst(h[Xwd::ByteOrder] == Xwd::kMsbFirst),
          m_bitsMsbFirst(h[Xwd::BitmapBitOrder] == Xwd::kMsbFirst),
          m_unitSwap(m_msbFirst == m_bitsMsbFirst ? 0 : h[Xwd::BitmapUnit] / 8 - 1)
    {
    }

    std::uint32_t operator()(const std::uint8_t* line, std::uint32_t x) const
    {
        switch (m_bpp) {
        case 1: {
            // Bits lie in units of the bitmap's bit order, stored in its byte order.
            const std::uint8_t byte = line[(x >> 3) ^ m_unitSwap];
            return (byte >> (m_bitsMsbFirst ? 7 - (x & 7) : x & 7)) & 1;
        }
        case 4: {
            const std::uint8_t byte = line[x >> 1];
            return ((x & 1) != 0) == m_msbFirst ? byte & 0x0F : byte >> 4;
        }
        case 8:
            return line[x];
        default: {
            const std::uint32_t bytes = m_bpp / 8;
            const std::uint8_t* p = line + x * bytes;
            std::uint32_t value = 0;
            for (std::uint32_t i = 0; i < bytes; ++i)
                value |= std::uint32_t(p[m_msbFirst ? i : bytes - 1 - i]) << (8 * (bytes - 1 - i));
            return value;
        }
        }
    }

private:
    std::uint32_t m_bpp;
    bool m_msbFirst;
    bool m_bitsMsbFirst;
    std::uint32_t m_unitSwap;
};

// One colour channel of a true- or direct-colour pixel. A direct-colour dump maps each channel
// value through its colour map; true colour (a fixed ramp) is scaled: narrow channels widen by
// repeating their bits, wide ones (30-bit screens) narrow by scaling down.
class CXwdChannel
{
public:
    CXwdChannel(const Xwd::Header& h, std::uint32_t mask, const std::vector<ColormapEntry>& colormap,
                std::uint32_t ColormapEntry::*sample)
        : m_shift(mask == 0 ? 0 : std::countr_zero(mask)), m_maximum(mask >> m_shift),
          m_mapped(h[Xwd::VisualClass] == kDirectColor ? colormap.size() : 0), m_colormap(colormap),
          m_sample(sample)
    {
    }

    std::uint32_t operator()(std::uint32_t pixel) const
    {
        const std::uint32_t value = (pixel >> m_shift) & m_maximum;
        if (value < m_mapped)
            return To8(m_colormap[value].*m_sample);
        if (m_maximum >= 255)
            return std::uint32_t(std::uint64_t{value} * 255 / m_maximum);
        return To8(std::uint32_t(std::uint64_t{65535} * value / m_maximum));
    }

private:
    int m_shift;
    std::uint32_t m_maximum;
    std::size_t m_mapped;
    const std::vector<ColormapEntry>& m_colormap;
    std::uint32_t ColormapEntry::*m_sample;
};

std::vector<ColormapEntry> ReadColormap(CDataStream& stream, std::uint32_t count)
{
    std::vector<std::uint8_t> bytes(std::size_t{count} * Xwd::kColormapEntrySize);
    ReadExactly<EXwdFileReadError>(stream, bytes.data(), std::uint32_t(bytes.size()));
    std::vector<ColormapEntry> colormap(count);
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::uint8_t* entry = &bytes[std::size_t{i} * Xwd::kColormapEntrySize];
        colormap[i] = {LoadBE16(entry + 4), LoadBE16(entry + 6), LoadBE16(entry + 8)};
    }
    return colormap;
}

void SetPalette(CGraphicsImage& image, const Xwd::Header& h, const std::vector<ColormapEntry>& colormap)
{
    if (colormap.empty()) {
        // A colour-mapped dump without its map: grey levels over the depth.
        const std::uint32_t levels = 1u << h[Xwd::PixmapDepth];
        for (std::uint32_t i = 0; i < levels && levels > 1; ++i) {
            const auto grey = std::uint8_t(i * 255 / (levels - 1));
            image.SetPaletteRGB(i, grey, grey, grey);
        }
        return;
    }
    for (std::size_t i = 0; i < colormap.size() && i < 256; ++i)
        image.SetPaletteRGB(unsigned(i), std::uint8_t(To8(colormap[i].red)), std::uint8_t(To8(colormap[i].green)),
                            std::uint8_t(To8(colormap[i].blue)));
}

}  // namespace

void CXwdReader::ThrowOpenError() const
{
    throw EXwdFileOpenError();
}

void CXwdReader::Read(CDataStream& stream, CGraphicsImage& image)
{
    const Xwd::Header h = ReadHeader(stream);
    CheckHeader(h);
    // The window name.
    const std::uint32_t nameLength = h[Xwd::HeaderSize] - Xwd::kFieldsSize;
    std::uint8_t name[kMaxHeaderSize];
    ReadExactly<EXwdFileReadError>(stream, name, nameLength);

    const std::uint32_t width = h[Xwd::PixmapWidth];
    const std::uint32_t height = h[Xwd::PixmapHeight];
    const std::uint32_t lineBytes = h[Xwd::BytesPerLine];
    const std::uint64_t colormapBytes = std::uint64_t{h[Xwd::NColors]} * Xwd::kColormapEntrySize;
    if (!StreamHolds(stream, colormapBytes + std::uint64_t{lineBytes} * height))
        throw EXwdFileReadError();
    const std::vector<ColormapEntry> colormap = ReadColormap(stream, h[Xwd::NColors]);

    const bool indexed = Indexed(h);
    image.CreateOrThrow(indexed ? 8 : 24, width, height, CGraphicsImage::NoFill);
    if (indexed)
        SetPalette(image, h, colormap);

    const CXwdPixels pixel(h);
    const CXwdChannel red(h, h[Xwd::RedMask], colormap, &ColormapEntry::red);
    const CXwdChannel green(h, h[Xwd::GreenMask], colormap, &ColormapEntry::green);
    const CXwdChannel blue(h, h[Xwd::BlueMask], colormap, &ColormapEntry::blue);
    std::vector<std::uint8_t> line(lineBytes);
    Info().ReportProgress(0);
    for (std::uint32_t y = 0; y < height; ++y) {
        Info().ReportProgress(int(std::uint64_t{y} * 100 / height));
        ReadExactly<EXwdFileReadError>(stream, line.data(), lineBytes);
        std::uint8_t* row = image.Row(y);
        for (std::uint32_t x = 0; x < width; ++x) {
            const std::uint32_t value = pixel(line.data(), x);
            if (indexed) {
                row[x] = std::uint8_t(value);
            } else {
                row[3 * x] = std::uint8_t(blue(value));
                row[3 * x + 1] = std::uint8_t(green(value));
                row[3 * x + 2] = std::uint8_t(red(value));
            }
        }
    }
    Info().ReportProgress(100);
}
