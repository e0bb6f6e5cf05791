#include "tests/game/GameTestBed.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <thread>

namespace {

using Names = std::vector<std::string>;

void ExpectTimedOut(const CGameState& state)
{
    EXPECT_EQ(state.Running, 0);
    EXPECT_EQ(state.PlayerState[0], kPlayerTimedOut);
    EXPECT_EQ(state.PlayerState[1], kPlayerTimedOut);
    EXPECT_EQ(state.CoveredCount, 0);
    EXPECT_TRUE(std::all_of(state.Shown.begin(), state.Shown.end(), [](std::uint8_t s) { return s == 1; }));
}

class NoLetters : public GameTestBed, public testing::WithParamInterface<const char*> {};

TEST_P(NoLetters, TimeOutAtTheFirstInterval)
{
    State().SecTicker = 0;
    StartPuzzle(GetParam());
    RunFor(4950);
    EXPECT_EQ(State().Running, 1);
    EXPECT_TRUE(sound.Played().empty());
    RunFor(50);
    EXPECT_EQ(sound.Played(), (std::vector<CPlayedSound>{{kStart + 5000, "ERROR"}}));
    ExpectTimedOut(State());
}

INSTANTIATE_TEST_SUITE_P(Answers, NoLetters,
                         testing::Values("Frage", "Frage\n", "Frage\n?? !", "Frage\n@5000 ", "Frage\n\xDE\xFE\xFF"));

// Letters of a fifth row are uncovered too, in random order; bars and hyphens never are. The last
// letter ends the puzzle in a time-out.
TEST_F(GameTestBed, LastLetterEndsInTimeOut)
{
    State().SecTicker = 0;
    StartPuzzle("Frage\nA|B-C|D|E");
    EXPECT_EQ(State().LineCount, 4);
    RunFor(25000);
    EXPECT_EQ(sound.Names(), (Names{"TICK", "TICK", "TICK", "TICK", "ERROR"}));
    std::vector<int> sorted = uncovered;
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(sorted, (std::vector<int>{0, 2, 4, 6, 8}));
    EXPECT_NE(uncovered, sorted) << "in random order, not from left to right";
    ExpectTimedOut(State());
    RunFor(20000);
    EXPECT_EQ(sound.Played().size(), 5u) << "a timed-out puzzle stays silent";
}

TEST_F(GameTestBed, StallCatchesUpOneLetterPerStep)
{
    StartPuzzle("Frage\nABCDEFGHIJ");
    clock.Advance(16000);  // three whole intervals and one second more
    for (int step = 1; step <= 3; ++step) {
        engine.GameStep();
        EXPECT_EQ(State().CoveredCount, 10 - step);
        EXPECT_EQ(State().LastSwitchTick, kStart + 5000u * step);
    }
    EXPECT_EQ(sound.Names(), (Names{"TICK", "TICK", "TICK"})) << "no second tick in a letter step";
    sound.Clear();
    // The second ticks catch up one per step as well, then the clock is back in rhythm.
    for (int step = 0; step < 16; ++step)
        engine.GameStep();
    EXPECT_EQ(State().CoveredCount, 7);
    EXPECT_EQ(sound.Names(), Names(13, "TUCK"));
    EXPECT_EQ(State().LastSecondTick, kStart + 16000);
}

TEST_F(GameTestBed, TickCountWrapIsHarmless)
{
    clock.Set(0xFFFFFFFFu - 2000);
    State().SecTicker = 0;
    StartPuzzle("Frage\nABCDEF");
    RunFor(4950);
    EXPECT_TRUE(sound.Played().empty());
    RunFor(50);
    EXPECT_EQ(sound.Names(), Names{"TICK"});
    EXPECT_EQ(State().LastSwitchTick, 0xFFFFFFFFu - 2000 + 5000);
}

// A prefix sets the puzzle's switch time and leaves the setting; a candidate without one gets the
// setting again.
TEST_F(GameTestBed, PuzzleSwitchTimeFromPrefixLeavesTheSetting)
{
    State().SecTicker = 0;
    engine.SetSwitchTime(4000);
    StartPuzzle("Frage\n@500 ABCDEF");
    EXPECT_EQ(State().CurSwitchTime, 1000u);
    EXPECT_EQ(State().SwitchTime, 4000);
    RunFor(3000);
    EXPECT_EQ(sound.Names(), (Names{"TICK", "TICK", "TICK"}));

    puzzles.WritePuzzle(7, "Frage\n@3000 Eisberg\nHaus");
    std::set<std::pair<std::string, std::uint32_t>> seen;
    for (int load = 0; load < 40; ++load) {
        ASSERT_TRUE(engine.LoadPuzzle(7));
        seen.emplace(State().AnswerText(), State().CurSwitchTime);
    }
    EXPECT_EQ(seen, (std::set<std::pair<std::string, std::uint32_t>>{{"Eisberg", 3000}, {"Haus", 4000}}));
}

TEST_F(GameTestBed, StopFromAnotherThreadFreezesTheNextStep)
{
    StartPuzzle("Frage\nABCDEF");
    RunFor(4950);
    std::thread reader([this] { engine.StopPlayer(1); });
    reader.join();
    RunFor(30000);
    EXPECT_EQ(State().CoveredCount, 6);
    EXPECT_EQ(sound.Played().back(), (CPlayedSound{kStart + 4950, "CLING2"}));
    EXPECT_EQ(sound.Names(), (Names{"TUCK", "TUCK", "TUCK", "TUCK", "CLING2"}));
    EXPECT_EQ(State().PlayerState[1], kPlayerStoppedClock);
}

TEST_F(GameTestBed, SimultaneousStopsLetOnlyOnePlayerIn)
{
    StartPuzzle("Frage\nABCDEF");
    for (int round = 0; round < 300; ++round) {
        std::atomic<bool> go{false};
        std::thread left([&] { while (!go) std::this_thread::yield(); engine.StopPlayer(0); });
        std::thread right([&] { while (!go) std::this_thread::yield(); engine.StopPlayer(1); });
        go = true;
        left.join();
        right.join();
        ASSERT_EQ(State().Stopped[0] + State().Stopped[1], 1) << "round " << round;
        ASSERT_EQ(State().PlayerState[0] + State().PlayerState[1], 1) << "round " << round;
        engine.RevealAll();
        State().Running = 1;
    }
}

}  // namespace
