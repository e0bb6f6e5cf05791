// The mount table reader: any text, including broken escapes and missing fields.
#include "ui/PathFunctions.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    for (const std::string& root : ParseMountPoints(text))
        if (root.empty() || root.size() > size || root.front() != '/')
            std::abort();
    return 0;
}
