#include "tests/game/GameTestBed.h"

#include <gtest/gtest.h>

#include <array>

namespace {

using Names = std::vector<std::string>;

// Start, reveal, F7, F8, and the left and right tool bar buttons.
using Availability = std::array<bool, 6>;

class Commands : public GameTestBed {
protected:
    Availability Available() const
    {
        return {engine.CanStartNextPuzzle(), engine.CanRevealAll(),    engine.CanStopPlayer(0, false),
                engine.CanStopPlayer(1, false), engine.CanStopPlayer(0, true), engine.CanStopPlayer(1, true)};
    }
};

TEST_F(Commands, AvailabilityFollowsThePuzzlesState)
{
    EXPECT_EQ(Available(), (Availability{true, false, false, false, false, false})) << "idle";
    StartPuzzle("Frage\nABC");
    EXPECT_EQ(Available(), (Availability{false, false, true, true, true, true})) << "running";
    engine.StopPlayer(0);
    // F8 stays enabled although the stop it sends is refused; the tool bar buttons are not.
    EXPECT_EQ(Available(), (Availability{false, true, false, true, false, false})) << "left stopped";
    engine.StartNextPuzzle();
    EXPECT_EQ(State().GameNumber, 1) << "a start the remote sends while the clock stands is refused";
    engine.RevealAll();
    EXPECT_EQ(Available(), (Availability{true, false, false, false, false, false})) << "revealed";
    StartPuzzle("Frage\nX");
    RunFor(5000);
    EXPECT_EQ(Available(), (Availability{false, true, false, false, false, false})) << "timed out";
    engine.RevealAll();
    EXPECT_EQ(Available(), (Availability{true, false, false, false, false, false})) << "revealed";
    EXPECT_FALSE(engine.CanStopPlayer(2, false));
    EXPECT_FALSE(engine.CanStopPlayer(-1, true));
}

// The other player's stop is refused; the same player's rings again; unknown players do nothing.
// The reveal clears the stop and shows everything, silently.
TEST_F(Commands, OnlyTheFirstPlayerToStopIsInUntilTheReveal)
{
    StartPuzzle("Frage\nABC");
    engine.StopPlayer(0);
    engine.StopPlayer(1);
    engine.StopPlayer(0);
    engine.StopPlayer(5);
    engine.StopPlayer(-1);
    EXPECT_EQ(sound.Names(), (Names{"CLING1", "CLING1"}));
    EXPECT_EQ(State().Stopped[0], 1);
    EXPECT_EQ(State().Stopped[1], 0);
    EXPECT_EQ(State().PlayerState[0], kPlayerStoppedClock);
    EXPECT_EQ(State().PlayerState[1], kPlayerNeutral);
    EXPECT_EQ(State().Running, 1) << "the puzzle stays running with its clock frozen";

    State().AnswerDirty = 0;
    sound.Clear();
    engine.RevealAll();
    EXPECT_EQ(State().Running, 0);
    EXPECT_EQ(State().CoveredCount, 0);
    EXPECT_EQ(State().Stopped[0], 0);
    EXPECT_EQ(State().PlayerState[0], kPlayerNeutral);
    EXPECT_EQ(State().AnswerDirty, 1);
    EXPECT_TRUE(sound.Played().empty());
}

TEST_F(Commands, StartSetsBothTicksAndKeepsStops)
{
    puzzles.WritePuzzle(1, "Frage\nABC");
    engine.StopPlayer(0);  // the remote may stop while idle
    clock.Set(777);
    State().QuestionDirty = 0;
    engine.StartNextPuzzle();
    EXPECT_EQ(State().Running, 1);
    EXPECT_EQ(State().LastSwitchTick, 777u);
    EXPECT_EQ(State().LastSecondTick, 777u);
    EXPECT_EQ(State().QuestionDirty, 1);
    EXPECT_EQ(State().Stopped[0], 1);
    RunFor(20000);
    EXPECT_EQ(State().CoveredCount, 3) << "the clock stands until the reveal";
}

TEST_F(Commands, MissingNumbersAreSkippedUpToNine)
{
    puzzles.WritePuzzle(1, "Eins\nA");
    puzzles.WritePuzzle(2, "Zwei\nB");
    puzzles.WritePuzzle(5, "F\xFCnf\nC");
    for (const int number : {1, 2, 5}) {
        engine.StartNextPuzzle();
        EXPECT_EQ(State().GameNumber, number);
        EXPECT_EQ(State().Running, 1);
        engine.RevealAll();
    }
    EXPECT_EQ(State().QuestionText(), "F\xFCnf");

    State().QuestionDirty = 0;
    engine.StartNextPuzzle();
    EXPECT_EQ(State().GameNumber, 15);
    EXPECT_EQ(State().Running, 0);
    EXPECT_EQ(State().QuestionText(), "Keine Spiele mehr !");
    EXPECT_EQ(State().AnswerText(), "Keine Spiele mehr !");
    EXPECT_EQ(State().QuestionDirty, 1);
    engine.StartNextPuzzle();
    EXPECT_EQ(State().GameNumber, 25);
}

// The editor starts its puzzle whatever the state. A puzzle that cannot be read starts nothing and
// leaves the texts; the switch time is the setting's again.
TEST_F(Commands, EditorStartsItsPuzzleWhateverTheState)
{
    StartPuzzle("Frage\n@2000 X");
    ASSERT_EQ(State().CurSwitchTime, 2000u);
    RunFor(2000);
    ASSERT_EQ(State().PlayerState[0], kPlayerTimedOut);
    EXPECT_FALSE(engine.StartPuzzleAsCurrent(9));
    EXPECT_EQ(State().Running, 0);
    EXPECT_EQ(State().GameNumber, 1);
    EXPECT_EQ(State().QuestionText(), "Frage");
    EXPECT_EQ(State().AnswerText(), "X");
    EXPECT_EQ(State().CurSwitchTime, 5000u);
    sound.Clear();
    RunFor(10000);
    EXPECT_TRUE(sound.Played().empty());

    puzzles.WritePuzzle(42, "Neu\nABC");
    clock.Set(5555);
    State().QuestionDirty = State().AnswerDirty = 0;
    EXPECT_TRUE(engine.StartPuzzleAsCurrent(42));
    EXPECT_EQ(State().GameNumber, 42);
    EXPECT_EQ(State().Running, 1);
    EXPECT_EQ(State().LastSwitchTick, 5555u);
    EXPECT_EQ(State().LastSecondTick, 5555u);
    EXPECT_EQ(State().QuestionDirty, 1);
    EXPECT_EQ(State().AnswerDirty, 1);
    EXPECT_EQ(State().PlayerState[0], kPlayerTimedOut) << "the columns are left as they are";
    EXPECT_EQ(State().QuestionText(), "Neu");
}

TEST_F(GameTestBed, StarsWrapAroundTheModulus)
{
    const struct {
        int modulus, from;
        bool up;
        int expected;
    } cases[] = {
        {8, 7, true, 0}, {8, 0, false, 7}, {8, 3, true, 4}, {25, 0, false, 24}, {25, 24, true, 0},
        {8, 20, true, 5}, {8, 20, false, 3},  // a score above a smaller modulus
    };
    for (const auto& c : cases)
        for (int player = 0; player < 2; ++player) {
            State().StarModulus = c.modulus;
            State().Stars = {0, 0};
            State().Stars[player] = static_cast<std::uint8_t>(c.from);
            c.up ? engine.StarsUp(player) : engine.StarsDown(player);
            EXPECT_EQ(State().Stars[player], c.expected) << c.modulus << " " << c.from << " player " << player;
            EXPECT_EQ(State().Stars[1 - player], 0) << "the other player's score stays";
        }
    State().Stars = {3, 4};  // unknown players change nothing
    engine.StarsUp(2);
    engine.StarsDown(-1);
    EXPECT_EQ(State().Stars[0], 3);
    EXPECT_EQ(State().Stars[1], 4);
}

TEST_F(GameTestBed, PuzzleWithoutPictureShowsTheLastOne)
{
    EXPECT_TRUE(engine.Picture().IsEmpty()) << "no picture before the first load";
    puzzles.WriteFile("Game001/Pic.png", ReadAll(TestData("store/pic-4x3.png")));
    puzzles.WritePuzzle(1, "Eins\nA");
    puzzles.WritePuzzle(2, "Zwei\nB");
    puzzles.WriteFile("Game003/Pic.png", ReadAll(TestData("store/damaged.png")));
    puzzles.WritePuzzle(3, "Drei\nC");
    for (int number = 1; number <= 3; ++number) {
        engine.StartNextPuzzle();
        ASSERT_EQ(State().GameNumber, number);
        EXPECT_EQ(engine.Picture().Width(), 4u) << "puzzle " << number;
        EXPECT_EQ(engine.Picture().Height(), 3u) << "puzzle " << number;
        engine.RevealAll();
    }
}

}  // namespace
