// Content detection. A file that starts with a format's signature is that format. Only without one
// do the weaker tests run, in a fixed order where a later match overrides an earlier one: so a text
// file that mentions "char" is XPM, while a PNG whose text chunk says "charade" stays a PNG.

#include "imaging/DetectGraphicsType.h"

#include "imaging/ContainerSignatures.h"

#include <algorithm>
#include <array>
#include <optional>

namespace {

using namespace std::string_view_literals;

using Header = std::array<std::uint8_t, kDetectHeaderSize>;

std::uint32_t LittleEndian32(const Header& h)
{
    return std::uint32_t{h[0]} | std::uint32_t{h[1]} << 8 | std::uint32_t{h[2]} << 16 |
           std::uint32_t{h[3]} << 24;
}

bool StartsWith(const Header& h, std::string_view prefix)
{
    return std::equal(prefix.begin(), prefix.end(), h.begin(),
                      [](char a, std::uint8_t b) { return static_cast<std::uint8_t>(a) == b; });
}

bool Contains(const Header& h, std::string_view word)
{
    const auto match = std::search(h.begin(), h.end(), word.begin(), word.end(),
                                   [](std::uint8_t a, char b) { return a == static_cast<std::uint8_t>(b); });
    return match != h.end();
}

// A bare 40-byte bitmap-info header whose width and height are below 65536.
bool IsBitmapInfoHeader(const Header& h)
{
    return LittleEndian32(h) == 40 && h[6] == 0 && h[7] == 0 && h[10] == 0 && h[11] == 0;
}

// An icon or cursor directory with 1 to 32 entries.
bool IsIconDirectory(const Header& h)
{
    return h[0] == 0 && h[1] == 0 && (h[2] == 1 || h[2] == 2) && h[3] == 0 && h[5] == 0 &&
           h[4] >= 1 && h[4] <= 32;
}

struct Signature {
    std::string_view bytes;
    GraphicsFileType type;
};

// Words the text tests look for turn up by chance in palettes, pixels and text chunks of binary
// files; a signature at the very start does not.
constexpr Signature kSignatures[] = {
    {"\x89PNG"sv, GraphicsFileType::Png},
    {"GIF87a"sv, GraphicsFileType::Gif},
    {"GIF89a"sv, GraphicsFileType::Gif},
    {"BM"sv, GraphicsFileType::Bmp},
    {"\xFF\xD8\xFF"sv, GraphicsFileType::Jpeg},
    {"II*\0"sv, GraphicsFileType::Tiff},
    {"MM\0*"sv, GraphicsFileType::Tiff},
    {"TLSP"sv, GraphicsFileType::Tls},
    {"%!"sv, GraphicsFileType::Eps},               // PostScript text
    {"\xC5\xD0\xD3\xC6"sv, GraphicsFileType::Eps},  // a DOS EPS binary with its sections
};

std::optional<GraphicsFileType> SignatureType(const Header& h)
{
    for (const Signature& signature : kSignatures)
        if (StartsWith(h, signature.bytes))
            return signature.type;
    return std::nullopt;
}

}  // namespace

GraphicsFileType DetectGraphicsType(std::span<const std::uint8_t> header)
{
    // A container's signature is final: its binary fields are no text.
    if (const GraphicsFileType container = ContainerFileType(header); container != GraphicsFileType::None)
        return container;
    Header h{};
    std::copy_n(header.begin(), std::min(header.size(), h.size()), h.begin());

    if (const auto signature = SignatureType(h))
        return *signature;

    auto type = GraphicsFileType::None;
    if (IsBitmapInfoHeader(h))
        type = GraphicsFileType::Bmp;
    else if (IsIconDirectory(h))
        type = GraphicsFileType::Ico;

    // The text tests see zero bytes as blanks, so words can be found across binary fields.
    std::replace(h.begin(), h.end(), std::uint8_t{0}, std::uint8_t{' '});

    if (StartsWith(h, "II") || StartsWith(h, "MM"))
        type = GraphicsFileType::Tiff;
    if (Contains(h, "JFIF"))
        type = GraphicsFileType::Jpeg;
    if (Contains(h, "XPM") || Contains(h, "char"))
        type = GraphicsFileType::Xpm;

    if (h[0] == 0xFF && (h[1] == 0xD8 || h[1] == 0xDB))
        type = GraphicsFileType::Jpeg;
    else if (h[0] == 'P' && h[1] >= '1' && h[1] <= '6')
        type = GraphicsFileType::Pnm;

    // An X window dump: a big-endian header size, then file version 7 (or 6).
    if (h[4] == ' ' && h[5] == ' ' && h[6] == ' ' && (h[7] == 7 || h[7] == 6))
        type = GraphicsFileType::Xwd;
    return type;
}
