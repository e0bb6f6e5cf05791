// The EPS codec: the page our writer lays out, what Ghostscript prints of it, files of netpbm's
// pnmtops, DOS EPS binaries with a TIFF preview, and damaged files.

#include "imaging/formats/eps/EpsReader.h"
#include "imaging/GraphicsException.h"
#include "imaging/GraphicsFile.h"
#include "imaging/GraphicsImage.h"
#include "support/DataStream.h"
#include "tests/imaging/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

namespace {

using imgtest::Bytes;
using imgtest::BytesOf;
using imgtest::GreyRamp;
using imgtest::MakePicture;
using imgtest::PixelRgba;
using u32 = std::uint32_t;

class EpsTest : public imgtest::TempFolderTest
{
protected:
    std::string Save(const CGraphicsImage& image, const char* name)
    {
        const std::string file = PathOf(name);
        EXPECT_EQ(SaveGraphicsFile(file, image), kSaveOk) << SaveErrorText();
        return file;
    }
};

TEST_F(EpsTest, WriterLaysOutThePage)
{
    CGraphicsImage colour;
    MakePicture(colour, 24, 100, 100);
    const std::string text = imgtest::ReadText(Save(colour, "colour.eps"));
    const std::string header =
        "%!PS-Adobe-3.0 EPSF-3.0\n%%LanguageLevel: 2\n%%Creator: KQ-Radiz\n%%Pages: 1\n"
        "%%BoundingBox: 15 138 580 703\n%%EndComments\n%%BeginSetup\n/readstring {\n"
        "  currentfile exch readhexstring pop\n} bind def\n/rpicstr 100 string def\n/gpicstr 100 string def\n"
        "/bpicstr 100 string def\n%%EndSetup\n%%Page: 1 1\ngsave\n15.25 138.25 translate\n565 565 scale\n"
        "100 100 8\n[ 100 0 0 -100 0 100 ]\n{ rpicstr readstring }\n{ gpicstr readstring }\n"
        "{ bpicstr readstring }\ntrue 3\ncolorimage\n";
    ASSERT_EQ(text.substr(0, header.size()), header);
    // 30 000 bytes make 1000 full lines of 60 digits.
    std::istringstream data(text.substr(header.size()));
    std::string line;
    for (int i = 0; i < 1000; ++i) {
        ASSERT_TRUE(std::getline(data, line));
        ASSERT_EQ(line.size(), 60u) << i;
    }
    EXPECT_EQ(text.substr(header.size() + 61000),
              "currentdict /inputf undef\ncurrentdict /picstr undef\ncurrentdict /rpicstr undef\n"
              "currentdict /gpicstr undef\ncurrentdict /bpicstr undef\ngrestore\nshowpage\n%%Trailer\n");

    CGraphicsImage bilevel;
    MakePicture(bilevel, 1, 20, 3, {0x000000, 0xFFFFFF});
    const std::string small = imgtest::ReadText(Save(bilevel, "bilevel.eps"));
    EXPECT_NE(small.find("%%LanguageLevel: 1\n"), std::string::npos);
    EXPECT_NE(small.find("/picstr 3 string def\n%%Dummy 3 3\n"), std::string::npos);
    EXPECT_NE(small.find("20 3 1\n[ 20 0 0 -3 0 3 ]\n{ picstr readstring }\nimage\n"), std::string::npos);
    // The default palette of an 8-bit image is no grey ramp: it goes out in colour.
    CGraphicsImage indexed;
    MakePicture(indexed, 8, 4, 4);
    EXPECT_NE(imgtest::ReadText(Save(indexed, "indexed.eps")).find("colorimage"), std::string::npos);
}

// Ghostscript prints every picture as it looks, a bilevel one with any palette included, and our
// reader gets the same picture back.
TEST_F(EpsTest, GhostscriptPrintsWhatWeWroteAndWeReadItBack)
{
    const struct { int bpp; std::vector<u32> palette; } cases[] = {
        {1, {0x000000, 0xFFFFFF}}, {1, {0xFFFFFF, 0x000000}}, {1, {0xC01020, 0x2040F0}},
        {8, GreyRamp(8)}, {8, {0x102030, 0xF0E0D0, 0x00FF00, 0xFF00FF, 0x808080}}, {4, {}}, {24, {}}, {32, {}},
    };
    for (const auto& c : cases) {
        CGraphicsImage image;
        MakePicture(image, c.bpp, 11, 7, c.palette);
        const std::string eps = Save(image, "picture.eps"), png = PathOf("page.png");
        std::string output;
        ASSERT_EQ(imgtest::Shell("gs -q -dSAFER -dBATCH -dNOPAUSE -sDEVICE=png16m -r72 -dEPSCrop -sOutputFile=" + png +
                                     " " + eps + " 2>&1", &output), 0) << output;
        CGraphicsImage page;
        ASSERT_EQ(LoadGraphicsFile(png, page), kLoadOk);
        const double scale = std::min(565.0 / 11, 811.0 / 7);
        for (u32 y = 0; y < 7; ++y)
            for (u32 x = 0; x < 11; ++x) {
                const auto px = u32(0.25 + (x + 0.5) * scale);
                const auto py = u32(page.Height() - 0.25 - 7 * scale + (y + 0.5) * scale);
                const u32 printed = PixelRgba(page, px, py), wanted = PixelRgba(image, x, y);
                for (int shift = 8; shift < 32; shift += 8)
                    ASSERT_NEAR(int(printed >> shift & 0xFF), int(wanted >> shift & 0xFF), 3)
                        << c.bpp << " at " << x << "," << y;
            }
        CGraphicsImage back;
        ASSERT_EQ(LoadGraphicsFile(eps, back), kLoadOk) << LoadErrorText();
        EXPECT_EQ(imgtest::Rgb(back), imgtest::Rgb(image)) << c.bpp;
    }
}

TEST_F(EpsTest, ReadsNetpbmFiles)
{
    // Portable maps of 9 x 5 pixels: bilevel (1 = black), grey and colour.
    const struct { const char* magic; int bpp; u32 bytesPerRow; } cases[] = {{"P4", 1, 2}, {"P5", 8, 9}, {"P6", 24, 27}};
    for (const auto& c : cases) {
        Bytes pnm = BytesOf(std::string(c.magic) + "\n9 5\n" + (c.bpp == 1 ? "" : "255\n"));
        for (u32 i = 0; i < 5 * c.bytesPerRow; ++i)
            pnm.push_back(std::uint8_t(i * 37 + 11));
        imgtest::WriteFile(PathOf("in.pnm"), pnm);
        ASSERT_EQ(imgtest::Shell("(pnmtops -noturn " + PathOf("in.pnm") + " >" + PathOf("in.ps") + ") 2>/dev/null"), 0);
        CGraphicsImage image, original;
        ASSERT_EQ(LoadGraphicsFile(PathOf("in.ps"), image), kLoadOk) << c.magic << ": " << LoadErrorText();
        ASSERT_EQ(image.Bpp(), c.bpp);
        // The pixels of the map itself, as our PNM reader, which matches netpbm, reads them.
        ASSERT_EQ(LoadGraphicsFile(PathOf("in.pnm"), original), kLoadOk);
        EXPECT_EQ(imgtest::Rgb(image), imgtest::Rgb(original)) << c.magic;
    }
}

// A DOS EPS binary: 30-byte header, PostScript section, TIFF preview.
Bytes DosEps(const Bytes& postscript, const Bytes& tiff, u32 tiffOffsetShift = 0)
{
    Bytes out = {0xC5, 0xD0, 0xD3, 0xC6};
    auto put32 = [&out](u32 value) {
        for (int i = 0; i < 4; ++i)
            out.push_back(std::uint8_t(value >> (8 * i)));
    };
    put32(32);
    put32(u32(postscript.size()));
    put32(0);
    put32(0);
    put32(tiff.empty() ? 0 : 32 + u32(postscript.size()) + tiffOffsetShift);
    put32(u32(tiff.size()));
    out.insert(out.end(), {0xFF, 0xFF, 0, 0});
    out.insert(out.end(), postscript.begin(), postscript.end());
    out.insert(out.end(), tiff.begin(), tiff.end());
    return out;
}

TEST_F(EpsTest, DosBinariesAndDamagedFiles)
{
    CGraphicsImage image;
    MakePicture(image, 24, 6, 4);
    ASSERT_EQ(SaveGraphicsFile(PathOf("preview.tif"), image), kSaveOk);
    const Bytes tiff = imgtest::ReadFile(PathOf("preview.tif"));
    const Bytes eps = imgtest::ReadFile(Save(image, "page.eps"));
    const std::string image16 = "%!PS-Adobe-3.0 EPSF-3.0\n2 1 16 [2 0 0 -1 0 1] {x} image\n0000ffff\n";
    const struct { const char* what; Bytes file; const char* message; } cases[] = {
        {"TIFF preview", DosEps(BytesOf("%!PS\n"), tiff), nullptr},
        {"PostScript section only", DosEps(eps, {}), nullptr},
        {"preview beyond the end", DosEps(eps, tiff, 5), "Besch\xE4" "digte EPS-Datei !"},
        {"no image operator", BytesOf("%!PS-Adobe-3.0 EPSF-3.0\n%%BoundingBox: 0 0 1 1\nshowpage\n"),
         "Besch\xE4" "digte EPS-Datei !"},
        {"16-bit samples", BytesOf(image16), "Das Format der EPS-Datei wird nicht unterst\xFCtzt !"},
        {"samples cut short", Bytes(eps.begin(), eps.end() - 200), "Besch\xE4" "digte EPS-Datei !"},
        {"not hexadecimal", BytesOf("%!PS-Adobe-3.0 EPSF-3.0\n2 1 8 [2 0 0 -1 0 1] {x} image\n0x0y\n"),
         "Besch\xE4" "digte EPS-Datei !"},
        {"too short", BytesOf("%!PS\n"), "Fehler beim Lesen der EPS-Datei !"},
    };
    for (const auto& c : cases) {
        CGraphicsImage read;
        const int result = imgtest::LoadBytes(c.file, read);
        if (c.message != nullptr) {
            EXPECT_EQ(result, kLoadFailed) << c.what;
            EXPECT_EQ(LoadErrorText(), c.message) << c.what;
            continue;
        }
        ASSERT_EQ(result, kLoadOk) << c.what << ": " << LoadErrorText();
        EXPECT_EQ(imgtest::Rgb(read), imgtest::Rgb(image)) << c.what;
    }
    Bytes notEps(40, 'x');
    CDataStream stream;
    ASSERT_TRUE(stream.OpenMemory(notEps.data(), 40, 0));
    CGraphicsImage read;
    CEpsReader reader;
    EXPECT_THROW(reader.Read(stream, read), EEpsNotAEpsFile);
}

}  // namespace
