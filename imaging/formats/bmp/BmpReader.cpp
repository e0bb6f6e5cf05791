#include "imaging/formats/bmp/BmpReader.h"

#include "imaging/formats/bmp/BmpRle.h"
#include "imaging/GraphicsException.h"
#include "imaging/GraphicsImage.h"
#include "support/DataStream.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>

namespace {

constexpr std::uint32_t kFileHeaderSize = 14;
constexpr std::uint32_t kCoreHeaderSize = 12;
constexpr std::uint32_t kInfoHeaderSize = 40;
constexpr std::uint32_t kMasksInHeaderSize = 52;  // info headers from here on carry the masks
constexpr std::uint32_t kAlphaInHeaderSize = 56;
constexpr std::uint32_t kBareHeaderMaxSide = 32768;
constexpr std::uint64_t kBatchBytes = 1 << 18;

constexpr std::uint32_t kCompressionNone = 0;
constexpr std::uint32_t kCompressionRle8 = 1;
constexpr std::uint32_t kCompressionRle4 = 2;
constexpr std::uint32_t kCompressionBitFields = 3;

std::uint32_t Le16(const std::uint8_t* bytes)
{
    return std::uint32_t(bytes[0]) | std::uint32_t(bytes[1]) << 8;
}

std::uint32_t Le32(const std::uint8_t* bytes)
{
    return Le16(bytes) | Le16(bytes + 2) << 16;
}

void ReadExactly(CDataStream& stream, void* buffer, std::uint32_t size)
{
    if (stream.Read(buffer, std::int32_t(size)) != std::int32_t(size))
        throw EBmpFileReadError();
}

void Skip(CDataStream& stream, std::uint64_t bytes)
{
    if (bytes == 0)
        return;
    if (!StreamHolds(stream, bytes) || stream.Seek(std::int32_t(bytes), 1) < 0)
        throw EBmpFileReadError();
}

struct BmpHeader
{
    std::uint32_t size = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::uint32_t bitCount = 0;
    std::uint32_t compression = kCompressionNone;
    std::int32_t xResolution = 0;
    std::int32_t yResolution = 0;
    std::uint32_t coloursUsed = 0;
    std::array<std::uint32_t, 4> masks = {};  // red, green, blue, alpha
};

BmpHeader ReadHeader(CDataStream& stream)
{
    std::array<std::uint8_t, kAlphaInHeaderSize> bytes = {};
    ReadExactly(stream, bytes.data(), 4);
    BmpHeader header;
    header.size = Le32(bytes.data());
    if (header.size == kCoreHeaderSize) {
        ReadExactly(stream, bytes.data() + 4, kCoreHeaderSize - 4);
        header.width = std::int32_t(Le16(&bytes[4]));
        header.height = std::int32_t(Le16(&bytes[6]));
        header.bitCount = Le16(&bytes[10]);
        return header;
    }
    if (header.size < kInfoHeaderSize)
        throw EBmpCorruptFile();
    const std::uint32_t kept = std::min<std::uint32_t>(header.size, kAlphaInHeaderSize);
    ReadExactly(stream, bytes.data() + 4, kept - 4);
    Skip(stream, header.size - kept);
    header.width = std::int32_t(Le32(&bytes[4]));
    header.height = std::int32_t(Le32(&bytes[8]));
    header.bitCount = Le16(&bytes[14]);
    header.compression = Le32(&bytes[16]);
    header.xResolution = std::int32_t(Le32(&bytes[24]));
    header.yResolution = std::int32_t(Le32(&bytes[28]));
    header.coloursUsed = Le32(&bytes[32]);
    if (header.compression == kCompressionBitFields) {
        // A plain info header is followed by the three masks; longer headers hold them.
        if (header.size < kMasksInHeaderSize)
            ReadExactly(stream, &bytes[40], 12);
        for (std::size_t i = 0; i < 3; ++i)
            header.masks[i] = Le32(&bytes[40 + 4 * i]);
        if (header.size >= kAlphaInHeaderSize)
            header.masks[3] = Le32(&bytes[52]);
    }
    return header;
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
          maximum(bits == 0 ? 0 : std::uint32_t((std::uint64_t{1} << bits) - 1)), mask(channelMask)
    {
    }

    std::uint32_t Take(std::uint32_t pixel) const
    {
        const std::uint32_t value = (pixel & mask) >> shift;
        if (bits >= 8)
            return value >> (bits - 8);
        return maximum == 0 ? 0 : (value * 255 + maximum / 2) / maximum;
    }

    int shift;
    int bits;
    std::uint32_t maximum;
    std::uint32_t mask;
};

bool IsPlainOrder(const std::array<std::uint32_t, 4>& masks)
{
    return masks[0] == 0x00FF0000u && masks[1] == 0x0000FF00u && masks[2] == 0x000000FFu &&
           masks[3] == 0xFF000000u;
}

// Rewrites a row of 32-bit pixels in place into B, G, R, A.
void ApplyMasks(std::uint8_t* row, std::uint32_t width, const std::array<ChannelMask, 4>& channels)
{
    for (std::uint32_t x = 0; x < width; ++x, row += 4) {
        const std::uint32_t pixel = Le32(row);
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
    ReadExactly(stream, table.data(), kept * entrySize);
    for (std::uint32_t i = 0; i < kept; ++i) {
        const std::uint8_t* entry = &table[i * entrySize];
        if (entrySize == 3)
            image.SetPaletteRGB(i, entry[2], entry[1], entry[0]);
        else
            image.SetPaletteRGBA(i, entry[2], entry[1], entry[0], entry[3]);
    }
    Skip(stream, std::uint64_t{count - kept} * entrySize);
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
    ReadExactly(stream, fileHeader.data(), kFileHeaderSize);
    const bool hasFileHeader = fileHeader[0] == 'B' && fileHeader[1] == 'M';
    if (!hasFileHeader) {
        if (Le32(&fileHeader[0]) != kInfoHeaderSize || Le32(&fileHeader[4]) > kBareHeaderMaxSide ||
            Le32(&fileHeader[8]) > kBareHeaderMaxSide)
            throw EBmpNotABmpFile();
        stream.Seek(start, 0);
    }
    const std::uint32_t dataOffset = Le32(&fileHeader[10]);

    const BmpHeader header = ReadHeader(stream);
    m_bitCount = int(header.bitCount);
    m_xResolution = header.xResolution;
    m_yResolution = header.yResolution;
    if (!Supported(header))
        throw EBmpNotSupported();

    // A top-down file (negative height) is refused like a picture Create cannot make.
    const auto width = std::uint32_t(header.width);
    const auto height = std::uint32_t(header.height);
    const bool compressed = header.compression == kCompressionRle4 || header.compression == kCompressionRle8;
    const std::uint64_t rowBytes = ((std::uint64_t{width} * header.bitCount + 31) / 32) * 4;
    if (header.height < 0 || header.width < 0)
        throw EBmpUnknownError();
    if (width == 0 || height == 0)
        throw EBmpCorruptFile();
    if (width <= CGraphicsImage::MaxDimension && height <= CGraphicsImage::MaxDimension && !compressed &&
        !StreamHolds(stream, rowBytes * height))
        throw EBmpFileReadError();
    if (!image.Create(int(header.bitCount), width, height, CGraphicsImage::NoFill))
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
        const bool masked = header.bitCount == 32 && header.compression == kCompressionBitFields &&
                            !IsPlainOrder(header.masks);
        const std::array<ChannelMask, 4> channels = {ChannelMask(header.masks[0]), ChannelMask(header.masks[1]),
                                                     ChannelMask(header.masks[2]), ChannelMask(header.masks[3])};
        // Stored rows have the file's padded length and lie in memory in the file's order, bottom
        // row first: a batch of rows is read in one go.
        const std::uint32_t batch = std::max<std::uint32_t>(1, std::uint32_t(kBatchBytes / rowBytes));
        for (std::uint32_t i = 0; i < height; i += batch) {
            const std::uint32_t rows = std::min(batch, height - i);
            for (std::uint32_t r = 0; r < rows; ++r)
                Info().ReportProgress(int(std::uint64_t{i + r} * 100 / height));
            std::uint8_t* first = image.Row(height - 1 - i);
            ReadExactly(stream, first, std::uint32_t(rowBytes * rows));
            for (std::uint32_t r = 0; masked && r < rows; ++r)
                ApplyMasks(first + r * rowBytes, width, channels);
        }
    }
    Info().ReportProgress(100);
}
