// The HEIF reader alone on any bytes.

#include "fuzz/imaging/ReaderFuzz.h"
#include "imaging/formats/heif/HeifReader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    return FuzzReader<CHeifReader>(data, size);
}
