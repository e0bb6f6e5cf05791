#pragma once
// Reading a puzzle text file from disk into the single-byte text the game works with.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

struct CPuzzleFileText {
    std::string Text;        // Windows-1252, at most kPuzzleTextMaxBytes
    bool Truncated = false;  // the file held more than kPuzzleTextMaxBytes bytes
};

// The text of a file as the game reads it: a puzzle set saved as UTF-8 (with or without a
// byte-order mark) is converted to Windows-1252, characters it lacks becoming "?"; any other
// text is taken byte for byte. `truncated` says that the bytes are the first
// kPuzzleTextMaxBytes of a longer file, so a character cut in two at the end is dropped.
std::string DecodePuzzleText(std::string_view bytes, bool truncated);

// Reads at most kPuzzleTextMaxBytes of a regular file. Nothing when the file cannot be opened,
// is not a regular file, or holds no bytes at all.
std::optional<CPuzzleFileText> ReadPuzzleFile(const std::filesystem::path& file);
