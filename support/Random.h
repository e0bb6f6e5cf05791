#pragma once
// The game's pseudo-random generator: seed = seed * 214013 + 2531011, value = bits 16..30.

#include <cstdint>

class CRandom {
public:
    explicit CRandom(std::uint32_t seed = 1) : seed_(seed) {}

    void Seed(std::uint32_t seed) { seed_ = seed; }
    std::uint32_t State() const { return seed_; }

    // 0..32767
    int Next()
    {
        seed_ = seed_ * 214013u + 2531011u;
        return static_cast<int>((seed_ >> 16) & 0x7FFF);
    }

private:
    std::uint32_t seed_;
};
