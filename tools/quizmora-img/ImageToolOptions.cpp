#include "tools/quizmora-img/ImageToolOptions.h"

#include <charconv>

namespace {

constexpr std::uint32_t kMaxSide = 32768;

bool ParseSide(std::string_view text, std::uint32_t& value)
{
    if (text.empty())
        return false;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc{} && end == text.data() + text.size() && value >= 1 && value <= kMaxSide;
}

}  // namespace

bool ParseImageSize(std::string_view text, std::uint32_t& width, std::uint32_t& height)
{
    const std::size_t separator = text.find_first_of("xX");
    if (separator == std::string_view::npos)
        return false;
    return ParseSide(text.substr(0, separator), width) && ParseSide(text.substr(separator + 1), height);
}

std::optional<ImageToolOptions> ParseImageToolOptions(std::span<const std::string_view> arguments)
{
    if (arguments.empty())
        return std::nullopt;
    ImageToolOptions options;
    if (arguments[0] == "info") {
        if (arguments.size() != 2)
            return std::nullopt;
        options.command = ImageToolOptions::Command::Info;
        options.input = arguments[1];
        return options;
    }
    if (arguments[0] != "convert" || arguments.size() < 3)
        return std::nullopt;
    options.command = ImageToolOptions::Command::Convert;
    options.input = arguments[1];
    options.output = arguments[2];
    for (std::size_t i = 3; i < arguments.size(); ++i) {
        const std::string_view option = arguments[i];
        if (option == "--smooth") {
            options.smooth = true;
        } else if (option == "--resize" && i + 1 < arguments.size()) {
            if (!ParseImageSize(arguments[++i], options.width, options.height))
                return std::nullopt;
        } else if (option == "--comment" && i + 1 < arguments.size()) {
            options.comment = std::string(arguments[++i]);
        } else {
            return std::nullopt;
        }
    }
    return options;
}
