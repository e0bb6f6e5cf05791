// The BMP reader alone on any bytes.

#include "fuzz/imaging/ReaderFuzz.h"
#include "imaging/formats/bmp/BmpReader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    return FuzzReader<CBmpReader>(data, size);
}
