#pragma once
// The editor's list of picture paths used before ("NameList"): the path confirmed last comes
// first, then the others in the order of the dialog's sorted list, 16 paths at most.

#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

inline constexpr std::size_t kPictureHistorySize = 16;

// The stored paths as the dialog's list shows them: without empty entries and repeats, sorted with
// ASCII letter case ignored (paths that differ only in case in byte order).
std::vector<std::string> SortedPictureList(std::vector<std::string> stored);

// The value to store after `confirmed` (not empty) was accepted: it first, then the list's entries
// in their order, leaving out empty ones, repeats and `confirmed` itself (compared byte for byte),
// cut to kPictureHistorySize entries.
std::vector<std::string> UpdatedPictureHistory(std::string_view confirmed, std::span<const std::string> list);
