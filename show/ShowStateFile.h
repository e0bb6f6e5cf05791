#pragma once
// Where the show's state lives and how it is read and written: a file in the program's folder
// below the XDG state folder ($XDG_STATE_HOME, or ~/.local/state when that is unset or not an
// absolute path), replaced atomically at every change.

#include "show/ShowState.h"

#include <filesystem>
#include <optional>
#include <string>

// The state file for the given environment values (either may be null).
std::filesystem::path ShowStateFilePath(const char* xdgStateHome, const char* home);
// The state file of this process's environment.
std::filesystem::path ShowStateFilePath();

struct SShowStateRead {
    std::optional<SShowState> state;  // empty when there is no file or it is unusable
    std::string problem;              // why an existing file was not usable; empty otherwise
};

// Reads at most kShowStateMaxBytes + 1 bytes; a missing file is no problem, an empty, unreadable
// or damaged one is.
SShowStateRead ReadShowStateFile(const std::filesystem::path& file);

// Creates the folder when needed; a failed write leaves the old file as it was.
bool WriteShowStateFile(const std::filesystem::path& file, const SShowState& state);
