// The show's state file and the choice of monitors: what survives a crash and what a damaged
// file or a changed monitor layout does.
#include "show/ScreenChoice.h"
#include "show/ShowState.h"
#include "show/ShowStateFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include <unistd.h>

namespace {

constexpr std::string_view kRunning = "quizmora-show 1\npath /q/Rätsel\ngame 3\nstars 2 0\nstarsize 1\nended 0\n";

TEST(ShowState, WrittenStatesReadBackWhateverThePath)
{
    const std::string paths[] = {"/home/quiz/Rätsel", "", "/a%b\nc\r%0A", std::string("/x\0y", 4)};
    for (const std::string& path : paths) {
        const SShowState state{path, 999, {7, 255}, -3, true};
        const auto read = ParseShowState(FormatShowState(state));
        ASSERT_TRUE(read) << path;
        EXPECT_TRUE(read->SameScore(state)) << path;
        EXPECT_TRUE(read->ended);
    }
    const auto running = ParseShowState(kRunning);
    ASSERT_TRUE(running);
    EXPECT_EQ(running->puzzlePath, "/q/Rätsel");
    EXPECT_EQ(running->gameNumber, 3);
    EXPECT_EQ(running->stars[0], 2);
    EXPECT_FALSE(running->ended);
}

TEST(ShowState, DamagedTextsAreRefused)
{
    const std::string good(kRunning);
    const auto with = [&good](std::string_view from, std::string_view to) {
        std::string text = good;
        text.replace(text.find(from), from.size(), to);
        return text;
    };
    const std::string cases[] = {
        "",
        good.substr(0, good.size() - 9),                 // cut before "ended"
        with("quizmora-show 1", "quizmora-show 2"),
        with("game 3", "game 1000"),
        with("game 3", "game -1"),
        with("game 3", "game 3x"),
        with("stars 2 0", "stars 2"),
        with("stars 2 0", "stars 256 0"),
        with("ended 0", "ended 2"),
        with("/q/R", "/q%4/R"),
        with("/q/R", "/q/R%"),
        good + "game 4\n",                                // a value twice
        good + std::string(kShowStateMaxBytes, '\n'),     // longer than any state of ours
    };
    for (const std::string& text : cases)
        EXPECT_FALSE(ParseShowState(text)) << text;
    EXPECT_TRUE(ParseShowState(good + "later 1\n")) << "a later version's value is skipped";
}

TEST(ShowStateFile, LivesInTheXdgStateFolder)
{
    EXPECT_EQ(ShowStateFilePath("/s", "/h"), std::filesystem::path("/s/quizmora/show"));
    EXPECT_EQ(ShowStateFilePath(nullptr, "/h"), std::filesystem::path("/h/.local/state/quizmora/show"));
    EXPECT_EQ(ShowStateFilePath("relative", "/h"), std::filesystem::path("/h/.local/state/quizmora/show"));
}

TEST(ShowStateFile, MissingEmptyAndDamagedFiles)
{
    const auto folder = std::filesystem::temp_directory_path() / ("quizmora-show-" + std::to_string(::getpid()));
    const auto file = folder / "quizmora" / "show";
    std::filesystem::remove_all(folder);
    EXPECT_FALSE(ReadShowStateFile(file).state);
    EXPECT_TRUE(ReadShowStateFile(file).problem.empty());

    ASSERT_TRUE(WriteShowStateFile(file, SShowState{"/q", 4, {1, 2}, 0, false}));
    EXPECT_EQ(ReadShowStateFile(file).state->gameNumber, 4);

    for (const std::string_view bytes : {std::string_view(), std::string_view("quizmora-show 1\npath /q\ngame 4\nst")}) {
        std::ofstream(file, std::ios::binary | std::ios::trunc) << bytes;
        const SShowStateRead read = ReadShowStateFile(file);
        EXPECT_FALSE(read.state);
        EXPECT_FALSE(read.problem.empty());
    }
    std::filesystem::remove_all(folder);
}

TEST(ScreenChoice, GameOnASecondaryMonitorUnlessRemembered)
{
    const ScreenRect laptop{0, 0, 1280, 800};
    const ScreenRect beamer{1280, 0, 2304, 768};
    const ScreenRect both[] = {laptop, beamer};
    const std::string layout = MonitorLayoutKey(both);
    EXPECT_EQ(layout, "0,0,1280x800;1280,0,1024x768");
    struct Case {
        int primary, current;
        std::string stored;
        std::optional<int> storedGame;
        int game, presenter;
    };
    const Case cases[] = {
        {0, 0, "", std::nullopt, 1, 0},   // the game leaves the primary monitor
        {1, 0, "", std::nullopt, 0, 1},   // and stays on a secondary one
        {0, 0, layout, 0, 0, 1},          // a remembered choice wins
        {0, 0, "0,0,1920x1080", 0, 1, 0}, // unless the layout changed
        {0, 0, layout, 5, 1, 0},          // or the monitor is gone
    };
    for (const Case& c : cases) {
        const SScreenChoice choice = ChooseScreens(both, c.primary, c.current, c.stored, c.storedGame);
        EXPECT_EQ(choice.game, c.game) << c.primary << c.current << c.stored;
        EXPECT_EQ(choice.presenter, c.presenter) << c.primary << c.current << c.stored;
        EXPECT_EQ(SwappedScreens(choice).game, c.presenter);
    }
    const SScreenChoice single = ChooseScreens(std::span(both, 1), 0, 0, layout, 1);
    EXPECT_EQ(single.presenter, -1);
    EXPECT_EQ(SwappedScreens(single).game, single.game);
}

TEST(ScreenChoice, BesideTheGameOnOneMonitor)
{
    const ScreenRect monitor{0, 0, 1920, 1080};
    EXPECT_EQ(BesideWindow(monitor, {100, 100, 1100, 800}, 500, 700), (ScreenRect{1100, 100, 1600, 800}));
    EXPECT_EQ(BesideWindow(monitor, {800, 500, 1800, 1000}, 500, 700), (ScreenRect{300, 380, 800, 1080}));
    EXPECT_EQ(BesideWindow(monitor, {0, 0, 1920, 1080}, 500, 700), (ScreenRect{1420, 0, 1920, 700}));
    EXPECT_EQ(CentredOn({1280, 0, 2304, 768}, 2000, 500), (ScreenRect{1280, 134, 2304, 634}));
}

}  // namespace
