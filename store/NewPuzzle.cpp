#include "store/NewPuzzle.h"

#include "game/GameEngine.h"
#include "store/NewPuzzleDlg.h"
#include "store/PictureTransfer.h"
#include "store/PuzzleWriter.h"

#include <QApplication>
#include <QFile>
#include <QMessageBox>

namespace {

class CWaitCursor {
public:
    CWaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~CWaitCursor() { Restore(); }
    CWaitCursor(const CWaitCursor&) = delete;
    CWaitCursor& operator=(const CWaitCursor&) = delete;

    void Restore()
    {
        if (active_)
            QApplication::restoreOverrideCursor();
        active_ = false;
    }

private:
    bool active_ = true;
};

void ShowError(QWidget* parent, std::string_view text)
{
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Fehler"),
                    QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())), QMessageBox::Ok, parent);
    box.setObjectName(QStringLiteral("newPuzzleError"));
    box.exec();
}

// A pasted picture's file serves one use of the dialog; its name must not come back next time.
void DropPastedPicture(CNewPuzzleFields& fields)
{
    if (!fields.Pasted)
        return;
    if (fields.Entries.PicturePath == QFile::encodeName(fields.Pasted->Path()).toStdString())
        fields.Entries.PicturePath.clear();
    fields.Pasted.reset();
}

// One set of entries for the whole run: the next use shows the last question, answer and mode.
CNewPuzzleFields& ProgramFields()
{
    static CNewPuzzleFields fields;
    return fields;
}

void RunNewPuzzle(QWidget* parent, CGameEngine& engine, const std::function<void()>& runStepAndRedraw,
                  CNewPuzzleFields& fields, const std::string* picturePath)
{
    const int gameNumber = engine.State().GameNumber;
    fields.Entries.Number = gameNumber < 0 ? 1 : gameNumber;
    {
        CNewPuzzleDlg dialog(fields, parent);
        if (picturePath != nullptr)
            dialog.SetPicturePath(*picturePath);
        if (!dialog.DoModal()) {
            DropPastedPicture(fields);
            return;
        }
    }

    CWaitCursor waitCursor;
    const CPuzzleEditResult result = WriteNewPuzzle(engine.PuzzlePath(), fields.Entries, engine.Picture());
    DropPastedPicture(fields);
    if (!result) {
        waitCursor.Restore();
        ShowError(parent, result.Message());
        return;
    }
    if (engine.StartPuzzleAsCurrent(result.Number) && runStepAndRedraw)
        runStepAndRedraw();
}

}  // namespace

void NewPuzzle(QWidget* parent, CGameEngine& engine, const std::function<void()>& runStepAndRedraw)
{
    RunNewPuzzle(parent, engine, runStepAndRedraw, ProgramFields(), nullptr);
}

void NewPuzzle(QWidget* parent, CGameEngine& engine, const std::function<void()>& runStepAndRedraw,
               CNewPuzzleFields& fields)
{
    RunNewPuzzle(parent, engine, runStepAndRedraw, fields, nullptr);
}

void NewPuzzleWithPicture(QWidget* parent, CGameEngine& engine, const std::function<void()>& runStepAndRedraw,
                          const std::string& picturePath)
{
    RunNewPuzzle(parent, engine, runStepAndRedraw, ProgramFields(), &picturePath);
}
