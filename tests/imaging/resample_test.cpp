// Resampling: result formats, nearest neighbour, the box filter against hand-computed values, the
// alpha rules, and failure.

#include "imaging/BoxFilter.h"
#include "imaging/GraphicsImage.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

namespace {

using u32 = std::uint32_t;

CGraphicsImage Make(int bpp, u32 width, u32 height, const std::vector<u32>& pixels)
{
    CGraphicsImage image;
    image.Create(bpp, width, height);
    for (u32 i = 0; i < pixels.size(); ++i)
        image.SetPixelFn(i % width, i / width, pixels[i]);
    return image;
}

std::vector<u32> PixelsOf(const CGraphicsImage& image)
{
    std::vector<u32> out;
    for (u32 y = 0; y < image.Height(); ++y)
        for (u32 x = 0; x < image.Width(); ++x)
            out.push_back(image.GetPixelFn(x, y));
    return out;
}

// ---- tests -----------------------------------------------------------------------------------

TEST(Resample, ResultFormat)
{
    const struct { int srcBpp; u32 flags; int result; } cases[] = {
        {8, 0, 8},   {8, 1, 24},  {8, 2, 32},  {8, 3, 32},  {4, 0, 4},   {12, 1, 24}, {16, 0, 16},
        {24, 0, 24}, {24, 1, 24}, {24, 2, 32}, {32, 0, 32}, {32, 1, 32}, {1, 1, 24}};
    for (const auto& c : cases) {
        CGraphicsImage src, dst;
        ASSERT_TRUE(src.Create(c.srcBpp, 4, 4, 1));
        ASSERT_TRUE(dst.Resample(src, 3, 5, c.flags));
        EXPECT_EQ(dst.Bpp(), c.result) << c.srcBpp << " bpp, flags " << c.flags;
        EXPECT_EQ(dst.Width(), 3u);
        EXPECT_EQ(dst.Height(), 5u);
    }
}

TEST(Resample, SameSizeIsAnExactCopyOrA32BitCopy)
{
    CGraphicsImage src = Make(8, 3, 2, {1, 2, 3, 4, 5, 6});
    src.SetPaletteColor(5, 0x7F102030);
    CGraphicsImage dst;
    ASSERT_TRUE(dst.Resample(src, 3, 2, 0));
    EXPECT_EQ(dst.Bpp(), 8);
    EXPECT_EQ(std::memcmp(dst.Data(), src.Data(), src.ImageSize()), 0);
    EXPECT_EQ(dst.PaletteColor(5), 0x7F102030u);
    ASSERT_TRUE(dst.Resample(src, 3, 2, 1));
    EXPECT_EQ(dst.Bpp(), 8);  // smoothing alone keeps the format at the same size
    ASSERT_TRUE(dst.Resample(src, 3, 2, 2));
    EXPECT_EQ(dst.Bpp(), 32);
    EXPECT_EQ(dst.GetPixelFn(1, 1), 0x7F102030u);
}

TEST(Resample, NearestNeighbour)
{
    const struct { const char* name; int bpp; u32 w, h, nw, nh; std::vector<u32> src, expected; } cases[] = {
        {"halve 8 bit", 8, 4, 1, 2, 1, {10, 11, 12, 13}, {10, 12}},
        {"enlarge 8 bit", 8, 2, 1, 5, 1, {10, 11}, {10, 10, 10, 11, 11}},
        {"rows repeat", 24, 1, 2, 1, 4, {0x111111, 0x222222}, {0x111111, 0x111111, 0x222222, 0x222222}},
        {"4 bit packed", 4, 3, 1, 6, 1, {1, 2, 3}, {1, 1, 2, 2, 3, 3}},
        {"12 bit pairs", 12, 2, 1, 3, 1, {0x102030, 0x405060}, {0x102030, 0x102030, 0x405060}},
        {"32 bit keeps alpha", 32, 2, 2, 1, 1, {0x80102030, 1, 2, 3}, {0x80102030}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CGraphicsImage dst;
        ASSERT_TRUE(dst.Resample(Make(c.bpp, c.w, c.h, c.src), c.nw, c.nh, 0));
        EXPECT_EQ(PixelsOf(dst), c.expected);
    }
    // A forced 32-bit result goes through the palette, alpha included.
    CGraphicsImage indexed = Make(8, 2, 1, {3, 4});
    indexed.SetPaletteColor(4, 0x40AABBCC);
    CGraphicsImage dst;
    ASSERT_TRUE(dst.Resample(indexed, 4, 1, 2));
    EXPECT_EQ(dst.GetPixelFn(3, 0), 0x40AABBCCu);
}

TEST(Resample, BoxFilterByHand)
{
    const struct { const char* name; int bpp; u32 w, h, nw, nh; std::vector<u32> src, expected; } cases[] = {
        // 3 -> 2: spans [0, 384) and [384, 768) in 1/256 pixels.
        {"three to two", 24, 3, 1, 2, 1, {0x000000, 0xFFFFFF, 0xFFFFFF}, {0x545454, 0xFEFEFE}},
        {"four to two averages pairs", 24, 4, 1, 2, 1, {0x000000, 0x0000FE, 0x000010, 0x000030}, {0x00007F, 0x000020}},
        // Enlarging maps the end pixels onto each other.
        {"corners stay corners", 24, 2, 2, 3, 3, {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF},
         {0xFF0000, 0x7F7F00, 0x00FF00, 0x7F007F, 0x7E7F7E, 0x7FFE7F, 0x0000FF, 0x7F7FFE, 0xFFFFFF}},
        {"one pixel to many", 24, 1, 1, 3, 2, {0x123456}, std::vector<u32>(6, 0x123456)},
        {"many to one", 24, 4, 1, 1, 1, {0x000004, 0x000008, 0x00000C, 0x000010}, {0x00000A}},
        // Alpha: transparent pixels carry no colour unless all are, in which case they all count.
        {"transparent pixels carry no colour", 32, 2, 1, 1, 1, {0x00FF0000, 0xFF00FF00}, {0x7F00FF00}},
        {"all transparent", 32, 2, 1, 1, 1, {0x00FF0000, 0x0000FF00}, {0x007F7F00}},
        {"all opaque", 32, 2, 1, 1, 1, {0xFFFF0000, 0xFF00FF00}, {0xFF7F7F00}},
        {"partial alphas average", 32, 2, 1, 1, 1, {0x40FF0000, 0x80FF0000}, {0x60FF0000}},
        // Down a column: the colour is the mean over the two rows that are not transparent.
        {"colour of the visible part of a column", 32, 1, 3, 1, 1, {0x00FF0000, 0x80FF0000, 0x40010000}, {0x40800000}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CGraphicsImage dst;
        ASSERT_TRUE(dst.Resample(Make(c.bpp, c.w, c.h, c.src), c.nw, c.nh, 1));
        EXPECT_EQ(dst.Bpp(), c.bpp);
        EXPECT_EQ(PixelsOf(dst), c.expected);
    }
}

TEST(Resample, LargeSizesUseTheStepGuard)
{
    // n * size * 256 exceeds 31 bits here, so the step is coarsened; every span stays inside.
    CGraphicsImage src, dst;
    ASSERT_TRUE(src.Create(24, 30000, 1, 0x204060));
    ASSERT_TRUE(dst.Resample(src, 30001, 1, 1));
    EXPECT_EQ(dst.GetPixelFn(0, 0), 0x204060u);
    EXPECT_EQ(dst.GetPixelFn(30000, 0), 0x204060u);
    ASSERT_TRUE(dst.Resample(src, 29999, 1, 1));
    EXPECT_EQ(dst.GetPixelFn(29998, 0), 0x204060u);
}

TEST(Resample, FailuresWriteNothingAndAnImageCanBeResampledIntoItself)
{
    CGraphicsImage src, dst, empty;
    ASSERT_TRUE(src.Create(24, 4, 4, 0x123456));
    EXPECT_FALSE(dst.Resample(src, 40000, 10, 1));
    EXPECT_FALSE(dst.HasPixels());
    EXPECT_EQ(dst.ErrorCode(), 1);
    ASSERT_TRUE(empty.Create(16, 0, 5));
    EXPECT_FALSE(dst.Resample(empty, 10, 10, 1));
    EXPECT_EQ(dst.Bpp(), 16);
    EXPECT_TRUE(dst.IsEmpty());

    CGraphicsImage image = Make(24, 2, 1, {0x000000, 0xFEFEFE});
    ASSERT_TRUE(image.Resample(image, 1, 1, 1));
    EXPECT_EQ(image.GetPixelFn(0, 0), 0x7F7F7Fu);
}

TEST(Resample, FixedDivisionIsExactForEverySpan)
{
    // Spans reach 32768 * 256; the numerators (sum << 8) stay below 255 * span.
    std::mt19937 random(99);
    for (u32 d = 1; d <= (1u << 23); ++d) {
        const FixedDivider divide(d);
        const u32 top = 255 * d;
        for (u32 n : {0u, 1u, d - 1, d, d + 1, top - 1, top, u32(random() % top), 0x7FFFFFFFu})
            if (divide(n) != n / d)
                FAIL() << n << " / " << d << " gave " << divide(n);
    }
}

}  // namespace
