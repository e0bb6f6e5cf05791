// Whatever a phone sends: parsed within its bounds, never trusted.
#include "buzzers/BuzzerMessage.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    (void)ParsePhoneMessage(std::string_view(reinterpret_cast<const char*>(data), size));
    return 0;
}
