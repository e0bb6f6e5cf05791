#include "imaging/formats/png/PngCompression.h"

#include "imaging/GraphicsImage.h"
#include "imaging/formats/png/PngWriter.h"
#include "support/DataStream.h"

#include <algorithm>
#include <cstring>

namespace {

// Below this many pixels the full search is quick whatever the picture holds.
constexpr std::uint64_t kTrialFromPixels = 512 * 1024;
constexpr std::uint32_t kBands = 4;
constexpr std::uint32_t kBandRows = 16;

// kBands bands of kBandRows rows, spread evenly over the picture, stacked into one image.
bool SampleBands(const CGraphicsImage& image, CGraphicsImage& sample)
{
    if (!sample.Create(image.Bpp(), image.Width(), kBands * kBandRows, CGraphicsImage::NoFill))
        return false;
    const std::uint32_t gap = (image.Height() - kBandRows) / (kBands - 1);
    for (std::uint32_t band = 0; band < kBands; ++band)
        for (std::uint32_t row = 0; row < kBandRows; ++row)
            std::memcpy(sample.Row(band * kBandRows + row), image.Row(band * gap + row), image.Stride());
    return true;
}

// The size of the PNG of `image` with these settings; 0 when it cannot be made.
std::size_t EncodedSize(const CGraphicsImage& image, bool withAlpha, const PngCompression& compression)
{
    CDataStream stream;
    if (!stream.OpenMemory(nullptr, 0, 2))
        return 0;
    CPngWriter writer;
    writer.SetCompression(compression);
    try {
        writer.Write(stream, image, withAlpha);
    } catch (...) {
        return 0;
    }
    return stream.MemoryData().size();
}

}  // namespace

PngCompression PngCompressionForDrawings()
{
    return {};
}

PngCompression PngCompressionForPhotos()
{
    PngCompression compression;
    compression.level = 6;
    compression.strategy = Z_RLE;
    return compression;
}

PngCompression PngCompressionLibpngDefault()
{
    return {Z_DEFAULT_COMPRESSION, Z_FILTERED, 8, PNG_ALL_FILTERS, 8192, 1};
}

PngCompression ChoosePngCompression(const CGraphicsImage& image, bool withAlpha)
{
    if (image.Bpp() <= 8) {
        // Palette indices are no samples: differences between them mean nothing (libpng's choice too).
        PngCompression indexed = PngCompressionForDrawings();
        indexed.filters = PNG_FILTER_NONE;
        return indexed;
    }
    if (std::uint64_t{image.Width()} * image.Height() < kTrialFromPixels ||
        image.Height() < kBands * kBandRows)
        return PngCompressionForDrawings();
    CGraphicsImage sample;
    if (!SampleBands(image, sample))
        return PngCompressionForDrawings();
    const std::size_t runs = EncodedSize(sample, withAlpha, PngCompressionForPhotos());
    const std::size_t search = EncodedSize(sample, withAlpha, PngCompressionForDrawings());
    return runs != 0 && runs <= search ? PngCompressionForPhotos() : PngCompressionForDrawings();
}

void ApplyPngCompression(png_structp png, const PngCompression& compression)
{
    png_set_compression_level(png, compression.level);
    png_set_compression_strategy(png, compression.strategy);
    png_set_compression_mem_level(png, compression.memLevel);
    png_set_compression_buffer_size(png, compression.chunkBytes);
    png_set_filter(png, PNG_FILTER_TYPE_BASE, compression.filters);
}
