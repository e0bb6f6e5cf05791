// Quantize against a model that follows the historic method step by step: histogram in
// value-indexed lists, cuts that walk those lists, the first box containing a colour for each
// pixel. The fast quantizer must give the same palette, the same indices and the same progress.

#include "imaging/GraphicsImage.h"
#include "tests/imaging/TestSupport.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <vector>

namespace {

using u32 = std::uint32_t;
using Progress = std::vector<std::pair<int, int>>;  // (step, percent)

u32 Channel(u32 colour, int axis)
{
    return (colour >> (8 * axis)) & 0xFF;
}

struct ModelBox
{
    u32 min[3] = {0, 0, 0}, max[3] = {255, 255, 255}, colours = 0, pixels = 0;
    u32 Range(int axis) const { return max[axis] - min[axis]; }
    bool Holds(u32 colour) const
    {
        for (int a = 0; a < 3; ++a)
            if (Channel(colour, a) < min[a] || Channel(colour, a) > max[a])
                return false;
        return true;
    }
    int Longest() const
    {
        return Range(2) >= Range(0) && Range(2) >= Range(1) ? 2 : Range(0) >= Range(1) ? 0 : 1;
    }
};

struct Model
{
    std::map<u32, u32> count;
    std::vector<u32> lists[3][256];
    std::vector<ModelBox> boxes;

    void Split(int depth, int retries, std::size_t b, int axis)
    {
        while (boxes[b].colours != 1) {
            bool flat = boxes[b].Range(axis) == 0;
            u32 lowPixels = 0, lowColours = 0, cut = 0;
            for (u32 v = boxes[b].min[axis]; !flat && v <= boxes[b].max[axis]; ++v) {
                u32 pixels = 0, colours = 0;
                for (u32 colour : lists[axis][v])
                    if (boxes[b].Holds(colour))
                        pixels += count[colour], ++colours;
                flat = colours == boxes[b].colours;
                if (!flat && lowPixels + pixels >= boxes[b].pixels / 2) {
                    const bool all = lowPixels + pixels == boxes[b].pixels;
                    cut = all ? v - 1 : v;
                    lowPixels += all ? 0 : pixels, lowColours += all ? 0 : colours;
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
            Split(depth, 0, boxes.size() - 1, upper.Longest());
            retries = 0, axis = boxes[b].Longest();
        }
    }

    // The expected target and progress calls. Indexed sources keep indices and palette.
    void Run(const CGraphicsImage& src, CGraphicsImage& expected, Progress& progress)
    {
        expected.Create(8, src.Width(), src.Height(), 0);
        if (src.Bpp() <= 8) {
            std::memcpy(expected.Palette(), src.Palette(), 256 * sizeof(RGBQUAD));
            for (u32 y = 0; y < src.Height(); ++y)
                for (u32 x = 0; x < src.Width(); ++x)
                    expected.Row(y)[x] = std::uint8_t(src.GetPixelFn(x, y));
            return;
        }
        for (int step = 1; step <= 2; ++step) {
            for (u32 y = 0; y < src.Height(); ++y) {
                const std::uint8_t* p = src.RowTo24(src.Row(y));
                for (u32 x = 0; x < src.Width(); ++x, p += 3) {
                    const u32 colour = p[0] | p[1] << 8 | p[2] << 16;
                    if (step == 2) {
                        while (!boxes[expected.Row(y)[x]].Holds(colour))
                            ++expected.Row(y)[x];
                    } else if (count[colour]++ == 0) {
                        for (int a = 0; a < 3; ++a)
                            lists[a][p[a]].insert(lists[a][p[a]].begin(), colour);
                    }
                }
                progress.emplace_back(step, int(y * 100 / src.Height()));
            }
            progress.emplace_back(step, 100);
            if (step == 2)
                break;
            boxes.push_back({{0, 0, 0}, {255, 255, 255}, u32(count.size()), src.Width() * src.Height()});
            Split(7, 0, 0, 2);
            auto score = [](const ModelBox& b) {
                return b.colours * std::uint64_t{b.Range(0)} * b.Range(0) + b.Range(1) * b.Range(1) + b.Range(2) * b.Range(2);
            };
            while (boxes.size() < 256) {
                std::size_t best = 0;
                for (std::size_t i = 1; i < boxes.size(); ++i)
                    if (boxes[i].colours > 1 && score(boxes[i]) > score(boxes[best]))
                        best = i;
                if (boxes[best].colours == 1)
                    break;
                Split(0, 0, best, boxes[best].Longest());
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
        }
    }
};

TEST(Quantize, EqualsTheModelOnRandomPhotoLikeAndIndexedPictures)
{
    const struct { int bpp; u32 width, height, colours; } cases[] = {
        {24, 1, 1, 1},       {24, 17, 9, 1},      {24, 40, 30, 2},     {32, 33, 21, 3},    {24, 50, 40, 16},
        {32, 64, 48, 255},   {24, 64, 48, 256},   {24, 70, 50, 257},   {32, 80, 60, 300},  {24, 90, 70, 1000},
        {24, 120, 90, 5000}, {32, 100, 100, 9000}, {16, 60, 40, 50},   {16, 90, 80, 4000}, {15, 60, 40, 30},
        {15, 90, 80, 5000},  {12, 50, 50, 20},    {12, 90, 80, 4000},  {24, 128, 96, 0},   {32, 160, 120, 0},
        {16, 160, 120, 0},   {24, 3, 200, 40},    {1, 37, 11, 0},      {2, 37, 11, 0},     {4, 37, 11, 0},
        {8, 37, 11, 0},
    };
    u32 seed = 12;
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.bpp << " bpp " << c.width << "x" << c.height << " colours " << c.colours);
        CGraphicsImage src, target, expected;
        imgtest::MakePicture(src, c.bpp, c.width, c.height, {}, c.colours, ++seed);
        Progress calls, expectedCalls;
        src.SetProgressCallback([](const CGraphicsImage&, void* user, int step, int, int percent, bool&) {
            static_cast<Progress*>(user)->emplace_back(step, percent);
        }, &calls);
        ASSERT_TRUE(target.Quantize(src));
        Model().Run(src, expected, expectedCalls);
        ASSERT_EQ(target.Bpp(), 8);
        ASSERT_EQ(target.Width(), c.width);
        ASSERT_EQ(target.Height(), c.height);
        EXPECT_EQ(calls, expectedCalls);
        for (unsigned i = 0; i < 256; ++i)
            ASSERT_EQ(target.PaletteColor(i), expected.PaletteColor(i)) << "palette entry " << i;
        for (u32 y = 0; y < c.height; ++y)
            ASSERT_EQ(0, std::memcmp(target.Row(y), expected.Row(y), c.width)) << "row " << y;
    }
}

// A stop in either step and an empty source give false; the target stays 8 bits.
TEST(Quantize, FailureResults)
{
    CGraphicsImage empty, target;
    EXPECT_FALSE(target.Quantize(empty));
    EXPECT_EQ(target.Bpp(), 8);
    EXPECT_EQ(target.Width(), 0u);
    for (int stopStep : {1, 2}) {
        CGraphicsImage src;
        imgtest::MakePicture(src, 24, 30, 20, {}, 40);
        src.SetProgressCallback([](const CGraphicsImage&, void* user, int step, int, int percent, bool& stop) {
            stop = step == *static_cast<int*>(user) && percent >= 50;
        }, &stopStep);
        EXPECT_FALSE(target.Quantize(src));
        EXPECT_EQ(target.Bpp(), 8);
        EXPECT_EQ(target.Width(), 30u);
    }
}

}  // namespace
