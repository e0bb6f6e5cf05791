#pragma once
// The program's embedded resources: every file below res/ compiled into the program, found by
// type and by name or number as the resource paths of CDataStream name them.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <variant>

struct ResourceEntry {
    const char* type;  // the type folder's name as written under res/
    const char* name;  // the file name without its extension
    const unsigned char* data;
    std::size_t size;
};

// The table that the build generates from res/.
std::span<const ResourceEntry> EmbeddedResources();

// A resource type or name: a number, or a word compared without regard to case.
using ResourceKey = std::variant<std::uint32_t, std::string>;

// A decimal word becomes a number; a type word also maps CURSOR 1, BITMAP 2, ICON 3 and HTML 23.
ResourceKey ResourceTypeKey(std::string_view word);
ResourceKey ResourceNameKey(std::string_view word);

// The bytes of the resource, or an empty span when there is none.
std::span<const std::byte> FindResourceByKey(const ResourceKey& type, const ResourceKey& name);

// Convenience for "TYPE" / "NAME" pairs, using the rules above.
std::span<const std::byte> FindResource(std::string_view type, std::string_view name);
