// Resampling: result formats, nearest neighbour, the box filter against hand-computed values and
// against a plain per-pixel model of the filter, the alpha rules, and failure.

#include "imaging/BoxFilter.h"
#include "imaging/GraphicsImage.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace {

CGraphicsImage Make(int bpp, std::uint32_t width, std::uint32_t height, const std::vector<std::uint32_t>& pixels)
{
    CGraphicsImage image;
    image.Create(bpp, width, height);
    for (std::uint32_t i = 0; i < pixels.size(); ++i)
        image.SetPixelFn(i % width, i / width, pixels[i]);
    return image;
}

std::vector<std::uint32_t> PixelsOf(const CGraphicsImage& image)
{
    std::vector<std::uint32_t> out;
    for (std::uint32_t y = 0; y < image.Height(); ++y)
        for (std::uint32_t x = 0; x < image.Width(); ++x)
            out.push_back(image.GetPixelFn(x, y));
    return out;
}

// ---- a plain model of the box filter: one pixel and one channel at a time ----------------

struct Span
{
    std::uint64_t start, end;
};

std::vector<Span> ModelSpans(std::uint64_t size, std::uint64_t target)
{
    std::uint64_t n = size, d = target;
    if (n < d) {
        --n;
        --d;
    }
    while (d > 0 && n % 2 == 0 && d % 2 == 0) {
        n /= 2;
        d /= 2;
    }
    while (n * target * 256 > 0x7FFFFFFF) {
        n /= 2;
        d /= 2;
    }
    d = std::max<std::uint64_t>(d, 1);
    std::vector<Span> spans;
    for (std::uint64_t i = 0; i < target; ++i) {
        std::uint64_t start = i * n * 256 / d, end = (i + 1) * n * 256 / d;
        end = std::min(std::max(end, start + 256), size * 256);
        if (end <= start)
            start = size * 256 - 256, end = size * 256;
        spans.push_back({start, end});
    }
    return spans;
}

std::uint32_t WeightOf(const Span& s, std::uint64_t pixel)
{
    const std::uint64_t lo = std::max(s.start, pixel * 256), hi = std::min(s.end, pixel * 256 + 256);
    return hi > lo ? std::uint32_t(hi - lo) : 0;
}

std::uint32_t Normalised(std::uint32_t sum, std::uint32_t weight)
{
    return weight == 0 || weight == 256 ? sum : (sum << 8) / weight;
}

// Channel c (0 blue .. 3 alpha) of the filtered target pixel, from a 32-bit picture.
std::vector<std::uint32_t> ModelBox(const std::vector<std::uint32_t>& src, std::uint32_t w, std::uint32_t h,
                                    std::uint32_t nw, std::uint32_t nh, bool alphaAware, int channels)
{
    const std::vector<Span> xs = ModelSpans(w, nw), ys = ModelSpans(h, nh);
    std::vector<std::uint32_t> out(std::size_t(nw) * nh, 0);
    for (std::uint32_t ty = 0; ty < nh; ++ty) {
        const std::uint32_t ySpan = std::uint32_t(ys[ty].end - ys[ty].start);
        // Rows first: one value per source column and channel, plus the colour weight.
        std::vector<std::uint32_t> line(std::size_t(w) * 4), colourWeight(w);
        for (std::uint32_t x = 0; x < w; ++x) {
            std::uint32_t sums[4] = {};
            for (std::uint32_t y = 0; y < h; ++y) {
                const std::uint32_t wt = WeightOf(ys[ty], y);
                if (wt == 0)
                    continue;
                const std::uint32_t p = src[std::size_t(y) * w + x];
                const bool counts = !alphaAware || (p >> 24) != 0;
                for (int c = 0; c < channels; ++c)
                    if (c == 3 || counts)
                        sums[c] += (((p >> (8 * c)) & 0xFF) * wt) >> 8;
                if (counts)
                    colourWeight[x] += wt;
            }
            for (int c = 0; c < channels; ++c)
                line[4 * x + c] = alphaAware && c < 3 ? Normalised(sums[c], colourWeight[x])
                                                      : Normalised(sums[c], ySpan);
        }
        for (std::uint32_t tx = 0; tx < nw; ++tx) {
            const std::uint32_t xSpan = std::uint32_t(xs[tx].end - xs[tx].start);
            std::uint32_t sums[4] = {}, weight = 0;
            for (std::uint32_t x = 0; x < w; ++x) {
                const std::uint32_t wt = WeightOf(xs[tx], x);
                if (wt == 0)
                    continue;
                const bool counts = !alphaAware || colourWeight[x] != 0;
                for (int c = 0; c < channels; ++c)
                    if (c == 3 || counts)
                        sums[c] += (line[4 * x + c] * wt) >> 8;
                if (counts)
                    weight += wt;
            }
            std::uint32_t pixel = 0;
            for (int c = 0; c < channels; ++c) {
                const std::uint32_t v = alphaAware && c < 3 ? Normalised(sums[c], weight) : Normalised(sums[c], xSpan);
                pixel |= v << (8 * c);
            }
            out[std::size_t(ty) * nw + tx] = pixel;
        }
    }
    return out;
}

