#include "store/PuzzleSlot.h"

#include "store/NewPuzzleEntries.h"
#include "store/PuzzleFolder.h"

#include <cerrno>
#include <fcntl.h>
#include <cstdio>
#include <system_error>

namespace {

CPuzzleEditResult Failure(EPuzzleEditError error, int number)
{
    return {error, number};
}

std::optional<int> FirstFreeNumber(const std::filesystem::path& puzzlePath, int from)
{
    for (int number = from; number <= kLastPuzzleNumber; ++number)
        if (IsPuzzleNumberFree(puzzlePath, number))
            return number;
    return std::nullopt;
}

}  // namespace

bool MoveFolderNoReplace(const std::filesystem::path& from, const std::filesystem::path& to)
{
    if (FindEntryIgnoringCase(to.parent_path(), to.filename().string()))
        return false;
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
        return true;
    // Some file systems cannot refuse a replacement themselves; the check above has to do.
    if (errno != EINVAL && errno != ENOSYS)
        return false;
    return std::rename(from.c_str(), to.c_str()) == 0;
}

bool IsPuzzleNumberFree(const std::filesystem::path& puzzlePath, int number)
{
    const std::optional<std::filesystem::path> text = FindPuzzleFile(puzzlePath, number, kPuzzleTextFileName);
    std::error_code error;
    return !text || !std::filesystem::is_regular_file(*text, error);
}

std::filesystem::path ExistingPuzzleFolder(const std::filesystem::path& puzzlePath, int number)
{
    const std::filesystem::path folder = PuzzleFolderPath(puzzlePath, number);
    std::error_code error;
    if (std::filesystem::is_directory(folder, error))
        return folder;
    const std::optional<std::filesystem::path> variant =
        FindEntryIgnoringCase(folder.parent_path(), folder.filename().string());
    if (variant && std::filesystem::is_directory(*variant, error))
        return *variant;
    return folder;
}

CPuzzleEditResult ChoosePuzzleSlot(const std::filesystem::path& puzzlePath, int number, int mode,
                                   const FolderMover& move)
{
    if (mode == NextFree) {
        if (number < 1)
            number = 1;
        else if (number > kLastPuzzleNumber)
            return Failure(EPuzzleEditError::BadNumber, number);
        const std::optional<int> free = FirstFreeNumber(puzzlePath, number);
        if (!free)
            return Failure(EPuzzleEditError::BadNumber, number);
        number = *free;
    } else if (mode == Insert) {
        if (number < 1)
            number = 1;
        if (!IsPuzzleNumberFree(puzzlePath, number)) {
            if (number > kLastPuzzleNumber)
                return Failure(EPuzzleEditError::NoFreeSlot, number);
            const std::optional<int> free = FirstFreeNumber(puzzlePath, number + 1);
            if (!free)
                return Failure(EPuzzleEditError::NoFreeSlot, number);
            for (int target = *free; target > number; --target) {
                if (!move(ExistingPuzzleFolder(puzzlePath, target - 1), PuzzleFolderPath(puzzlePath, target)))
                    return Failure(EPuzzleEditError::InsertFailed, number);
            }
        }
    }
    if (number < 1 || number > kLastPuzzleNumber)
        return Failure(EPuzzleEditError::BadNumber, number);
    return {EPuzzleEditError::None, number};
}
