#include "RendererFixture.h"

#include "game/GameColours.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

// A letter is stretched by the box filter, whose truncating 8.8 arithmetic may take a channel
// a step or two below the colour it was drawn in.
::testing::AssertionResult IsLetterColour(std::uint32_t actual, std::uint32_t expected)
{
    for (int shift = 0; shift < 24; shift += 8) {
        const int a = (actual >> shift) & 0xFF;
        const int e = (expected >> shift) & 0xFF;
        if (a > e || e - a > 3)
            return ::testing::AssertionFailure() << std::hex << actual << " is not " << expected;
    }
    return ::testing::AssertionSuccess();
}

TEST(Renderer, SeparatorsAndQuestionStripAt1080p)
{
    RendererFixture f;
    f.Draw();
    const auto& t = f.target;
    for (int k = 0; k < 6; ++k) {
        EXPECT_EQ(t.Rgb(136 + k, 500), GameColours::Bevel[k]) << "left separator column " << k;
        EXPECT_EQ(t.Rgb(1778 + k, 500), GameColours::Bevel[k]) << "right separator column " << k;
        EXPECT_EQ(t.Rgb(960, 36 + k), GameColours::Bevel[k]) << "strip bevel row " << k;
    }
    EXPECT_EQ(t.Rgb(135, 500), 0u);
    EXPECT_EQ(t.Rgb(1784, 500), 0u);
    EXPECT_EQ(t.Rgb(960, 42), 0u);
    EXPECT_EQ(f.renderer.AreaWidth, 1636);
    const std::vector<Rect>& rects = t.invalidated;
    EXPECT_NE(std::find(rects.begin(), rects.end(), Rect{136, 0, 6, 1080}), rects.end());
    EXPECT_NE(std::find(rects.begin(), rects.end(), Rect{1778, 0, 6, 1080}), rects.end());
    EXPECT_NE(std::find(rects.begin(), rects.end(), Rect{142, 0, 1636, 42}), rects.end());
    EXPECT_NE(std::find(rects.begin(), rects.end(), Rect{142, 42, 1636, 1038}), rects.end());
}

TEST(Renderer, CellSizeFollowsTheWidestRow)
{
    struct Case {
        const char* answer;
        int cellWidth, cellHeight;
    };
    const std::string longRow(200, 'A');
    const Case cases[] = {
        {"ABCDEFGHIJ", 64, 114},    // (1636 - 40) / 10 = 159, limited to 64
        {longRow.c_str(), 10, 17},  // 7, raised to 10
        {"", 10, 17},
        {"AB|CDEFGHIJKLMNOPQRSTUVWXYZ01234", 55, 98},  // 1596 / 29
    };
    for (const Case& c : cases) {
        RendererFixture f;
        f.SetAnswer(c.answer);
        f.Draw();
        EXPECT_EQ(f.renderer.CellWidth, c.cellWidth) << c.answer;
        EXPECT_EQ(f.renderer.CellHeight, c.cellHeight) << c.answer;
    }
}

TEST(Renderer, TwoRowsAboveAPicture)
{
    RendererFixture f;
    ASSERT_TRUE(f.engine.Picture().Create(24, 300, 400, 0x3366CC));
    f.SetAnswer("ABCDEFGHIJ|KLMNO");
    f.Draw();
    EXPECT_EQ(f.renderer.AnswerTop, 159);  // F = 1038 - 400 - 342 + 57 = 353
    const auto& t = f.target;
    EXPECT_EQ(t.Rgb(960, 561), 0x3366CCu);  // picture top = 159 + 342 - 57 + 117
    EXPECT_EQ(t.Rgb(960, 560), 0u);
    EXPECT_EQ(t.Rgb(810, 700), 0x3366CCu);  // left edge at 960 - 150
    EXPECT_EQ(t.Rgb(809, 700), 0u);
    // Row 0 has 10 cells from 960 - 5 * 64 = 640; row 1 has 5 cells from 960 - 2 * 64 - 32 = 800.
    EXPECT_TRUE(IsLetterColour(t.Rgb(640 + 32, 159 + 57), GameColours::CoveredCell));
    EXPECT_EQ(t.Rgb(639, 159 + 57), 0u);
    EXPECT_TRUE(IsLetterColour(t.Rgb(800 + 32, 159 + 114 + 57), GameColours::CoveredCell));
    EXPECT_EQ(t.Rgb(799, 159 + 114 + 57), 0u);
}

