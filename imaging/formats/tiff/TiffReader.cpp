#include "imaging/formats/tiff/TiffReader.h"

#include "imaging/GraphicsException.h"
#include "imaging/GraphicsImage.h"
#include "imaging/SwapRedBlue.h"
#include "imaging/formats/tiff/LibtiffReader.h"
#include "imaging/formats/tiff/TiffDecompress.h"
#include "support/ByteOrder.h"
#include "support/DataStream.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <optional>
#include <span>
#include <unordered_set>
#include <vector>

namespace {

namespace Tag {
constexpr std::uint16_t NewSubfileType = 254;
constexpr std::uint16_t SubfileType = 255;
constexpr std::uint16_t ImageWidth = 256;
constexpr std::uint16_t ImageLength = 257;
constexpr std::uint16_t BitsPerSample = 258;
constexpr std::uint16_t Compression = 259;
constexpr std::uint16_t Photometric = 262;
constexpr std::uint16_t FillOrder = 266;
constexpr std::uint16_t ImageDescription = 270;
constexpr std::uint16_t StripOffsets = 273;
constexpr std::uint16_t SamplesPerPixel = 277;
constexpr std::uint16_t RowsPerStrip = 278;
constexpr std::uint16_t StripByteCounts = 279;
constexpr std::uint16_t XResolution = 282;
constexpr std::uint16_t YResolution = 283;
constexpr std::uint16_t PlanarConfiguration = 284;
constexpr std::uint16_t ResolutionUnit = 296;
constexpr std::uint16_t Predictor = 317;
constexpr std::uint16_t ColorMap = 320;
constexpr std::uint16_t TileOffsets = 324;
}  // namespace Tag

constexpr std::uint16_t kTypeShort = 3;
constexpr std::uint16_t kTypeLong = 4;
constexpr std::uint16_t kTypeRational = 5;

// A chain of more directories than this is taken for a damaged file.
constexpr int kMaxDirectories = 1024;
// Decoded pixels a file may claim beyond what its size justifies.
constexpr std::uint64_t kDecodeSlack = 65536;
// RGB uses three samples and alpha a fourth; a few more extra samples are skipped, but a count
// beyond this only multiplies the buffers.
constexpr std::uint32_t kMaxSamples = 8;
// The first piece read of a strip whose byte count cannot be trusted (it runs past the file's end
// or beyond what the strip's rows can need): most such strips are short, or overlap others.
constexpr std::uint32_t kFirstStripRead = 4096;

std::uint32_t TypeSize(std::uint16_t type)
{
    static constexpr std::uint8_t sizes[] = {0, 1, 1, 2, 4, 8, 1, 1, 2, 4, 8, 4, 8};
    return type < std::size(sizes) ? sizes[type] : 0;
}

ETiffError Error(const char* message)
{
    return ETiffError(message);
}

// A layout or compression this reader does not decode (JPEG, CCITT G3/G4, tiles, separate planes,
// colour spaces other than grey, palette and RGB, samples other than 1 to 16 bits, BigTIFF): the
// file goes to libtiff instead.
class ETiffLayoutRefused : public ETiffError
{
public:
    explicit ETiffLayoutRefused(const char* message = GraphicsText::Tiff::ModeNotSupported) : ETiffError(message) {}
};

// Where the values of an entry stand: in the entry itself when they fit into its four bytes (TIFF
// 6.0), elsewhere at the offset.
struct TiffValues
{
    std::uint16_t type = 0;
    std::uint32_t count = 0;
    std::array<std::uint8_t, 4> field{};
    std::uint32_t offset = 0;
    bool present = false;
};

struct TiffFields
{
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::uint32_t compression = 1;
    std::uint32_t photometric = 1;
    std::uint32_t bits = 1;        // the sum over up to three samples
    std::uint32_t sampleBits = 1;  // the bits of one sample
    std::uint32_t samples = 1;
    std::uint32_t predictor = 1;
    bool reversedFill = false;
    std::uint32_t rowsPerStrip = UINT32_MAX;  // without the tag the whole picture is one strip
    TiffValues stripOffsets;
    TiffValues stripByteCounts;
    TiffValues colorMap;
    TiffValues description;
    bool tiled = false;
    double xResolution = -1;  // as in the file; negative: none
    double yResolution = -1;
    std::uint32_t xPixelsPerMetre = 2835;
    std::uint32_t yPixelsPerMetre = 2835;
};

// The bytes of one strip turn into rows of the file's layout.
enum class TiffKind
{
    Bilevel,
    Indexed,
    Rgb,
};

class TiffFile
{
public:
    TiffFile(CDataStream& stream, const CGraphicsCodecInfo& info) : m_stream(stream), m_info(info) {}

