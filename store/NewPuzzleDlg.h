#pragma once
// "Neues Bild erstellen": the quiz master names a picture file, a question, an answer, a puzzle
// number and where the puzzle goes (next free number, inserted, overwritten). The entries live in
// a CNewPuzzleFields that outlasts the dialog, so the next use shows them again.

#include "store/NewPuzzleEntries.h"

#include <QDialog>
#include <QString>

#include <memory>
#include <optional>
#include <string>
#include <vector>

class CPastedPicture;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QMimeData;
class QPushButton;
class QTimer;

struct CNewPuzzleFields {
    std::string NumberText;  // the number as typed
    CNewPuzzleEntries Entries;
    // Pasted or dropped image data, kept as a file until the puzzle is written; Entries'
    // picture path then names it.
    std::shared_ptr<CPastedPicture> Pasted;
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

    // Starts the dialog with this picture path instead of the history's last one (a picture
    // dropped on the game window). Call before DoModal.
    void SetPicturePath(std::string path);

    // Shows the dialog modally. True when it closed through OK with every check passed: then the
    // fields hold the entries and Entries.Number the parsed number.
    bool DoModal();

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Initialise();
    // Takes a picture file or picture data from a drop or the clipboard; false when it holds none.
    bool TakePicture(const QMimeData& mime);
    bool PasteFromClipboard();
    void UpdatePictureSize();
    void ShowPictureSize();
    void TakeOverControls();
    void ShowFields();
    void Browse();
    void ConfirmEntries();
    void ShowCheckMessage(std::string_view text);
    void StoreHistory();

    CNewPuzzleFields& fields_;
    std::optional<std::string> presetPicture_;
    QComboBox* pictureCombo_;
    QPushButton* browseButton_;
    QLineEdit* questionEdit_;
    QLineEdit* answerEdit_;
    QButtonGroup* modeGroup_;
    QLineEdit* numberEdit_;
    QCheckBox* shrinkCheck_;
    QLabel* sizeLabel_;
    QTimer* sizeTimer_;
    QString probedPath_;  // the path whose size is known, with the size (nothing: not a picture)
    std::optional<CPictureSize> probedSize_;
};

// The line under the check box: the picture's size and the size it is stored at (UTF-8).
std::string PictureSizeText(const std::optional<CPictureSize>& size, const CPictureFit& fit);
