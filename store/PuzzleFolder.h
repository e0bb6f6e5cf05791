#pragma once
// Where puzzle number n lives: the folder "Game%03i" below the puzzle path, holding "Game.txt"
// and the optional "Pic.png".

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

inline constexpr std::string_view kPuzzleTextFileName = "Game.txt";
inline constexpr std::string_view kPuzzlePictureFileName = "Pic.png";

// "Game" and the number with at least three digits: Game001, Game999, Game1000.
std::string PuzzleFolderName(int number);

// The folder's path as the game forms it: the puzzle path, a separator, the folder name. An empty
// puzzle path gives a path below the file-system root.
std::filesystem::path PuzzleFolderPath(const std::filesystem::path& puzzlePath, int number);

// The entry `name` of `folder`: the exact name when it exists, otherwise the entry whose name
// differs only in ASCII letter case (puzzle sets copied from Windows carry "game001/GAME.TXT");
// of several such entries the one that sorts first. Nothing when there is none.
std::optional<std::filesystem::path> FindEntryIgnoringCase(const std::filesystem::path& folder,
                                                           std::string_view name);

// A file of puzzle number n ("Game.txt" or "Pic.png"), with the folder and the file name each
// found as FindEntryIgnoringCase does. Nothing when either is missing.
std::optional<std::filesystem::path> FindPuzzleFile(const std::filesystem::path& puzzlePath, int number,
                                                    std::string_view fileName);

// The number that a folder name stands for, when it is exactly PuzzleFolderName(n) for an
// n >= 0 up to letter case ("game012" is 12, "Game12" and "Game0012" are none).
std::optional<int> PuzzleNumberOfFolderName(std::string_view name);
