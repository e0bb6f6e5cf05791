#include "imaging/formats/bmp/BmpReader.h"

#include "imaging/formats/bmp/BmpHeader.h"
#include "imaging/formats/bmp/BmpRle.h"
#include "imaging/GraphicsException.h"
#include "imaging/GraphicsImage.h"
#include "support/ByteOrder.h"
#include "support/DataStream.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <vector>

namespace {

using namespace Bmp;

constexpr std::uint32_t kFileHeaderSize = 14;
constexpr std::uint32_t kBareHeaderMaxSide = 32768;
constexpr std::uint64_t kBatchBytes = 1 << 18;

void Skip(CDataStream& stream, std::uint64_t bytes)
{
    if (bytes == 0)
        return;
    if (!StreamHolds(stream, bytes) || stream.Seek(std::int32_t(bytes), 1) < 0)
        throw EBmpFileReadError();
}

using BmpHeader = Bmp::Header;

BmpHeader ReadHeader(CDataStream& stream)
{
    std::array<std::uint8_t, kAlphaInHeaderSize> bytes = {};
    ReadExactly<EBmpFileReadError>(stream, bytes.data(), 4);
    const std::uint32_t size = LoadLE32(bytes.data());
    if (size == kCoreHeaderSize) {
        ReadExactly<EBmpFileReadError>(stream, bytes.data() + 4, kCoreHeaderSize - 4);
        return Bmp::ParseCoreHeader(std::span(bytes).first<kCoreHeaderSize>());
    }
    if (size < kInfoHeaderSize)
        throw EBmpCorruptFile();
    const std::uint32_t kept = std::min<std::uint32_t>(size, kAlphaInHeaderSize);
    ReadExactly<EBmpFileReadError>(stream, bytes.data() + 4, kept - 4);
    Skip(stream, size - kept);
    // A plain info header is followed by the three masks; longer headers hold them.
    if (LoadLE32(&bytes[16]) == kCompressionBitFields && size < kMasksInHeaderSize)
        ReadExactly<EBmpFileReadError>(stream, &bytes[40], 12);
    return Bmp::ParseInfoHeader(bytes);
}

bool Supported(const BmpHeader& header)
{
    switch (header.bitCount) {
    case 1:
        return header.compression == kCompressionNone;
    case 4:
        return header.compression == kCompressionNone || header.compression == kCompressionRle4;
    case 8:
        return header.compression == kCompressionNone || header.compression == kCompressionRle8;
    case 16:
        return header.compression == kCompressionNone || header.compression == kCompressionBitFields;
    case 24:
    case 32:
        return true;
    default:
        return false;
    }
}

// One channel of a mask table, scaled to 8 bits.
struct ChannelMask
{
    explicit ChannelMask(std::uint32_t channelMask)
        : shift(channelMask == 0 ? 0 : std::countr_zero(channelMask)), bits(std::bit_width(channelMask >> shift)),
          mask(channelMask)
    {
    }

    // Fewer than 8 bits are repeated downwards (5 bits abcde give abcdeabc), so that the
    // largest value is 255 and the steps are as even as they can be, as the peers scale them.
    std::uint32_t Take(std::uint32_t pixel) const
    {
        const std::uint32_t value = (pixel & mask) >> shift;
        if (bits >= 8)
            return value >> (bits - 8);
        if (bits == 0)
            return 0;
        std::uint32_t scaled = value << (8 - bits);
        for (int filled = bits; filled < 8; filled += bits)
            scaled |= scaled >> bits;
        return scaled & 0xFF;
    }

