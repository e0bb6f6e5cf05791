#pragma once
// Writing a new puzzle folder: the slot is chosen (and made room for), the folder created, the
// picture imported as "Pic.png" and the text written as "Game.txt". Each file is replaced as a
// whole, so a failure never leaves a puzzle with half a picture or half a text.

#include "store/NewPuzzleEntries.h"
#include "store/PuzzleEditResult.h"
#include "store/PuzzleSlot.h"

#include <filesystem>
#include <string>
#include <string_view>

class CGraphicsImage;

// The content of "Game.txt": question, LF, answer, LF. Each is cut to the 255 bytes the game
// reads; line ends and zero bytes in them, which the file cannot hold inside a line, become blanks.
std::string NewPuzzleText(std::string_view question, std::string_view answer);

// Writes the puzzle of `entries` below puzzlePath. The picture file, when one is named, is loaded
// by its content and fitted before anything in the set changes, then stored as PNG, unless it
// already is the puzzle's own "Pic.png" at its fitted size. Without a picture an existing
// "Pic.png" stays. A failure undoes the moves and the folders it made, so the set is as it was
// (an overwritten puzzle whose text fails keeps its new picture). Only when everything is written
// does `picture` (the picture in play) become the imported one; until then it keeps what it held.
CPuzzleEditResult WriteNewPuzzle(const std::filesystem::path& puzzlePath, const CNewPuzzleEntries& entries,
                                 CGraphicsImage& picture, const FolderMover& move = MoveFolderNoReplace);
