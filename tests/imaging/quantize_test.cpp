// Quantize against a model that follows the historic method step by step: histogram in
// value-indexed lists, cuts that walk those lists, the first box containing a colour for each
// pixel. The fast quantizer must give the same palette, the same indices and the same progress.

#include "imaging/GraphicsImage.h"

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <utility>
#include <vector>

namespace {

using u32 = std::uint32_t;

u32 Channel(u32 colour, int axis)
{
    return (colour >> (8 * axis)) & 0xFF;
}

struct ModelBox
{
    u32 min[3] = {0, 0, 0};
    u32 max[3] = {255, 255, 255};
    u32 colours = 0;
    u32 pixels = 0;
    bool Holds(u32 colour) const
    {
        for (int a = 0; a < 3; ++a)
            if (Channel(colour, a) < min[a] || Channel(colour, a) > max[a])
                return false;
        return true;
    }
};

int Longest(const ModelBox& b)
{
    const u32 blue = b.max[0] - b.min[0], green = b.max[1] - b.min[1], red = b.max[2] - b.min[2];
    return red >= blue && red >= green ? 2 : blue >= red && blue >= green ? 0 : 1;
}

struct Model
{
    std::map<u32, u32> count;
    std::vector<u32> lists[3][256];
    std::vector<ModelBox> boxes;
    std::vector<std::pair<int, int>> progress;  // (step, percent)

    void Split(int depth, int retries, std::size_t b, int axis)
    {
        for (;;) {
            if (boxes[b].colours == 1)
                return;
            bool flat = boxes[b].min[axis] == boxes[b].max[axis];
            u32 lowPixels = 0, lowColours = 0, cut = 0, v = boxes[b].min[axis];
            for (; !flat; ++v) {
                EXPECT_LE(v, boxes[b].max[axis]);
                u32 pixels = 0, colours = 0;
                for (u32 colour : lists[axis][v])
                    if (boxes[b].Holds(colour))
                        pixels += count[colour], ++colours;
                flat = colours == boxes[b].colours;
                if (!flat && lowPixels + pixels >= boxes[b].pixels / 2) {
                    const bool all = lowPixels + pixels == boxes[b].pixels;
                    cut = all ? v - 1 : v;
                    lowPixels += all ? 0 : pixels;
                    lowColours += all ? 0 : colours;
                    break;
                }
                lowPixels += pixels, lowColours += colours;
            }
            if (flat) {
                if (retries++ > 1)
                    return;
                axis = (axis + 1) % 3;
                continue;
            }
            ModelBox upper = boxes[b];
            upper.min[axis] = cut + 1, upper.pixels -= lowPixels, upper.colours -= lowColours;
            boxes[b].max[axis] = cut, boxes[b].pixels = lowPixels, boxes[b].colours = lowColours;
            boxes.push_back(upper);
            if (depth-- == 0)
                return;
            Split(depth, 0, boxes.size() - 1, Longest(boxes.back()));
            retries = 0;
            axis = Longest(boxes[b]);
        }
    }

