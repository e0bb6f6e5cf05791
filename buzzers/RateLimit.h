#pragma once
// A phone may send at most 50 messages in any one second; the 51st within a second is too many.

#include <array>
#include <cstddef>

class CRateLimit {
public:
    static constexpr std::size_t kMaxPerSecond = 50;

    // Counts a message arriving at `nowMs` (a steady clock); false once the limit is exceeded.
    bool Admit(double nowMs)
    {
        // The oldest of the last kMaxPerSecond messages is the one this message makes 51st.
        const double oldest = arrivals_[next_];
        const bool full = count_ == kMaxPerSecond;
        arrivals_[next_] = nowMs;
        next_ = (next_ + 1) % kMaxPerSecond;
        if (!full)
            ++count_;
        return !(full && nowMs - oldest < 1000.0);
    }

private:
    std::array<double, kMaxPerSecond> arrivals_{};
    std::size_t next_ = 0;
    std::size_t count_ = 0;
};
