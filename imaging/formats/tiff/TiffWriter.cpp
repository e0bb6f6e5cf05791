#include "imaging/formats/tiff/TiffWriter.h"

#include "imaging/GraphicsException.h"
#include "imaging/GraphicsImage.h"
#include "imaging/SwapRedBlue.h"
#include "support/DataStream.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <span>
#include <string_view>
#include <vector>

namespace {

constexpr std::uint16_t kShort = 3;
constexpr std::uint16_t kLong = 4;
constexpr std::uint16_t kAscii = 2;
constexpr std::uint16_t kRational = 5;
constexpr char kSoftware[] = "KQ Rudave Zed";  // written with its terminator: 14 bytes
constexpr std::uint32_t kStripBytes = 8192;
constexpr std::uint32_t kBilevelRowsPerStrip = 322;
constexpr std::uint32_t kResolution = 2835;  // pixels per metre, written per centimetre
constexpr std::size_t kWriteBlock = 256 * 1024;

enum class Photometric : std::uint16_t
{
    WhiteIsZero = 0,
    BlackIsZero = 1,
    Rgb = 2,
    Palette = 3,
};

struct IfdEntry
{
    std::uint16_t tag;
    std::uint16_t type;
    std::uint32_t count;
    std::uint32_t value;  // a SHORT stands in the low half, that is the first two bytes of the field
};

bool SameRgb(const RGBQUAD& entry, std::uint8_t value)
{
    return entry.rgbRed == value && entry.rgbGreen == value && entry.rgbBlue == value;
}

// How an indexed image is stored: as grey levels when its palette is the plain grey ramp (black to
// white, or white to black for a bilevel image), else with its colour map.
Photometric IndexedPhotometric(const CGraphicsImage& image)
{
    const int bpp = image.Bpp();
    const RGBQUAD* palette = image.Palette();
    if (bpp == 1) {
        if (SameRgb(palette[0], 0) && SameRgb(palette[1], 255))
            return Photometric::BlackIsZero;
        if (SameRgb(palette[0], 255) && SameRgb(palette[1], 0))
            return Photometric::WhiteIsZero;
        return Photometric::Palette;
    }
    const unsigned levels = 1u << bpp;
    for (unsigned i = 0; i < levels; ++i)
        if (!SameRgb(palette[i], std::uint8_t(i * 255 / (levels - 1))) || palette[i].rgbReserved != 0)
            return Photometric::Palette;
    return Photometric::BlackIsZero;
}

class TiffOut
{
public:
    TiffOut(CDataStream& stream, const CGraphicsImage& image, const CGraphicsCodecInfo& info)
        : m_stream(stream), m_image(image), m_info(info), m_start(stream.Tell())
    {
    }

    void Write();

private:
    std::uint32_t Position() const { return std::uint32_t(m_stream.Tell() - m_start); }
    void Put(const void* data, std::size_t n)
    {
        if (n > 0 && m_stream.Write(data, std::int32_t(n)) != std::int32_t(n))
            throw ETiffError(GraphicsText::Tiff::WriteFailed);
    }
    void Put16(std::uint16_t value) { Put(std::array<std::uint8_t, 2>{std::uint8_t(value), std::uint8_t(value >> 8)}); }
    void Put32(std::uint32_t value)
    {
        Put(std::array<std::uint8_t, 4>{std::uint8_t(value), std::uint8_t(value >> 8), std::uint8_t(value >> 16),
                                        std::uint8_t(value >> 24)});
    }
    template <std::size_t N>
    void Put(const std::array<std::uint8_t, N>& bytes) { Put(bytes.data(), N); }
    // Values that entries point to start on a word boundary.
    void Align()
    {
        if (Position() % 2 != 0)
            Put("", 1);
    }
    // Text with its terminator: in the entry when it fits there, else behind the data.
    IfdEntry Text(std::uint16_t tag, std::string_view text)
    {
        const auto count = std::uint32_t(text.size() + 1);
        if (count <= 4) {
            std::uint8_t field[4] = {};
            std::memcpy(field, text.data(), text.size());
            return {tag, kAscii, count, std::uint32_t(field[0]) | std::uint32_t(field[1]) << 8 |
                                            std::uint32_t(field[2]) << 16 | std::uint32_t(field[3]) << 24};
        }
        Align();
        const std::uint32_t offset = Position();
        Put(text.data(), text.size());
        Put("", 1);
        return {tag, kAscii, count, offset};
    }
    void WriteStrips(std::uint32_t rowBytes, std::uint32_t rowsPerStrip, bool rgb);

