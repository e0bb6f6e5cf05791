#include "imaging/formats/tiff/TiffDecompress.h"

#include <algorithm>
#include <cstring>

std::size_t DecodePackBits(std::span<const std::uint8_t> in, std::span<std::uint8_t> out)
{
    std::size_t i = 0, o = 0;
    const std::size_t inSize = in.size(), outSize = out.size();
    while (i < inSize && o < outSize) {
        const int n = static_cast<std::int8_t>(in[i++]);
        if (n >= 0) {
            const std::size_t count = std::min({std::size_t(n) + 1, inSize - i, outSize - o});
            std::memcpy(out.data() + o, in.data() + i, count);
            i += count;
            o += count;
        } else if (n != -128 && i < inSize) {
            const std::size_t count = std::min(std::size_t(1 - n), outSize - o);
            std::memset(out.data() + o, in[i++], count);
            o += count;
        }
    }
    return o;
}
