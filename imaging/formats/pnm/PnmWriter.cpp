#include "imaging/formats/pnm/PnmWriter.h"

#include "imaging/GraphicsException.h"
#include "imaging/GraphicsImage.h"
#include "imaging/GreyLevel.h"
#include "support/DataStream.h"

#include <cstdint>
#include <utility>
#include <vector>

namespace {

std::uint32_t Brightness(std::uint32_t colour)
{
    return GreyWeightedSum((colour >> 16) & 0xFF, (colour >> 8) & 0xFF, colour & 0xFF);
}

}  // namespace

void CPnmWriter::ThrowCreateError() const
{
    throw EPnmFileOpenError();
}

void CPnmWriter::ThrowWriteError() const
{
    throw EPnmFileWriteError();
}

void CPnmWriter::Write(CDataStream& stream, const CGraphicsImage& image)
{
    if (image.IsEmpty())
        throw EPnmDataError();
    const std::uint32_t width = image.Width();
    const std::uint32_t height = image.Height();
    const bool bitmap = image.Bpp() == 1;
    const int headerLength = bitmap ? stream.Printf("P4 %u %u ", width, height)
                                    : stream.Printf("P6 %u %u 255 ", width, height);
    if (headerLength < 0)
        ThrowWriteError();

    // In a bitmap 1 is black: the darker palette colour gets bit 1, and the bits past the right
    // edge are written as 0.
    const std::uint32_t rowBytes = bitmap ? (width + 7) / 8 : 3 * width;
    const bool invert = bitmap && Brightness(image.PaletteColor(0)) < Brightness(image.PaletteColor(1));
    const auto lastMask = std::uint8_t(0xFF00u >> (((width - 1) & 7) + 1));
    std::vector<std::uint8_t> bits(bitmap ? rowBytes : 0);
    for (std::uint32_t y = 0; y < height; ++y) {
        Info().ReportProgress(int(std::uint64_t{y} * 100 / height));
        if (bitmap) {
            const std::uint8_t* row = image.Row(y);
            for (std::uint32_t i = 0; i < rowBytes; ++i)
                bits[i] = invert ? std::uint8_t(~row[i]) : row[i];
            bits[rowBytes - 1] &= lastMask;
            WriteAll(stream, bits.data(), rowBytes);
        } else {
            std::uint8_t* row = image.RowTo24Copy(image.Row(y));
            for (std::uint32_t x = 0; x < width; ++x)
                std::swap(row[3 * x], row[3 * x + 2]);
            WriteAll(stream, row, rowBytes);
        }
    }
    Info().ReportProgress(100);
}
