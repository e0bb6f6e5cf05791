#pragma once
// The numeric command identifiers shared by the menu, the accelerators, the tool bar, the remote
// control and the window-message interface. They keep their historic values because other
// programs post them.

#include <cstdint>

namespace CommandId {
// Application and document.
inline constexpr std::uint32_t NewPuzzle = 57600;
inline constexpr std::uint32_t SaveDocument = 57603;
inline constexpr std::uint32_t SaveDocumentAs = 57604;
inline constexpr std::uint32_t About = 57664;
inline constexpr std::uint32_t Exit = 57665;
inline constexpr std::uint32_t KeyMap = 33042;
inline constexpr std::uint32_t FileFormat = 33052;
// Main frame.
inline constexpr std::uint32_t FullScreen = 32802;
inline constexpr std::uint32_t FlatToolBar = 32772;
inline constexpr std::uint32_t StayOnTop = 32771;
inline constexpr std::uint32_t ViewToolBar = 59392;
inline constexpr std::uint32_t ViewStatusBar = 59393;
// The quiz master's own window beside the audience's screen.
inline constexpr std::uint32_t PresenterView = 33070;
inline constexpr std::uint32_t SwapScreens = 33071;
// Game view.
inline constexpr std::uint32_t FirstPlayerUp = 33034;
inline constexpr std::uint32_t SecondPlayerUp = 33035;
inline constexpr std::uint32_t FirstPlayerDown = 33036;
inline constexpr std::uint32_t SecondPlayerDown = 33037;
inline constexpr std::uint32_t NextPuzzle = 32809;
inline constexpr std::uint32_t RevealText = 32813;
inline constexpr std::uint32_t StopFirstTimer = 32810;
inline constexpr std::uint32_t StopSecondTimer = 32811;
inline constexpr std::uint32_t StopFirstTimerBar = 33049;
inline constexpr std::uint32_t StopSecondTimerBar = 33050;
inline constexpr std::uint32_t ChooseComPort = 32818;
inline constexpr std::uint32_t NextGameNumber = 33039;
inline constexpr std::uint32_t PuzzlePath = 33038;
inline constexpr std::uint32_t SwitchTime = 33047;
inline constexpr std::uint32_t SecondTick = 33053;
inline constexpr std::uint32_t SmallStars = 32815;
inline constexpr std::uint32_t MediumStars = 32816;
inline constexpr std::uint32_t LargeStars = 32817;
inline constexpr std::uint32_t TwoRows = 33051;
// Phones as buzzers and the keys of the keyboard buzzers.
inline constexpr std::uint32_t PhoneBuzzers = 33060;
inline constexpr std::uint32_t BuzzerKeys = 33061;
}  // namespace CommandId
