// The phones' messages: exactly the fixed shapes pass; everything else is malformed.
#include "buzzers/BuzzerMessage.h"
#include "buzzers/BuzzerToken.h"
#include "buzzers/RateLimit.h"

#include <gtest/gtest.h>

#include <set>

namespace {

// "hello 0", "pong 7 12.5", "press 3.25" or "press -" (no stamp).
std::string Describe(const PhoneMessage& message)
{
    char text[64];
    if (const auto* hello = std::get_if<SHelloMessage>(&message))
        std::snprintf(text, sizeof text, "hello %d", hello->side);
    else if (const auto* pong = std::get_if<SPongMessage>(&message))
        std::snprintf(text, sizeof text, "pong %u %g", pong->id, pong->phoneMs);
    else if (const auto& press = std::get<SPressMessage>(message); press.gameMs)
        std::snprintf(text, sizeof text, "press %g", *press.gameMs);
    else
        std::snprintf(text, sizeof text, "press -");
    return text;
}

}  // namespace

TEST(BuzzerMessage, OnlyTheFixedShapesParse)
{
    const std::pair<const char*, const char*> valid[] = {
        {R"({"type":"hello","side":"left"})", "hello 0"},
        {R"( { "side" : "right" , "type" : "hello" } )", "hello 1"},
        {R"({"type":"pong","id":7,"p":12.5})", "pong 7 12.5"},
        {R"({"type":"pong","id":0,"p":-1e3})", "pong 0 -1000"},
        {R"({"type":"press","t":3.25})", "press 3.25"},
        {R"({"type":"press","t":null})", "press -"},
    };
    for (const auto& [text, parsed] : valid) {
        const auto message = ParsePhoneMessage(text);
        ASSERT_TRUE(message.has_value()) << text;
        EXPECT_EQ(Describe(*message), parsed) << text;
    }
    const char* const malformed[] = {
        // Wrong shapes: unknown values, members missing, extra or twice, wrong types, other commands.
        R"({"type":"hello","side":"middle"})", R"({"type":"hello","side":"left","x":1})", R"({"type":"hello"})",
        R"({"type":"hello","type":"hello","side":"left"})", R"({"type":"press","t":"3"})", R"({"type":"press","t":true})",
        R"({"type":"pong","id":-1,"p":1})", R"({"type":"pong","id":1.5,"p":1})", R"({"type":"pong","id":4294967296,"p":1})",
        R"({"type":"pong","id":1,"p":1e999})", R"({"type":"open","path":"/etc/passwd"})", R"({"type":"stop","side":"left"})",
        // Broken JSON, nesting, escapes, trailing bytes.
        R"({"type":"press","t":01})", R"({"type":"press","t":1.})", R"({"type":"press","t":-})",
        R"({"type":"press","t":{}})", R"({"type":"press","t":[1]})", R"({"type":"hel\"lo","side":"left"})",
        R"({"type":"press","t":1}x)", R"({"type":"press","t":1,})", R"({"type":"press""t":1})",
        R"({"type":"press","t":1)", R"({"type":"press","t":nul})", "", "[]", "{}", "{\"type\":\"hello\",\"side\":\"le\x01t\"}",
    };
    for (const char* text : malformed)
        EXPECT_FALSE(ParsePhoneMessage(text).has_value()) << text;
}

TEST(BuzzerMessage, SizeCapAndMemberCap)
{
    std::string padded = R"({"type":"press","t":1})";
    padded.insert(1, kMaxBuzzerMessageBytes - padded.size(), ' ');
    EXPECT_TRUE(ParsePhoneMessage(padded).has_value());
    padded.insert(1, " ");
    EXPECT_FALSE(ParsePhoneMessage(padded).has_value());
    EXPECT_FALSE(ParsePhoneMessage(R"({"a":1,"b":2,"c":3,"d":4,"type":"press"})").has_value());
    EXPECT_FALSE(ParsePhoneMessage(R"({"type":")" + std::string(100, 'a') + R"("})").has_value());
}

TEST(BuzzerMessage, GameMessagesAreValidJson)
{
    EXPECT_EQ(WelcomeMessage("Anna \"A\"", "B\\\n"), R"({"type":"welcome","left":"Anna \"A\"","right":"B\\\u000a"})");
    EXPECT_EQ(PingMessage(42), R"({"type":"ping","id":42})");
    EXPECT_EQ(SyncMessage(-12.3456), R"({"type":"sync","offset":-12.346})");
    EXPECT_EQ(ResultMessage(EPressOutcome::Late), R"({"type":"result","outcome":"late"})");
}

TEST(BuzzerToken, FreshEachTimeAndComparedExactly)
{
    std::set<std::string> seen;
    for (int i = 0; i < 64; ++i) {
        const std::string token = MakeBuzzerToken();
        ASSERT_EQ(token.size(), 32u);  // 128 bits
        EXPECT_EQ(token.find_first_not_of("0123456789abcdef"), std::string::npos);
        EXPECT_TRUE(seen.insert(token).second);
        EXPECT_TRUE(BuzzerTokenMatches(token, token));
        EXPECT_FALSE(BuzzerTokenMatches(token, token.substr(0, 31) + (token[31] == '0' ? "1" : "0")));
        EXPECT_FALSE(BuzzerTokenMatches(token, token.substr(0, 31)));
    }
    EXPECT_FALSE(BuzzerTokenMatches("", ""));
}

TEST(RateLimit, FiftyInASecondPassTheFiftyFirstDoesNot)
{
    // Messages at a spacing, and whether all of them are admitted.
    const struct { double spacingMs; int messages; bool admitted; } runs[] = {
        {20.0, 500, true},   // exactly 50 per second, for ten seconds
        {19.9, 51, false},   // the 51st lands inside the first second
        {0.0, 50, true},     // a burst of 50 at once is allowed
        {0.0, 51, false},
    };
    for (const auto& run : runs) {
        CRateLimit limit;
        bool all = true;
        for (int i = 0; i < run.messages; ++i)
            all = limit.Admit(1000.0 + i * run.spacingMs) && all;
        EXPECT_EQ(all, run.admitted) << run.spacingMs << " ms x " << run.messages;
    }
}
