#pragma once
// The command line of quizmora-img.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

struct ImageToolOptions
{
    enum class Command
    {
        Info,
        Convert,
    };

    Command command = Command::Info;
    std::string input;
    std::string output;
    std::uint32_t width = 0;  // 0: no resize
    std::uint32_t height = 0;
    bool smooth = false;
    std::optional<std::string> comment;  // as typed (UTF-8)
};

// The options, or nothing when the arguments (without the program name) do not make a command.
std::optional<ImageToolOptions> ParseImageToolOptions(std::span<const std::string_view> arguments);

// "WxH" with both sides from 1 to 32768.
bool ParseImageSize(std::string_view text, std::uint32_t& width, std::uint32_t& height);

inline constexpr std::string_view kImageToolUsage =
    "Aufruf: quizmora-img info DATEI | quizmora-img convert QUELLE ZIEL [--resize BxH] [--smooth] "
    "[--comment TEXT]";
