// quizmora-puzzles add DIR --question Q --answer A [--picture FILE] [--keep-size] [--number N]
//                        [--mode next|insert|overwrite]
// Writes a new puzzle exactly as the game's editor does: the same checks, the same choice of the
// number, the same files, the picture scaled down to the editor's largest size unless --keep-size
// keeps it as it is. Prints the folder written; on failure the editor's message on stderr.

#include "imaging/GraphicsImage.h"
#include "store/NewPuzzleEntries.h"
#ifdef QUIZMORA_WITH_SETTINGS
#include "store/PictureFitSettings.h"
#endif
#include "store/PuzzleFolder.h"
#include "store/PuzzleWriter.h"
#include "support/Cp1252.h"
#include "tools/quizmora-puzzles/Subcommand.h"

#include <cstdio>
#include <optional>
#include <string>

namespace {

void PrintLine(std::FILE* out, std::string_view text)
{
    std::fprintf(out, "%.*s\n", static_cast<int>(text.size()), text.data());
}

int UsageError(std::string_view text)
{
    PrintLine(stderr, text);
    PrintLine(stderr, "Aufruf: quizmora-puzzles add DIR --question FRAGE --answer ANTWORT [--picture BILD] "
                      "[--keep-size] [--number N] [--mode next|insert|overwrite]");
    return kExitUsage;
}

std::optional<int> ModeOfName(std::string_view name)
{
    if (name == "next")
        return NextFree;
    if (name == "insert")
        return Insert;
    if (name == "overwrite")
        return Overwrite;
    return std::nullopt;
}

struct CAddArguments {
    std::string PuzzlePath;
    std::optional<std::string> Question;
    std::optional<std::string> Answer;
    std::string Picture;
    std::optional<std::string> Number;
    int Mode = NextFree;
    bool KeepSize = false;
};

// The error text for the usage message, or nothing when the arguments are complete.
std::optional<std::string> ParseArguments(std::span<const std::string_view> args, CAddArguments& parsed)
{
    bool havePath = false;
    for (std::size_t index = 0; index < args.size(); ++index) {
        const std::string_view arg = args[index];
        if (!arg.starts_with("--")) {
            if (havePath)
                return "Nur ein Puzzle-Ordner: " + std::string(arg);
            parsed.PuzzlePath = arg;
            havePath = true;
            continue;
        }
        if (arg == "--keep-size") {
            parsed.KeepSize = true;
            continue;
        }
        if (index + 1 >= args.size())
            return "Wert fehlt: " + std::string(arg);
        const std::string value(args[++index]);
        if (arg == "--question") {
            parsed.Question = value;
        } else if (arg == "--answer") {
            parsed.Answer = value;
        } else if (arg == "--picture") {
            parsed.Picture = value;
        } else if (arg == "--number") {
            parsed.Number = value;
        } else if (arg == "--mode") {
            const std::optional<int> mode = ModeOfName(value);
            if (!mode)
                return "Unbekannter Modus: " + value;
            parsed.Mode = *mode;
        } else {
            return "Unbekannte Option: " + std::string(arg);
        }
    }
    if (!havePath)
        return std::string("Puzzle-Ordner fehlt");
    if (!parsed.Question || !parsed.Answer)
        return std::string("--question und --answer sind nötig");
    // Inserting and overwriting without a number would silently mean puzzle 1.
    if (!parsed.Number && parsed.Mode != NextFree)
        return std::string("--number ist bei insert und overwrite nötig");
    return std::nullopt;
}

}  // namespace

int RunAdd(std::span<const std::string_view> args)
{
    CAddArguments parsed;
    if (const std::optional<std::string> problem = ParseArguments(args, parsed))
        return UsageError(*problem);

    // The terminal speaks UTF-8; puzzle texts are Windows-1252.
    CNewPuzzleEntries entries{parsed.Picture, Utf8ToCp1252(*parsed.Question), Utf8ToCp1252(*parsed.Answer),
                              PuzzleNumberFromText(parsed.Number.value_or("1")), parsed.Mode};
#ifdef QUIZMORA_WITH_SETTINGS
    entries.Fit = LoadPictureFit();
#endif
    entries.Fit.Shrink = !parsed.KeepSize;
    if (const std::optional<std::string_view> problem = CheckNewPuzzleEntries(entries)) {
        PrintLine(stderr, *problem);
        return kExitProblems;
    }
    CGraphicsImage picture;
    const CPuzzleEditResult result = WriteNewPuzzle(parsed.PuzzlePath, entries, picture);
    if (!result) {
        PrintLine(stderr, result.Message());
        return kExitProblems;
    }
    PrintLine(stdout, PuzzleFolderPath(parsed.PuzzlePath, result.Number).native());
    return kExitOk;
}
