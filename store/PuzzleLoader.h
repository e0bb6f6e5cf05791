#pragma once
// Loading the text of puzzle number n from the puzzle path.

#include "store/PuzzleFile.h"
#include "store/PuzzleText.h"
#include "support/Random.h"

#include <cstdint>
#include <filesystem>
#include <optional>

// The puzzle's text file as read and split into lines.
struct CPuzzleSource {
    std::filesystem::path TextFile;
    bool Truncated = false;  // only the first kPuzzleTextMaxBytes of the file were read
    CPuzzleLines Lines;
};

// Nothing when the puzzle has no text file, or an empty one: then the puzzle does not exist.
std::optional<CPuzzleSource> ReadPuzzleSource(const std::filesystem::path& puzzlePath, int number);

// One load as the game makes it: the lines read, one answer drawn with the shared generator and
// its switch-time prefix applied (defaultSwitchTime otherwise).
std::optional<CPuzzleText> ReadPuzzleText(const std::filesystem::path& puzzlePath, int number,
                                          std::uint32_t defaultSwitchTime, CRandom& random);
