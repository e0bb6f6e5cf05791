#pragma once
// A game engine on a manual clock, with a fixed seed, a sound sink that records, and a puzzle
// path in a temporary folder.

#include "game/GameEngine.h"
#include "tests/game/RecordingSound.h"
#include "tests/store/TemporaryPuzzleSet.h"

class GameTestBed : public testing::Test {
protected:
    static constexpr std::uint32_t kStart = 100000;
    static constexpr std::uint32_t kTimerPeriod = 50;

    GameTestBed()
    {
        engine.SetPuzzlePath(puzzles.Root());
        engine.SetLetterListener([this](int index) { uncovered.push_back(index); });
    }

    CGameState& State() { return engine.State(); }

    // Runs the game timer for `ms` of simulated time, one step per period.
    void RunFor(std::uint32_t ms)
    {
        for (std::uint32_t elapsed = 0; elapsed < ms; elapsed += kTimerPeriod) {
            clock.Advance(kTimerPeriod);
            engine.GameStep();
        }
    }

    // Starts the only puzzle there is, numbered 1, with this text.
    void StartPuzzle(std::string_view text)
    {
        puzzles.WritePuzzle(State().GameNumber + 1, text);
        engine.StartNextPuzzle();
        ASSERT_EQ(State().Running, 1) << "the puzzle did not start";
    }

    std::vector<int> uncovered;  // indexes reported to the letter listener, in order

    CTemporaryPuzzleSet puzzles;
    CManualTicks clock{kStart};
    CRandom random{20240607};
    CRecordingSound sound{clock};
    CGameEngine engine{clock, random, sound};
};
