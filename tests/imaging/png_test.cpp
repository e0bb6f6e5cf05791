// The PNG codec: every colour type and depth of PngSuite against an independent decoding,
// palette transparency, comments, round trips of every image format, and hostile files.

#include "imaging/GraphicsException.h"
#include "imaging/GraphicsFile.h"
#include "imaging/GraphicsImage.h"
#include "imaging/PngReader.h"
#include "imaging/PngWriter.h"
#include "support/DataStream.h"
#include "tests/imaging/PngTestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

namespace {

using pngtest::Bytes;
using pngtest::CraftedPng;

constexpr int kWrongColour = -5;

// 8-bit RGBA of a pixel as the image holds it; alpha of true-colour formats below 32 bpp is 0.
std::uint32_t PixelRgba(const CGraphicsImage& image, std::uint32_t x, std::uint32_t y)
{
    const std::uint8_t* bgra = image.RowTo32(image.Row(y)) + 4 * x;
    return std::uint32_t{bgra[2]} << 24 | std::uint32_t{bgra[1]} << 16 | std::uint32_t{bgra[0]} << 8 | bgra[3];
}

// The independent decoding as 8-bit RGBA; 16-bit samples are rounded to 8 bits.
Bytes ReferencePixels(const std::string& name)
{
    const auto wide = pngtest::TestData("pngsuite/ref/" + name + ".rgba16");
    if (!std::filesystem::exists(wide))
        return pngtest::ReadFile(pngtest::TestData("pngsuite/ref/" + name + ".rgba"));
    const Bytes samples = pngtest::ReadFile(wide);
    Bytes narrow(samples.size() / 2);
    for (std::size_t i = 0; i < narrow.size(); ++i) {
        const std::uint32_t value = std::uint32_t{samples[2 * i]} << 8 | samples[2 * i + 1];
        narrow[i] = static_cast<std::uint8_t>((value * 255 + 32767) / 65535);
    }
    return narrow;
}

struct SuiteCase
{
    const char* file;
    int bppOrResult;  // the bits per pixel of the loaded image, or the negative load result
};

// Palette files with transparency become 32 bits exactly when a pixel needs it; see below.
const SuiteCase kSuiteCases[] = {
    {"basn0g01", 1},   {"basn0g02", 2},   {"basn0g04", 4},   {"basn0g08", 8},   {"basn0g16", 8},
    {"basn2c08", 24},  {"basn2c16", kWrongColour},            {"basn3p01", 1},   {"basn3p02", 2},
    {"basn3p04", 4},   {"basn3p08", 8},   {"basn4a08", 32},  {"basn4a16", 32},  {"basn6a08", 32},
    {"basn6a16", kWrongColour},            {"ftbbn0g01", 1},  {"ftbbn0g02", 2},  {"ftbbn0g04", 4},
    {"ftbbn2c16", kWrongColour},           {"ftbbn3p08", 32}, {"ftbgn2c16", kWrongColour},
    {"ftbgn3p08", 32}, {"ftbrn2c08", 24},  {"ftbwn0g16", 8},  {"ftbwn3p08", 32}, {"ftbyn3p08", 32},
    {"ftp0n0g08", 8},  {"ftp0n2c08", 24},  {"ftp0n3p08", 8},  {"ftp1n3p08", 32},
    {"ibasn0g01", 1},  {"ibasn0g02", 2},  {"ibasn0g04", 4},  {"ibasn0g08", 8},  {"ibasn0g16", 8},
    {"ibasn2c08", 24}, {"ibasn2c16", kWrongColour},           {"ibasn3p01", 1},  {"ibasn3p02", 2},
    {"ibasn3p04", 4},  {"ibasn3p08", 8},  {"ibasn4a08", 32}, {"ibasn4a16", 32}, {"ibasn6a08", 32},
    {"ibasn6a16", kWrongColour},           {"iftbbn0g01", 1}, {"iftbbn0g02", 2}, {"iftbbn0g04", 4},
    {"iftbbn2c16", kWrongColour},          {"iftbbn3p08", 32}, {"iftbgn2c16", kWrongColour},
    {"iftbgn3p08", 32}, {"iftbrn2c08", 24}, {"iftbwn0g16", 8}, {"iftbwn3p08", 32}, {"iftbyn3p08", 32},
    {"iftp0n0g08", 8}, {"iftp0n2c08", 24}, {"iftp0n3p08", 8}, {"iftp1n3p08", 32},
};

class PngSuiteTest : public ::testing::TestWithParam<SuiteCase>
{
};

TEST_P(PngSuiteTest, LoadsWithTheRightPixels)
{
    const SuiteCase& c = GetParam();
    CGraphicsImage image;
    const std::string file = pngtest::TestData("pngsuite/" + std::string(c.file) + ".png").string();
    const int result = LoadGraphicsFile(file, image);
    if (c.bppOrResult < 0) {
        EXPECT_EQ(result, c.bppOrResult);
        EXPECT_EQ(LoadErrorText(), "Falsches Farbformat");
        return;
    }
    ASSERT_EQ(result, 0) << LoadErrorText();
    EXPECT_EQ(image.Bpp(), c.bppOrResult);
    const Bytes reference = ReferencePixels(c.file);
    ASSERT_EQ(reference.size(), std::size_t{4} * image.Width() * image.Height());
    // Grey and RGB transparency tables are not used: only their colours are compared.
    const bool compareAlpha = image.Bpp() == 32;
    int mismatches = 0;
    for (std::uint32_t y = 0; y < image.Height(); ++y) {
        for (std::uint32_t x = 0; x < image.Width(); ++x) {
            const std::uint8_t* ref = &reference[4 * (y * image.Width() + x)];
            std::uint32_t expected = std::uint32_t{ref[0]} << 24 | std::uint32_t{ref[1]} << 16 | std::uint32_t{ref[2]} << 8;
            std::uint32_t actual = PixelRgba(image, x, y);
            if (compareAlpha)
                expected |= ref[3];
            else
                actual &= 0xFFFFFF00u;
            if (expected != actual && ++mismatches <= 3)
                ADD_FAILURE() << c.file << " pixel " << x << "," << y << std::hex << " expected " << expected
                              << " got " << actual;
        }
    }
    EXPECT_EQ(mismatches, 0);
}

INSTANTIATE_TEST_SUITE_P(Files, PngSuiteTest, ::testing::ValuesIn(kSuiteCases),
                         [](const auto& testParam) { return std::string(testParam.param.file); });

TEST(PngGrey, GreyFilesGetGreyPaletteOfTheirDepth)
{
    const std::pair<const char*, std::vector<std::uint8_t>> cases[] = {
        {"basn0g01", {0, 255}},
        {"basn0g02", {0, 85, 170, 255}},
        {"basn0g04", {0, 17, 34, 51, 68, 85, 102, 119, 136, 153, 170, 187, 204, 221, 238, 255}},
    };
    for (const auto& [file, levels] : cases) {
        CGraphicsImage image;
        ASSERT_EQ(LoadGraphicsFile(pngtest::TestData(std::string("pngsuite/") + file + ".png").string(), image), 0);
        for (std::size_t i = 0; i < levels.size(); ++i)
            EXPECT_EQ(image.PaletteColor(static_cast<unsigned>(i)) & 0xFFFFFF, levels[i] * 0x010101u) << file << " " << i;
    }
    for (const char* file : {"basn0g08", "basn0g16"}) {
        CGraphicsImage image;
        ASSERT_EQ(LoadGraphicsFile(pngtest::TestData(std::string("pngsuite/") + file + ".png").string(), image), 0);
        ASSERT_EQ(image.Bpp(), 8);
        for (unsigned i = 0; i < 256; ++i)
            ASSERT_EQ(image.PaletteColor(i) & 0xFFFFFF, i * 0x010101u) << file << " " << i;
    }
}

// ---- palette transparency ------------------------------------------------------------------

struct ReadResult
{
    int bpp = 0;
    std::uint32_t colorType = 0;
    std::string comment;
};

ReadResult ReadWithReader(const Bytes& png, CGraphicsImage& image)
{
    CDataStream stream;
    Bytes copy = png;
    EXPECT_TRUE(stream.OpenMemory(copy.data(), static_cast<std::int32_t>(copy.size()), 0));
    CPngReader reader;
    reader.Read(stream, image);
    return {image.Bpp(), reader.ColorType(), reader.Info().Comment()};
}

CraftedPng PalettePng(std::uint8_t depth, std::vector<std::uint32_t> palette, Bytes trans, std::vector<Bytes> rows,
                      std::uint32_t width)
{
    CraftedPng png;
    png.bitDepth = depth;
    png.colorType = 3;
    png.width = width;
    png.height = static_cast<std::uint32_t>(rows.size());
    png.palette = std::move(palette);
    png.trans = std::move(trans);
    png.rows = std::move(rows);
    return png;
}

TEST(PngPaletteAlpha, TransparentEntryInUseGives32BitsWithAlpha)
{
    const auto png = PalettePng(8, {0xFF0000, 0x00FF00}, {0}, {{0, 1, 1}}, 3);
    CGraphicsImage image;
    const ReadResult r = ReadWithReader(png.Encode(), image);
    EXPECT_EQ(r.bpp, 32);
    EXPECT_EQ(r.colorType, 3u | CPngReader::ColorTypeAlpha);
    EXPECT_EQ(PixelRgba(image, 0, 0), 0xFF000000u);
    EXPECT_EQ(PixelRgba(image, 1, 0), 0x00FF00FFu);
}

TEST(PngPaletteAlpha, IndexBeyondTableCountsAsUseOfTransparency)
{
    const auto png = PalettePng(8, {0xFF0000, 0x00FF00, 0x0000FF}, {0}, {{1, 2}}, 2);
    CGraphicsImage image;
    EXPECT_EQ(ReadWithReader(png.Encode(), image).bpp, 32);
    EXPECT_EQ(PixelRgba(image, 0, 0), 0x00FF00FFu);
    EXPECT_EQ(PixelRgba(image, 1, 0), 0x0000FFFFu);
}

TEST(PngPaletteAlpha, OnlyOpaqueEntriesInUseStayIndexedWithoutAlpha)
{
    const auto png = PalettePng(8, {0xFF0000, 0x00FF00, 0x0000FF}, {255, 0, 255}, {{0, 2, 2}}, 3);
    CGraphicsImage image;
    const ReadResult r = ReadWithReader(png.Encode(), image);
    EXPECT_EQ(r.bpp, 8);
    EXPECT_EQ(r.colorType, 3u);
    EXPECT_EQ(image.PaletteColor(0), 0x00FF0000u);
    EXPECT_EQ(image.PaletteColor(2), 0x000000FFu);
}

TEST(PngPaletteAlpha, AllOpaqueTableStaysIndexed)
{
    const auto png = PalettePng(8, {0xFF0000, 0x00FF00}, {255, 255}, {{0, 1}}, 2);
    CGraphicsImage image;
    EXPECT_EQ(ReadWithReader(png.Encode(), image).bpp, 8);
    EXPECT_EQ(image.PaletteColor(1), 0x0000FF00u);
}

TEST(PngPaletteAlpha, SingleColourPaletteBecomesGreyOfInverseAlpha)
{
    const auto png = PalettePng(8, {0x112233, 0x112233}, {0, 128}, {{0, 0}}, 2);
    CGraphicsImage image;
    EXPECT_EQ(ReadWithReader(png.Encode(), image).bpp, 8);
    EXPECT_EQ(image.PaletteColor(0) & 0xFFFFFF, 0xFFFFFFu);
    EXPECT_EQ(image.PaletteColor(1) & 0xFFFFFF, 0x7F7F7Fu);
}

// Packed pixels are looked at one by one: bytes of several pixels never pass for an index.
TEST(PngPaletteAlpha, PackedDepthsScanRealIndices)
{
    struct Case
    {
        const char* name;
        CraftedPng png;
    };
    const Case cases[] = {
        {"1 bit, only the opaque entry", PalettePng(1, {0x000000, 0xFFFFFF}, {0, 255}, {{0xFF}, {0xFF}}, 8)},
        {"2 bits, only opaque entries", PalettePng(2, {0, 0x111111, 0x222222, 0x333333}, {255, 255, 0}, {{0x55}}, 4)},
        {"4 bits, only opaque entries",
         PalettePng(4, {0xFF0000, 0x00FF00, 0x0000FF}, {255, 0, 255}, {{0x20, 0x20}}, 4)},
    };
    for (const Case& c : cases) {
        CGraphicsImage image;
        EXPECT_EQ(ReadWithReader(c.png.Encode(), image).bpp, c.png.bitDepth) << c.name;
    }

    const auto used = PalettePng(4, {0xFF0000, 0x00FF00, 0x0000FF}, {255, 0, 255}, {{0x01, 0x20}}, 4);
    CGraphicsImage image;
    ASSERT_EQ(ReadWithReader(used.Encode(), image).bpp, 32);
    EXPECT_EQ(PixelRgba(image, 0, 0), 0xFF0000FFu);
    EXPECT_EQ(PixelRgba(image, 1, 0), 0x00FF0000u);
    EXPECT_EQ(PixelRgba(image, 2, 0), 0x0000FFFFu);
}

// ---- comments ---------------------------------------------------------------------------------

TEST(PngComment, ChoosesCommentChunk)
{
    const struct
    {
        std::vector<std::pair<std::string, std::string>> texts;
        const char* expected;
    } cases[] = {
        {{{"Title", "title text"}, {"Comment", "comment text"}}, "comment text"},
        {{{"Comment", "comment text"}, {"Title", "title text"}}, "comment text"},
        {{{"Title", "t1"}, {"Comment", "c1"}, {"Comment", "c2"}, {"Author", "a"}}, "c2"},
        {{{"Title", "title text"}}, "title text"},
        {{}, ""},
    };
    for (const auto& c : cases) {
        auto png = PalettePng(8, {0xFF0000}, {}, {{0}}, 1);
        png.texts = c.texts;
        CGraphicsImage image;
        EXPECT_EQ(ReadWithReader(png.Encode(), image).comment, c.expected);
    }
}

class PngFileTest : public pngtest::TempFolderTest
{
};

TEST_F(PngFileTest, CommentRoundTrip)
{
    CGraphicsImage image;
    ASSERT_TRUE(image.Create(24, 3, 2, 0x808080));
    const std::string comment = "R\xE4tsel 7: \"Zugspitze\"";
    ASSERT_EQ(SaveGraphicsFile(PathOf("c.png"), image, comment.c_str()), 0) << SaveErrorText();
    CGraphicsImage loaded;
    std::string read;
    ASSERT_EQ(LoadGraphicsFile(PathOf("c.png"), loaded, &read), 0);
    EXPECT_EQ(read, comment);

    ASSERT_EQ(SaveGraphicsFile(PathOf("none.png"), image), 0);
    ASSERT_EQ(LoadGraphicsFile(PathOf("none.png"), loaded, &read), 0);
    EXPECT_TRUE(read.empty());
}

// ---- round trips ------------------------------------------------------------------------------

void FillPattern(CGraphicsImage& image)
{
    std::uint32_t seed = 12345;
    auto next = [&seed] {
        seed = seed * 1103515245u + 12345u;
        return seed ^ (seed >> 16);
    };
    for (unsigned i = 0; i < 256; ++i)
        image.SetPaletteColor(i, next());
    for (std::uint32_t y = 0; y < image.Height(); ++y)
        for (std::uint32_t x = 0; x < image.Width(); ++x)
            image.SetPixelFn(x, y, image.IsTrueColor() ? next() : next() & image.ValueMask());
}

TEST_F(PngFileTest, EveryFormatRoundTrips)
{
    for (const int bpp : {1, 2, 4, 8, 12, 15, 16, 24, 32}) {
        CGraphicsImage image;
        ASSERT_TRUE(image.Create(bpp, 13, 7, 0));
        FillPattern(image);
        const std::string file = PathOf("round" + std::to_string(bpp) + ".png");
        ASSERT_EQ(SaveGraphicsFile(file, image), 0) << bpp << " " << SaveErrorText();
        CGraphicsImage loaded;
        ASSERT_EQ(LoadGraphicsFile(file, loaded), 0) << bpp << " " << LoadErrorText();
        ASSERT_EQ(loaded.Width(), 13u);
        ASSERT_EQ(loaded.Height(), 7u);
        if (bpp <= 8) {
            ASSERT_EQ(loaded.Bpp(), bpp);
            for (unsigned i = 0; i < (1u << bpp); ++i)
                EXPECT_EQ(loaded.PaletteColor(i), image.PaletteColor(i) & 0xFFFFFF) << bpp << " entry " << i;
        } else {
            ASSERT_EQ(loaded.Bpp(), 24) << bpp;
        }
        for (std::uint32_t y = 0; y < 7; ++y)
            for (std::uint32_t x = 0; x < 13; ++x) {
                const std::uint32_t mask = bpp <= 8 ? 0xFFu : 0xFFFFFFu;
                ASSERT_EQ(loaded.GetPixelFn(x, y), image.GetPixelFn(x, y) & mask) << bpp << " at " << x << "," << y;
            }
    }
}

TEST_F(PngFileTest, WithAlphaFlagKeeps32Bits)
{
    CGraphicsImage image;
    ASSERT_TRUE(image.Create(32, 9, 5, 0));
    FillPattern(image);
    CPngWriter writer;
    writer.Write(std::string_view(PathOf("alpha.png")), image, true);
    CGraphicsImage loaded;
    ASSERT_EQ(LoadGraphicsFile(PathOf("alpha.png"), loaded), 0);
    ASSERT_EQ(loaded.Bpp(), 32);
    for (std::uint32_t y = 0; y < 5; ++y)
        for (std::uint32_t x = 0; x < 9; ++x)
            ASSERT_EQ(loaded.GetPixelFn(x, y), image.GetPixelFn(x, y));
}

// Another decoder reads what the writer produced the same way (skipped where ImageMagick is missing).
TEST_F(PngFileTest, WrittenFilesDecodeElsewhere)
{
    if (std::system("command -v convert-im6.q16 >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "convert-im6.q16 not installed";
    for (const int bpp : {1, 4, 8, 16, 24, 32}) {
        CGraphicsImage image;
        ASSERT_TRUE(image.Create(bpp, 11, 6, 0));
        FillPattern(image);
        const std::string file = PathOf("elsewhere.png");
        CPngWriter writer;
        writer.Write(std::string_view(file), image, bpp == 32);
        const std::string raw = PathOf("elsewhere.rgba");
        ASSERT_EQ(std::system(("convert-im6.q16 '" + file + "' -depth 8 'rgba:" + raw + "'").c_str()), 0);
        const Bytes decoded = pngtest::ReadFile(raw);
        ASSERT_EQ(decoded.size(), std::size_t{4} * 11 * 6) << bpp;
        for (std::uint32_t y = 0; y < 6; ++y)
            for (std::uint32_t x = 0; x < 11; ++x) {
                const std::uint8_t* ref = &decoded[4 * (y * 11 + x)];
                const std::uint32_t expected = std::uint32_t{ref[0]} << 24 | std::uint32_t{ref[1]} << 16 |
                                               std::uint32_t{ref[2]} << 8 | (bpp == 32 ? ref[3] : 0);
                ASSERT_EQ(PixelRgba(image, x, y) & (bpp == 32 ? 0xFFFFFFFFu : 0xFFFFFF00u), expected)
                    << bpp << " at " << x << "," << y;
            }
    }
}

TEST_F(PngFileTest, EmptyImageIsRefused)
{
    CGraphicsImage image;
    EXPECT_EQ(SaveGraphicsFile(PathOf("empty.png"), image), -1);
    EXPECT_EQ(SaveErrorText(), "Ung\xFCltiges Bild");
}

TEST_F(PngFileTest, ReaderOpenErrorForMissingFile)
{
    CPngReader reader;
    CGraphicsImage image;
    try {
        reader.Read(std::string_view(PathOf("missing.png")), image);
        FAIL() << "no exception";
    } catch (const EGraphicsException& error) {
        EXPECT_STREQ(error.Message(), "Fehler beim \xD6" "ffnen der Datei");
    }
}

TEST_F(PngFileTest, ProgressStopAbortsReadingAndWriting)
{
    auto stopHalfway = [](const CGraphicsCodecInfo&, void* calls, int, int, int percent, bool& stop) {
        ++*static_cast<int*>(calls);
        stop = percent >= 50;
    };
    CGraphicsImage image;
    ASSERT_TRUE(image.Create(24, 4, 10, 0));
    int calls = 0;
    CPngWriter writer;
    writer.Info().SetProgressCallback(stopHalfway, &calls);
    try {
        writer.Write(std::string_view(PathOf("stop.png")), image);
        FAIL() << "no abort";
    } catch (const EGraphicsAbort& error) {
        EXPECT_EQ(error.Code(), 1u);
    }
    EXPECT_GT(calls, 2);

    ASSERT_EQ(SaveGraphicsFile(PathOf("full.png"), image), 0);
    CPngReader reader;
    reader.Info().SetProgressCallback(stopHalfway, &calls);
    EXPECT_THROW(reader.Read(std::string_view(PathOf("full.png")), image), EGraphicsAbort);
}

// ---- hostile files ----------------------------------------------------------------------------

int LoadBytes(const Bytes& bytes, CGraphicsImage& image)
{
    CDataStream stream;
    Bytes copy = bytes;
    EXPECT_TRUE(stream.OpenMemory(copy.data(), static_cast<std::int32_t>(copy.size()), 0));
    return LoadGraphicsStream(stream, image);
}

TEST(PngHostile, OversizedPictureIsTooBig)
{
    auto png = PalettePng(8, {0}, {}, {{0}}, 40000);
    CGraphicsImage image;
    EXPECT_EQ(LoadBytes(png.Encode(), image), -4);
    EXPECT_EQ(LoadErrorText(), "Das Bild ist zu gro\xDF");
}

TEST(PngHostile, PictureLargerThanItsDataIsRefusedBeforeAllocating)
{
    auto png = PalettePng(8, {0}, {}, {{0}}, 30000);
    png.height = 30000;
    CGraphicsImage image;
    EXPECT_EQ(LoadBytes(png.Encode(), image), -1);
    EXPECT_EQ(LoadErrorText(), "Fehler beim Lesen");
    EXPECT_FALSE(image.HasPixels());
}

TEST(PngHostile, DamagedFilesFailWithLibraryMessage)
{
    const Bytes good = PalettePng(8, {0xFF0000, 0x00FF00}, {}, {{0, 1, 0, 1}, {1, 0, 1, 0}}, 4).Encode();
    Bytes badCrc = good;
    badCrc[29] ^= 0x01;  // the IHDR checksum
    Bytes truncated(good.begin(), good.end() - 20);
    CGraphicsImage image;
    EXPECT_EQ(LoadBytes(badCrc, image), -1);
    EXPECT_NE(LoadErrorText().find("CRC"), std::string_view::npos) << LoadErrorText();
    EXPECT_EQ(LoadBytes(truncated, image), -1);
    EXPECT_FALSE(LoadErrorText().empty());
    EXPECT_EQ(LoadBytes(Bytes(good.begin(), good.begin() + 8), image), -1);
    EXPECT_EQ(LoadErrorText(), "Fehler beim Lesen");
}

TEST(PngHostile, KnownCrashersLoadOrFail)
{
    for (const char* folder : {"png-crashers", "png-badpal"}) {
        int files = 0;
        for (const auto& entry : std::filesystem::directory_iterator(pngtest::TestData(folder))) {
            if (entry.path().extension() != ".png")
                continue;
            ++files;
            CGraphicsImage image;
            const int result = LoadGraphicsFile(entry.path().string(), image);
            EXPECT_LE(result, 0) << entry.path();
            if (result == 0) {
                EXPECT_FALSE(image.IsEmpty()) << entry.path();
            } else {
                EXPECT_FALSE(LoadErrorText().empty()) << entry.path();
            }
        }
        EXPECT_GT(files, 5) << folder;
    }
}

TEST(PngResource, StarBitmapsLoadFromEmbeddedResources)
{
    CGraphicsImage star;
    ASSERT_TRUE(star.LoadFromResource(149));
    EXPECT_EQ(star.Width(), 100u);
    EXPECT_EQ(star.Height(), 95u);
    EXPECT_EQ(star.Bpp(), 32);
    EXPECT_FALSE(star.LoadFromResource(9999));
    EXPECT_TRUE(star.IsEmpty());
}

}  // namespace
