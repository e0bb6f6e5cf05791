// The AVIF reader alone on any bytes.

#include "fuzz/imaging/ReaderFuzz.h"
#include "imaging/formats/avif/AvifReader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    return FuzzReader<CAvifReader>(data, size);
}
