// The folder chooser's normalisation of typed paths: it must never fail, must be idempotent and
// must never cut the root away.
#include "ui/PathFunctions.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    const bool plainUnc = (data[0] & 1) != 0;
    const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
    const std::string once = NormalizePath(text, plainUnc);
    if (NormalizePath(once, plainUnc) != once)
        std::abort();
    if (once.empty() != (text.find_first_not_of(" \t") == std::string_view::npos))
        std::abort();
    std::string trimmed = once;
    RemoveSlash(trimmed);
    if (!once.empty() && trimmed.empty())
        std::abort();
    return 0;
}
