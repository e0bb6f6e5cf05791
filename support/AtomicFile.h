#pragma once
// Replacing a file so that a reader sees either the old or the new content, never a half-written
// one: the new content goes to a temporary file in the same folder, is flushed to the disk, and
// only then renamed over the old file. A failure on the way leaves the old file untouched.

#include <filesystem>
#include <functional>
#include <string_view>

// Writes `bytes` as the new content of `target`.
bool WriteFileAtomically(const std::filesystem::path& target, std::string_view bytes);

// Lets `write` fill a fresh temporary file in target's folder, then puts it in target's place.
// The temporary name ends in `extension` (".png", up to 16 bytes), for writers that choose the
// format by the name. False, with the temporary file removed, when `write` fails or the file cannot be flushed
// or renamed.
bool ReplaceFileAtomically(const std::filesystem::path& target, std::string_view extension,
                           const std::function<bool(const std::filesystem::path& temporary)>& write);
