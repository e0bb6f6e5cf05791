#pragma once
// The texts that belong to each command: the menu entry, the status-bar prompt shown while the
// entry or button is highlighted, and the button's tool tip. UTF-8.

#include <cstdint>
#include <string_view>

struct CommandTexts {
    std::string_view prompt;
    std::string_view toolTip;
};

// Empty texts for a command without any.
CommandTexts TextsOfCommand(std::uint32_t id);

// The status bar's text when nothing is highlighted.
inline constexpr std::string_view kIdlePrompt = "Bereit";
// The application title, also the last part of the window caption.
inline constexpr std::string_view kApplicationTitle = "Quizmora";
