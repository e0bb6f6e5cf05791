#pragma once
// Lines as the remote sends them, with the game actions they cause, for the line buffer on its
// own and for the reader on a pseudo-terminal.

#include "support/TickCount.h"

#include <atomic>
#include <string>
#include <vector>

// Every reading of the clock is a second later: no two lines fall into one debounce window.
class CSecondPerReading final : public CTickSource {
public:
    std::uint32_t Now() const override { return now_.fetch_add(1000) + 1000; }

private:
    mutable std::atomic<std::uint32_t> now_{0};
};

struct SLineCase {
    const char* name;
    std::vector<std::string> pieces;
    std::vector<std::string> actions;
};

inline const SLineCase kLineCases[] = {
    {"buzzer 0 stops the first player", {"0D00000000\r"}, {"stop 0"}},
    {"buzzer 1 with LF", {"1D12345678\n"}, {"stop 1"}},
    {"release and status lines do nothing", {"0U00000000\r0S00000000\r"}, {}},
    {"CR LF acts once, the next line is read", {"2D0000ABCD\r\n3D00000000\r"}, {"command 32809", "command 32813"}},
    {"every button's action",
     {"0D00000000\r1D00000000\r2D00000000\r3D00000000\r4D00000000\r5D00000000\r6D00000000\r7D00000000\r"},
     {"stop 0", "stop 1", "command 32809", "command 32813", "command 33036", "command 33034", "command 33037",
      "command 33035"}},
    {"a line in three pieces", {"3D00", "00000", "0\r"}, {"command 32813"}},
    {"terminator arriving alone", {"4D00000000", "\r"}, {"command 33036"}},
    {"junk before a line", {"xx4D00000000\r"}, {"command 33036"}},
    {"junk longer than the buffer", {std::string(70, 'x') + "5D00000000\r"}, {"command 33034"}},
    {"hex digit not followed by a letter", {"1A0D00000000\r"}, {"stop 0"}},
    {"nine digits, then a good line", {"5D123456789\r6D00000000\r"}, {"command 33037"}},
    {"an over-long line loses 11 bytes, then framing restarts", {"5D000000D000D00000000\r"}, {"stop 0"}},
    {"seven digits, then a good line", {"5D1234567\r6D00000000\r"}, {"command 33037"}},
    {"bad terminator, then a good line", {"5D12345678X7D00000000\r"}, {"command 33035"}},
    {"a missing terminator takes the next line along", {"5D123456787D00000000\r0D00000000\r"}, {"stop 0"}},
    {"buttons 8, 9, A to F and a do nothing", {"8D00000000\r9D00000000\rAD00000000\rFD00000000\raD00000000\r"}, {}},
    {"lower-case payload digits", {"7Dabcdef09\r"}, {"command 33035"}},
    {"lower-case event letter is junk", {"0d00000000\r"}, {}},
    {"zero bytes around a line", {std::string("\0\0", 2) + "0D00000000\r" + std::string("\0", 1)}, {"stop 0"}},
    {"letter arriving after junk and a digit", {"zz0", "D00000000\r"}, {"stop 0"}},
    {"non-hex inside the digits", {"2D0000G000\r3D00000000\r"}, {"command 32813"}},
};
