// Any bytes straight into the XPM reader.

#include "fuzz/imaging/ReaderFuzz.h"
#include "imaging/formats/xpm/XpmReader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    return FuzzPictureRead(data, size, [](CDataStream& stream, CGraphicsImage& image) { CXpmReader().Read(stream, image); });
}
