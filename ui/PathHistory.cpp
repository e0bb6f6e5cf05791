#include "ui/PathHistory.h"

#include "ui/PathFunctions.h"

#include <algorithm>

CPathHistory::CPathHistory(std::vector<std::string> entries)
{
    // Stored lists come from the settings and may hold anything: add them oldest first so that
    // the same rules apply as to new entries.
    for (auto it = entries.rbegin(); it != entries.rend(); ++it)
        Add(*it);
}

void CPathHistory::Add(std::string_view path)
{
    std::string entry(path);
    RemoveSlash(entry);
    if (entry.empty())
        return;
    std::erase(entries_, entry);
    entries_.insert(entries_.begin(), std::move(entry));
    if (entries_.size() > kMaxEntries)
        entries_.resize(kMaxEntries);
}