    void Read(CGraphicsImage& image, std::string& comment, std::uint32_t& xPpm, std::uint32_t& yPpm);

private:
    std::uint16_t Get16(const std::uint8_t* p) const
    {
        return Load16(p, m_swap);
    }
    std::uint32_t Get32(const std::uint8_t* p) const
    {
        return Load32(p, m_swap);
    }
    // True when all n bytes at the offset (from the header on) lie inside the file and arrived.
    bool ReadAt(std::uint32_t offset, void* buffer, std::uint32_t n);
    void ReadHeader(std::uint32_t& firstDirectory);
    void WalkDirectories(std::uint32_t firstDirectory);
    // The directory's entries (12 bytes each) and the offset of the next one.
    std::vector<std::uint8_t> ReadDirectory(std::uint32_t offset, std::uint32_t& next);
    bool IsReducedResolution(std::span<const std::uint8_t> entries) const;
    // m_fields from the directory's entries alone.
    void TakeEntries(std::span<const std::uint8_t> entries);
    void TakeEntry(const std::uint8_t* entry);
    // At most `limit` of the values; the whole array must still lie inside the file.
    std::vector<std::uint32_t> ReadNumbers(const TiffValues& values, std::uint32_t limit = UINT32_MAX);
    std::vector<std::uint8_t> ReadBytes(const TiffValues& values, std::uint32_t limit = UINT32_MAX);
    TiffKind CheckMode() const;
    void SetPalette(CGraphicsImage& image);
    void DecodeStrips(CGraphicsImage& image, TiffKind kind);
    // Decodes one compressed strip into `out`; how many bytes it produced.
    std::size_t DecodeStrip(std::uint32_t offset, std::uint32_t byteCount, std::span<std::uint8_t> out);
    std::size_t Decompress(std::span<const std::uint8_t> raw, std::span<std::uint8_t> out) const;
    void StoreRow(CGraphicsImage& image, TiffKind kind, std::uint32_t y, std::uint8_t* row);

