#pragma once
// The smooth scaling of Resample: a separable box filter in 8.8 fixed point (internal to the
// imaging library).

#include "imaging/GraphicsImage.h"

#include <bit>
#include <cstdint>
#include <vector>

// The source pixels one target pixel covers on one axis, in 1/256 pixel units.
struct BoxSpan
{
    std::uint32_t first = 0;        // first source pixel
    std::uint32_t count = 0;        // number of source pixels touched
    std::uint32_t firstWeight = 0;  // weight of the first pixel (the others 256, the last lastWeight)
    std::uint32_t lastWeight = 0;
    std::uint32_t span = 0;         // the sum of the weights

    std::uint32_t Weight(std::uint32_t index) const
    {
        if (index == 0)
            return firstWeight;
        return index + 1 == count ? lastWeight : 256;
    }
};

// Exact unsigned division by a fixed divisor for numerators below 2^31, by one multiplication:
// with l = ceil(log2 d) and m = ceil(2^(31 + l) / d), floor(n * m / 2^(31 + l)) = floor(n / d).
// For the divisors here (at most 2^23) m fits in 32 bits, so n * m is one 32x32->64 multiply,
// which vectorises.
class FixedDivider
{
public:
    explicit FixedDivider(std::uint32_t divisor)
    {
        const int l = std::bit_width(divisor - 1);
        m_shift = 31 + l;
        m_multiplier = std::uint32_t(((std::uint64_t{1} << m_shift) + divisor - 1) / divisor);
    }
    std::uint32_t operator()(std::uint32_t n) const
    {
        return std::uint32_t((std::uint64_t(n) * m_multiplier) >> m_shift);
    }

private:
    std::uint32_t m_multiplier = 1u << 31;
    int m_shift = 31;
};

// The spans of every target pixel when sourceSize pixels become targetSize pixels.
std::vector<BoxSpan> BoxSpans(std::uint32_t sourceSize, std::uint32_t targetSize);

// Fills target (already created at its size, 24 or 32 bpp) from src with the box filter.
void BoxResample(const CGraphicsImage& src, CGraphicsImage& target);
