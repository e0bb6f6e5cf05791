#include "store/NewPuzzle.h"

#include "game/GameEngine.h"
#include "store/NewPuzzleDlg.h"
#include "store/PuzzleWriter.h"

#include <QApplication>
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

}  // namespace

void NewPuzzle(QWidget* parent, CGameEngine& engine, const std::function<void()>& runStepAndRedraw,
               const std::string& picturePath)
{
    // One set of entries for the whole run: the next use shows the last question, answer and mode.
    static CNewPuzzleFields fields;
    NewPuzzle(parent, engine, runStepAndRedraw, fields, picturePath);
}

void NewPuzzle(QWidget* parent, CGameEngine& engine, const std::function<void()>& runStepAndRedraw,
               CNewPuzzleFields& fields, const std::string& picturePath)
{
    const int gameNumber = engine.State().GameNumber;
    fields.Entries.Number = gameNumber < 0 ? 1 : gameNumber;
    {
        CNewPuzzleDlg dialog(fields, parent);
        dialog.SetPicturePath(picturePath);
        if (!dialog.DoModal())
            return;
    }

    CWaitCursor waitCursor;
    const CPuzzleEditResult result = WriteNewPuzzle(engine.PuzzlePath(), fields.Entries, engine.Picture());
    if (!result) {
        waitCursor.Restore();
        ShowError(parent, result.Message());
        return;
    }
    if (engine.StartPuzzleAsCurrent(result.Number) && runStepAndRedraw)
        runStepAndRedraw();
}