    CDataStream& m_stream;
    const CGraphicsCodecInfo& m_info;
    std::int32_t m_start = 0;
    std::uint32_t m_size = 0;
    bool m_swap = false;
    TiffFields m_fields;
    std::uint64_t m_rowBytes = 0;
    std::vector<std::uint8_t> m_raw;
};

bool TiffFile::ReadAt(std::uint32_t offset, void* buffer, std::uint32_t n)
{
    if (offset > m_size || n > m_size - offset)
        return false;
    if (n == 0)
        return true;
    return m_stream.Seek(m_start + std::int32_t(offset), 0) >= 0 &&
           m_stream.Read(buffer, std::int32_t(n)) == std::int32_t(n);
}

void TiffFile::ReadHeader(std::uint32_t& firstDirectory)
{
    m_start = m_stream.Tell();
    const std::int32_t end = m_stream.Size();
    m_size = m_start >= 0 && end > m_start ? std::uint32_t(end - m_start) : 0;
    std::uint8_t header[8];
    if (!ReadAt(0, header, 8))
        throw Error(GraphicsText::Tiff::ReadFailed);
    if (header[0] == 'M' && header[1] == 'M')
        m_swap = true;
    else if (header[0] == 'I' && header[1] == 'I')
        m_swap = false;
    else
        throw Error(GraphicsText::Tiff::BadHeader);
    if (Get16(header + 2) == 43)
        throw ETiffLayoutRefused(GraphicsText::Tiff::BadHeader);  // BigTIFF
    firstDirectory = Get32(header + 4);
    if (Get16(header + 2) != 42 || firstDirectory == 0)
        throw Error(GraphicsText::Tiff::BadHeader);
}

void TiffFile::WalkDirectories(std::uint32_t firstDirectory)
{
    // The picture is the first full-resolution image; thumbnails and reduced pages before it are
    // passed over. When there is none, the first directory stands. A chain that comes back to a
    // directory it has visited would never end.
    std::unordered_set<std::uint32_t> visited;
    std::optional<TiffFields> first;
    std::uint32_t offset = firstDirectory;
    while (offset != 0 && visited.insert(offset).second && int(visited.size()) <= kMaxDirectories) {
        std::uint32_t next = 0;
        try {
            const std::vector<std::uint8_t> entries = ReadDirectory(offset, next);
            const bool reduced = IsReducedResolution(entries);
            if (!reduced || !first) {
                TakeEntries(entries);
                if (!reduced)
                    return;
                first = m_fields;
            }
        } catch (const ETiffLayoutRefused&) {
            throw;
        } catch (const ETiffError&) {
            // A damaged directory behind the first one ends the search.
            if (!first)
                throw;
            break;
        }
        offset = next;
    }
    if (first)
        m_fields = *first;
}

std::vector<std::uint8_t> TiffFile::ReadDirectory(std::uint32_t offset, std::uint32_t& next)
{
    std::uint8_t countBytes[2];
    if (!ReadAt(offset, countBytes, 2))
        throw Error(GraphicsText::Tiff::ReadFailed);
    const std::uint32_t count = Get16(countBytes);
    std::vector<std::uint8_t> entries(std::size_t(count) * 12 + 4);
    if (!ReadAt(offset + 2, entries.data(), count * 12))
        throw Error(GraphicsText::Tiff::ReadFailed);
    // A missing next-directory offset ends the chain.
    next = ReadAt(offset + 2 + count * 12, entries.data() + count * 12, 4) ? Get32(entries.data() + count * 12) : 0;
    entries.resize(std::size_t(count) * 12);
    return entries;
}

bool TiffFile::IsReducedResolution(std::span<const std::uint8_t> entries) const
{
    for (std::size_t at = 0; at + 12 <= entries.size(); at += 12) {
        const std::uint8_t* entry = entries.data() + at;
        const std::uint16_t tag = Get16(entry), type = Get16(entry + 2);
        if ((tag != Tag::NewSubfileType && tag != Tag::SubfileType) || Get32(entry + 4) != 1)
            continue;
        const std::uint32_t value = type == kTypeShort ? Get16(entry + 8) : type == kTypeLong ? Get32(entry + 8) : 0;
        // NewSubfileType bit 0, or the older SubfileType's value 2.
        return tag == Tag::NewSubfileType ? (value & 1) != 0 : value == 2;
    }
    return false;
}

void TiffFile::TakeEntries(std::span<const std::uint8_t> entries)
{
    m_fields = TiffFields{};
    for (std::size_t at = 0; at + 12 <= entries.size(); at += 12)
        TakeEntry(entries.data() + at);
}

void TiffFile::TakeEntry(const std::uint8_t* entry)
{
    TiffValues values;
    const std::uint16_t tag = Get16(entry);
    values.type = Get16(entry + 2);
    values.count = Get32(entry + 4);
    std::copy_n(entry + 8, 4, values.field.begin());
    values.offset = Get32(entry + 8);
    values.present = true;

    // The value of a single number stands in the entry.
    std::uint32_t value = 0;
    const bool single = values.count == 1;
    switch (values.type) {
    case 1:
    case 6:
        value = entry[8];
        break;
    case 3:
    case 8:
        value = Get16(entry + 8);
        break;
    case 4:
    case 9:
        value = Get32(entry + 8);
        break;
    default:
        break;
    }
    auto number = [&](bool zeroAllowed = false) {
        if (!single || (value == 0 && !zeroAllowed))
            throw Error(GraphicsText::Tiff::BadEntry);
        return value;
    };
    auto rational = [&]() -> double {
        if (values.type != kTypeRational || !single)
            return -1;
        std::uint8_t pair[8];
        if (!ReadAt(values.offset, pair, 8))
            return -1;
        const std::uint32_t denominator = Get32(pair + 4);
        return double(Get32(pair)) / double(denominator == 0 ? 1 : denominator);
    };

    TiffFields& f = m_fields;
    switch (tag) {
    case Tag::ImageWidth:
        f.width = number();
        break;
    case Tag::ImageLength:
        f.height = number();
        break;
    case Tag::BitsPerSample:
        if (values.type != kTypeShort)
            break;
        if (single) {
            f.sampleBits = f.bits = number();
        } else {
            const std::vector<std::uint32_t> bits = ReadNumbers(values, 3);
            const std::size_t used = bits.size();
            f.bits = 0;
            for (std::size_t i = 0; i < used; ++i) {
                if (bits[i] != bits[0] || bits[i] < 1 || (bits[i] > 8 && bits[i] != 16))
                    throw ETiffLayoutRefused();
                f.bits += bits[i];
            }
            f.sampleBits = used > 0 ? bits[0] : 0;
        }
        break;
    case Tag::Compression:
        f.compression = number();
        break;
    case Tag::Photometric:
        f.photometric = number(true);
        break;
    case Tag::FillOrder:
        f.reversedFill = number() != 1;
        break;
    case Tag::ImageDescription:
        f.description = values;
        break;
    case Tag::StripOffsets:
    case Tag::StripByteCounts:
        if (values.type != kTypeShort && values.type != kTypeLong)
            throw Error(GraphicsText::Tiff::BadEntry);
        (tag == Tag::StripOffsets ? f.stripOffsets : f.stripByteCounts) = values;
        break;
    case Tag::SamplesPerPixel:
        f.samples = number();
        break;
    case Tag::RowsPerStrip:
        f.rowsPerStrip = number();
        break;
    case Tag::XResolution:
        f.xResolution = rational();
        break;
    case Tag::YResolution:
        f.yResolution = rational();
        break;
    case Tag::PlanarConfiguration:
        if (!single || value != 1)
            throw ETiffLayoutRefused();
        break;
    case Tag::ResolutionUnit: {
        const std::uint32_t unit = number();
        if (unit == 2 || unit == 3) {
            const double perMetre = unit == 2 ? 39.37 : 100.0;
            auto toPpm = [perMetre](double resolution) {
                return std::uint32_t(std::clamp(std::lround(resolution * perMetre), 0L, 0x7FFFFFFFL));
            };
            if (f.xResolution >= 0)
                f.xPixelsPerMetre = toPpm(f.xResolution);
            if (f.yResolution >= 0)
                f.yPixelsPerMetre = toPpm(f.yResolution);
        }
        break;
    }
    case Tag::Predictor:
        f.predictor = number();
        break;
    case Tag::ColorMap:
        f.colorMap = values;
        break;
    case Tag::TileOffsets:
        f.tiled = true;
        break;
    default:
        break;
    }
}

std::vector<std::uint8_t> TiffFile::ReadBytes(const TiffValues& values, std::uint32_t limit)
{
    const std::uint64_t whole = std::uint64_t(values.count) * TypeSize(values.type);
    if (whole > m_size)
        throw Error(GraphicsText::Tiff::BadEntry);
    const std::uint64_t size = std::min<std::uint64_t>(values.count, limit) * TypeSize(values.type);
    std::vector<std::uint8_t> bytes(std::size_t(size) + 4);
    if (whole <= 4)
        std::copy_n(values.field.begin(), 4, bytes.begin());
    else if (!ReadAt(values.offset, bytes.data(), std::uint32_t(size)))
        throw Error(GraphicsText::Tiff::ReadFailed);
    bytes.resize(std::size_t(size));
    return bytes;
}

std::vector<std::uint32_t> TiffFile::ReadNumbers(const TiffValues& values, std::uint32_t limit)
{
    const std::vector<std::uint8_t> bytes = ReadBytes(values, limit);
    const std::uint32_t size = TypeSize(values.type);
    const std::uint32_t count = std::min(values.count, limit);
    std::vector<std::uint32_t> numbers(count);
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::uint8_t* p = bytes.data() + std::size_t(i) * size;
        numbers[i] = size == 2 ? Get16(p) : size == 4 ? Get32(p) : p[0];
    }
    return numbers;
}

