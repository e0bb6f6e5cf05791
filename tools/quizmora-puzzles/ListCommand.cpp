// quizmora-puzzles list DIR: one line per puzzle folder of a puzzle set, with what the game
// would make of it, and warnings for what the game would cut or fail to show.

#include "imaging/GraphicsFile.h"
#include "imaging/GraphicsImage.h"
#include "store/PuzzleFolder.h"
#include "store/PuzzleLoader.h"
#include "support/Cp1252.h"
#include "tools/quizmora-puzzles/Subcommand.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <set>
#include <string>
#include <system_error>

namespace {

constexpr int kShownRows = 4;

void Print(std::FILE* out, const std::string& utf8)
{
    std::fwrite(utf8.data(), 1, utf8.size(), out);
}

// Puzzle text is Windows-1252; the terminal gets UTF-8.
std::string Quoted(std::string_view cp1252)
{
    // Appended rather than "..." + string, which GCC 12 misreads as an overlapping copy (-Wrestrict).
    std::string quoted(1, '"');
    quoted += Cp1252ToUtf8(cp1252);
    quoted += '"';
    return quoted;
}

class CPuzzleLister {
public:
    explicit CPuzzleLister(std::filesystem::path puzzlePath) : puzzlePath_(std::move(puzzlePath)) {}

    // False when the puzzle's text or an existing picture does not load.
    bool List(int number)
    {
        number_ = number;
        std::string line = PuzzleFolderName(number) + "  ";
        const std::optional<CPuzzleSource> source = ReadPuzzleSource(puzzlePath_, number);
        if (!source) {
            line += "Game.txt fehlt oder ist leer\n";
            Print(stdout, line);
            return false;
        }
        line += Quoted(source->Lines.Question) + "  ->  " + DescribeCandidates(source->Lines) + "  ";
        bool pictureLoads = true;
        line += DescribePicture(pictureLoads) + "\n";
        Print(stdout, line);
        CheckText(*source);
        return pictureLoads;
    }

private:
    std::string DescribeCandidates(const CPuzzleLines& lines) const
    {
        if (lines.Candidates.empty())
            return "keine Antwort";
        std::string text;
        for (const std::string& candidate : lines.Candidates) {
            const CAnswerLine answer = SplitSwitchTimePrefix(candidate, 0);
            if (!text.empty())
                text += ", ";
            text += Quoted(answer.Text.substr(0, kPuzzleLineMaxBytes));
            text += answer.HasSwitchTime ? std::string(" ").append(std::to_string(answer.SwitchTime)).append(" ms")
                                         : std::string(" Standardzeit");
        }
        return text;
    }

    std::string DescribePicture(bool& loads) const
    {
        const std::optional<std::filesystem::path> file = FindPuzzleFile(puzzlePath_, number_, kPuzzlePictureFileName);
        if (!file)
            return "kein Bild";
        CGraphicsImage picture;
        if (LoadGraphicsFile(file->native(), picture) != kLoadOk) {
            Warn("Pic.png l\xE4sst sich nicht laden: " + std::string(LoadErrorText()));
            loads = false;
            return "Bild fehlerhaft";
        }
        return std::to_string(picture.Width()) + " x " + std::to_string(picture.Height());
    }

    void CheckText(const CPuzzleSource& source) const
    {
        if (source.Truncated)
            Warn("Game.txt ist l\xE4nger als " + std::to_string(kPuzzleTextMaxBytes) + " Bytes, der Rest wird nicht gelesen");
        if (source.Lines.Question.size() > kPuzzleLineMaxBytes)
            Warn("die Frage wird nach " + std::to_string(kPuzzleLineMaxBytes) + " Bytes abgeschnitten");
        for (std::size_t i = 0; i < source.Lines.Candidates.size(); ++i) {
            const std::string_view answer = SplitSwitchTimePrefix(source.Lines.Candidates[i], 0).Text;
            const std::string which = "Antwort " + std::to_string(i + 1);
            if (answer.size() > kPuzzleLineMaxBytes)
                Warn(which + " wird nach " + std::to_string(kPuzzleLineMaxBytes) + " Bytes abgeschnitten");
            const std::string_view shown = answer.substr(0, kPuzzleLineMaxBytes);
            const auto rows = std::count(shown.begin(), shown.end(), '|') + 1;
            if (rows > kShownRows)
                Warn(which + " hat " + std::to_string(rows) + " Zeilen, gezeigt werden nur " + std::to_string(kShownRows));
        }
    }

    // message is Windows-1252.
    void Warn(const std::string& message) const
    {
        Print(stderr, PuzzleFolderName(number_) + ": Warnung: " + Cp1252ToUtf8(message) + "\n");
    }

    std::filesystem::path puzzlePath_;
    int number_ = 0;
};

// The numbers of the puzzle folders in the set, whatever the case of their names.
std::set<int> PuzzleNumbers(const std::filesystem::path& puzzlePath, std::error_code& error)
{
    std::set<int> numbers;
    std::filesystem::directory_iterator it(puzzlePath, error);
    for (; !error && it != std::filesystem::directory_iterator(); it.increment(error)) {
        std::error_code ignored;
        if (!it->is_directory(ignored))
            continue;
        if (const std::optional<int> number = PuzzleNumberOfFolderName(it->path().filename().string()))
            numbers.insert(*number);
    }
    return numbers;
}

}  // namespace

int RunList(std::span<const std::string_view> args)
{
    if (args.size() != 1) {
        std::fprintf(stderr, "Aufruf: quizmora-puzzles list DIR\n");
        return kExitUsage;
    }
    const std::filesystem::path puzzlePath(args[0]);
    std::error_code error;
    const std::set<int> numbers = PuzzleNumbers(puzzlePath, error);
    if (error) {
        std::fprintf(stderr, "%s: %s\n", puzzlePath.c_str(), error.message().c_str());
        return kExitUsage;
    }
    CPuzzleLister lister(puzzlePath);
    bool allLoad = true;
    for (int number : numbers)
        allLoad = lister.List(number) && allLoad;
    return allLoad ? kExitOk : kExitProblems;
}
