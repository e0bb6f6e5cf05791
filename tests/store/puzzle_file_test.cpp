#include "store/PuzzleFile.h"
#include "store/PuzzleLoader.h"
#include "store/PuzzleText.h"
#include "tests/store/TemporaryPuzzleSet.h"

#include <gtest/gtest.h>

using namespace std::string_literals;

namespace {

struct DecodeCase {
    const char* name;
    std::string bytes;
    bool truncated;
    std::string expected;
};

const DecodeCase kDecodeCases[] = {
    {"PlainAscii", "Frage\nHaus", false, "Frage\nHaus"},
    {"Windows1252StaysAsItIs", "Stra\xDF" "e\n\xC4rger", false, "Stra\xDF" "e\n\xC4rger"},
    {"Utf8IsConverted", "Stra\xC3\x9F" "e\n\xC3\x84rger", false, "Stra\xDF" "e\n\xC4rger"},
    {"Utf8WithByteOrderMark", "\xEF\xBB\xBF\xC3\x84pfel", false, "\xC4pfel"},
    {"AsciiWithByteOrderMark", "\xEF\xBB\xBFHaus", false, "Haus"},
    {"EuroSignHasAWindows1252Byte", "\xE2\x82\xAC 5", false, "\x80 5"},
    {"MissingCharactersBecomeQuestionMarks", "\xE2\x9C\x93 \xE6\x97\xA5", false, "? ?"},
    {"MixedTextIsNotUtf8", "\xC3\xA4 und \xE4", false, "\xC3\xA4 und \xE4"},
    {"NothingAfterAZeroByteCounts", "abc\0\xC3\xA4"s, false, "abc"},
    {"CutSequenceAtTheLimitIsDropped", "Stra\xC3\x9F\xC3", true, "Stra\xDF"},
    {"CutSequenceWithoutTheLimitIsNotUtf8", "Stra\xC3\x9F\xC3", false, "Stra\xC3\x9F\xC3"},
};

class DecodePuzzleTextCase : public testing::TestWithParam<DecodeCase> {};

TEST_P(DecodePuzzleTextCase, GivesWindows1252)
{
    const DecodeCase& c = GetParam();
    EXPECT_EQ(DecodePuzzleText(c.bytes, c.truncated), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, DecodePuzzleTextCase, testing::ValuesIn(kDecodeCases),
                         [](const auto& row) { return std::string(row.param.name); });

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
    const auto exact = ReadPuzzleFile(set.Root() / "exact.txt");
    const auto longer = ReadPuzzleFile(set.Root() / "long.txt");
    ASSERT_TRUE(exact && longer);
    EXPECT_EQ(exact->Text.size(), kPuzzleTextMaxBytes);
    EXPECT_FALSE(exact->Truncated);
    EXPECT_EQ(longer->Text, std::string(kPuzzleTextMaxBytes, 'y'));
    EXPECT_TRUE(longer->Truncated);
}

TEST(ReadPuzzleFile, LongUtf8FileCutInsideACharacterStillConverts)
{
    CTemporaryPuzzleSet set;
    // "ä" is two bytes; the limit falls between them.
    set.WriteFile("utf8.txt", "F\n\xC3\xBC" + std::string(kPuzzleTextMaxBytes - 5, 'a') + "\xC3\xA4" "end");
    const auto file = ReadPuzzleFile(set.Root() / "utf8.txt");
    ASSERT_TRUE(file);
    EXPECT_TRUE(file->Truncated);
    EXPECT_EQ(file->Text, "F\n\xFC" + std::string(kPuzzleTextMaxBytes - 5, 'a'));
}

struct LoaderCase {
    const char* name;
    std::string fileText;  // written as Game005/Game.txt; empty: an empty file
    bool exists;
    std::string question;
    std::string answer;
};

const LoaderCase kLoaderCases[] = {
    {"EmptyFileIsNoPuzzle", "", false, "", ""},
    {"QuestionOnly", "Wer?", true, "Wer?", ""},
    {"QuestionAndLineBreaks", "Wer?\r\n\r\n", true, "Wer?", ""},
    {"PrefixTakenOff", "Wer?\r\n@3000   Eisberg\r\n", true, "Wer?", "Eisberg"},
    {"Utf8File", "\xEF\xBB\xBFWas ist gr\xC3\xBCn?\n\xC3\x84pfel", true, "Was ist gr\xFCn?", "\xC4pfel"},
    {"ZeroByteFirst", "\0Frage\nA"s, true, "", ""},
};

class ReadPuzzleTextCase : public testing::TestWithParam<LoaderCase> {};

TEST_P(ReadPuzzleTextCase, LoadsFromThePuzzleFolder)
{
    const LoaderCase& c = GetParam();
    CTemporaryPuzzleSet set;
    set.WritePuzzle(5, c.fileText);
    CRandom random;
    const auto text = ReadPuzzleText(set.Root(), 5, 5000, random);
    ASSERT_EQ(text.has_value(), c.exists);
    if (!text)
        return;
    EXPECT_EQ(text->Question, c.question);
    EXPECT_EQ(text->Answer, c.answer);
}

INSTANTIATE_TEST_SUITE_P(Cases, ReadPuzzleTextCase, testing::ValuesIn(kLoaderCases),
                         [](const auto& row) { return std::string(row.param.name); });

TEST(ReadPuzzleText, NumberThousandLooksInGame1000)
{
    CTemporaryPuzzleSet set;
    set.WriteFile("Game1000/Game.txt", "Tausend\nT");
    set.WriteFile("Game100/Game.txt", "Hundert\nH");
    CRandom random;
    const auto text = ReadPuzzleText(set.Root(), 1000, 5000, random);
    ASSERT_TRUE(text);
    EXPECT_EQ(text->Question, "Tausend");
}

TEST(ReadPuzzleText, FindsACaseVariantCopiedFromWindows)
{
    CTemporaryPuzzleSet set;
    set.WriteFile("game003/GAME.TXT", "Frage\nAntwort");
    CRandom random;
    const auto text = ReadPuzzleText(set.Root(), 3, 5000, random);
    ASSERT_TRUE(text);
    EXPECT_EQ(text->Answer, "Antwort");
}

TEST(ReadPuzzleText, MissingFolderIsNoPuzzleAndDrawsNothing)
{
    CTemporaryPuzzleSet set;
    CRandom random(77);
    EXPECT_FALSE(ReadPuzzleText(set.Root(), 1, 5000, random));
    EXPECT_EQ(random.State(), 77u);
}

}  // namespace