TiffKind TiffFile::CheckMode() const
{
    const TiffFields& f = m_fields;
    auto compressionIsOneOf = [&f](std::initializer_list<std::uint32_t> known) {
        return std::find(known.begin(), known.end(), f.compression) != known.end();
    };
    const bool packed = f.samples == 1 && f.bits == f.sampleBits &&
                        (f.bits == 1 || f.bits == 2 || f.bits == 4 || f.bits == 8 || (f.bits == 16 && f.photometric <= 1));
    if (f.samples > kMaxSamples)
        throw Error(GraphicsText::Tiff::ModeNotSupported);
    TiffKind kind;
    bool known = false;
    if ((f.photometric == 0 || f.photometric == 1) && f.bits == 1 && f.samples == 1) {
        kind = TiffKind::Bilevel;
        known = compressionIsOneOf({1, 2, 5, 8, 32773, 32946});
    } else if ((f.photometric <= 1 || f.photometric == 3) && packed) {
        kind = TiffKind::Indexed;
        known = compressionIsOneOf({1, 5, 8, 32773, 32946});
    } else if (f.photometric == 2) {
        kind = TiffKind::Rgb;
        known = compressionIsOneOf({1, 5, 8, 32773, 32946}) && (f.sampleBits == 8 || f.sampleBits == 16) &&
                f.bits == 3 * f.sampleBits && f.samples >= 3 && (f.predictor == 1 || f.samples <= 4);
    } else {
        throw ETiffLayoutRefused();
    }
    // Horizontal differencing works on whole samples.
    const bool predictorKnown = f.predictor == 1 || (f.predictor == 2 && f.sampleBits % 8 == 0);
    if (!known || !predictorKnown)
        throw ETiffLayoutRefused();
    return kind;
}

