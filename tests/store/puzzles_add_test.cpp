// quizmora-puzzles add, run as a program: the editor's store code from the command line.

#include "store/PuzzleLoader.h"
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

struct CRun {
    int exitCode;
    std::string out;
    std::string err;
};

class PuzzlesAdd : public testing::Test {
protected:
    CRun Add(const std::string& args) const
    {
        const char* toolsDir = std::getenv("QUIZMORA_TOOLS_DIR");
        const std::string tool = std::string(toolsDir ? toolsDir : QUIZMORA_BINARY_DIR "/bin") + "/quizmora-puzzles";
        const auto outFile = set.Root() / "out.txt";
        const auto errFile = set.Root() / "err.txt";
        const std::string command = "'" + tool + "' add '" + SetPath().string() + "' " + args + " >'" +
                                    outFile.string() + "' 2>'" + errFile.string() + "'";
        const int status = std::system(command.c_str());
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadAll(outFile), ReadAll(errFile)};
    }
    std::filesystem::path SetPath() const { return set.Root() / "Set"; }
    std::string Text(const char* folder) const { return ReadAll(SetPath() / folder / "Game.txt"); }

    CTemporaryPuzzleSet set;
};

TEST_F(PuzzlesAdd, WritesTheNextFreePuzzleInWindows1252)
{
    set.WriteFile("Set/Game001/Game.txt", "Alt\nAlt\n");
    const CRun run = Add("--question 'Was ist grün?' --answer '@4000 Gras|halm'");
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, (SetPath() / "Game002").string() + "\n");
    EXPECT_EQ(Text("Game002"), "Was ist gr\xFCn?\n@4000 Gras|halm\n");
    CRandom random;
    const auto text = ReadPuzzleText(SetPath(), 2, 5000, random);
    ASSERT_TRUE(text.has_value());
    EXPECT_EQ(text->Answer, "Gras|halm");
    EXPECT_EQ(text->CurSwitchTime, 4000u);
}

TEST_F(PuzzlesAdd, InsertsWithAPictureAndOverwrites)
{
    set.WriteFile("Set/Game001/Game.txt", "Eins\nEins\n");
    set.WriteFile("Set/Game002/Game.txt", "Zwei\nZwei\n");
    const std::string picture = std::string(QUIZMORA_TEST_DATA) + "/editor/picture.png";
    CRun run = Add("--question Neu --answer Neu --number 0x1 --mode insert --picture '" + picture + "'");
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(Text("Game001"), "Neu\nNeu\n");
    EXPECT_EQ(Text("Game002"), "Eins\nEins\n");
    EXPECT_EQ(Text("Game003"), "Zwei\nZwei\n");
    EXPECT_TRUE(std::filesystem::exists(SetPath() / "Game001" / "Pic.png"));

    run = Add("--question Anders --answer Anders --number 3 --mode overwrite");
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(Text("Game003"), "Anders\nAnders\n");
}

TEST_F(PuzzlesAdd, FailuresGiveTheEditorsMessage)
{
    set.WriteFile("Set/notiz.txt", "kein Bild");
    const struct {
        std::string args;
        int exitCode;
        std::string err;
    } cases[] = {
        {"--question F --answer A --number 1500 --mode overwrite", 1, "Die Bildenummer ist falsch (1..999) !\n"},
        {"--question F --answer A --number 0 --mode overwrite", 0, ""},  // 0 is taken as 1
        {"--question '' --answer A", 1, "Bitte eine Frage eingen:\n\nz.B. : 'Was ist hier zu sehen ?'\n"},
        {"--question F --answer ''", 1, "Bitte eine Antwort eingen !\n"},
        {"--question F --answer A --picture '" + (SetPath() / "fehlt.png").string() + "'", 1,
         "Bitte ein gültiges Bild auswählen !\n"},
        {"--question F --answer A --picture '" + (SetPath() / "notiz.txt").string() + "'", 1,
         "Das Bild konnte nicht geladen werden !\n"},
    };
    for (const auto& c : cases) {
        const CRun run = Add(c.args);
        EXPECT_EQ(run.exitCode, c.exitCode) << c.args;
        EXPECT_EQ(run.err, c.err) << c.args;
    }
}

TEST_F(PuzzlesAdd, IncompleteArgumentsAreAUsageError)
{
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
