#include "remote/RemoteReader.h"

#include "RemoteTestSupport.h"
#include "tests/store/TemporaryPuzzleSet.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>

namespace {

using namespace std::chrono_literals;

const std::string kLine = "00000000\r";

class RemoteReaderTest : public ::testing::Test {
protected:
    // Starts the reader on the device and waits until it reports the state.
    void Start(const std::string& device, std::string state, const CTickSource& clock)
    {
        setting.Set(0, device);
        reader.emplace(host, setting, clock);
        ASSERT_TRUE(host.WaitFor("state " + state)) << device;
    }
    void StartOn(const std::string& device) { Start(device, device, ticks); }

    std::chrono::milliseconds StopTime()
    {
        const auto start = std::chrono::steady_clock::now();
        reader.reset();
        return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
    }

    CTemporaryPuzzleSet dir;
    CRecordingHost host;
    CManualTicks ticks{10000};
    CRemotePortSetting setting;
    std::optional<CRemoteReader> reader;  // declared last: ends first
};

// What the reader makes of the line, read back from the terminal: 9600 baud, 8N1, no handshake.
TEST_F(RemoteReaderTest, LineIs9600EightNoneOneWithoutHandshake)
{
    CTestPty pty;
    termios t{};
    ASSERT_EQ(::tcgetattr(pty.SlaveFd(), &t), 0);
    cfsetispeed(&t, B19200);
    cfsetospeed(&t, B19200);
    t.c_cflag = (t.c_cflag & ~CSIZE) | CS7 | PARENB | CSTOPB | CRTSCTS;
    t.c_iflag |= IXON | IXOFF;
    ASSERT_EQ(::tcsetattr(pty.SlaveFd(), TCSANOW, &t), 0);
    StartOn(pty.Path());
    ASSERT_EQ(::tcgetattr(pty.SlaveFd(), &t), 0);
    EXPECT_EQ(cfgetispeed(&t), B9600);
    EXPECT_EQ(cfgetospeed(&t), B9600);
    EXPECT_EQ(t.c_cflag & (CSIZE | PARENB | CSTOPB | CRTSCTS), tcflag_t{CS8});
    EXPECT_EQ(t.c_iflag & (IXON | IXOFF | IXANY), tcflag_t{0});
}

TEST_F(RemoteReaderTest, MissingDeviceIsPickedUpAndPulledOneReopened)
{
    const auto link = (dir.Root() / "remote").string();
    Start(link, "", ticks);

    auto first = std::make_unique<CTestPty>();
    Relink(link, first->Path());
    ASSERT_TRUE(host.WaitFor("state " + link, 1s));
    first->Send("0D" + kLine);
    ASSERT_TRUE(host.WaitFor("stop 0"));

    host.Clear();
    first->Pull();
    ASSERT_TRUE(host.WaitFor("state ", 1s));
    first.reset();

    const CTestPty second;
    Relink(link, second.Path());
    ASSERT_TRUE(host.WaitFor("state " + link, 1s));
    second.Send("1D" + kLine);
    EXPECT_TRUE(host.WaitFor("stop 1"));
    EXPECT_EQ(host.Calls(), (std::vector<std::string>{"state ", "state " + link, "stop 1"}));
}

// More changes than there are port slots: every old port is closed.
TEST_F(RemoteReaderTest, FollowsTheSettingThroughManyChanges)
{
    const CTestPty a;
    const CTestPty b;
    StartOn(a.Path());
    for (int change = 0; change < 12; ++change) {
        const CTestPty& next = change % 2 == 0 ? b : a;
        setting.Set(0, next.Path());
        ASSERT_TRUE(host.WaitFor("state " + next.Path(), 1s)) << change;
        host.Clear();
    }
    // Bytes already received stay when the port changes.
    a.Send("2D0000");
    std::this_thread::sleep_for(50ms);
    setting.Set(0, b.Path());
    ASSERT_TRUE(host.WaitFor("state " + b.Path(), 1s));
    b.Send("ABCD\r");
    EXPECT_TRUE(host.WaitFor("command 32809"));
}

TEST_F(RemoteReaderTest, EndsPromptly)
{
    Start((dir.Root() / "missing").string(), "", ticks);
    EXPECT_LT(StopTime(), 250ms) << "while no port opens";

    host.Clear();
    setting.Set(256, "");  // beyond the port table
    reader.emplace(host, setting, ticks);
    ASSERT_TRUE(host.WaitFor("state "));
    EXPECT_LT(StopTime(), 250ms);

    const CTestPty pty;
    StartOn(pty.Path());
    EXPECT_LT(StopTime(), 250ms) << "while the port is open";
    host.Clear();
    pty.Send("0D" + kLine);
    std::this_thread::sleep_for(200ms);
    EXPECT_TRUE(host.Calls().empty()) << "the host is not called after the reader ended";
}

}  // namespace