void TiffFile::SetPalette(CGraphicsImage& image)
{
    const TiffFields& f = m_fields;
    if (f.colorMap.present && f.photometric == 3) {
        const std::uint32_t n = f.colorMap.count / 3;
        if (n > 256 || f.bits > 8)
            throw Error(GraphicsText::Tiff::ModeNotSupported);
        const std::vector<std::uint32_t> map = ReadNumbers(f.colorMap);
        // Some writers put 8-bit values into the 16-bit map; a map without any value above 255
        // can only be one of those.
        const bool eightBit = std::all_of(map.begin(), map.end(), [](std::uint32_t v) { return v <= 255; });
        const int shift = eightBit ? 0 : 8;
        for (std::uint32_t i = 0; i < n && i < unsigned(image.PaletteCount()); ++i)
            image.SetPaletteRGB(i, std::uint8_t(map[i] >> shift), std::uint8_t(map[n + i] >> shift),
                                std::uint8_t(map[2 * n + i] >> shift));
    } else if (f.photometric <= 1 && f.samples == 1) {
        // Grey levels spread over the whole range, so the brightest level is white.
        const unsigned levels = 1u << std::min<std::uint32_t>(f.bits, 8);
        const std::uint8_t invert = f.photometric == 0 ? 0xFF : 0x00;
        for (unsigned i = 0; i < levels; ++i) {
            const auto grey = std::uint8_t((i * 255 / (levels - 1)) ^ invert);
            image.SetPaletteRGB(i, grey, grey, grey);
        }
    }
}

void ReverseBits(std::span<std::uint8_t> bytes)
{
    static const auto table = [] {
        std::array<std::uint8_t, 256> t{};
        for (unsigned i = 0; i < 256; ++i) {
            unsigned r = 0;
            for (unsigned b = 0; b < 8; ++b)
                r |= ((i >> b) & 1u) << (7 - b);
            t[i] = std::uint8_t(r);
        }
        return t;
    }();
    for (std::uint8_t& byte : bytes)
        byte = table[byte];
}

void TiffFile::StoreRow(CGraphicsImage& image, TiffKind kind, std::uint32_t y, std::uint8_t* row)
{
    const TiffFields& f = m_fields;
    std::size_t bytes = std::size_t(m_rowBytes);
    if (f.sampleBits == 16) {
        // Differences and samples in the file's byte order. The picture keeps 8 bits as libtiff's
        // RGBA interface makes them: grey by its high byte, colour rounded.
        const std::size_t samples = bytes / 2, step = f.samples;
        auto at = [this, row](std::size_t i) { return Get16(row + 2 * i); };
        if (f.predictor == 2) {
            for (std::size_t i = step; i < samples; ++i) {
                const auto sum = std::uint16_t(at(i) + at(i - step));
                row[2 * i + (m_swap ? 0 : 1)] = std::uint8_t(sum >> 8);
                row[2 * i + (m_swap ? 1 : 0)] = std::uint8_t(sum);
            }
        }
        if (kind == TiffKind::Rgb) {
            for (std::size_t i = 0; i < samples; ++i)
                row[i] = std::uint8_t((std::uint32_t(at(i)) * 255 + 32767) / 65535);
        } else {
            for (std::size_t i = 0; i < samples; ++i)
                row[i] = std::uint8_t(at(i) >> 8);
        }
        bytes = samples;
    } else if (f.predictor == 2) {
        const std::size_t step = f.samples;
        for (std::size_t i = step; i < bytes; ++i)
            row[i] = std::uint8_t(row[i] + row[i - step]);
    }
    std::uint8_t* target = image.Row(y);
    if (kind != TiffKind::Rgb) {
        std::memcpy(target, row, bytes);
        return;
    }
    const std::uint32_t width = f.width;
    const std::size_t samples = f.samples;
    if (image.Bpp() == 32) {
        for (std::uint32_t x = 0; x < width; ++x, row += samples, target += 4) {
            target[0] = row[2];
            target[1] = row[1];
            target[2] = row[0];
            target[3] = row[3];
        }
    } else if (samples == 3) {
        CopySwappingRedBlue(row, target, width);
    } else {
        for (std::uint32_t x = 0; x < width; ++x, row += samples, target += 3) {
            target[0] = row[2];
            target[1] = row[1];
            target[2] = row[0];
        }
    }
}

