#pragma once
// What the presenter window tells the quiz master, worked out from the game's state: the phase of
// the puzzle, the seconds it has run, the answer letter by letter with what is uncovered, the
// puzzle's place in the set and the question that comes next. Texts are UTF-8.

#include "game/GameState.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

enum class EShowPhase { Ready, Running, StoppedLeft, StoppedRight, TimedOut, Revealed };

EShowPhase PhaseOf(const CGameState& state);
// "Bereit", "Läuft", "Angehalten von links", ...
std::string PhaseText(EShowPhase phase);

// One character of the answer as the presenter shows it.
struct SAnswerCell {
    std::string text;       // the character, UTF-8
    bool letter = false;    // one of the letters the game uncovers
    bool uncovered = false; // a letter the audience already sees
};

// The answer's rows ("|" separates them), every row cell by cell; all rows, also those beyond the
// screen's four.
std::vector<std::vector<SAnswerCell>> AnswerRows(const CGameState& state);

// The seconds since the puzzle started, standing still once a player stopped the clock, the time
// ran out or the answer was revealed.
class CPuzzleStopwatch {
public:
    // Called with the state and the game clock's time, as often as the window refreshes.
    void Update(const CGameState& state, std::uint32_t now);
    int Seconds() const { return seconds_; }

private:
    bool seen_ = false;
    std::uint32_t start_ = 0;
    std::int32_t gameNumber_ = -1;
    int seconds_ = 0;
};

// The puzzle set below a puzzle path as the presenter shows it: how many puzzles it holds and the
// question of the puzzle that the next start would load. Both read the disk, so the caller asks
// again only when the path or the game number changed.
struct SPuzzleSetView {
    int count = 0;
    int nextNumber = 0;         // 0 when no further puzzle follows
    std::string nextQuestion;   // UTF-8; the game's own "Keine Spiele mehr !" when none follows
};
SPuzzleSetView ViewPuzzleSet(const std::filesystem::path& puzzlePath, std::int32_t gameNumber);

// "Rätsel 3 von 12", "Rätsel – von 12" before the first one.
std::string PuzzlePlaceText(std::int32_t gameNumber, int count);