TEST(Renderer, CoveredShownAndBlankCells)
{
    RendererFixture f;
    f.SetAnswer("A B-C");
    f.Draw();
    const int top = f.renderer.AnswerTop;
    const int x0 = 960 - 2 * 64 - 32;  // five cells centred
    const auto centre = [&](int cell) { return f.target.Rgb(x0 + cell * 64 + 32, top + 57); };
    EXPECT_TRUE(IsLetterColour(centre(0), GameColours::CoveredCell));
    EXPECT_EQ(centre(1), 0u);  // a blank is shown from the start and stays black
    EXPECT_TRUE(IsLetterColour(centre(3), GameColours::ShownLetter));  // the hyphen is shown from the start
    EXPECT_EQ(std::count(f.glyphs.rendered.begin(), f.glyphs.rendered.end(), '*'), 1) << "kept after the first";

    f.State().Shown[2] = 1;
    f.glyphs.rendered.clear();
    f.target.invalidated.clear();
    f.renderer.DrawLetterCell(2);
    EXPECT_TRUE(IsLetterColour(centre(2), GameColours::ShownLetter));
    EXPECT_EQ(f.glyphs.rendered, std::vector<std::uint8_t>{'B'});
    EXPECT_EQ(f.target.invalidated, (std::vector<Rect>{{x0 + 2 * 64, top, 64, 114}}));
}

// An uncovered letter lands in its own cell, as a full redraw would put it: the first and the last
// letter of every row, the rows after the first included.
TEST(Renderer, UncoveredLetterLandsInItsOwnCell)
{
    const char* answer = "ABCDEFGHIJ|KLMNO|PQR";
    RendererFixture f;
    f.SetAnswer(answer);
    f.Draw();
    ASSERT_EQ(f.State().LineCount, 3);
    for (int row = 0; row < 3; ++row) {
        const int first = f.State().LineStart[static_cast<std::size_t>(row)];
        for (const int index : {first, first + f.State().LineLength[static_cast<std::size_t>(row)] - 1}) {
            f.State().Shown[static_cast<std::size_t>(index)] = 1;
            f.renderer.DrawLetterCell(index);
            RendererFixture whole;
            whole.SetAnswer(answer);
            whole.State().Shown = f.State().Shown;
            whole.Draw();
            const CGraphicsImage& a = f.target.buffer;
            const CGraphicsImage& b = whole.target.buffer;
            bool same = true;
            for (std::uint32_t y = 0; y < a.Height() && same; ++y)
                same = std::equal(a.Row(y), a.Row(y) + 4 * a.Width(), b.Row(y));
            EXPECT_TRUE(same) << "row " << row << ", letter " << index;
        }
    }
}

TEST(Renderer, StarColumnsRedrawOnlyWhatChanged)
{
    RendererFixture f;
    f.Draw();
    f.State().Stars[0] = 3;
    f.Draw();
    // Cells 0..2 of the left column light up; nothing else is drawn again.
    EXPECT_EQ(f.target.invalidated, (std::vector<Rect>{{0, 944, 136, 136}, {0, 808, 136, 136}, {0, 672, 136, 136}}));
    f.Draw();
    EXPECT_TRUE(f.target.invalidated.empty());

    f.State().PlayerState[1] = kPlayerStoppedClock;
    f.Draw();
    EXPECT_EQ(f.target.invalidated.size(), 16u);  // the whole right column
    EXPECT_EQ(f.target.Rgb(1900, 1000), 0xBCBC00u);
    f.State().PlayerState[0] = kPlayerTimedOut;
    f.State().PlayerState[1] = kPlayerTimedOut;
    f.Draw();
    EXPECT_EQ(f.target.Rgb(10, 20), 0xFF0000u);
    EXPECT_EQ(f.target.Rgb(1910, 20), 0xFF0000u);
}

