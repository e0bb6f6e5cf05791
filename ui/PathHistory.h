#pragma once
// The folder chooser's list of recently confirmed paths: most recent first, no duplicates,
// at most 16 entries.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

class CPathHistory {
public:
    static constexpr std::size_t kMaxEntries = 16;

    CPathHistory() = default;
    explicit CPathHistory(std::vector<std::string> entries);

    // Moves the path to the front. A trailing separator is dropped unless the path is the root.
    void Add(std::string_view path);

    const std::vector<std::string>& Entries() const { return entries_; }

private:
    std::vector<std::string> entries_;
};
