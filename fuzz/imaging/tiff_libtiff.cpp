// Any bytes through the TIFF reader's libtiff path alone, as if our own reader had refused the
// file's layout: libtiff's directory reading, codecs and RGBA conversion over our stream, with its
// messages caught and its allocations capped.

#include "fuzz/imaging/ReaderFuzz.h"
#include "imaging/GraphicsCodec.h"
#include "imaging/formats/tiff/LibtiffReader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    return FuzzPictureRead(
        data, size,
        [](CDataStream& stream, CGraphicsImage& image) {
            const CGraphicsCodecInfo info;
            (void)ReadTiffWithLibtiff(stream, image, info, GraphicsText::Tiff::BadHeader);
        },
        std::size_t{1} << 22);
}
