#pragma once
// The game's "Neu" command: asks for a new puzzle, writes it below the puzzle path and starts it
// at once as the current game.

#include <filesystem>
#include <functional>

class CGameEngine;
class QWidget;
struct CNewPuzzleFields;

// Runs the dialog over `parent` starting at the engine's puzzle number. After OK it writes the
// puzzle under the wait cursor, shows a failure as an error box, otherwise loads the puzzle, makes
// it the running game and calls runStepAndRedraw for one game step and an immediate redraw.
// The entries are kept for the next call while the program runs.
void NewPuzzle(QWidget* parent, CGameEngine& engine, const std::filesystem::path& puzzlePath,
               const std::function<void()>& runStepAndRedraw);

// The same with the caller's fields instead of the program-wide ones.
void NewPuzzle(QWidget* parent, CGameEngine& engine, const std::filesystem::path& puzzlePath,
               const std::function<void()>& runStepAndRedraw, CNewPuzzleFields& fields);
