#pragma once
// The port the remote is wired to: written by the GUI thread, polled by the reader thread.
// The reader looks at the generation on every pass and copies the setting only when it changed,
// into storage of its own, so its loop never allocates.

#include "remote/ComPortName.h"

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>

struct SRemotePortTarget {
    std::uint32_t index = 0;
    CFixedText<kMaxDevicePath> device;
    bool deviceTooLong = false;  // a path no device can have: nothing is opened

    friend bool operator==(const SRemotePortTarget&, const SRemotePortTarget&) = default;
};

class CRemotePortSetting {
public:
    CRemotePortSetting() = default;
    CRemotePortSetting(std::uint32_t index, std::string_view device) { Set(index, device); }

    // device empty: the port index is used.
    void Set(std::uint32_t index, std::string_view device);

    std::uint32_t Index() const { return index_.load(); }
    std::string Device() const;

    // Changes with every Set.
    std::uint32_t Generation() const { return generation_.load(std::memory_order_acquire); }

    // The setting as of the generation returned.
    std::uint32_t CopyTo(SRemotePortTarget& target) const;

private:
    mutable std::mutex mutex_;
    std::string device_;
    std::atomic<std::uint32_t> index_{0};
    std::atomic<std::uint32_t> generation_{0};
};
