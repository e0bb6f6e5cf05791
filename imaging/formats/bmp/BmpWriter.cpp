#include "imaging/formats/bmp/BmpWriter.h"

#include "imaging/GraphicsException.h"
#include "imaging/GraphicsImage.h"
#include "support/DataStream.h"

#include <algorithm>
#include <array>

namespace {

constexpr std::uint32_t kHeadersSize = 54;
constexpr std::uint32_t kBatchBytes = 1 << 18;

int OutputBitCount(const CGraphicsImage& image, int requested)
{
    const int bpp = image.Bpp();
    if (requested == 24 || requested == 32)
        return requested;
    if (requested == 0 && (bpp == 1 || bpp == 4 || bpp == 8))
        return bpp;
    if (requested == 0 && image.IsTrueColor())
        return 24;
    if (requested == bpp && bpp != 2)
        return bpp;
    throw EBmpNotSupported();
}

std::uint32_t HighestIndexPlusOne(const CGraphicsImage& image)
{
    std::uint32_t highest = 0;
    for (std::uint32_t y = 0; y < image.Height(); ++y) {
        const std::uint8_t* row = image.Row(y);
        for (std::uint32_t x = 0; x < image.Width(); ++x)
            highest = std::max<std::uint32_t>(highest, row[x]);
    }
    return highest + 1;
}

void Put16(std::uint8_t*& out, std::uint32_t value)
{
    *out++ = std::uint8_t(value);
    *out++ = std::uint8_t(value >> 8);
}

void Put32(std::uint8_t*& out, std::uint32_t value)
{
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

}  // namespace

void CBmpWriter::ThrowCreateError() const
{
    throw EBmpFileOpenError();
}

void CBmpWriter::ThrowWriteError() const
{
    throw EBmpFileWriteError();
}

void CBmpWriter::Write(CDataStream& stream, const CGraphicsImage& image)
{
    Write(stream, image, m_bitCount);
}

void CBmpWriter::Write(CDataStream& stream, const CGraphicsImage& image, int bitCount)
{
    m_bitCount = bitCount;
    if (image.IsEmpty())
        throw EBmpDataError();
    const int outBits = OutputBitCount(image, bitCount);
    const std::uint32_t width = image.Width();
    const std::uint32_t height = image.Height();
    const std::uint32_t dataBytes = (width * std::uint32_t(outBits) + 7) / 8;
    const std::uint32_t rowBytes = (dataBytes + 3) & ~3u;

    std::uint32_t colours = outBits <= 8 ? std::uint32_t(image.PaletteCount()) : 0;
    std::uint32_t coloursUsed = 0;
    if ((m_flags & TrimColourTable) != 0 && outBits == 8) {
        colours = HighestIndexPlusOne(image);
        coloursUsed = colours;
    }

    std::array<std::uint8_t, kHeadersSize> headers = {};
    std::uint8_t* out = headers.data();
    *out++ = 'B';
    *out++ = 'M';
    Put32(out, std::uint32_t(std::uint64_t{rowBytes} * height + kHeadersSize + 4 * colours));
    Put32(out, 0);
    Put32(out, kHeadersSize + 4 * colours);
    Put32(out, 40);
    Put32(out, width);
    Put32(out, height);
    Put16(out, 1);
    Put16(out, std::uint32_t(outBits));
    Put32(out, 0);  // no compression
    Put32(out, 0);  // image size, implied
    Put32(out, std::uint32_t(m_xResolution));
    Put32(out, std::uint32_t(m_yResolution));
    Put32(out, coloursUsed);
    Put32(out, coloursUsed);
    WriteAll(stream, headers.data(), kHeadersSize);
    // Palette entries as stored, their alpha in the reserved byte.
    WriteAll(stream, image.Palette(), 4 * colours);

    Info().ReportProgress(0);
    // Stored rows without padding lie in memory as the file wants them, bottom row first: a batch
    // of rows goes out in one go.
    const bool stored = outBits == image.Bpp() && dataBytes == rowBytes && image.Stride() == rowBytes;
    const std::uint32_t batch = stored ? std::max<std::uint32_t>(1, kBatchBytes / rowBytes) : 1;
    const std::array<std::uint8_t, 4> padding = {};
    for (std::uint32_t i = 0; i < height; i += batch) {
        const std::uint32_t rows = std::min(batch, height - i);
        for (std::uint32_t r = 0; r < rows; ++r)
            Info().ReportProgress(int(std::uint64_t{i + r} * 100 / height));
        const std::uint8_t* row = image.Row(height - 1 - i);
        if (outBits == 32)
            row = image.RowTo32(row);
        else if (outBits == 24)
            row = image.RowTo24(row);
        WriteAll(stream, row, dataBytes * rows);
        if (rowBytes > dataBytes)
            WriteAll(stream, padding.data(), rowBytes - dataBytes);
    }
    Info().ReportProgress(100);
}

void CBmpWriter::Write(std::string_view fileName, const CGraphicsImage& image, int bitCount)
{
    m_bitCount = bitCount;
    CGraphicsWriter::Write(fileName, image);
}

void CBmpWriter::Write(std::wstring_view fileName, const CGraphicsImage& image, int bitCount)
{
    m_bitCount = bitCount;
    CGraphicsWriter::Write(fileName, image);
}
