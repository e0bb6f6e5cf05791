// Writing a new puzzle folder and reading it back through the loader: text format, pictures of
// every format, what an overwrite keeps, and failures that must leave the old puzzle whole.

#include "imaging/GraphicsFile.h"
#include "imaging/GraphicsImage.h"
#include "store/PuzzleFolder.h"
#include "store/PuzzleLoader.h"
#include "store/PuzzlePicture.h"
#include "store/PuzzleWriter.h"
#include "tests/store/TemporaryPuzzleSet.h"

#include <gtest/gtest.h>

#include <csignal>
#include <map>
#include <cstring>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Files may grow to `bytes` only while it lives: writing beyond fails with EFBIG instead of
// killing the process, which makes any file write fail for real, even for root.
class CFileSizeLimit {
public:
    explicit CFileSizeLimit(rlim_t bytes)
    {
        ::getrlimit(RLIMIT_FSIZE, &saved_);
        previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = saved_;
        limit.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~CFileSizeLimit()
    {
        ::setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, previousHandler_);
    }
    CFileSizeLimit(const CFileSizeLimit&) = delete;
    CFileSizeLimit& operator=(const CFileSizeLimit&) = delete;

private:
    rlimit saved_{};
    void (*previousHandler_)(int);
};

// While it lives, root acts as the unprivileged user "nobody", for whom permissions bind.
class CUnprivileged {
public:
    CUnprivileged()
    {
        if (::geteuid() == 0 && ::setegid(kNobody) == 0)
            switched_ = ::seteuid(kNobody) == 0;
    }
    ~CUnprivileged()
    {
        if (switched_) {
            ::seteuid(0);
            ::setegid(0);
        }
    }
    CUnprivileged(const CUnprivileged&) = delete;
    CUnprivileged& operator=(const CUnprivileged&) = delete;

private:
    static constexpr uid_t kNobody = 65534;
    bool switched_ = false;
};

