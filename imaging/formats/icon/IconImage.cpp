#include "imaging/formats/icon/IconImage.h"

#include "imaging/GraphicsException.h"
#include "imaging/GraphicsImage.h"
#include "imaging/formats/bmp/BmpHeader.h"
#include "imaging/formats/icon/IconDirectory.h"
#include "imaging/formats/icon/IconSource.h"
#include "imaging/formats/png/PngReader.h"
#include "support/DataStream.h"

#include <array>
#include <cstring>
#include <vector>

namespace {

using Bmp::kInfoHeaderSize;

enum class MaskCode : std::uint8_t { Opaque, Transparent, Inverse };

[[noreturn]] void ThrowBadFormat()
{
    throw EIconError(GraphicsText::Icon::BadFileFormat);
}

void DecodePng(std::span<std::uint8_t> data, CGraphicsImage& image)
{
    CDataStream stream;
    if (!stream.OpenMemory(data.data(), static_cast<std::int32_t>(data.size()), 0))
        throw EIconError(GraphicsText::Icon::OutOfMemory);
    CPngReader reader;
    reader.Read(stream, image);
}

std::uint32_t RowBytes(std::uint32_t width, std::uint32_t bits)
{
    return (width * bits + 31) / 32 * 4;
}

// The layout of a bitmap entry once its header has been checked against the data.
struct IconBitmap
{
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::uint32_t bits = 0;
    std::uint32_t colors = 0;
    bool hasMask = false;
    std::span<const std::uint8_t> table;
    std::span<const std::uint8_t> pixels;
    std::span<const std::uint8_t> mask;

    // File rows lie bottom row first.
    const std::uint8_t* ColorRow(std::uint32_t y) const
    {
        return pixels.data() + std::size_t{height - 1 - y} * RowBytes(width, bits);
    }
    bool Masked(std::uint32_t x, std::uint32_t y) const
    {
        if (!hasMask)
            return false;
        const std::uint8_t* row = mask.data() + std::size_t{height - 1 - y} * RowBytes(width, 1);
        return (row[x >> 3] >> (7 - (x & 7)) & 1) != 0;
    }
    // A masked pixel over white inverts the screen behind it; over any other colour it lets the
    // screen through. The colour decides, not the index: writers order their palettes freely.
    bool Inverts(std::uint8_t index) const
    {
        if (index >= colors)
            return false;
        const std::uint8_t* entry = table.data() + 4 * std::size_t{index};
        return entry[0] == 0xFF && entry[1] == 0xFF && entry[2] == 0xFF;
    }
    std::uint8_t Index(const std::uint8_t* row, std::uint32_t x) const
    {
        switch (bits) {
        case 1:
            return row[x >> 3] >> (7 - (x & 7)) & 1;
        case 4:
            return (x & 1) != 0 ? row[x >> 1] & 0x0F : row[x >> 1] >> 4;
        default:
            return row[x];
        }
    }
};

IconBitmap CheckBitmap(std::span<const std::uint8_t> data, std::uint32_t width, std::uint32_t height, bool cursor)
{
    if (data.size() < kInfoHeaderSize)
        ThrowBadFormat();
    const Bmp::Header header = Bmp::ParseInfoHeader(data.first(kInfoHeaderSize));
    const std::uint32_t headerSize = header.size;
    const std::int32_t headerWidth = header.width;
    const std::int32_t headerHeight = header.height;
    const std::uint32_t bits = header.bitCount;
    const std::uint32_t compression = header.compression;
    const std::uint32_t colorsUsed = header.coloursUsed;

    IconBitmap bitmap;
    bitmap.width = width;
    bitmap.height = height;
    bitmap.bits = bits;
    if (headerSize != kInfoHeaderSize || headerWidth != static_cast<std::int32_t>(width))
        ThrowBadFormat();
    // An icon's header counts the mask rows too; a cursor's may leave its mask out.
    if (headerHeight == 2 * static_cast<std::int32_t>(height))
        bitmap.hasMask = true;
    else if (!cursor || headerHeight != static_cast<std::int32_t>(height))
        ThrowBadFormat();
    if (compression != 0)
        throw EIconError(GraphicsText::Icon::CompressedNotSupported);
    if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32)
        throw EIconError(GraphicsText::Icon::ColorFormatNotSupported);

