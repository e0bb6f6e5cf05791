#include "remote/RemotePortSetting.h"

void CRemotePortSetting::Set(std::uint32_t index, std::string_view device)
{
    const std::lock_guard lock(mutex_);
    index_.store(index);
    device_.assign(device);
    generation_.fetch_add(1, std::memory_order_release);
}

std::string CRemotePortSetting::Device() const
{
    const std::lock_guard lock(mutex_);
    return device_;
}

std::uint32_t CRemotePortSetting::CopyTo(SRemotePortTarget& target) const
{
    const std::lock_guard lock(mutex_);
    target.index = index_.load();
    target.deviceTooLong = !target.device.Assign(device_);
    return generation_.load();
}
