#pragma once
// The icon resources of a Windows executable: its group-icon directories and the icon images
// they name. The PE and the older NE layout each walk their own resource tables once and index
// what they find here, so that a group naming thousands of images costs one lookup per image.

#include <cstdint>
#include <map>
#include <optional>
#include <utility>
#include <vector>

class CIconSource;

// Integer resource types of both layouts.
inline constexpr std::uint16_t kResourceTypeIcon = 3;
inline constexpr std::uint16_t kResourceTypeGroupIcon = 14;

// Where a resource's bytes lie in the file.
struct ResourceBlock
{
    std::uint64_t offset = 0;
    std::uint64_t length = 0;
};

class CExecutableIcons
{
public:
    explicit CExecutableIcons(CIconSource& source) : m_source(source) {}

    // Resources of other types are left out; of several with one type and identifier, the first
    // counts. A named resource (no identifier) can only be found as the first group icon.
    void Add(std::uint16_t type, std::optional<std::uint16_t> id, ResourceBlock block);

    // The group-icon resource with that integer identifier or, without one, the first there is.
    // EIconError "not found" when there is none, "block too large" when it is bigger than an icon's.
    std::vector<std::uint8_t> GroupIcon(std::optional<std::uint16_t> id) const;
    // The icon image's first `prefix` bytes at most.
    std::vector<std::uint8_t> Icon(std::uint16_t id, std::uint32_t prefix = UINT32_MAX) const;

private:
    std::vector<std::uint8_t> Read(const ResourceBlock& block, std::uint32_t prefix) const;

    CIconSource& m_source;
    std::map<std::pair<std::uint16_t, std::uint16_t>, ResourceBlock> m_byId;
    std::optional<ResourceBlock> m_firstGroup;
};

// The resources of the file that starts with "MZ". EIconError when it has neither a PE nor an NE
// header, or when their tables leave the file.
CExecutableIcons OpenExecutableIcons(CIconSource& source);
void IndexPeIcons(CIconSource& source, std::uint32_t headerOffset, CExecutableIcons& icons);
void IndexNeIcons(CIconSource& source, std::uint32_t headerOffset, CExecutableIcons& icons);
