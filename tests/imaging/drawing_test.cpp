// Rectangle fill, Draw with its clipping and tests, and alpha blending.

#include "imaging/GraphicsImage.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// The picture as a grid of GetPixelFn values, row 0 at the top.
std::vector<std::vector<std::uint32_t>> Pixels(const CGraphicsImage& image)
{
    std::vector<std::vector<std::uint32_t>> rows(image.Height(), std::vector<std::uint32_t>(image.Width()));
    for (std::uint32_t y = 0; y < image.Height(); ++y)
        for (std::uint32_t x = 0; x < image.Width(); ++x)
            rows[y][x] = image.GetPixelFn(x, y);
    return rows;
}

struct FillCase
{
    const char* name;
    int x, y, w, h;
    bool result;
    int left, top, right, bottom;  // the filled pixels, inclusive; right < left when none
};

const FillCase fillCases[] = {
    {"plain", 2, 3, 4, 2, true, 2, 3, 5, 4},
    {"negative sizes", 10, 10, -3, -2, true, 8, 9, 10, 10},
    {"negative width only", 5, 0, -2, 1, true, 4, 0, 5, 0},
    {"clipped left and top", -3, -2, 5, 4, true, 0, 0, 1, 1},
    {"clipped right and bottom", 14, 10, 10, 10, true, 14, 10, 15, 11},
    {"entirely right", 16, 0, 3, 3, false, 1, 0, 0, 0},
    {"entirely above", 0, -5, 3, 5, false, 1, 0, 0, 0},
    {"negative reaching out", -1, 5, -3, 1, false, 1, 0, 0, 0},
    {"zero width", 3, 3, 0, 5, false, 1, 0, 0, 0},
    {"huge", -2000000000, -2000000000, 2147483647, 2147483647, true, 0, 0, 15, 11},
};

TEST(Drawing, FillRectAreaInEveryFormat)
{
    for (int bpp : {1, 2, 4, 8, 12, 15, 16, 24, 32}) {
        for (const FillCase& c : fillCases) {
            SCOPED_TRACE(std::string(c.name) + " at " + std::to_string(bpp) + " bpp");
            CGraphicsImage image;
            ASSERT_TRUE(image.Create(bpp, 16, 12));
            const std::uint32_t value = bpp <= 8 ? 1 : (bpp == 32 ? 0x80F0F0F0u : 0x00F0F0F0u);
            const std::uint32_t expected = 0, filled = bpp <= 8 ? 1 : value;
            EXPECT_EQ(image.FillRect(c.x, c.y, c.w, c.h, value), c.result);
            for (int y = 0; y < 12; ++y) {
                for (int x = 0; x < 16; ++x) {
                    const bool inside = x >= c.left && x <= c.right && y >= c.top && y <= c.bottom;
                    ASSERT_EQ(image.GetPixelFn(x, y), inside ? filled : expected) << x << "," << y;
                }
            }
        }
    }
}

TEST(Drawing, FillRectOfPackedFormatsKeepsNeighbourPixels)
{
    // Unaligned ends share their bytes with pixels outside the rectangle.
    for (int bpp : {1, 2, 4, 12}) {
        for (int x0 = 0; x0 < 9; ++x0) {
            for (int w = 1; w < 20; ++w) {
                CGraphicsImage image;
                const std::uint32_t background = bpp == 12 ? 0x00102030 : 1;
                const std::uint32_t paint = bpp == 12 ? 0x00F0E0D0 : 0;
                ASSERT_TRUE(image.Create(bpp, 32, 1, bpp == 12 ? background : 0));
                if (bpp != 12)
                    image.FillRect(0, 0, 32, 1, background);
                image.FillRect(x0, 0, w, 1, paint);
                for (int x = 0; x < 32; ++x) {
                    const bool inside = x >= x0 && x < x0 + w;
                    ASSERT_EQ(image.GetPixelFn(x, 0), inside ? paint : background)
                        << bpp << " bpp, fill " << x0 << "+" << w << " at " << x;
                }
            }
        }
    }
}

