#include "store/DroppedPath.h"

#include "imaging/DetectGraphicsType.h"
#include "store/PuzzleFolder.h"

#include <array>
#include <fstream>

namespace {

bool IsPicture(const std::filesystem::path& file)
{
    std::array<std::uint8_t, kDetectHeaderSize> header{};
    std::ifstream stream(file, std::ios::binary);
    stream.read(reinterpret_cast<char*>(header.data()), static_cast<std::streamsize>(header.size()));
    return stream.gcount() > 0 && DetectGraphicsType(header) != GraphicsFileType::None;
}

bool IsPuzzleFolder(const std::filesystem::path& folder)
{
    return PuzzleNumberOfFolderName(folder.filename().string()).has_value() &&
           FindEntryIgnoringCase(folder, kPuzzleTextFileName).has_value();
}

bool HoldsPuzzleFolder(const std::filesystem::path& folder)
{
    std::error_code error;
    for (std::filesystem::directory_iterator entry(folder, error), end; !error && entry != end; entry.increment(error)) {
        if (entry->is_directory(error) && IsPuzzleFolder(entry->path()))
            return true;
    }
    return false;
}

}  // namespace

SDroppedPath ClassifyDroppedPath(const std::filesystem::path& dropped)
{
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::status(dropped, error);
    if (std::filesystem::is_regular_file(status))
        return IsPicture(dropped) ? SDroppedPath{SDroppedPath::Picture, dropped} : SDroppedPath{};
    if (!std::filesystem::is_directory(status))
        return {};
    // A folder name from a URL may end in a separator: its own name is then the parent's.
    const std::filesystem::path folder = dropped.has_filename() ? dropped : dropped.parent_path();
    if (IsPuzzleFolder(folder))
        return {SDroppedPath::PuzzleSet, folder.parent_path()};
    if (HoldsPuzzleFolder(folder))
        return {SDroppedPath::PuzzleSet, folder};
    return {};
}
