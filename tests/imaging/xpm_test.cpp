// The XPM codec: files that ImageMagick and Debian packages wrote, decoded as ImageMagick decodes
// them; our files read back in ImageMagick; colour syntax; hostile headers.

#include "imaging/GraphicsException.h"
#include "imaging/GraphicsFile.h"
#include "imaging/GraphicsImage.h"
#include "imaging/formats/xpm/XpmReader.h"
#include "tests/imaging/TestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

using imgtest::Bytes;
using imgtest::BytesOf;
using imgtest::LoadBytes;
using u32 = std::uint32_t;

// B, G, R, A of a pixel; an image without any transparency counts as opaque.
u32 Bgra(const CGraphicsImage& image, u32 x, u32 y)
{
    const std::uint8_t* p = image.RowTo32(image.Row(y)) + 4 * x;
    const u32 alpha = image.GetAlphaKind() == 0 ? 255 : p[3];
    return alpha == 0 ? 0 : u32{p[0]} | u32{p[1]} << 8 | u32{p[2]} << 16 | alpha << 24;
}

// Colours with 16 bits per channel come to 8 bits rounded a little differently by ImageMagick.
bool NearlyEqual(u32 a, u32 b)
{
    for (int shift = 0; shift < 32; shift += 8)
        if (std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF)) > 1)
            return false;
    return true;
}

// Our pixels are ImageMagick's decoding of the file, transparent pixels as 0.
void ExpectPeerPixels(const CGraphicsImage& image, const std::string& file)
{
    const Bytes rgba = imgtest::MagickPixels(file, "rgba");
    ASSERT_EQ(rgba.size(), std::size_t{4} * image.Width() * image.Height()) << file;
    for (u32 y = 0; y < image.Height(); ++y)
        for (u32 x = 0; x < image.Width(); ++x) {
            const std::uint8_t* p = &rgba[4 * (std::size_t{y} * image.Width() + x)];
            const u32 peer = p[3] == 0 ? 0 : u32{p[2]} | u32{p[1]} << 8 | u32{p[0]} << 16 | 0xFF000000u;
            ASSERT_TRUE(NearlyEqual(Bgra(image, x, y), peer)) << file << " at " << x << "," << y;
        }
}

using XpmTest = imgtest::TempFolderTest;

TEST_F(XpmTest, FilesOfOtherProgramsReadAsImageMagickReadsThem)
{
    auto files = imgtest::FilesIn("xpm", {".xpm"});
    // Whatever icons the packages of this machine ship, among them ones with more than 256 colours.
    std::error_code missing;
    for (const auto& entry : std::filesystem::directory_iterator("/usr/share/pixmaps", missing))
        if (entry.path().extension() == ".xpm")
            files.push_back(entry.path());
    for (const auto& path : files) {
        const std::string file = path.string();
        CGraphicsImage image, again;
        ASSERT_EQ(LoadGraphicsFile(file, image), 0) << file << ": " << LoadErrorText();
        ExpectPeerPixels(image, file);
        // Written again, transparency included, it reads the same here and there.
        ASSERT_EQ(SaveGraphicsFile(PathOf("again.xpm"), image), 0) << file;
        ASSERT_EQ(LoadGraphicsFile(PathOf("again.xpm"), again), 0) << file;
        ExpectPeerPixels(again, PathOf("again.xpm"));
    }
}

TEST_F(XpmTest, WrittenFilesReadBackHereAndInImageMagick)
{
    struct Case { int bpp; u32 colours; const char* valuesLine; };
    const Case cases[] = {{1, 2, "\"9 5 2 1\""}, {4, 16, "\"9 5 16 1\""}, {8, 256, "\"9 5 256 2\""},
                          {16, 45, "\"9 5 45 1\""}, {24, 45, "\"9 5 45 1\""}, {32, 45, "\"9 5 45 1\""}};
    for (const Case& c : cases) {
        CGraphicsImage image;
        ASSERT_TRUE(image.Create(c.bpp, 9, 5, 0));
        for (u32 y = 0; y < 5; ++y)
            for (u32 x = 0; x < 9; ++x)
                image.SetPixelFn(x, y, c.bpp <= 8 ? (x * 5 + y) % c.colours : (((x * 5 + y) & 7) << 21 | ((x * 5 + y) >> 3) << 13 | 0x30));
        const std::string file = PathOf("ours.xpm");
        ASSERT_EQ(SaveGraphicsFile(file, image), 0) << c.bpp;
        EXPECT_NE(imgtest::ReadText(file).find(c.valuesLine), std::string::npos) << c.bpp;
        CGraphicsImage back;
        ASSERT_EQ(LoadGraphicsFile(file, back), 0) << c.bpp;
        for (u32 y = 0; y < 5; ++y)
            for (u32 x = 0; x < 9; ++x)
                ASSERT_EQ(Bgra(back, x, y), Bgra(image, x, y) | 0xFF000000u) << c.bpp;
        ExpectPeerPixels(back, file);
    }
}

