#include "imaging/formats/tls/TlsReader.h"

#include "imaging/GraphicsException.h"
#include "imaging/GraphicsImage.h"
#include "support/DataStream.h"

#include <cstring>
#include <vector>

namespace {

// Reads exactly the bytes asked for and feeds them to the CRC; anything less is a damaged file.
void ReadChecked(CDataStream& stream, std::span<std::uint8_t> bytes, tls::Crc16& crc)
{
    ReadExactly<ETlsCorruptFile>(stream, bytes.data(), static_cast<std::uint32_t>(bytes.size()));
    crc.Add(bytes);
}

void StoreAttributes(CGraphicsImage& image, const tls::AttributeBlock& block)
{
    if (image.Bpp() == 8) {
        for (unsigned i = 0; i < 256; ++i) {
            std::uint8_t alpha = static_cast<std::uint8_t>(i & 0x8F);
            if (i < tls::kAttributeCount)
                alpha = static_cast<std::uint8_t>(alpha | tls::Attribute(block, i) << 4);
            image.SetPaletteRGBA(i, (i & 0x40) != 0 ? 255 : 0, (i & 0x20) != 0 ? 255 : 0, (i & 0x10) != 0 ? 255 : 0,
                                 alpha);
        }
        return;
    }
    const std::uint64_t pixels = std::uint64_t{image.Width()} * image.Height();
    for (std::uint32_t i = 0; i < tls::kAttributeCheckEnd && i < pixels; ++i) {
        const std::uint32_t value = i < tls::kAttributeCount ? tls::Attribute(block, i) : (i & 7);
        std::uint8_t* pixel = image.Row(i / image.Width()) + 4 * (i % image.Width());
        pixel[3] = static_cast<std::uint8_t>((pixel[3] & 0x8F) | value << 4);
    }
}

}  // namespace

void CTlsReader::ThrowOpenError() const
{
    throw ETlsFileOpenError();
}

void CTlsReader::Read(CDataStream& stream, CGraphicsImage& image, unsigned frame)
{
    SetFrameIndex(frame);
    Read(stream, image);
}

void CTlsReader::Read(std::string_view fileName, CGraphicsImage& image, unsigned frame)
{
    SetFrameIndex(frame);
    CGraphicsReader::Read(fileName, image);
}

void CTlsReader::Read(CDataStream& stream, CGraphicsImage& image)
{
    m_attributes = {};
    m_trailer = {};
    std::array<std::uint8_t, tls::kHeaderSize> headerBytes{};
    ReadExactly<ETlsFileReadError>(stream, headerBytes.data(), tls::kHeaderSize);
    if (!m_header.Parse(headerBytes))
        throw ETlsNotATlsFile();
    const tls::Header& header = m_header;
    if ((header.bytesPerPixel != 1 && header.bytesPerPixel != 4) || header.width == 0 || header.height == 0 ||
        header.width > tls::kMaxDimension || header.height > tls::kMaxDimension)
        throw ETlsCorruptFile();
    if (m_frame > header.lastFrame)
        throw ETlsNotFound();

    tls::Crc16 crc;
    headerBytes[tls::kCrcOffset] = 0;
    headerBytes[tls::kCrcOffset + 1] = 0;
    crc.Add(headerBytes);
    tls::AttributeBlock block{};
    ReadChecked(stream, block, crc);
    Info().ReportProgress(0);

    // A file too short for its frames is refused before the pixels are allocated.
    const std::int32_t size = stream.Size();
    if (size >= 0 && std::uint64_t(size) < header.FileSize())
        throw ETlsCorruptFile();
    if (!image.Create(header.bytesPerPixel == 1 ? 8 : 32, header.width, header.height, CGraphicsImage::NoFill))
        throw ETlsUnknownError();

    const std::uint32_t lineBytes = header.LineBytes();
    std::vector<std::uint8_t> passedRow(lineBytes);
    tls::Trailer trailer{};
    for (std::uint32_t f = 0; f < header.FrameCount(); ++f) {
        if (f > 0)
            ReadChecked(stream, block, crc);
        const bool wanted = f == m_frame;
        if (wanted)
            m_attributes = block;
        for (std::uint32_t y = 0; y < header.height; ++y) {
            if (wanted) {
                Info().ReportProgress(static_cast<int>(std::uint64_t{y} * 100 / header.height));
                ReadChecked(stream, std::span(image.Row(y), lineBytes), crc);
            } else {
                ReadChecked(stream, passedRow, crc);
            }
        }
        if (header.lastFrame > 0) {
            ReadChecked(stream, trailer, crc);
            if (wanted)
                m_trailer = trailer;
        }
    }
    if (crc.Value() != header.crc)
        throw ETlsCrcError();
    Info().ReportProgress(100);
    StoreAttributes(image, m_attributes);
}
