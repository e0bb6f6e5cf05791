// The WebP reader alone on any bytes.

#include "fuzz/imaging/ReaderFuzz.h"
#include "imaging/formats/webp/WebpReader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    return FuzzReader<CWebpReader>(data, size);
}
