#pragma once
// Pseudo-terminals standing in for the remote's serial port, and a host that records what the
// reader does.

#include "remote/RemoteHost.h"

#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <stdexcept>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

// The master side plays the remote; the slave's path is the serial device the code opens.
class CTestPty {
public:
    CTestPty()
    {
        termios raw{};
        cfmakeraw(&raw);
        cfsetispeed(&raw, B9600);
        cfsetospeed(&raw, B9600);
        char name[256] = {};
        if (openpty(&master_, &slave_, name, &raw, nullptr) != 0)
            throw std::runtime_error("openpty failed");
        path_ = name;
    }
    ~CTestPty()
    {
        Pull();
        ::close(slave_);
    }
    CTestPty(const CTestPty&) = delete;
    CTestPty& operator=(const CTestPty&) = delete;

    const std::string& Path() const { return path_; }
    int SlaveFd() const { return slave_; }
    void Send(std::string_view bytes) const
    {
        if (::write(master_, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size()))
            throw std::runtime_error("write to the pseudo-terminal failed");
    }
    // As if the adapter were pulled: the device side goes away.
    void Pull()
    {
        if (master_ >= 0)
            ::close(master_);
        master_ = -1;
    }

private:
    int master_ = -1;
    int slave_ = -1;  // held so the terminal keeps its settings between opens
    std::string path_;
};

// Points link at target, replacing what was there in one step.
inline void Relink(const std::filesystem::path& link, const std::string& target)
{
    const auto fresh = link.string() + ".new";
    std::filesystem::remove(fresh);
    std::filesystem::create_symlink(target, fresh);
    std::filesystem::rename(fresh, link);
}

// Records the calls as short texts: "stop 0", "command 32809", "state COM3", "state " (none).
class CRecordingHost final : public IRemoteHost {
public:
    void StopPlayer(int player) override { Record("stop " + std::to_string(player)); }
    void PostCommand(int commandId) override { Record("command " + std::to_string(commandId)); }
    void RemoteStateChanged(std::string_view portName) override { Record("state " + std::string(portName)); }

    std::vector<std::string> Calls() const
    {
        const std::lock_guard lock(mutex_);
        return calls_;
    }
    void Clear()
    {
        const std::lock_guard lock(mutex_);
        calls_.clear();
    }

    // Waits until the call has been recorded, or the time passed.
    bool WaitFor(const std::string& call, std::chrono::milliseconds limit = std::chrono::seconds(3)) const
    {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, limit, [&] { return std::ranges::find(calls_, call) != calls_.end(); });
    }

private:
    void Record(std::string call)
    {
        {
            const std::lock_guard lock(mutex_);
            calls_.push_back(std::move(call));
        }
        changed_.notify_all();
    }

    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    std::vector<std::string> calls_;
};