    int shift;
    int bits;
    std::uint32_t mask;
};

bool IsPlainOrder(const std::array<std::uint32_t, 4>& masks)
{
    return masks[0] == 0x00FF0000u && masks[1] == 0x0000FF00u && masks[2] == 0x000000FFu &&
           masks[3] == 0xFF000000u;
}

// The masks of a file without its own: 5-5-5 for 16 bits.
std::array<std::uint32_t, 4> MasksOf(const BmpHeader& header)
{
    if (header.bitCount == 16 && header.compression != kCompressionBitFields)
        return {0x7C00u, 0x03E0u, 0x001Fu, 0};
    return header.masks;
}

// The library has no format for every mask layout of 16 bits: they become B, G, R, with A where
// the file has an alpha mask.
int ImageBppOf(const BmpHeader& header)
{
    if (header.bitCount != 16)
        return int(header.bitCount);
    return MasksOf(header)[3] != 0 ? 32 : 24;
}

void ExpandMasked16(const std::uint8_t* packed, std::uint8_t* row, std::uint32_t width, bool withAlpha,
                    const std::array<ChannelMask, 4>& channels)
{
    const int step = withAlpha ? 4 : 3;
    for (std::uint32_t x = 0; x < width; ++x, packed += 2, row += step) {
        const std::uint32_t pixel = LoadLE16(packed);
        row[0] = std::uint8_t(channels[2].Take(pixel));
        row[1] = std::uint8_t(channels[1].Take(pixel));
        row[2] = std::uint8_t(channels[0].Take(pixel));
        if (withAlpha)
            row[3] = std::uint8_t(channels[3].Take(pixel));
    }
}

// Rewrites a row of 32-bit pixels in place into B, G, R, A.
void ApplyMasks(std::uint8_t* row, std::uint32_t width, const std::array<ChannelMask, 4>& channels)
{
    for (std::uint32_t x = 0; x < width; ++x, row += 4) {
        const std::uint32_t pixel = LoadLE32(row);
        row[0] = std::uint8_t(channels[2].Take(pixel));
        row[1] = std::uint8_t(channels[1].Take(pixel));
        row[2] = std::uint8_t(channels[0].Take(pixel));
        row[3] = std::uint8_t(channels[3].Take(pixel));
    }
}

// room: the bytes before the pixel data, when a file header tells where they start.
void ReadColourTable(CDataStream& stream, CGraphicsImage& image, const BmpHeader& header, std::int64_t room)
{
    const std::uint32_t entrySize = header.size == kCoreHeaderSize ? 3 : 4;
    std::uint32_t count = header.bitCount <= 8 ? 1u << header.bitCount : 0;
    if (header.coloursUsed != 0)
        count = header.coloursUsed;
    if (room >= 0)
        count = std::uint32_t(std::min<std::int64_t>(count, room / entrySize));
    // Entries beyond what the pixels can index, and the whole table of a true-colour file, are
    // skipped: the image has no palette for them.
    const std::uint32_t kept = header.bitCount <= 8 ? std::min(count, 1u << header.bitCount) : 0;
    std::array<std::uint8_t, 4 * 256> table = {};
    ReadExactly<EBmpFileReadError>(stream, table.data(), kept * entrySize);
    for (std::uint32_t i = 0; i < kept; ++i) {
        const std::uint8_t* entry = &table[i * entrySize];
        if (entrySize == 3)
            image.SetPaletteRGB(i, entry[2], entry[1], entry[0]);
        else
            image.SetPaletteRGBA(i, entry[2], entry[1], entry[0], entry[3]);
    }
    Skip(stream, std::uint64_t{count - kept} * entrySize);
}

// Rows one at a time, from the top in a top-down file: 16-bit rows are expanded through their
// masks (`expand`), 32-bit ones read in place and rewritten through theirs (`rewrite`).
void ReadRowByRow(CDataStream& stream, CGraphicsImage& image, std::uint64_t rowBytes, bool topDown,
                  const std::array<ChannelMask, 4>* expand, const std::array<ChannelMask, 4>* rewrite,
                  const CGraphicsCodecInfo& info)
{
    const std::uint32_t width = image.Width();
    const std::uint32_t height = image.Height();
    std::vector<std::uint8_t> packed(expand != nullptr ? rowBytes : 0);
    for (std::uint32_t i = 0; i < height; ++i) {
        info.ReportProgress(int(std::uint64_t{i} * 100 / height));
        std::uint8_t* row = image.Row(topDown ? i : height - 1 - i);
        if (expand != nullptr) {
            ReadExactly<EBmpFileReadError>(stream, packed.data(), std::uint32_t(rowBytes));
            ExpandMasked16(packed.data(), row, width, image.Bpp() == 32, *expand);
            continue;
        }
        ReadExactly<EBmpFileReadError>(stream, row, std::uint32_t(rowBytes));
        if (rewrite != nullptr)
            ApplyMasks(row, width, *rewrite);
    }
}

}  // namespace

void CBmpReader::ThrowOpenError() const
{
    throw EBmpFileOpenError();
}

