#pragma once
// The byte order change between files that store R, G, B and the library's B, G, R pixels.

#include <cstddef>
#include <cstdint>

// Copies three-byte pixels, exchanging the first and the third byte of each. The rows must not
// overlap: that lets the compiler move many pixels at once with vector shuffles.
inline void CopySwappingRedBlue(const std::uint8_t* __restrict source, std::uint8_t* __restrict target,
                                std::size_t pixels)
{
    for (std::size_t i = 0; i < 3 * pixels; i += 3) {
        target[i] = source[i + 2];
        target[i + 1] = source[i + 1];
        target[i + 2] = source[i];
    }
}
