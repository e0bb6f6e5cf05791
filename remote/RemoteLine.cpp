#include "remote/RemoteLine.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr std::size_t kDigitCount = 8;
constexpr std::size_t kLineLength = kDigitCount + 3;  // button, event, digits, terminator

bool IsHexDigit(std::uint8_t c)
{
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

bool IsEventLetter(std::uint8_t c)
{
    return c == 'U' || c == 'S' || c == 'D';
}

// Commands of buttons 2..7: next puzzle, reveal, first player -, first +, second -, second +.
constexpr std::array<int, CRemoteButtons::kButtonCount> kButtonCommands{0, 0, 32809, 32813, 33036, 33034, 33037, 33035};

}  // namespace

void CRemoteLineBuffer::Commit(std::size_t bytes)
{
    count_ += std::min(bytes, kCapacity - count_);
}

void CRemoteLineBuffer::Drop(std::size_t bytes)
{
    bytes = std::min(bytes, count_);
    std::memmove(bytes_.data(), bytes_.data() + bytes, count_ - bytes);
    count_ -= bytes;
}

void CRemoteLineBuffer::Resynchronise()
{
    std::size_t start = 0;
    while (start < count_) {
        const bool last = start + 1 == count_;
        if (IsHexDigit(bytes_[start]) && (last || IsEventLetter(bytes_[start + 1])))
            break;
        ++start;
    }
    Drop(start);
}

CRemoteLineBuffer::EStep CRemoteLineBuffer::Next(SRemoteLine& line)
{
    Resynchronise();
    if (count_ < 3)
        return EStep::NeedMore;

    // From here the buffer starts with a hexadecimal digit and an event letter.
    std::size_t digits = 0;
    while (2 + digits < count_ && IsHexDigit(bytes_[2 + digits]))
        ++digits;

    // An over-long line loses exactly a line's worth of bytes. Dropping the whole digit run would
    // make the outcome depend on how much of it one read happened to bring; this way the first
    // 11 bytes alone decide, however the stream was split.
    if (digits > kDigitCount) {
        Drop(kLineLength);
        return EStep::Dropped;
    }
    if (digits < kDigitCount) {
        if (digits + 2 == count_)
            return EStep::NeedMore;  // the line is still arriving
        Drop(digits + 2);
        return EStep::Dropped;
    }
    if (count_ == kLineLength - 1)
        return EStep::NeedMore;  // waiting for the terminator
    const std::uint8_t terminator = bytes_[kLineLength - 1];
    if (terminator != '\r' && terminator != '\n') {
        Drop(kLineLength - 1);
        return EStep::Dropped;
    }
    line.button = static_cast<char>(bytes_[0]);
    line.event = static_cast<char>(bytes_[1]);
    Drop(kLineLength);
    return EStep::Line;
}

void CRemoteButtons::Handle(const SRemoteLine& line)
{
    const int button = line.button - '0';
    if (line.event != 'D' || button < 0 || button >= kButtonCount)
        return;
    const std::uint32_t now = ticks_.Now();
    const auto index = static_cast<std::size_t>(button);
    if (pressed_[index]) {
        const auto sinceLast = static_cast<std::int32_t>(now - lastPress_[index]);
        if (sinceLast >= 0 && static_cast<std::uint32_t>(sinceLast) <= kDebounceMs)
            return;  // contact bounce or a double send: the press was already taken
    }
    pressed_[index] = true;
    lastPress_[index] = now;
    if (button < 2)
        host_.StopPlayer(button);
    else
        host_.PostCommand(kButtonCommands[index]);
}

int RemoteButtonCommand(int button)
{
    if (button < 0 || button >= CRemoteButtons::kButtonCount)
        return 0;
    return kButtonCommands[static_cast<std::size_t>(button)];
}
