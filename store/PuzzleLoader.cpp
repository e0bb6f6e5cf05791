#include "store/PuzzleLoader.h"

#include "store/PuzzleFolder.h"

std::optional<CPuzzleSource> ReadPuzzleSource(const std::filesystem::path& puzzlePath, int number)
{
    std::optional<std::filesystem::path> textFile = FindPuzzleFile(puzzlePath, number, kPuzzleTextFileName);
    if (!textFile)
        return std::nullopt;
    std::optional<CPuzzleFileText> file = ReadPuzzleFile(*textFile);
    if (!file)
        return std::nullopt;
    return CPuzzleSource{std::move(*textFile), file->Truncated, ParsePuzzleLines(file->Text)};
}

std::optional<CPuzzleText> ReadPuzzleText(const std::filesystem::path& puzzlePath, int number,
                                          std::uint32_t defaultSwitchTime, CRandom& random)
{
    const std::optional<CPuzzleSource> source = ReadPuzzleSource(puzzlePath, number);
    if (!source)
        return std::nullopt;
    return DrawPuzzleText(source->Lines, defaultSwitchTime, random);
}
