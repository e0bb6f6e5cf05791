#include "ui/PathFunctions.h"

#include "tests/store/TemporaryPuzzleSet.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace {

namespace fs = std::filesystem;

// A temporary folder whose paths come as text.
struct TempFolder : CTemporaryPuzzleSet {
    std::string operator/(std::string_view name) const { return (Root() / name).string(); }
    std::string Path() const { return Root().string(); }
};

// Runs a test body with the current folder switched, and switches back.
class CurrentFolderScope {
public:
    explicit CurrentFolderScope(const std::string& folder) : previous_(fs::current_path()) { fs::current_path(folder); }
    ~CurrentFolderScope() { fs::current_path(previous_); }
    CurrentFolderScope(const CurrentFolderScope&) = delete;
    CurrentFolderScope& operator=(const CurrentFolderScope&) = delete;

private:
    fs::path previous_;
};

TEST(NormalizePath, Cases)
{
    struct Case {
        const char* name;
        const char* input;
        bool plainUnc;
        const char* expected;
    };
    const Case cases[] = {
        {"trailing separators", "/usr/share//", false, "/usr/share"},
        {"leading and trailing blanks", "  /usr/share \t", false, "/usr/share"},
        {"blank before separator", "/usr/share /", false, "/usr/share"},
        {"root stays", "/", false, "/"},
        {"root with trailing blanks", "/   ", false, "/"},
        {"doubled root", "///", true, "/"},
        {"dot and dot-dot", "/usr/./lib/../share/.", false, "/usr/share"},
        {"dot-dot above root", "/../..", false, "/"},
        {"doubled inner separators", "/usr//share", false, "/usr/share"},
        {"network path kept as typed", "//server/share/./x/", false, "//server/share/./x"},
        {"network root kept", "//", false, "//"},
        {"network path resolved when plain", "//server/share/", true, "/server/share"},
        {"only blanks", "   ", false, ""},
        {"empty", "", false, ""},
        {"backslash is a name character", "/a\\b\\", false, "/a\\b\\"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(NormalizePath(c.input, c.plainUnc), c.expected) << c.name;
}

TEST(RelativePaths, FollowTheCurrentFolder)
{
    TempFolder temp;
    fs::create_directory(temp / "sub");
    const std::string base = fs::canonical(temp.Path()).string();
    CurrentFolderScope scope(base);
    EXPECT_EQ(NormalizePath("sub/", false), base + "/sub");
    EXPECT_EQ(NormalizePath(" . ", false), base);
    EXPECT_EQ(NormalizePath("sub/..", false), base);
    EXPECT_EQ(CreatePath("x/y/z/"), kCreateMade);
    EXPECT_EQ(GetPathType(temp / "x/y/z"), kPathFolder);
    EXPECT_EQ(CreatePath("x/y/z"), kCreateExisted);
    EXPECT_EQ(CreatePath("/"), kCreateExisted);
}

TEST(ParseMountPoints, FieldsAndEscapes)
{
    const std::string text =
        "/dev/sda1 / ext4 rw 0 0\n"
        "tmpfs /run tmpfs rw 0 0\n"
        "/dev/sdb1 /media/usb\\040stick vfat rw 0 0\n"
        "/dev/sdb2 /media/x\\040 vfat rw 0 0\n"  // an escape that ends the field
        "garbage\n"
        "\n"
        "x relative-point ext4\n"
        "/dev/sdc1 /mnt/a\\\\b\\7 ext4 rw\n"
        "tmpfs /run tmpfs rw 0 0\n"
        "/dev/sdd1\t/last";
    const std::vector<std::string> expected = {"/", "/run", "/media/usb stick", "/media/x ", "/mnt/a\\\\b\\7", "/last"};
    EXPECT_EQ(ParseMountPoints(text), expected);
}

TEST(GetPathType, Kinds)
{
    TempFolder temp;
    fs::create_directory(temp / "folder");
    temp.WriteFile("file.txt", "x");
    fs::create_directory_symlink(temp / "folder", temp / "link");
    fs::create_symlink(temp / "nowhere", temp / "dangling");

    struct Case {
        const char* name;
        std::string path;
        int expected;
    };
    const Case cases[] = {
        {"empty", "", kPathMissing},
        {"missing", temp / "nothing", kPathMissing},
        {"below a file", temp / "file.txt/x", kPathMissing},
        {"embedded nul", std::string("/tmp\0x", 6), kPathMissing},
        {"dangling link", temp / "dangling", kPathMissing},
        {"file", temp / "file.txt", kPathFile},
        {"device", "/dev/null", kPathFile},
        {"folder", temp / "folder", kPathFolder},
        {"folder with separator", temp / "folder/", kPathFolder},
        {"link to folder", temp / "link", kPathFolder},
        {"root", "/", kPathDriveRoot},
        {"proc mount point", "/proc", kPathDriveRoot},
    };
    for (const Case& c : cases)
        EXPECT_EQ(GetPathType(c.path), c.expected) << c.name;
}

TEST(CreatePath, Failures)
{
    TempFolder temp;
    temp.WriteFile("file", "x");
    std::string failed;
    EXPECT_EQ(CreatePath(temp / "file", &failed), kCreateFailed);
    EXPECT_EQ(failed, temp / "file");
    EXPECT_EQ(CreatePath(temp / "file/sub/deeper", &failed), kCreateFailed);
    EXPECT_EQ(failed, temp / "file/sub");
    EXPECT_EQ(CreatePath(""), kCreateFailed);
    EXPECT_EQ(CreatePath(std::string("/tmp/a\0b", 8)), kCreateFailed);
}

TEST(Slashes, AddAndRemove)
{
    struct Case {
        const char* input;
        const char* added;
        const char* removed;
    };
    const Case cases[] = {
        {"", "/", ""},
        {"/", "/", "/"},
        {"/a", "/a/", "/a"},
        {"/a/", "/a/", "/a"},
        {"/a//", "/a//", "/a/"},
        {"a\\", "a\\/", "a\\"},
    };
    for (const Case& c : cases) {
        std::string added = c.input;
        EXPECT_EQ(AddSlash(added), c.added) << c.input;
        std::string removed = c.input;
        EXPECT_EQ(RemoveSlash(removed), std::string(c.removed).size()) << c.input;
        EXPECT_EQ(removed, c.removed) << c.input;
    }
}

}  // namespace
