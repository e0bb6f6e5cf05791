// The PNG codec: every colour type and depth of PngSuite against an independent decoding,
// palette transparency, comments, round trips of every image format, and hostile files.

#include "imaging/GraphicsFile.h"
#include "imaging/GraphicsImage.h"
#include "imaging/formats/png/PngDeflate.h"
#include "imaging/formats/png/PngReader.h"
#include "imaging/formats/png/PngWriter.h"
#include "support/DataStream.h"
#include "tests/imaging/TestSupport.h"

#include <zlib.h>

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace {

using imgtest::Bytes;
using imgtest::LoadBytes;
using imgtest::PixelRgba;
using u32 = std::uint32_t;
constexpr auto npos = std::string::npos;

// The independent decoding as 8-bit RGBA; 16-bit samples are rounded to 8 bits.
Bytes ReferencePixels(const std::string& name)
{
    const std::string wide = imgtest::TestData("pngsuite/ref/" + name + ".rgba16");
    if (!std::filesystem::exists(wide))
        return imgtest::ReadFile(imgtest::TestData("pngsuite/ref/" + name + ".rgba"));
    const Bytes samples = imgtest::ReadFile(wide);
    Bytes narrow(samples.size() / 2);
    for (std::size_t i = 0; i < narrow.size(); ++i)
        narrow[i] = std::uint8_t(((u32{samples[2 * i]} << 8 | samples[2 * i + 1]) * 255 + 32767) / 65535);
    return narrow;
}

// Every file of the suite, interlaced or not. The bits per pixel of the loaded image follow the
// colour type and depth that end the name; palette files with transparency in use (ftb*, ftp1*)
// and grey and RGB files with a transparent colour (ftb*) become 32 bits.
TEST(PngSuite, LoadsWithTheRightPixels)
{
    const std::map<std::string, int> byType = {
        {"0g01", 1}, {"0g02", 2}, {"0g04", 4}, {"0g08", 8}, {"0g16", 8}, {"2c08", 24}, {"2c16", 24},
        {"3p01", 1}, {"3p02", 2}, {"3p04", 4}, {"3p08", 8}, {"4a08", 32}, {"4a16", 32}, {"6a08", 32},
        {"6a16", 32}};
    const auto files = imgtest::FilesIn("pngsuite", {".png"});
    EXPECT_EQ(files.size(), 60u);
    for (const auto& file : files) {
        const std::string name = file.stem().string();
        const bool transparency = name.find("ftb") != npos || (name.ends_with("3p08") && name.find("ftp1") != npos);
        const int bpp = transparency ? 32 : byType.at(name.substr(name.size() - 4));
        SCOPED_TRACE(name);
        CGraphicsImage image;
        ASSERT_EQ(LoadGraphicsFile(file.string(), image), 0) << LoadErrorText();
        EXPECT_EQ(image.Bpp(), bpp);
        // Grey files (16-bit ones scaled to 8 bits) get the whole grey palette of their depth.
        if (name.find("n0g") != npos && bpp <= 8) {
            const unsigned levels = 1u << image.Bpp();
            for (unsigned i = 0; i < levels; ++i)
                ASSERT_EQ(image.PaletteColor(i) & 0xFFFFFF, i * 255 / (levels - 1) * 0x010101u) << "entry " << i;
        }
        EXPECT_EQ(imgtest::Mismatches(image, ReferencePixels(name)), 0);
    }
}

// ---- hand-made palette files -------------------------------------------------------------------

void PutChunk(Bytes& out, std::string_view type, const Bytes& data)
{
    auto put32 = [&out](u32 value) {
        for (int shift = 24; shift >= 0; shift -= 8)
            out.push_back(std::uint8_t(value >> shift));
    };
    put32(u32(data.size()));
    const std::size_t typeStart = out.size();
    out.insert(out.end(), type.begin(), type.end());
    out.insert(out.end(), data.begin(), data.end());
    put32(u32(crc32(0, out.data() + typeStart, uInt(out.size() - typeStart))));
}

// A palette PNG; rows hold the packed pixels without filter bytes.
struct PalettePng
{
    std::uint8_t depth;
    std::vector<u32> palette;  // 0xRRGGBB
    Bytes trans;
    std::vector<Bytes> rows;
    u32 width;
    std::vector<std::pair<std::string, std::string>> texts = {};  // tEXt chunks before the pixels
    u32 height = u32(rows.size());

    Bytes Encode() const
    {
        Bytes out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
        PutChunk(out, "IHDR", {std::uint8_t(width >> 24), std::uint8_t(width >> 16), std::uint8_t(width >> 8),
                               std::uint8_t(width), std::uint8_t(height >> 24), std::uint8_t(height >> 16),
                               std::uint8_t(height >> 8), std::uint8_t(height), depth, 3, 0, 0, 0});
        for (const auto& [key, text] : texts) {
            Bytes data(key.begin(), key.end());
            data.push_back(0);
            data.insert(data.end(), text.begin(), text.end());
            PutChunk(out, "tEXt", data);
        }
        Bytes plte;
        for (const u32 colour : palette)
            plte.insert(plte.end(), {std::uint8_t(colour >> 16), std::uint8_t(colour >> 8), std::uint8_t(colour)});
        PutChunk(out, "PLTE", plte);
        if (!trans.empty())
            PutChunk(out, "tRNS", trans);
        Bytes raw;
        for (const Bytes& row : rows) {
            raw.push_back(0);  // filter type none
            raw.insert(raw.end(), row.begin(), row.end());
        }
        uLongf size = compressBound(uLong(raw.size()));
        Bytes packed(size);
        compress2(packed.data(), &size, raw.data(), uLong(raw.size()), 9);
        packed.resize(size);
        PutChunk(out, "IDAT", packed);
        PutChunk(out, "IEND", {});
        return out;
    }
};

struct ReadResult
{
    u32 colorType;
    std::string comment;
};

ReadResult ReadWithReader(const Bytes& png, CGraphicsImage& image)
{
    CDataStream stream;
    Bytes copy = png;
    EXPECT_TRUE(stream.OpenMemory(copy.data(), std::int32_t(copy.size()), 0));
    CPngReader reader;
    reader.Read(stream, image);
    return {reader.ColorType(), reader.Info().Comment()};
}

// Palette alpha stays in the palette while no pixel needs it; packed pixels are looked at one by
// one, so bytes of several pixels never pass for an index.
TEST(PngPaletteAlpha, BecomesThirtyTwoBitsExactlyWhenAPixelNeedsIt)
{
    // rgba: the pixels of the first row; entry1: palette entry 1 of an indexed result.
    const struct { const char* name; PalettePng png; int bpp; std::vector<u32> rgba; std::optional<u32> entry1; } cases[] = {
        {"transparent entry in use", {8, {0xFF0000, 0x00FF00}, {0}, {{0, 1, 1}}, 3}, 32,
         {0xFF000000, 0x00FF00FF, 0x00FF00FF}},
        {"index beyond the table counts as transparency", {8, {0xFF0000, 0x00FF00, 0x0000FF}, {0}, {{1, 2}}, 2}, 32,
         {0x00FF00FF, 0x0000FFFF}},
        {"only opaque entries in use", {8, {0xFF0000, 0x00FF00, 0x0000FF}, {255, 0, 255}, {{0, 2, 2}}, 3}, 8,
         {0xFF000000, 0x0000FF00, 0x0000FF00}},
        {"all opaque table", {8, {0xFF0000, 0x00FF00}, {255, 255}, {{0, 1}}, 2}, 8, {0xFF000000, 0x00FF0000}},
        // One colour throughout: a mask whose meaning lies in its alpha, shown as grey.
        {"single colour", {8, {0x112233, 0x112233}, {0, 128}, {{0, 0}}, 2}, 8, {0xFFFFFF00, 0xFFFFFF00}, 0x7F7F7F},
        {"1 bit, only the opaque entry", {1, {0x000000, 0xFFFFFF}, {0, 255}, {{0xFF}, {0xFF}}, 8}, 1,
         std::vector<u32>(8, 0xFFFFFF00)},
        {"2 bits, only opaque entries", {2, {0, 0x111111, 0x222222, 0x333333}, {255, 255, 0}, {{0x55}}, 4}, 2,
         std::vector<u32>(4, 0x11111100)},
        {"4 bits, only opaque entries", {4, {0xFF0000, 0x00FF00, 0x0000FF}, {255, 0, 255}, {{0x20, 0x20}}, 4}, 4,
         {0x0000FF00, 0xFF000000, 0x0000FF00, 0xFF000000}},
        {"4 bits, transparent entry in use", {4, {0xFF0000, 0x00FF00, 0x0000FF}, {255, 0, 255}, {{0x01, 0x20}}, 4},
         32, {0xFF0000FF, 0x00FF0000, 0x0000FFFF, 0xFF0000FF}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CGraphicsImage image;
        const ReadResult r = ReadWithReader(c.png.Encode(), image);
        EXPECT_EQ(image.Bpp(), c.bpp);
        EXPECT_EQ(r.colorType, c.bpp == 32 ? 3u | CPngReader::ColorTypeAlpha : 3u);
        for (u32 x = 0; x < c.rgba.size(); ++x)
            EXPECT_EQ(PixelRgba(image, x, 0), c.rgba[x]) << "x " << x;
        if (c.entry1) {
            EXPECT_EQ(image.PaletteColor(1) & 0xFFFFFF, *c.entry1);
        }
    }
}

// ---- comments ---------------------------------------------------------------------------------

TEST(PngComment, ChoosesCommentChunk)
{
    const struct { std::vector<std::pair<std::string, std::string>> texts; const char* expected; } cases[] = {
        {{{"Title", "title text"}, {"Comment", "comment text"}}, "comment text"},
        {{{"Comment", "comment text"}, {"Title", "title text"}}, "comment text"},
        {{{"Title", "t1"}, {"Comment", "c1"}, {"Comment", "c2"}, {"Author", "a"}}, "c2"},
        {{{"Title", "title text"}}, "title text"},
        {{}, ""},
    };
    for (const auto& c : cases) {
        CGraphicsImage image;
        EXPECT_EQ(ReadWithReader(PalettePng{8, {0xFF0000}, {}, {{0}}, 1, c.texts}.Encode(), image).comment, c.expected);
    }
}

// ---- round trips ------------------------------------------------------------------------------

using PngFileTest = imgtest::TempFolderTest;

// Every format comes back with its comment: indexed ones with their palette, true colour as 24
// bits, and 32 bits with alpha, written without a comment, as 32 bits.
TEST_F(PngFileTest, EveryFormatRoundTrips)
{
    const struct { int bpp; bool withAlpha; } formats[] = {{1, false},  {2, false},  {4, false},  {8, false}, {12, false},
                                                           {15, false}, {16, false}, {24, false}, {32, false}, {32, true}};
    for (const auto [bpp, withAlpha] : formats) {
        CGraphicsImage image, loaded;
        ASSERT_TRUE(image.Create(bpp, 13, 7, 0));
        u32 seed = 12345;
        auto next = [&seed] {
            seed = seed * 1103515245u + 12345u;
            return seed ^ (seed >> 16);
        };
        for (unsigned i = 0; i < 256; ++i)
            image.SetPaletteColor(i, next());
        for (u32 y = 0; y < 7; ++y)
            for (u32 x = 0; x < 13; ++x)
                image.SetPixelFn(x, y, next() & (!image.IsTrueColor() ? image.ValueMask() : withAlpha ? ~0u : 0xFFFFFFu));
        const std::string file = PathOf("round" + std::to_string(bpp) + (withAlpha ? "a.png" : ".png"));
        const std::string comment = withAlpha ? "" : "R\xE4tsel 7: \"Zugspitze\"";
        if (withAlpha)
            CPngWriter().Write(std::string_view(file), image, true);  // the writer's own file variant
        else
            ASSERT_EQ(SaveGraphicsFile(file, image, comment.c_str()), 0) << bpp << " " << SaveErrorText();
        std::string read = "stale";
        ASSERT_EQ(LoadGraphicsFile(file, loaded, &read), 0) << bpp << " " << LoadErrorText();
        EXPECT_EQ(read, comment);
        ASSERT_EQ(loaded.Width(), 13u);
        ASSERT_EQ(loaded.Height(), 7u);
        ASSERT_EQ(loaded.Bpp(), withAlpha ? 32 : bpp <= 8 ? bpp : 24);
        for (unsigned i = 0; !withAlpha && bpp <= 8 && i < (1u << bpp); ++i)
            EXPECT_EQ(loaded.PaletteColor(i), image.PaletteColor(i) & 0xFFFFFF) << bpp << " entry " << i;
        const u32 mask = withAlpha ? 0xFFFFFFFFu : bpp <= 8 ? 0xFFu : 0xFFFFFFu;
        for (u32 y = 0; y < 7; ++y)
            for (u32 x = 0; x < 13; ++x)
                ASSERT_EQ(loaded.GetPixelFn(x, y), image.GetPixelFn(x, y) & mask) << bpp << " at " << x << "," << y;
    }
}

// A picture above a megapixel: its rows are filtered and deflated in parts on several threads.
// Half of it is noise (a photo's kind of data), half repeats (a drawing's).
TEST_F(PngFileTest, LargePicturesRoundTripWithEveryThreadCount)
{
    for (const bool withAlpha : {false, true}) {
        CGraphicsImage image, loaded;
        ASSERT_TRUE(image.Create(32, 1100, 1000, 0));
        u32 seed = 99;
        for (u32 y = 0; y < 1000; ++y)
            for (u32 x = 0; x < 1100; ++x) {
                seed = seed * 1103515245u + 12345u;
                const u32 value = x < 550 ? seed ^ (seed >> 13) : ((x / 8 + y / 8) % 3) * 0x40302010u;
                image.SetPixelFn(x, y, withAlpha ? value : value & 0xFFFFFFu);  // no alpha: saved as RGB
            }
        const std::string file = PathOf(withAlpha ? "large-rgba.png" : "large-rgb.png");
        ASSERT_EQ(SaveGraphicsFile(file, image), 0) << SaveErrorText();
        ASSERT_EQ(LoadGraphicsFile(file, loaded), 0) << LoadErrorText();
        ASSERT_EQ(loaded.Bpp(), withAlpha ? 32 : 24);
        const u32 mask = withAlpha ? 0xFFFFFFFFu : 0xFFFFFFu;
        for (u32 y = 0; y < 1000; y += 7)
            for (u32 x = 0; x < 1100; ++x)
                ASSERT_EQ(loaded.GetPixelFn(x, y), image.GetPixelFn(x, y) & mask) << x << "," << y;

        // One stream or several joined ones: the same filtered rows.
        Bytes single;
        for (const unsigned threads : {1u, 3u}) {
            std::vector<std::uint8_t> stream;
            ASSERT_EQ(DeflatePngRows(image, withAlpha, PngCompressionForPhotos(), threads, {}, stream),
                      PngDeflateResult::Done);
            Bytes rows(std::size_t{1000} * (1100 * (withAlpha ? 4 : 3) + 1));
            uLongf size = uLongf(rows.size());
            ASSERT_EQ(uncompress(rows.data(), &size, stream.data(), uLong(stream.size())), Z_OK) << threads;
            ASSERT_EQ(size, rows.size()) << threads;
            if (threads == 1)
                single = rows;
            EXPECT_TRUE(rows == single) << threads;
        }
    }
}

TEST_F(PngFileTest, EmptyImageAndMissingFile)
{
    CGraphicsImage image;
    EXPECT_EQ(SaveGraphicsFile(PathOf("empty.png"), image), -1);
    EXPECT_EQ(SaveErrorText(), "Ung\xFCltiges Bild");
    EXPECT_EQ(imgtest::MessageOf([&] { CPngReader().Read(std::string_view(PathOf("missing.png")), image); }),
              "Fehler beim \xD6" "ffnen der Datei");
}

// Wide file names reach the same files as narrow ones, and fail with the same texts.
TEST_F(PngFileTest, WideFileNames)
{
    CGraphicsImage image, loaded;
    ASSERT_TRUE(image.Create(24, 3, 2, 0x123456));
    const std::string folder = PathOf("");
    const std::wstring file = std::wstring(folder.begin(), folder.end()) + L"wide \u00E4.png";
    CPngWriter().Write(std::wstring_view(file), image);
    EXPECT_TRUE(std::filesystem::exists(PathOf("wide \xC3\xA4.png")));  // named in UTF-8 on disk
    CPngReader().Read(std::wstring_view(file), loaded);
    EXPECT_EQ(loaded.GetPixelFn(2, 1), 0x123456u);
    EXPECT_EQ(imgtest::MessageOf([&] { CPngReader().Read(std::wstring_view(L"/nonexistent/a.png"), loaded); }),
              "Fehler beim \xD6" "ffnen der Datei");
    EXPECT_EQ(imgtest::MessageOf([&] { CPngWriter().Write(std::wstring_view(L"/nonexistent/a.png"), image); }),
              "Fehler beim Erzeugen der Datei");
}

// ---- hostile files ----------------------------------------------------------------------------

TEST(PngHostile, OversizedOrDamagedFilesFail)
{
    CGraphicsImage image;
    EXPECT_EQ(LoadBytes(PalettePng{8, {0}, {}, {{0}}, 40000}.Encode(), image), -4);
    EXPECT_EQ(LoadErrorText(), "Das Bild ist zu gro\xDF");
    // A picture larger than its data could hold is refused before its pixels are allocated.
    CGraphicsImage fresh;
    EXPECT_EQ(LoadBytes(PalettePng{8, {0}, {}, {{0}}, 30000, {}, 30000}.Encode(), fresh), -1);
    EXPECT_EQ(LoadErrorText(), "Fehler beim Lesen");
    EXPECT_FALSE(fresh.HasPixels());

    const Bytes good = PalettePng{8, {0xFF0000, 0x00FF00}, {}, {{0, 1, 0, 1}, {1, 0, 1, 0}}, 4}.Encode();
    Bytes badCrc = good;
    badCrc[29] ^= 0x01;  // the IHDR checksum
    EXPECT_EQ(LoadBytes(badCrc, image), -1);
    EXPECT_NE(LoadErrorText().find("CRC"), std::string_view::npos) << LoadErrorText();
    EXPECT_EQ(LoadBytes(Bytes(good.begin(), good.end() - 20), image), -1);
    EXPECT_FALSE(LoadErrorText().empty());
    EXPECT_EQ(LoadBytes(Bytes(good.begin(), good.begin() + 8), image), -1);
    EXPECT_EQ(LoadErrorText(), "Fehler beim Lesen");
}

TEST(PngHostile, KnownCrashersLoadOrFail)
{
    for (const char* folder : imgtest::kHostileFolders) {
        const auto files = imgtest::FilesIn(folder, {".png"});
        EXPECT_GT(files.size(), 5u) << folder;
        imgtest::LoadEachOrFail(files);
    }
}

TEST(PngResource, StarBitmapsLoadFromEmbeddedResources)
{
    CGraphicsImage star;
    ASSERT_TRUE(star.LoadFromResource(149));
    EXPECT_FALSE(star.LoadFromResource(9999));
    EXPECT_TRUE(star.IsEmpty());
}

}  // namespace
