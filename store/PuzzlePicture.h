#pragma once
// The picture of a puzzle, "Pic.png" in its folder (any format the imaging library recognises).

#include <filesystem>

class CGraphicsImage;

// Loads the picture of puzzle n into `picture`. The picture changes only when the file loads
// completely: a missing or damaged file leaves the picture it held, never a half-decoded one.
// Returns the LoadGraphicsFile result (0 on success), kLoadCannotOpen when there is no file.
int LoadPuzzlePicture(const std::filesystem::path& puzzlePath, int number, CGraphicsImage& picture);