void TiffFile::DecodeStrips(CGraphicsImage& image, TiffKind kind)
{
    const TiffFields& f = m_fields;
    const std::vector<std::uint32_t> offsets = ReadNumbers(f.stripOffsets);
    const std::vector<std::uint32_t> counts = ReadNumbers(f.stripByteCounts);
    if (offsets.size() != counts.size())
        throw Error(GraphicsText::Tiff::BadEntry);

    const std::uint32_t stripRows = std::min(f.rowsPerStrip, f.height);
    const std::size_t rowBytes = std::size_t(m_rowBytes);
    const std::size_t strips = std::min<std::size_t>(offsets.size(), (f.height - 1) / stripRows + 1);
    std::vector<std::uint8_t> pixels(f.compression == 1 ? rowBytes : std::size_t(stripRows) * rowBytes);
    std::uint32_t y = 0;
    for (std::size_t s = 0; s < strips; ++s) {
        const std::uint32_t offset = offsets[s];
        if (offset == 0 || offset > m_size)
            throw Error(GraphicsText::Tiff::BadEntry);
        const std::uint32_t rows = std::min(stripRows, f.height - y);
        if (f.compression == 1) {
            // Row by row: no strip-sized buffer for uncompressed pictures.
            if (m_stream.Seek(m_start + std::int32_t(offset), 0) < 0)
                throw Error(GraphicsText::Tiff::ReadFailed);
            // A strip that runs past the end of the file keeps what the file holds.
            std::size_t left = std::min(counts[s], m_size - offset);
            for (std::uint32_t r = 0; r < rows; ++r, ++y) {
                m_info.ReportProgress(int(std::uint64_t(y) * 100 / f.height));
                const std::size_t take = std::min(left, rowBytes);
                const std::int32_t got = take > 0 ? m_stream.Read(pixels.data(), std::int32_t(take)) : 0;
                const std::size_t have = got > 0 ? std::size_t(got) : 0;
                std::fill(pixels.begin() + std::ptrdiff_t(have), pixels.end(), std::uint8_t{0});
                left -= std::min(left, have);
                if (f.reversedFill)
                    ReverseBits(pixels);
                StoreRow(image, kind, y, pixels.data());
            }
            continue;
        }
        const std::span<std::uint8_t> out(pixels.data(), std::size_t(rows) * rowBytes);
        const std::size_t produced = DecodeStrip(offset, counts[s], out);
        std::fill(out.begin() + std::ptrdiff_t(produced), out.end(), std::uint8_t{0});
        for (std::uint32_t r = 0; r < rows; ++r, ++y) {
            m_info.ReportProgress(int(std::uint64_t(y) * 100 / f.height));
            StoreRow(image, kind, y, out.data() + std::size_t(r) * rowBytes);
        }
    }
}

