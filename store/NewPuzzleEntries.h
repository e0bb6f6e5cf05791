#pragma once
// What the quiz master enters for a new puzzle, and the checks it must pass before anything is
// written. Shared by the editor dialog and the command-line tool, so both refuse the same input
// with the same words.

#include "store/PictureImport.h"

#include <optional>
#include <string>
#include <string_view>

// Where the new puzzle goes: the first free number from the given one on, in front of the given
// number (moving the puzzles there up by one), or onto the given number.
enum NewPuzzleMode : int {
    NextFree = 0,
    Insert = 1,
    Overwrite = 2,
};

// The highest puzzle number the editor writes; anything above it is rejected.
inline constexpr int kLastPuzzleNumber = 999;

struct CNewPuzzleEntries {
    std::string PicturePath;  // native path (UTF-8 on Linux); empty: no picture
    std::string Question;     // Windows-1252
    std::string Answer;       // Windows-1252
    int Number = 0;
    int Mode = NextFree;      // a NewPuzzleMode; any other value overwrites
    CPictureFit Fit;          // the size the picture is stored at
};

// The typed puzzle number in the notations of ParseNumber (0x10, 0o17, 0b101, 007), brought into
// 1..1000: nothing and anything below 1 give 1, anything above 999 gives 1000, which the writer
// then refuses. Numbers beyond 32 bits count as above 999 rather than wrapping round.
int PuzzleNumberFromText(std::string_view text);

// The entry checks in the dialog's order: an existing picture file (when one is named), a
// question, an answer. The message of the first check that fails (UTF-8), nothing when all pass.
std::optional<std::string_view> CheckNewPuzzleEntries(const CNewPuzzleEntries& entries);

inline constexpr std::string_view kNeedPictureText = "Bitte ein gültiges Bild auswählen !";
inline constexpr std::string_view kNeedQuestionText = "Bitte eine Frage eingen:\n\nz.B. : 'Was ist hier zu sehen ?'";
inline constexpr std::string_view kNeedAnswerText = "Bitte eine Antwort eingen !";
