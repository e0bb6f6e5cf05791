#pragma once
// One reader on any bytes from a memory stream, for the per-format fuzz targets: it must fail with
// a library exception or give a picture whose rows can be converted.

#include "imaging/GraphicsException.h"
#include "imaging/GraphicsImage.h"
#include "support/DataStream.h"

#include <cstdint>
#include <vector>

template <class Reader>
int FuzzReader(const std::uint8_t* data, std::size_t size)
{
    if (size > (1u << 24))
        return 0;
    std::vector<std::uint8_t> bytes(data, data + size);
    CDataStream stream;
    if (!stream.OpenMemory(bytes.data(), static_cast<std::int32_t>(bytes.size()), 0))
        return 0;
    CGraphicsImage image;
    try {
        Reader().Read(stream, image);
        // Every row of small pictures, the outer rows of large ones (a few bytes of run-length
        // code may stand for a picture of the size limit).
        const std::uint32_t step = image.Width() * std::uint64_t{image.Height()} <= (1u << 22) ? 1 : image.Height();
        for (std::uint32_t y = 0; y < image.Height(); y += step)
            (void)image.RowTo32(image.Row(y));
        if (image.Height() > 0)
            (void)image.RowTo32(image.Row(image.Height() - 1));
    } catch (const EGraphicsException&) {
    }
    return 0;
}
