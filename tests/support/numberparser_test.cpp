#include "support/NumberParser.h"

#include <gtest/gtest.h>

namespace {

struct Case {
    const char* text;
    std::int32_t value;
};

TEST(ParseNumber, PuzzleNumbersAndPorts)
{
    const Case cases[] = {
        {"3", 3},     {"  \t3", 3},   {"0x10", 16}, {"0X1f", 31},  {"0d12", 12}, {"0o17", 15},
        {"0b101", 5}, {"0b12", 1},    {"12abc", 12}, {"007", 7},   {"1500", 1500}, {"-5", -5},
        {"abc", 0},   {"", 0},        {"-", 0},     {" 3", 3},     {"+3", 0},    {"0x", 0},
        {"99999999999", -1} /* saturates at 32 bits */,
    };
    for (const Case& c : cases)
        EXPECT_EQ(ParseNumber(c.text), c.value) << '"' << c.text << '"';
}

TEST(ParseNumberInput, PromptNotations)
{
    const Case cases[] = {
        {"12h", 18},    {"0x12", 18},  {"0X12", 18}, {"17o", 15},  {"0o17", 15},  {"101b", 5},
        {"0b101", 5},   {"-0x10", -16}, {" \t42", 42}, {"0123", 123}, {"1b", 1},   {"0b12", 1},
        {"", 0},        {"Haus", 0},    {"+7", 7},    {"ffh", 255}, {"0d12", 0},  {"2000", 2000},
        {"99999999999", -1} /* 4294967295 stored as 32 bits */, {"-1", -1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ParseNumberInput(c.text), c.value) << '"' << c.text << '"';
}

TEST(FormatNumber, EveryFormatParsesBack)
{
    EXPECT_EQ(FormatNumber(-18, 0), "-18");
    EXPECT_EQ(FormatNumber(18, 1), "0x12");
    EXPECT_EQ(FormatNumber(5, 2), "0b101");
    EXPECT_EQ(FormatNumber(15, 3), "0o17");
    EXPECT_EQ(FormatNumber(255, 4), "FFh");
    EXPECT_EQ(FormatNumber(5, 5), "101b");
    EXPECT_EQ(FormatNumber(15, 6), "17o");
    EXPECT_EQ(FormatNumber(-1, 7), "4294967295");
    for (int format = 0; format <= 6; ++format)
        EXPECT_EQ(ParseNumberInput(FormatNumber(5000, format)), 5000) << "format " << format;
}

}  // namespace
