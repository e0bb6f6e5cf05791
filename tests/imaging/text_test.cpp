// Bitmap-font text: parsing (also of broken fonts), measuring, placement, spacing, plotters.

#include "imaging/BitmapFont.h"
#include "imaging/GraphicsImage.h"

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;
using Metrics = std::vector<std::pair<unsigned, Bytes>>;  // id, value

// A font of the library's format. Glyphs are text rows, top row first: '#' is ink.
struct TestFontRecipe
{
    unsigned first = ' ';
    unsigned last = 'B';
    std::map<unsigned, std::vector<std::string>> glyphs;  // codes without a glyph get an empty one
    bool longHeader = false;
    std::optional<Metrics> metrics;
};

void PutLE32(Bytes& out, std::size_t at, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out[at + i] = std::uint8_t(v >> (8 * i));
}

Bytes BuildFont(const TestFontRecipe& recipe)
{
    Bytes font = {std::uint8_t(recipe.first), std::uint8_t(recipe.last)};
    if (recipe.longHeader)
        font = {0x00, 0x00, 0x46, 0x4E, 0x01, 0, 0, 0, std::uint8_t(recipe.first), std::uint8_t(recipe.first >> 8),
                std::uint8_t(recipe.last), std::uint8_t(recipe.last >> 8), 0, 0, 0, 0};
    const std::size_t table = font.size();
    const unsigned count = recipe.last - recipe.first + 1;
    font.resize(table + 4 * std::size_t(count));
    if (recipe.metrics) {
        Bytes block = {0xFF, 0x00, 0xAA, 0x55, 0, 0, 0, 0};
        for (const auto& [id, value] : *recipe.metrics) {
            block.insert(block.end(), {std::uint8_t(id >> 8), std::uint8_t(id), 0, std::uint8_t(value.size())});
            block.insert(block.end(), value.begin(), value.end());
        }
        PutLE32(block, 4, std::uint32_t(block.size()));
        font.insert(font.end(), block.begin(), block.end());
    }
    for (unsigned i = 0; i < count; ++i) {
        PutLE32(font, table + 4 * i, std::uint32_t(font.size()));
        const auto found = recipe.glyphs.find(recipe.first + i);
        const std::vector<std::string> rows = found != recipe.glyphs.end() ? found->second : std::vector<std::string>{};
        const int width = rows.empty() ? 0 : int(rows[0].size());
        font.insert(font.end(), {std::uint8_t(width), std::uint8_t(rows.size())});
        // Stored bottom row first; a set bit is background.
        for (auto row = rows.rbegin(); row != rows.rend(); ++row) {
            Bytes bytes((width + 7) / 8, 0xFF);
            for (int x = 0; x < width; ++x)
                if ((*row)[x] == '#')
                    bytes[x / 8] &= std::uint8_t(~(0x80 >> (x % 8)));
            font.insert(font.end(), bytes.begin(), bytes.end());
        }
    }
    return font;
}

// Codes ' ' to 'B': 'A' is 3 wide, 'B' 5 wide, both 4 high; ' ' is 2 wide and 6 high.
TestFontRecipe SmallFont(std::optional<Metrics> metrics = {})
{
    TestFontRecipe recipe;
    recipe.glyphs[' '] = {"..", "..", "..", "..", "..", ".."};
    recipe.glyphs['A'] = {"#..", "#..", "#..", "###"};
    recipe.glyphs['B'] = {"#####", "....#", "....#", "....#"};
    recipe.metrics = std::move(metrics);
    return recipe;
}

