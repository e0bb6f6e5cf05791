#include "imaging/formats/tls/TlsWriter.h"

#include "imaging/GraphicsException.h"
#include "imaging/GraphicsImage.h"
#include "support/DataStream.h"

#include <vector>

namespace {

// Sequences beyond this many 64 KB units are refused.
constexpr std::uint64_t kMaxSequenceUnits = 0x7800;

// The table in an indexed image's palette alpha: valid only where the low and top alpha bits of
// every entry repeat its index.
bool AttributesFromPalette(const CGraphicsImage& image, tls::AttributeBlock& block)
{
    for (unsigned i = 0; i < tls::kAttributeCount; ++i) {
        const std::uint8_t alpha = image.Palette()[i].rgbReserved;
        if ((alpha & 0x8F) != (i & 0x8F))
            return false;
        tls::SetAttribute(block, i, static_cast<std::uint8_t>((alpha >> 4) & 7));
    }
    return true;
}

std::uint8_t AlphaBits(const CGraphicsImage& image, std::uint32_t i)
{
    const std::uint8_t* pixel = image.Row(i / image.Width()) + 4 * (i % image.Width());
    return static_cast<std::uint8_t>((pixel[3] >> 4) & 7);
}

// The table in a 32-bit image's first pixels: valid only where the pixels after it count 0 to 7.
bool AttributesFromPixels(const CGraphicsImage& image, tls::AttributeBlock& block)
{
    if (std::uint64_t{image.Width()} * image.Height() < tls::kAttributeCheckEnd)
        return false;
    for (std::uint32_t i = tls::kAttributeCount; i < tls::kAttributeCheckEnd; ++i)
        if (AlphaBits(image, i) != (i & 7))
            return false;
    for (std::uint32_t i = 0; i < tls::kAttributeCount; ++i)
        tls::SetAttribute(block, i, AlphaBits(image, i));
    return true;
}

tls::AttributeBlock AttributesOf(const CGraphicsImage& image)
{
    tls::AttributeBlock block{};
    const bool found = image.Bpp() <= 8 ? AttributesFromPalette(image, block)
                       : image.Bpp() == 32 ? AttributesFromPixels(image, block)
                                           : false;
    return found ? block : tls::AttributeBlock{};
}

// One row as the file stores it, padded with zeros.
void EncodeRow(const CGraphicsImage& image, std::uint32_t y, std::uint8_t bytesPerPixel, std::vector<std::uint8_t>& out)
{
    std::fill(out.begin(), out.end(), std::uint8_t{0});
    const std::uint8_t* bgra = image.RowTo32(image.Row(y));
    const std::uint32_t width = image.Width();
    if (bytesPerPixel == 4) {
        std::copy(bgra, bgra + 4 * std::size_t{width}, out.begin());
        return;
    }
    for (std::uint32_t x = 0; x < width; ++x) {
        const std::uint8_t* p = bgra + 4 * x;
        // Two-colour pictures are black and white: any bright palette colour is white.
        if (image.Bpp() == 1) {
            const bool bright = ((p[0] | p[1] | p[2]) & 0xC0) != 0;
            out[x] = static_cast<std::uint8_t>((bright ? 0x70 : 0) | (p[3] & 0x8F));
        } else {
            out[x] = tls::PixelByte(p[0], p[1], p[2], p[3]);
        }
    }
}

std::uint8_t BytesPerPixelFor(const CGraphicsImage& image, int outputBits)
{
    if (outputBits == 0)
        return image.Bpp() <= 8 ? 1 : 4;
    return outputBits == 8 ? 1 : 4;
}

}  // namespace

void CTlsWriter::ThrowCreateError() const
{
    throw ETlsFileOpenError();
}

void CTlsWriter::ThrowWriteError() const
{
    throw ETlsFileWriteError();
}

void CTlsWriter::Write(CDataStream& stream, const CGraphicsImage& image)
{
    Write(stream, image, 0, 1);
}

void CTlsWriter::Write(CDataStream& stream, const CGraphicsImage& image, unsigned frame, unsigned frameCount)
{
    Info().ReportProgress(0);
    WriteFrame(stream, image, frame, frameCount);
    UpdateCrc(stream);
    Info().ReportProgress(100);
}

void CTlsWriter::Write(std::string_view fileName, const CGraphicsImage& image, unsigned frame, unsigned frameCount)
{
    // Frame 0 of a new sequence starts the file afresh; every other frame goes into what is there.
    bool replace = frame > 0;
    if (frame == 0 && frameCount > 1) {
        CDataStream existing(FileBufferSize);
        std::array<std::uint8_t, tls::kHeaderSize> bytes{};
        tls::Header header;
        replace = existing.Open(fileName, 0) &&
                  existing.Read(bytes.data(), tls::kHeaderSize) == static_cast<std::int32_t>(tls::kHeaderSize) &&
                  header.Parse(bytes) && header.width == image.Width() && header.height == image.Height() &&
                  header.FrameCount() == frameCount && header.bytesPerPixel == BytesPerPixelFor(image, m_outputBits) &&
                  existing.Size() >= 0 &&
                  std::uint64_t(existing.Size()) == header.FileSize();
    }
    CDataStream stream(FileBufferSize);
    if (!stream.Open(fileName, replace ? 1 : 2))
        ThrowCreateError();
    try {
        Write(stream, image, frame, frameCount);
    } catch (...) {
        stream.Close();
        throw;
    }
    if (!stream.Close())
        ThrowWriteError();
}

