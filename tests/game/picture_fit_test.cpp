// The puzzle picture on screens of three sizes, under answers of one and two rows: a picture that
// fits its box is drawn pixel for pixel at its own size; a larger one is scaled down into the box
// and placed as one of the scaled size, and never touches the star columns, the separators or the
// question strip.
#include "RendererFixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

namespace {

constexpr std::uint32_t kFlatColour = 0x3366CC;

struct Screen {
    int width, height;
};

struct Layout {
    Screen screen;
    const char* answer;
    int boxWidth, boxHeight;  // area width; area height - rows x 171 + 57 - 30 (cells of 64 x 114)
};

constexpr Layout kLayouts[] = {
    {{1280, 720}, "ABCDEFGHIJ", 996, 534},
    {{1280, 720}, "ABCDE|FGHIJ", 996, 363},
    {{1920, 1080}, "ABCDEFGHIJ", 1636, 894},
    {{1920, 1080}, "ABCDE|FGHIJ", 1636, 723},
    {{3840, 2160}, "ABCDEFGHIJ", 3556, 1974},
    {{3840, 2160}, "ABCDE|FGHIJ", 3556, 1803},
};

struct Picture {
    const char* name;
    int width, height;  // from the box's width and height
};

Picture PicturesFor(const Layout& l, int kind)
{
    const int w = l.boxWidth;
    const int h = l.boxHeight;
    const Picture pictures[] = {
        {"smaller", w / 2, h / 2}, {"equal", w, h},          {"wider", w + 40, h / 2},
        {"taller", w / 2, h + 40}, {"larger", w + 100, h + 60},
    };
    return pictures[kind];
}

// A pattern that tells every pixel from its neighbours, so a shift or a scale shows.
std::uint32_t PatternAt(int x, int y)
{
    return static_cast<std::uint32_t>(((x * 3 + y) & 0xFF) << 16 | ((x ^ y) & 0xFF) << 8 | ((y * 5 + x) & 0xFF));
}

void FillPattern(CGraphicsImage& picture, int width, int height)
{
    ASSERT_TRUE(picture.Create(24, width, height, 0));
    for (int y = 0; y < height; ++y) {
        std::uint8_t* row = picture.Row(y);
        for (int x = 0; x < width; ++x) {
            const std::uint32_t rgb = PatternAt(x, y);
            row[3 * x] = rgb & 0xFF;
            row[3 * x + 1] = rgb >> 8 & 0xFF;
            row[3 * x + 2] = rgb >> 16 & 0xFF;
        }
    }
}

const std::uint32_t* Row32(const CGraphicsImage& image, int y)
{
    return reinterpret_cast<const std::uint32_t*>(image.Row(y));
}

// Rows 0..41 (strip and bevel) whole, and both star columns with their separators, full height.
bool FrameEqual(const CGraphicsImage& a, const CGraphicsImage& b, int width, int height)
{
    const int side = 136 + 6;
    for (int y = 0; y < height; ++y) {
        const std::uint32_t* rowA = Row32(a, y);
        const std::uint32_t* rowB = Row32(b, y);
        const std::size_t bytes = sizeof(std::uint32_t) * side;
        if (y < 42 ? std::memcmp(rowA, rowB, sizeof(std::uint32_t) * width) != 0
                   : std::memcmp(rowA, rowB, bytes) != 0 || std::memcmp(rowA + width - side, rowB + width - side, bytes) != 0)
            return false;
    }
    return true;
}

// The box filter truncates each weighted contribution, so a flat colour comes out a few steps
// darker, the more so the more source pixels a target pixel gathers.
bool Near(std::uint32_t actual, std::uint32_t expected)
{
    for (int shift = 0; shift < 24; shift += 8)
        if (std::abs(static_cast<int>(actual >> shift & 0xFF) - static_cast<int>(expected >> shift & 0xFF)) > 6)
            return false;
    return true;
}

struct Drawn {
    explicit Drawn(const Layout& l) : f(l.screen.width, l.screen.height)
    {
        f.State().Stars = {3, 5};
        f.SetAnswer(l.answer);
    }
    RendererFixture f;
};

TEST(PictureFit, OwnSizeWhenItFitsScaledIntoTheBoxOtherwise)
{
    for (const Layout& l : kLayouts) {
        const int W = l.screen.width;
        const int H = l.screen.height;
        const int block = (l.answer[5] == '|' ? 2 : 1) * 171;
        Drawn bare(l);
        bare.f.Draw();
        for (int kind = 0; kind < 5; ++kind) {
            const Picture p = PicturesFor(l, kind);
            SCOPED_TRACE(testing::Message() << W << "x" << H << " " << l.answer << " " << p.name);
            const bool fits = p.width <= l.boxWidth && p.height <= l.boxHeight;
            Drawn d(l);
            if (fits)
                FillPattern(d.f.engine.Picture(), p.width, p.height);
            else
                ASSERT_TRUE(d.f.engine.Picture().Create(24, p.width, p.height, kFlatColour));
            d.f.Draw();

            // The largest size inside the box with the picture's aspect: the side that meets the
            // box takes its length, the other is rounded down.
            const int w = fits ? p.width : std::min<int>(l.boxWidth, std::int64_t{p.width} * l.boxHeight / p.height);
            const int h = fits ? p.height : std::min<int>(l.boxHeight, std::int64_t{p.height} * l.boxWidth / p.width);
            const int free = std::max(H - 42 - h - block + 57, 30);
            const CGameRenderer::SRect& r = d.f.renderer.PictureRect;
            EXPECT_EQ(r.w, w);
            EXPECT_EQ(r.h, h);
            EXPECT_EQ(r.x, W / 2 - w / 2);
            EXPECT_EQ(r.y, free / 3 + 42 + block - 57 + free / 3);
            EXPECT_GE(r.x, 142);
            EXPECT_LE(r.x + r.w, W - 142);
            EXPECT_LE(r.y + r.h, H);

            const CGraphicsImage& screen = d.f.target.buffer;
            EXPECT_TRUE(FrameEqual(screen, bare.f.target.buffer, W, H));
            int wrong = 0;
            for (int y = 0; y < r.h; ++y) {
                const std::uint32_t* row = Row32(screen, r.y + y) + r.x;
                for (int x = 0; x < r.w; ++x)
                    wrong += fits ? (row[x] & 0xFFFFFF) != PatternAt(x, y) : !Near(row[x], kFlatColour);
            }
            EXPECT_EQ(wrong, 0);
            // Black all round it, where it does not meet the separators.
            if (r.x > 142) {
                EXPECT_EQ(d.f.target.Rgb(r.x - 1, r.y + r.h / 2), 0u);
                EXPECT_EQ(d.f.target.Rgb(r.x + r.w, r.y + r.h / 2), 0u);
            }
            EXPECT_EQ(d.f.target.Rgb(r.x + r.w / 2, r.y - 1), 0u);
            if (r.y + r.h < H) {
                EXPECT_EQ(d.f.target.Rgb(r.x + r.w / 2, r.y + r.h), 0u);
            }
        }
    }
}

// The scaled copy is made once per box: again for a new window size or star size, not per redraw.
TEST(PictureFit, OneCopyPerBox)
{
    CShownPicture shown;
    CGraphicsImage picture;
    ASSERT_TRUE(picture.Create(24, 400, 300, kFlatColour));
    shown.Replace(picture);
    const SPictureBox small{200, 200};
    const SPictureBox large{300, 100};
    const CGraphicsImage* first = shown.ForBox(small);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->Width(), 200u);
    EXPECT_EQ(first->Height(), 150u);
    EXPECT_EQ(shown.ForBox(small), first);
    const CGraphicsImage* other = shown.ForBox(large);
    ASSERT_NE(other, nullptr);
    EXPECT_EQ(other->Width(), 133u);
    EXPECT_EQ(other->Height(), 100u);
    EXPECT_EQ(shown.ForBox(SPictureBox{400, 300}), &shown.Image());
    EXPECT_EQ(shown.ForBox(SPictureBox{0, 300}), nullptr);

    // A wide picture fills the area's width: 1636, 996 with large stars at 1280, 1132 with small.
    RendererFixture f(1920, 1080);
    ASSERT_TRUE(f.engine.Picture().Create(24, 4000, 1000, kFlatColour));
    struct Step {
        int width, height, starSize, fittedWidth, fittedHeight;
    };
    const Step steps[] = {{1920, 1080, 0, 1636, 409}, {1280, 720, 0, 996, 249}, {1280, 720, 2, 1132, 283}};
    for (const Step& step : steps) {
        f.renderer.OnSize(step.width, step.height);
        if (step.starSize != f.renderer.StarSize)
            f.renderer.SetStarSize(step.starSize);
        f.Draw();
        EXPECT_EQ(f.renderer.PictureRect.w, step.fittedWidth);
        EXPECT_EQ(f.renderer.PictureRect.h, step.fittedHeight);
        EXPECT_TRUE(Near(f.target.Rgb(f.renderer.PictureRect.x, f.renderer.PictureRect.y + 10), kFlatColour));
    }
}

}  // namespace
