// The editor's parsers of outside input: the typed puzzle number, the stored picture history (a
// settings value anyone can edit) and the text fields that become "Game.txt". The input is split
// at zero bytes into the pieces.

#include "store/NewPuzzleEntries.h"
#include "store/PictureHistory.h"
#include "store/PuzzleText.h"
#include "store/PuzzleWriter.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    std::vector<std::string> pieces;
    std::size_t start = 0;
    while (start <= input.size() && pieces.size() < 64) {
        const std::size_t end = std::min(input.find('\0', start), input.size());
        pieces.emplace_back(input.substr(start, end - start));
        start = end + 1;
    }

    const int number = PuzzleNumberFromText(pieces.front());
    if (number < 1 || number > kLastPuzzleNumber + 1)
        std::abort();

    const std::vector<std::string> list = SortedPictureList(pieces);
    const std::vector<std::string> history = UpdatedPictureHistory(pieces.front(), list);
    if (history.size() > kPictureHistorySize || (!pieces.front().empty() && history.front() != pieces.front()))
        std::abort();
    if (std::any_of(history.begin(), history.end(), [](const std::string& path) { return path.empty(); }))
        std::abort();

    const std::string text = NewPuzzleText(pieces.front(), pieces.size() > 1 ? pieces[1] : std::string());
    if (std::count(text.begin(), text.end(), '\n') != 2 || text.find('\r') != std::string::npos)
        std::abort();
    const CPuzzleLines lines = ParsePuzzleLines(text);
    if (lines.Candidates.size() != 1 || lines.Question.size() > kPuzzleLineMaxBytes)
        std::abort();
    return 0;
}
