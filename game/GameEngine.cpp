#include "game/GameEngine.h"

#include "game/AnswerLayout.h"
#include "imaging/GraphicsFile.h"
#include "store/PuzzleLoader.h"
#include "store/PuzzlePicture.h"
#include "support/ClassTable.h"

#include <algorithm>

namespace {

constexpr std::uint32_t kSecondMs = 1000;
constexpr std::string_view kNoMorePuzzles = "Keine Spiele mehr !";

bool IsPlayer(int player)
{
    return player == 0 || player == 1;
}

}  // namespace

CGameEngine::CGameEngine(const CTickSource& clock, CRandom& random, IGameSound& sound)
    : clock_(clock), random_(random), sound_(sound)
{
}

void CGameEngine::SetSwitchTime(int milliseconds)
{
    state_.SwitchTime = std::clamp(milliseconds, kSwitchTimeMin, kSwitchTimeMax);
    state_.CurSwitchTime = static_cast<std::uint32_t>(state_.SwitchTime);
}

void CGameEngine::PrepareAnswer()
{
    state_.LineCount = 0;
    state_.CoveredCount = 0;
    state_.WidestLine = 0;
    state_.Shown.fill(0);
    state_.LineStart.fill(0);
    state_.LineLength.fill(0);

    const std::string_view answer = state_.AnswerText();
    for (std::size_t i = 0; i < answer.size(); ++i) {
        if (IsAnswerLetter(static_cast<std::uint8_t>(answer[i])))
            ++state_.CoveredCount;
        else
            state_.Shown[i] = 1;
    }

    // Rows beyond the fourth are not laid out, but their letters still count as covered.
    const SAnswerRows rows = SplitAnswerRows(answer);
    state_.LineCount = rows.count;
    state_.WidestLine = rows.widest;
    for (int row = 0; row < rows.count; ++row) {
        state_.LineStart[row] = rows.start[row];
        state_.LineLength[row] = rows.length[row];
    }
    state_.AnswerDirty = 1;
}

bool CGameEngine::LoadPuzzle(int number)
{
    state_.CurSwitchTime = static_cast<std::uint32_t>(state_.SwitchTime);
    // A puzzle without a picture of its own shows the last one loaded.
    if (pictureSource_ != nullptr) {
        pictureSource_->LoadPicture(puzzlePath_, number, picture_);
    } else {
        CGraphicsImage loaded;
        if (LoadPuzzlePicture(puzzlePath_, number, loaded) == kLoadOk)
            picture_.Replace(loaded);
    }
    const std::optional<CPuzzleText> text = ReadPuzzleText(puzzlePath_, number, state_.CurSwitchTime, random_);
    if (!text)
        return false;
    SetFieldText(state_.Answer, text->Answer);
    state_.CurSwitchTime = text->CurSwitchTime;
    SetFieldText(state_.Question, text->Question);
    PrepareAnswer();
    return true;
}

void CGameEngine::StartNextPuzzle()
{
    if (!CanStartNextPuzzle())
        return;
    for (int attempt = 0; attempt < kStartAttempts; ++attempt) {
        ++state_.GameNumber;
        if (LoadPuzzle(state_.GameNumber)) {
            const std::uint32_t now = clock_.Now();
            state_.LastSwitchTick = now;
            state_.LastSecondTick = now;
            state_.PuzzleStartTick = now;
            state_.QuestionDirty = 1;
            state_.Running = 1;
            return;
        }
    }
    SetFieldText(state_.Question, kNoMorePuzzles);
    SetFieldText(state_.Answer, kNoMorePuzzles);
    state_.QuestionDirty = 1;
}

bool CGameEngine::StartPuzzleAsCurrent(int number)
{
    if (!LoadPuzzle(number))
        return false;
    state_.Running = 0;
    state_.GameNumber = number;
    const std::uint32_t now = clock_.Now();
    state_.LastSwitchTick = now;
    state_.LastSecondTick = now;
    state_.PuzzleStartTick = now;
    state_.QuestionDirty = 1;
    state_.AnswerDirty = 1;
    state_.Running = 1;
    return true;
}

