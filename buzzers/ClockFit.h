#pragma once
// How a phone's clock relates to the game's, fitted from ping exchanges: the game notes when it
// sent a ping and when the answer came back, the phone says what its clock read when it answered.
// Assuming the answer sat halfway through the round trip, offset = (sent + received) / 2 - phone.
// An exchange with a long round trip was held up somewhere, and holds up its guess of the halfway
// point by as much, so only the exchanges with the smallest round trips count.

#include <array>
#include <cstddef>
#include <optional>

struct SPingExchange {
    double sentMs = 0;      // game clock
    double phoneMs = 0;     // phone clock when it answered
    double receivedMs = 0;  // game clock
};

class CClockFit {
public:
    static constexpr std::size_t kKept = 32;      // the most recent exchanges considered
    static constexpr std::size_t kNeeded = 8;     // before that the offset counts as unknown
    static constexpr std::size_t kBest = 3;       // the offset is the median of this many

    // Exchanges whose times do not make sense (answer before question, not finite) are dropped.
    void Add(const SPingExchange& exchange);

    std::size_t Count() const { return count_; }
    // game time = phone time + offset; empty until kNeeded exchanges arrived.
    std::optional<double> Offset() const;
    // The smallest round trip among the kept exchanges; empty while none is kept.
    std::optional<double> BestRoundTrip() const;

private:
    struct SFit {
        double roundTrip = 0;
        double offset = 0;
    };
    std::array<SFit, kKept> fits_{};
    std::size_t next_ = 0;
    std::size_t count_ = 0;
};
