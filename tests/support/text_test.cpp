#include "support/ClassTable.h"
#include "support/Cp1252.h"

#include <gtest/gtest.h>

namespace {

TEST(ClassTable, AnswerLettersAreDigitsAndLatinLetters)
{
    struct Case {
        std::uint8_t byte;
        bool letter;
    };
    const Case cases[] = {
        {'0', true},  {'9', true},  {'A', true},  {'z', true},  {0xC4, true} /* Ä */,
        {0xDF, true} /* ß */,       {0xE9, true} /* é */,       {0xD7, true}, {0xF7, true},
        {0xDE, false}, {0xFE, false}, {0xFF, false}, {' ', false}, {'-', false}, {'|', false},
        {'?', false}, {0x00, false}, {0xBF, false}, {0xC0, true}, {0xDD, true}, {0xFD, true},
        {'@', false}, {'[', false}, {'`', false}, {'{', false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IsAnswerLetter(c.byte), c.letter) << "byte 0x" << std::hex << int(c.byte);
}

TEST(Cp1252, RoundTripsEveryByteThroughUtf8AndUtf16)
{
    std::string all;
    for (int c = 1; c < 256; ++c)
        all += static_cast<char>(c);
    EXPECT_EQ(Utf8ToCp1252(Cp1252ToUtf8(all)), all);
    EXPECT_EQ(Utf16ToCp1252(Cp1252ToUtf16(all)), all);
}

TEST(Cp1252, KnownCharacters)
{
    EXPECT_EQ(Cp1252ToUtf8("\x80"), "\u20AC");
    EXPECT_EQ(Cp1252ToUtf8("Gr\xF6\xDF" "e"), "Größe");
    EXPECT_EQ(Utf8ToCp1252("Fußball – Ärger"), "Fu\xDF" "ball \x96 \xC4rger");
}

TEST(Cp1252, MissingCharactersAndBrokenUtf8BecomeQuestionMarks)
{
    EXPECT_EQ(Utf8ToCp1252("日本"), "??");
    EXPECT_EQ(Utf8ToCp1252("a\xC3"), "a?");          // truncated sequence
    EXPECT_EQ(Utf8ToCp1252("\xC0\x80"), "??");        // overlong NUL
    EXPECT_EQ(Utf8ToCp1252("\xED\xA0\x80"), "???");   // surrogate
    EXPECT_EQ(Utf8ToCp1252("😀!"), "?!");
    EXPECT_EQ(Utf16ToCp1252(u"😀!"), "?!");
}

TEST(Cp1252, Utf8Detection)
{
    EXPECT_TRUE(LooksLikeUtf8("Gänseblümchen"));
    EXPECT_TRUE(LooksLikeUtf8("\xEF\xBB\xBFHaus"));  // a byte-order mark alone counts
    EXPECT_FALSE(LooksLikeUtf8("Haus"));              // plain ASCII: nothing to convert
    EXPECT_FALSE(LooksLikeUtf8("G\xE4nse"));          // Windows-1252
    EXPECT_FALSE(LooksLikeUtf8("\xC3\xA4\xE4"));      // mixed: not valid UTF-8
    EXPECT_TRUE(IsValidUtf8("Haus"));
}

}  // namespace
