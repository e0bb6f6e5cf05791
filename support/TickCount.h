#pragma once
// Milliseconds of a steady clock as a wrapping 32-bit count. Times are compared by unsigned
// difference, so the wrap after 49.7 days is harmless. Tests replace the source.

#include <atomic>
#include <cstdint>

class CTickSource {
public:
    virtual ~CTickSource() = default;
    virtual std::uint32_t Now() const = 0;
};

class CSteadyTicks final : public CTickSource {
public:
    std::uint32_t Now() const override;
};

// A clock that moves only when told to; safe to read from other threads.
class CManualTicks final : public CTickSource {
public:
    explicit CManualTicks(std::uint32_t start = 0) : now_(start) {}
    std::uint32_t Now() const override { return now_.load(); }
    void Set(std::uint32_t now) { now_.store(now); }
    void Advance(std::uint32_t ms) { now_.fetch_add(ms); }

private:
    std::atomic<std::uint32_t> now_;
};

// The steady clock of the process.
std::uint32_t GetTickCount();
