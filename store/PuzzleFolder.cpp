#include "store/PuzzleFolder.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <system_error>

namespace {

char AsciiLower(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return AsciiLower(x) == AsciiLower(y); });
}

constexpr std::string_view kFolderPrefix = "Game";

}  // namespace

std::string PuzzleFolderName(int number)
{
    char name[32];
    std::snprintf(name, sizeof name, "Game%03i", number);
    return name;
}

std::filesystem::path PuzzleFolderPath(const std::filesystem::path& puzzlePath, int number)
{
    std::filesystem::path::string_type text = puzzlePath.native();
    text += std::filesystem::path::preferred_separator;
    return std::filesystem::path(text) += PuzzleFolderName(number);
}

std::optional<std::filesystem::path> FindEntryIgnoringCase(const std::filesystem::path& folder,
                                                           std::string_view name)
{
    std::error_code error;
    std::filesystem::path exact = folder / name;
    if (std::filesystem::exists(exact, error))
        return exact;

    std::optional<std::filesystem::path> best;
    std::filesystem::directory_iterator it(folder, error);
    for (; !error && it != std::filesystem::directory_iterator(); it.increment(error)) {
        const std::filesystem::path& candidate = it->path();
        const std::string entryName = candidate.filename().string();
        if (!EqualsIgnoringCase(entryName, name))
            continue;
        if (!best || entryName < best->filename().string())
            best = candidate;
    }
    return best;
}

std::optional<std::filesystem::path> FindPuzzleFile(const std::filesystem::path& puzzlePath, int number,
                                                    std::string_view fileName)
{
    const std::filesystem::path exactFolder = PuzzleFolderPath(puzzlePath, number);
    std::error_code error;
    std::optional<std::filesystem::path> folder;
    if (std::filesystem::is_directory(exactFolder, error))
        folder = exactFolder;
    else
        folder = FindEntryIgnoringCase(exactFolder.parent_path(), exactFolder.filename().string());
    if (!folder)
        return std::nullopt;
    return FindEntryIgnoringCase(*folder, fileName);
}

std::optional<int> PuzzleNumberOfFolderName(std::string_view name)
{
    if (name.size() <= kFolderPrefix.size() || !EqualsIgnoringCase(name.substr(0, kFolderPrefix.size()), kFolderPrefix))
        return std::nullopt;
    const std::string_view digits = name.substr(kFolderPrefix.size());
    if (!std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    int number = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), number);
    if (error != std::errc() || end != digits.data() + digits.size())
        return std::nullopt;
    if (PuzzleFolderName(number) != std::string(kFolderPrefix) + std::string(digits))
        return std::nullopt;  // not the way the game spells that number
    return number;
}
