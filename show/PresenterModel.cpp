#include "show/PresenterModel.h"

#include "store/PuzzleFolder.h"
#include "store/PuzzleLoader.h"
#include "store/PuzzleText.h"
#include "support/ClassTable.h"
#include "support/Cp1252.h"

#include <system_error>

namespace {

// As many numbers as the game's start of the next puzzle tries.
constexpr int kStartAttempts = 10;
constexpr int kHighestPuzzle = 999;

}  // namespace

EShowPhase PhaseOf(const CGameState& state)
{
    if (state.AnyTimedOut())
        return EShowPhase::TimedOut;
    if (state.Stopped[0].load() != 0)
        return EShowPhase::StoppedLeft;
    if (state.Stopped[1].load() != 0)
        return EShowPhase::StoppedRight;
    if (state.Running == 1)
        return EShowPhase::Running;
    if (state.GameNumber > 0 && state.CoveredCount == 0 && !state.AnswerText().empty())
        return EShowPhase::Revealed;
    return EShowPhase::Ready;
}

std::string PhaseText(EShowPhase phase)
{
    switch (phase) {
    case EShowPhase::Running: return "Läuft";
    case EShowPhase::StoppedLeft: return "Angehalten von links";
    case EShowPhase::StoppedRight: return "Angehalten von rechts";
    case EShowPhase::TimedOut: return "Zeit abgelaufen";
    case EShowPhase::Revealed: return "Aufgedeckt";
    case EShowPhase::Ready: break;
    }
    return "Bereit";
}

std::vector<std::vector<SAnswerCell>> AnswerRows(const CGameState& state)
{
    std::vector<std::vector<SAnswerCell>> rows(1);
    const std::string_view answer = state.AnswerText();
    for (std::size_t i = 0; i < answer.size(); ++i) {
        const auto byte = static_cast<std::uint8_t>(answer[i]);
        if (answer[i] == '|') {
            rows.emplace_back();
            continue;
        }
        const bool letter = IsAnswerLetter(byte);
        rows.back().push_back({Cp1252ToUtf8(answer.substr(i, 1)), letter, letter && state.Shown[i] != 0});
    }
    return rows;
}

void CPuzzleStopwatch::Update(const CGameState& state, std::uint32_t now)
{
    if (state.GameNumber != gameNumber_ || state.PuzzleStartTick != start_) {
        // Another puzzle (or the same one started again): count from its start.
        gameNumber_ = state.GameNumber;
        start_ = state.PuzzleStartTick;
        seen_ = state.Running == 1;
        seconds_ = 0;
    }
    if (state.Running == 1 && !state.AnyStopped()) {
        seen_ = true;
        seconds_ = static_cast<int>((now - start_) / 1000u);
    }
    if (!seen_)
        seconds_ = 0;
}

SPuzzleSetView ViewPuzzleSet(const std::filesystem::path& puzzlePath, std::int32_t gameNumber)
{
    SPuzzleSetView view;
    std::error_code error;
    for (std::filesystem::directory_iterator entry(puzzlePath, error), end; !error && entry != end;
         entry.increment(error)) {
        const std::optional<int> number = PuzzleNumberOfFolderName(entry->path().filename().string());
        if (number && *number >= 1 && *number <= kHighestPuzzle && ReadPuzzleSource(puzzlePath, *number))
            ++view.count;
    }
    for (int number = gameNumber + 1; number <= gameNumber + kStartAttempts && number <= kHighestPuzzle; ++number) {
        if (const std::optional<CPuzzleSource> source = ReadPuzzleSource(puzzlePath, number)) {
            view.nextNumber = number;
            view.nextQuestion = Cp1252ToUtf8(std::string_view(source->Lines.Question).substr(0, kPuzzleLineMaxBytes));
            return view;
        }
    }
    view.nextQuestion = "Keine Spiele mehr !";
    return view;
}

std::string PuzzlePlaceText(std::int32_t gameNumber, int count)
{
    const std::string number = gameNumber > 0 ? std::to_string(gameNumber) : std::string("–");
    return "Rätsel " + number + " von " + std::to_string(count);
}