    CDataStream& m_stream;
    const CGraphicsImage& m_image;
    const CGraphicsCodecInfo& m_info;
    const std::int32_t m_start;
    std::uint32_t m_position = 0;  // where the block being gathered goes
    std::vector<std::uint32_t> m_stripOffsets;
    std::vector<std::uint32_t> m_stripByteCounts;
};

void TiffOut::WriteStrips(std::uint32_t rowBytes, std::uint32_t rowsPerStrip, bool rgb)
{
    const std::uint32_t width = m_image.Width(), height = m_image.Height();
    // Rows are gathered into large blocks, which the stream hands to the file in one call each.
    const std::size_t blockRows = std::clamp<std::size_t>(kWriteBlock / rowBytes, 1, height);
    std::vector<std::uint8_t> block(blockRows * rowBytes);
    std::size_t filled = 0;
    auto flush = [&] {
        Put(block.data(), filled);
        m_position += std::uint32_t(filled);
        filled = 0;
    };
    m_position = Position();
    for (std::uint32_t y = 0; y < height;) {
        const std::uint32_t stripStart = m_position + std::uint32_t(filled);
        m_stripOffsets.push_back(stripStart);
        for (std::uint32_t r = 0; r < rowsPerStrip && y < height; ++r, ++y) {
            if (filled == block.size())
                flush();
            const std::uint8_t* row = m_image.Row(y);
            if (rgb)
                CopySwappingRedBlue(m_image.RowTo24(row), block.data() + filled, width);
            else
                std::memcpy(block.data() + filled, row, rowBytes);
            filled += rowBytes;
            m_info.ReportProgress(int(std::uint64_t(y) * 100 / height));
        }
        m_stripByteCounts.push_back(m_position + std::uint32_t(filled) - stripStart);
    }
    flush();
}

void TiffOut::Write()
{
    const CGraphicsImage& image = m_image;
    if (image.IsEmpty())
        throw ETiffError(GraphicsText::Tiff::EmptyImage);
    const int bpp = image.Bpp();
    const bool rgb = bpp >= 12;
    if (bpp != 1 && bpp != 4 && bpp != 8 && !rgb)
        throw ETiffError(GraphicsText::Tiff::ModeNotSupported);

    Put(std::array<std::uint8_t, 8>{'I', 'I', 42, 0, 0, 0, 0, 0});
    const std::uint32_t width = image.Width(), height = image.Height();
    const std::uint32_t rowBytes = rgb ? 3 * width : (width * std::uint32_t(bpp) + 7) / 8;
    const std::uint32_t rowsPerStrip =
        bpp == 1 ? kBilevelRowsPerStrip : std::clamp(kStripBytes / rowBytes, 1u, height);
    const Photometric photometric = rgb ? Photometric::Rgb : IndexedPhotometric(image);
    WriteStrips(rowBytes, rowsPerStrip, rgb);

    std::vector<IfdEntry> entries = {
        {254, kLong, 1, 0},
        {256, kLong, 1, width},
        {257, kLong, 1, height},
    };
    if (rgb) {
        Align();
        entries.push_back({258, kShort, 3, Position()});
        for (int i = 0; i < 3; ++i)
            Put16(8);
    } else {
        entries.push_back({258, kShort, 1, std::uint32_t(bpp)});
    }
    entries.push_back({259, kShort, 1, 1});
    entries.push_back({262, kShort, 1, std::uint32_t(photometric)});
    entries.push_back({266, kShort, 1, 1});

    IfdEntry colorMap{};
    if (photometric == Photometric::Palette) {
        const std::uint32_t colours = 1u << bpp;
        Align();
        colorMap = {320, kShort, 3 * colours, Position()};
        const RGBQUAD* palette = image.Palette();
        for (const auto channel : {&RGBQUAD::rgbRed, &RGBQUAD::rgbGreen, &RGBQUAD::rgbBlue})
            for (std::uint32_t i = 0; i < colours; ++i)
                Put16(std::uint16_t(palette[i].*channel * 257));
    }

    // One strip stands in the entries themselves (TIFF 6.0), more in arrays.
    const auto strips = std::uint32_t(m_stripOffsets.size());
    std::uint32_t offsetsValue = m_stripOffsets[0], countsValue = m_stripByteCounts[0];
    if (strips > 1) {
        Align();
        offsetsValue = Position();
        for (const std::uint32_t offset : m_stripOffsets)
            Put32(offset);
        countsValue = Position();
        for (const std::uint32_t count : m_stripByteCounts)
            Put32(count);
    }
    const IfdEntry software = Text(305, {kSoftware, sizeof kSoftware - 1});
    if (m_info.HasComment())
        entries.push_back(Text(270, m_info.Comment()));
    Align();
    const std::uint32_t resolutions = Position();
    for (int i = 0; i < 2; ++i) {
        Put32(kResolution);
        Put32(100);
    }

    entries.push_back({273, kLong, strips, offsetsValue});
    entries.push_back({277, kShort, 1, rgb ? 3u : 1u});
    entries.push_back({278, kLong, 1, rowsPerStrip});
    entries.push_back({279, kLong, strips, countsValue});
    entries.push_back({282, kRational, 1, resolutions});
    entries.push_back({283, kRational, 1, resolutions + 8});
    entries.push_back({296, kShort, 1, 3});
    entries.push_back(software);
    if (colorMap.tag != 0)
        entries.push_back(colorMap);

    Align();
    const std::uint32_t ifd = Position();
    Put16(std::uint16_t(entries.size()));
    for (const IfdEntry& entry : entries) {
        Put16(entry.tag);
        Put16(entry.type);
        Put32(entry.count);
        Put32(entry.value);
    }
    Put32(0);
    const std::int32_t end = m_stream.Tell();
    if (m_stream.Seek(m_start + 4, 0) < 0)
        throw ETiffError(GraphicsText::Tiff::WriteFailed);
    Put32(ifd);
    if (m_stream.Seek(end, 0) < 0)
        throw ETiffError(GraphicsText::Tiff::WriteFailed);
}

}  // namespace

void CTiffWriter::Write(CDataStream& stream, const CGraphicsImage& image)
{
    Info().ReportProgress(0);
    TiffOut(stream, image, Info()).Write();
    Info().ReportProgress(100);
}

void CTiffWriter::ThrowCreateError() const
{
    throw ETiffError(GraphicsText::Tiff::CreateFailed);
}

void CTiffWriter::ThrowWriteError() const
{
    throw ETiffError(GraphicsText::Tiff::WriteFailed);
}
