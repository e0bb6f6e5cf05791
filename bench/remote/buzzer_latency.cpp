// How long a buzzer press takes to stop the clock: from the last byte of a buzzer line written
// into a pseudo-terminal to StopPlayer running on the reader thread, over 1,000 presses. Reports
// the median and the 99th percentile in milliseconds (goal: under 2 and under 10).

#include "remote/RemoteReader.h"
#include "support/TickCount.h"

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// The remote's side of a pseudo-terminal; the reader opens the other side by its path.
class CPtyMaster {
public:
    CPtyMaster() : fd_(::posix_openpt(O_RDWR | O_NOCTTY))
    {
        if (fd_ < 0 || ::grantpt(fd_) != 0 || ::unlockpt(fd_) != 0)
            std::abort();
        path_ = ::ptsname(fd_);
        // Held open so the terminal stays while the reader opens and configures it.
        slave_ = ::open(path_.c_str(), O_RDWR | O_NOCTTY);
        termios raw{};
        ::tcgetattr(slave_, &raw);
        ::cfmakeraw(&raw);
        ::tcsetattr(slave_, TCSANOW, &raw);
    }
    ~CPtyMaster()
    {
        ::close(slave_);
        ::close(fd_);
    }
    CPtyMaster(const CPtyMaster&) = delete;
    CPtyMaster& operator=(const CPtyMaster&) = delete;

    const std::string& Path() const { return path_; }
    void Send(std::string_view bytes) const
    {
        if (::write(fd_, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size()))
            std::abort();
    }

private:
    int fd_;
    int slave_ = -1;
    std::string path_;
};

// Notes when a stop arrives; the presses come one at a time. The waiting side sleeps, so that on
// a busy machine it does not take the processor from the reader it waits for.
class CStopClock final : public IRemoteHost {
public:
    void StopPlayer(int) override
    {
        const Clock::time_point now = Clock::now();
        {
            const std::lock_guard lock(mutex_);
            stoppedAt_ = now;
        }
        stopped_.notify_one();
    }
    void PostCommand(int) override {}
    void RemoteStateChanged(std::string_view portName) override { open_.store(!portName.empty()); }

    bool Open() const { return open_.load(); }
    void Reset()
    {
        const std::lock_guard lock(mutex_);
        stoppedAt_.reset();
    }
    // The time of the stop, waiting for it up to a second.
    std::optional<Clock::time_point> WaitForStop()
    {
        std::unique_lock lock(mutex_);
        stopped_.wait_for(lock, std::chrono::seconds(1), [this] { return stoppedAt_.has_value(); });
        return stoppedAt_;
    }

private:
    std::mutex mutex_;
    std::condition_variable stopped_;
    std::optional<Clock::time_point> stoppedAt_;
    std::atomic<bool> open_{false};
};

// Every reading of the clock is a second later, so no press falls into the previous one's
// debounce window however fast the presses follow each other.
class CSecondPerReading final : public CTickSource {
public:
    std::uint32_t Now() const override { return now_.fetch_add(1000) + 1000; }

private:
    mutable std::atomic<std::uint32_t> now_{0};
};

double Percentile(std::vector<double> values, double fraction)
{
    std::sort(values.begin(), values.end());
    const auto index = static_cast<std::size_t>(fraction * static_cast<double>(values.size() - 1) + 0.5);
    return values[index];
}

void BM_BuzzerToStopPlayer(benchmark::State& state)
{
    constexpr int kPresses = 1000;
    CPtyMaster pty;
    CStopClock host;
    CRemotePortSetting setting(0, pty.Path());
    CSecondPerReading ticks;
    CRemoteReader reader(host, setting, ticks);
    while (!host.Open())
        std::this_thread::sleep_for(std::chrono::milliseconds(1));

    std::vector<double> latencies;
    for (auto _ : state) {
        latencies.clear();
        for (int press = 0; press < kPresses; ++press) {
            host.Reset();
            pty.Send(press % 2 == 0 ? "0D0000000" : "1D0000000");
            std::this_thread::sleep_for(std::chrono::microseconds(200));  // the first bytes come ahead, as on the line
            const Clock::time_point sent = Clock::now();
            pty.Send("0\r");
            const std::optional<Clock::time_point> stopped = host.WaitForStop();
            if (!stopped) {
                state.SkipWithError("a press did not stop the clock");
                return;
            }
            latencies.push_back(std::chrono::duration<double, std::milli>(*stopped - sent).count());
        }
    }
    state.counters["median_ms"] = Percentile(latencies, 0.5);
    state.counters["p99_ms"] = Percentile(latencies, 0.99);
    state.counters["max_ms"] = Percentile(latencies, 1.0);
}
BENCHMARK(BM_BuzzerToStopPlayer)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
