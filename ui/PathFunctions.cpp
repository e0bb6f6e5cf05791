#include "ui/PathFunctions.h"

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <system_error>

#include <sys/stat.h>
#include <sys/types.h>

namespace {

namespace fs = std::filesystem;

// /proc/self/mounts is a few kilobytes; the cap only guards against a runaway source.
constexpr std::size_t kMaxMountsBytes = 4u << 20;

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

bool HasNul(std::string_view path)
{
    return path.find('\0') != std::string_view::npos;
}

// Cuts trailing blanks and separators but never into the first keep characters.
void TrimTail(std::string& text, std::size_t keep)
{
    while (text.size() > keep && (IsBlank(text.back()) || IsSeparator(text.back())))
        text.pop_back();
}

// The length of the root that trimming must leave alone: "/" or, for a network path, "//".
std::size_t RootLength(std::string_view text, bool unc)
{
    if (unc)
        return 2;
    return !text.empty() && IsSeparator(text.front()) ? 1 : 0;
}

fs::path CurrentFolder()
{
    std::error_code error;
    fs::path folder = fs::current_path(error);
    return error ? fs::path("/") : folder;
}

bool StatPath(const std::string& path, struct stat& info)
{
    return ::stat(path.c_str(), &info) == 0;
}

bool IsListedMountPoint(const std::string& path)
{
    std::error_code error;
    const fs::path real = fs::canonical(path, error);
    if (error)
        return false;
    const std::vector<std::string> roots = MountedRoots();
    return std::find(roots.begin(), roots.end(), real.string()) != roots.end();
}

// A mount point sits on another device than its parent; the root is its own parent. Bind mounts
// of the same device only show in the mount table.
bool IsDriveRoot(const std::string& path, const struct stat& info)
{
    struct stat parent{};
    if (!StatPath(path + "/..", parent))
        return false;
    if (parent.st_dev != info.st_dev)
        return true;
    if (parent.st_ino == info.st_ino)
        return true;
    return IsListedMountPoint(path);
}

int OctalDigit(char c)
{
    return c >= '0' && c <= '7' ? c - '0' : -1;
}

// The kernel writes blanks, tabs, newlines and backslashes of a mount point as "\ooo".
std::string DecodeMountField(std::string_view field)
{
    std::string decoded;
    decoded.reserve(field.size());
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size()) {
            const int a = OctalDigit(field[i + 1]);
            const int b = OctalDigit(field[i + 2]);
            const int c = OctalDigit(field[i + 3]);
            if (a >= 0 && b >= 0 && c >= 0 && a <= 3) {
                decoded.push_back(static_cast<char>(a * 64 + b * 8 + c));
                i += 3;
                continue;
            }
        }
        decoded.push_back(field[i]);
    }
    return decoded;
}

}  // namespace

bool IsSeparator(char c)
{
#ifdef _WIN32
    return c == '/' || c == '\\';
#else
    return c == '/';
#endif
}

bool IsUncPath(std::string_view path)
{
    return path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1]);
}

std::string NormalizePath(std::string_view text, bool plainUnc)
{
    const std::size_t start = text.find_first_not_of(" \t");
    if (start == std::string_view::npos)
        return {};
    text.remove_prefix(start);

    const bool unc = !plainUnc && IsUncPath(text);
    std::string path(text);
    // Trimming first keeps a blank from hiding a "." or ".." from the lexical clean-up.
    TrimTail(path, RootLength(path, unc));
    if (unc)
        return path;
    if (path.empty())
        return {};

    fs::path full(path);
    if (full.is_relative())
        full = CurrentFolder() / full;
    std::string result = full.lexically_normal().string();
    TrimTail(result, RootLength(result, false));
    return result;
}

std::vector<std::string> ParseMountPoints(std::string_view mountsText)
{
    std::vector<std::string> roots;
    while (!mountsText.empty()) {
        const std::size_t end = mountsText.find('\n');
        std::string_view line = mountsText.substr(0, end);
        mountsText.remove_prefix(end == std::string_view::npos ? mountsText.size() : end + 1);

        const std::size_t deviceEnd = line.find_first_of(" \t");
        if (deviceEnd == std::string_view::npos)
            continue;
        const std::size_t pointStart = line.find_first_not_of(" \t", deviceEnd);
        if (pointStart == std::string_view::npos)
            continue;
        const std::size_t pointEnd = line.find_first_of(" \t", pointStart);
        std::string point = DecodeMountField(line.substr(pointStart, pointEnd - pointStart));
        if (point.empty() || !IsSeparator(point.front()))
            continue;
        if (std::find(roots.begin(), roots.end(), point) == roots.end())
            roots.push_back(std::move(point));
    }
    return roots;
}

std::vector<std::string> MountedRoots()
{
    std::string text;
    std::ifstream in("/proc/self/mounts", std::ios::binary);
    char chunk[4096];
    while (in && text.size() < kMaxMountsBytes) {
        in.read(chunk, sizeof chunk);
        text.append(chunk, static_cast<std::size_t>(in.gcount()));
    }
    std::vector<std::string> roots = ParseMountPoints(text);
    if (std::find(roots.begin(), roots.end(), "/") == roots.end())
        roots.insert(roots.begin(), "/");
    return roots;
}

int GetPathType(std::string_view path)
{
    if (path.empty() || HasNul(path))
        return kPathMissing;
    const std::string native(path);
    struct stat info{};
    if (!StatPath(native, info))
        return kPathMissing;
    if (!S_ISDIR(info.st_mode))
        return kPathFile;
    return IsDriveRoot(native, info) ? kPathDriveRoot : kPathFolder;
}

int CreatePath(std::string_view path, std::string* failedLevel)
{
    if (path.empty() || HasNul(path))
        return kCreateFailed;
    const std::string full = NormalizePath(path, true);
    switch (GetPathType(full)) {
    case kPathFolder:
    case kPathDriveRoot:
        return kCreateExisted;
    case kPathFile:
        if (failedLevel)
            *failedLevel = full;
        return kCreateFailed;
    default:
        break;
    }

    // Walk up to the first level that exists; everything below it is to be made.
    std::vector<std::string> missing;
    fs::path level(full);
    struct stat info{};
    while (!StatPath(level.string(), info)) {
        missing.push_back(level.string());
        const fs::path parent = level.parent_path();
        if (parent == level || parent.empty())
            break;
        level = parent;
    }

    for (auto it = missing.rbegin(); it != missing.rend(); ++it) {
        if (::mkdir(it->c_str(), 0777) == 0)
            continue;
        const int error = errno;
        if (error == EEXIST && StatPath(*it, info) && S_ISDIR(info.st_mode))
            continue;  // another process made it in the meantime
        if (failedLevel)
            *failedLevel = *it;
        return kCreateFailed;
    }
    return kCreateMade;
}

std::string& AddSlash(std::string& path)
{
    if (path.empty() || !IsSeparator(path.back()))
        path.push_back(kPathSeparator);
    return path;
}

std::size_t RemoveSlash(std::string& path)
{
    if (path.size() > 1 && IsSeparator(path.back()))
        path.pop_back();
    return path.size();
}
