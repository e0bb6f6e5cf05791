// Any bytes through the content detection and the reader it picks, from a memory stream.

#include "imaging/GraphicsFile.h"
#include "imaging/GraphicsImage.h"
#include "support/DataStream.h"

#include <cstdint>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size > (1u << 24))
        return 0;
    std::vector<std::uint8_t> bytes(data, data + size);
    CDataStream stream;
    if (!stream.OpenMemory(bytes.data(), static_cast<std::int32_t>(bytes.size()), 0))
        return 0;
    CGraphicsImage image;
    std::string comment;
    if (LoadGraphicsStream(stream, image, &comment) == 0) {
        // Touch every row through the format's converter, as a display would.
        for (std::uint32_t y = 0; y < image.Height(); ++y)
            (void)image.RowTo32(image.Row(y));
    }
    return 0;
}
