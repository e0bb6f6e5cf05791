// Text in the library's bitmap-font format: font selection, measuring, drawing and the plotters
// that put the glyph pixels onto the image.

#include "imaging/BitmapFont.h"
#include "imaging/GraphicsImage.h"
#include "imaging/PixelFormats.h"

#include <algorithm>
#include <climits>
#include <vector>

namespace {

BitmapFontInfo FontInfoOf(std::uint32_t headerSize, std::uint32_t first, std::uint32_t last)
{
    BitmapFontInfo info;
    info.headerSize = headerSize;
    info.firstCode = first;
    info.lastCode = last;
    return info;
}

// The glyph that stands for the line height: the space when the font starts at or below it.
std::uint32_t ReferenceGlyphHeight(std::span<const std::uint8_t> font, const BitmapFontInfo& info)
{
    const std::uint32_t count = info.lastCode - info.firstCode;
    std::uint32_t index = (info.firstCode <= 32 && count <= 32) ? 32 - info.firstCode : info.firstCode;
    if (index > count)
        index = 0;
    const std::optional<BitmapGlyph> glyph = GlyphAtIndex(font, info, index);
    return glyph ? glyph->height : 0;
}

int ClampToInt(std::int64_t value)
{
    return int(std::clamp<std::int64_t>(value, INT_MIN, INT_MAX));
}

constexpr std::uint32_t brushWeights[3][3] = {{1, 2, 1}, {2, 20, 2}, {1, 2, 1}};

inline std::uint32_t BlendChannel(std::uint32_t old, std::uint32_t colour, int shift, std::uint32_t w)
{
    return ((((old >> shift) & 0xFF) * (32 - w) + ((colour >> shift) & 0xFF) * w) >> 5) << shift;
}

}  // namespace

bool CGraphicsImage::SetFont(std::span<const std::uint8_t> font)
{
    m_text.font = {};
    m_text.headerSize = m_text.firstCode = m_text.lastCode = 0;
    m_text.metrics[0] = 0;
    m_text.metrics[1] = 1;
    m_text.metrics[2] = 0;
    if (font.empty())
        return false;
    const std::optional<BitmapFontInfo> info = ParseBitmapFont(font);
    if (!info)
        return false;
    m_text.font = font;
    m_text.headerSize = info->headerSize;
    m_text.firstCode = info->firstCode;
    m_text.lastCode = info->lastCode;
    std::copy(std::begin(info->metrics), std::end(info->metrics), m_text.metrics);
    UpdateTextSpacing();

    const int baselineDrop = m_text.metrics[2];
    switch (m_text.alignV) {
    case AlignTop:
        m_text.offsetY = 0;
        break;
    case AlignMiddle:
        m_text.offsetY = int(ReferenceGlyphHeight(font, *info)) >> 1;
        break;
    case AlignBottom:
        m_text.offsetY = int(ReferenceGlyphHeight(font, *info));
        break;
    case AlignBaseline:
        m_text.offsetY = baselineDrop != 0 ? -baselineDrop : int(ReferenceGlyphHeight(font, *info));
        break;
    default:
        m_text.offsetY = 0;
        break;
    }
    return true;
}

void CGraphicsImage::SetTextSpacing(std::int32_t requested)
{
    m_text.requestedSpacing = requested;
    UpdateTextSpacing();
}

void CGraphicsImage::UpdateTextSpacing()
{
    const std::int64_t spacing = m_text.requestedSpacing == NoSpacing
                                     ? std::int64_t(m_text.metrics[0])
                                     : std::int64_t(m_text.metrics[0]) - m_text.metrics[1] + m_text.requestedSpacing;
    m_text.spacing = ClampToInt(spacing);
}

void CGraphicsImage::SetTextPlot(TextPlotFunction plot, std::uint32_t colour, int which)
{
    if (plot == &SoftBrush) {
        if (m_bpp >= 1 && m_bpp <= 8)
            plot = &PlotIndex;
        else if (m_bpp == 32)
            plot = &SoftBrush32;
    }
    if (which == 0) {
        m_text.plotForeground = plot;
        m_text.foreground = colour;
    } else if (which == 1) {
        m_text.plotBackground = plot;
        m_text.background = colour;
    }
}