    // A shorter colour table is announced by its count, as in any bitmap.
    if (bits <= 8)
        bitmap.colors = colorsUsed != 0 && colorsUsed < (1u << bits) ? colorsUsed : 1u << bits;
    const std::uint64_t tableBytes = std::uint64_t{4} * (bits <= 8 ? bitmap.colors : colorsUsed);
    const std::uint64_t pixelBytes = std::uint64_t{RowBytes(width, bits)} * height;
    const std::uint64_t maskBytes = bitmap.hasMask ? std::uint64_t{RowBytes(width, 1)} * height : 0;
    if (data.size() < kInfoHeaderSize + tableBytes + pixelBytes + maskBytes)
        ThrowBadFormat();
    bitmap.table = data.subspan(kInfoHeaderSize, static_cast<std::size_t>(tableBytes));
    bitmap.pixels = data.subspan(kInfoHeaderSize + tableBytes, static_cast<std::size_t>(pixelBytes));
    bitmap.mask = data.subspan(kInfoHeaderSize + tableBytes + pixelBytes, static_cast<std::size_t>(maskBytes));
    return bitmap;
}

void DecodeIndexed(const IconBitmap& bitmap, CGraphicsImage& image)
{
    image.CreateOrThrow(8, bitmap.width, bitmap.height, CGraphicsImage::NoFill);
    for (std::uint32_t i = 0; i < bitmap.colors; ++i)
        image.SetPaletteRGB(i, bitmap.table[4 * i + 2], bitmap.table[4 * i + 1], bitmap.table[4 * i]);

    std::vector<MaskCode> codes(std::size_t{bitmap.width} * bitmap.height, MaskCode::Opaque);
    bool anyTransparent = false;
    bool anyMasked = false;
    for (std::uint32_t y = 0; y < bitmap.height; ++y) {
        const std::uint8_t* source = bitmap.ColorRow(y);
        std::uint8_t* target = image.Row(y);
        for (std::uint32_t x = 0; x < bitmap.width; ++x) {
            target[x] = bitmap.Index(source, x);
            if (!bitmap.Masked(x, y))
                continue;
            const MaskCode code = bitmap.Inverts(target[x]) ? MaskCode::Inverse : MaskCode::Transparent;
            codes[std::size_t{y} * bitmap.width + x] = code;
            anyTransparent |= code == MaskCode::Transparent;
            anyMasked = true;
        }
    }

    FreeMaskIndices(image);
    for (std::uint32_t y = 0; y < bitmap.height; ++y) {
        std::uint8_t* row = image.Row(y);
        for (std::uint32_t x = 0; x < bitmap.width; ++x) {
            const MaskCode code = codes[std::size_t{y} * bitmap.width + x];
            if (code != MaskCode::Opaque)
                row[x] = static_cast<std::uint8_t>(code == MaskCode::Inverse ? kIconInverseIndex : kIconTransparentIndex);
        }
    }
    if (anyTransparent)
        image.SetPaletteColor(kIconTransparentIndex, kIconTransparentColor);
    image.SetPaletteColor(kIconInverseIndex, kIconInverseColor);
    // Palette alpha 0 throughout means an opaque picture; with a mask, only the mask entries are clear.
    if (anyMasked)
        for (unsigned i = 0; i < kIconInverseIndex; ++i)
            image.Palette()[i].rgbReserved = 255;
}

void DecodeTrueColor(const IconBitmap& bitmap, CGraphicsImage& image)
{
    const std::uint32_t bytesPerPixel = bitmap.bits / 8;
    bool anyMasked = false;
    bool fileAlpha = false;
    for (std::uint32_t y = 0; y < bitmap.height; ++y) {
        const std::uint8_t* source = bitmap.ColorRow(y);
        for (std::uint32_t x = 0; x < bitmap.width; ++x) {
            anyMasked |= bitmap.Masked(x, y);
            fileAlpha |= bytesPerPixel == 4 && source[4 * x + 3] != 0;
        }
    }
    // A 24-bit picture keeps its layout unless a mask needs the alpha of 32 bits.
    const int bpp = bytesPerPixel == 3 && !anyMasked ? 24 : 32;
    image.CreateOrThrow(bpp, bitmap.width, bitmap.height, CGraphicsImage::NoFill);
    const std::uint32_t transparent = kIconTransparentColor;  // alpha 0
    for (std::uint32_t y = 0; y < bitmap.height; ++y) {
        const std::uint8_t* source = bitmap.ColorRow(y);
        std::uint8_t* target = image.Row(y);
        for (std::uint32_t x = 0; x < bitmap.width; ++x) {
            const std::uint8_t* pixel = source + bytesPerPixel * x;
            std::uint8_t* out = target + (bpp / 8) * x;
            // An alpha channel of the file's own outranks the mask, as where icons are drawn: the
            // mask there only marks the clear pixels for programs that cannot blend.
            if (bitmap.Masked(x, y) && (!fileAlpha || pixel[3] == 0)) {
                std::memcpy(out, &transparent, 4);
                continue;
            }
            std::memcpy(out, pixel, 3);
            // Without an alpha channel of its own, every pixel the mask leaves is opaque.
            if (bpp == 32)
                out[3] = fileAlpha ? pixel[3] : 255;
        }
    }
}

