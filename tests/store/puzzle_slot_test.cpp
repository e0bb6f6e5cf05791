// Choosing the number of a new puzzle: the three modes, the renumbering of an insertion and the
// limits at both ends of the number range.

#include "store/NewPuzzleEntries.h"
#include "store/PuzzleFolder.h"
#include "store/PuzzleSlot.h"
#include "tests/store/TemporaryPuzzleSet.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace {

std::string TextOf(int number)
{
    return "Frage " + std::to_string(number) + "\nAntwort";
}

// Records every rename and performs it.
struct CRecordingMover {
    std::vector<std::pair<std::string, std::string>> moves;
    FolderMover Mover()
    {
        return [this](const std::filesystem::path& from, const std::filesystem::path& to) {
            moves.emplace_back(from.filename().string(), to.filename().string());
            return MoveFolderNoReplace(from, to);
        };
    }
};

class PuzzleSlot : public testing::Test {
protected:
    void WritePuzzles(int first, int last)
    {
        for (int number = first; number <= last; ++number)
            set.WritePuzzle(number, TextOf(number));
    }
    std::string Text(int number) const { return ReadAll(PuzzleFolderPath(set.Root(), number) / "Game.txt"); }

    CTemporaryPuzzleSet set;
    CRecordingMover recorder;
};

TEST_F(PuzzleSlot, ModesAtEveryBoundary)
{
    const struct {
        const char* name;
        int number;
        int mode;
        EPuzzleEditError error;
        int result;
    } cases[] = {
        {"next free from 0 starts at 1", 0, NextFree, EPuzzleEditError::None, 3},
        {"next free from a negative number", -7, NextFree, EPuzzleEditError::None, 3},
        {"next free from a free number", 5, NextFree, EPuzzleEditError::None, 5},
        {"next free from 998 with 998 and 999 taken", 998, NextFree, EPuzzleEditError::BadNumber, 998},
        {"next free from 1000", 1000, NextFree, EPuzzleEditError::BadNumber, 1000},
        {"insert at 0 is insert at 1", 0, Insert, EPuzzleEditError::None, 1},
        {"insert at a free 1000", 1000, Insert, EPuzzleEditError::BadNumber, 1000},
        {"insert at 998 with 998 and 999 taken", 998, Insert, EPuzzleEditError::NoFreeSlot, 998},
        {"insert at a free number", 5, Insert, EPuzzleEditError::None, 5},
        {"overwrite 0", 0, Overwrite, EPuzzleEditError::BadNumber, 0},
        {"overwrite 1000", 1000, Overwrite, EPuzzleEditError::BadNumber, 1000},
        {"overwrite an existing puzzle", 2, Overwrite, EPuzzleEditError::None, 2},
        {"an unknown mode overwrites", 999, 7, EPuzzleEditError::None, 999},
    };
    for (const auto& c : cases) {
        CTemporaryPuzzleSet fresh;
        for (int number : {1, 2, 998, 999})
            fresh.WritePuzzle(number, TextOf(number));
        const CPuzzleEditResult result = ChoosePuzzleSlot(fresh.Root(), c.number, c.mode, recorder.Mover());
        EXPECT_EQ(result.Error, c.error) << c.name;
        EXPECT_EQ(result.Number, c.result) << c.name;
        if (c.error == EPuzzleEditError::NoFreeSlot) {
            EXPECT_EQ(result.Message(), "Es wurde kein freier Platz gefunden !");
        }
    }
    // Inserting at 0 moved 2 and 1 up; nothing else renamed anything.
    const std::vector<std::pair<std::string, std::string>> expected{{"Game002", "Game003"}, {"Game001", "Game002"}};
    EXPECT_EQ(recorder.moves, expected);
}

TEST_F(PuzzleSlot, InsertMovesTheFollowingPuzzlesUpHighestFirst)
{
    WritePuzzles(1, 5);
    const CPuzzleEditResult result = ChoosePuzzleSlot(set.Root(), 3, Insert, recorder.Mover());
    ASSERT_TRUE(result) << result.Message();
    EXPECT_EQ(result.Number, 3);
    const std::vector<std::pair<std::string, std::string>> expected{
        {"Game005", "Game006"}, {"Game004", "Game005"}, {"Game003", "Game004"}};
    EXPECT_EQ(recorder.moves, expected);
    EXPECT_FALSE(std::filesystem::exists(PuzzleFolderPath(set.Root(), 3)));
    const int oldNumberAt[] = {0, 1, 2, -1, 3, 4, 5};
    for (int number : {1, 2, 4, 5, 6})
        EXPECT_EQ(Text(number), TextOf(oldNumberAt[number])) << number;
}

TEST_F(PuzzleSlot, InsertStopsAtAFolderInTheWay)
{
    // A folder without "Game.txt" is in the way, even an empty one that rename(2) would replace.
    for (const bool empty : {false, true}) {
        CTemporaryPuzzleSet fresh;
        CRecordingMover mover;
        for (int number = 1; number <= 3; ++number)
            fresh.WritePuzzle(number, TextOf(number));
        std::filesystem::create_directories(PuzzleFolderPath(fresh.Root(), 4) / (empty ? "" : "Notizen"));
        const CPuzzleEditResult result = ChoosePuzzleSlot(fresh.Root(), 2, Insert, mover.Mover());
        EXPECT_EQ(result.Error, EPuzzleEditError::InsertFailed);
        EXPECT_EQ(result.Message(), "Es gab einen Fehler beim Einfügen !");
        EXPECT_EQ(mover.moves.size(), 1u);  // the first rename was refused and ended the insertion
        for (int number : {1, 2, 3})
            EXPECT_EQ(ReadAll(PuzzleFolderPath(fresh.Root(), number) / "Game.txt"), TextOf(number)) << empty;
        EXPECT_EQ(std::filesystem::exists(PuzzleFolderPath(fresh.Root(), 4) / "Notizen"), !empty);
    }
}

TEST_F(PuzzleSlot, FoldersInAnyLetterCaseCount)
{
    set.WriteFile("game001/GAME.TXT", TextOf(1));
    set.WriteFile("GAME003/game.txt", "");  // empty, but an existing file: taken
    std::filesystem::create_directories(set.Root() / "Game002/Game.txt");  // a folder, not a text file
    EXPECT_FALSE(IsPuzzleNumberFree(set.Root(), 1));
    EXPECT_TRUE(IsPuzzleNumberFree(set.Root(), 2));
    EXPECT_FALSE(IsPuzzleNumberFree(set.Root(), 3));
    EXPECT_EQ(ChoosePuzzleSlot(set.Root(), 1, NextFree).Number, 2);

    // Inserting at 1 moves "game001" to the game's own spelling of 2.
    std::filesystem::remove_all(set.Root() / "Game002");
    const CPuzzleEditResult result = ChoosePuzzleSlot(set.Root(), 1, Insert, recorder.Mover());
    ASSERT_TRUE(result);
    const std::vector<std::pair<std::string, std::string>> expected{{"game001", "Game002"}};
    EXPECT_EQ(recorder.moves, expected);
    EXPECT_FALSE(MoveFolderNoReplace(set.Root() / "Game002", set.Root() / "game003"));
}

}  // namespace
