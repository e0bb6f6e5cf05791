#include "store/PuzzleFolder.h"
#include "tests/store/TemporaryPuzzleSet.h"

#include <gtest/gtest.h>

namespace {

TEST(PuzzleFolderName, PadsToThreeDigits)
{
    EXPECT_EQ(PuzzleFolderName(1), "Game001");
    EXPECT_EQ(PuzzleFolderName(42), "Game042");
    EXPECT_EQ(PuzzleFolderName(999), "Game999");
    EXPECT_EQ(PuzzleFolderName(1000), "Game1000");
}

TEST(PuzzleFolderPath, AppendsOneSeparatorAndTheName)
{
    EXPECT_EQ(PuzzleFolderPath("/quiz", 7).native(), "/quiz/Game007");
    // An empty puzzle path names folders below the root.
    EXPECT_EQ(PuzzleFolderPath("", 12).native(), "/Game012");
}

TEST(PuzzleNumberOfFolderName, AcceptsOnlyTheGamesOwnSpelling)
{
    const std::pair<const char*, std::optional<int>> cases[] = {
        {"Game001", 1},       {"game012", 12},        {"GAME999", 999},     {"Game1000", 1000},
        {"Game000", 0},       {"Game12", std::nullopt}, {"Game0012", std::nullopt},
        {"Game", std::nullopt}, {"Game01a", std::nullopt}, {"Gamf001", std::nullopt},
        {"Game-01", std::nullopt}, {"Game99999999999", std::nullopt},
    };
    for (const auto& [name, number] : cases)
        EXPECT_EQ(PuzzleNumberOfFolderName(name), number) << name;
}

struct CaseVariant {
    const char* name;
    const char* file;  // as written on disk
};

class FindPuzzleFileCase : public testing::TestWithParam<CaseVariant> {};

TEST_P(FindPuzzleFileCase, FindsTheFileWhateverItsCase)
{
    CTemporaryPuzzleSet set;
    set.WriteFile(GetParam().file, "Frage\nAntwort");
    const auto found = FindPuzzleFile(set.Root(), 1, kPuzzleTextFileName);
    ASSERT_TRUE(found.has_value());
    EXPECT_EQ(*found, set.Root() / GetParam().file);
}

const CaseVariant kCaseVariants[] = {
    {"Exact", "Game001/Game.txt"},
    {"LowerCase", "game001/game.txt"},
    {"UpperCase", "GAME001/GAME.TXT"},
    {"MixedFolderOnly", "gAmE001/Game.txt"},
    {"MixedFileOnly", "Game001/gAME.tXt"},
};

INSTANTIATE_TEST_SUITE_P(Cases, FindPuzzleFileCase, testing::ValuesIn(kCaseVariants),
                         [](const auto& row) { return std::string(row.param.name); });

TEST(FindPuzzleFile, PrefersTheExactName)
{
    CTemporaryPuzzleSet set;
    set.WriteFile("game001/GAME.TXT", "a");
    set.WriteFile("Game001/game.txt", "b");
    set.WriteFile("Game001/Game.txt", "c");
    EXPECT_EQ(FindPuzzleFile(set.Root(), 1, kPuzzleTextFileName), set.Root() / "Game001/Game.txt");
}

TEST(FindPuzzleFile, PuzzlePathWithTrailingSeparator)
{
    CTemporaryPuzzleSet set;
    set.WriteFile("game004/game.txt", "a");
    const auto found = FindPuzzleFile(set.Root().string() + "/", 4, kPuzzleTextFileName);
    ASSERT_TRUE(found.has_value());
    EXPECT_TRUE(std::filesystem::equivalent(*found, set.Root() / "game004/game.txt"));
}

TEST(FindPuzzleFile, MissingFolderOrFileGivesNothing)
{
    CTemporaryPuzzleSet set;
    set.WriteFile("Game001/Pic.png", "x");
    EXPECT_FALSE(FindPuzzleFile(set.Root(), 1, kPuzzleTextFileName));
    EXPECT_FALSE(FindPuzzleFile(set.Root(), 2, kPuzzleTextFileName));
    EXPECT_FALSE(FindPuzzleFile(set.Root() / "nowhere", 1, kPuzzleTextFileName));
    // Similar names are not taken for the real one.
    set.WriteFile("Game001/Game.txt.bak", "x");
    set.WriteFile("Game01/Game.txt", "x");
    EXPECT_FALSE(FindPuzzleFile(set.Root(), 1, kPuzzleTextFileName));
}

}  // namespace
