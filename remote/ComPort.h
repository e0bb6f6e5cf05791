#pragma once
// A fixed table of 8 serial port slots. Callers hold a slot number, not an object, and a slot is
// used by one thread at a time; only claiming and freeing slots is guarded across threads.

#include "remote/LineSettings.h"

#include <cstdint>
#include <span>
#include <string_view>

class CComPort {
public:
    static constexpr int kSlotCount = 8;
    static constexpr unsigned kPortLimit = 256;

    CComPort() = delete;

    // COM(port + 1), that is /dev/ttyS(port); port 256 or more is refused. Slot 0..7 or -1.
    static int Open(unsigned port, unsigned baud, int parity, int stopBits, int dataBits, unsigned flags);
    // Any serial device by path: exclusive, with the given line settings. Slot 0..7 or -1.
    static int OpenDevice(std::string_view devicePath, const SLineSettings& settings);

    // 0, or -1 for a slot number outside 0..7 or a free slot. The slot is free afterwards.
    static int Close(int slot);
    // Bytes waiting in the input queue; 0 when the status query fails.
    static int BytesAvailable(int slot);
    // The slot holds an open port whose status query succeeds (false once the device is gone).
    static bool IsAlive(int slot);
    // True as soon as input waits; false when limitMs has passed, at once for a bad slot.
    static bool WaitForInput(int slot, std::uint32_t limitMs);
    // Reads what is queued, up to buffer's size, without waiting: bytes read (0 or more) or -1.
    static int Read(int slot, std::span<std::uint8_t> buffer);
    // Time on the line for one character in 1/1024 ms; -1 for a free slot.
    static std::int32_t CharacterTime(int slot);
};