    // The expected target: palette and indices.
    void Run(const CGraphicsImage& src, CGraphicsImage& expected)
    {
        expected.Create(8, src.Width(), src.Height(), 0);
        for (u32 y = 0; y < src.Height(); ++y) {
            const std::uint8_t* p = src.RowTo24(src.Row(y));
            for (u32 x = 0; x < src.Width(); ++x, p += 3)
                if (count[p[0] | p[1] << 8 | p[2] << 16]++ == 0)
                    for (int a = 0; a < 3; ++a)
                        lists[a][p[a]].insert(lists[a][p[a]].begin(), p[0] | p[1] << 8 | p[2] << 16);
            progress.emplace_back(1, int(y * 100 / src.Height()));
        }
        progress.emplace_back(1, 100);
        ModelBox whole;
        whole.colours = u32(count.size()), whole.pixels = src.Width() * src.Height();
        boxes.push_back(whole);
        Split(7, 0, 0, 2);
        while (boxes.size() < 256) {
            std::size_t best = 0;
            std::uint64_t bestScore = 0;
            for (std::size_t i = 0; i < boxes.size(); ++i) {
                const ModelBox& b = boxes[i];
                const std::uint64_t d[3] = {b.max[0] - b.min[0], b.max[1] - b.min[1], b.max[2] - b.min[2]};
                const std::uint64_t score = b.colours * d[0] * d[0] + d[1] * d[1] + d[2] * d[2];
                if ((i == 0 || b.colours > 1) && (i == 0 || score > bestScore))
                    best = i, bestScore = score;
            }
            if (boxes[best].colours == 1)
                break;
            Split(0, 0, best, Longest(boxes[best]));
        }
        for (std::size_t i = 0; i < boxes.size(); ++i) {
            std::uint64_t n = 0, sum[3] = {};
            for (const auto& [colour, pixels] : count)
                if (boxes[i].Holds(colour)) {
                    n += pixels;
                    for (int a = 0; a < 3; ++a)
                        sum[a] += std::uint64_t{Channel(colour, a)} * pixels;
                }
            expected.SetPaletteRGB(unsigned(i), std::uint8_t((sum[2] + n / 2) / n), std::uint8_t((sum[1] + n / 2) / n),
                                   std::uint8_t((sum[0] + n / 2) / n));
        }
        for (u32 y = 0; y < src.Height(); ++y) {
            const std::uint8_t* p = src.RowTo24(src.Row(y));
            for (u32 x = 0; x < src.Width(); ++x, p += 3) {
                std::size_t i = 0;
                while (!boxes[i].Holds(p[0] | p[1] << 8 | p[2] << 16))
                    ++i;
                expected.Row(y)[x] = std::uint8_t(i);
            }
            progress.emplace_back(2, int(y * 100 / src.Height()));
        }
        progress.emplace_back(2, 100);
    }
};

void Record(const CGraphicsImage&, void* user, int step, int stepCount, int percent, bool& stop)
{
    EXPECT_EQ(stepCount, 2);
    auto* calls = static_cast<std::vector<std::pair<int, int>>*>(user);
    calls->emplace_back(step, percent);
    stop = false;
}

// Pictures drawn from `colours` random colours, or, with colours 0, a smooth photo-like scene
// with noise (gradients, soft blobs) where almost every pixel has a colour of its own.
void MakePicture(CGraphicsImage& image, int bpp, u32 width, u32 height, u32 colours, std::mt19937& random)
{
    ASSERT_TRUE(image.Create(bpp, width, height, 0));
    std::vector<u32> palette(colours);
    for (u32& c : palette)
        c = random() & 0xFFFFFF;
    std::normal_distribution<double> noise(0.0, 6.0);
    for (u32 y = 0; y < height; ++y)
        for (u32 x = 0; x < width; ++x) {
            u32 colour;
            if (colours > 0) {
                colour = palette[random() % colours];
            } else {
                const double dx = double(x) / width - 0.6, dy = double(y) / height - 0.4;
                const double blob = 120.0 / (1.0 + 30.0 * (dx * dx + dy * dy));
                auto clamp = [&](double v) { return u32(std::min(255.0, std::max(0.0, v + noise(random)))); };
                colour = clamp(60 + blob + 80.0 * y / height) << 16 | clamp(40 + 150.0 * x / width) << 8 |
                         clamp(200 - blob);
            }
            image.SetPixelFn(x, y, bpp <= 8 ? random() % (1u << bpp) : image.ColorToPixel(colour));
        }
}

TEST(Quantize, EqualsTheModelOnRandomAndPhotoLikePictures)
{
    struct Case
    {
        int bpp;
        u32 width, height, colours;
    };
    const Case cases[] = {
        {24, 1, 1, 1},    {24, 17, 9, 1},    {24, 40, 30, 2},   {32, 33, 21, 3},    {24, 50, 40, 16},
        {32, 64, 48, 255}, {24, 64, 48, 256}, {24, 70, 50, 257}, {32, 80, 60, 300}, {24, 90, 70, 1000},
        {24, 120, 90, 5000}, {32, 100, 100, 9000}, {16, 60, 40, 50}, {16, 90, 80, 4000}, {15, 60, 40, 30},
        {15, 90, 80, 5000}, {12, 50, 50, 20},  {12, 90, 80, 4000}, {24, 200, 150, 0}, {32, 160, 120, 0},
        {16, 160, 120, 0}, {24, 3, 200, 40},   {24, 256, 192, 0},
    };
    std::mt19937 random(12);
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.bpp << " bpp " << c.width << "x" << c.height << " colours " << c.colours);
        CGraphicsImage src, target, expected;
        MakePicture(src, c.bpp, c.width, c.height, c.colours, random);
        std::vector<std::pair<int, int>> calls;
        src.SetProgressCallback(Record, &calls);
        ASSERT_TRUE(target.Quantize(src));
        Model model;
        model.Run(src, expected);
        ASSERT_EQ(target.Bpp(), 8);
        ASSERT_EQ(target.Width(), c.width);
        ASSERT_EQ(target.Height(), c.height);
        EXPECT_EQ(calls, model.progress);
        for (unsigned i = 0; i < 256; ++i)
            ASSERT_EQ(target.PaletteColor(i), expected.PaletteColor(i)) << "palette entry " << i;
        for (u32 y = 0; y < c.height; ++y)
            for (u32 x = 0; x < c.width; ++x)
                ASSERT_EQ(target.Row(y)[x], expected.Row(y)[x]) << "pixel " << x << "," << y;
    }
}

TEST(Quantize, IndexedSourcesKeepTheirIndicesAndPalette)
{
    std::mt19937 random(3);
    for (int bpp : {1, 2, 4, 8}) {
        CGraphicsImage src, target;
        MakePicture(src, bpp, 37, 11, 0, random);
        src.SetPaletteRGBA(1, 10, 20, 30, 40);
        ASSERT_TRUE(target.Quantize(src));
        ASSERT_EQ(target.Bpp(), 8);
        for (unsigned i = 0; i < (1u << bpp); ++i)
            EXPECT_EQ(target.PaletteColor(i), src.PaletteColor(i));
        for (u32 y = 0; y < 11; ++y)
            for (u32 x = 0; x < 37; ++x)
                ASSERT_EQ(target.GetPixelFn(x, y), src.GetPixelFn(x, y));
    }
}

// A stop in either step and an empty source give false; the target stays 8 bits.
TEST(Quantize, FailureResults)
{
    CGraphicsImage empty, target;
    EXPECT_FALSE(target.Quantize(empty));
    EXPECT_EQ(target.Bpp(), 8);
    EXPECT_EQ(target.Width(), 0u);

    std::mt19937 random(5);
    for (int stopStep : {1, 2}) {
        CGraphicsImage src;
        MakePicture(src, 24, 30, 20, 40, random);
        src.SetProgressCallback(
            [](const CGraphicsImage&, void* user, int step, int, int percent, bool& stop) {
                stop = step == *static_cast<int*>(user) && percent >= 50;
            },
            &stopStep);
        EXPECT_FALSE(target.Quantize(src));
        EXPECT_EQ(target.Bpp(), 8);
        EXPECT_EQ(target.Width(), 30u);
    }
}

}  // namespace
