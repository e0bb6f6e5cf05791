#include "app/CommandTexts.h"

#include "app/CommandIds.h"

#include <array>

namespace {

struct Entry {
    std::uint32_t id;
    CommandTexts texts;
};

constexpr std::array kTexts = {
    Entry{CommandId::NewPuzzle, {"Erstellt ein neues Bild.", "Neu"}},
    Entry{CommandId::Exit, {"Beendet die Anwendung.", "Beenden"}},
    Entry{CommandId::About, {"Zeigt Informationen über das Programm an.", "Info"}},
    Entry{CommandId::KeyMap, {"Zeigt die Tastenbelegung an.", "Tastenbelegung"}},
    Entry{CommandId::FileFormat, {"Beschreibt das Dateiformat der Rätsel.", "Dateiformat"}},
    Entry{CommandId::FullScreen, {"Schaltet um in den Vollbildmodus.", "Vollbild Ansicht"}},
    Entry{CommandId::StayOnTop, {"Fixiert das Fenster immer im Vordergrind", "Fenster fixieren"}},
    Entry{CommandId::FlatToolBar, {"DIe Tasten in der ToolBar flach oder erhaben anzeigen", "Flache Symbolleiste"}},
    Entry{CommandId::ViewToolBar, {"Blendet die Symbolleiste ein oder aus.", "Symbolleiste"}},
    Entry{CommandId::ViewStatusBar, {"Blendet die Statusleiste ein oder aus.", "Statusleiste"}},
    Entry{CommandId::NextPuzzle, {"Startet das nächste Rätsel.", "Starte Rätsel"}},
    Entry{CommandId::StopFirstTimer, {"Stopt den ersten Timer.", "Ersten Timer anhalten"}},
    Entry{CommandId::StopFirstTimerBar, {"Stopt den ersten Timer.", "Ersten Timer anhalten"}},
    Entry{CommandId::StopSecondTimer, {"Stopt den zweiten Timer.", "Zweiten Timer anhalten"}},
    Entry{CommandId::StopSecondTimerBar, {"Stopt den zweiten Timer.", "Zweiten Timer anhalten"}},
    Entry{CommandId::RevealText, {"Macht das aktuelle Rätsel voll sichtbar.", "Text aufdecken"}},
    Entry{CommandId::SmallStars, {"Größe der Sterne auswählen", "Kleine Sterne"}},
    Entry{CommandId::MediumStars, {"Größe der Sterne auswählen", "Mittlere Sterne"}},
    Entry{CommandId::LargeStars, {"Größe der Sterne auswählen", "Große Sterne"}},
    Entry{CommandId::TwoRows, {"Größe der Sterne auswählen", "Zwei Reihen"}},
    Entry{CommandId::ChooseComPort, {"Hier kann man das COM-Port für die Fernsteuerung auswählen", "COM-Port auswählen"}},
    Entry{CommandId::FirstPlayerUp, {"Die Sterne vom ersten Spieler erhöhen", "Erster Spieler +"}},
    Entry{CommandId::SecondPlayerUp, {"Die Sterne vom zweiten Spieler erhöhen", "Zweiter Spieler +"}},
    Entry{CommandId::FirstPlayerDown, {"Die Sterne vom ersten Spieler vermindern", "Erster Spieler -"}},
    Entry{CommandId::SecondPlayerDown, {"Die Sterne vom zweiten Spieler vermindern", "Zweiter Spieler -"}},
    Entry{CommandId::PuzzlePath, {"Einstellen des Pfades mit den Rätsel und Bildern.", "Rätselpfad"}},
    Entry{CommandId::NextGameNumber, {"Auswahl der nächsten Spielnummer", "Nächste Spielnummer"}},
    Entry{CommandId::SwitchTime, {"Stellt die Zeit ein in der Buchstaben aufgetdeckt werden.", "Schaltzeit einstellen"}},
    Entry{CommandId::PresenterView, {"Zeigt dem Moderator Antwort, Spielstand und Tasten in einem eigenen Fenster.", "Moderatorenansicht"}},
    Entry{CommandId::SwapScreens, {"Tauscht die Bildschirme von Spiel und Moderatorenansicht.", "Bildschirme tauschen"}},
    Entry{CommandId::SecondTick, {"Die Tonausgabe pro Sekunde aktivieren.", "Sekundentick"}},
    Entry{CommandId::PhoneBuzzers, {"Handys als Buzzer zulassen (QR-Code zum Beitreten).", "Handy-Buzzer"}},
    Entry{CommandId::BuzzerKeys, {"Die Tasten zum Anhalten der Timer festlegen.", "Buzzer-Tasten"}},
};

}  // namespace

CommandTexts TextsOfCommand(std::uint32_t id)
{
    for (const auto& entry : kTexts) {
        if (entry.id == id)
            return entry.texts;
    }
    return {};
}
