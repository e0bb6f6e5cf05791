#pragma once
// What a file or folder dropped on the game stands for: a picture to make a puzzle of, or a set
// of puzzles to play.

#include <filesystem>

struct SDroppedPath {
    enum Kind { Nothing, Picture, PuzzleSet };
    Kind kind = Nothing;
    // The picture file, or the folder that holds the puzzle folders.
    std::filesystem::path path;
};

// A file is a picture when the imaging library recognises its content. A folder is a puzzle set
// when it holds a puzzle folder with its text; a puzzle folder itself stands for the set it
// belongs to. Anything else is nothing.
SDroppedPath ClassifyDroppedPath(const std::filesystem::path& dropped);