std::size_t TiffFile::DecodeStrip(std::uint32_t offset, std::uint32_t byteCount, std::span<std::uint8_t> out)
{
    // Never more than the strip's byte count, the file's end and what its rows can need, so that
    // overlapping strips cost no more than the picture is worth.
    const std::uint32_t limit = std::uint32_t(std::min<std::uint64_t>(
        {byteCount, m_size - offset, TiffMaxInput(m_fields.compression, out.size())}));
    // A count that had to be cut is read a piece at a time, doubling while the pixels still grow.
    std::uint32_t size = byteCount == limit
        ? limit
        : std::uint32_t(std::min<std::uint64_t>(limit, std::max<std::uint64_t>(kFirstStripRead, out.size() / 4)));
    m_raw.clear();
    std::size_t produced = 0;
    for (;;) {
        const std::size_t had = m_raw.size();
        m_raw.resize(size);
        if (!ReadAt(offset + std::uint32_t(had), m_raw.data() + had, std::uint32_t(size - had)))
            throw Error(GraphicsText::Tiff::ReadFailed);
        if (m_fields.reversedFill)
            ReverseBits(std::span(m_raw).subspan(had));
        const std::size_t before = produced;
        produced = Decompress(m_raw, out);
        if (produced == out.size() || size == limit || (had > 0 && produced <= before))
            return produced;
        size = std::uint32_t(std::min<std::uint64_t>(limit, std::uint64_t{size} * 2));
    }
}

std::size_t TiffFile::Decompress(std::span<const std::uint8_t> raw, std::span<std::uint8_t> out) const
{
    switch (m_fields.compression) {
    case 2:
        return DecodeModifiedHuffman(raw, out, m_fields.width);
    case 5:
        return DecodeTiffLzw(raw, out);
    case 8:
    case 32946:
        return DecodeTiffDeflate(raw, out);
    default:
        return DecodePackBits(raw, out);
    }
}

void TiffFile::Read(CGraphicsImage& image, std::string& comment, std::uint32_t& xPpm, std::uint32_t& yPpm)
{
    std::uint32_t firstDirectory = 0;
    ReadHeader(firstDirectory);
    WalkDirectories(firstDirectory);
    TiffFields& f = m_fields;
    if (f.tiled)
        throw ETiffLayoutRefused();
    if (f.width == 0 || f.height == 0 || f.bits == 0 || f.rowsPerStrip == 0)
        throw Error(GraphicsText::Tiff::BadEntry);
    if (!f.stripOffsets.present || !f.stripByteCounts.present || f.stripOffsets.count != f.stripByteCounts.count)
        throw Error(GraphicsText::Tiff::BadEntry);
    const TiffKind kind = CheckMode();

    // No more pixels than the file's bytes can hold under its compression.
    m_rowBytes = (std::uint64_t(f.width) * f.sampleBits * f.samples + 7) / 8;
    const std::uint64_t claimed = m_rowBytes * f.height;
    if (claimed > std::uint64_t(m_size) * TiffMaxExpansion(f.compression) + kDecodeSlack)
        throw Error(GraphicsText::Tiff::ReadFailed);

    int bpp = int(std::min<std::uint32_t>(f.bits, 8));
    if (kind == TiffKind::Rgb)
        bpp = f.samples > 3 ? 32 : 24;
    if (!image.Create(bpp, f.width, f.height, CGraphicsImage::NoFill))
        throw Error(GraphicsText::Tiff::BadMode);
    SetPalette(image);
    if (f.description.present && f.description.count > 0) {
        const std::vector<std::uint8_t> text = ReadBytes(f.description);
        comment.assign(text.begin(), std::find(text.begin(), text.end(), std::uint8_t{0}));
    }
    xPpm = f.xPixelsPerMetre;
    yPpm = f.yPixelsPerMetre;
    m_info.ReportProgress(0);
    DecodeStrips(image, kind);
    m_info.ReportProgress(100);
}

}  // namespace

void CTiffReader::Read(CDataStream& stream, CGraphicsImage& image)
{
    const std::int32_t start = stream.Tell();
    std::string comment;
    try {
        TiffFile file(stream, Info());
        file.Read(image, comment, m_xPixelsPerMetre, m_yPixelsPerMetre);
    } catch (const ETiffLayoutRefused& refusal) {
        if (stream.Seek(start, 0) < 0)
            throw ETiffError(GraphicsText::Tiff::ReadFailed);
        // A file that libtiff cannot open either keeps our reader's message.
        const LibtiffPicture picture = ReadTiffWithLibtiff(stream, image, Info(), refusal.Message());
        comment = picture.comment;
        m_xPixelsPerMetre = picture.xPixelsPerMetre;
        m_yPixelsPerMetre = picture.yPixelsPerMetre;
    }
    if (!comment.empty())
        Info().SetComment(comment);
}

void CTiffReader::ThrowOpenError() const
{
    throw ETiffError(GraphicsText::Tiff::OpenFailed);
}
