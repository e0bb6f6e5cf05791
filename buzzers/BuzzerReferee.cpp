#include "buzzers/BuzzerReferee.h"

#include <algorithm>

std::optional<double> CBuzzerReferee::Press(const SBuzzerPress& press)
{
    if (press.side != 0 && press.side != 1)
        return std::nullopt;
    auto& last = lastAccepted_[static_cast<std::size_t>(press.side)];
    if (last && press.arrivalMs - *last >= 0 && press.arrivalMs - *last <= kDebounceMs)
        return std::nullopt;
    last = press.arrivalMs;

    if (!game_.PuzzleRunning()) {
        reply_(press.phone, EPressOutcome::Refused);
        return std::nullopt;
    }
    const double time =
        press.stampMs ? std::clamp(*press.stampMs, press.arrivalMs - kMaxLeadMs, press.arrivalMs) : press.arrivalMs;
    if (!candidates_.empty()) {
        candidates_.push_back({press.phone, press.side, time, press.arrivalMs});
        return std::nullopt;
    }
    if (game_.AnyPlayerStopped()) {
        reply_(press.phone, EPressOutcome::Late);
        return std::nullopt;
    }
    candidates_.push_back({press.phone, press.side, time, press.arrivalMs});
    if (windowMs_ <= 0) {
        Decide();
        return std::nullopt;
    }
    return press.arrivalMs + windowMs_;
}

void CBuzzerReferee::Decide()
{
    if (candidates_.empty())
        return;
    std::vector<SCandidate> candidates;
    candidates.swap(candidates_);
    // Equal times go to the earlier arrival.
    std::stable_sort(candidates.begin(), candidates.end(),
                     [](const SCandidate& a, const SCandidate& b) { return a.timeMs < b.timeMs; });
    const SCandidate& winner = candidates.front();
    ++decisions_;
    lastMargin_.reset();
    for (const SCandidate& other : candidates) {
        if (other.side != winner.side) {
            lastMargin_ = other.timeMs - winner.timeMs;
            break;
        }
    }
    const bool running = game_.PuzzleRunning();
    const bool won = running && game_.StopPlayer(winner.side);
    reply_(winner.phone, won ? EPressOutcome::Won : running ? EPressOutcome::Late : EPressOutcome::Refused);
    for (std::size_t i = 1; i < candidates.size(); ++i)
        reply_(candidates[i].phone, running ? EPressOutcome::Late : EPressOutcome::Refused);
}