// A stop that arrives while the left column is being drawn shows at the next step.
TEST(Renderer, AStopWhileDrawingShowsAtTheNextStep)
{
    RendererFixture f;
    f.target.onInvalidate = [&f] { f.State().PlayerState[0] = kPlayerStoppedClock; };
    f.Draw();
    EXPECT_EQ(f.target.Rgb(68, 1000), GameColours::PlayerState[0]);
    f.target.onInvalidate = nullptr;
    f.Draw();
    EXPECT_EQ(f.target.Rgb(68, 1000), GameColours::PlayerState[kPlayerStoppedClock]);
}

// A picture with alpha is blended onto the black background.
TEST(Renderer, APictureWithAlphaIsBlended)
{
    RendererFixture f;
    ASSERT_TRUE(f.engine.Picture().Create(32, 300, 400, 0x80FFFFFF));
    f.Draw();
    const std::uint32_t centre = f.target.Rgb(960, 700);
    EXPECT_NEAR(static_cast<int>(centre & 0xFF), 0x80, 1);
    EXPECT_EQ(centre, (centre & 0xFF) * 0x010101u);
}

TEST(Renderer, TwoRowsOfSmallStars)
{
    RendererFixture f(1920, 1080, 3);
    EXPECT_EQ(f.State().StarModulus, 25);
    f.State().Stars[0] = 7;
    f.Draw();
    // Seven stars in 68 x 68 cells, two per row: three full rows and one star in the fourth.
    const auto lit = [&](int x, int y) { return f.target.Rgb(x, y) != 0; };
    EXPECT_TRUE(lit(34, 1080 - 34));
    EXPECT_TRUE(lit(68 + 34, 1080 - 34));
    EXPECT_TRUE(lit(34, 1080 - 3 * 68 - 34));
    EXPECT_FALSE(lit(68 + 34, 1080 - 3 * 68 - 34));

    f.renderer.SetStarSize(0);
    EXPECT_EQ(f.target.fullRedraws, 1);
    EXPECT_EQ(f.State().StarModulus, 8);
    f.State().Stars[0] = 20;  // above the new modulus: all 16 cells stay lit
    f.Draw();
    EXPECT_TRUE(lit(68, 1080 - 6 * 136 - 68));  // the seventh cell, the highest wholly on screen
}

TEST(Renderer, LongQuestionsFallBackToSmallerFonts)
{
    RendererFixture f;
    const std::string shortQuestion = "Was ist hier zu sehen ?";
    SetFieldText(f.State().Question, shortQuestion);
    f.Draw();
    const auto inkRows = [&] {
        int top = -1, bottom = -1;
        for (int y = 0; y < 36; ++y)
            for (int x = 142; x < 1778; ++x)
                if (f.target.Rgb(x, y) != 0) {
                    if (top < 0)
                        top = y;
                    bottom = y;
                    break;
                }
        return std::pair{top, bottom};
    };
    const auto [bigTop, bigBottom] = inkRows();
    ASSERT_GE(bigTop, 0) << "the question was not drawn";

    SetFieldText(f.State().Question, std::string(250, 'W'));
    f.State().QuestionDirty = 1;
    f.Draw();
    const auto [smallTop, smallBottom] = inkRows();
    EXPECT_GT(smallTop, bigTop);  // the small font is drawn lower, at y = 11
    EXPECT_LT(smallBottom - smallTop, bigBottom - bigTop);
    EXPECT_EQ(f.target.invalidated, (std::vector<Rect>{{142, 0, 1636, 42}}));
}

}  // namespace
