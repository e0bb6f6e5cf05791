#include "remote/LineSettings.h"

#include <sys/ioctl.h>

#include <array>
#include <utility>

namespace {

constexpr std::array<std::pair<unsigned, speed_t>, 30> kSpeeds{{
    {50, B50}, {75, B75}, {110, B110}, {134, B134}, {150, B150}, {200, B200}, {300, B300},
    {600, B600}, {1200, B1200}, {1800, B1800}, {2400, B2400}, {4800, B4800}, {9600, B9600},
    {19200, B19200}, {38400, B38400}, {57600, B57600}, {115200, B115200}, {230400, B230400},
    {460800, B460800}, {500000, B500000}, {576000, B576000}, {921600, B921600},
    {1000000, B1000000}, {1152000, B1152000}, {1500000, B1500000}, {2000000, B2000000},
    {2500000, B2500000}, {3000000, B3000000}, {3500000, B3500000}, {4000000, B4000000},
}};

std::optional<speed_t> SpeedOf(unsigned baud)
{
    for (const auto& [rate, speed] : kSpeeds)
        if (rate == baud)
            return speed;
    return std::nullopt;
}

unsigned EffectiveFlags(unsigned flags)
{
    if (flags & kNoHandshake)
        flags &= ~(kRtsHandshake | kDtrHandshake);
    return flags;
}

}  // namespace

std::optional<termios> MakeTermios(const termios& current, const SLineSettings& settings)
{
    const auto speed = SpeedOf(settings.baud);
    if (!speed || settings.parity < kParityNone || settings.parity > kParityMark)
        return std::nullopt;
    if (settings.stopBits != kOneStopBit && settings.stopBits != kTwoStopBits)
        return std::nullopt;
    if (settings.dataBits != 7 && settings.dataBits != 8)
        return std::nullopt;

    termios t = current;
    t.c_iflag &= ~static_cast<tcflag_t>(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL |
                                        IXON | IXOFF | IXANY | INPCK | IGNPAR);
    if (settings.parity != kParityNone)
        t.c_iflag |= INPCK;
    t.c_oflag &= ~static_cast<tcflag_t>(OPOST);
    t.c_lflag &= ~static_cast<tcflag_t>(ECHO | ECHONL | ICANON | ISIG | IEXTEN);

    t.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS);
    t.c_cflag |= CREAD | CLOCAL;  // the remote has no carrier line: never hang up on DCD
    t.c_cflag |= settings.dataBits == 7 ? CS7 : CS8;
    switch (settings.parity) {
    case kParityOdd: t.c_cflag |= PARENB | PARODD; break;
    case kParityEven: t.c_cflag |= PARENB; break;
    case kParitySpace: t.c_cflag |= PARENB | CMSPAR; break;
    case kParityMark: t.c_cflag |= PARENB | CMSPAR | PARODD; break;
    default: break;
    }
    if (settings.stopBits == kTwoStopBits)
        t.c_cflag |= CSTOPB;
    // termios knows only RTS/CTS flow control; a DTR handshake is approximated by holding DTR on.
    if (EffectiveFlags(settings.flags) & kRtsHandshake)
        t.c_cflag |= CRTSCTS;

    // A read returns at once with what is queued, as the reader polls for input itself.
    t.c_cc[VMIN] = 0;
    t.c_cc[VTIME] = 0;
    cfsetispeed(&t, *speed);
    cfsetospeed(&t, *speed);
    return t;
}

SModemLines ModemLines(unsigned flags)
{
    flags = EffectiveFlags(flags);
    SModemLines lines;
    if (!(flags & kRtsHandshake))
        (flags & kRtsOn ? lines.raise : lines.drop) |= TIOCM_RTS;
    (flags & (kDtrOn | kDtrHandshake) ? lines.raise : lines.drop) |= TIOCM_DTR;
    return lines;
}

std::int32_t CharacterTime(const SLineSettings& settings)
{
    if (settings.baud == 0)
        return 0;
    std::int64_t bits = settings.dataBits == 8 ? 10 : 9;
    if (settings.stopBits != kOneStopBit)
        ++bits;
    if (settings.parity != kParityNone)
        ++bits;
    return static_cast<std::int32_t>(bits * 1024000 / settings.baud);
}
