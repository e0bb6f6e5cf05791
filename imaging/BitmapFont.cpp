#include "imaging/BitmapFont.h"

#include "support/ByteOrder.h"

#include <algorithm>

namespace {

constexpr std::uint32_t longHeaderMagic = 0x4E460000;
constexpr std::uint32_t longHeaderSize = 16;
constexpr std::uint32_t shortHeaderSize = 2;
constexpr std::uint32_t metricsMagic = 0x55AA00FF;
constexpr std::uint32_t metricsMinLength = 9;
constexpr std::uint32_t metricsMaxLength = 4096;
constexpr std::uint32_t metricsRecordsStart = 8;

// Fields at `at` of a font whose size the caller has checked.
std::uint32_t LE16(std::span<const std::uint8_t> d, std::size_t at)
{
    return LoadLE16(d.subspan(at, 2).data());
}

std::uint32_t BE16(std::span<const std::uint8_t> d, std::size_t at)
{
    return LoadBE16(d.subspan(at, 2).data());
}

std::uint32_t LE32(std::span<const std::uint8_t> d, std::size_t at)
{
    return LoadLE32(d.subspan(at, 4).data());
}

// Reads the metric records. A record that would run past the block's length, or past the font,
// ends the block.
void ReadMetrics(std::span<const std::uint8_t> font, std::size_t at, BitmapFontInfo& info)
{
    if (font.size() < at || font.size() - at < metricsRecordsStart || LE32(font, at) != metricsMagic)
        return;
    const std::uint32_t length = LE32(font, at + 4);
    if (length < metricsMinLength || length > metricsMaxLength)
        return;
    info.hasMetrics = true;
    const std::size_t end = std::min(font.size(), at + length);
    std::size_t record = at + metricsRecordsStart;
    while (record < end && end - record >= 4) {
        const std::uint32_t id = BE16(font, record);
        const std::uint32_t valueLength = BE16(font, record + 2);
        const std::size_t value = record + 4;
        if (end - value < valueLength)
            break;
        if (id <= 2 && valueLength >= 1)
            info.metrics[id] = static_cast<std::int8_t>(font[value]);
        record = value + valueLength;
    }
}

}  // namespace

std::optional<BitmapFontInfo> ParseBitmapFont(std::span<const std::uint8_t> font)
{
    BitmapFontInfo info;
    if (font.size() >= longHeaderSize && LE32(font, 0) == longHeaderMagic) {
        info.headerSize = longHeaderSize;
        info.firstCode = LE16(font, 8);
        info.lastCode = LE16(font, 10);
    } else if (font.size() >= shortHeaderSize) {
        info.headerSize = shortHeaderSize;
        info.firstCode = font[0];
        info.lastCode = font[1];
    } else {
        return std::nullopt;
    }
    if (info.firstCode > info.lastCode)
        return std::nullopt;
    const std::size_t tableBytes = std::size_t(info.lastCode - info.firstCode + 1) * 4;
    if (font.size() - info.headerSize < tableBytes)
        return std::nullopt;
    ReadMetrics(font, info.headerSize + tableBytes, info);
    return info;
}

std::optional<BitmapGlyph> GlyphAtIndex(std::span<const std::uint8_t> font, const BitmapFontInfo& info,
                                        std::uint32_t index)
{
    if (index > info.lastCode - info.firstCode)
        return std::nullopt;
    const std::uint32_t offset = LE32(font, info.headerSize + std::size_t(index) * 4);
    if (offset >= font.size() || font.size() - offset < 2)
        return std::nullopt;
    BitmapGlyph glyph;
    glyph.width = font[offset];
    glyph.height = font[offset + 1];
    const std::size_t bytes = std::size_t(glyph.BytesPerRow()) * glyph.height;
    if (font.size() - offset - 2 < bytes)
        return std::nullopt;
    glyph.rows = font.subspan(offset + 2, bytes);
    return glyph;
}

std::optional<BitmapGlyph> FindGlyph(std::span<const std::uint8_t> font, const BitmapFontInfo& info,
                                     std::uint32_t code)
{
    if (code < info.firstCode || code > info.lastCode)
        return std::nullopt;
    return GlyphAtIndex(font, info, code - info.firstCode);
}
