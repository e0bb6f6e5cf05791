#pragma once
// The serial line settings of a COM port open, expressed for termios.

#include <termios.h>

#include <cstdint>
#include <optional>

enum EParity : int { kParityNone = 0, kParityOdd = 1, kParityEven = 2, kParitySpace = 3, kParityMark = 4 };
enum EStopBits : int { kOneStopBit = 0, kTwoStopBits = 1 };

// Handshake flags: bits of one word.
inline constexpr unsigned kRtsOn = 0x04;
inline constexpr unsigned kDtrOn = 0x08;
inline constexpr unsigned kRtsHandshake = 0x10;  // overrides kRtsOn
inline constexpr unsigned kDtrHandshake = 0x20;  // overrides kDtrOn
inline constexpr unsigned kNoHandshake = 0x40;   // cancels both handshakes

struct SLineSettings {
    unsigned baud = 9600;
    int parity = kParityNone;
    int stopBits = kOneStopBit;
    int dataBits = 8;
    unsigned flags = 0;
};

// Raw, non-canonical input that returns at once with whatever is queued; the modem control lines
// are left to ModemLines. Nothing when a setting is out of range or the rate has no termios speed.
std::optional<termios> MakeTermios(const termios& current, const SLineSettings& settings);

// Which modem control lines to raise and which to drop (TIOCM_RTS / TIOCM_DTR bits). A line under
// hardware handshake is in neither set: the driver drives it.
struct SModemLines {
    int raise = 0;
    int drop = 0;
};
SModemLines ModemLines(unsigned flags);

// Time on the line for one character in 1/1024 ms (1066 for 9600 baud 8N1).
std::int32_t CharacterTime(const SLineSettings& settings);
