#include "remote/ComPort.h"

#include "remote/FixedText.h"
#include "support/TickCount.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <mutex>
#include <thread>
#include <utility>

namespace {

constexpr std::int32_t kWaitSlice = 500;  // ms; a wait never blocks longer at a time

struct SPortSlot {
    int fd = -1;  // -1 marks a free slot
    std::int32_t characterTime = 0;
};

std::array<SPortSlot, CComPort::kSlotCount> g_slots;
std::uint32_t g_startCounter = 0;
std::mutex g_claimMutex;

class CUniqueFd {
public:
    explicit CUniqueFd(int fd) : fd_(fd) {}
    ~CUniqueFd()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    CUniqueFd(const CUniqueFd&) = delete;
    CUniqueFd& operator=(const CUniqueFd&) = delete;

    int Get() const { return fd_; }
    int Release() { return std::exchange(fd_, -1); }

private:
    int fd_;
};

SPortSlot* OpenSlot(int slot)
{
    if (slot < 0 || slot >= CComPort::kSlotCount || g_slots[static_cast<std::size_t>(slot)].fd < 0)
        return nullptr;
    return &g_slots[static_cast<std::size_t>(slot)];
}

// The input queue length, or -1 when the device no longer answers (pulled adapter, hung-up line,
// pseudo-terminal whose other side closed).
int QueryStatus(int fd)
{
    pollfd watch{fd, POLLIN, 0};
    int ready;
    do
        ready = ::poll(&watch, 1, 0);
    while (ready < 0 && errno == EINTR);
    if (ready < 0 || (watch.revents & (POLLHUP | POLLERR | POLLNVAL)))
        return -1;
    int queued = 0;
    if (::ioctl(fd, FIONREAD, &queued) != 0)
        return -1;
    return std::max(queued, 0);
}

void SleepMs(int ms)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

// Puts the device into the requested line settings; the modem lines may be refused (a
// pseudo-terminal has none), the rest may not.
bool ConfigureDevice(int fd, const SLineSettings& settings)
{
    termios current{};
    if (::tcgetattr(fd, &current) != 0)
        return false;  // not a terminal at all
    const auto wanted = MakeTermios(current, settings);
    if (!wanted || ::tcsetattr(fd, TCSANOW, &*wanted) != 0)
        return false;
    const SModemLines lines = ModemLines(settings.flags);
    if (lines.raise != 0)
        ::ioctl(fd, TIOCMBIS, &lines.raise);
    if (lines.drop != 0)
        ::ioctl(fd, TIOCMBIC, &lines.drop);
    // Non-blocking only so that the open does not wait for a carrier; reads return at once anyway.
    const int fileFlags = ::fcntl(fd, F_GETFL);
    return fileFlags >= 0 && ::fcntl(fd, F_SETFL, fileFlags & ~O_NONBLOCK) == 0;
}

int OpenExclusive(const char* path)
{
    CUniqueFd fd(::open(path, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
    if (fd.Get() < 0)
        return -1;
    termios probe{};
    if (::tcgetattr(fd.Get(), &probe) != 0)
        return -1;
    // Another program (or another slot) holding the port keeps it: nobody shares a line.
    if (::flock(fd.Get(), LOCK_EX | LOCK_NB) != 0)
        return -1;
    ::ioctl(fd.Get(), TIOCEXCL);
    return fd.Release();
}

int CloseDevice(int fd)
{
    ::ioctl(fd, TIOCNXCL);  // the exclusive mark outlives our descriptor if another one is open
    const int result = ::close(fd);
    // Linux releases the descriptor even when close reports an error, so the slot is free anyway.
    return result == 0 || errno == EINTR ? 0 : -1;
}

}  // namespace

int CComPort::Open(unsigned port, unsigned baud, int parity, int stopBits, int dataBits, unsigned flags)
{
    if (port >= kPortLimit)
        return -1;
    CFixedText<32> path;
    path.Assign("/dev/ttyS");
    path.AppendNumber(port);
    return OpenDevice(path.View(), {baud, parity, stopBits, dataBits, flags});
}

int CComPort::OpenDevice(std::string_view devicePath, const SLineSettings& settings)
{
    CFixedText<4096> path;
    if (devicePath.empty() || devicePath.find('\0') != std::string_view::npos || !path.Assign(devicePath))
        return -1;

    const std::lock_guard lock(g_claimMutex);
    const std::uint32_t start = g_startCounter++ % kSlotCount;
    int slot = -1;
    for (std::uint32_t step = 0; step < kSlotCount; ++step) {
        const auto candidate = (start + step) % kSlotCount;
        if (g_slots[candidate].fd < 0) {
            slot = static_cast<int>(candidate);
            break;
        }
    }
    if (slot < 0)
        return -1;

    CUniqueFd fd(OpenExclusive(path.CStr()));
    if (fd.Get() < 0 || !ConfigureDevice(fd.Get(), settings))
        return -1;

    SPortSlot& entry = g_slots[static_cast<std::size_t>(slot)];
    entry.characterTime = ::CharacterTime(settings);
    entry.fd = fd.Release();
    return slot;
}

int CComPort::Close(int slot)
{
    int fd = -1;
    {
        const std::lock_guard lock(g_claimMutex);
        SPortSlot* entry = OpenSlot(slot);
        if (!entry)
            return -1;
        fd = std::exchange(entry->fd, -1);
        entry->characterTime = 0;
    }
    return CloseDevice(fd);
}

int CComPort::BytesAvailable(int slot)
{
    const SPortSlot* entry = OpenSlot(slot);
    if (!entry)
        return 0;
    return std::max(QueryStatus(entry->fd), 0);
}

bool CComPort::IsAlive(int slot)
{
    const SPortSlot* entry = OpenSlot(slot);
    return entry && QueryStatus(entry->fd) >= 0;
}

bool CComPort::WaitForInput(int slot, std::uint32_t limitMs)
{
    const SPortSlot* entry = OpenSlot(slot);
    if (!entry)
        return false;
    // Tick times compare as signed differences: a longer limit would look expired at once.
    const std::uint32_t deadline = GetTickCount() + std::min(limitMs, std::uint32_t{0x7FFFFFFF});
    bool expired = false;
    for (;;) {
        const int status = QueryStatus(entry->fd);
        if (status > 0)
            return true;
        if (expired)
            return false;
        auto remaining = static_cast<std::int32_t>(deadline - GetTickCount());
        if (remaining <= 0) {
            expired = true;
            remaining = 0;
        } else {
            remaining = std::min(remaining, kWaitSlice);
        }
        pollfd watch{entry->fd, POLLIN, 0};
        const int ready = ::poll(&watch, 1, remaining);
        const bool broken = (ready < 0 && errno != EINTR) ||
                            (ready > 0 && (watch.revents & (POLLHUP | POLLERR | POLLNVAL)));
        // A broken device answers every poll at once; pace the loop instead of spinning.
        if ((broken || status < 0) && remaining > 0)
            SleepMs(remaining <= 100 ? 10 : 50);
    }
}

int CComPort::Read(int slot, std::span<std::uint8_t> buffer)
{
    const SPortSlot* entry = OpenSlot(slot);
    if (!entry)
        return -1;
    if (buffer.empty())
        return 0;
    const std::size_t length = std::min<std::size_t>(buffer.size(), 0x7FFFFFFF);
    ssize_t got;
    do
        got = ::read(entry->fd, buffer.data(), length);
    while (got < 0 && errno == EINTR);
    if (got < 0)
        return errno == EAGAIN || errno == EWOULDBLOCK ? 0 : -1;
    // A terminal that hung up reads as empty: tell that apart from a quiet line.
    if (got == 0 && QueryStatus(entry->fd) < 0)
        return -1;
    return static_cast<int>(got);
}

std::int32_t CComPort::CharacterTime(int slot)
{
    const SPortSlot* entry = OpenSlot(slot);
    return entry ? entry->characterTime : -1;
}
