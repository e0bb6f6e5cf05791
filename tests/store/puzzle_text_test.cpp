#include "store/PuzzleText.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace std::string_literals;

namespace {

struct LinesCase {
    const char* name;
    std::string text;
    std::string question;
    std::vector<std::string> candidates;
};

const LinesCase kLinesCases[] = {
    {"EmptyText", "", "", {}},
    {"SingleLineWithoutLineEnd", "Was ist das?", "Was ist das?", {}},
    {"QuestionFollowedOnlyByLineBreaks", "Frage\r\n\r\n", "Frage", {""}},
    {"CrLfLfAndCrReadAlike", "Frage\r\n\r\nHaus\r\n   Maus\n\nLaus", "Frage", {"Haus", "Maus", "Laus"}},
    {"CarriageReturnsOnly", "Frage\rA\rB\r", "Frage", {"A", "B"}},
    {"FirstAnswerKeepsLeadingBlanks", "Frage\n  Haus", "Frage", {"  Haus"}},
    {"FirstAnswerOfBlanksIsACandidate", "Frage\n \t\nHaus", "Frage", {" \t", "Haus"}},
    {"LaterBlankLinesAreSkipped", "Frage\nA\n \t \n\nB", "Frage", {"A", "B"}},
    {"LaterLinesLoseLeadingTabs", "Frage\nA\n\t\tB", "Frage", {"A", "B"}},
    {"TrailingBlanksStay", "Frage\nHaus  \r\nMaus \t", "Frage", {"Haus  ", "Maus \t"}},
    {"BlankLinesAfterLastAnswerAddNothing", "Frage\nA\n   \n\t", "Frage", {"A"}},
    {"ZeroByteEndsAnAnswer", "Frage\nA\0\nB"s, "Frage", {"A"}},
    {"ZeroByteInQuestionEndsEverything", "Fr\0age\nA"s, "Fr", {}},
    {"AtSignInQuestionIsText", "@5000 Frage\nA", "@5000 Frage", {"A"}},
    {"LeadingBlanksOfQuestionStay", "  Frage\nA", "  Frage", {"A"}},
    {"HighBytesAreText", "\xC4rger?\n\xDF\xFF", "\xC4rger?", {"\xDF\xFF"}},
};

TEST(ParsePuzzleLines, SplitsQuestionAndCandidates)
{
    for (const LinesCase& c : kLinesCases) {
        const CPuzzleLines lines = ParsePuzzleLines(c.text);
        EXPECT_EQ(lines.Question, c.question) << c.name;
        EXPECT_EQ(lines.Candidates, c.candidates) << c.name;
    }
}

struct PrefixCase {
    const char* name;
    std::string candidate;
    std::string answer;
    std::uint32_t switchTime;
};

constexpr std::uint32_t kSetting = 4000;

const PrefixCase kPrefixCases[] = {
    {"NoPrefixKeepsSetting", "Haus", "Haus", kSetting},
    {"DigitsThenText", "@5000Haus", "Haus", 5000},
    {"BelowMinimumClamped", "@500 Haus", "Haus", 1000},
    {"AboveMaximumClamped", "@20000 Haus", "Haus", 10000},
    {"NegativeIsLargeUnsigned", "@-5 Haus", "-5 Haus", 10000},
    {"NegativeZero", "@-0 Haus", "-0 Haus", 1000},
    {"BlankAfterAtIsReadButNotSkipped", "@ 3000 Haus", "3000 Haus", 3000},
    {"NoDigits", "@Haus", "Haus", 1000},
    {"AtAlone", "@", "", 1000},
    {"PlusSignRead", "@+3000 Haus", "+3000 Haus", 3000},
    {"TabsAndSpacesAfterDigits", "@3000\t  Haus", "Haus", 3000},
    {"OverlongNumberSaturates", "@99999999999999999999 Haus", "Haus", 10000},
    {"OverlongNegativeSaturates", "@-99999999999999999999 Haus", "-99999999999999999999 Haus", 10000},
    {"UnsignedWrapOfMaxInt", "@4294967295 Haus", "Haus", 10000},
    {"InRangeExactBounds", "@1000|x", "|x", 1000},
    {"UpperBound", "@10000 x", "x", 10000},
    {"LeadingBlankMeansNoPrefix", " @5000 Haus", " @5000 Haus", kSetting},
};

TEST(SplitSwitchTimePrefix, GivesAnswerAndSwitchTime)
{
    for (const PrefixCase& c : kPrefixCases) {
        const CAnswerLine line = SplitSwitchTimePrefix(c.candidate, kSetting);
        EXPECT_EQ(line.Text, c.answer) << c.name;
        EXPECT_EQ(line.SwitchTime, c.switchTime) << c.name;
        EXPECT_EQ(line.HasSwitchTime, c.candidate.starts_with('@')) << c.name;
    }
}

// Which candidate the one value drawn picks, with its switch time, is checked through the game engine.
TEST(DrawPuzzleText, WithoutCandidatesNothingIsDrawn)
{
    CRandom random(99);
    const CPuzzleText text = DrawPuzzleText(ParsePuzzleLines("Nur eine Frage"), kSetting, random);
    EXPECT_EQ(random.State(), 99u);
    EXPECT_EQ(text.Answer, "");
    EXPECT_EQ(text.CurSwitchTime, kSetting);
}

TEST(DrawPuzzleText, CutsQuestionAndAnswerTo255Bytes)
{
    const std::string question(300, 'Q');
    const std::string answer = std::string(254, 'a') + "bc" + std::string(50, 'd');
    CRandom random;
    const CPuzzleText text = DrawPuzzleText(ParsePuzzleLines(question + "\n@3000 " + answer), kSetting, random);
    EXPECT_EQ(text.Question, std::string(255, 'Q'));
    EXPECT_EQ(text.Answer, std::string(254, 'a') + "b");
    EXPECT_EQ(text.CurSwitchTime, 3000u);
}

TEST(ParsePuzzleLines, IgnoresEverythingBeyond65534Bytes)
{
    // The limit falls in the middle of the second answer line.
    std::string text = "F\nA\n";
    text += std::string(kPuzzleTextMaxBytes - text.size() - 2, 'x');
    text += "yyyy\nLAST";
    const CPuzzleLines lines = ParsePuzzleLines(text);
    ASSERT_EQ(lines.Candidates.size(), 2u);
    EXPECT_EQ(lines.Candidates[1], std::string(kPuzzleTextMaxBytes - 6, 'x') + "yy");

    // A line end just beyond the limit does not count.
    const CPuzzleLines question = ParsePuzzleLines(std::string(kPuzzleTextMaxBytes, 'Q') + "\nAntwort");
    EXPECT_EQ(question.Question.size(), kPuzzleTextMaxBytes);
    EXPECT_TRUE(question.Candidates.empty());
}

}  // namespace
