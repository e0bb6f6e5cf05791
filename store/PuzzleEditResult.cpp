#include "store/PuzzleEditResult.h"

std::string_view PuzzleEditErrorText(EPuzzleEditError error)
{
    switch (error) {
    case EPuzzleEditError::None: return {};
    case EPuzzleEditError::BadNumber: return "Die Bildenummer ist falsch (1..999) !";
    case EPuzzleEditError::NoFreeSlot: return "Es wurde kein freier Platz gefunden !";
    case EPuzzleEditError::InsertFailed: return "Es gab einen Fehler beim Einfügen !";
    case EPuzzleEditError::PictureLoad: return "Das Bild konnte nicht geladen werden !";
    case EPuzzleEditError::PictureSave: return "Es gab einen Fehler beim Speichern des Bildes !";
    case EPuzzleEditError::TextSave: return "Es gab einen Fehler beim Speichern des Textes !";
    }
    return {};
}
