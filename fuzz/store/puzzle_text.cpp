// Any bytes as a puzzle's "Game.txt": decoded as the loader decodes a file, split into lines,
// drawn from and taken apart at the switch-time prefix.

#include "store/PuzzleFile.h"
#include "store/PuzzleText.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view file(reinterpret_cast<const char*>(data), size);
    const bool truncated = file.size() > kPuzzleTextMaxBytes;
    const std::string text = DecodePuzzleText(file.substr(0, kPuzzleTextMaxBytes), truncated);
    if (text.size() > kPuzzleTextMaxBytes)
        std::abort();

    const CPuzzleLines lines = ParsePuzzleLines(text);
    for (const std::string& candidate : lines.Candidates) {
        const CAnswerLine answer = SplitSwitchTimePrefix(candidate, 5000);
        if (answer.SwitchTime < kSwitchTimeOverrideMin || answer.SwitchTime > kSwitchTimeOverrideMax)
            std::abort();
        if (answer.Text.size() > candidate.size())
            std::abort();
    }

    CRandom random(static_cast<std::uint32_t>(size));
    const CPuzzleText drawn = DrawPuzzleText(lines, 5000, random);
    if (drawn.Question.size() > kPuzzleLineMaxBytes || drawn.Answer.size() > kPuzzleLineMaxBytes)
        std::abort();
    if (drawn.Question.find('\0') != std::string::npos || drawn.Answer.find('\0') != std::string::npos)
        std::abort();
    return 0;
}