std::vector<std::string> FolderEntries(const std::filesystem::path& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

class PuzzleWriter : public testing::Test {
protected:
    CPuzzleEditResult Write(int number, int mode, std::string picture, std::string question = "Was ist das?",
                            std::string answer = "Eisberg")
    {
        const CNewPuzzleEntries entries{std::move(picture), std::move(question), std::move(answer), number, mode};
        return WriteNewPuzzle(set.Root(), entries, picture_);
    }
    std::filesystem::path File(int number, const char* name) const
    {
        return PuzzleFolderPath(set.Root(), number) / name;
    }
    void WriteOldPuzzle(int number)
    {
        set.WritePuzzle(number, "Alte Frage\nAlte Antwort\n");
        set.WriteFile(File(number, "Pic.png").lexically_relative(set.Root()), ReadAll(TestData("store/pic-4x3.png")));
    }

    CTemporaryPuzzleSet set;
    CGraphicsImage picture_;
};

TEST_F(PuzzleWriter, TextIsQuestionAndAnswerEachEndedByALineFeed)
{
    // The prefix and the row mark are written as typed and act when the puzzle is loaded.
    ASSERT_TRUE(Write(1, NextFree, "", "Stra\xDF" "e?", "@3000 Gr\xFCn|x"));
    EXPECT_EQ(ReadAll(File(1, "Game.txt")), "Stra\xDF" "e?\n@3000 Gr\xFCn|x\n");
    CRandom random;
    const std::optional<CPuzzleText> text = ReadPuzzleText(set.Root(), 1, 5000, random);
    ASSERT_TRUE(text.has_value());
    EXPECT_EQ(std::tie(text->Question, text->Answer, text->CurSwitchTime),
              std::tuple("Stra\xDF" "e?", "Gr\xFCn|x", 3000u));
    EXPECT_FALSE(std::filesystem::exists(File(1, "Pic.png")));
    EXPECT_EQ(FolderEntries(PuzzleFolderPath(set.Root(), 1)), std::vector<std::string>{"Game.txt"});
    // Missing parent folders are created.
    const std::filesystem::path deep = set.Root() / "Quiz" / "Runde 2";
    ASSERT_TRUE(WriteNewPuzzle(deep, {"", "Frage", "Antwort", 7, Overwrite}, picture_));
    EXPECT_EQ(ReadAll(PuzzleFolderPath(deep, 7) / "Game.txt"), "Frage\nAntwort\n");
}

TEST(NewPuzzleText, FieldsAreCutAndKeptOnTheirLines)
{
    EXPECT_EQ(NewPuzzleText(std::string(300, 'q'), std::string(256, 'a')),
              std::string(255, 'q') + "\n" + std::string(255, 'a') + "\n");
    EXPECT_EQ(NewPuzzleText("zwei\nZeilen\r", std::string("mit\0Null", 8)), "zwei Zeilen \nmit Null\n");
}

TEST_F(PuzzleWriter, OverwriteWithoutPictureKeepsThePicture)
{
    WriteOldPuzzle(4);
    const std::string oldPicture = ReadAll(File(4, "Pic.png"));
    ASSERT_TRUE(Write(4, Overwrite, ""));
    EXPECT_EQ(ReadAll(File(4, "Game.txt")), "Was ist das?\nEisberg\n");
    EXPECT_EQ(ReadAll(File(4, "Pic.png")), oldPicture);
}

TEST_F(PuzzleWriter, ThePuzzlesOwnPictureIsLoadedButNotWrittenAgain)
{
    WriteOldPuzzle(4);
    const std::filesystem::path own = File(4, "Pic.png");
    struct stat before {};
    ASSERT_EQ(::stat(own.c_str(), &before), 0);
    ASSERT_TRUE(Write(4, Overwrite, own.native()));
    struct stat after {};
    ASSERT_EQ(::stat(own.c_str(), &after), 0);
    // A rewrite, atomic or not, would give a new file or a new modification time.
    EXPECT_EQ(after.st_ino, before.st_ino);
    EXPECT_EQ(after.st_mtim.tv_sec, before.st_mtim.tv_sec);
    EXPECT_EQ(after.st_mtim.tv_nsec, before.st_mtim.tv_nsec);
    EXPECT_EQ(picture_.Width(), 4u);
    EXPECT_EQ(picture_.Height(), 3u);
    // Another spelling of the same file is the same file.
    ASSERT_TRUE(Write(4, Overwrite, (set.Root() / "." / "Game004" / "Pic.png").native()));
    struct stat again {};
    ASSERT_EQ(::stat(own.c_str(), &again), 0);
    EXPECT_EQ(again.st_ino, before.st_ino);
}

TEST_F(PuzzleWriter, EveryFormatTheLibraryReadsIsImportedAsPng)
{
    for (const char* extension : {"png", "bmp", "gif", "jpg", "ppm", "pgm", "xpm", "xwd", "tif", "ico", "eps", "tlsp", "webp",
                                  "avif", "heic"}) {
        const std::string source = TestData(std::string("editor/picture.") + extension).native();
        CGraphicsImage direct;
        ASSERT_EQ(LoadGraphicsFile(source, direct), kLoadOk) << extension << ": " << LoadErrorText();
        CTemporaryPuzzleSet fresh;
        const CNewPuzzleEntries entries{source, "Frage", "Antwort", 1, NextFree};
        CGraphicsImage picture;
        const CPuzzleEditResult result = WriteNewPuzzle(fresh.Root(), entries, picture);
        ASSERT_TRUE(result) << extension << ": " << result.Message();
        const std::filesystem::path stored = PuzzleFolderPath(fresh.Root(), 1) / "Pic.png";
        EXPECT_EQ(ReadAll(stored).substr(0, 8), "\x89PNG\r\n\x1a\n") << extension;
        CGraphicsImage loaded;
        ASSERT_EQ(LoadPuzzlePicture(fresh.Root(), 1, loaded), kLoadOk) << extension;
        EXPECT_EQ(loaded.Width(), 6u) << extension;
        EXPECT_EQ(loaded.Height(), 4u) << extension;
        // Pic.png keeps the colours.
        EXPECT_EQ(loaded.GetPixelFn(5, 3) & 0xFFFFFFu, direct.GetPixelFn(5, 3) & 0xFFFFFFu) << extension;
        EXPECT_EQ(FolderEntries(PuzzleFolderPath(fresh.Root(), 1)), (std::vector<std::string>{"Game.txt", "Pic.png"}));
    }
}

// A palette picture with transparent entries is stored as an RGBA Pic.png with its pixels and alpha.
TEST_F(PuzzleWriter, TransparencyIsImported)
{
    const std::string source = TestData("pngsuite/ftbbn3p08.png").native();
    ASSERT_TRUE(Write(1, Overwrite, source));
    EXPECT_EQ(ReadAll(File(1, "Pic.png")).at(25), '\x06') << "colour type RGBA";
    CGraphicsImage direct, stored;
    ASSERT_EQ(LoadGraphicsFile(source, direct), kLoadOk);
    ASSERT_EQ(LoadPuzzlePicture(set.Root(), 1, stored), kLoadOk);
    ASSERT_TRUE(stored.HasAlpha() && stored.Bpp() == 32 && stored.ImageSize() == direct.ImageSize());
    EXPECT_EQ(std::memcmp(stored.Data(), direct.Data(), direct.ImageSize()), 0);
}

TEST_F(PuzzleWriter, APictureThatDoesNotLoadStopsBeforeTheText)
{
    set.WriteFile("notiz.png", "kein Bild");
    picture_.Create(24, 2, 2);
    for (const std::string& source : {(set.Root() / "notiz.png").string(), TestData("store/damaged.png").string()}) {
        const CPuzzleEditResult result = Write(1, Overwrite, source);
        EXPECT_EQ(result.Error, EPuzzleEditError::PictureLoad) << source;
        EXPECT_FALSE(std::filesystem::exists(File(1, "Game.txt")));
        EXPECT_EQ(picture_.Width(), 2u);  // the picture in play is kept
    }
}

// Every folder and file below the root, with the files' bytes.
std::map<std::string, std::string> Snapshot(const std::filesystem::path& root)
{
    std::map<std::string, std::string> entries;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
        const std::string name = entry.path().lexically_relative(root).string();
        entries[entry.is_directory() ? name + "/" : name] = entry.is_directory() ? "" : ReadAll(entry.path());
    }
    return entries;
}

