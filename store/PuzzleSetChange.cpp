#include "store/PuzzleSetChange.h"

#include "ui/PathFunctions.h"

#include <cstdio>
#include <system_error>

namespace {

// The outermost level of `folder` that does not exist yet, if any.
std::optional<std::filesystem::path> FirstMissingLevel(const std::filesystem::path& folder)
{
    std::optional<std::filesystem::path> missing;
    std::error_code error;
    for (std::filesystem::path level = folder; !level.empty(); level = level.parent_path()) {
        if (std::filesystem::exists(level, error) || error)
            break;
        missing = level;
        if (level == level.parent_path())
            break;
    }
    return missing;
}

}  // namespace

CPuzzleSetChange::CPuzzleSetChange(FolderMover move)
    : move_(std::move(move))
{
}

CPuzzleSetChange::~CPuzzleSetChange()
{
    if (!keep_)
        Undo();
}

FolderMover CPuzzleSetChange::RecordingMover()
{
    return [this](const std::filesystem::path& from, const std::filesystem::path& to) {
        if (!move_(from, to))
            return false;
        moves_.emplace_back(from, to);
        return true;
    };
}

void CPuzzleSetChange::CreateFolder(const std::filesystem::path& folder)
{
    createdLevel_ = FirstMissingLevel(folder);
    // A folder that cannot be made shows up as the failure to write into it.
    CreatePath(folder.native());
}

void CPuzzleSetChange::Undo()
{
    std::error_code ignored;
    // Only this write put anything below a level it made.
    if (createdLevel_)
        std::filesystem::remove_all(*createdLevel_, ignored);
    // The last move first: each one frees the name the one before needs back.
    for (auto move = moves_.rbegin(); move != moves_.rend(); ++move)
        std::rename(move->second.c_str(), move->first.c_str());
}
