// The BMP, PNM and XWD codecs: every fixture against another program's decoding (the BMP Suite
// against ImageMagick, netpbm's files against netpbm, window dumps of xwd and ImageMagick against
// ImageMagick), hostile files, and written files as ImageMagick and Pillow read them; stops of
// these and other codecs.

#include "imaging/formats/bmp/BmpReader.h"
#include "imaging/formats/bmp/BmpWriter.h"
#include "imaging/formats/gif/GifReader.h"
#include "imaging/formats/gif/GifWriter.h"
#include "imaging/GraphicsException.h"
#include "imaging/GraphicsFile.h"
#include "imaging/GraphicsImage.h"
#include "imaging/formats/png/PngReader.h"
#include "imaging/formats/png/PngWriter.h"
#include "imaging/formats/pnm/PnmReader.h"
#include "imaging/formats/pnm/PnmWriter.h"
#include "imaging/formats/tls/TlsReader.h"
#include "imaging/formats/tls/TlsWriter.h"
#include "imaging/formats/xwd/XwdReader.h"
#include "imaging/formats/xwd/XwdWriter.h"
#include "tests/imaging/TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

using imgtest::Bytes;
using imgtest::BytesOf;
using imgtest::FilesIn;
using imgtest::LoadBytes;
using imgtest::Rgb;
using imgtest::TestData;
namespace fs = std::filesystem;

// Files whose reference decoding is ref/<name>.png or ref/<name>.rgb beside them; the refused
// ones give their message instead.
void ExpectReferencePixels(const std::string& folder, const std::vector<std::string>& extensions,
                           const std::map<std::string, const char*>& refused = {})
{
    const auto files = FilesIn(folder, extensions);
    EXPECT_GE(files.size(), 9u);
    for (const fs::path& file : files) {
        SCOPED_TRACE(file.filename().string());
        CGraphicsImage image;
        const int result = LoadGraphicsFile(file.string(), image);
        if (const auto it = refused.find(file.stem().string()); it != refused.end()) {
            EXPECT_EQ(result, kLoadFailed);
            EXPECT_EQ(LoadErrorText(), it->second);
            continue;
        }
        ASSERT_EQ(result, kLoadOk) << LoadErrorText();
        const fs::path ref = fs::path(TestData(folder.substr(0, folder.find('/')))) / "ref" / file.stem();
        Bytes expected = imgtest::ReadFile(ref.string() + ".rgb");
        if (expected.empty()) {
            CGraphicsImage decoded;
            ASSERT_EQ(LoadGraphicsFile(ref.string() + ".png", decoded), kLoadOk);
            expected = Rgb(decoded);
        }
        EXPECT_EQ(Rgb(image), expected);
    }
}

// 16-bit files of every mask layout and the top-down file among them.
TEST(LosslessCodecs, BmpSuiteMatchesImageMagick)
{
    ExpectReferencePixels("bmpsuite/good", {".bmp"});
}

// Damaged files fail with a message, or load where the damage is harmless.
TEST(LosslessCodecs, BmpSuiteBadFilesFailOrLoad)
{
    const auto files = FilesIn("bmpsuite/bad", {".bmp"});
    EXPECT_GE(files.size(), 20u);
    EXPECT_LT(imgtest::LoadEachOrFail(files), 10);
}

TEST(LosslessCodecs, NetpbmFilesMatchNetpbm)
{
    ExpectReferencePixels("pnm", {".pbm", ".pgm", ".ppm"});
}

TEST(LosslessCodecs, WindowDumpsMatchImageMagick)
{
    ExpectReferencePixels("xwd", {".xwd"});
}

