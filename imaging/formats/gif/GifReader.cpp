#include "imaging/formats/gif/GifReader.h"

#include "imaging/GraphicsException.h"
#include "imaging/GraphicsImage.h"
#include "imaging/formats/gif/LzwDecoder.h"
#include "support/DataStream.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace {

constexpr int ExtensionIntroducer = 0x21;
constexpr int ImageSeparator = 0x2C;
constexpr int Trailer = 0x3B;
constexpr int PlainTextLabel = 0x01;
constexpr int GraphicControlLabel = 0xF9;
constexpr int ApplicationLabel = 0xFF;
constexpr std::uint64_t LzwMaxPixelsPerByte = 2731;

// Puts the decoded rows into the picture: top to bottom, or in the four passes of an interlaced
// image (every 8th row from 0, every 8th from 4, every 4th from 2, every 2nd from 1).
class CGifRowPlacer final : public CLzwRowSink
{
public:
    CGifRowPlacer(CGraphicsImage& image, bool interlaced) : m_image(image), m_interlaced(interlaced) {}

    bool TakeRow(std::span<const std::uint8_t> row) override
    {
        std::memcpy(m_image.Row(m_row), row.data(), row.size());
        --m_rowsLeft;
        if (m_rowsLeft == 0)
            return false;
        if (!m_interlaced) {
            ++m_row;
            return true;
        }
        static constexpr std::uint32_t start[4] = {0, 4, 2, 1};
        static constexpr std::uint32_t step[4] = {8, 8, 4, 2};
        m_row += step[m_pass];
        while (m_row >= m_image.Height() && m_pass < 3) {
            ++m_pass;
            m_row = start[m_pass];
        }
        return m_row < m_image.Height();
    }

    std::uint32_t RowsLeft() const override { return m_rowsLeft; }

private:
    CGraphicsImage& m_image;
    bool m_interlaced;
    std::uint32_t m_row = 0;
    int m_pass = 0;
    std::uint32_t m_rowsLeft = m_image.Height();
};

}  // namespace

void CGifReader::ThrowOpenError() const
{
    throw EGifError(GraphicsText::Gif::OpenFailed);
}

int CGifReader::ReadCorruptCheckedByte()
{
    const std::int32_t value = m_stream->ReadByte();
    if (value < 0)
        throw EGifCorruptFile();
    return value;
}

void CGifReader::SkipSubBlocks()
{
    std::array<std::uint8_t, 255> block;
    for (int size = ReadCorruptCheckedByte(); size != 0; size = ReadCorruptCheckedByte())
        ReadExactly<EGifCorruptFile>(*m_stream, block.data(), size);
}

void CGifReader::ReadHeader()
{
    std::array<std::uint8_t, 13> header;
    if (m_stream->Read(header.data(), 6) != 6)
        throw EGifFileReadError();
    if (std::memcmp(header.data(), "GIF87a", 6) != 0 && std::memcmp(header.data(), "GIF89a", 6) != 0)
        throw EGifNotAGifFile();
    if (m_stream->Read(header.data() + 6, 7) != 7)
        throw EGifFileReadError();
    m_screenWidth = header[6] | header[7] << 8;
    m_screenHeight = header[8] | header[9] << 8;
    const std::uint8_t packed = header[10];
    m_globalTable.clear();
    if (packed & 0x80) {
        m_globalTable.resize(3u << ((packed & 7) + 1));
        const int size = static_cast<int>(m_globalTable.size());
        if (m_stream->Read(m_globalTable.data(), size) != size)
            throw EGifFileReadError();
    }
}

bool CGifReader::ParseBlocks()
{
    for (;;) {
        switch (ReadCorruptCheckedByte()) {
        case 0x00:
            break;
        case ExtensionIntroducer:
            ReadExtension();
            break;
        case ImageSeparator:
            return true;
        case Trailer:
            return false;
        default:
            throw EGifCorruptFile();
        }
    }
}

void CGifReader::ReadExtension()
{
    const int label = ReadCorruptCheckedByte();
    if (label == GraphicControlLabel) {
        std::array<std::uint8_t, 6> control;  // size, packed, delay, transparent index, terminator
        ReadExactly<EGifCorruptFile>(*m_stream, control.data(), 6);
        if (control[5] != 0)
            throw EGifCorruptFile();
        m_transparentIndex = (control[1] & 1) ? control[4] : -1;
        return;
    }
    // Plain text and application extensions open with a fixed block; every other kind, those of
    // unknown labels too, is a chain of sub-blocks that is passed over.
    std::array<std::uint8_t, 255> fixed;
    if (label == PlainTextLabel || label == ApplicationLabel) {
        const int size = ReadCorruptCheckedByte();
        if (size != (label == PlainTextLabel ? 12 : 11))
            throw EGifCorruptFile();
        ReadExactly<EGifCorruptFile>(*m_stream, fixed.data(), size);
    }
    SkipSubBlocks();
}