TEST_F(XpmTest, CodesAndQuantizedTrueColour)
{
    // Index 64 of a 256-entry palette is "0" then "1": base 64, least significant digit first.
    CGraphicsImage image;
    ASSERT_TRUE(image.Create(8, 1, 1, 64));
    ASSERT_EQ(SaveGraphicsFile(PathOf("one.xpm"), image), 0);
    EXPECT_NE(imgtest::ReadText(PathOf("one.xpm")).find("\"01\"};\n"), std::string::npos);

    // From 1024 distinct colours on, the picture is written with 256 colours or fewer.
    ASSERT_TRUE(image.Create(24, 64, 32, 0));
    for (u32 y = 0; y < 32; ++y)
        for (u32 x = 0; x < 64; ++x)
            image.SetPixelFn(x, y, x << 18 | y << 11 | (x ^ y) << 2);
    ASSERT_EQ(SaveGraphicsFile(PathOf("many.xpm"), image), 0) << SaveErrorText();
    CGraphicsImage back;
    ASSERT_EQ(LoadGraphicsFile(PathOf("many.xpm"), back), 0);
    EXPECT_EQ(back.Bpp(), 8);
    ExpectPeerPixels(back, PathOf("many.xpm"));
}

TEST_F(XpmTest, ColourSyntaxAndTransparency)
{
    // The pixel's expected B, G, R, A word for each colour value (two pixels: the value, then black).
    const struct { const char* line; u32 bgra; } cases[] = {
        {"c Gray50", 0xFF7F7F7F}, {"c light grey", 0xFFD3D3D3}, {"c #F0A", 0xFFFF00AA},
        {"c #1234ABCD5678", 0xFF12AB56}, {"c #FFFFFFFFFFFF", 0xFFFFFFFF}, {"m white c red", 0xFFFF0000}, {"s mask c None", 0},
        {"g4 #808080 g #102030", 0xFF102030}, {"c #800000008000 m black", 0xFF800080},
    };
    for (const auto& c : cases) {
        CGraphicsImage image;
        const std::string text = "/* XPM */ static const char * const x[] = {\n/* values */ \"2 1 2 1\",\n\"a " +
                                 std::string(c.line) + "\", \"b\tc black\",\n/* pixels */\n\"ab\"\n};\n";
        ASSERT_EQ(LoadBytes(BytesOf(text), image), 0) << c.line << ": " << LoadErrorText();
        EXPECT_EQ(Bgra(image, 0, 0), c.bgra) << c.line;
        EXPECT_EQ(Bgra(image, 1, 0), 0xFF000000u) << c.line;
    }

    // More than 256 colours with "None" among them: 32 bits with alpha.
    std::string text = "/* XPM */\nstatic char *big[] = {\n\"300 1 300 2\",\n";
    std::string row;
    for (int i = 0; i < 300; ++i) {
        const std::string code{char('A' + i / 26), char('a' + i % 26)};
        text += "\"" + code + (i == 0 ? " c None" : " c #" + std::string(1, "0123456789"[i % 10]) + "00000") + "\",\n";
        row += code;
    }
    CGraphicsImage big;
    ASSERT_EQ(LoadBytes(BytesOf(text + "\"" + row + "\"};\n"), big), 0) << LoadErrorText();
    EXPECT_EQ(big.Bpp(), 32);
    EXPECT_EQ(Bgra(big, 0, 0), 0u);
    EXPECT_EQ(Bgra(big, 13, 0), 0xFF300000u);
}

TEST_F(XpmTest, HostileAndMalformedFilesGiveClearErrors)
{
    const std::string head = "/* XPM */\nstatic char *x[] = {\n";
    const struct { std::string text; int result; const char* message; } cases[] = {
        {"static char *x[] = {\"1 1 1 1\",\"a c red\",\"a\"};", -1, "Unbekantes Format"},
        {head + "\"1 1 100000 1\",\"a c red\",\"a\"};", -1, "Zu wenige Farben definiert"},
        {head + "\"1 1 3 1\",\"a c red\",\"b c blue\"};", -1, "Zu wenige Farben definiert"},
        {head + "\"1 1 1 5\",\"abcde c red\",\"abcde\"};", -1, "Kann Format nicht verarbeiten"},
        {head + "\"1 1 1 1\",\"a c nocolour\",\"a\"};", -1, "Nicht unterst\xFCtztes Farbformat"},
        {head + "\"1 1 1 1\",\"a x red\",\"a\"};", -1, "Nicht unterst\xFCtztes Farbformat"},
        {head + "\"1 1 1 1\",\"a c #12345\",\"a\"};", -1, "Nicht unterst\xFCtztes Farbformat"},
        {head + "\"2 2 1 1\",\"a c red\",\"aa\",\"a\"};", -1, "Fehler in der Datei"},
        {head + "\"2 1 1 1\",\"a c red\",\"ab\"};", -1, "Fehler in der Datei"},
        {head + "\"2 1 1 1\",\"a c red\",\"aa};", -1, "Fehler in der Datei"},
        {head + "\"30000 30000 1 1\",\"a c red\",\"a\"};", -1, "Fehler in der Datei"},
        {head + "\"40000 1 1 1\",\"a c red\",\"a\"};", -4, "Das Bild ist zu gro\xDF"},
        {head + "\"1 99999999999 1 1\",\"a c red\",\"a\"};", -1, "Fehler in der Datei"},
        {head + "\"1 1 1\",\"a c red\",\"a\"};", -1, "Fehler in der Datei"},
        {"/* XPM */ static char *x[] = ", -1, "Unbekantes Format"},
    };
    for (const auto& c : cases) {
        CGraphicsImage image;
        EXPECT_EQ(LoadBytes(BytesOf(c.text), image), c.result) << c.text;
        EXPECT_EQ(LoadErrorText(), c.message) << c.text;
    }
    CGraphicsImage image;
    EXPECT_EQ(imgtest::MessageOf<EXpmError>([&] { CXpmReader().Read(std::string_view(PathOf("missing.xpm")), image); }),
              "Fehler beim \xD6" "ffnen der Datei");
}

}  // namespace
