#pragma once
// The remote's line protocol. One event is 11 characters: a button digit (any hexadecimal digit
// frames a line, only "0" to "7" act), an event letter "D", "U" or "S", 8 hexadecimal digits that
// the game does not interpret, and CR or LF.

#include "remote/RemoteHost.h"
#include "support/TickCount.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

struct SRemoteLine {
    char button = 0;  // the digit character
    char event = 0;   // 'D' (pressed), 'U' or 'S'
};

// The bytes received and not yet consumed, at most 32. Partial lines wait for the rest; junk,
// over-long and badly terminated lines are dropped so that the lines after them still count.
class CRemoteLineBuffer {
public:
    static constexpr std::size_t kCapacity = 32;

    enum class EStep {
        NeedMore,  // nothing decidable until more bytes arrive
        Dropped,   // bytes that cannot become a line were removed
        Line,      // a complete line was removed and stored in the argument
    };

    // Room for the next read; Commit tells how much of it was filled.
    std::span<std::uint8_t> FreeSpace() { return std::span(bytes_).subspan(count_); }
    void Commit(std::size_t bytes);
    std::size_t Count() const { return count_; }

    // One pass: skip to a plausible line start, then decide on the line there.
    EStep Next(SRemoteLine& line);

private:
    void Resynchronise();
    void Drop(std::size_t bytes);

    std::array<std::uint8_t, kCapacity> bytes_{};
    std::size_t count_ = 0;
};

// Turns complete lines into game actions: a press ("D") of a button 0..7 acts unless the same
// button was accepted 0 to 100 ms before; the other buttons' presses are independent.
class CRemoteButtons {
public:
    static constexpr int kButtonCount = 8;
    static constexpr std::uint32_t kDebounceMs = 100;

    CRemoteButtons(IRemoteHost& host, const CTickSource& ticks) : host_(host), ticks_(ticks) {}

    void Handle(const SRemoteLine& line);

private:
    IRemoteHost& host_;
    const CTickSource& ticks_;
    std::array<std::uint32_t, kButtonCount> lastPress_{};
    std::array<bool, kButtonCount> pressed_{};
};

// The command a button posts (buttons 2..7), 0 for the buzzers and unknown buttons.
int RemoteButtonCommand(int button);
