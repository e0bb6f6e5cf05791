#include "imaging/formats/pnm/PnmReader.h"

#include "imaging/GraphicsException.h"
#include "imaging/GraphicsImage.h"
#include "support/DataStream.h"

#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

namespace {

constexpr std::uint32_t kMaxSample = 65535;
constexpr std::uint32_t kWhite = 0xFFFFFF;

bool IsBlank(std::int32_t c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

// Reads the decimal numbers of the header and of the text variants, skipping white space and
// comments ('#' to the end of the line).
class CPnmScanner
{
public:
    explicit CPnmScanner(CDataStream& stream) : m_stream(stream) {}

    // The next character that is neither white space nor inside a comment, or -1 at the end.
    std::int32_t NextSignificant()
    {
        for (;;) {
            std::int32_t c = m_stream.ReadByte();
            if (c == '#') {
                while (c >= 0 && c != '\n' && c != '\r')
                    c = m_stream.ReadByte();
            }
            if (c < 0 || !IsBlank(c))
                return c;
        }
    }

    // A number too large for any field saturates; anything that is not a digit gives nothing.
    // The character after the number is consumed and kept in Terminator().
    std::optional<std::uint32_t> Number()
    {
        std::int32_t c = NextSignificant();
        if (c < '0' || c > '9')
            return std::nullopt;
        std::uint32_t value = 0;
        while (c >= '0' && c <= '9') {
            value = std::min<std::uint32_t>(value * 10 + std::uint32_t(c - '0'), 0x10000000u);
            c = m_stream.ReadByte();
        }
        m_terminator = c;
        return value;
    }

    std::int32_t Terminator() const { return m_terminator; }

private:
    CDataStream& m_stream;
    std::int32_t m_terminator = -1;
};

// 0-255 for every sample value up to the maximum; larger values count as the maximum.
class CSampleScale
{
public:
    explicit CSampleScale(std::uint32_t maximum) : m_maximum(maximum)
    {
        if (maximum == 255)
            return;
        m_table.resize(maximum + 1);
        for (std::uint32_t v = 0; v <= maximum; ++v)
            m_table[v] = std::uint8_t((v * 255 + maximum / 2) / maximum);
    }
    bool Identity() const { return m_table.empty(); }
    std::uint8_t operator()(std::uint32_t value) const
    {
        value = std::min(value, m_maximum);
        return Identity() ? std::uint8_t(value) : m_table[value];
    }

private:
    std::uint32_t m_maximum;
    std::vector<std::uint8_t> m_table;
};

struct PnmHeader
{
    int magic = 0;  // 1 to 6
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::uint32_t maximum = 1;

    bool Binary() const { return magic >= 4; }
    bool Bitmap() const { return magic == 1 || magic == 4; }
    std::uint32_t Channels() const { return magic == 3 || magic == 6 ? 3 : 1; }
    int Bpp() const { return Bitmap() ? 1 : Channels() == 3 ? 24 : 8; }
    std::uint32_t SampleBytes() const { return maximum > 255 ? 2 : 1; }
    std::uint64_t BinaryRowBytes() const
    {
        return Bitmap() ? (std::uint64_t{width} + 7) / 8 : std::uint64_t{width} * Channels() * SampleBytes();
    }
};

PnmHeader ReadHeader(CDataStream& stream, CPnmScanner& scanner)
{
    std::uint8_t magic[2] = {};
    if (stream.Read(magic, 2) != 2 || magic[0] != 'P' || magic[1] < '1' || magic[1] > '6')
        throw EPnmNotAPnmFile();
    PnmHeader header;
    header.magic = magic[1] - '0';
    const std::optional<std::uint32_t> width = scanner.Number();
    const std::optional<std::uint32_t> height = scanner.Number();
    const std::optional<std::uint32_t> maximum = header.Bitmap() ? std::optional<std::uint32_t>(1) : scanner.Number();
    if (!width || !height || !maximum || *width == 0 || *height == 0 || *maximum == 0 || *maximum > kMaxSample)
        throw EPnmCorruptFile();
    // Binary data starts right after the one white-space character that ends the header.
    if (header.Binary() && !IsBlank(scanner.Terminator()))
        throw EPnmCorruptFile();
    header.width = *width;
    header.height = *height;
    header.maximum = *maximum;
    return header;
}

void SetPalette(CGraphicsImage& image, const PnmHeader& header)
{
    if (header.Bitmap()) {
        image.SetPaletteColor(0, kWhite);
        image.SetPaletteColor(1, 0);
    } else if (header.Channels() == 1) {
        for (unsigned i = 0; i < 256; ++i)
            image.SetPaletteRGB(i, std::uint8_t(i), std::uint8_t(i), std::uint8_t(i));
    }
}

void ReadTextPixels(CPnmScanner& scanner, CGraphicsImage& image, const PnmHeader& header,
                    const CGraphicsCodecInfo& info)
{
    const CSampleScale scale(header.maximum);
    const auto sample = [&]() {
        if (header.Bitmap()) {
            // Bitmap digits need no separator.
            const std::int32_t c = scanner.NextSignificant();
            if (c != '0' && c != '1')
                throw EPnmFileReadError();
            return std::uint32_t(c - '0');
        }
        const std::optional<std::uint32_t> value = scanner.Number();
        if (!value)
            throw EPnmFileReadError();
        return std::uint32_t(scale(*value));
    };
    info.ReportProgress(0);
    for (std::uint32_t y = 0; y < header.height; ++y) {
        for (std::uint32_t x = 0; x < header.width; ++x) {
            std::uint32_t value = sample();
            if (header.Channels() == 3) {
                value = value << 16;
                value |= sample() << 8;
                value |= sample();
            }
            image.SetPixelFn(x, y, value);
        }
        info.ReportProgress(int(std::uint64_t{y} * 100 / header.height));
    }
}

// Wide or scaled samples into bytes; pixel maps as B, G, R.
void ConvertSamples(const std::uint8_t* in, std::uint8_t* out, const PnmHeader& header, const CSampleScale& scale)
{
    const std::uint32_t channels = header.Channels();
    const bool wide = header.SampleBytes() == 2;
    for (std::uint32_t x = 0; x < header.width; ++x) {
        for (std::uint32_t c = 0; c < channels; ++c) {
            const std::uint32_t value = wide ? std::uint32_t(in[0]) << 8 | in[1] : in[0];
            in += wide ? 2 : 1;
            out[channels == 3 ? 2 - c : 0] = scale(value);
        }
        out += channels;
    }
}

void SwapRedAndBlue(std::uint8_t* row, std::uint32_t width)
{
    for (std::uint32_t x = 0; x < width; ++x, row += 3)
        std::swap(row[0], row[2]);
}

void ReadBinaryPixels(CDataStream& stream, CGraphicsImage& image, const PnmHeader& header,
                      const CGraphicsCodecInfo& info)
{
    const CSampleScale scale(header.maximum);
    const auto rowBytes = std::uint32_t(header.BinaryRowBytes());
    const bool direct = header.Bitmap() || scale.Identity();
    std::vector<std::uint8_t> raw(direct ? 0 : rowBytes);
    for (std::uint32_t y = 0; y < header.height; ++y) {
        info.ReportProgress(int(std::uint64_t{y} * 100 / header.height));
        std::uint8_t* row = image.Row(y);
        std::uint8_t* target = direct ? row : raw.data();
        if (stream.Read(target, std::int32_t(rowBytes)) != std::int32_t(rowBytes))
            throw EPnmFileReadError();
        if (!direct)
            ConvertSamples(raw.data(), row, header, scale);
        else if (header.Channels() == 3)
            SwapRedAndBlue(row, header.width);
    }
}

}  // namespace

void CPnmReader::ThrowOpenError() const
{
    throw EPnmFileOpenError();
}

void CPnmReader::Read(CDataStream& stream, CGraphicsImage& image)
{
    CPnmScanner scanner(stream);
    const PnmHeader header = ReadHeader(stream, scanner);
    // Every text sample takes at least one character.
    const std::uint64_t needed = header.Binary() ? header.BinaryRowBytes() * header.height
                                                 : std::uint64_t{header.width} * header.height * header.Channels();
    if (header.width <= CGraphicsImage::MaxDimension && header.height <= CGraphicsImage::MaxDimension &&
        !StreamHolds(stream, needed))
        throw EPnmFileReadError();
    image.CreateOrThrow(header.Bpp(), header.width, header.height, header.magic == 4 ? 0 : CGraphicsImage::NoFill);
    SetPalette(image, header);
    if (header.Binary())
        ReadBinaryPixels(stream, image, header, Info());
    else
        ReadTextPixels(scanner, image, header, Info());
    Info().ReportProgress(100);
}
