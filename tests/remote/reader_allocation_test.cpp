// The reader's loop must not allocate: allocations on the reader thread outside the host's
// callbacks are counted.

#include "remote/RemoteReader.h"

#include "RemoteTestSupport.h"
#include "tests/store/TemporaryPuzzleSet.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

// Both halves are replaced together, so new-allocated memory going to free is intended.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

namespace {
std::atomic<std::thread::id> g_readerThread{};
std::atomic<int> g_readerAllocations{0};
thread_local bool t_inHost = false;
}  // namespace

void* operator new(std::size_t size)
{
    if (!t_inHost && std::this_thread::get_id() == g_readerThread.load())
        ++g_readerAllocations;
    if (void* memory = std::malloc(size ? size : 1))
        return memory;
    throw std::bad_alloc();
}
void operator delete(void* memory) noexcept { std::free(memory); }
void operator delete(void* memory, std::size_t) noexcept { std::free(memory); }

namespace {

using namespace std::chrono_literals;

class CCountingHost final : public IRemoteHost {
public:
    void StopPlayer(int player) override { Call([&] { inner_.StopPlayer(player); }); }
    void PostCommand(int commandId) override { Call([&] { inner_.PostCommand(commandId); }); }
    void RemoteStateChanged(std::string_view portName) override { Call([&] { inner_.RemoteStateChanged(portName); }); }
    const CRecordingHost& Recorded() const { return inner_; }

private:
    void Call(const auto& action)
    {
        g_readerThread.store(std::this_thread::get_id());
        t_inHost = true;
        action();
        t_inHost = false;
    }
    CRecordingHost inner_;
};

// Lines, junk, a split line, a pulled device, failing reopens and a new setting.
TEST(RemoteReaderAllocation, SteadyLoopDoesNotAllocate)
{
    CTemporaryPuzzleSet dir;
    CCountingHost host;
    CManualTicks ticks(5000);
    auto pty = std::make_unique<CTestPty>();
    const CTestPty other;
    const auto link = (dir.Root() / "remote").string();
    Relink(link, pty->Path());
    CRemotePortSetting setting(0, link);
    {
        CRemoteReader reader(host, setting, ticks);
        ASSERT_TRUE(host.Recorded().WaitFor("state " + link));
        pty->Send("xx0D00000000\r2D0000ABCD\r\n5D123456789\r3D00");
        std::this_thread::sleep_for(30ms);
        pty->Send("000000\r9D00000000\r");
        ASSERT_TRUE(host.Recorded().WaitFor("command 32813"));
        pty->Pull();  // reopen attempts fail while the link points nowhere
        ASSERT_TRUE(host.Recorded().WaitFor("state "));
        std::this_thread::sleep_for(450ms);
        setting.Set(0, other.Path());
        ASSERT_TRUE(host.Recorded().WaitFor("state " + other.Path()));
        other.Send("7D00000000\r");
        ASSERT_TRUE(host.Recorded().WaitFor("command 33035"));
    }
    EXPECT_EQ(g_readerAllocations.load(), 0);
}

}  // namespace
