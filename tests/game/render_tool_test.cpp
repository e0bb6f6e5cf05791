// The screen preview of quizmora-puzzles: it must show what the game would show.

#include "game/GameColours.h"
#include "imaging/GraphicsFile.h"
#include "imaging/GraphicsImage.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

namespace fs = std::filesystem;

class RenderTool : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder_ = fs::temp_directory_path() / ("quizmora-render-" + std::to_string(::getpid()));
        fs::create_directories(folder_ / "Game001");
        std::ofstream(folder_ / "Game001" / "Game.txt", std::ios::binary) << "Was ist das?\n@3000Haus|Boot\n";
    }
    void TearDown() override { fs::remove_all(folder_); }

    int Render(const std::string& number, const std::string& options, CGraphicsImage& screen)
    {
        const char* tools = std::getenv("QUIZMORA_TOOLS_DIR");
        const fs::path out = folder_ / "screen.png";
        fs::remove(out);
        const std::string command = std::string(tools ? tools : QUIZMORA_BINARY_DIR "/bin") +
                                    "/quizmora-puzzles render " + folder_.string() + " " + number + " " +
                                    out.string() + " " + options + " 2>" + (folder_ / "stderr.txt").string();
        const int status = std::system(command.c_str());
        if (fs::exists(out)) {
            EXPECT_EQ(LoadGraphicsFile(out.string(), screen), 0);
        }
        return WEXITSTATUS(status);
    }

    std::string Errors() const
    {
        std::ifstream in(folder_ / "stderr.txt");
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    static std::uint32_t Rgb(const CGraphicsImage& image, int x, int y)
    {
        return image.GetPixelFn(x, y) & 0xFFFFFF;
    }

    fs::path folder_;
};

TEST_F(RenderTool, DrawsTheGameScreen)
{
    CGraphicsImage screen;
    ASSERT_EQ(Render("1", "--stars 3,0", screen), 0) << Errors();
    ASSERT_EQ(screen.Width(), 1920u);
    ASSERT_EQ(screen.Height(), 1080u);
    for (int k = 0; k < 6; ++k)
        EXPECT_EQ(Rgb(screen, 136 + k, 600), GameColours::Bevel[k]);
    // Two rows of four covered cells, 64 x 114, centred on 960; without a picture the first row
    // starts a third of the free space (1038 - 342 + 57) below the strip, at 293.
    const auto greyInk = [&](int left, int top) {
        int pixels = 0;
        for (int y = top; y < top + 114; ++y)
            for (int x = left; x < left + 64; ++x)
                pixels += Rgb(screen, x, y) >= 0x808080u && Rgb(screen, x, y) <= 0xD0D0D0u;
        return pixels;
    };
    EXPECT_GT(greyInk(960 - 2 * 64, 293), 100);  // the "*" of the first covered cell
    EXPECT_EQ(greyInk(960 - 3 * 64, 293), 0);    // left of the row
    int starPixels = 0;
    for (int y = 0; y < 1080; ++y)
        starPixels += Rgb(screen, 68, y) != 0;
    EXPECT_GT(starPixels, 3 * 40);  // three stars up the left column
    EXPECT_EQ(Rgb(screen, 1852, 1000), 0u);
}

TEST_F(RenderTool, ShowsTheStateOfThePlayers)
{
    CGraphicsImage screen;
    ASSERT_EQ(Render("1", "--uncover 2 --stop right --size 800x600", screen), 0) << Errors();
    ASSERT_EQ(screen.Width(), 800u);
    EXPECT_EQ(Rgb(screen, 800 - 10, 300), 0xBCBC00u);
    EXPECT_EQ(Rgb(screen, 10, 300), 0u);
    ASSERT_EQ(Render("1", "--timeout", screen), 0) << Errors();
    EXPECT_EQ(Rgb(screen, 10, 300), 0xFF0000u);
    EXPECT_EQ(Rgb(screen, 1910, 300), 0xFF0000u);
}

TEST_F(RenderTool, RefusesWhatItCannotDraw)
{
    CGraphicsImage screen;
    EXPECT_EQ(Render("7", "", screen), 1);
    EXPECT_NE(Errors().find("gibt es nicht"), std::string::npos);
    EXPECT_EQ(Render("1", "--size 0x100", screen), 2);
    EXPECT_EQ(Render("1", "--stop middle", screen), 2);
}

}  // namespace
