// quizmora-puzzles run as a program: "list" over puzzle sets and "add" with the editor's store code.

#include "imaging/GraphicsFile.h"
#include "imaging/GraphicsImage.h"
#include "tests/store/OrientedPhoto.h"
#include "tests/store/TemporaryPuzzleSet.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sys/wait.h>

namespace {

struct CRun {
    int exitCode;
    std::string out;
    std::string err;
};

class PuzzlesTool : public testing::Test {
protected:
    PuzzlesTool()
    {
        set.WriteFile("Set/Game001/Game.txt", "Was ist das?\r\n@3000 Eisberg\r\nHaus\r\n");
        set.WriteFile("Set/Game001/Pic.png", ReadAll(TestData("store/pic-4x3.png")));
        set.WriteFile("Set/game010/GAME.TXT", "Stra\xDF" "e?\nGr\xFC" "n");
        std::filesystem::create_directories(set.Root() / "Set/Notes");
        set.WriteFile("Set/Game12/Game.txt", "not a puzzle folder name\nx");
    }
    CRun Run(const std::string& args) const
    {
        const char* toolsDir = std::getenv("QUIZMORA_TOOLS_DIR");
        const std::string tool = std::string(toolsDir ? toolsDir : QUIZMORA_BINARY_DIR "/bin") + "/quizmora-puzzles";
        const auto out = set.Root() / "out.txt";
        const auto err = set.Root() / "err.txt";
        // The editor's settings from a folder of the test's own: the default largest size.
        const std::string command = "XDG_CONFIG_HOME='" + set.Root().string() + "' '" + tool + "' " + args + " >'" + out.string() + "' 2>'" + err.string() + "'";
        const int status = std::system(command.c_str());
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadAll(out), ReadAll(err)};
    }
    std::string SetArg() const { return " '" + SetPath().string() + "' "; }
    CRun List() const { return Run("list" + SetArg()); }
    CRun Add(const std::string& args) const { return Run("add" + SetArg() + args); }
    std::filesystem::path SetPath() const { return set.Root() / "Set"; }
    std::string Text(const char* folder) const { return ReadAll(SetPath() / folder / "Game.txt"); }

    CTemporaryPuzzleSet set;
};

TEST_F(PuzzlesTool, ListsEveryPuzzleInNumberOrder)
{
    const CRun run = List();
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out,
              "Game001  \"Was ist das?\"  ->  \"Eisberg\" 3000 ms, \"Haus\" Standardzeit  4 x 3\n"
              "Game010  \"Stra\xC3\x9F" "e?\"  ->  \"Gr\xC3\xBCn\" Standardzeit  kein Bild\n");
    EXPECT_EQ(run.err, "");
}

TEST_F(PuzzlesTool, ListWarnsAboutCutsAndHiddenRows)
{
    set.WriteFile("Set/Game002/Game.txt", std::string(300, 'Q') + "\nA|B|C|D|E\n@2000 " + std::string(256, 'x'));
    const CRun run = List();
    EXPECT_EQ(run.exitCode, 0) << run.err;
    for (const char* warning : {"Game002: Warnung: die Frage wird nach 255 Bytes abgeschnitten",
                                "Game002: Warnung: Antwort 1 hat 5 Zeilen",
                                "Game002: Warnung: Antwort 2 wird nach 255 Bytes abgeschnitten"})
        EXPECT_NE(run.err.find(warning), std::string::npos) << run.err;
}

TEST_F(PuzzlesTool, ListFailsOnADamagedPictureOrAMissingText)
{
    set.WriteFile("Set/Game003/Game.txt", "Frage\nA");
    set.WriteFile("Set/Game003/Pic.png", ReadAll(TestData("store/damaged.png")));
    CRun run = List();
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.out.find("Game003  \"Frage\"  ->  \"A\" Standardzeit  Bild fehlerhaft\n"), std::string::npos) << run.out;
    EXPECT_NE(run.err.find("Game003: Warnung: Pic.png l\xC3\xA4sst sich nicht laden"), std::string::npos) << run.err;

    std::filesystem::remove_all(set.Root() / "Set/Game003");
    set.WriteFile("Set/Game004/Game.txt", "");
    run = List();
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.out.find("Game004  Game.txt fehlt oder ist leer\n"), std::string::npos) << run.out;
}

