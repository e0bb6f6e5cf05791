#pragma once
// The 4000 x 3000 picture the codec benchmarks work on: smooth gradients with a little noise, so
// the data compresses like a photo rather than a drawing.

#include "imaging/GraphicsImage.h"

#include <algorithm>
#include <cstdint>
#include <stdexcept>

namespace benchpicture {

inline constexpr std::uint32_t kWidth = 4000;
inline constexpr std::uint32_t kHeight = 3000;

inline const CGraphicsImage& PhotoLikeImage()
{
    static CGraphicsImage image = [] {
        CGraphicsImage picture;
        if (!picture.Create(24, kWidth, kHeight, CGraphicsImage::NoFill))
            throw std::runtime_error("no memory for the test picture");
        std::uint32_t seed = 1;
        for (std::uint32_t y = 0; y < kHeight; ++y) {
            std::uint8_t* row = picture.Row(y);
            for (std::uint32_t x = 0; x < kWidth; ++x) {
                seed = seed * 1103515245u + 12345u;
                const int noise = static_cast<int>((seed >> 16) & 7) - 3;
                auto channel = [noise](int value) { return static_cast<std::uint8_t>(std::clamp(value + noise, 0, 255)); };
                row[3 * x + 0] = channel(static_cast<int>(x * 255 / kWidth));
                row[3 * x + 1] = channel(static_cast<int>(y * 255 / kHeight));
                row[3 * x + 2] = channel(static_cast<int>((x + y) * 255 / (kWidth + kHeight)));
            }
        }
        return picture;
    }();
    return image;
}

}  // namespace benchpicture