TEST_F(PuzzleWriter, AFailedWriteLeavesTheSetAsItWas)
{
    for (int number : {1, 2, 3})
        WriteOldPuzzle(number);
    set.WriteFile("notiz.png", "kein Bild");
    set.WriteFile("Game005/notiz.txt", "ein freier Platz mit Ordner");
    const std::string unreadable = (set.Root() / "notiz.png").string();
    const std::string damaged = TestData("store/damaged.png").string();
    const std::string large = TestData("bmpsuite/good/rgb24.bmp").string();  // its PNG is above 512 bytes
    const struct {
        const char* name;
        int number;
        int mode;
        std::string picture;
        rlim_t fileLimit;
        EPuzzleEditError error;
    } cases[] = {
        {"insert, unreadable picture", 2, Insert, unreadable, RLIM_INFINITY, EPuzzleEditError::PictureLoad},
        {"insert, damaged picture", 1, Insert, damaged, RLIM_INFINITY, EPuzzleEditError::PictureLoad},
        {"next free, unreadable picture", 1, NextFree, unreadable, RLIM_INFINITY, EPuzzleEditError::PictureLoad},
        {"insert, picture not saved", 2, Insert, large, 512, EPuzzleEditError::PictureSave},
        {"next free, picture not saved", 2, NextFree, large, 512, EPuzzleEditError::PictureSave},
        {"next free into a folder, picture not saved", 5, NextFree, large, 512, EPuzzleEditError::PictureSave},
        {"insert, text not saved", 1, Insert, "", 8, EPuzzleEditError::TextSave},
    };
    picture_.Create(24, 2, 2);
    const auto before = Snapshot(set.Root());
    for (const auto& c : cases) {
        CPuzzleEditResult result;
        {
            CFileSizeLimit limit(c.fileLimit);
            result = Write(c.number, c.mode, c.picture, std::string(40, 'F'));
        }
        EXPECT_EQ(result.Error, c.error) << c.name;
        EXPECT_EQ(Snapshot(set.Root()), before) << c.name;
        EXPECT_EQ(picture_.Width(), 2u) << c.name << ": the picture in play is kept";
    }
}

TEST_F(PuzzleWriter, InsertInFrontOfAPuzzleTakesItsPictureAlong)
{
    WriteOldPuzzle(2);
    const std::string own = ReadAll(File(2, "Pic.png"));
    ASSERT_TRUE(Write(2, Insert, File(2, "Pic.png").native()));
    EXPECT_EQ(ReadAll(File(3, "Pic.png")), own);
    CGraphicsImage stored;
    ASSERT_EQ(LoadPuzzlePicture(set.Root(), 2, stored), kLoadOk);
    EXPECT_EQ(std::pair(stored.Width(), stored.Height()), std::pair(4u, 3u));
}

