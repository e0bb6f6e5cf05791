// Blending a 32-bit image with alpha onto another image.

#include "imaging/DrawPlacement.h"
#include "imaging/GraphicsImage.h"
#include "imaging/PixelFormats.h"

#include <cstring>

namespace {

// One blended pixel. A target without alpha (every format below 32 bits reads so) takes the
// source as it is; an opaque target stays opaque.
inline std::uint32_t Blend(std::uint32_t s, std::uint32_t t)
{
    if (t <= 0x00FFFFFF)
        return s;
    const std::uint32_t a = s >> 24;
    const std::uint32_t w = a + 1;
    const std::uint32_t iw = 256 - a;
    const std::uint32_t b = ((s & 0xFF) * w + (t & 0xFF) * iw) >> 8;
    const std::uint32_t g = (((s >> 8) & 0xFF) * w + ((t >> 8) & 0xFF) * iw) >> 8;
    const std::uint32_t r = (((s >> 16) & 0xFF) * w + ((t >> 16) & 0xFF) * iw) >> 8;
    const std::uint32_t targetAlpha = t >> 24;
    const std::uint32_t alpha = targetAlpha == 255 ? 255 : (a * w + targetAlpha * iw) >> 8;
    return b | (g << 8) | (r << 16) | (alpha << 24);
}

void BlendRun32(const std::uint8_t* src, std::uint8_t* dst, std::uint32_t count)
{
    for (std::uint32_t i = 0; i < count; ++i, src += 4, dst += 4) {
        std::uint32_t s;
        std::memcpy(&s, src, 4);
        if (s < 0x01000000)
            continue;
        if (s >= 0xFF000000) {
            // (s * 256 + t) >> 8 is s for every byte, and the alpha ends at 255 either way.
            std::memcpy(dst, &s, 4);
            continue;
        }
        std::uint32_t t;
        std::memcpy(&t, dst, 4);
        const std::uint32_t result = Blend(s, t);
        std::memcpy(dst, &result, 4);
    }
}

}  // namespace

bool CGraphicsImage::DrawAlpha(const CGraphicsImage& src, int x, int y)
{
    if (src.m_bpp != 32 || m_bpp < 12)
        return false;
    DrawPlacement place;
    if (!PlaceDrawing(*this, src, x, y, place))
        return false;

    const std::uint32_t width = place.columns.length;
    for (std::uint32_t r = 0; r < place.rows.length; ++r) {
        const std::uint8_t* srcRow = src.Row(place.rows.source + r) + 4 * std::size_t(place.columns.source);
        std::uint8_t* dstRow = Row(place.rows.target + r);
        if (m_bpp == 32) {
            BlendRun32(srcRow, dstRow + 4 * std::size_t(place.columns.target), width);
            continue;
        }
        for (std::uint32_t i = 0; i < width; ++i) {
            const std::uint32_t s = LoadLE32(srcRow + 4 * std::size_t(i));
            if ((s >> 24) == 0)
                continue;
            const std::uint32_t tx = place.columns.target + i;
            SetRowPixel(dstRow, tx, Blend(s, GetRowPixel(dstRow, tx)));
        }
    }
    return true;
}
