#pragma once
// Which device a COM port setting names, how it is shown, and what the quiz master types for it.
// A setting is a port index (0 is COM1, the device /dev/ttyS0) and an optional device path that
// replaces the index while it is set (/dev/ttyUSB0, /dev/serial/by-id/..., any device).

#include "remote/FixedText.h"

#include <cstdint>
#include <string>
#include <string_view>

inline constexpr std::size_t kMaxDevicePath = 1023;

struct SComPortName {
    CFixedText<kMaxDevicePath> device;   // what is opened; empty when the setting cannot name one
    CFixedText<kMaxDevicePath> display;  // "COM3" or the device path
};

// Never allocates: the reader thread calls it.
SComPortName NameComPort(std::uint32_t index, std::string_view device);

// The text the COM port prompt starts with: "COM3", or the device path while one is set.
std::string ComPortPromptText(std::uint32_t index, std::string_view device);

struct SComPortChoice {
    std::uint32_t index = 0;
    std::string device;  // empty: the index is used
};

// The setting after the quiz master typed text: a text starting with "/" names a device and keeps
// the index; "COMn" (any case) or a number n chooses index n - 1 (0 for n <= 0) and clears the device.
SComPortChoice ParseComPortInput(std::string_view text, std::uint32_t currentIndex);