TEST_F(PuzzlesTool, AddWritesTheNextFreePuzzleInWindows1252)
{
    const CRun run = Add("--question 'Was ist grün?' --answer '@4000 Gras|halm'");
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, (SetPath() / "Game002").string() + "\n");
    EXPECT_EQ(Text("Game002"), "Was ist gr\xFCn?\n@4000 Gras|halm\n");  // as the editor writes it
}

TEST_F(PuzzlesTool, AddInsertsWithAPicture)
{
    set.WriteFile("Set/Game002/Game.txt", "Zwei\nZwei\n");
    const std::string picture = TestData("editor/picture.png").string();
    const CRun run = Add("--question Neu --answer Neu --number 0x1 --mode insert --picture '" + picture + "'");
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(Text("Game001"), "Neu\nNeu\n");
    EXPECT_EQ(Text("Game002"), "Was ist das?\r\n@3000 Eisberg\r\nHaus\r\n");
    EXPECT_EQ(Text("Game003"), "Zwei\nZwei\n");
    EXPECT_TRUE(std::filesystem::exists(SetPath() / "Game001" / "Pic.png"));
}

TEST_F(PuzzlesTool, AddStoresAPhotoUprightAndFittedUnlessKeptAtItsSize)
{
    const std::filesystem::path photo = set.Root() / "photo.jpg";
    ASSERT_TRUE(MakeOrientedPhoto(photo));
    const struct {
        const char* option;
        std::uint32_t width, height;
    } cases[] = {{"", 1620, 2160}, {"--keep-size", 3000, 4000}};
    for (const auto& c : cases) {
        const CRun run = Add(std::string("--question F --answer A --number 5 --mode overwrite --picture '") +
                             photo.string() + "' " + c.option);
        ASSERT_EQ(run.exitCode, 0) << c.option << run.err;
        CGraphicsImage stored;
        ASSERT_EQ(LoadGraphicsFile((SetPath() / "Game005/Pic.png").native(), stored), kLoadOk) << c.option;
        EXPECT_EQ(std::pair(stored.Width(), stored.Height()), std::pair(c.width, c.height)) << c.option;
        // Upright: red on top, blue below (0x00RRGGBB).
        const std::uint32_t top = stored.GetPixelFn(c.width / 2, 0);
        const std::uint32_t bottom = stored.GetPixelFn(c.width / 2, c.height - 1);
        EXPECT_GT(top >> 16 & 0xFF, top & 0xFF) << c.option;
        EXPECT_GT(bottom & 0xFF, bottom >> 16 & 0xFF) << c.option;
    }
}

TEST_F(PuzzlesTool, AddFailuresGiveTheEditorsMessage)
{
    set.WriteFile("Set/notiz.txt", "kein Bild");
    const struct {
        std::string args;
        int exitCode;
        std::string err;
    } cases[] = {
        {"--question F --answer A --number 1500 --mode overwrite", 1, "Die Bildenummer ist falsch (1..999) !\n"},
        {"--question F --answer A --number 0 --mode overwrite", 0, ""},  // 0 is taken as 1
        {"--question F --answer ''", 1, "Bitte eine Antwort eingen !\n"},
        {"--question F --answer A --picture '" + (SetPath() / "notiz.txt").string() + "'", 1,
         "Das Bild konnte nicht geladen werden !\n"},
    };
    for (const auto& c : cases) {
        const CRun run = Add(c.args);
        EXPECT_EQ(run.exitCode, c.exitCode) << c.args;
        EXPECT_EQ(run.err, c.err) << c.args;
    }
    EXPECT_EQ(Text("Game001"), "F\nA\n") << "the overwrite of 0 as 1";
}

TEST_F(PuzzlesTool, UsageErrors)
{
    const std::string listUsage[] = {"", "list", "frobnicate x", "list '" + (set.Root() / "missing").string() + "'"};
    for (const std::string& args : listUsage)
        EXPECT_EQ(Run(args).exitCode, 2) << args;
    std::filesystem::remove_all(SetPath());
    for (const char* args : {"--answer A", "--question F", "--question F --answer A --mode seitwaerts",
                             "--question F --answer A --mode overwrite", "--question F --answer A --number",
                             "--question F --answer A --farbe rot"}) {
        const CRun run = Add(args);
        EXPECT_EQ(run.exitCode, 2) << args;
        EXPECT_NE(run.err.find("Aufruf"), std::string::npos) << args;
    }
    EXPECT_FALSE(std::filesystem::exists(SetPath()));
}

}  // namespace
