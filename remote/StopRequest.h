#pragma once
// A stop request that a sleeping thread notices at once.

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>

class CStopRequest {
public:
    void Request()
    {
        {
            const std::lock_guard lock(mutex_);
            requested_.store(true);
        }
        wake_.notify_all();
    }

    bool IsRequested() const { return requested_.load(); }

    // Sleeps for the duration or until a stop is requested.
    void SleepFor(std::chrono::milliseconds duration) const
    {
        std::unique_lock lock(mutex_);
        wake_.wait_for(lock, duration, [this] { return requested_.load(); });
    }

private:
    std::atomic<bool> requested_{false};
    mutable std::mutex mutex_;
    mutable std::condition_variable wake_;
};