TEST(Drawing, FillRectStoresFullValue)
{
    struct
    {
        int bpp;
        std::uint32_t value;
        std::vector<std::uint8_t> bytes;
    } const cases[] = {
        {32, 0x11223344, {0x44, 0x33, 0x22, 0x11}},
        {24, 0x11223344, {0x44, 0x33, 0x22}},
        {16, 0x00FFFFFF, {0xFF, 0xFF}},
        {15, 0x80FF0000, {0x00, 0xFC}},
        {15, 0x00FF0000, {0x00, 0x7C}},
        {8, 0x1234, {0x34}},
        {4, 0x3, {0x33}},
        {2, 0x2, {0xAA}},
        {1, 0x1, {0xFF}},
    };
    for (const auto& c : cases) {
        CGraphicsImage image;
        ASSERT_TRUE(image.Create(c.bpp, 8, 1));
        ASSERT_TRUE(image.FillRect(0, 0, 8, 1, c.value));
        for (std::size_t i = 0; i < c.bytes.size(); ++i)
            EXPECT_EQ(image.Row(0)[i], c.bytes[i]) << c.bpp << " bpp byte " << i;
    }
}

CGraphicsImage Ramp(int bpp, std::uint32_t width, std::uint32_t height)
{
    CGraphicsImage image;
    image.Create(bpp, width, height);
    for (std::uint32_t y = 0; y < height; ++y)
        for (std::uint32_t x = 0; x < width; ++x)
            image.SetPixelFn(x, y, bpp <= 8 ? (x + y * width) & image.ValueMask() : 0x00010203u * (x + 16 * y + 1));
    return image;
}

