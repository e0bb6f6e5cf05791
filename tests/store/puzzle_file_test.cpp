// Reading a puzzle from disk: folder and file names in any case, the text's encoding, the size
// limit, the loader, and the picture.

#include "imaging/GraphicsFile.h"
#include "imaging/GraphicsImage.h"
#include "store/PuzzleFile.h"
#include "store/PuzzleFolder.h"
#include "store/PuzzleLoader.h"
#include "store/PuzzlePicture.h"
#include "store/PuzzleText.h"
#include "tests/store/TemporaryPuzzleSet.h"

#include <gtest/gtest.h>

using namespace std::string_literals;

namespace {

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

// The exact name wins over other spellings; a trailing separator on the path is harmless; similar
// names are not taken for the real one.
TEST(FindPuzzleFile, PrefersTheExactNameAndTakesNothingSimilar)
{
    CTemporaryPuzzleSet set;
    set.WriteFile("game001/GAME.TXT", "a");
    set.WriteFile("Game001/game.txt", "b");
    set.WriteFile("Game001/Game.txt", "c");
    EXPECT_EQ(FindPuzzleFile(set.Root(), 1, kPuzzleTextFileName), set.Root() / "Game001/Game.txt");
    set.WriteFile("game004/game.txt", "a");
    const auto found = FindPuzzleFile(set.Root().string() + "/", 4, kPuzzleTextFileName);
    ASSERT_TRUE(found.has_value());
    EXPECT_TRUE(std::filesystem::equivalent(*found, set.Root() / "game004/game.txt"));

    set.WriteFile("Game002/Pic.png", "x");
    set.WriteFile("Game002/Game.txt.bak", "x");
    set.WriteFile("Game03/Game.txt", "x");
    EXPECT_FALSE(FindPuzzleFile(set.Root(), 2, kPuzzleTextFileName));
    EXPECT_FALSE(FindPuzzleFile(set.Root(), 3, kPuzzleTextFileName));
    EXPECT_FALSE(FindPuzzleFile(set.Root(), 5, kPuzzleTextFileName));
    EXPECT_FALSE(FindPuzzleFile(set.Root() / "nowhere", 1, kPuzzleTextFileName));
}

TEST(DecodePuzzleText, GivesWindows1252)
{
    const struct {
        const char* name;
        std::string bytes;
        bool truncated;
        std::string expected;
    } cases[] = {
        {"plain ASCII", "Frage\nHaus", false, "Frage\nHaus"},
        {"Windows-1252 as is", "Stra\xDF" "e\n\xC4rger", false, "Stra\xDF" "e\n\xC4rger"},
        {"UTF-8 converted", "Stra\xC3\x9F" "e\n\xC3\x84rger", false, "Stra\xDF" "e\n\xC4rger"},
        {"UTF-8 with BOM", "\xEF\xBB\xBF\xC3\x84pfel", false, "\xC4pfel"},
        {"ASCII with BOM", "\xEF\xBB\xBFHaus", false, "Haus"},
        {"nothing after a zero byte", "abc\0\xC3\xA4"s, false, "abc"},
        {"cut sequence at the limit dropped", "Stra\xC3\x9F\xC3", true, "Stra\xDF"},
        {"cut sequence without the limit", "Stra\xC3\x9F\xC3", false, "Stra\xC3\x9F\xC3"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DecodePuzzleText(c.bytes, c.truncated), c.expected) << c.name;
}

TEST(ReadPuzzleFile, MissingEmptyOrNonRegularFilesAreNoPuzzle)
{
    CTemporaryPuzzleSet set;
    set.WriteFile("empty.txt", "");
    std::filesystem::create_directories(set.Root() / "folder.txt");
    EXPECT_FALSE(ReadPuzzleFile(set.Root() / "missing.txt"));
    EXPECT_FALSE(ReadPuzzleFile(set.Root() / "empty.txt"));
    EXPECT_FALSE(ReadPuzzleFile(set.Root() / "folder.txt"));
}

TEST(ReadPuzzleFile, ReadsAtMost65534Bytes)
{
    CTemporaryPuzzleSet set;
    set.WriteFile("exact.txt", std::string(kPuzzleTextMaxBytes, 'x'));
    set.WriteFile("long.txt", std::string(kPuzzleTextMaxBytes, 'y') + "tail");
    // "ä" is two bytes; the limit falls between them.
    set.WriteFile("utf8.txt", "F\n\xC3\xBC" + std::string(kPuzzleTextMaxBytes - 5, 'a') + "\xC3\xA4" "end");
    const auto exact = ReadPuzzleFile(set.Root() / "exact.txt");
    const auto longer = ReadPuzzleFile(set.Root() / "long.txt");
    const auto utf8 = ReadPuzzleFile(set.Root() / "utf8.txt");
    ASSERT_TRUE(exact && longer && utf8);
    EXPECT_EQ(exact->Text.size(), kPuzzleTextMaxBytes);
    EXPECT_FALSE(exact->Truncated);
    EXPECT_EQ(longer->Text, std::string(kPuzzleTextMaxBytes, 'y'));
    EXPECT_TRUE(longer->Truncated);
    EXPECT_TRUE(utf8->Truncated);
    EXPECT_EQ(utf8->Text, "F\n\xFC" + std::string(kPuzzleTextMaxBytes - 5, 'a'));
}

// Number 1000 looks in Game1000 (in any case), not Game100; a missing folder is no puzzle and draws nothing.
TEST(ReadPuzzleText, NumberThousandLooksInGame1000)
{
    CTemporaryPuzzleSet set;
    set.WriteFile("game1000/game.txt", "Tausend\n\xC3\x84pfel");
    set.WriteFile("Game100/Game.txt", "Hundert\nH");
    CRandom random(77);
    EXPECT_FALSE(ReadPuzzleText(set.Root(), 1, 5000, random));
    EXPECT_EQ(random.State(), 77u);
    const auto text = ReadPuzzleText(set.Root(), 1000, 5000, random);
    ASSERT_TRUE(text);
    EXPECT_EQ(text->Question, "Tausend");
    EXPECT_EQ(text->Answer, "\xC4pfel") << "the loader decodes UTF-8";
}

// That a failed load keeps the picture in play is checked through the game engine.
TEST(LoadPuzzlePicture, FindsThePictureWhateverItsCase)
{
    CTemporaryPuzzleSet set;
    CGraphicsImage picture;
    set.WritePuzzle(2, "Frage\nA");
    EXPECT_EQ(LoadPuzzlePicture(set.Root(), 2, picture), kLoadCannotOpen);  // missing
    set.WriteFile("GAME003/pic.PNG", ReadAll(TestData("store/pic-2x5.png")));
    EXPECT_EQ(LoadPuzzlePicture(set.Root(), 3, picture), kLoadOk);
    EXPECT_EQ(picture.Width(), 2u);
    EXPECT_EQ(picture.Height(), 5u);
}

}  // namespace
