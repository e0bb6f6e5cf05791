#pragma once
// Choosing the number a new puzzle is written to, and making room for it when it is inserted in
// front of existing puzzles.

#include "store/PuzzleEditResult.h"

#include <filesystem>
#include <functional>

// Renames a puzzle folder; false when it cannot, leaving both names as they were.
using FolderMover = std::function<bool(const std::filesystem::path& from, const std::filesystem::path& to)>;

// Renames `from` to `to` only while nothing of to's name exists, in any letter case: an empty
// folder left in the way must stop the renumbering rather than silently vanish under it.
bool MoveFolderNoReplace(const std::filesystem::path& from, const std::filesystem::path& to);

// A number is free when its folder holds no "Game.txt" file (a folder without one is free).
bool IsPuzzleNumberFree(const std::filesystem::path& puzzlePath, int number);

// The puzzle folder of n as it exists on disk (its name may differ in letter case), or the name
// the game gives it when there is none yet.
std::filesystem::path ExistingPuzzleFolder(const std::filesystem::path& puzzlePath, int number);

// The slot for a new puzzle asked for at `number` in `mode` (a NewPuzzleMode):
// NextFree takes the first free number from there on; Insert moves the puzzles from there up to
// the first free number one number up (the highest first) so that the number becomes free;
// Overwrite takes the number as it is. NextFree and Insert treat numbers below 1 as 1. The result
// carries the number 1..999, or the error that ends the command. Renames done before a failing
// one stay done.
CPuzzleEditResult ChoosePuzzleSlot(const std::filesystem::path& puzzlePath, int number, int mode,
                                   const FolderMover& move = MoveFolderNoReplace);
