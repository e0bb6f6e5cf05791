#pragma once
// The rules of the quiz: loading and starting puzzles, uncovering letters on the clock, the
// players' stops, the reveal and the stars. Runs on the GUI thread, except StopPlayer, which the
// remote's reader thread calls too. Clock, random generator and sound output are the caller's, so
// a whole puzzle can be played in simulated time.

#include "game/GameState.h"
#include "game/ShownPicture.h"
#include "game/SoundSink.h"
#include "imaging/GraphicsImage.h"
#include "support/Random.h"
#include "support/TickCount.h"

#include <filesystem>
#include <functional>
#include <mutex>

// Where the engine's puzzle pictures come from when they are not read at once (the game view
// prepares them on a worker thread).
class IPuzzlePictureSource {
public:
    virtual ~IPuzzlePictureSource() = default;
    // Puts the picture of puzzle `number` into `picture` when it is at hand; one that is not comes
    // later by the source's own way. A missing or damaged picture leaves `picture` as it is.
    virtual void LoadPicture(const std::filesystem::path& puzzlePath, int number, CShownPicture& picture) = 0;
};

class CGameEngine {
public:
    // Called with the index in Answer of a letter that has just been uncovered, so that only its
    // cell needs drawing.
    using LetterListener = std::function<void(int index)>;

    // A start tries this many numbers, so up to nine missing puzzle numbers in a row are skipped.
    static constexpr int kStartAttempts = 10;

    // sound must accept calls from the reader thread as well (StopPlayer).
    CGameEngine(const CTickSource& clock, CRandom& random, IGameSound& sound);
    CGameEngine(const CGameEngine&) = delete;
    CGameEngine& operator=(const CGameEngine&) = delete;

    CGameState& State() { return state_; }
    // The clock the game runs on.
    const CTickSource& Clock() const { return clock_; }
    const CGameState& State() const { return state_; }

    // The folder holding the puzzle folders "Game001" and so on.
    void SetPuzzlePath(std::filesystem::path path) { puzzlePath_ = std::move(path); }
    const std::filesystem::path& PuzzlePath() const { return puzzlePath_; }

    // The puzzle picture; it keeps the last picture that loaded when a puzzle has none. Changing
    // it through Picture() drops the copies fitted to the screen.
    CGraphicsImage& Picture() { return picture_.ImageToChange(); }
    const CGraphicsImage& Picture() const { return picture_.Image(); }
    CShownPicture& ShownPicture() { return picture_; }

    // Without a source (the default) a puzzle's picture is read when the puzzle loads.
    void SetPictureSource(IPuzzlePictureSource* source) { pictureSource_ = source; }

    void SetLetterListener(LetterListener listener) { letterListener_ = std::move(listener); }

    // The switch time setting, clamped to 2000..10000; it applies at once, also to the puzzle in
    // play, replacing a switch time that the puzzle brought with it.
    void SetSwitchTime(int milliseconds);

    // Builds the covered letters and the display rows from Answer.
    void PrepareAnswer();
    // Loads the picture of puzzle n and reads its text into Question, Answer and CurSwitchTime.
    // False when it has no text: then the texts are unchanged (CurSwitchTime is back at the
    // setting in either case, and the picture may already be the new one).
    bool LoadPuzzle(int number);
    // The next puzzle in number order, skipping up to nine missing numbers.
    void StartNextPuzzle();
    // Loads puzzle n and makes it the running game whatever the current state (the puzzle editor
    // does this after writing it). The caller runs one timer step and redraws right after.
    // False, with nothing started, when the puzzle cannot be read.
    bool StartPuzzleAsCurrent(int number);
    void RevealAll();
    // Safe to call from any thread. Only the first player's stop of a puzzle counts.
    void StopPlayer(int player);
    void StarsUp(int player);
    void StarsDown(int player);
    // One tick of the game clock: uncovering, the second tick, the time-out.
    void GameStep();

    // When the commands are available. Stars can always be changed.
    bool CanStartNextPuzzle() const;
    bool CanRevealAll() const;
    // fromToolbar: the tool-bar buttons stop only while nobody has stopped yet; F7 and F8 only
    // ask that this player has not.
    bool CanStopPlayer(int player, bool fromToolbar) const;

private:
    void UncoverOneLetter();
    void TimeOut();
    void Play(const char* name) { sound_.PlayGameSound(name); }

    const CTickSource& clock_;
    CRandom& random_;
    IGameSound& sound_;
    CGameState state_;
    CShownPicture picture_;
    IPuzzlePictureSource* pictureSource_ = nullptr;
    std::filesystem::path puzzlePath_;
    LetterListener letterListener_;
    // A stop from the reader thread and one from the GUI thread must not both pass the check of
    // the other player's flag; a reveal must not interleave with a stop either.
    std::mutex stopMutex_;
};
