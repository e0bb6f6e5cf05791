// The command-line lister, run as a program over puzzle sets made in a temporary folder.

#include "tests/store/TemporaryPuzzleSet.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sys/wait.h>

namespace {

std::string ReadAll(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string Fixture(const char* name)
{
    return ReadAll(std::filesystem::path(QUIZMORA_TEST_DATA) / "store" / name);
}

struct CRun {
    int exitCode;
    std::string out;
    std::string err;
};

CRun RunTool(const CTemporaryPuzzleSet& set, const std::string& args)
{
    const char* toolsDir = std::getenv("QUIZMORA_TOOLS_DIR");
    const std::string tool = std::string(toolsDir ? toolsDir : QUIZMORA_BINARY_DIR "/bin") + "/quizmora-puzzles";
    const auto outFile = set.Root() / "out.txt";
    const auto errFile = set.Root() / "err.txt";
    const std::string command = "'" + tool + "' " + args + " >'" + outFile.string() + "' 2>'" + errFile.string() + "'";
    const int status = std::system(command.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadAll(outFile), ReadAll(errFile)};
}

class PuzzlesTool : public testing::Test {
protected:
    PuzzlesTool()
    {
        set.WriteFile("Set/Game001/Game.txt", "Was ist das?\r\n@3000 Eisberg\r\nHaus\r\n");
        set.WriteFile("Set/Game001/Pic.png", Fixture("pic-4x3.png"));
        set.WriteFile("Set/game010/GAME.TXT", "Stra\xDF" "e?\nGr\xFC" "n");
        std::filesystem::create_directories(set.Root() / "Set/Notes");
        set.WriteFile("Set/Game12/Game.txt", "not a puzzle folder name\nx");
    }
    std::string SetPath() const { return "'" + (set.Root() / "Set").string() + "'"; }

    CTemporaryPuzzleSet set;
};

TEST_F(PuzzlesTool, ListsEveryPuzzleInNumberOrder)
{
    const CRun run = RunTool(set, "list " + SetPath());
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out,
              "Game001  \"Was ist das?\"  ->  \"Eisberg\" 3000 ms, \"Haus\" Standardzeit  4 x 3\n"
              "Game010  \"Stra\xC3\x9F" "e?\"  ->  \"Gr\xC3\xBCn\" Standardzeit  kein Bild\n");
    EXPECT_EQ(run.err, "");
}

TEST_F(PuzzlesTool, WarnsAboutCutsAndHiddenRows)
{
    set.WriteFile("Set/Game002/Game.txt", std::string(300, 'Q') + "\nA|B|C|D|E\n@2000 " + std::string(256, 'x'));
    const CRun run = RunTool(set, "list " + SetPath());
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(run.err.find("Game002: Warnung: die Frage wird nach 255 Bytes abgeschnitten"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("Game002: Warnung: Antwort 1 hat 5 Zeilen"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("Game002: Warnung: Antwort 2 wird nach 255 Bytes abgeschnitten"), std::string::npos) << run.err;
}

TEST_F(PuzzlesTool, DamagedPictureOrMissingTextFails)
{
    set.WriteFile("Set/Game003/Game.txt", "Frage\nA");
    set.WriteFile("Set/Game003/Pic.png", Fixture("damaged.png"));
    CRun run = RunTool(set, "list " + SetPath());
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.out.find("Game003  \"Frage\"  ->  \"A\" Standardzeit  Bild fehlerhaft\n"), std::string::npos) << run.out;
    EXPECT_NE(run.err.find("Game003: Warnung: Pic.png l\xC3\xA4sst sich nicht laden"), std::string::npos) << run.err;

    std::filesystem::remove_all(set.Root() / "Set/Game003");
    set.WriteFile("Set/Game004/Game.txt", "");
    run = RunTool(set, "list " + SetPath());
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.out.find("Game004  Game.txt fehlt oder ist leer\n"), std::string::npos) << run.out;
}

TEST_F(PuzzlesTool, UsageErrors)
{
    EXPECT_EQ(RunTool(set, "").exitCode, 2);
    EXPECT_EQ(RunTool(set, "list").exitCode, 2);
    EXPECT_EQ(RunTool(set, "frobnicate x").exitCode, 2);
    EXPECT_EQ(RunTool(set, "list '" + (set.Root() / "missing").string() + "'").exitCode, 2);
}

}  // namespace
