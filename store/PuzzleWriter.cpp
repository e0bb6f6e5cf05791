#include "store/PuzzleWriter.h"

#include "imaging/GraphicsFile.h"
#include "imaging/GraphicsImage.h"
#include "support/AtomicFile.h"
#include "store/PictureImport.h"
#include "store/PuzzleFolder.h"
#include "store/PuzzleSetChange.h"
#include "store/PuzzleText.h"

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

// True when `source` already is the file at `target`: it is then loaded but not written again.
bool IsSameFile(const std::string& source, const std::filesystem::path& target)
{
    std::error_code error;
    return std::filesystem::equivalent(source, target, error) && !error;
}

}  // namespace

std::string NewPuzzleText(std::string_view question, std::string_view answer)
{
    return FileLine(question) + '\n' + FileLine(answer) + '\n';
}

CPuzzleEditResult WriteNewPuzzle(const std::filesystem::path& puzzlePath, const CNewPuzzleEntries& entries,
                                 CGraphicsImage& picture, const FolderMover& move)
{
    // The picture is read before anything in the set changes: one that does not load changes nothing.
    CGraphicsImage imported;
    bool scaled = false;
    if (!entries.PicturePath.empty()) {
        CPictureSize own;
        if (LoadImportPicture(entries.PicturePath, entries.Fit, imported, &own) != kLoadOk)
            return {EPuzzleEditError::PictureLoad, entries.Number};
        scaled = own != CPictureSize{imported.Width(), imported.Height()};
    }

    CPuzzleSetChange change(move);
    const CPuzzleEditResult slot = ChoosePuzzleSlot(puzzlePath, entries.Number, entries.Mode, change.RecordingMover());
    if (!slot)
        return slot;
    const int number = slot.Number;
    const std::filesystem::path folder = ExistingPuzzleFolder(puzzlePath, number);
    change.CreateFolder(folder);

    if (!entries.PicturePath.empty()) {
        const std::filesystem::path target = FileInFolder(folder, kPuzzlePictureFileName);
        if ((scaled || !IsSameFile(entries.PicturePath, target)) && !StoreImportPicture(imported, target))
            return {EPuzzleEditError::PictureSave, number};
    }
    if (!WriteFileAtomically(FileInFolder(folder, kPuzzleTextFileName), NewPuzzleText(entries.Question, entries.Answer)))
        return {EPuzzleEditError::TextSave, number};
    change.Keep();
    if (!entries.PicturePath.empty())
        picture.Swap(imported);
    return {EPuzzleEditError::None, number};
}
