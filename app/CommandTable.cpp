#include "app/CommandTable.h"

#include <utility>

void CCommandTable::Register(std::uint32_t id, Handler handler, Rule enabled, Rule checked)
{
    entries_[id] = Entry{std::move(handler), std::move(enabled), std::move(checked)};
}

bool CCommandTable::Contains(std::uint32_t id) const
{
    return entries_.contains(id);
}

bool CCommandTable::IsEnabled(std::uint32_t id) const
{
    const auto found = entries_.find(id);
    if (found == entries_.end() || !found->second.handler)
        return false;
    return !found->second.enabled || found->second.enabled();
}

std::optional<bool> CCommandTable::IsChecked(std::uint32_t id) const
{
    const auto found = entries_.find(id);
    if (found == entries_.end() || !found->second.checked)
        return std::nullopt;
    return found->second.checked();
}

bool CCommandTable::Dispatch(std::uint32_t id)
{
    bool ran = false;
    if (IsEnabled(id)) {
        // A handler may re-register commands; keep the one that runs alive.
        const Handler handler = entries_.at(id).handler;
        handler();
        ran = true;
    }
    for (const auto& observer : observers_)
        observer();
    return ran;
}

void CCommandTable::AddObserver(std::function<void()> observer)
{
    observers_.push_back(std::move(observer));
}
