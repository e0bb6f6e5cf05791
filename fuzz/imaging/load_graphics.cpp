// Any bytes through the content detection and the reader it picks, from a memory stream.

#include "fuzz/imaging/ReaderFuzz.h"
#include "imaging/GraphicsFile.h"

#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    return FuzzPictureRead(
        data, size,
        [](CDataStream& stream, CGraphicsImage& image) {
            std::string comment;
            // A failed load may leave a created but unfinished picture: its rows are touched too.
            (void)LoadGraphicsStream(stream, image, &comment);
        },
        1u << 24);
}
