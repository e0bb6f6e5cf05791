#pragma once
// The game view's source of puzzle pictures: the picture of the puzzle the next start will load is
// prepared on a worker thread while the current one plays, and again when the puzzle path or the
// screen changes, so a start only swaps it in. A start that finds nothing prepared, or finds the
// file changed since (size or time), shows its question and answer at once and its picture once
// the worker has it. The GUI thread never decodes a picture here.

#include "game/GameEngine.h"
#include "game/PicturePreparer.h"

#include <functional>
#include <optional>

class CPictureSupply final : public IPuzzlePictureSource {
public:
    // onReady runs on the worker thread whenever a picture is ready; the owner then calls
    // TakeAwaited on its own thread.
    explicit CPictureSupply(std::function<void()> onReady) : preparer_(std::move(onReady)) {}

    void SetScreen(SScreenShape screen) { screen_ = screen; }
    // Keeps the picture of the puzzle after `gameNumber` in preparation (cheap when nothing
    // changed). Waits while a started puzzle's picture is still to come.
    void PrepareNext(const std::filesystem::path& puzzlePath, int gameNumber);

    void LoadPicture(const std::filesystem::path& puzzlePath, int number, CShownPicture& picture) override;
    // The picture a started puzzle waits for, put into `picture` when it has come. True when the
    // wait is over (the picture changed, or failed to load and stays as it was).
    bool TakeAwaited(CShownPicture& picture);
    bool Awaiting() const { return awaited_.has_value(); }
    // For tests and benchmarks: the worker has nothing to do.
    bool Idle() const { return !preparer_.Busy(); }

private:
    struct SAwaited {
        std::filesystem::path puzzlePath;
        int number = 0;
    };

    CPicturePreparer preparer_;
    SScreenShape screen_;
    std::optional<SPictureRequest> lastNext_;
    std::optional<SAwaited> awaited_;
};
