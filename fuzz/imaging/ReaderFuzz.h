#pragma once
// Fuzz input as a memory stream into one way of reading a picture: a reader straight, or the
// format detection with the reader it picks.

#include "imaging/GraphicsException.h"
#include "imaging/GraphicsImage.h"
#include "support/DataStream.h"

#include <cstdint>
#include <vector>

template <typename Read>
int FuzzPictureRead(const std::uint8_t* data, std::size_t size, Read read, std::size_t maxSize = 1u << 20)
{
    if (size > maxSize)
        return 0;
    std::vector<std::uint8_t> bytes(data, data + size);
    CDataStream stream;
    if (!stream.OpenMemory(bytes.data(), static_cast<std::int32_t>(bytes.size()), 0))
        return 0;
    CGraphicsImage image;
    try {
        read(stream, image);
        // Touch every row through the format's converter, as a display would.
        for (std::uint32_t y = 0; y < image.Height(); ++y)
            (void)image.RowTo32(image.Row(y));
    } catch (const EGraphicsException&) {
    }
    return 0;
}
