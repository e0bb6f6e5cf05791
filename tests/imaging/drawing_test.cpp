// Rectangle fill, Draw with its clipping and tests, and alpha blending.

#include "imaging/GraphicsImage.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using u32 = std::uint32_t;

TEST(Drawing, FillRectAreaInEveryFormat)
{
    // right < left: nothing filled.
    const struct { const char* name; int x, y, w, h; bool result; int left, top, right, bottom; } cases[] = {
        {"plain", 2, 3, 4, 2, true, 2, 3, 5, 4},
        {"odd start across a byte", 3, 1, 6, 1, true, 3, 1, 8, 1},
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
    // The value as given, and as read back: only the bits the format keeps. The background differs from it, so a
    // fill of packed pixels that spills into a neighbour sharing its byte shows.
    const struct { int bpp; u32 background, value, read; } formats[] = {
        {1, 1, 0, 0}, {2, 1, 2, 2}, {4, 0xC, 3, 3}, {8, 0xCB, 0x1234, 0x34}, {12, 0x00102030, 0x00F0F0F0, 0x00F0F0F0},
        {15, 0xF8, 0x80FF0000, 0x80F80000}, {16, 0x08, 0x00FFFFFF, 0x00F8FCF8}, {24, 0x112233, 0x11223344, 0x223344},
        {32, 0x55667788, 0x11223344, 0x11223344},
    };
    for (const auto& f : formats) {
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(c.name) + " at " + std::to_string(f.bpp) + " bpp");
            CGraphicsImage image;
            ASSERT_TRUE(image.Create(f.bpp, 16, 12, f.background));
            EXPECT_EQ(image.FillRect(c.x, c.y, c.w, c.h, f.value), c.result);
            for (int y = 0; y < 12; ++y) {
                for (int x = 0; x < 16; ++x) {
                    const bool inside = x >= c.left && x <= c.right && y >= c.top && y <= c.bottom;
                    ASSERT_EQ(image.GetPixelFn(x, y), inside ? f.read : f.background) << x << "," << y;
                }
            }
        }
    }
}

TEST(Drawing, DrawClipsAtEveryEdge)
{
    const struct { const char* name; int x, y; bool result; } cases[] = {
        {"x -5", -5, 0, true},        {"y -2", 0, -2, true},          {"inside", 1, 1, true},
        {"right edge", 3, 0, true},   {"past right", 4, 0, false},    {"past bottom", 0, 3, false},
        {"left of it", -10, 0, false}, {"above it", 0, -3, false},
    };
    CGraphicsImage src;
    ASSERT_TRUE(src.Create(32, 10, 3));
    for (u32 y = 0; y < 3; ++y)
        for (u32 x = 0; x < 10; ++x)
            src.SetPixelFn(x, y, 0x00010203u * (x + 16 * y + 1));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
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

TEST(Drawing, DrawConvertsBetweenFormats)
{
    const struct { const char* name; int srcBpp, dstBpp; u32 srcValue, palette, expected; } cases[] = {
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
    const u32 background = 0xC0000000 | 0x0000FF;
    const struct { const char* name; int srcBpp, dstBpp; u32 mode, src[3], dst[3], expected[3]; } cases[] = {
        {"source key skips equal colour ignoring alpha", 32, 32, 0x01000000 | 0x00FF00,
         {0x0000FF00, 0x80FF0000, 0xFF00FF00}, {0, 0, 0}, {0, 0x80FF0000, 0}},
        {"source key against 16-bit significant bits", 16, 32, 0x01000000 | 0x00FF07,
         {0x00FF00, 0x00FF08, 0x0000FF}, {0, 0, 0}, {0, 0xFF00FC08, 0xFF0000F8}},
        {"source bit 30", 32, 32, 0x08000000, {0x40112233, 0x80112233, 0xC0112233}, {0, 0, 0}, {0, 0x80112233, 0}},
        {"target key leaves matching pixels", 32, 32, 0x10000000 | 0x0000FF, {0x11111111, 0x22222222, 0x33333333},
         {background, 0x000000FE, 0xFF0000FF}, {background, 0x22222222, 0xFF0000FF}},
        {"target bit 30", 32, 32, 0x80000000, {0x11111111, 0x22222222, 0x33333333}, {0x40000000, 0x80000000, 0},
         {0x40000000, 0x22222222, 0x33333333}},
        {"bit 31 tests never take effect", 32, 32, 0x02000000 | 0x04000000 | 0x20000000 | 0x40000000,
         {0x80000001, 0x00000002, 0x80000003}, {0x80000000, 0, 0}, {0x80000001, 2, 0x80000003}},
        {"target test keeps 24-bit source alpha-free", 24, 32, 0x10000000 | 0x123456,
         {0x111111, 0x222222, 0x333333}, {0, 0x123456, 0}, {0x111111, 0x123456, 0x333333}},
        // A format without bit 30 drops the bit test, so a 24-bit source gets its alpha again.
        {"bit test dropped for a 24-bit target", 24, 24, 0x80000000, {0x445566, 0, 0}, {0, 0, 0}, {0x445566, 0, 0}},
        {"bit test dropped for a 24-bit source", 24, 32, 0x08000000, {0x445566, 0, 0}, {0, 0, 0},
         {0xFF445566, 0xFF000000, 0xFF000000}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CGraphicsImage src, dst;
        ASSERT_TRUE(src.Create(c.srcBpp, 3, 1));
        ASSERT_TRUE(dst.Create(c.dstBpp, 3, 1));
        for (u32 x = 0; x < 3; ++x) {
            src.SetPixelFn(x, 0, c.src[x]);
            dst.SetPixelFn(x, 0, c.dst[x]);
        }
        ASSERT_TRUE(dst.Draw(src, 0, 0, c.mode));
        for (u32 x = 0; x < 3; ++x)
            EXPECT_EQ(dst.GetPixelFn(x, 0), c.expected[x]) << "x " << x;
    }
}

TEST(Drawing, DrawRejectsEmptyImagesAndCopiesOntoItself)
{
    CGraphicsImage empty, image;
    ASSERT_TRUE(image.Create(32, 6, 1));
    EXPECT_FALSE(image.Draw(empty, 0, 0));
    EXPECT_FALSE(empty.Draw(image, 0, 0));
    EXPECT_FALSE(image.DrawAlpha(empty, 0, 0));

    // Overlapping runs: every pixel is taken from before the copy.
    for (u32 x = 0; x < 6; ++x)
        image.SetPixelFn(x, 0, x + 1);
    ASSERT_TRUE(image.Draw(image, 2, 0));
    for (u32 x = 0; x < 6; ++x)
        EXPECT_EQ(image.GetPixelFn(x, 0), x < 2 ? x + 1 : x - 1);
}

TEST(Drawing, DrawAlphaBlendRules)
{
    const struct { const char* name; u32 source, target, expected; } cases[] = {
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
        ASSERT_TRUE(dst.DrawAlpha(src, 0, 0));
        EXPECT_EQ(dst.GetPixelFn(0, 0), c.expected);
    }
}

TEST(Drawing, DrawAlphaFormatsAndClipping)
{
    CGraphicsImage src, indexed, notAlpha, rgb;
    ASSERT_TRUE(src.Create(32, 3, 3, 0x80FFFFFF));
    ASSERT_TRUE(indexed.Create(8, 4, 4));
    ASSERT_TRUE(notAlpha.Create(24, 3, 3));
    ASSERT_TRUE(rgb.Create(24, 4, 4, 0x000010));
    EXPECT_FALSE(indexed.DrawAlpha(src, 0, 0));
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
