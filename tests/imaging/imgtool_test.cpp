// quizmora-img as a user runs it: output lines, exit status and messages.

#include "imaging/GraphicsFile.h"
#include "imaging/GraphicsImage.h"
#include "tests/imaging/TestSupport.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

using imgtest::Suite;

struct ToolRun
{
    int exitCode = -1;  // -1: ended by a signal
    std::string out;
    std::string err;
};

std::string Quoted(const std::string& text)
{
    std::string quoted = "'";
    for (const char ch : text)
        quoted += ch == '\'' ? std::string("'\\''") : std::string(1, ch);
    return quoted + "'";
}

class ImageToolTest : public imgtest::TempFolderTest
{
protected:
    ToolRun Run(const std::vector<std::string>& arguments)
    {
        const char* tools = std::getenv("QUIZMORA_TOOLS_DIR");
        std::string command = Quoted((tools != nullptr ? tools : QUIZMORA_BINARY_DIR "/bin") + std::string("/quizmora-img"));
        for (const auto& argument : arguments)
            command += " " + Quoted(argument);
        command += " >" + Quoted(PathOf("stdout")) + " 2>" + Quoted(PathOf("stderr"));
        const int status = std::system(command.c_str());
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, imgtest::ReadText(PathOf("stdout")),
                imgtest::ReadText(PathOf("stderr"))};
    }
};

TEST_F(ImageToolTest, ConvertReproducesPixelsCarriesCommentAndResizes)
{
    const std::string out = PathOf("copy.png");
    ASSERT_EQ(Run({"convert", Suite("basn3p08"), out, "--comment", "Bergsee \xC3\xBC"}).exitCode, 0);
    EXPECT_EQ(Run({"info", out}).out, "32x32 8\ncomment: Bergsee \xC3\xBC\n");
    CGraphicsImage original, copy;
    std::string comment;
    ASSERT_EQ(LoadGraphicsFile(Suite("basn3p08"), original), 0);
    ASSERT_EQ(LoadGraphicsFile(out, copy, &comment), 0);
    EXPECT_EQ(comment, "Bergsee \xFC");
    for (std::uint32_t y = 0; y < 32; ++y)
        for (std::uint32_t x = 0; x < 32; ++x)
            ASSERT_EQ(copy.GetPixelFn(x, y), original.GetPixelFn(x, y));
    for (unsigned i = 0; i < 256; ++i)
        ASSERT_EQ(copy.PaletteColor(i), original.PaletteColor(i));

    // Another format on the way out: a true-colour picture becomes a quantized GIF.
    const std::string small = PathOf("small.gif");
    const struct { std::vector<std::string> arguments; const char* info; } conversions[] = {
        {{"convert", Suite("basn2c08"), small, "--resize", "16x8"}, "16x8 8\n"},
        {{"convert", Suite("basn3p08"), small, "--resize", "7x5", "--smooth"}, "7x5 8\n"},
    };
    for (const auto& c : conversions) {
        ASSERT_EQ(Run(c.arguments).exitCode, 0) << c.arguments[1];
        EXPECT_EQ(Run({"info", small}).out, c.info);
    }

    // A name as long as a folder allows still leaves room for the temporary file beside it.
    const std::string longName = PathOf(std::string(240, 'a') + ".png");
    ASSERT_EQ(Run({"convert", imgtest::TestData("oddities/withrps.tif"), longName}).exitCode, 0);
    EXPECT_EQ(Run({"info", longName}).out, "4x3 8\n");
}

