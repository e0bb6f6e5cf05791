// Copying one image into another at a position, with optional colour-key and bit-30 tests.

#include "imaging/ClipRect.h"
#include "imaging/DrawPlacement.h"
#include "imaging/GraphicsImage.h"
#include "imaging/PixelFormats.h"

#include <cstring>

namespace {

constexpr std::uint32_t keyBits = 0x00FFFFFF;
constexpr std::uint32_t bit30 = 0x40000000;
// Only the key and bit-30 tests have an effect; the bit-31 tests of the mode word never did.
constexpr std::uint32_t sourceTests = CGraphicsImage::DrawSkipSourceKey | CGraphicsImage::DrawSkipSourceBit30;
constexpr std::uint32_t targetTests = CGraphicsImage::DrawKeepTargetKey | CGraphicsImage::DrawKeepTargetBit30;

// A value of these formats never has bit 30 set, so a bit test on it is dropped.
bool HasNoBit30(int bpp)
{
    return bpp != 32;
}

struct PixelTest
{
    std::uint32_t tests = 0;
    std::uint32_t key = 0;
    std::uint32_t mask = 0;

    // True when the pixel value is caught by the test.
    bool Matches(std::uint32_t value) const
    {
        if (tests & (CGraphicsImage::DrawSkipSourceKey | CGraphicsImage::DrawKeepTargetKey))
            return (value & mask) == key;
        return (value & bit30) != 0;
    }
};

PixelTest NormaliseTest(std::uint32_t mode, std::uint32_t testBits, std::uint32_t keyTest, const CGraphicsImage& image)
{
    PixelTest test;
    test.tests = mode & testBits;
    if (HasNoBit30(image.Bpp()))
        test.tests &= keyTest;
    if (test.tests & keyTest) {
        test.tests = keyTest;
        test.mask = image.SignificantMask();
        test.key = mode & keyBits & test.mask;
    }
    return test;
}

void CopyRun24To32(const std::uint8_t* src, std::uint8_t* dst, std::uint32_t count)
{
    for (std::uint32_t i = 0; i < count; ++i, src += 3, dst += 4) {
        dst[0] = src[0];
        dst[1] = src[1];
        dst[2] = src[2];
        dst[3] = 0xFF;
    }
}

}  // namespace

bool CGraphicsImage::Draw(const CGraphicsImage& src, int x, int y, std::uint32_t mode)
{
    DrawPlacement place;
    if (!PlaceDrawing(*this, src, x, y, place))
        return false;

    const PixelTest sourceTest = NormaliseTest(mode, sourceTests, DrawSkipSourceKey, src);
    const PixelTest targetTest = NormaliseTest(mode, targetTests, DrawKeepTargetKey, *this);
    const bool anyTest = sourceTest.tests != 0 || targetTest.tests != 0;

    const std::uint32_t width = place.columns.length;
    for (std::uint32_t r = 0; r < place.rows.length; ++r) {
        const std::uint8_t* srcRow = src.Row(place.rows.source + r);
        std::uint8_t* dstRow = Row(place.rows.target + r);

        // Identical byte-aligned formats copy whole runs; the result is the same as pixel by pixel.
        // (memmove: an image may be drawn onto itself.)
        if (!anyTest && src.m_bpp == m_bpp && (m_bpp >= 15 || m_bpp == 8)) {
            const std::size_t bytes = std::size_t(m_bytesPerPixel);
            std::memmove(dstRow + place.columns.target * bytes, srcRow + place.columns.source * bytes,
                        width * bytes);
            continue;
        }
        if (!anyTest && src.m_bpp == 24 && m_bpp == 32) {
            CopyRun24To32(srcRow + 3 * std::size_t(place.columns.source),
                          dstRow + 4 * std::size_t(place.columns.target), width);
            continue;
        }

        for (std::uint32_t i = 0; i < width; ++i) {
            const std::uint32_t tx = place.columns.target + i;
            if (targetTest.tests && targetTest.Matches(GetRowPixel(dstRow, tx)))
                continue;
            std::uint32_t value = src.GetRowPixel(srcRow, place.columns.source + i);
            if (sourceTest.tests && sourceTest.Matches(value))
                continue;
            if (m_trueColor) {
                if (!src.m_trueColor)
                    value = src.PaletteColor(value);
                if (m_bpp == 32 && src.m_bpp <= 24 && targetTest.tests == 0)
                    value |= 0xFF000000u;
            }
            SetRowPixel(dstRow, tx, value);
        }
    }
    return true;
}
