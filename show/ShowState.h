#pragma once
// What a running show keeps on disk so that a crash does not cost the score: the puzzle path, the
// game number, both players' stars and the star size, and whether the show ended cleanly. The
// text form is one "name value" pair a line after a header line; the path is UTF-8 with "%", CR
// and LF written as "%25", "%0D" and "%0A", so that any path fits on its line.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

struct SShowState {
    std::string puzzlePath;  // UTF-8
    std::int32_t gameNumber = 0;
    std::array<std::uint8_t, 2> stars{};
    std::int32_t starSize = 0;
    bool ended = false;

    // The same show, whether or not it has ended.
    bool SameScore(const SShowState& other) const
    {
        return puzzlePath == other.puzzlePath && gameNumber == other.gameNumber && stars == other.stars &&
               starSize == other.starSize;
    }
};

// No state file of ours is larger; a longer file is damaged.
inline constexpr std::size_t kShowStateMaxBytes = 16384;
inline constexpr std::int32_t kShowGameNumberMax = 999;

std::string FormatShowState(const SShowState& state);

// Empty for anything that is not a complete state as FormatShowState writes it: a wrong header, a
// missing, repeated or out-of-range value, a broken escape, or more than kShowStateMaxBytes.
// Lines of unknown names are skipped, so that a later version's additions do not lose the show.
std::optional<SShowState> ParseShowState(std::string_view text);
