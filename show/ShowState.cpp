#include "show/ShowState.h"

#include <algorithm>
#include <charconv>
#include <limits>

namespace {

constexpr std::string_view kHeader = "quizmora-show 1";

std::string EscapePath(std::string_view path)
{
    std::string out;
    out.reserve(path.size());
    for (const char c : path) {
        switch (c) {
        case '%': out += "%25"; break;
        case '\r': out += "%0D"; break;
        case '\n': out += "%0A"; break;
        default: out += c; break;
        }
    }
    return out;
}

int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

std::optional<std::string> UnescapePath(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            out += text[i];
            continue;
        }
        if (i + 2 >= text.size())
            return std::nullopt;
        const int high = HexDigit(text[i + 1]);
        const int low = HexDigit(text[i + 2]);
        if (high < 0 || low < 0)
            return std::nullopt;
        out += static_cast<char>(high * 16 + low);
        i += 2;
    }
    return out;
}

// A plain decimal number in [low, high]: no sign other than a leading "-", nothing after it.
std::optional<std::int64_t> Number(std::string_view text, std::int64_t low, std::int64_t high)
{
    std::int64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || text.empty() || value < low || value > high)
        return std::nullopt;
    return value;
}

}  // namespace

std::string FormatShowState(const SShowState& state)
{
    std::string text(kHeader);
    text += "\npath ";
    text += EscapePath(state.puzzlePath);
    text += "\ngame " + std::to_string(state.gameNumber);
    text += "\nstars " + std::to_string(state.stars[0]) + " " + std::to_string(state.stars[1]);
    text += "\nstarsize " + std::to_string(state.starSize);
    text += "\nended ";
    text += state.ended ? "1" : "0";
    text += "\n";
    return text;
}

std::optional<SShowState> ParseShowState(std::string_view text)
{
    if (text.size() > kShowStateMaxBytes)
        return std::nullopt;
    SShowState state;
    enum : unsigned { kPath = 1, kGame = 2, kStars = 4, kStarSize = 8, kEnded = 16, kAll = 31 };
    unsigned seen = 0;
    bool headerRead = false;
    std::size_t position = 0;
    while (position < text.size()) {
        const std::size_t end = std::min(text.find('\n', position), text.size());
        std::string_view line = text.substr(position, end - position);
        position = end + 1;
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (!headerRead) {
            if (line != kHeader)
                return std::nullopt;
            headerRead = true;
            continue;
        }
        if (line.empty())
            continue;
        const std::size_t blank = line.find(' ');
        const std::string_view name = line.substr(0, blank);
        const std::string_view value = blank == std::string_view::npos ? std::string_view() : line.substr(blank + 1);
        unsigned bit = 0;
        if (name == "path") {
            bit = kPath;
            auto path = UnescapePath(value);
            if (!path)
                return std::nullopt;
            state.puzzlePath = std::move(*path);
        } else if (name == "game") {
            bit = kGame;
            const auto number = Number(value, 0, kShowGameNumberMax);
            if (!number)
                return std::nullopt;
            state.gameNumber = static_cast<std::int32_t>(*number);
        } else if (name == "stars") {
            bit = kStars;
            const std::size_t gap = value.find(' ');
            if (gap == std::string_view::npos)
                return std::nullopt;
            const auto left = Number(value.substr(0, gap), 0, 255);
            const auto right = Number(value.substr(gap + 1), 0, 255);
            if (!left || !right)
                return std::nullopt;
            state.stars = {static_cast<std::uint8_t>(*left), static_cast<std::uint8_t>(*right)};
        } else if (name == "starsize") {
            bit = kStarSize;
            const auto size =
                Number(value, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max());
            if (!size)
                return std::nullopt;
            state.starSize = static_cast<std::int32_t>(*size);
        } else if (name == "ended") {
            bit = kEnded;
            const auto ended = Number(value, 0, 1);
            if (!ended)
                return std::nullopt;
            state.ended = *ended != 0;
        } else {
            continue;
        }
        if ((seen & bit) != 0)
            return std::nullopt;
        seen |= bit;
    }
    if (seen != kAll)
        return std::nullopt;
    return state;
}
