#pragma once
// Fuzz input as a memory stream into one way of reading a picture: a reader straight, or the
// format detection with the reader it picks. It must fail with a library exception or give a
// picture whose rows can be converted.

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
        // Every row of small pictures, as a display would convert them; only the outer rows of
        // large ones (a few bytes of run-length code may stand for a picture of the size limit).
        const std::uint32_t step = image.Width() * std::uint64_t{image.Height()} <= (1u << 22) ? 1 : image.Height();
        for (std::uint32_t y = 0; y < image.Height(); y += step)
            (void)image.RowTo32(image.Row(y));
        if (image.Height() > 0)
            (void)image.RowTo32(image.Row(image.Height() - 1));
    } catch (const EGraphicsException&) {
    }
    return 0;
}

// One reader class on the whole input.
template <class Reader>
int FuzzReader(const std::uint8_t* data, std::size_t size)
{
    return FuzzPictureRead(data, size, [](CDataStream& stream, CGraphicsImage& image) { Reader().Read(stream, image); },
                           std::size_t{1} << 24);
}
