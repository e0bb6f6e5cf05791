#pragma once
// The colours of the game screen, 0x00RRGGBB.

#include <array>
#include <cstdint>

namespace GameColours {

inline constexpr std::uint32_t Background = 0x000000;
// Star column background by the player's state: neutral, stopped the clock, time-out.
inline constexpr std::array<std::uint32_t, 3> PlayerState{0x000000, 0xBCBC00, 0xFF0000};
// The six lines of a bevel, outermost to innermost.
inline constexpr std::array<std::uint32_t, 6> Bevel{0xDEDEDE, 0xBCBCBC, 0x858585, 0x858585, 0x585858, 0x2C2C2C};
inline constexpr std::uint32_t QuestionText = 0x00FF00;
inline constexpr std::uint32_t ShownLetter = 0xFFFF49;
inline constexpr std::uint32_t CoveredCell = 0xD0D0D0;

}  // namespace GameColours
