#include "tests/game/GameTestBed.h"

#include <gtest/gtest.h>

#include <utility>

namespace {

struct AnswerCase {
    const char* name;
    std::string answer;
    int covered;
    std::vector<std::pair<int, int>> rows;  // start, length
    std::string shown;                      // per byte: '1' visible, '0' covered
};

const AnswerCase kAnswerCases[] = {
    {"Empty", "", 0, {}, ""},
    {"HyphenShownAndNotCounted", "A-B", 2, {{0, 3}}, "010"},
    {"DigitsAreLetters", "19 84", 4, {{0, 5}}, "00100"},
    {"Latin1Letters", "\xC4\xDF\xE9\xD7\xF7", 5, {{0, 5}}, "00000"},
    {"Latin1NonLetters", "\xDE\xFE\xFF\xA0\xBF", 0, {{0, 5}}, "11111"},
    {"NoLettersAtAll", "?? !", 0, {{0, 4}}, "1111"},
    {"TwoRows", "EIS|BERG", 7, {{0, 3}, {4, 4}}, "00010000"},
    {"FifthRowCountedButNotLaidOut", "A|BB|C|D|EE", 7, {{0, 1}, {2, 2}, {5, 1}, {7, 1}}, "01001010100"},
    {"LeadingBarGivesEmptyFirstRow", "|AB", 2, {{0, 0}, {1, 2}}, "100"},
    {"DoubleBarGivesEmptyRow", "A||B", 2, {{0, 1}, {2, 0}, {3, 1}}, "0110"},
    {"TrailingBarAddsNoRow", "AB|", 2, {{0, 2}}, "001"},
    {"OnlyABar", "|", 0, {{0, 0}}, "1"},
};

class PrepareAnswerCase : public GameTestBed, public testing::WithParamInterface<AnswerCase> {};

TEST_P(PrepareAnswerCase, BuildsCoveredLettersAndRows)
{
    const AnswerCase& c = GetParam();
    State().Shown.fill(7);
    State().WidestLine = 99;
    State().AnswerDirty = 0;
    SetFieldText(State().Answer, c.answer);
    engine.PrepareAnswer();

    EXPECT_EQ(State().CoveredCount, c.covered);
    ASSERT_EQ(State().LineCount, static_cast<int>(c.rows.size()));
    int widest = 0;
    for (std::size_t r = 0; r < c.rows.size(); ++r) {
        EXPECT_EQ(State().LineStart[r], c.rows[r].first) << "row " << r;
        EXPECT_EQ(State().LineLength[r], c.rows[r].second) << "row " << r;
        widest = std::max(widest, c.rows[r].second);
    }
    EXPECT_EQ(State().WidestLine, widest);
    std::string shown;
    for (std::size_t i = 0; i < c.answer.size(); ++i)
        shown += State().Shown[i] ? '1' : '0';
    EXPECT_EQ(shown, c.shown);
    EXPECT_EQ(State().Shown[c.answer.size()], 0) << "flags past the text are cleared";
    EXPECT_EQ(State().AnswerDirty, 1);
}

INSTANTIATE_TEST_SUITE_P(Cases, PrepareAnswerCase, testing::ValuesIn(kAnswerCases),
                         [](const auto& row) { return std::string(row.param.name); });

TEST_F(GameTestBed, FullAnswerFieldWithoutTerminatorStaysInBounds)
{
    State().Answer.fill('A');
    engine.PrepareAnswer();
    EXPECT_EQ(State().CoveredCount, 256);
    EXPECT_EQ(State().LineCount, 1);
    EXPECT_EQ(State().WidestLine, 256);
}

}  // namespace
