// The XWD reader alone on any bytes.

#include "fuzz/imaging/ReaderFuzz.h"
#include "imaging/formats/xwd/XwdReader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    return FuzzReader<CXwdReader>(data, size);
}
