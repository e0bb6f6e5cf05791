#include "store/PictureHistory.h"

#include <algorithm>

namespace {

unsigned char AsciiLower(char c)
{
    const auto byte = static_cast<unsigned char>(c);
    return (byte >= 'A' && byte <= 'Z') ? static_cast<unsigned char>(byte - 'A' + 'a') : byte;
}

bool ListsBefore(const std::string& a, const std::string& b)
{
    const bool lessIgnoringCase = std::lexicographical_compare(
        a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) { return AsciiLower(x) < AsciiLower(y); });
    if (lessIgnoringCase)
        return true;
    const bool greaterIgnoringCase = std::lexicographical_compare(
        b.begin(), b.end(), a.begin(), a.end(), [](char x, char y) { return AsciiLower(x) < AsciiLower(y); });
    return !greaterIgnoringCase && a < b;
}

}  // namespace

std::vector<std::string> SortedPictureList(std::vector<std::string> stored)
{
    std::erase_if(stored, [](const std::string& path) { return path.empty(); });
    std::sort(stored.begin(), stored.end(), ListsBefore);
    stored.erase(std::unique(stored.begin(), stored.end()), stored.end());
    return stored;
}

std::vector<std::string> UpdatedPictureHistory(std::string_view confirmed, std::span<const std::string> list)
{
    std::vector<std::string> history;
    if (confirmed.empty())
        return history;
    history.emplace_back(confirmed);
    for (const std::string& path : list) {
        if (history.size() >= kPictureHistorySize)
            break;
        if (path.empty() || std::find(history.begin(), history.end(), path) != history.end())
            continue;
        history.push_back(path);
    }
    return history;
}
