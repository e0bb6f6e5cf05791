#include "support/Resources.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace {

std::string Upper(std::string_view word)
{
    std::string upper(word);
    std::transform(upper.begin(), upper.end(), upper.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return upper;
}

bool ParseDecimal(std::string_view word, std::uint32_t& value)
{
    if (word.empty() || word.size() > 9)
        return false;
    value = 0;
    for (char c : word) {
        if (c < '0' || c > '9')
            return false;
        value = value * 10 + static_cast<std::uint32_t>(c - '0');
    }
    return true;
}

struct TypeWord {
    std::string_view word;
    std::uint32_t id;
};
constexpr std::array kTypeWords{TypeWord{"CURSOR", 1}, TypeWord{"BITMAP", 2}, TypeWord{"ICON", 3},
                                TypeWord{"HTML", 23}};

}  // namespace

ResourceKey ResourceNameKey(std::string_view word)
{
    std::uint32_t number = 0;
    if (ParseDecimal(word, number))
        return number;
    return Upper(word);
}

ResourceKey ResourceTypeKey(std::string_view word)
{
    ResourceKey key = ResourceNameKey(word);
    if (const auto* text = std::get_if<std::string>(&key)) {
        for (const auto& type : kTypeWords)
            if (*text == type.word)
                return type.id;
    }
    return key;
}

std::span<const std::byte> FindResourceByKey(const ResourceKey& type, const ResourceKey& name)
{
    for (const ResourceEntry& entry : EmbeddedResources()) {
        if (ResourceTypeKey(entry.type) == type && ResourceNameKey(entry.name) == name)
            return std::as_bytes(std::span(entry.data, entry.size));
    }
    return {};
}

std::span<const std::byte> FindResource(std::string_view type, std::string_view name)
{
    return FindResourceByKey(ResourceTypeKey(type), ResourceNameKey(name));
}
