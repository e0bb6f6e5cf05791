#pragma once
// The X11 colour names an XPM colour table may use, lower case and sorted by name.

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

struct XpmColorName
{
    std::string_view name;
    std::uint32_t rgb;  // 0x00RRGGBB
};

extern const std::array<XpmColorName, 658> kXpmColorNames;

// The colour of a name in any case, or nothing for a name the table does not know.
std::optional<std::uint32_t> FindXpmColorName(std::string_view name);
