// Content detection. The tests run in a fixed order and a later match overrides an earlier one,
// so, for instance, a "BM" file that mentions "char" in its first bytes is taken for XPM.

#include "imaging/DetectGraphicsType.h"

#include "imaging/ContainerSignatures.h"

#include <algorithm>
#include <array>

namespace {

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

}  // namespace

GraphicsFileType DetectGraphicsType(std::span<const std::uint8_t> header)
{
    // A container's signature is final: its binary fields are no text.
    if (const GraphicsFileType container = ContainerFileType(header); container != GraphicsFileType::None)
        return container;
    Header h{};
    std::copy_n(header.begin(), std::min(header.size(), h.size()), h.begin());

    auto type = GraphicsFileType::None;
    if (IsBitmapInfoHeader(h))
        type = GraphicsFileType::Bmp;
    else if (IsIconDirectory(h))
        type = GraphicsFileType::Ico;

    // The text tests see zero bytes as blanks, so words can be found across binary fields.
    std::replace(h.begin(), h.end(), std::uint8_t{0}, std::uint8_t{' '});

    if (StartsWith(h, "II") || StartsWith(h, "MM"))
        type = GraphicsFileType::Tiff;
    if (StartsWith(h, "GIF87a") || StartsWith(h, "GIF89a"))
        type = GraphicsFileType::Gif;
    if (StartsWith(h, "\x89PNG"))
        type = GraphicsFileType::Png;
    if (StartsWith(h, "BM"))
        type = GraphicsFileType::Bmp;
    if (StartsWith(h, "TLSP"))
        type = GraphicsFileType::Tls;
    if (Contains(h, "JFIF"))
        type = GraphicsFileType::Jpeg;
    if (Contains(h, "XPM") || Contains(h, "char"))
        type = GraphicsFileType::Xpm;

    if (h[0] == 0xFF && (h[1] == 0xD8 || h[1] == 0xDB))
        type = GraphicsFileType::Jpeg;
    else if ((h[0] == '%' && h[1] == '!') || (h[0] == 0xC5 && h[1] == 0xD0 && h[2] == 0xD3 && h[3] == 0xC6))
        type = GraphicsFileType::Eps;  // PostScript text, or a DOS EPS binary with its sections
    else if (h[0] == 'P' && h[1] >= '1' && h[1] <= '6')
        type = GraphicsFileType::Pnm;

    // An X window dump: a big-endian header size, then file version 7 (or 6).
    if (h[4] == ' ' && h[5] == ' ' && h[6] == ' ' && (h[7] == 7 || h[7] == 6))
        type = GraphicsFileType::Xwd;
    return type;
}
