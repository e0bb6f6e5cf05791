// Any bytes straight into the TLS reader; the last byte picks one of the first four frames.

#include "fuzz/imaging/ReaderFuzz.h"
#include "imaging/formats/tls/TlsReader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const unsigned frame = size > 0 ? data[size - 1] & 3u : 0u;
    return FuzzPictureRead(data, size, [frame](CDataStream& stream, CGraphicsImage& image) {
        CTlsReader().Read(stream, image, frame);
    });
}
