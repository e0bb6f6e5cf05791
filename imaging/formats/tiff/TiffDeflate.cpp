#include "imaging/formats/tiff/TiffDecompress.h"

#include <zlib.h>

#include <limits>

std::size_t DecodeTiffDeflate(std::span<const std::uint8_t> in, std::span<std::uint8_t> out)
{
    z_stream zs{};
    if (inflateInit(&zs) != Z_OK)
        return 0;
    // Strips are far below 4 GiB each way (the reader bounds them), so one call per chunk is enough.
    std::size_t produced = 0;
    std::size_t inUsed = 0;
    int result = Z_OK;
    while (result == Z_OK && produced < out.size()) {
        const auto inChunk = std::min<std::size_t>(in.size() - inUsed, std::numeric_limits<uInt>::max());
        const auto outChunk = std::min<std::size_t>(out.size() - produced, std::numeric_limits<uInt>::max());
        zs.next_in = const_cast<Bytef*>(in.data() + inUsed);
        zs.avail_in = uInt(inChunk);
        zs.next_out = out.data() + produced;
        zs.avail_out = uInt(outChunk);
        result = inflate(&zs, Z_NO_FLUSH);
        inUsed += inChunk - zs.avail_in;
        produced += outChunk - zs.avail_out;
        if (result == Z_BUF_ERROR || (result == Z_OK && inChunk == 0))
            break;
    }
    inflateEnd(&zs);
    return produced;
}
