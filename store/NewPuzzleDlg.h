#pragma once
// "Neues Bild erstellen": the quiz master names a picture file, a question, an answer, a puzzle
// number and where the puzzle goes (next free number, inserted, overwritten). The entries live in
// a CNewPuzzleFields that outlasts the dialog, so the next use shows them again.

#include "store/NewPuzzleEntries.h"

#include <QDialog>

#include <string>
#include <vector>

class QButtonGroup;
class QComboBox;
class QLineEdit;
class QPushButton;

struct CNewPuzzleFields {
    std::string NumberText;  // the number as typed
    CNewPuzzleEntries Entries;
};

// Caption of the dialog's own messages: the application title.
inline constexpr std::string_view kNewPuzzleMessageCaption = "Quizmora";
// The picture history in the application's settings key.
inline constexpr std::string_view kPictureHistoryValue = "NameList";

class CNewPuzzleDlg final : public QDialog {
    Q_OBJECT
public:
    // fields.Entries.Number is the number to start from; the caller sets it before each use.
    explicit CNewPuzzleDlg(CNewPuzzleFields& fields, QWidget* parent = nullptr);

    // Shows the dialog modally. True when it closed through OK with every check passed: then the
    // fields hold the entries and Entries.Number the parsed number.
    bool DoModal();
    // A picture to start with instead of the last one of the history (a file dropped on the game).
    void SetPicturePath(std::string path) { presetPicture_ = std::move(path); }

private:
    void Initialise();
    void TakeOverControls();
    void ShowFields();
    void Browse();
    void ConfirmEntries();
    void ShowCheckMessage(std::string_view text);
    void StoreHistory();

    CNewPuzzleFields& fields_;
    QComboBox* pictureCombo_;
    QPushButton* browseButton_;
    QLineEdit* questionEdit_;
    QLineEdit* answerEdit_;
    QButtonGroup* modeGroup_;
    QLineEdit* numberEdit_;
    std::string presetPicture_;
};
