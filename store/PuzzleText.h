#pragma once
// The puzzle text "Game.txt": its first line is the question, every further line a possible
// answer, drawn at random on each load. An answer line may begin with "@" and a number of
// milliseconds that sets the puzzle's own switch time.

#include "support/Random.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The loader reads at most this many bytes of a puzzle text; the rest of a longer file is ignored.
inline constexpr std::size_t kPuzzleTextMaxBytes = 65534;
// Question and answer are cut to this many bytes (they live in 256-byte fields with their NUL).
inline constexpr std::size_t kPuzzleLineMaxBytes = 255;
// The range of a switch time set by an answer line's "@" prefix.
inline constexpr std::uint32_t kSwitchTimeOverrideMin = 1000;
inline constexpr std::uint32_t kSwitchTimeOverrideMax = 10000;

// The lines of a puzzle text as written, not yet cut to field size.
struct CPuzzleLines {
    std::string Question;
    // Empty only when the text holds no line end at all; otherwise at least one (maybe empty) line.
    std::vector<std::string> Candidates;
};

// Splits the text into question and answer candidates. Takes any bytes: only the first
// kPuzzleTextMaxBytes count, and a zero byte ends the text.
CPuzzleLines ParsePuzzleLines(std::string_view text);

// An answer candidate with its "@" prefix taken apart.
struct CAnswerLine {
    std::string_view Text;    // the answer without the prefix (not cut)
    std::uint32_t SwitchTime;  // the prefix's value clamped to 1000..10000, or the given default
    bool HasSwitchTime;
};

CAnswerLine SplitSwitchTimePrefix(std::string_view candidate, std::uint32_t defaultSwitchTime);

// What one load of a puzzle gives the game.
struct CPuzzleText {
    std::string Question;  // at most kPuzzleLineMaxBytes
    std::string Answer;    // at most kPuzzleLineMaxBytes, without the "@" prefix
    std::uint32_t CurSwitchTime;
};

// Draws one candidate with the game's generator (one value when there are candidates, none
// otherwise) and applies its prefix; defaultSwitchTime is the configured switch time.
CPuzzleText DrawPuzzleText(const CPuzzleLines& lines, std::uint32_t defaultSwitchTime, CRandom& random);
