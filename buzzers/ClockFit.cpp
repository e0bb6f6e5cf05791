#include "buzzers/ClockFit.h"

#include <algorithm>
#include <cmath>

void CClockFit::Add(const SPingExchange& exchange)
{
    const double roundTrip = exchange.receivedMs - exchange.sentMs;
    if (!std::isfinite(roundTrip) || !std::isfinite(exchange.phoneMs) || roundTrip < 0)
        return;
    fits_[next_] = {roundTrip, (exchange.sentMs + exchange.receivedMs) / 2 - exchange.phoneMs};
    next_ = (next_ + 1) % kKept;
    count_ = std::min(count_ + 1, kKept * 2);  // only "enough" matters past kKept
}

std::optional<double> CClockFit::Offset() const
{
    if (count_ < kNeeded)
        return std::nullopt;
    const std::size_t kept = std::min(count_, kKept);
    std::array<SFit, kKept> sorted = fits_;
    const auto byRoundTrip = [](const SFit& a, const SFit& b) { return a.roundTrip < b.roundTrip; };
    std::partial_sort(sorted.begin(), sorted.begin() + kBest, sorted.begin() + static_cast<std::ptrdiff_t>(kept),
                      byRoundTrip);
    std::array<double, kBest> offsets{};
    for (std::size_t i = 0; i < kBest; ++i)
        offsets[i] = sorted[i].offset;
    std::sort(offsets.begin(), offsets.end());
    return offsets[kBest / 2];
}

std::optional<double> CClockFit::BestRoundTrip() const
{
    if (count_ == 0)
        return std::nullopt;
    const std::size_t kept = std::min(count_, kKept);
    double best = fits_[0].roundTrip;
    for (std::size_t i = 1; i < kept; ++i)
        best = std::min(best, fits_[i].roundTrip);
    return best;
}