// ---- tests -----------------------------------------------------------------------------------

TEST(Resample, ResultFormat)
{
    struct
    {
        int srcBpp;
        std::uint32_t flags;
        int result;
    } const cases[] = {{8, 0, 8}, {8, 1, 24}, {8, 2, 32}, {8, 3, 32}, {4, 0, 4}, {12, 1, 24}, {16, 0, 16},
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
    struct
    {
        const char* name;
        int bpp;
        std::uint32_t w, h, nw, nh;
        std::vector<std::uint32_t> src, expected;
    } const cases[] = {
        {"halve 8 bit", 8, 4, 1, 2, 1, {10, 11, 12, 13}, {10, 12}},
        {"enlarge 8 bit", 8, 2, 1, 5, 1, {10, 11}, {10, 10, 10, 11, 11}},
        {"rows repeat", 24, 1, 2, 1, 4, {0x111111, 0x222222}, {0x111111, 0x111111, 0x222222, 0x222222}},
        {"4 bit packed", 4, 3, 1, 6, 1, {1, 2, 3}, {1, 1, 2, 2, 3, 3}},
        {"12 bit pairs", 12, 2, 1, 3, 1, {0x102030, 0x405060}, {0x102030, 0x102030, 0x405060}},
        {"32 bit keeps alpha", 32, 2, 2, 1, 1, {0x80102030, 1, 2, 3}, {0x80102030}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const CGraphicsImage src = Make(c.bpp, c.w, c.h, c.src);
        CGraphicsImage dst;
        ASSERT_TRUE(dst.Resample(src, c.nw, c.nh, 0));
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
    struct
    {
        const char* name;
        std::uint32_t w, h, nw, nh;
        std::vector<std::uint32_t> src, expected;
    } const cases[] = {
        // 3 -> 2: spans [0, 384) and [384, 768) in 1/256 pixels.
        {"three to two", 3, 1, 2, 1, {0x000000, 0xFFFFFF, 0xFFFFFF}, {0x545454, 0xFEFEFE}},
        {"four to two averages pairs", 4, 1, 2, 1, {0x000000, 0x0000FE, 0x000010, 0x000030}, {0x00007F, 0x000020}},
        // Enlarging maps the end pixels onto each other.
        {"corners stay corners", 2, 2, 3, 3, {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF},
         {0xFF0000, 0x7F7F00, 0x00FF00, 0x7F007F, 0x7E7F7E, 0x7FFE7F, 0x0000FF, 0x7F7FFE, 0xFFFFFF}},
        {"one pixel to many", 1, 1, 3, 2, {0x123456}, {0x123456, 0x123456, 0x123456, 0x123456, 0x123456, 0x123456}},
        {"many to one", 4, 1, 1, 1, {0x000004, 0x000008, 0x00000C, 0x000010}, {0x00000A}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const CGraphicsImage src = Make(24, c.w, c.h, c.src);
        CGraphicsImage dst;
        ASSERT_TRUE(dst.Resample(src, c.nw, c.nh, 1));
        EXPECT_EQ(dst.Bpp(), 24);
        EXPECT_EQ(PixelsOf(dst), c.expected);
    }
}

TEST(Resample, BoxFilterAlphaRules)
{
    struct
    {
        const char* name;
        std::vector<std::uint32_t> src;
        std::uint32_t expected;
    } const cases[] = {
        {"transparent pixels carry no colour", {0x00FF0000, 0xFF00FF00}, 0x7F00FF00},
        {"all transparent", {0x00FF0000, 0x0000FF00}, 0x007F7F00},
        {"all opaque", {0xFFFF0000, 0xFF00FF00}, 0xFF7F7F00},
        {"partial alphas average", {0x40FF0000, 0x80FF0000}, 0x60FF0000},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const CGraphicsImage src = Make(32, 2, 1, c.src);
        CGraphicsImage dst;
        ASSERT_TRUE(dst.Resample(src, 1, 1, 1));
        EXPECT_EQ(dst.GetPixelFn(0, 0), c.expected);
    }
}

TEST(Resample, BoxFilterMatchesPlainModel)
{
    std::mt19937 random(1234);
    struct
    {
        std::uint32_t w, h, nw, nh;
    } const sizes[] = {{7, 5, 3, 2}, {5, 7, 11, 13}, {13, 3, 4, 9}, {40, 30, 19, 10}, {9, 9, 10, 8},
                       {2, 2, 3, 3}, {64, 1, 7, 1}, {1, 64, 1, 5}, {3, 3, 1, 1}, {10, 10, 29, 31}};
    for (const auto& size : sizes) {
        for (int kind = 0; kind < 4; ++kind) {
            SCOPED_TRACE(std::to_string(size.w) + "x" + std::to_string(size.h) + " -> " + std::to_string(size.nw) +
                         "x" + std::to_string(size.nh) + " kind " + std::to_string(kind));
            std::vector<std::uint32_t> pixels(std::size_t(size.w) * size.h);
            for (std::uint32_t& p : pixels) {
                p = random() & 0xFFFFFF;
                if (kind == 1)
                    p |= 0xFF000000;
                if (kind == 2)
                    p |= (random() % 3 == 0 ? 0u : std::uint32_t(random() & 0xFF)) << 24;
            }
            const bool is32 = kind != 3;
            const CGraphicsImage src = Make(is32 ? 32 : 24, size.w, size.h, pixels);
            CGraphicsImage dst;
            ASSERT_TRUE(dst.Resample(src, size.nw, size.nh, 1));
            const int alphaKind = is32 ? src.GetAlphaKind() : -1;
            std::vector<std::uint32_t> expected =
                ModelBox(pixels, size.w, size.h, size.nw, size.nh, alphaKind == 2, alphaKind == 2 ? 4 : 3);
            if (alphaKind == 0 || alphaKind == 1)
                for (std::uint32_t& p : expected)
                    p |= alphaKind == 1 ? 0xFF000000u : 0;
            ASSERT_EQ(PixelsOf(dst), expected);
        }
    }
}

TEST(Resample, LargeSizesUseTheStepGuard)
{
    // n * size * 256 exceeds 31 bits here, so the step is coarsened; every span stays inside.
    CGraphicsImage src;
    ASSERT_TRUE(src.Create(24, 30000, 1, 0x204060));
    CGraphicsImage dst;
    ASSERT_TRUE(dst.Resample(src, 30001, 1, 1));
    EXPECT_EQ(dst.GetPixelFn(0, 0), 0x204060u);
    EXPECT_EQ(dst.GetPixelFn(30000, 0), 0x204060u);
    ASSERT_TRUE(dst.Resample(src, 29999, 1, 1));
    EXPECT_EQ(dst.GetPixelFn(29998, 0), 0x204060u);
}

TEST(Resample, FailuresWriteNothing)
{
    CGraphicsImage src;
    ASSERT_TRUE(src.Create(24, 4, 4, 0x123456));
    CGraphicsImage dst;
    EXPECT_FALSE(dst.Resample(src, 40000, 10, 1));
    EXPECT_FALSE(dst.HasPixels());
    EXPECT_EQ(dst.ErrorCode(), 1);

    CGraphicsImage empty;
    ASSERT_TRUE(empty.Create(16, 0, 5));
    EXPECT_FALSE(dst.Resample(empty, 10, 10, 1));
    EXPECT_EQ(dst.Bpp(), 16);
    EXPECT_TRUE(dst.IsEmpty());
}

TEST(Resample, AnImageCanBeResampledIntoItself)
{
    CGraphicsImage image = Make(24, 2, 1, {0x000000, 0xFEFEFE});
    ASSERT_TRUE(image.Resample(image, 1, 1, 1));
    EXPECT_EQ(image.GetPixelFn(0, 0), 0x7F7F7Fu);
}

}  // namespace

namespace {

TEST(Resample, FixedDivisionIsExactForEverySpan)
{
    // Spans reach 32768 * 256; the numerators (sum << 8) stay below 255 * span.
    std::mt19937 random(99);
    for (std::uint32_t d = 1; d <= (1u << 23); ++d) {
        const FixedDivider divide(d);
        const std::uint32_t top = 255 * d;
        for (std::uint32_t n : {0u, 1u, d - 1, d, d + 1, top - 1, top, std::uint32_t(random() % top),
                                0x7FFFFFFFu}) {
            if (divide(n) != n / d)
                FAIL() << n << " / " << d << " gave " << divide(n);
        }
    }
}

}  // namespace
