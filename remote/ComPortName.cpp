#include "remote/ComPortName.h"

#include "support/NumberParser.h"

namespace {

constexpr std::size_t kPromptLimit = 31;  // the prompt's buffer holds 31 characters

bool StartsWithCom(std::string_view text)
{
    if (text.size() < 3)
        return false;
    return (text[0] | 0x20) == 'c' && (text[1] | 0x20) == 'o' && (text[2] | 0x20) == 'm';
}

std::string_view TrimBlanks(std::string_view text)
{
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    const auto last = text.find_last_not_of(" \t\r\n");
    return text.substr(first, last - first + 1);
}

}  // namespace

SComPortName NameComPort(std::uint32_t index, std::string_view device)
{
    SComPortName name;
    if (!device.empty()) {
        if (name.device.Assign(device))
            name.display.Assign(device);
        return name;
    }
    name.device.Assign("/dev/ttyS");
    name.device.AppendNumber(index);
    name.display.Assign("COM");
    // Shown as the port number the way the prompt shows it, which wraps like the stored word.
    name.display.AppendNumber(static_cast<std::int32_t>(index + 1u));
    return name;
}

std::string ComPortPromptText(std::uint32_t index, std::string_view device)
{
    if (!device.empty())
        return std::string(device);
    return std::string(NameComPort(index, {}).display.View());
}

SComPortChoice ParseComPortInput(std::string_view text, std::uint32_t currentIndex)
{
    const std::string_view trimmed = TrimBlanks(text);
    if (!trimmed.empty() && trimmed.front() == '/')
        return {currentIndex, std::string(trimmed)};

    text = text.substr(0, kPromptLimit);
    if (StartsWithCom(text))
        text.remove_prefix(3);
    const std::int32_t number = ParseNumber(text);
    const std::uint32_t index = number > 0 ? static_cast<std::uint32_t>(number) - 1u : 0u;
    return {index, {}};
}