void CGifReader::ReadImage(CGraphicsImage& image)
{
    std::array<std::uint8_t, 9> descriptor;
    ReadExactly<EGifCorruptFile>(*m_stream, descriptor.data(), 9);
    const std::uint32_t width = descriptor[4] | descriptor[5] << 8;
    const std::uint32_t height = descriptor[6] | descriptor[7] << 8;
    const std::uint8_t packed = descriptor[8];
    if (width == 0 || height == 0)
        throw EGifCorruptFile();
    // A code of b bits stands for at most 2^b pixels, so no byte of LZW data holds more than
    // 8 * 4096 / 12 of them: a frame that the rest of the file cannot fill is refused before its
    // pixels are allocated.
    const std::int64_t remaining = std::int64_t{m_stream->Size()} - m_stream->Tell();
    if (remaining >= 0 && std::uint64_t{width} * height > std::uint64_t(remaining) * LzwMaxPixelsPerByte + 4096)
        throw EGifCorruptFile();
    image.CreateOrThrow(8, width, height, CGraphicsImage::NoFill);

    std::vector<std::uint8_t> localTable;
    if (packed & 0x80) {
        localTable.resize(3u << ((packed & 7) + 1));
        ReadExactly<EGifCorruptFile>(*m_stream, localTable.data(), static_cast<std::uint32_t>(localTable.size()));
    } else if (m_globalTable.empty()) {
        throw EGifCorruptFile();
    }
    // A local table covers its own entries; the global one still supplies those above it.
    for (std::size_t i = 0; 3 * i < m_globalTable.size(); ++i)
        image.SetPaletteRGB(unsigned(i), m_globalTable[3 * i], m_globalTable[3 * i + 1], m_globalTable[3 * i + 2]);
    for (std::size_t i = 0; 3 * i < localTable.size(); ++i)
        image.SetPaletteRGB(unsigned(i), localTable[3 * i], localTable[3 * i + 1], localTable[3 * i + 2]);

    CGifRowPlacer placer(image, (packed & 0x40) != 0);
    try {
        DecodeData(placer, width, height);
    } catch (const EGraphicsException&) {
        throw;
    } catch (...) {
        throw EGifCorruptFile();
    }
    // Data that ends before the last row cannot be told from a truncated file.
    if (placer.RowsLeft() > 0)
        throw EGifCorruptFile();
    ApplyTransparentIndex(image);
}

// The transparent colour becomes palette alpha: its entry 0, all others opaque. A picture whose
// pixels never use it keeps a palette without alpha, as any opaque GIF.
void CGifReader::ApplyTransparentIndex(CGraphicsImage& image) const
{
    if (m_transparentIndex < 0)
        return;
    const auto index = std::uint8_t(m_transparentIndex);
    bool used = false;
    for (std::uint32_t y = 0; y < image.Height() && !used; ++y) {
        const std::uint8_t* row = image.Row(y);
        used = std::find(row, row + image.Width(), index) != row + image.Width();
    }
    if (!used)
        return;
    for (unsigned i = 0; i < 256; ++i)
        image.Palette()[i].rgbReserved = i == index ? 0 : 255;
}

// The image data is read to its zero-length sub-block, also behind the last row.
void CGifReader::DecodeData(CLzwRowSink& rows, std::uint32_t width, std::uint32_t height)
{
    CLzwDecoder decoder(ReadCorruptCheckedByte(), width, rows);
    std::array<std::uint8_t, 255> block;
    bool wantsMore = true;
    for (;;) {
        Info().ReportProgress(static_cast<int>(std::uint64_t{height - rows.RowsLeft()} * 100 / height));
        const int size = ReadCorruptCheckedByte();
        if (size == 0)
            return;
        ReadExactly<EGifCorruptFile>(*m_stream, block.data(), size);
        if (wantsMore)
            wantsMore = decoder.Decode(std::span(block.data(), std::size_t(size)));
    }
}

void CGifReader::Read(CDataStream& stream, CGraphicsImage& image)
{
    m_stream = &stream;
    m_transparentIndex = -1;
    Info().ReportProgress(0);
    ReadHeader();
    if (!ParseBlocks())
        throw EGifNoMoreImages();
    ReadImage(image);
    Info().ReportProgress(100);
    // The stream is left behind the image, at the next image or the end.
    ParseBlocks();
}
