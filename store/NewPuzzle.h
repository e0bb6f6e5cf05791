#pragma once
// The game's "Neu" command: asks for a new puzzle, writes it below the puzzle path and starts it
// at once as the current game.

#include <functional>
#include <string>

class CGameEngine;
class QWidget;
struct CNewPuzzleFields;

// Runs the dialog over `parent` starting at the engine's puzzle number. After OK it writes the
// puzzle below the engine's puzzle path under the wait cursor and shows a failure as an error
// box; otherwise it loads the puzzle, makes it the running game and calls runStepAndRedraw for
// one game step and an immediate redraw.
// The entries are kept for the next call while the program runs. A picturePath, when given, is
// the picture the dialog starts with.
void NewPuzzle(QWidget* parent, CGameEngine& engine, const std::function<void()>& runStepAndRedraw,
               const std::string& picturePath = {});

// The same with the caller's fields instead of the program-wide ones.
void NewPuzzle(QWidget* parent, CGameEngine& engine, const std::function<void()>& runStepAndRedraw,
               CNewPuzzleFields& fields, const std::string& picturePath = {});
