// Bitmap-font text: parsing (also of broken fonts), measuring, placement, spacing, plotters.

#include "imaging/BitmapFont.h"
#include "imaging/GraphicsImage.h"
#include "tests/imaging/TestFont.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace {

// 'A' is 3 wide, 'B' 5 wide, both 4 high; ' ' is 2 wide and 6 high.
TestFontRecipe SmallFont()
{
    TestFontRecipe recipe;
    recipe.first = ' ';
    recipe.last = 'B';
    recipe.glyphs[' '] = {{"..", "..", "..", "..", "..", ".."}};
    recipe.glyphs['A'] = {{"#..", "#..", "#..", "###"}};
    recipe.glyphs['B'] = {{"#####", "....#", "....#", "....#"}};
    return recipe;
}

// The picture of an 8-bit image as characters: '.' for index 0, '#' for 1, '-' for 2.
std::vector<std::string> Picture(const CGraphicsImage& image)
{
    std::vector<std::string> rows;
    for (std::uint32_t y = 0; y < image.Height(); ++y) {
        std::string row;
        for (std::uint32_t x = 0; x < image.Width(); ++x)
            row += ".#-?"[std::min<std::uint32_t>(image.GetPixelFn(x, y), 3)];
        rows.push_back(row);
    }
    return rows;
}

CGraphicsImage IndexedCanvas(std::uint32_t width, std::uint32_t height)
{
    CGraphicsImage image;
    image.Create(8, width, height);
    image.SetTextPlot(&CGraphicsImage::SoftBrush, 1, 0);  // becomes the plain pixel plotter
    return image;
}

TEST(BitmapFont, ParsesHeadersAndMetrics)
{
    TestFontRecipe longRecipe = SmallFont();
    longRecipe.longHeader = true;
    longRecipe.first = 0x20;
    longRecipe.last = 0x42;
    longRecipe.metrics = {{{0, {0xFE}}, {7, {1, 2, 3}}, {1, {3, 99}}, {2, {0x05}}}};
    const std::vector<std::uint8_t> font = BuildTestFont(longRecipe);
    const auto info = ParseBitmapFont(font);
    ASSERT_TRUE(info);
    EXPECT_EQ(info->headerSize, 16u);
    EXPECT_EQ(info->firstCode, 0x20u);
    EXPECT_EQ(info->lastCode, 0x42u);
    EXPECT_TRUE(info->hasMetrics);
    EXPECT_EQ(info->metrics[0], -2);
    EXPECT_EQ(info->metrics[1], 3);
    EXPECT_EQ(info->metrics[2], 5);

    const auto glyph = FindGlyph(font, *info, 'B');
    ASSERT_TRUE(glyph);
    EXPECT_EQ(glyph->width, 5u);
    EXPECT_EQ(glyph->height, 4u);
    EXPECT_TRUE(glyph->IsInk(0, 0));
    EXPECT_FALSE(glyph->IsInk(0, 1));
    EXPECT_TRUE(glyph->IsInk(4, 3));
    EXPECT_FALSE(FindGlyph(font, *info, 'C'));
    EXPECT_FALSE(FindGlyph(font, *info, 0x1F));
}

TEST(BitmapFont, RefusesOrToleratesBrokenFonts)
{
    const std::vector<std::uint8_t> good = BuildTestFont(SmallFont());
    struct
    {
        const char* name;
        std::vector<std::uint8_t> font;
        bool accepted;
        int m0;
    } cases[] = {
        {"empty", {}, false, 0},
        {"one byte", {0x20}, false, 0},
        {"first above last", {0x42, 0x41, 0, 0, 0, 0, 0, 0, 0, 0}, false, 0},
        {"offset table cut", std::vector<std::uint8_t>(good.begin(), good.begin() + 40), false, 0},
        {"long header cut to short", {0x00, 0x00, 0x46, 0x4E, 0x01, 0x02}, true, 0},
        {"long header without table", {0x00, 0x00, 0x46, 0x4E, 1, 0, 0, 0, 0x41, 0, 0x42, 0, 0, 0, 0, 0}, false, 0},
        {"whole", good, true, 0},
    };
    for (auto& c : cases) {
        SCOPED_TRACE(c.name);
        CGraphicsImage image = IndexedCanvas(8, 8);
        EXPECT_EQ(image.SetFont(c.font), c.accepted);
        EXPECT_EQ(image.HasFont(), c.accepted);
        EXPECT_EQ(image.FontMetric(0), c.m0);
    }

    // Glyph offsets past the end, or glyph rows that do not fit, make the glyph absent.
    std::vector<std::uint8_t> font = good;
    const std::size_t offsetOfB = 2 + 4 * ('B' - ' ');
    PutLE32(font, offsetOfB, std::uint32_t(font.size() + 10));
    CGraphicsImage image = IndexedCanvas(8, 8);
    ASSERT_TRUE(image.SetFont(font));
    EXPECT_EQ(image.MeasureText("AB"), 3);
    PutLE32(font, offsetOfB, std::uint32_t(font.size() - 3));
    ASSERT_TRUE(image.SetFont(font));
    EXPECT_EQ(image.MeasureText("AB"), 3);
}

