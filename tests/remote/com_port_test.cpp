#include "remote/ComPort.h"

#include "RemoteTestSupport.h"
#include "tests/store/TemporaryPuzzleSet.h"

#include <gtest/gtest.h>

#include <array>
#include <memory>

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

const SLineSettings k9600{9600, kParityNone, kOneStopBit, 8, 0};

long ElapsedMs(Clock::time_point since)
{
    return static_cast<long>(std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - since).count());
}

std::string ReadAll(int slot, std::size_t chunk)
{
    std::array<std::uint8_t, 64> buffer{};
    const int got = CComPort::Read(slot, std::span(buffer).first(chunk));
    return got < 0 ? "<failed>" : std::string(buffer.begin(), buffer.begin() + got);
}

TEST(ComPort, BadSlotsAndTheSlotsInTurn)
{
    const CTestPty pty;
    const int open = CComPort::OpenDevice(pty.Path(), k9600);
    ASSERT_GE(open, 0);
    const int free = (open + 1) % CComPort::kSlotCount;  // nothing else is open in this program
    std::array<std::uint8_t, 4> buffer{};
    for (const int slot : {-1, free, CComPort::kSlotCount, 1000}) {
        EXPECT_EQ(CComPort::Close(slot), -1) << slot;
        EXPECT_FALSE(CComPort::IsAlive(slot)) << slot;
        EXPECT_EQ(CComPort::BytesAvailable(slot), 0) << slot;
        EXPECT_EQ(CComPort::Read(slot, buffer), -1) << slot;
        EXPECT_EQ(CComPort::Read(slot, {}), -1) << slot;
        EXPECT_EQ(CComPort::CharacterTime(slot), -1) << slot;
        const auto start = Clock::now();
        EXPECT_FALSE(CComPort::WaitForInput(slot, 2000)) << slot;
        EXPECT_LT(ElapsedMs(start), 100) << slot;
    }
    EXPECT_EQ(CComPort::Read(open, {}), 0);
    EXPECT_EQ(CComPort::Close(open), 0);
    EXPECT_EQ(CComPort::Close(open), -1);  // closed twice

    // Each open looks for a free slot one further on than the open before.
    int previous = open;
    for (int cycle = 0; cycle < 20; ++cycle) {
        const int slot = CComPort::OpenDevice(pty.Path(), k9600);
        ASSERT_EQ(slot, (previous + 1) % CComPort::kSlotCount) << cycle;
        ASSERT_EQ(CComPort::Close(slot), 0) << cycle;
        previous = slot;
    }
}

TEST(ComPort, RefusedOpensLeaveNoSlotUsed)
{
    const CTestPty pty;
    const CTemporaryPuzzleSet dir;
    dir.WriteFile("not-a-terminal", "");
    EXPECT_EQ(CComPort::Open(256, 9600, 0, 0, 8, 0), -1);
    EXPECT_EQ(CComPort::OpenDevice("", k9600), -1);
    EXPECT_EQ(CComPort::OpenDevice((dir.Root() / "missing").string(), k9600), -1);
    EXPECT_EQ(CComPort::OpenDevice((dir.Root() / "not-a-terminal").string(), k9600), -1);
    EXPECT_EQ(CComPort::OpenDevice(pty.Path(), {12345, 0, 0, 8, 0}), -1);

    std::vector<std::unique_ptr<CTestPty>> ptys;
    std::vector<int> slots;
    for (int i = 0; i < CComPort::kSlotCount; ++i) {
        ptys.push_back(std::make_unique<CTestPty>());
        slots.push_back(CComPort::OpenDevice(ptys.back()->Path(), k9600));
        EXPECT_GE(slots.back(), 0) << i;
    }
    EXPECT_EQ(CComPort::OpenDevice(pty.Path(), k9600), -1) << "a ninth port while all slots are taken";
    EXPECT_EQ(CComPort::Close(slots[3]), 0);
    EXPECT_EQ(CComPort::OpenDevice(ptys[0]->Path(), k9600), -1) << "an open device is held exclusively";
    EXPECT_EQ(CComPort::OpenDevice(pty.Path(), k9600), slots[3]) << "the freed slot is the only one";
    for (const int slot : slots)
        EXPECT_EQ(CComPort::Close(slot), 0);
    const int again = CComPort::OpenDevice(ptys[0]->Path(), k9600);
    EXPECT_GE(again, 0) << "closing gives the device back";
    CComPort::Close(again);
}

// One port's life: the settings reach the terminal, bytes arrive untranslated, a wait goes on past
// one slice, and a pulled device is no longer alive.
TEST(ComPort, SettingsBytesWaitsAndThePulledDevice)
{
    CTestPty pty;
    termios cooked{};
    ASSERT_EQ(tcgetattr(pty.SlaveFd(), &cooked), 0);
    cooked.c_lflag |= ICANON | ECHO;
    cooked.c_iflag |= ICRNL;
    ASSERT_EQ(tcsetattr(pty.SlaveFd(), TCSANOW, &cooked), 0);

    const int slot = CComPort::OpenDevice(pty.Path(), k9600);
    ASSERT_GE(slot, 0);
    EXPECT_EQ(CComPort::CharacterTime(slot), 1066);

    auto start = Clock::now();
    EXPECT_EQ(ReadAll(slot, 8), "");
    EXPECT_LT(ElapsedMs(start), 100) << "reads do not wait";
    pty.Send(std::string("\r\n\0\xff", 4));
    ASSERT_TRUE(CComPort::WaitForInput(slot, 1000));
    for (int i = 0; i < 100 && CComPort::BytesAvailable(slot) < 4; ++i)
        std::this_thread::sleep_for(5ms);
    EXPECT_EQ(CComPort::BytesAvailable(slot), 4);
    EXPECT_EQ(ReadAll(slot, 2), "\r\n");
    EXPECT_EQ(ReadAll(slot, 8), std::string("\0\xff", 2));
    EXPECT_EQ(CComPort::BytesAvailable(slot), 0);

    start = Clock::now();
    EXPECT_FALSE(CComPort::WaitForInput(slot, 150));
    EXPECT_GE(ElapsedMs(start), 140);
    EXPECT_LT(ElapsedMs(start), 1000);
    std::thread remote([&pty] {
        std::this_thread::sleep_for(700ms);
        pty.Send("x");
    });
    start = Clock::now();
    EXPECT_TRUE(CComPort::WaitForInput(slot, 3000));
    EXPECT_GE(ElapsedMs(start), 600);
    EXPECT_LT(ElapsedMs(start), 2000);
    remote.join();
    EXPECT_EQ(ReadAll(slot, 8), "x");

    EXPECT_TRUE(CComPort::IsAlive(slot));
    pty.Pull();
    EXPECT_FALSE(CComPort::IsAlive(slot));
    EXPECT_EQ(CComPort::BytesAvailable(slot), 0);
    EXPECT_EQ(ReadAll(slot, 8), "<failed>");
    start = Clock::now();
    EXPECT_FALSE(CComPort::WaitForInput(slot, 200));
    EXPECT_GE(ElapsedMs(start), 150);
    EXPECT_EQ(CComPort::Close(slot), 0);
}

}  // namespace
