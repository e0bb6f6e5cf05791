// A show's state file as a crash, a full disk or another hand may have left it: the parser must
// take any bytes, and whatever it accepts must come back unchanged through the writer.
#include "show/ShowState.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::optional<SShowState> state = ParseShowState(text);
    if (!state)
        return 0;
    const std::optional<SShowState> again = ParseShowState(FormatShowState(*state));
    if (!again || !again->SameScore(*state) || again->ended != state->ended)
        std::abort();
    return 0;
}
