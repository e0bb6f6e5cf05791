#pragma once
// Path helpers shared by the folder chooser and the rest of the program. Plain C++ over
// std::filesystem and POSIX; paths are native (UTF-8 or raw bytes, "/" as separator).
//
// A "drive root" here is the root of the file tree or the mount point of a mounted volume: the
// places a user reaches through the drive selector and above which "up" leaves the volume.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

inline constexpr char kPathSeparator = '/';

enum PathType : int {
    kPathMissing = 0,
    kPathFile = 1,
    kPathFolder = 2,
    kPathDriveRoot = 3,
};

enum CreateResult : int {
    kCreateFailed = 0,
    kCreateMade = 1,
    kCreateExisted = 2,
};

bool IsSeparator(char c);

// Two leading separators mark a network-style path ("//server/share"), which POSIX leaves to
// the system to interpret.
bool IsUncPath(std::string_view path);

// The folder chooser's normalisation: leading blanks skipped; unless plainUnc is set, a path with
// two leading separators is kept as typed, anything else is made absolute against the current
// folder and cleaned lexically ("." and ".." resolved, doubled separators merged); finally
// trailing blanks and separators are cut, but never the root itself. Empty input stays empty.
std::string NormalizePath(std::string_view text, bool plainUnc);

// The mount points listed in a /proc/self/mounts style text (second field, octal escapes such as
// "\040" decoded). Malformed lines are skipped.
std::vector<std::string> ParseMountPoints(std::string_view mountsText);

// Mount points of the running system (from /proc/self/mounts), always including "/".
std::vector<std::string> MountedRoots();

// kPathMissing for an empty or missing path, kPathFile for anything that is not a folder,
// kPathFolder for a folder, kPathDriveRoot for "/" and the mount points.
int GetPathType(std::string_view path);

// Creates every missing folder of the path (made absolute first) from the first missing level
// downwards. kCreateExisted when it already is a folder, kCreateMade when all missing levels were
// made (a level that someone else creates meanwhile counts as made), kCreateFailed when a file
// of that name exists or the first level that cannot be made. failedLevel, when given, receives
// the level that failed.
int CreatePath(std::string_view path, std::string* failedLevel = nullptr);

// Appends a separator unless the text already ends in one; returns the text.
std::string& AddSlash(std::string& path);

// Removes one trailing separator unless it is the root itself ("/" stays "/"); returns the new
// length.
std::size_t RemoveSlash(std::string& path);
