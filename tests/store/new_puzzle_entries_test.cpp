// The puzzle number as typed, the entry checks and the picture history.

#include "store/NewPuzzleEntries.h"
#include "store/PictureHistory.h"
#include "tests/store/TemporaryPuzzleSet.h"

#include <gtest/gtest.h>

namespace {

TEST(PuzzleNumberFromText, NotationsAndRange)
{
    const std::pair<const char*, int> cases[] = {
        // The notations are ParseNumber's; out of range numbers become 1 or 1000.
        {"0x10", 16}, {"1500", 1000}, {"999", 999}, {"0", 1}, {"", 1}, {"-5", 1}, {"abc", 1}, {"+3", 1},
        // Beyond 32 bits the number stays out of range instead of wrapping round to a small one.
        {"4294967295", 1000}, {"4294967297", 1000}, {"99999999999", 1000}, {"-99999999999", 1},
        {"2147483648", 1000},
    };
    for (const auto& [text, number] : cases)
        EXPECT_EQ(PuzzleNumberFromText(text), number) << '"' << text << '"';
}

TEST(CheckNewPuzzleEntries, FirstFailingCheckInOrder)
{
    CTemporaryPuzzleSet set;
    set.WriteFile("bild.png", "x");
    std::filesystem::create_directories(set.Root() / "ordner");
    const std::string picture = (set.Root() / "bild.png").string();
    const std::string missing = (set.Root() / "fehlt.png").string();
    const std::string folder = (set.Root() / "ordner").string();
    const struct {
        CNewPuzzleEntries entries;
        std::optional<std::string_view> message;
    } cases[] = {
        {{"", "Frage", "Antwort"}, std::nullopt},
        {{picture, "Frage", "Antwort"}, std::nullopt},
        {{missing, "Frage", "Antwort"}, kNeedPictureText},
        {{folder, "Frage", "Antwort"}, kNeedPictureText},
        {{missing, "", ""}, kNeedPictureText},
        {{"", "", ""}, kNeedQuestionText},
        {{"", "", "Antwort"}, kNeedQuestionText},
        {{"", "Frage", ""}, kNeedAnswerText},
        {{"", " ", " "}, std::nullopt},  // blanks are text
    };
    for (const auto& c : cases)
        EXPECT_EQ(CheckNewPuzzleEntries(c.entries), c.message) << c.entries.PicturePath << '|' << c.entries.Question;
}

using Paths = std::vector<std::string>;

// The list is sorted without empties or repeats; the confirmed path comes first, then the list.
TEST(PictureHistory, ConfirmedPathFirstThenTheSortedListInOrder)
{
    EXPECT_EQ(SortedPictureList({"/b.png", "", "/A.png", "/a.png", "/b.png", "/C.png"}),
              (Paths{"/A.png", "/a.png", "/b.png", "/C.png"}));
    const Paths list{"/a.png", "/b.png", "/c.png"};
    EXPECT_EQ(UpdatedPictureHistory("/b.png", list), (Paths{"/b.png", "/a.png", "/c.png"}));
    EXPECT_EQ(UpdatedPictureHistory("/neu.png", list), (Paths{"/neu.png", "/a.png", "/b.png", "/c.png"}));
    // Byte for byte: a path differing in case is another path.
    EXPECT_EQ(UpdatedPictureHistory("/B.png", list), (Paths{"/B.png", "/a.png", "/b.png", "/c.png"}));
    EXPECT_TRUE(UpdatedPictureHistory("", list).empty());
}

TEST(PictureHistory, AlphabeticallyLastPathsDropOutBeyondSixteen)
{
    Paths stored;
    for (char letter = 'a'; letter <= 't'; ++letter)  // 20 paths
        stored.push_back(std::string("/") + letter + ".png");
    const Paths list = SortedPictureList(stored);
    const Paths history = UpdatedPictureHistory("/z.png", list);
    ASSERT_EQ(history.size(), kPictureHistorySize);
    EXPECT_EQ(history.front(), "/z.png");
    EXPECT_EQ(history[1], "/a.png");
    EXPECT_EQ(history.back(), "/o.png");
    // Confirming a path of the list keeps 16 without it being counted twice.
    const Paths again = UpdatedPictureHistory("/c.png", list);
    ASSERT_EQ(again.size(), kPictureHistorySize);
    EXPECT_EQ(again[0], "/c.png");
    EXPECT_EQ(again[3], "/d.png");
    EXPECT_EQ(again.back(), "/p.png");
}

}  // namespace
