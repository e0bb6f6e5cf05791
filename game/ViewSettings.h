#pragma once
// The game view's settings, kept as values directly in the application's settings key. They are
// read once when the view is made and written once when it goes.

#include "game/GameState.h"

#include <cstdint>
#include <string>

struct SViewSettings {
    std::int32_t SwitchTime = kSwitchTimeDefault;  // clamped to 2000..10000
    std::int32_t SecTicker = 1;                    // any non-zero value means on
    std::int32_t StarSize = 0;                     // 1, 2, 3 select a size; anything else is large
    std::string PicPath;                           // UTF-8, without a trailing separator
    std::uint32_t ComPort = 0;                     // 0 is COM1
    std::string ComDevice;                         // a named serial device replacing ComPort; UTF-8
};

// Missing or unreadable values keep their defaults.
SViewSettings LoadViewSettings();
// A setting without a device removes "ComDevice" rather than storing an empty one.
void SaveViewSettings(const SViewSettings& settings);