void CTlsWriter::WriteFrame(CDataStream& stream, const CGraphicsImage& image, unsigned frame, unsigned frameCount)
{
    if (image.IsEmpty() || frameCount == 0 || frameCount > MaxFrameCount || frame >= frameCount)
        throw ETlsDataError();
    const tls::AttributeBlock block = m_presetAttributes ? *m_presetAttributes : AttributesOf(image);
    tls::Trailer trailer{static_cast<std::uint8_t>(DefaultDelay & 0xFF), static_cast<std::uint8_t>(DefaultDelay >> 8),
                         static_cast<std::uint8_t>(frame + 1 < frameCount ? frame + 1 : 0), 0};

    if (frame == 0) {
        if (image.Width() > tls::kMaxDimension || image.Height() > tls::kMaxDimension)
            throw ETlsDataError();
        tls::Header header;
        header.width = static_cast<std::uint16_t>(image.Width());
        header.height = static_cast<std::uint16_t>(image.Height());
        header.bytesPerPixel = BytesPerPixelFor(image, m_outputBits);
        header.lastFrame = static_cast<std::uint8_t>(frameCount - 1);
        header.userValue = m_userValue;
        const std::uint64_t units = (std::uint64_t{header.height} * header.LineBytes() + 0x10043) >> 16;
        if (units * frameCount > kMaxSequenceUnits)
            throw ETlsDataError();
        m_header = header;
    } else {
        // A later frame belongs to the sequence in the stream, or to the one this writer began.
        std::array<std::uint8_t, tls::kHeaderSize> bytes{};
        tls::Header header;
        if (stream.Seek(0, 0) == 0 &&
            stream.Read(bytes.data(), tls::kHeaderSize) == static_cast<std::int32_t>(tls::kHeaderSize) &&
            header.Parse(bytes) && (header.bytesPerPixel == 1 || header.bytesPerPixel == 4))
            m_header = header;
        if (!m_header)
            throw ETlsDataError();
    }
    const tls::Header& header = *m_header;
    if (header.width != image.Width() || header.height != image.Height() || header.FrameCount() != frameCount)
        throw ETlsDataError();

    const auto put = [&](std::span<const std::uint8_t> bytes) {
        if (stream.Write(bytes) != static_cast<std::int32_t>(bytes.size()))
            ThrowWriteError();
    };
    if (frame == 0) {
        if (stream.Seek(0, 0) != 0)
            ThrowWriteError();
        put(header.Bytes());
    } else if (stream.Seek(static_cast<std::int32_t>(header.FrameOffset(frame)), 0) < 0) {
        ThrowWriteError();
    }
    put(block);
    std::vector<std::uint8_t> row(header.LineBytes());
    for (std::uint32_t y = 0; y < header.height; ++y) {
        Info().ReportProgress(static_cast<int>(std::uint64_t{y} * 100 / header.height));
        EncodeRow(image, y, header.bytesPerPixel, row);
        put(row);
    }
    if (frameCount > 1)
        put(trailer);
}

// Once every frame is in the stream, the header's CRC is computed over what the stream holds.
void CTlsWriter::UpdateCrc(CDataStream& stream)
{
    const tls::Header& header = *m_header;
    const std::int32_t size = stream.Size();
    if (size < 0 || std::uint64_t(size) < header.FileSize())
        return;
    const std::int32_t end = stream.Tell();
    if (stream.Seek(static_cast<std::int32_t>(tls::kHeaderSize), 0) < 0)
        ThrowWriteError();
    tls::Header withoutCrc = header;
    withoutCrc.crc = 0;
    tls::Crc16 crc;
    crc.Add(withoutCrc.Bytes());
    std::vector<std::uint8_t> chunk(65536);
    std::uint64_t left = header.FileSize() - tls::kHeaderSize;
    while (left > 0) {
        const auto n = static_cast<std::int32_t>(std::min<std::uint64_t>(left, chunk.size()));
        if (stream.Read(chunk.data(), n) != n)
            ThrowWriteError();
        crc.Add(std::span(chunk.data(), static_cast<std::size_t>(n)));
        left -= static_cast<std::uint64_t>(n);
    }
    tls::Header finished = header;
    finished.crc = crc.Value();
    const auto bytes = finished.Bytes();
    if (stream.Seek(static_cast<std::int32_t>(tls::kCrcOffset), 0) < 0 ||
        stream.Write(bytes.data() + tls::kCrcOffset, 2) != 2 || stream.Seek(end, 0) < 0)
        ThrowWriteError();
}
