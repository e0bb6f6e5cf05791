#include "remote/ComPortName.h"
#include "remote/LineSettings.h"
#include "remote/RemotePortSetting.h"

#include <sys/ioctl.h>

#include <gtest/gtest.h>

#include <tuple>

namespace {

TEST(ComPortInput, Prompt)
{
    const std::string_view usb = "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0";
    const std::tuple<std::string, std::uint32_t, std::string_view> cases[] = {
        {"com3", 2, ""},  {"COM 3", 2, ""}, {"3", 2, ""},  {"0x10", 15, ""}, {"COM0x1f", 30, ""},
        {"COM0", 0, ""},  {"-5", 0, ""},    {"abc", 0, ""}, {"", 0, ""},      {"/dev/ttyUSB0", 7, "/dev/ttyUSB0"},
        {"  " + std::string(usb) + " ", 7, usb},
        {std::string(32, ' ') + "5", 0, ""},  // beyond the prompt's 31 characters
    };
    for (const auto& [text, index, device] : cases) {
        const SComPortChoice choice = ParseComPortInput(text, 7);
        EXPECT_EQ(choice.index, index) << text;
        EXPECT_EQ(choice.device, device) << text;
    }
}

TEST(ComPortName, DeviceAndDisplay)
{
    const std::tuple<std::uint32_t, const char*, const char*, const char*> cases[] = {
        {0, "", "/dev/ttyS0", "COM1"},
        {2, "", "/dev/ttyS2", "COM3"},
        {255, "", "/dev/ttyS255", "COM256"},
        {0xFFFFFFFFu, "", "/dev/ttyS4294967295", "COM0"},
        {4, "/dev/ttyACM0", "/dev/ttyACM0", "/dev/ttyACM0"},
    };
    for (const auto& [index, setting, device, display] : cases) {
        const SComPortName name = NameComPort(index, setting);
        EXPECT_EQ(name.device.View(), device);
        EXPECT_EQ(name.display.View(), display);
        EXPECT_EQ(ComPortPromptText(index, setting), display);
    }
    // A path longer than a device name can hold: no device, and the setting's copy says so.
    const std::string tooLong(kMaxDevicePath + 1, '/');
    EXPECT_TRUE(NameComPort(0, tooLong).device.Empty());
    SRemotePortTarget target;
    CRemotePortSetting(3, tooLong).CopyTo(target);
    EXPECT_TRUE(target.deviceTooLong);
}

TEST(LineSettings, Termios)
{
    const struct {
        const char* name;
        SLineSettings settings;
        tcflag_t cflagSet;
        tcflag_t cflagClear;
        bool parityCheck;
    } cases[] = {
        {"9600 8N1", {9600, kParityNone, kOneStopBit, 8, 0}, CS8 | CREAD | CLOCAL, PARENB | CSTOPB | CRTSCTS, false},
        {"odd", {9600, kParityOdd, kOneStopBit, 8, 0}, PARENB | PARODD, CMSPAR, true},
        {"even", {9600, kParityEven, kOneStopBit, 8, 0}, PARENB, PARODD | CMSPAR, true},
        {"space is code 3", {9600, kParitySpace, kOneStopBit, 8, 0}, PARENB | CMSPAR, PARODD, true},
        {"mark is code 4", {9600, kParityMark, kOneStopBit, 8, 0}, PARENB | CMSPAR | PARODD, 0, true},
        {"7 data bits, 2 stop bits", {9600, kParityNone, kTwoStopBits, 7, 0}, CS7 | CSTOPB, 0, false},
        {"RTS handshake", {9600, kParityNone, kOneStopBit, 8, kRtsHandshake}, CRTSCTS, 0, false},
        {"no handshake cancels it", {9600, kParityNone, kOneStopBit, 8, kRtsHandshake | kNoHandshake}, 0, CRTSCTS, false},
    };
    termios dirty{};
    dirty.c_iflag = ICRNL | IXON | ISTRIP;
    dirty.c_lflag = ICANON | ECHO | ISIG;
    dirty.c_oflag = OPOST;
    dirty.c_cflag = CS5 | PARENB | CRTSCTS | CSTOPB;
    for (const auto& c : cases) {
        const auto t = MakeTermios(dirty, c.settings);
        ASSERT_TRUE(t) << c.name;
        EXPECT_EQ(t->c_cflag & c.cflagSet, c.cflagSet) << c.name;
        EXPECT_EQ(t->c_cflag & c.cflagClear, 0u) << c.name;
        EXPECT_EQ((t->c_cflag & CSIZE) == CS8, c.settings.dataBits == 8) << c.name;
        EXPECT_EQ((t->c_iflag & INPCK) != 0, c.parityCheck) << c.name;
        // Raw input that returns at once, whatever the terminal had.
        EXPECT_EQ(std::make_tuple(t->c_iflag & (ICRNL | IXON | ISTRIP), t->c_lflag & (ICANON | ECHO | ISIG),
                                  t->c_oflag & OPOST, t->c_cc[VMIN], t->c_cc[VTIME], cfgetospeed(&*t)),
                  std::make_tuple(0u, 0u, 0u, cc_t{0}, cc_t{0}, static_cast<speed_t>(B9600)))
            << c.name;
    }
    const SLineSettings refused[] = {
        {12345, kParityNone, kOneStopBit, 8, 0}, {0, kParityNone, kOneStopBit, 8, 0},
        {9600, 5, kOneStopBit, 8, 0},            {9600, -1, kOneStopBit, 8, 0},
        {9600, kParityNone, 2, 8, 0},            {9600, kParityNone, kOneStopBit, 6, 0},
        {9600, kParityNone, kOneStopBit, 9, 0},
    };
    for (const auto& s : refused)
        EXPECT_FALSE(MakeTermios(termios{}, s)) << s.baud << " " << s.parity << " " << s.stopBits << " " << s.dataBits;
}

TEST(LineSettings, ModemLinesAndCharacterTime)
{
    const std::tuple<unsigned, int, int> lines[] = {
        {0, 0, TIOCM_RTS | TIOCM_DTR},          {kRtsOn, TIOCM_RTS, TIOCM_DTR},
        {kDtrOn | kRtsOn, TIOCM_RTS | TIOCM_DTR, 0}, {kRtsHandshake, 0, TIOCM_DTR},
        {kDtrHandshake, TIOCM_DTR, TIOCM_RTS},  {kRtsHandshake | kNoHandshake, 0, TIOCM_RTS | TIOCM_DTR},
    };
    for (const auto& [flags, raise, drop] : lines)
        EXPECT_EQ(std::make_pair(ModemLines(flags).raise, ModemLines(flags).drop), std::make_pair(raise, drop)) << flags;
    EXPECT_EQ(CharacterTime({9600, kParityEven, kOneStopBit, 7, 0}), 1066);
    EXPECT_EQ(CharacterTime({9600, kParityEven, kTwoStopBits, 8, 0}), 1280);
    EXPECT_EQ(CharacterTime({115200, kParityNone, kOneStopBit, 8, 0}), 88);
}

}  // namespace