// Pictures with alpha (straight, a palette's or a GIF's transparent entry, XPM's "None", a grey or
// RGB colour key) keep it: alpha 0 exactly where ImageMagick reads it from the source, the colours
// as ImageMagick reads them wherever a pixel shows; 16-bit samples within 1. ImageMagick reads the
// stored values (the suite's files carry a gamma it would otherwise apply to the source alone).
// Colour type 0: written as GIF, whose transparent colour is the palette's.
TEST_F(ImageToolTest, ConvertKeepsTransparencyAndDeepSamples)
{
    const struct { std::string source; int colourType; int tolerance; } cases[] = {
        {imgtest::TestData("gif/pil-transparent.gif"), 0, 0}, {imgtest::TestData("xpm/im-alpha.xpm"), 0, 0},
        {Suite("basn6a08"), 6, 0}, {Suite("ftbbn3p08"), 6, 0}, {Suite("ftbrn2c08"), 6, 0},
        {Suite("ftbbn0g04"), 6, 0}, {Suite("ftbwn0g16"), 6, 1}, {Suite("ftbbn2c16"), 6, 1},
        {imgtest::TestData("gif/gs-transparent.gif"), 3, 0}, {imgtest::TestData("gif/pil-transparent.gif"), 3, 0},
        {imgtest::TestData("xpm/im-alpha.xpm"), 3, 0}, {Suite("basn2c16"), 2, 1}, {Suite("basn6a16"), 6, 1},
        {imgtest::TestData("bmpsuite/good/rgb16-565.bmp"), 2, 0}, {imgtest::TestData("bmpsuite/good/rgb16.bmp"), 2, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.source);
        const std::string out = PathOf(c.colourType != 0 ? "alpha.png" : "alpha.gif");
        ASSERT_EQ(Run({"convert", c.source, out}).exitCode, 0);
        const imgtest::Bytes written = imgtest::ReadFile(out);
        ASSERT_GT(written.size(), 25u);
        if (c.colourType != 0) {
            EXPECT_EQ(written[25], c.colourType);
        }
        const imgtest::Bytes ours = imgtest::MagickPixels(out, "rgba", "-set colorspace sRGB");
        const imgtest::Bytes theirs = imgtest::MagickPixels(c.source, "rgba", "-set colorspace sRGB");
        ASSERT_EQ(ours.size(), theirs.size());
        int off = 0;
        for (std::size_t i = 0; i < ours.size(); ++i) {
            const bool hidden = i % 4 != 3 && theirs[i | 3] == 0;  // colour under alpha 0
            off += (i % 4 == 3 && (ours[i] == 0) != (theirs[i] == 0)) ||
                   (!hidden && std::abs(ours[i] - theirs[i]) > c.tolerance);
        }
        EXPECT_EQ(off, 0);
    }
}

// The netpbm names write what the picture needs: P4 for two colours, P6 for the rest.
TEST_F(ImageToolTest, ConvertToNetpbmNames)
{
    const struct { std::string source; const char* name; const char* magic; } cases[] = {
        {imgtest::TestData("jpeg/cjpeg-420.jpg"), "x.ppm", "P6"}, {Suite("basn0g08"), "x.PGM", "P6"},
        {Suite("basn0g01"), "x.pbm", "P4"},
    };
    for (const auto& c : cases) {
        ASSERT_EQ(Run({"convert", c.source, PathOf(c.name)}).exitCode, 0) << c.name;
        EXPECT_EQ(imgtest::ReadText(PathOf(c.name)).substr(0, 2), c.magic) << c.name;
        EXPECT_EQ(imgtest::MagickPixels(PathOf(c.name)), imgtest::MagickPixels(c.source, "rgb", "-set colorspace sRGB"))
            << c.name;
    }
}

TEST_F(ImageToolTest, FailuresGiveLibraryMessage)
{
    const struct { std::vector<std::string> arguments; const char* message; } cases[] = {
        {{"info", imgtest::TestData("bmpsuite/bad/reallybig.bmp")}, "Das Bild ist zu gro\xC3\x9F\n"},
        {{"info", imgtest::TestData("bmpsuite/bad/badbitcount.bmp")}, "Das Format der BMP-Datei wird nicht unterst\xC3\xBCtzt !\n"},
        {{"info", PathOf("missing.png")}, "Kann Datei nicht \xC3\xB6" "ffnen.\n"},
        {{"info", imgtest::TestData("pngsuite/README")}, "Unbekanntes Datei Format.\n"},
        {{"convert", Suite("basn2c08"), PathOf("x.tar")}, "Unbekanntes Datei Format.\n"},
    };
    for (const auto& c : cases) {
        const ToolRun run = Run(c.arguments);
        EXPECT_EQ(run.exitCode, 1) << c.arguments[1];
        EXPECT_EQ(run.err, c.message);
        EXPECT_TRUE(run.out.empty());
    }
}

TEST_F(ImageToolTest, WrongCommandLineShowsUsage)
{
    const std::vector<std::string> cases[] = {
        {}, {"info"}, {"info", "a", "b"}, {"convert", "a"}, {"convert", "a", "b", "--resize"},
        {"convert", "a", "b", "--resize", "0x5"}, {"convert", "a", "b", "--resize", "40000x5"},
        {"convert", "a", "b", "--resize", "12"}, {"convert", "a", "b", "--sharpen"}, {"show", "a"},
    };
    for (const auto& arguments : cases) {
        const ToolRun run = Run(arguments);
        EXPECT_EQ(run.exitCode, 2) << (arguments.empty() ? "" : arguments[0]);
        EXPECT_EQ(run.err.rfind("Aufruf: quizmora-img", 0), 0u) << run.err;
    }
}

TEST_F(ImageToolTest, HostileFilesNeverCrashTheTool)
{
    for (const char* folder : imgtest::kHostileFolders) {
        for (const auto& file : imgtest::FilesIn(folder, {".png"})) {
            const ToolRun run = Run({"convert", file.string(), PathOf("out.png")});
            EXPECT_TRUE(run.exitCode == 0 || run.exitCode == 1) << file << " ended with " << run.exitCode;
            if (run.exitCode == 1) {
                EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
            }
        }
    }
}

}  // namespace
