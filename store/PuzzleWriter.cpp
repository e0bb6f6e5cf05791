#include "store/PuzzleWriter.h"

#include "imaging/GraphicsFile.h"
#include "imaging/GraphicsImage.h"
#include "support/AtomicFile.h"
#include "store/PuzzleFolder.h"
#include "store/PuzzleText.h"
#include "ui/PathFunctions.h"

#include <algorithm>
#include <system_error>

namespace {

std::string FileLine(std::string_view text)
{
    std::string line(text.substr(0, kPuzzleLineMaxBytes));
    std::replace_if(line.begin(), line.end(), [](char c) { return c == '\n' || c == '\r' || c == '\0'; }, ' ');
    return line;
}

// The file of that name in the folder, keeping the letter case it already has on disk.
std::filesystem::path FileInFolder(const std::filesystem::path& folder, std::string_view name)
{
    return FindEntryIgnoringCase(folder, name).value_or(folder / name);
}

bool IsSameFile(const std::string& picturePath, const std::filesystem::path& formed,
                const std::filesystem::path& target)
{
    if (picturePath == formed.native() || picturePath == target.native())
        return true;
    std::error_code error;
    return std::filesystem::equivalent(picturePath, target, error) && !error;
}

EPuzzleEditError ImportPicture(const std::string& picturePath, const std::filesystem::path& puzzlePath, int number,
                               const std::filesystem::path& folder, CGraphicsImage& picture)
{
    CGraphicsImage loaded;
    if (LoadGraphicsFile(picturePath, loaded) != kLoadOk || !picture.Swap(loaded))
        return EPuzzleEditError::PictureLoad;

    const std::filesystem::path formed = PuzzleFolderPath(puzzlePath, number) / kPuzzlePictureFileName;
    const std::filesystem::path target = FileInFolder(folder, kPuzzlePictureFileName);
    if (IsSameFile(picturePath, formed, target))
        return EPuzzleEditError::None;
    // The save replaces the old picture only once the new one is whole.
    return SaveGraphicsFile(target.native(), picture) == kSaveOk ? EPuzzleEditError::None
                                                                 : EPuzzleEditError::PictureSave;
}

}  // namespace

std::string NewPuzzleText(std::string_view question, std::string_view answer)
{
    return FileLine(question) + '\n' + FileLine(answer) + '\n';
}

CPuzzleEditResult WriteNewPuzzle(const std::filesystem::path& puzzlePath, const CNewPuzzleEntries& entries,
                                 CGraphicsImage& picture, const FolderMover& move)
{
    const CPuzzleEditResult slot = ChoosePuzzleSlot(puzzlePath, entries.Number, entries.Mode, move);
    if (!slot)
        return slot;
    const int number = slot.Number;

    const std::filesystem::path folder = ExistingPuzzleFolder(puzzlePath, number);
    // A folder that cannot be made shows up as the failure to write into it.
    CreatePath(folder.native());

    if (!entries.PicturePath.empty()) {
        const EPuzzleEditError error = ImportPicture(entries.PicturePath, puzzlePath, number, folder, picture);
        if (error != EPuzzleEditError::None)
            return {error, number};
    }
    if (!WriteFileAtomically(FileInFolder(folder, kPuzzleTextFileName), NewPuzzleText(entries.Question, entries.Answer)))
        return {EPuzzleEditError::TextSave, number};
    return {EPuzzleEditError::None, number};
}
