#pragma once
// What writing a new puzzle can end with. The core shows nothing itself: the dialog turns a
// failure into a message box, the command-line tool into a line on stderr.

#include <string_view>

enum class EPuzzleEditError {
    None,
    BadNumber,        // "Die Bildenummer ist falsch (1..999) !"
    NoFreeSlot,       // "Es wurde kein freier Platz gefunden !"
    InsertFailed,     // "Es gab einen Fehler beim Einfügen !"
    PictureLoad,      // "Das Bild konnte nicht geladen werden !"
    PictureSave,      // "Es gab einen Fehler beim Speichern des Bildes !"
    TextSave,         // "Es gab einen Fehler beim Speichern des Textes !"
};

// The German message of an error, UTF-8; empty for None.
std::string_view PuzzleEditErrorText(EPuzzleEditError error);

struct CPuzzleEditResult {
    EPuzzleEditError Error = EPuzzleEditError::None;
    int Number = 0;  // the puzzle number written (or the one the failure concerns)

    explicit operator bool() const { return Error == EPuzzleEditError::None; }
    std::string_view Message() const { return PuzzleEditErrorText(Error); }
};