TEST_F(PuzzleWriter, ATextThatCannotBeWrittenIsReported)
{
    // "Game.txt" is a folder with something in it: nothing can be renamed over it.
    set.WriteFile("Game001/Game.txt/inhalt", "x");
    const CPuzzleEditResult result = Write(1, Overwrite, "");
    EXPECT_EQ(result.Error, EPuzzleEditError::TextSave);
    EXPECT_EQ(result.Message(), "Es gab einen Fehler beim Speichern des Textes !");
    EXPECT_EQ(FolderEntries(PuzzleFolderPath(set.Root(), 1)), std::vector<std::string>{"Game.txt"});
}

TEST_F(PuzzleWriter, AReadOnlyFolderIsReported)
{
    WriteOldPuzzle(2);
    const std::filesystem::path folder = PuzzleFolderPath(set.Root(), 2);
    using std::filesystem::perms;
    std::filesystem::permissions(folder, perms::owner_read | perms::owner_exec | perms::group_read |
                                             perms::group_exec | perms::others_read | perms::others_exec);
    CPuzzleEditResult result;
    {
        CUnprivileged asSomeoneElse;  // root writes anywhere
        result = Write(2, Overwrite, "");
    }
    std::filesystem::permissions(folder, perms::owner_all);
    EXPECT_EQ(result.Error, EPuzzleEditError::TextSave);
    EXPECT_EQ(ReadAll(File(2, "Game.txt")), "Alte Frage\nAlte Antwort\n");
}

TEST_F(PuzzleWriter, ATextWriteFailingHalfWayLeavesTheOldText)
{
    WriteOldPuzzle(2);
    CFileSizeLimit limit(8);
    const CPuzzleEditResult result = Write(2, Overwrite, "", "Eine lange neue Frage", "Antwort");
    EXPECT_EQ(result.Error, EPuzzleEditError::TextSave);
    EXPECT_EQ(ReadAll(File(2, "Game.txt")), "Alte Frage\nAlte Antwort\n");
    EXPECT_EQ(FolderEntries(PuzzleFolderPath(set.Root(), 2)), (std::vector<std::string>{"Game.txt", "Pic.png"}));
}

TEST_F(PuzzleWriter, APictureSaveFailingHalfWayLeavesTheOldPuzzle)
{
    WriteOldPuzzle(2);
    const std::string oldPicture = ReadAll(File(2, "Pic.png"));
    // A picture whose PNG is larger than the limit.
    const std::string source = TestData("bmpsuite/good/rgb24.bmp").native();
    CFileSizeLimit limit(512);
    const CPuzzleEditResult result = Write(2, Overwrite, source);
    EXPECT_EQ(result.Error, EPuzzleEditError::PictureSave);
    EXPECT_EQ(result.Message(), "Es gab einen Fehler beim Speichern des Bildes !");
    EXPECT_EQ(ReadAll(File(2, "Pic.png")), oldPicture);
    EXPECT_EQ(ReadAll(File(2, "Game.txt")), "Alte Frage\nAlte Antwort\n");
    EXPECT_EQ(FolderEntries(PuzzleFolderPath(set.Root(), 2)), (std::vector<std::string>{"Game.txt", "Pic.png"}));
}

TEST_F(PuzzleWriter, ReplacedFilesKeepTheirNameCaseAndPermissions)
{
    set.WriteFile("game005/GAME.TXT", "Alt\nAlt\n");
    std::filesystem::permissions(set.Root() / "game005/GAME.TXT", std::filesystem::perms(0640));
    ASSERT_TRUE(Write(5, Overwrite, TestData("store/pic-2x5.png").native()));
    EXPECT_EQ(FolderEntries(set.Root()), std::vector<std::string>{"game005"});
    EXPECT_EQ(FolderEntries(set.Root() / "game005"), (std::vector<std::string>{"GAME.TXT", "Pic.png"}));
    EXPECT_EQ(ReadAll(set.Root() / "game005/GAME.TXT"), "Was ist das?\nEisberg\n");
    EXPECT_EQ(std::filesystem::status(set.Root() / "game005/GAME.TXT").permissions(), std::filesystem::perms(0640));
    EXPECT_EQ(std::filesystem::status(set.Root() / "game005/Pic.png").permissions(), std::filesystem::perms(0644));
}

}  // namespace