void CGameEngine::RevealAll()
{
    const std::lock_guard lock(stopMutex_);
    state_.Shown.fill(1);
    state_.AnswerDirty = 1;
    state_.CoveredCount = 0;
    state_.Running = 0;
    for (int player = 0; player < 2; ++player) {
        state_.Stopped[player] = 0;
        state_.PlayerState[player] = kPlayerNeutral;
    }
}

void CGameEngine::StopPlayer(int player)
{
    if (!IsPlayer(player))
        return;
    {
        const std::lock_guard lock(stopMutex_);
        if (state_.Stopped[1 - player].load() != 0)
            return;
        state_.Stopped[player] = 1;
        state_.PlayerState[player] = kPlayerStoppedClock;
    }
    Play(player == 0 ? "CLING1" : "CLING2");
}

void CGameEngine::StarsUp(int player)
{
    if (!IsPlayer(player) || state_.StarModulus <= 0)
        return;
    state_.Stars[player] = static_cast<std::uint8_t>((state_.Stars[player] + 1) % state_.StarModulus);
}

void CGameEngine::StarsDown(int player)
{
    if (!IsPlayer(player) || state_.StarModulus <= 0)
        return;
    state_.Stars[player] =
        static_cast<std::uint8_t>((state_.Stars[player] + state_.StarModulus - 1) % state_.StarModulus);
}

void CGameEngine::GameStep()
{
    const std::uint32_t now = clock_.Now();
    bool letterEvent = false;

    // The clock stands still while a player has stopped it.
    if (state_.AnyStopped())
        return;

    if (state_.Running == 1 && now - state_.LastSwitchTick >= state_.CurSwitchTime) {
        if (state_.CoveredCount <= 0) {
            TimeOut();
        } else {
            if (state_.LineCount > 0)
                UncoverOneLetter();
            if (state_.CoveredCount > 0)
                Play("TICK");
            else
                TimeOut();
        }
        letterEvent = true;
        // Whole intervals, so the rhythm does not drift with the timer's jitter; after a stall
        // one letter per step until the clock has caught up.
        state_.LastSwitchTick += state_.CurSwitchTime;
    }

    if (!state_.AnyStopped() && state_.Running == 1 && now - state_.LastSecondTick >= kSecondMs) {
        if (state_.SecTicker != 0 && !letterEvent)
            Play("TUCK");
        state_.LastSecondTick += kSecondMs;
    }
}

void CGameEngine::UncoverOneLetter()
{
    const int target = random_.Next() % state_.CoveredCount;
    const std::string_view answer = state_.AnswerText();
    int covered = 0;
    for (std::size_t i = 0; i < answer.size(); ++i) {
        if (state_.Shown[i] != 0)
            continue;
        if (covered++ < target)
            continue;
        state_.Shown[i] = 1;
        --state_.CoveredCount;
        if (letterListener_)
            letterListener_(static_cast<int>(i));
        return;
    }
    // The count promised letters the text does not hold: nothing is left to uncover.
    state_.CoveredCount = 0;
}

void CGameEngine::TimeOut()
{
    Play("ERROR");
    RevealAll();
    const std::lock_guard lock(stopMutex_);
    state_.PlayerState[0] = kPlayerTimedOut;
    state_.PlayerState[1] = kPlayerTimedOut;
}

bool CGameEngine::CanStartNextPuzzle() const
{
    return state_.Running == 0 && !state_.AnyTimedOut();
}

bool CGameEngine::CanRevealAll() const
{
    return state_.AnyStopped() || state_.AnyTimedOut();
}

bool CGameEngine::CanStopPlayer(int player, bool fromToolbar) const
{
    if (!IsPlayer(player) || state_.Running != 1)
        return false;
    return fromToolbar ? !state_.AnyStopped() : state_.Stopped[player].load() == 0;
}