TEST(Drawing, DrawClipsAtEveryEdge)
{
    struct
    {
        const char* name;
        int x, y;
        bool result;
    } const cases[] = {
        {"x -5", -5, 0, true}, {"y -2", 0, -2, true}, {"inside", 1, 1, true}, {"right edge", 3, 0, true},
        {"past right", 4, 0, false}, {"past bottom", 0, 3, false}, {"left of it", -10, 0, false},
        {"above it", 0, -3, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const CGraphicsImage src = Ramp(32, 10, 3);
        CGraphicsImage target;
        ASSERT_TRUE(target.Create(32, 4, 3, 0x7F000000));
        EXPECT_EQ(target.Draw(src, c.x, c.y), c.result);
        for (int y = 0; y < 3; ++y) {
            for (int x = 0; x < 4; ++x) {
                const int sx = x - c.x, sy = y - c.y;
                const bool covered = sx >= 0 && sx < 10 && sy >= 0 && sy < 3;
                EXPECT_EQ(target.GetPixelFn(x, y), covered ? src.GetPixelFn(sx, sy) : 0x7F000000u) << x << "," << y;
            }
        }
    }
}

TEST(Drawing, DrawAtMinusFiveTakesSourceColumnsFiveToEight)
{
    CGraphicsImage src;
    ASSERT_TRUE(src.Create(8, 10, 1));
    for (std::uint32_t x = 0; x < 10; ++x)
        src.SetPixelFn(x, 0, x);
    CGraphicsImage target;
    ASSERT_TRUE(target.Create(8, 4, 1));
    ASSERT_TRUE(target.Draw(src, -5, 0));
    EXPECT_EQ(Pixels(target)[0], (std::vector<std::uint32_t>{5, 6, 7, 8}));
}

TEST(Drawing, DrawConvertsBetweenFormats)
{
    struct
    {
        const char* name;
        int srcBpp, dstBpp;
        std::uint32_t srcValue, palette, expected;
    } const cases[] = {
        {"24 into 32 is opaque", 24, 32, 0x123456, 0, 0xFF123456},
        {"16 into 32 is opaque", 16, 32, 0xF8FCF8, 0, 0xFFF8FCF8},
        {"indexed into 32 through palette", 8, 32, 3, 0x40ABCDEF, 0xFFABCDEF},
        {"indexed into 24 through palette", 4, 24, 3, 0x40ABCDEF, 0xABCDEF},
        {"32 into 32 keeps alpha", 32, 32, 0x40123456, 0, 0x40123456},
        {"32 into 24 drops alpha", 32, 24, 0x40123456, 0, 0x123456},
        {"colour into indexed is written as index", 24, 8, 0x123456, 0, 0x56},
        {"indexed into indexed keeps index", 8, 4, 0x1B, 0, 0xB},
        {"24 into 12", 24, 12, 0x1F2F3F, 0, 0x102030},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CGraphicsImage src, dst;
        ASSERT_TRUE(src.Create(c.srcBpp, 3, 2));
        ASSERT_TRUE(dst.Create(c.dstBpp, 3, 2));
        src.SetPaletteColor(3, c.palette);
        src.FillRect(0, 0, 3, 2, c.srcValue);
        ASSERT_TRUE(dst.Draw(src, 0, 0));
        EXPECT_EQ(dst.GetPixelFn(2, 1), c.expected);
    }
}

TEST(Drawing, DrawKeyAndBitTests)
{
    const std::uint32_t background = 0xC0000000 | 0x0000FF;
    struct
    {
        const char* name;
        int srcBpp;
        std::uint32_t mode;
        std::uint32_t src[3];
        std::uint32_t dst[3];
        std::uint32_t expected[3];
    } const cases[] = {
        {"source key skips equal colour ignoring alpha", 32, 0x01000000 | 0x00FF00,
         {0x0000FF00, 0x80FF0000, 0xFF00FF00}, {0, 0, 0}, {0, 0x80FF0000, 0}},
        {"source key against 16-bit significant bits", 16, 0x01000000 | 0x00FF07,
         {0x00FF00, 0x00FF08, 0x0000FF}, {0, 0, 0}, {0, 0xFF00FC08, 0xFF0000F8}},
        {"source bit 30", 32, 0x08000000, {0x40112233, 0x80112233, 0xC0112233}, {0, 0, 0}, {0, 0x80112233, 0}},
        {"target key leaves matching pixels", 32, 0x10000000 | 0x0000FF,
         {0x11111111, 0x22222222, 0x33333333}, {background, 0x000000FE, 0xFF0000FF}, {background, 0x22222222, 0xFF0000FF}},
        {"target bit 30", 32, 0x80000000, {0x11111111, 0x22222222, 0x33333333},
         {0x40000000, 0x80000000, 0}, {0x40000000, 0x22222222, 0x33333333}},
        {"bit 31 tests never take effect", 32, 0x02000000 | 0x04000000 | 0x20000000 | 0x40000000,
         {0x80000001, 0x00000002, 0x80000003}, {0x80000000, 0, 0}, {0x80000001, 2, 0x80000003}},
        {"target test keeps 24-bit source alpha-free", 24, 0x10000000 | 0x123456,
         {0x111111, 0x222222, 0x333333}, {0, 0x123456, 0}, {0x111111, 0x123456, 0x333333}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CGraphicsImage src, dst;
        ASSERT_TRUE(src.Create(c.srcBpp, 3, 1));
        ASSERT_TRUE(dst.Create(32, 3, 1));
        for (std::uint32_t x = 0; x < 3; ++x) {
            src.SetPixelFn(x, 0, c.src[x]);
            dst.SetPixelFn(x, 0, c.dst[x]);
        }
        ASSERT_TRUE(dst.Draw(src, 0, 0, c.mode));
        for (std::uint32_t x = 0; x < 3; ++x)
            EXPECT_EQ(dst.GetPixelFn(x, 0), c.expected[x]) << "x " << x;
    }
}

TEST(Drawing, DrawBitTestsAreDroppedForFormatsWithoutBit30)
{
    // A 24-bit target never has bit 30, so the test is dropped and the 24-bit source gets alpha.
    CGraphicsImage src, dst;
    ASSERT_TRUE(src.Create(24, 1, 1, 0x445566));
    ASSERT_TRUE(dst.Create(24, 1, 1));
    ASSERT_TRUE(dst.Draw(src, 0, 0, 0x80000000));
    EXPECT_EQ(dst.GetPixelFn(0, 0), 0x445566u);
    CGraphicsImage dst32;
    ASSERT_TRUE(dst32.Create(32, 1, 1));
    ASSERT_TRUE(dst32.Draw(src, 0, 0, 0x08000000));
    EXPECT_EQ(dst32.GetPixelFn(0, 0), 0xFF445566u);
}

TEST(Drawing, DrawRejectsEmptyImages)
{
    CGraphicsImage empty, image;
    ASSERT_TRUE(image.Create(32, 4, 4));
    EXPECT_FALSE(image.Draw(empty, 0, 0));
    EXPECT_FALSE(empty.Draw(image, 0, 0));
    EXPECT_FALSE(image.DrawAlpha(empty, 0, 0));
}

TEST(Drawing, DrawOntoItselfCopiesOverlappingRuns)
{
    CGraphicsImage image = Ramp(32, 6, 1);
    const auto before = Pixels(image)[0];
    ASSERT_TRUE(image.Draw(image, 2, 0));
    const auto after = Pixels(image)[0];
    for (int x = 2; x < 6; ++x)
        EXPECT_EQ(after[x], before[x - 2]);
}

TEST(Drawing, DrawAlphaBlendRules)
{
    struct
    {
        const char* name;
        std::uint32_t source, target, expected;
    } const cases[] = {
        {"opaque source replaces exactly", 0xFF123456, 0xFFFEDCBA, 0xFF123456},
        {"transparent source leaves target", 0x00123456, 0xFFFEDCBA, 0xFFFEDCBA},
        {"target without alpha takes source as is", 0x80123456, 0x00FEDCBA, 0x80123456},
        {"half over opaque", 0x80FF0000, 0xFF0000FF, 0xFF80007F},
        {"half over half", 0x80FF0000, 0x800000FF, 0x8080007F},
        {"quarter over tenth", 0x40FFFFFF, 0x1A000000, 0x23404040},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CGraphicsImage src, dst;
        ASSERT_TRUE(src.Create(32, 1, 1, c.source));
        ASSERT_TRUE(dst.Create(32, 1, 1, c.target));
        if (c.source == 0)
            src.SetPixelFn(0, 0, 0);
        ASSERT_TRUE(dst.DrawAlpha(src, 0, 0));
        EXPECT_EQ(dst.GetPixelFn(0, 0), c.expected);
    }
}

TEST(Drawing, DrawAlphaOpaqueIsExactForEveryByte)
{
    CGraphicsImage src, dst;
    ASSERT_TRUE(src.Create(32, 256, 256));
    ASSERT_TRUE(dst.Create(32, 256, 256));
    for (std::uint32_t s = 0; s < 256; ++s) {
        for (std::uint32_t t = 0; t < 256; ++t) {
            src.SetPixelFn(t, s, 0xFF000000 | s << 16 | s << 8 | s);
            dst.SetPixelFn(t, s, 0xFF000000 | t << 16 | t << 8 | t);
        }
    }
    ASSERT_TRUE(dst.DrawAlpha(src, 0, 0));
    for (std::uint32_t s = 0; s < 256; ++s)
        for (std::uint32_t t = 0; t < 256; ++t)
            ASSERT_EQ(dst.GetPixelFn(t, s), 0xFF000000 | s << 16 | s << 8 | s);
}

TEST(Drawing, DrawAlphaFormatsAndClipping)
{
    CGraphicsImage src;
    ASSERT_TRUE(src.Create(32, 3, 3, 0x80FFFFFF));
    CGraphicsImage indexed;
    ASSERT_TRUE(indexed.Create(8, 4, 4));
    EXPECT_FALSE(indexed.DrawAlpha(src, 0, 0));
    CGraphicsImage notAlpha;
    ASSERT_TRUE(notAlpha.Create(24, 3, 3));
    CGraphicsImage rgb;
    ASSERT_TRUE(rgb.Create(24, 4, 4, 0x000010));
    EXPECT_FALSE(rgb.DrawAlpha(notAlpha, 0, 0));
    // Below 32 bits a target reads without alpha, so the source colour is taken as it is.
    ASSERT_TRUE(rgb.DrawAlpha(src, -1, 2));
    EXPECT_EQ(rgb.GetPixelFn(0, 2), 0xFFFFFFu);
    EXPECT_EQ(rgb.GetPixelFn(1, 3), 0xFFFFFFu);
    EXPECT_EQ(rgb.GetPixelFn(2, 2), 0x000010u);
    EXPECT_EQ(rgb.GetPixelFn(0, 1), 0x000010u);
    EXPECT_FALSE(rgb.DrawAlpha(src, 4, 0));
    EXPECT_FALSE(rgb.DrawAlpha(src, -3, 0));
}

}  // namespace
