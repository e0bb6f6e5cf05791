#pragma once
// The icon resources of a Windows executable: its group-icon directories and the icon images
// they name. The PE and the older NE layout each walk their own resource tables.

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

class CIconSource;

// Integer resource types of both layouts.
inline constexpr std::uint16_t kResourceTypeIcon = 3;
inline constexpr std::uint16_t kResourceTypeGroupIcon = 14;

class CExecutableIcons
{
public:
    virtual ~CExecutableIcons() = default;
    // The group-icon resource with that integer identifier or, without one, the first there is.
    // EIconError "not found" when there is none, "block too large" when it is bigger than an icon's.
    virtual std::vector<std::uint8_t> GroupIcon(std::optional<std::uint16_t> id) = 0;
    virtual std::vector<std::uint8_t> Icon(std::uint16_t id) = 0;
};

// The resources of the file that starts with "MZ". EIconError when it has neither a PE nor an NE
// header.
std::unique_ptr<CExecutableIcons> OpenExecutableIcons(CIconSource& source);
std::unique_ptr<CExecutableIcons> OpenPeIcons(CIconSource& source, std::uint32_t headerOffset);
std::unique_ptr<CExecutableIcons> OpenNeIcons(CIconSource& source, std::uint32_t headerOffset);
