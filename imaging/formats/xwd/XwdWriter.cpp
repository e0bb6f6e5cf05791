#include "imaging/formats/xwd/XwdWriter.h"

#include "imaging/GraphicsException.h"
#include "imaging/GraphicsImage.h"
#include "imaging/formats/xwd/XwdHeader.h"
#include "support/DataStream.h"

#include <array>
#include <cstdint>

namespace {

constexpr char kWindowName[] = "xwdump";  // written with its terminator
constexpr std::uint32_t kHeaderSize = Xwd::kFieldsSize + sizeof kWindowName;
constexpr std::uint32_t kColormapSize = 256;
constexpr std::uint32_t kColormapFlags = 7;  // red, green and blue are valid

void PutBe(std::uint8_t*& out, std::uint32_t value, int bytes)
{
    for (int shift = 8 * (bytes - 1); shift >= 0; shift -= 8)
        *out++ = std::uint8_t(value >> shift);
}

Xwd::Header HeaderFor(const CGraphicsImage& image)
{
    const bool indexed = image.Bpp() <= 8;
    const std::uint32_t width = image.Width();
    const std::uint32_t height = image.Height();
    Xwd::Header h = {};
    h[Xwd::HeaderSize] = kHeaderSize;
    h[Xwd::FileVersion] = Xwd::kVersion;
    h[Xwd::PixmapFormat] = Xwd::kZPixmap;
    h[Xwd::PixmapDepth] = indexed ? 8 : 24;
    h[Xwd::PixmapWidth] = width;
    h[Xwd::PixmapHeight] = height;
    h[Xwd::ByteOrder] = indexed ? Xwd::kMsbFirst : 0;
    h[Xwd::BitmapUnit] = 32;
    h[Xwd::BitmapBitOrder] = indexed ? Xwd::kMsbFirst : 0;
    h[Xwd::BitmapPad] = 32;
    h[Xwd::BitsPerPixel] = indexed ? 8 : 32;
    // Lines are padded to the 32-bit bitmap pad, which readers rely on.
    h[Xwd::BytesPerLine] = indexed ? (width + 3) & ~3u : 4 * width;
    h[Xwd::VisualClass] = indexed ? Xwd::kPseudoColor : Xwd::kTrueColor;
    h[Xwd::RedMask] = indexed ? 0 : 0x00FF0000u;
    h[Xwd::GreenMask] = indexed ? 0 : 0x0000FF00u;
    h[Xwd::BlueMask] = indexed ? 0 : 0x000000FFu;
    h[Xwd::BitsPerRgb] = 8;
    h[Xwd::ColormapEntries] = kColormapSize;
    h[Xwd::NColors] = indexed ? kColormapSize : 0;
    h[Xwd::WindowWidth] = width;
    h[Xwd::WindowHeight] = height;
    h[Xwd::WindowX] = width;
    h[Xwd::WindowY] = height;
    return h;
}

}  // namespace

void CXwdWriter::ThrowCreateError() const
{
    throw EXwdFileOpenError();
}

void CXwdWriter::ThrowWriteError() const
{
    throw EXwdFileWriteError();
}

void CXwdWriter::Write(CDataStream& stream, const CGraphicsImage& image)
{
    if (image.IsEmpty())
        throw EXwdDataError();
    Info().ReportProgress(0);
    const Xwd::Header h = HeaderFor(image);
    std::array<std::uint8_t, kHeaderSize> header = {};
    std::uint8_t* out = header.data();
    for (const std::uint32_t field : h)
        PutBe(out, field, 4);
    WriteAll(stream, header.data(), kHeaderSize);

    const bool indexed = image.Bpp() <= 8;
    if (indexed) {
        // Entries beyond the image's colours are black.
        std::array<std::uint8_t, kColormapSize * Xwd::kColormapEntrySize> colormap = {};
        out = colormap.data();
        for (std::uint32_t i = 0; i < kColormapSize; ++i) {
            const std::uint32_t colour = i < std::uint32_t(image.PaletteCount()) ? image.PaletteColor(i) : 0;
            PutBe(out, i, 4);
            PutBe(out, ((colour >> 16) & 0xFF) * 0x101, 2);
            PutBe(out, ((colour >> 8) & 0xFF) * 0x101, 2);
            PutBe(out, (colour & 0xFF) * 0x101, 2);
            PutBe(out, kColormapFlags, 1);
            PutBe(out, 0, 1);
        }
        WriteAll(stream, colormap.data(), std::uint32_t(colormap.size()));
    }

    const std::uint32_t height = image.Height();
    const std::uint32_t pixelBytes = indexed ? image.Width() : 4 * image.Width();
    const std::array<std::uint8_t, 4> padding = {};
    for (std::uint32_t y = 0; y < height; ++y) {
        Info().ReportProgress(int(std::uint64_t{y} * 100 / height));
        WriteAll(stream, indexed ? image.RowTo8(image.Row(y)) : image.RowTo32(image.Row(y)), pixelBytes);
        WriteAll(stream, padding.data(), h[Xwd::BytesPerLine] - pixelBytes);
    }
    Info().ReportProgress(100);
}