int CGraphicsImage::DrawText(int x, int y, std::string_view text)
{
    if (m_text.font.empty())
        return 0;
    const std::span<const std::uint8_t> font = m_text.font;
    const BitmapFontInfo info = FontInfoOf(m_text.headerSize, m_text.firstCode, m_text.lastCode);

    // Characters outside the font neither draw nor advance.
    std::vector<BitmapGlyph> glyphs;
    glyphs.reserve(text.size());
    std::int64_t width = 0;
    for (const char ch : text) {
        if (const std::optional<BitmapGlyph> glyph = FindGlyph(font, info, std::uint8_t(ch))) {
            width += glyph->width + (glyphs.empty() ? 0 : std::int64_t(m_text.spacing));
            glyphs.push_back(*glyph);
        }
    }
    const int textWidth = ClampToInt(width);
    if (y == MeasureOnly)
        return textWidth;

    std::int64_t left = x;
    if (m_text.alignH == AlignCenter)
        left -= width / 2;
    else if (m_text.alignH != AlignLeft)
        left -= width;
    const std::int64_t top = std::int64_t(y) - m_text.offsetY;
    const std::int64_t spacing = m_text.spacing;
    const TextPlotFunction ink = m_text.plotForeground;
    const TextPlotFunction paper = m_text.plotBackground;

    // Plotters reach one pixel around their point; anything farther out cannot touch the image.
    auto visible = [&](std::int64_t gx, std::int64_t gw, std::int64_t gh) {
        return gx + gw + 1 >= 0 && gx - 1 < std::int64_t(m_width) && top + gh + 1 >= 0 &&
               top - 1 < std::int64_t(m_height);
    };
    auto paintBackground = [&](std::int64_t gx, std::int64_t columns, std::uint32_t height) {
        if (!visible(gx, columns, height))
            return;
        for (std::int64_t r = std::int64_t(height) - 1; r >= 0; --r)
            for (std::int64_t c = 0; c < columns; ++c)
                paper(*this, int(gx + c), int(top + r), m_text.background);
    };

    std::int64_t advance = 0;
    for (std::size_t k = 0; k < glyphs.size(); ++k) {
        const BitmapGlyph& glyph = glyphs[k];
        const std::int64_t gx = left + advance;
        if (k > 0 && paper != nullptr && spacing < 0)
            paintBackground(gx, -spacing, glyphs[k - 1].height);
        if (visible(gx, glyph.width, glyph.height)) {
            // The bottom stored row is drawn first.
            for (std::int64_t r = std::int64_t(glyph.height) - 1; r >= 0; --r) {
                const int py = int(top + r);
                for (std::uint32_t c = 0; c < glyph.width; ++c) {
                    if (glyph.IsInk(c, std::uint32_t(r))) {
                        if (ink != nullptr)
                            ink(*this, int(gx + c), py, m_text.foreground);
                    } else if (paper != nullptr) {
                        paper(*this, int(gx + c), py, m_text.background);
                    }
                }
            }
        }
        if (k + 1 < glyphs.size() && paper != nullptr && spacing > 0)
            paintBackground(gx + glyph.width, spacing, glyph.height);
        advance += glyph.width + spacing;
    }
    return textWidth;
}

void CGraphicsImage::SoftBrush(CGraphicsImage& image, int x, int y, std::uint32_t colour)
{
    for (int dy = -1; dy <= 1; ++dy) {
        for (int dx = -1; dx <= 1; ++dx) {
            const auto px = std::uint32_t(std::int64_t(x) + dx);
            const auto py = std::uint32_t(std::int64_t(y) + dy);
            if (px >= image.Width() || py >= image.Height() || std::int64_t(x) + dx < 0 || std::int64_t(y) + dy < 0)
                continue;
            const std::uint32_t w = brushWeights[dy + 1][dx + 1];
            std::uint32_t old = image.GetPixelFn(px, py);
            if (!image.IsTrueColor())
                old = image.PaletteColor(old);
            const std::uint32_t blended = (old & 0xFF000000u) | BlendChannel(old, colour, 16, w) |
                                          BlendChannel(old, colour, 8, w) | BlendChannel(old, colour, 0, w);
            image.SetPixelFn(px, py, blended);
        }
    }
}

void CGraphicsImage::SoftBrush32(CGraphicsImage& image, int x, int y, std::uint32_t colour)
{
    if (image.Bpp() != 32) {
        SoftBrush(image, x, y, colour);
        return;
    }
    for (int dy = -1; dy <= 1; ++dy) {
        const std::int64_t py = std::int64_t(y) + dy;
        if (py < 0 || py >= std::int64_t(image.Height()))
            continue;
        std::uint8_t* row = image.Row(std::uint32_t(py));
        for (int dx = -1; dx <= 1; ++dx) {
            const std::int64_t px = std::int64_t(x) + dx;
            if (px < 0 || px >= std::int64_t(image.Width()))
                continue;
            const std::uint32_t w = brushWeights[dy + 1][dx + 1];
            std::uint8_t* p = row + 4 * std::size_t(px);
            const std::uint32_t old = LoadLE32(p);
            StoreLE32(p, BlendChannel(old, colour, 24, w) | BlendChannel(old, colour, 16, w) |
                             BlendChannel(old, colour, 8, w) | BlendChannel(old, colour, 0, w));
        }
    }
}

void CGraphicsImage::PlotIndex(CGraphicsImage& image, int x, int y, std::uint32_t colour)
{
    if (x >= 0 && y >= 0)
        image.SetPixel(std::uint32_t(x), std::uint32_t(y), colour);
}