// Codes ' ' to '"' only, so the space (6 high) sets the line height. '!' looks like 'A', '"' like 'B'.
TestFontRecipe SpaceFont(std::optional<Metrics> metrics = {})
{
    TestFontRecipe recipe = SmallFont(std::move(metrics));
    recipe.last = '"';
    recipe.glyphs['!'] = recipe.glyphs['A'];
    recipe.glyphs['"'] = recipe.glyphs['B'];
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

CGraphicsImage IndexedCanvas(std::uint32_t width, std::uint32_t height, int background = -1)
{
    CGraphicsImage image;
    image.Create(8, width, height);
    image.SetTextPlot(&CGraphicsImage::SoftBrush, 1, 0);  // becomes the plain pixel plotter
    if (background >= 0)
        image.SetTextPlot(&CGraphicsImage::SoftBrush, std::uint32_t(background), 1);
    return image;
}

TEST(BitmapFont, RefusesOrToleratesBrokenFonts)
{
    const Bytes good = BuildFont(SmallFont());
    const struct { const char* name; Bytes font; bool accepted; } cases[] = {
        {"empty", {}, false},
        {"one byte", {0x20}, false},
        {"first above last", {0x42, 0x41, 0, 0, 0, 0, 0, 0, 0, 0}, false},
        {"offset table cut", Bytes(good.begin(), good.begin() + 40), false},
        {"long header cut to short", {0x00, 0x00, 0x46, 0x4E, 0x01, 0x02}, true},
        {"long header without table", {0x00, 0x00, 0x46, 0x4E, 1, 0, 0, 0, 0x41, 0, 0x42, 0, 0, 0, 0, 0}, false},
        {"whole", good, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CGraphicsImage image = IndexedCanvas(8, 8);
        EXPECT_EQ(image.SetFont(c.font), c.accepted);
        EXPECT_EQ(image.HasFont(), c.accepted);
        EXPECT_EQ(image.FontMetric(0), 0);
    }

    // Glyph offsets past the end, or glyph rows that do not fit, make the glyph absent.
    Bytes font = good;
    const std::size_t offsetOfB = 2 + 4 * ('B' - ' ');
    CGraphicsImage image = IndexedCanvas(8, 8);
    for (const std::size_t offset : {font.size() + 10, font.size() - 3}) {
        PutLE32(font, offsetOfB, std::uint32_t(offset));
        ASSERT_TRUE(image.SetFont(font));
        EXPECT_EQ(image.MeasureText("AB"), 3);
    }

    // No font at all, or an empty span, draws and measures nothing.
    EXPECT_EQ(IndexedCanvas(4, 4).DrawText(0, 0, "AB"), 0);
    ASSERT_FALSE(image.SetFont({}));
    EXPECT_EQ(image.DrawText(0, 0, "AB"), 0);
    EXPECT_EQ(image.MeasureText("AB"), 0);
}

TEST(BitmapFont, MetricsBlockIsReadOnlyWhenWellFormed)
{
    const struct { const char* name; Metrics records; int lengthDelta; int m0, m1, m2; } cases[] = {
        {"all three", {{0, {3}}, {1, {0xFF}}, {2, {2}}}, 0, 3, -1, 2},
        {"empty value is skipped", {{0, {}}, {2, {4}}}, 0, 0, 1, 4},
        {"record past the length ends the block", {{0, {3}}, {2, {4}}}, -2, 3, 1, 0},
        {"length below 9 means no block", {}, 0, 0, 1, 0},
        {"length above 4096 means no block", {{0, {3}}}, 5000, 0, 1, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Bytes font = BuildFont(SmallFont(c.records));
        const std::size_t block = 2 + 4 * ('B' - ' ' + 1);  // lengthDelta is added to the stored length
        PutLE32(font, block + 4, std::uint32_t(int(font[block + 4] | font[block + 5] << 8) + c.lengthDelta));
        CGraphicsImage image = IndexedCanvas(4, 4);
        ASSERT_TRUE(image.SetFont(font));
        EXPECT_EQ(std::tuple(image.FontMetric(0), image.FontMetric(1), image.FontMetric(2)),
                  std::tuple(c.m0, c.m1, c.m2));
    }
}

TEST(TextDraw, WidthAndSpacing)
{
    const struct { const char* name; std::optional<Metrics> metrics; std::int32_t requested; std::string text;
                   int width; } cases[] = {
        {"no metrics", {}, CGraphicsImage::NoSpacing, "AB", 8},
        {"font spacing", Metrics{{0, {2}}}, CGraphicsImage::NoSpacing, "ABA", 15},
        {"requested over base", Metrics{{0, {2}}, {1, {1}}}, 4, "AB", 3 + 5 + 5},
        {"negative spacing", Metrics{{0, {0xFF}}}, CGraphicsImage::NoSpacing, "AB", 7},
        {"outside the font neither draws nor advances", Metrics{{0, {2}}}, CGraphicsImage::NoSpacing,
         "A\x01Z\xFF" "B", 10},
        {"nothing drawable", Metrics{{0, {2}}}, CGraphicsImage::NoSpacing, "xyz", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Bytes font = BuildFont(SmallFont(c.metrics));
        CGraphicsImage image = IndexedCanvas(4, 4, 2);
        image.SetTextSpacing(c.requested);
        ASSERT_TRUE(image.SetFont(font));
        EXPECT_EQ(image.DrawText(0, CGraphicsImage::MeasureOnly, c.text), c.width);
        EXPECT_EQ(Picture(image), std::vector<std::string>(4, "....")) << "measuring paints nothing";
        EXPECT_EQ(image.MeasureText(c.text), c.width);
        EXPECT_EQ(image.DrawText(0, 0, c.text), c.width);
    }
}

TEST(TextDraw, GlyphsLandWhereAlignmentPutsThem)
{
    const struct { const char* name; std::uint8_t alignH, alignV; int x, y; std::vector<std::string> expected; } cases[] = {
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
    TestFontRecipe recipe = SpaceFont(Metrics{{0, {1}}});
    recipe.longHeader = true;  // the header with a signature and 16-bit codes
    const Bytes font = BuildFont(recipe);
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
    TestFontRecipe aboveSpace = SmallFont();
    aboveSpace.first = 'A';
    const struct { const char* name; TestFontRecipe recipe; std::uint8_t alignV; int offset; } cases[] = {
        // Top, middle, bottom and baseline without a drop are seen in the pictures above.
        {"baseline takes the drop", SpaceFont(Metrics{{2, {2}}}), 3, -2},
        // Starting at the space but spanning more than 32 codes, the glyph at index `first`
        // (here 32, the code '@') stands for the height; this font has an empty one there.
        {"wide range takes index first", SmallFont(), 2, 0},
        // Starting above the space, index `first` lies beyond the table: glyph 0 ('A', 4 high).
        {"index beyond the table takes glyph 0", aboveSpace, 2, 4},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Bytes font = BuildFont(c.recipe);
        CGraphicsImage image = IndexedCanvas(4, 4);
        image.SetTextAlignment(0, c.alignV);
        ASSERT_TRUE(image.SetFont(font));
        EXPECT_EQ(image.TextOffset(), c.offset);
    }
}

TEST(TextDraw, BackgroundFillsGlyphCellsAndGaps)
{
    // Spacing 2: the two gap columns between A and B take the background.
    const Bytes font = BuildFont(SmallFont(Metrics{{0, {2}}}));
    CGraphicsImage image = IndexedCanvas(10, 4, 2);
    ASSERT_TRUE(image.SetFont(font));
    EXPECT_EQ(image.DrawText(0, 0, "AB"), 10);
    EXPECT_EQ(Picture(image), (std::vector<std::string>{"#----#####", "#--------#", "#--------#", "###------#"}));

    // Spacing -1: B starts on A's last column, which is repainted with background first.
    const Bytes overlapping = BuildFont(SmallFont(Metrics{{0, {0xFF}}}));
    CGraphicsImage overlap = IndexedCanvas(8, 4, 2);
    ASSERT_TRUE(overlap.SetFont(overlapping));
    EXPECT_EQ(overlap.DrawText(0, 0, "AB"), 7);
    EXPECT_EQ(Picture(overlap), (std::vector<std::string>{"#-#####.", "#-----#.", "#-----#.", "##----#."}));
}

TEST(TextDraw, SoftBrushWeights)
{
    TestFontRecipe recipe;
    recipe.first = recipe.last = 'i';
    recipe.glyphs['i'] = {"#"};
    const Bytes font = BuildFont(recipe);

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

}  // namespace
