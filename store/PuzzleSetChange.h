#pragma once
// What writing one puzzle changed in the set's folders, undone unless the write went through: a
// failure after puzzles were moved up or a folder was made leaves the set as it was.

#include "store/PuzzleSlot.h"

#include <filesystem>
#include <optional>
#include <utility>
#include <vector>

class CPuzzleSetChange {
public:
    explicit CPuzzleSetChange(FolderMover move);
    // Undoes the change unless Keep() was called.
    ~CPuzzleSetChange();
    CPuzzleSetChange(const CPuzzleSetChange&) = delete;
    CPuzzleSetChange& operator=(const CPuzzleSetChange&) = delete;

    // Moves like the mover given, remembering each move that happened.
    FolderMover RecordingMover();
    // Creates the folder with its missing parents, remembering the first level it made.
    void CreateFolder(const std::filesystem::path& folder);
    void Keep() { keep_ = true; }

private:
    void Undo();

    FolderMover move_;
    std::vector<std::pair<std::filesystem::path, std::filesystem::path>> moves_;
    std::optional<std::filesystem::path> createdLevel_;
    bool keep_ = false;
};