Bytes Cat(Bytes a, const Bytes& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// A bare info header (no file header): size, width, height, planes and bits, compression, the
// image size, resolutions, colours used and important, then the colour table and the pixels.
Bytes BareBmp(std::uint32_t width, std::uint32_t height, std::uint32_t bits, std::uint32_t compression, Bytes rest)
{
    Bytes out;
    for (const std::uint32_t word : {40u, width, height, 1 | bits << 16, compression, 0u, 0u, 0u, 2u, 0u})
        out.insert(out.end(), {std::uint8_t(word), std::uint8_t(word >> 8), std::uint8_t(word >> 16), std::uint8_t(word >> 24)});
    return Cat(Cat(out, Bytes(8, 0x55)), rest);
}

Bytes XwdHeader(std::uint32_t version, std::uint32_t width, std::uint32_t height)
{
    Bytes out;
    for (const std::uint32_t field : {100u, version, 2u, 8u, width, height, 0u, 1u, 32u, 1u, 32u, 8u, width, 3u, 0u, 0u,
                                      0u, 8u, 0u, 0u, width, height, 0u, 0u, 0u})
        out.insert(out.end(), {std::uint8_t(field >> 24), std::uint8_t(field >> 16), std::uint8_t(field >> 8), std::uint8_t(field)});
    return out;
}

TEST(LosslessCodecs, HostileFilesFailBeforeTheyAllocate)
{
    constexpr const char* kBmpRead = "Fehler beim Lesen der BMP-Datei !";
    constexpr const char* kPnmRead = "Fehler beim Lesen der PNM-Datei !";
    constexpr const char* kPnmCorrupt = "Besch\xE4" "digte PNM-Datei !";
    // early: refused before the image is created.
    const struct { const char* name; Bytes file; int result; const char* message; bool early = false; } cases[] = {
        {"BMP pixels beyond the stream", BareBmp(30000, 30000, 24, 0, Bytes(64, 0)), kLoadFailed, kBmpRead, true},
        {"BMP beyond the pixel cap", BareBmp(32768, 32768, 8, 1, {0, 1}), kLoadTooBig, "Das Bild ist zu gro\xDF", true},
        {"BMP without pixels", BareBmp(0, 2, 24, 0, Bytes(64, 0)), kLoadFailed, "Besch\xE4" "digte BMP-Datei !", true},
        {"BMP of 16 bits beyond the stream", BareBmp(30000, 30000, 16, 3, Bytes(64, 0)), kLoadFailed, kBmpRead, true},
        {"BMP of 16 bits run-length coded", BareBmp(4, 2, 16, 1, Bytes(64, 0)), kLoadFailed,
         "Das Format der BMP-Datei wird nicht unterst\xFCtzt !", true},
        {"RLE delta past the right edge", BareBmp(4, 2, 8, 1, {0, 2, 5, 0, 0, 1}), kLoadFailed, kBmpRead},
        {"RLE delta past the top", BareBmp(4, 2, 8, 1, {0, 2, 0, 3, 0, 1}), kLoadFailed, kBmpRead},
        {"RLE run past the right edge", BareBmp(4, 2, 8, 1, {5, 1, 0, 1}), kLoadFailed, kBmpRead},
        {"RLE without its end", BareBmp(4, 2, 4, 2, {4, 0x12, 0, 0}), kLoadFailed, kBmpRead},
        {"RLE delta inside", BareBmp(4, 2, 4, 2, {0, 2, 3, 1, 1, 0x30, 0, 1}), kLoadOk, ""},
        {"PNM pixels beyond the stream", BytesOf("P5 20000 20000 255\n\1\2"), kLoadFailed, kPnmRead, true},
        {"PNM text samples beyond the stream", BytesOf("P3 20000 20000 255\n1 2 3"), kLoadFailed, kPnmRead, true},
        {"PNM header cut short", BytesOf("P6 3"), kLoadFailed, kPnmCorrupt, true},
        {"PNM maximum 0", BytesOf("P5 1 1 0\n\0"), kLoadFailed, kPnmCorrupt, true},
        {"PNM maximum above 65535", BytesOf("P2 1 1 65536\n0"), kLoadFailed, kPnmCorrupt, true},
        {"PNM sample not a number", BytesOf("P2 2 1 255\n0 x"), kLoadFailed, kPnmRead},
        {"PBM digit other than 0 and 1", BytesOf("P1 2 1\n0 2"), kLoadFailed, kPnmRead},
        {"XWD header above 256 bytes", [] { Bytes b = XwdHeader(7, 4, 4); b[2] = 1; return b; }(), kLoadFailed,
         "Die Datei ist keine XWD-Datei !", true},
        {"XWD pixels beyond the stream", Cat(XwdHeader(7, 30000, 30000), Bytes(64, 0)), kLoadFailed,
         "Fehler beim Lesen der XWD-Datei !", true},
        {"XWD line shorter than the width", [] { Bytes b = XwdHeader(7, 8, 1); b[51] = 4; return b; }(), kLoadFailed,
         "Die Datei ist keine XWD-Datei !", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CGraphicsImage image;
        EXPECT_EQ(LoadBytes(c.file, image), c.result);
        EXPECT_EQ(LoadErrorText(), c.message);
        EXPECT_FALSE(c.early && image.HasPixels());
    }
}

// The same picture in other wrappings: without its file header, with a colours-used count that
// reaches past the pixel data.
TEST(LosslessCodecs, BmpHeaderVariantsReadAlike)
{
    const Bytes pal8 = imgtest::ReadFile(TestData("bmpsuite/good/pal8.bmp"));
    Bytes manyColours = pal8;
    manyColours[46] = 0x2C;  // 300 colours
    manyColours[47] = 0x01;
    CGraphicsImage expected;
    ASSERT_EQ(LoadBytes(pal8, expected), kLoadOk);
    for (const Bytes& variant : {Bytes(pal8.begin() + 14, pal8.end()), manyColours}) {
        CGraphicsImage image;
        ASSERT_EQ(LoadBytes(variant, image), kLoadOk) << LoadErrorText();
        EXPECT_TRUE(Rgb(image) == Rgb(expected));
    }
}

using LosslessWriters = imgtest::TempFolderTest;

// A 7x5 picture with every pixel different where the format allows.
CGraphicsImage Pattern(int bpp)
{
    CGraphicsImage image;
    image.Create(bpp, 7, 5);
    for (std::uint32_t y = 0; y < 5; ++y)
        for (std::uint32_t x = 0; x < 7; ++x)
            image.SetPixelFn(x, y, bpp <= 8 ? (x + 3 * y) % (1u << bpp) : (x * 37) << 16 | (y * 51) << 8 | (x * y * 13));
    if (bpp == 1) {
        image.SetPaletteColor(0, 0x203040);  // dark, so that a bitmap stores it as 1
        image.SetPaletteColor(1, 0xF0E0D0);
    }
    return image;
}

TEST_F(LosslessWriters, WrittenFilesReadBackAlikeInPeers)
{
    for (const char* extension : {".bmp", ".pnm", ".xwd"}) {
        for (const int bpp : {1, 4, 8, 15, 24, 32}) {
            const std::string file = PathOf("out" + std::to_string(bpp) + extension);
            SCOPED_TRACE(file);
            const CGraphicsImage image = Pattern(bpp);
            ASSERT_EQ(SaveGraphicsFile(file, image), kSaveOk) << SaveErrorText();
            CGraphicsImage loaded;
            ASSERT_EQ(LoadGraphicsFile(file, loaded), kLoadOk) << LoadErrorText();
            // A bitmap keeps only which pixels are the darker colour.
            const Bytes expected = Rgb(bpp == 1 && std::string_view(extension) == ".pnm" ? loaded : image);
            EXPECT_EQ(Rgb(loaded), expected);
            EXPECT_EQ(imgtest::MagickPixels(file), expected);
            if (std::string_view(extension) == ".xwd")
                continue;  // Pillow has no XWD reader
            // Debian's Python, which has Pillow, whatever python3 comes first on the path.
            std::string pillow;
            imgtest::Shell("/usr/bin/python3 -c 'import sys; from PIL import Image; sys.stdout.buffer.write(Image.open("
                           "sys.argv[1]).convert(\"RGB\").tobytes())' '" + file + "' 2>/dev/null", &pillow);
            EXPECT_EQ(BytesOf(pillow), expected);
        }
    }
    CGraphicsImage loaded;
    ASSERT_EQ(LoadGraphicsFile(PathOf("out1.pnm"), loaded), kLoadOk);
    EXPECT_EQ(loaded.GetPixelFn(0, 0), 1u);  // the dark colour
    EXPECT_EQ(SaveGraphicsFile(PathOf("two.bmp"), Pattern(2)), kSaveFailed);
    EXPECT_EQ(SaveErrorText(), "Das Format der BMP-Datei wird nicht unterst\xFCtzt !");
    for (const char* name : {"empty.bmp", "empty.pnm", "empty.xwd"}) {
        EXPECT_EQ(SaveGraphicsFile(PathOf(name), CGraphicsImage()), kSaveFailed);
        EXPECT_EQ(SaveErrorText(), "Falsche Bild-Daten !");
    }
}

// A progress callback that asks to stop halfway ends writing and reading with the user's abort.
TEST_F(LosslessWriters, ProgressStopEndsWithUserAbort)
{
    const CGraphicsImage image = Pattern(24);
    const struct { std::unique_ptr<CGraphicsWriter> writer; std::unique_ptr<CGraphicsReader> reader; const char* name; }
        codecs[] = {
        {std::make_unique<CBmpWriter>(), std::make_unique<CBmpReader>(), "a.bmp"},
        {std::make_unique<CPnmWriter>(), std::make_unique<CPnmReader>(), "a.pnm"},
        {std::make_unique<CXwdWriter>(), std::make_unique<CXwdReader>(), "a.xwd"},
        {std::make_unique<CPngWriter>(), std::make_unique<CPngReader>(), "a.png"},
        {std::make_unique<CGifWriter>(), std::make_unique<CGifReader>(), "a.gif"},
        {std::make_unique<CTlsWriter>(), std::make_unique<CTlsReader>(), "a.tlsp"},
    };
    const auto stopHalfway = [](const CGraphicsCodecInfo&, void* calls, int, int, int percent, bool& stop) {
        ++*static_cast<int*>(calls);
        stop = percent >= 50;
    };
    for (const auto& [writer, reader, name] : codecs) {
        SCOPED_TRACE(name);
        int calls = 0;
        writer->Info().SetProgressCallback(stopHalfway, &calls);
        EXPECT_THROW(writer->Write(PathOf(name), image), EGraphicsAbort);
        EXPECT_GT(calls, 2);
        ASSERT_EQ(SaveGraphicsFile(PathOf(name), image), kSaveOk);
        reader->Info().SetProgressCallback(stopHalfway, &calls);
        CGraphicsImage loaded;
        EXPECT_THROW(reader->Read(PathOf(name), loaded), EGraphicsAbort);
    }
}

}  // namespace
