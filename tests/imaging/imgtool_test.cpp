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

// Pictures with alpha, straight or through a palette's transparency, come out as RGBA with the
// pixels and alpha ImageMagick reads from the source (its stored values: the suite's files carry a
// gamma that ImageMagick would otherwise apply to the source alone).
TEST_F(ImageToolTest, ConvertKeepsTransparency)
{
    for (const char* source : {"basn6a08", "ftbbn3p08"}) {
        const std::string out = PathOf("alpha.png");
        ASSERT_EQ(Run({"convert", Suite(source), out}).exitCode, 0) << source;
        const imgtest::Bytes written = imgtest::ReadFile(out);
        ASSERT_GT(written.size(), 25u);
        EXPECT_EQ(written[25], 6) << source << ": colour type RGBA";
        const imgtest::Bytes rgba = imgtest::MagickPixels(out, "rgba", "-set colorspace sRGB");
        EXPECT_EQ(rgba.size(), 4u * 32 * 32) << source;
        EXPECT_EQ(rgba, imgtest::MagickPixels(Suite(source), "rgba", "-set colorspace sRGB")) << source;
    }
}

TEST_F(ImageToolTest, FailuresGiveLibraryMessage)
{
    const struct { std::vector<std::string> arguments; const char* message; } cases[] = {
        {{"info", Suite("basn2c16")}, "Falsches Farbformat\n"},
        {{"info", imgtest::TestData("bmpsuite/good/rgb16.bmp")}, "Das Format der BMP-Datei wird nicht unterst\xC3\xBCtzt !\n"},
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
