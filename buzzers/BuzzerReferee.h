#pragma once
// Decides which phone's press stops the clock. A press goes the serial box's way: a side's
// presses within 100 ms of its last accepted one are bounces and ignored, nothing counts while
// no puzzle runs, and once a player has stopped the other player's presses are late.
//
// Fair order: the first press that arrives opens a decision window (a setting, 100 ms by
// default). Every press arriving within it is a candidate, and the one with the earliest time
// on the game's clock wins: a phone stamps its press with its own clock fitted to the game's, so
// a phone on slow Wi-Fi that pressed first still wins. A phone whose clock is not fitted yet
// counts with its arrival. A window of 0 decides at once, in arrival order. A press arriving
// after the decision is judged as without phones: late, since the clock is stopped.

#include "buzzers/BuzzerMessage.h"

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

// The game as the referee sees it.
class IBuzzerGame {
public:
    virtual ~IBuzzerGame() = default;
    virtual bool PuzzleRunning() const = 0;
    virtual bool AnyPlayerStopped() const = 0;
    // The game's own stop for a side; true when that side now holds the stop.
    virtual bool StopPlayer(int side) = 0;
};

struct SBuzzerPress {
    std::uint32_t phone = 0;
    int side = 0;
    double arrivalMs = 0;
    std::optional<double> stampMs;  // the phone's press time on the game's clock, when fitted
};

class CBuzzerReferee {
public:
    static constexpr double kDebounceMs = 100;
    // A stamp earlier than its arrival by more than this is not believed further.
    static constexpr double kMaxLeadMs = 1000;

    using Reply = std::function<void(std::uint32_t phone, EPressOutcome outcome)>;

    CBuzzerReferee(IBuzzerGame& game, Reply reply) : game_(game), reply_(std::move(reply)) {}

    void SetWindow(double windowMs) { windowMs_ = windowMs < 0 ? 0 : windowMs; }
    double Window() const { return windowMs_; }

    // Takes a press; when it opens a window the caller calls Decide at the returned time.
    std::optional<double> Press(const SBuzzerPress& press);
    // Ends the open window: the earliest candidate is stopped, the others are late.
    void Decide();
    bool WindowOpen() const { return !candidates_.empty(); }

    // The winner's lead over the other side's first candidate in the last decision; empty when
    // nobody on the other side pressed within the window.
    std::optional<double> LastMargin() const { return lastMargin_; }
    // How many decisions were made so far.
    std::uint64_t Decisions() const { return decisions_; }

private:
    struct SCandidate {
        std::uint32_t phone;
        int side;
        double timeMs;
        double arrivalMs;
    };

    IBuzzerGame& game_;
    Reply reply_;
    double windowMs_ = 100;
    std::array<std::optional<double>, 2> lastAccepted_{};
    std::vector<SCandidate> candidates_;
    std::optional<double> lastMargin_;
    std::uint64_t decisions_ = 0;
};