TEST(BitmapFont, MetricsBlockIsReadOnlyWhenWellFormed)
{
    struct
    {
        const char* name;
        std::vector<std::pair<unsigned, std::vector<std::uint8_t>>> records;
        int lengthDelta;  // added to the stored total length
        int m0, m1, m2;
    } const cases[] = {
        {"all three", {{0, {3}}, {1, {0xFF}}, {2, {2}}}, 0, 3, -1, 2},
        {"empty value is skipped", {{0, {}}, {2, {4}}}, 0, 0, 1, 4},
        {"record past the length ends the block", {{0, {3}}, {2, {4}}}, -2, 3, 1, 0},
        {"length below 9 means no block", {}, 0, 0, 1, 0},
        {"length above 4096 means no block", {{0, {3}}}, 5000, 0, 1, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TestFontRecipe recipe = SmallFont();
        recipe.metrics = c.records;
        std::vector<std::uint8_t> font = BuildTestFont(recipe);
        const std::size_t block = 2 + 4 * (recipe.last - recipe.first + 1);
        const std::uint32_t length = font[block + 4] | font[block + 5] << 8;
        PutLE32(font, block + 4, std::uint32_t(int(length) + c.lengthDelta));
        CGraphicsImage image = IndexedCanvas(4, 4);
        ASSERT_TRUE(image.SetFont(font));
        EXPECT_EQ(image.FontMetric(0), c.m0);
        EXPECT_EQ(image.FontMetric(1), c.m1);
        EXPECT_EQ(image.FontMetric(2), c.m2);
    }
}

TEST(TextDraw, MeasuringChangesNoPixel)
{
    const std::vector<std::uint8_t> font = BuildTestFont(SmallFont());
    CGraphicsImage image;
    ASSERT_TRUE(image.Create(32, 20, 10, 0xFF102030));
    ASSERT_TRUE(image.SetFont(font));
    image.SetTextPlot(&CGraphicsImage::SoftBrush, 0x00FF00, 0);
    image.SetTextPlot(&CGraphicsImage::SoftBrush, 0xFF0000, 1);
    const std::vector<std::uint8_t> before(image.Data(), image.Data() + image.ImageSize());
    EXPECT_EQ(image.DrawText(0, CGraphicsImage::MeasureOnly, "AB A"), 3 + 5 + 2 + 3);
    EXPECT_EQ(std::vector<std::uint8_t>(image.Data(), image.Data() + image.ImageSize()), before);
}

TEST(TextDraw, WidthAndSpacing)
{
    struct
    {
        const char* name;
        std::vector<std::pair<unsigned, std::vector<std::uint8_t>>> metrics;
        std::int32_t requested;
        std::string text;
        int width;
    } const cases[] = {
        {"no metrics", {}, CGraphicsImage::NoSpacing, "AB", 8},
        {"font spacing", {{0, {2}}}, CGraphicsImage::NoSpacing, "ABA", 15},
        {"requested over base", {{0, {2}}, {1, {1}}}, 4, "AB", 3 + 5 + 5},
        {"negative spacing", {{0, {0xFF}}}, CGraphicsImage::NoSpacing, "AB", 7},
        {"outside the font neither draws nor advances", {{0, {2}}}, CGraphicsImage::NoSpacing, "A\x01Z\xFF" "B", 10},
        {"nothing drawable", {{0, {2}}}, CGraphicsImage::NoSpacing, "xyz", 0},
        {"empty text", {}, CGraphicsImage::NoSpacing, "", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TestFontRecipe recipe = SmallFont();
        if (!c.metrics.empty())
            recipe.metrics = c.metrics;
        const std::vector<std::uint8_t> font = BuildTestFont(recipe);
        CGraphicsImage image = IndexedCanvas(4, 4);
        image.SetTextSpacing(c.requested);
        ASSERT_TRUE(image.SetFont(font));
        EXPECT_EQ(image.MeasureText(c.text), c.width);
        EXPECT_EQ(image.DrawText(0, 0, c.text), c.width);
    }
}

// A font whose range starts at the space and spans few codes: the space (6 high) is the glyph
// that sets the line height. '!' looks like 'A' and '"' like 'B' of SmallFont.
TestFontRecipe SpaceFont()
{
    TestFontRecipe recipe = SmallFont();
    recipe.last = '"';
    recipe.glyphs['!'] = recipe.glyphs['A'];
    recipe.glyphs['"'] = recipe.glyphs['B'];
    return recipe;
}

TEST(TextDraw, GlyphsLandWhereAlignmentPutsThem)
{
    struct
    {
        const char* name;
        std::uint8_t alignH, alignV;
        int x, y;
        std::vector<std::string> expected;
    } const cases[] = {
        {"left top", 0, 0, 1, 1,
         {"..........", ".#...#####", ".#.......#", ".#.......#", ".###.....#", "..........", ".........."}},
        {"centred", 1, 0, 5, 0,
         {".#...#####", ".#.......#", ".#.......#", ".###.....#", "..........", "..........", ".........."}},
        {"right", 2, 0, 9, 0,
         {"#...#####.", "#.......#.", "#.......#.", "###.....#.", "..........", "..........", ".........."}},
        {"bottom", 0, 2, 0, 6,
         {"#...#####.", "#.......#.", "#.......#.", "###.....#.", "..........", "..........", ".........."}},
        {"middle", 0, 1, 0, 4,
         {"..........", "#...#####.", "#.......#.", "#.......#.", "###.....#.", "..........", ".........."}},
        {"baseline without drop", 0, 3, 0, 7,
         {"..........", "#...#####.", "#.......#.", "#.......#.", "###.....#.", "..........", ".........."}},
        {"clipped at the left", 0, 0, -2, 0,
         {"..#####...", "......#...", "......#...", "#.....#...", "..........", "..........", ".........."}},
        {"clipped at the bottom", 0, 0, 0, 5,
         {"..........", "..........", "..........", "..........", "..........", "#...#####.", "#.......#."}},
    };
    TestFontRecipe recipe = SpaceFont();
    recipe.metrics = {{{0, {1}}}};
    const std::vector<std::uint8_t> font = BuildTestFont(recipe);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CGraphicsImage image = IndexedCanvas(10, 7);
        image.SetTextAlignment(c.alignH, c.alignV);
        ASSERT_TRUE(image.SetFont(font));
        EXPECT_EQ(image.DrawText(c.x, c.y, "!\""), 9);
        EXPECT_EQ(Picture(image), c.expected);
    }
}

TEST(TextDraw, VerticalOffsetByAlignment)
{
    struct
    {
        const char* name;
        TestFontRecipe recipe;
        std::optional<std::vector<std::pair<unsigned, std::vector<std::uint8_t>>>> metrics;
        std::uint8_t alignV;
        int offset;
    } const cases[] = {
        {"top", SpaceFont(), {}, 0, 0},
        {"middle halves the space", SpaceFont(), {}, 1, 3},
        {"bottom", SpaceFont(), {}, 2, 6},
        {"baseline takes the drop", SpaceFont(), {{{2, {2}}}}, 3, -2},
        {"baseline without drop", SpaceFont(), {}, 3, 6},
        // Starting at the space but spanning more than 32 codes, the glyph at index `first`
        // (here 32, the code '@') stands for the height; this font has an empty one there.
        {"wide range takes index first", SmallFont(), {}, 2, 0},
        // Starting above the space, index `first` lies beyond the table: glyph 0 ('A', 4 high).
        {"index beyond the table takes glyph 0", [] {
             TestFontRecipe s = SmallFont();
             s.first = 'A';
             return s;
         }(), {}, 2, 4},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TestFontRecipe recipe = c.recipe;
        recipe.metrics = c.metrics;
        const std::vector<std::uint8_t> font = BuildTestFont(recipe);
        CGraphicsImage image = IndexedCanvas(4, 4);
        image.SetTextAlignment(0, c.alignV);
        ASSERT_TRUE(image.SetFont(font));
        EXPECT_EQ(image.TextOffset(), c.offset);
    }
}

TEST(TextDraw, BackgroundFillsGlyphCellsAndGaps)
{
    // Spacing 2: the two gap columns between A and B take the background.
    TestFontRecipe recipe = SmallFont();
    recipe.metrics = {{{0, {2}}}};
    std::vector<std::uint8_t> font = BuildTestFont(recipe);
    CGraphicsImage image = IndexedCanvas(10, 4);
    image.SetTextPlot(&CGraphicsImage::SoftBrush, 2, 1);
    ASSERT_TRUE(image.SetFont(font));
    EXPECT_EQ(image.DrawText(0, 0, "AB"), 10);
    EXPECT_EQ(Picture(image), (std::vector<std::string>{"#----#####", "#--------#", "#--------#", "###------#"}));

    // Spacing -1: B starts on A's last column, which is repainted with background first.
    recipe.metrics = {{{0, {0xFF}}}};
    font = BuildTestFont(recipe);
    CGraphicsImage overlap = IndexedCanvas(8, 4);
    overlap.SetTextPlot(&CGraphicsImage::SoftBrush, 2, 1);
    ASSERT_TRUE(overlap.SetFont(font));
    EXPECT_EQ(overlap.DrawText(0, 0, "AB"), 7);
    EXPECT_EQ(Picture(overlap), (std::vector<std::string>{"#-#####.", "#-----#.", "#-----#.", "##----#."}));
}

TEST(TextDraw, SoftBrushWeights)
{
    TestFontRecipe recipe;
    recipe.first = recipe.last = 'i';
    recipe.glyphs['i'] = {{"#"}};
    const std::vector<std::uint8_t> font = BuildTestFont(recipe);

    // 32-bit targets blend the alpha byte too.
    CGraphicsImage argb;
    ASSERT_TRUE(argb.Create(32, 5, 5, 0xFF000000));
    argb.SetTextPlot(&CGraphicsImage::SoftBrush, 0x0000FF00, 0);
    ASSERT_TRUE(argb.SetFont(font));
    argb.DrawText(2, 2, "i");
    EXPECT_EQ(argb.GetPixelFn(2, 2), 0x5F009F00u);  // weight 20: (255 * 12) >> 5, (255 * 20) >> 5
    EXPECT_EQ(argb.GetPixelFn(1, 2), 0xEF000F00u);  // weight 2
    EXPECT_EQ(argb.GetPixelFn(1, 1), 0xF7000700u);  // weight 1
    EXPECT_EQ(argb.GetPixelFn(0, 0), 0xFF000000u);

    CGraphicsImage rgb;
    ASSERT_TRUE(rgb.Create(24, 3, 3, 0x000000));
    rgb.SetTextPlot(&CGraphicsImage::SoftBrush, 0x00FF8000, 0);
    ASSERT_TRUE(rgb.SetFont(font));
    rgb.DrawText(0, 0, "i");  // at the corner the brush is cut by the image
    EXPECT_EQ(rgb.GetPixelFn(0, 0), 0x9F5000u);
    EXPECT_EQ(rgb.GetPixelFn(1, 0), 0x0F0800u);
    EXPECT_EQ(rgb.GetPixelFn(1, 1), 0x070400u);
    EXPECT_EQ(rgb.GetPixelFn(2, 2), 0u);
}

TEST(TextDraw, NoFontDrawsNothing)
{
    CGraphicsImage image = IndexedCanvas(4, 4);
    EXPECT_EQ(image.DrawText(0, 0, "AB"), 0);
    EXPECT_EQ(image.MeasureText("AB"), 0);
    const std::vector<std::uint8_t> font = BuildTestFont(SmallFont());
    ASSERT_TRUE(image.SetFont(font));
    ASSERT_FALSE(image.SetFont({}));
    EXPECT_EQ(image.MeasureText("AB"), 0);
}

}  // namespace