void CBmpReader::Read(CDataStream& stream, CGraphicsImage& image)
{
    const std::int32_t start = stream.Tell();
    std::array<std::uint8_t, kFileHeaderSize> fileHeader = {};
    ReadExactly<EBmpFileReadError>(stream, fileHeader.data(), kFileHeaderSize);
    const bool hasFileHeader = fileHeader[0] == 'B' && fileHeader[1] == 'M';
    if (!hasFileHeader) {
        if (LoadLE32(&fileHeader[0]) != kInfoHeaderSize || LoadLE32(&fileHeader[4]) > kBareHeaderMaxSide ||
            LoadLE32(&fileHeader[8]) > kBareHeaderMaxSide)
            throw EBmpNotABmpFile();
        stream.Seek(start, 0);
    }
    const std::uint32_t dataOffset = LoadLE32(&fileHeader[10]);

    const BmpHeader header = ReadHeader(stream);
    m_bitCount = int(header.bitCount);
    m_xResolution = header.xResolution;
    m_yResolution = header.yResolution;
    if (!Supported(header))
        throw EBmpNotSupported();

    // A top-down file (negative height) lists its rows from the top; run-length data has no such
    // form and is refused like a picture Create cannot make.
    const bool compressed = header.compression == kCompressionRle4 || header.compression == kCompressionRle8;
    const bool topDown = header.height < 0;
    if (header.width < 0 || (topDown && compressed))
        throw EBmpUnknownError();
    const auto width = std::uint32_t(header.width);
    const auto height = std::uint32_t(topDown ? -std::int64_t{header.height} : header.height);
    const std::uint64_t rowBytes = ((std::uint64_t{width} * header.bitCount + 31) / 32) * 4;
    if (width == 0 || height == 0)
        throw EBmpCorruptFile();
    if (width <= CGraphicsImage::MaxDimension && height <= CGraphicsImage::MaxDimension && !compressed &&
        !StreamHolds(stream, rowBytes * height))
        throw EBmpFileReadError();
    if (!image.Create(ImageBppOf(header), width, height, CGraphicsImage::NoFill))
        ThrowCreateError(image.ErrorCode());

    // A colours-used count that reaches past the pixel data's offset cannot be right: the table
    // ends there.
    const auto consumed = [&stream, start] { return std::int64_t{stream.Tell()} - start; };
    ReadColourTable(stream, image, header, hasFileHeader ? std::max<std::int64_t>(dataOffset - consumed(), 0) : -1);
    if (hasFileHeader) {
        if (consumed() > std::int64_t{dataOffset})
            throw EBmpCorruptFile();
        Skip(stream, std::uint64_t(dataOffset - consumed()));
    }

    Info().ReportProgress(0);
    if (compressed) {
        DecodeBmpRle(stream, image, Info());
    } else {
        const std::array<std::uint32_t, 4> masks = MasksOf(header);
        const bool masked = header.bitCount == 32 && header.compression == kCompressionBitFields &&
                            !IsPlainOrder(masks);
        const std::array<ChannelMask, 4> channels = {ChannelMask(masks[0]), ChannelMask(masks[1]),
                                                     ChannelMask(masks[2]), ChannelMask(masks[3])};
        if (header.bitCount == 16 || topDown) {
            ReadRowByRow(stream, image, rowBytes, topDown, header.bitCount == 16 ? &channels : nullptr,
                         masked ? &channels : nullptr, Info());
        } else {
            // Stored rows have the file's padded length and lie in memory in the file's order,
            // bottom row first: a batch of rows is read in one go.
            const std::uint32_t batch = std::max<std::uint32_t>(1, std::uint32_t(kBatchBytes / rowBytes));
            for (std::uint32_t i = 0; i < height; i += batch) {
                const std::uint32_t rows = std::min(batch, height - i);
                for (std::uint32_t r = 0; r < rows; ++r)
                    Info().ReportProgress(int(std::uint64_t{i + r} * 100 / height));
                std::uint8_t* first = image.Row(height - 1 - i);
                ReadExactly<EBmpFileReadError>(stream, first, std::uint32_t(rowBytes * rows));
                for (std::uint32_t r = 0; masked && r < rows; ++r)
                    ApplyMasks(first + r * rowBytes, width, channels);
            }
        }
    }
    Info().ReportProgress(100);
}