std::uint32_t SquaredDistance(const RGBQUAD& a, const RGBQUAD& b)
{
    const int r = a.rgbRed - b.rgbRed, g = a.rgbGreen - b.rgbGreen, bl = a.rgbBlue - b.rgbBlue;
    return static_cast<std::uint32_t>(r * r + g * g + bl * bl);
}

}  // namespace

void DecodeIconImage(std::span<std::uint8_t> data, std::uint32_t width, std::uint32_t height, bool cursor,
                     CGraphicsImage& image)
{
    if (IsPngIconImage(data)) {
        DecodePng(data, image);
        return;
    }
    const IconBitmap bitmap = CheckBitmap(data, width, height, cursor);
    if (bitmap.bits <= 8)
        DecodeIndexed(bitmap, image);
    else
        DecodeTrueColor(bitmap, image);
}

void FreeMaskIndices(CGraphicsImage& image)
{
    constexpr int kFirstFree = 16;
    constexpr int kLastFree = 253;
    std::array<std::uint64_t, 256> counts{};
    for (std::uint32_t y = 0; y < image.Height(); ++y) {
        const std::uint8_t* row = image.Row(y);
        for (std::uint32_t x = 0; x < image.Width(); ++x)
            ++counts[row[x]];
    }
    const auto leastUsed = [&counts](int skip) {
        int best = -1;
        for (int i = kLastFree; i >= kFirstFree; --i)
            if (i != skip && (best < 0 || counts[static_cast<std::size_t>(i)] < counts[static_cast<std::size_t>(best)]))
                best = i;
        return best;
    };
    const int for255 = counts[kIconTransparentIndex] != 0 ? leastUsed(-1) : -1;
    const int for254 = counts[kIconInverseIndex] != 0 ? leastUsed(for255) : -1;
    if (for255 < 0 && for254 < 0)
        return;

    std::array<RGBQUAD, 256> old{};
    std::memcpy(old.data(), image.Palette(), sizeof old);
    const auto nearest = [&](int from) {
        int best = -1;
        std::uint32_t bestDistance = 0;
        for (int i = kLastFree; i >= 0; --i) {
            if (i == for255 || i == for254)
                continue;
            const std::uint32_t distance = SquaredDistance(old[static_cast<std::size_t>(i)], old[static_cast<std::size_t>(from)]);
            if (best < 0 || distance < bestDistance) {
                best = i;
                bestDistance = distance;
            }
        }
        return best;
    };

    std::array<std::uint8_t, 256> remap{};
    for (std::size_t i = 0; i < remap.size(); ++i)
        remap[i] = static_cast<std::uint8_t>(i);
    for (const auto& [freed, picked] : {std::pair{kIconTransparentIndex, for255}, std::pair{kIconInverseIndex, for254}}) {
        if (picked < 0)
            continue;
        const auto pickedIndex = static_cast<std::size_t>(picked);
        if (counts[pickedIndex] != 0)
            remap[pickedIndex] = static_cast<std::uint8_t>(nearest(picked));
        remap[freed] = static_cast<std::uint8_t>(picked);
        std::swap(image.Palette()[pickedIndex], image.Palette()[freed]);
    }
    for (std::uint32_t y = 0; y < image.Height(); ++y) {
        std::uint8_t* row = image.Row(y);
        for (std::uint32_t x = 0; x < image.Width(); ++x)
            row[x] = remap[row[x]];
    }
}
