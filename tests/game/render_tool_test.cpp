// The screen preview of quizmora-puzzles: it must show what the game would show.

#include "imaging/GraphicsFile.h"
#include "imaging/GraphicsImage.h"
#include "tests/store/TemporaryPuzzleSet.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

class RenderTool : public ::testing::Test {
protected:
    RenderTool() { set.WritePuzzle(1, "Was ist das?\n@3000Haus|Boot\n"); }

    // Renders puzzle `number` of the set into `screen`; the tool's exit code.
    int Render(const std::string& number, const std::string& options)
    {
        const char* tools = std::getenv("QUIZMORA_TOOLS_DIR");
        const auto out = set.Root() / "screen.png";
        std::filesystem::remove(out);
        const std::string command = std::string(tools ? tools : QUIZMORA_BINARY_DIR "/bin") +
                                    "/quizmora-puzzles render " + set.Root().string() + " " + number + " " +
                                    out.string() + " " + options + " 2>" + (set.Root() / "stderr.txt").string();
        const int status = std::system(command.c_str());
        if (std::filesystem::exists(out)) {
            EXPECT_EQ(LoadGraphicsFile(out.string(), screen), 0);
        }
        return WEXITSTATUS(status);
    }

    std::string Errors() const { return ReadAll(set.Root() / "stderr.txt"); }
    std::uint32_t Rgb(int x, int y) const { return screen.GetPixelFn(x, y) & 0xFFFFFF; }

    CTemporaryPuzzleSet set;
    CGraphicsImage screen;
};

TEST_F(RenderTool, DrawsTheGameScreen)
{
    ASSERT_EQ(Render("1", "--stars 3,0 --stop right"), 0) << Errors();
    ASSERT_EQ(screen.Width(), 1920u);
    ASSERT_EQ(screen.Height(), 1080u);
    // Two rows of four covered cells, 64 x 114, centred on 960; without a picture the first row
    // starts a third of the free space (1038 - 342 + 57) below the strip, at 293.
    const auto greyInk = [&](int left, int top) {
        int pixels = 0;
        for (int y = top; y < top + 114; ++y)
            for (int x = left; x < left + 64; ++x)
                pixels += Rgb(x, y) >= 0x808080u && Rgb(x, y) <= 0xD0D0D0u;
        return pixels;
    };
    EXPECT_GT(greyInk(960 - 2 * 64, 293), 100);  // the "*" of the first covered cell
    EXPECT_EQ(greyInk(960 - 3 * 64, 293), 0);    // left of the row
    int starPixels = 0;
    for (int y = 0; y < 1080; ++y)
        starPixels += Rgb(68, y) != 0;
    EXPECT_GT(starPixels, 3 * 40);  // three stars up the left column
    EXPECT_EQ(Rgb(10, 300), 0u);
    EXPECT_EQ(Rgb(1910, 300), 0xBCBC00u);  // the right player stopped the clock
}

TEST_F(RenderTool, ShowsATimeOutAtAnySize)
{
    ASSERT_EQ(Render("1", "--uncover 2 --timeout --size 800x600"), 0) << Errors();
    ASSERT_EQ(screen.Width(), 800u);
    EXPECT_EQ(Rgb(10, 300), 0xFF0000u);
    EXPECT_EQ(Rgb(800 - 10, 300), 0xFF0000u);
}

TEST_F(RenderTool, RefusesWhatItCannotDraw)
{
    EXPECT_EQ(Render("7", ""), 1);
    EXPECT_NE(Errors().find("gibt es nicht"), std::string::npos);
    EXPECT_EQ(Render("1", "--size 0x100"), 2);
    EXPECT_EQ(Render("1", "--stop middle"), 2);
}

}  // namespace
