// The phones' messages: exactly the fixed shapes pass; everything else is malformed.
#include "buzzers/BuzzerMessage.h"
#include "buzzers/BuzzerToken.h"
#include "buzzers/RateLimit.h"

#include <gtest/gtest.h>

#include <set>

namespace {

struct SCase {
    const char* text;
    const char* parsed;  // "hello 0", "pong 7 12.5", "press 3.25", "press -", or nullptr: malformed
};

std::string Describe(const PhoneMessage& message)
{
    if (const auto* hello = std::get_if<SHelloMessage>(&message))
        return "hello " + std::to_string(hello->side);
    if (const auto* pong = std::get_if<SPongMessage>(&message)) {
        char text[64];
        std::snprintf(text, sizeof text, "pong %u %g", pong->id, pong->phoneMs);
        return text;
    }
    const auto& press = std::get<SPressMessage>(message);
    if (!press.gameMs)
        return "press -";
    char text[64];
    std::snprintf(text, sizeof text, "press %g", *press.gameMs);
    return text;
}

}  // namespace

TEST(BuzzerMessage, OnlyTheFixedShapesParse)
{
    const SCase cases[] = {
        {R"({"type":"hello","side":"left"})", "hello 0"},
        {R"( { "side" : "right" , "type" : "hello" } )", "hello 1"},
        {R"({"type":"pong","id":7,"p":12.5})", "pong 7 12.5"},
        {R"({"type":"pong","id":0,"p":-1e3})", "pong 0 -1000"},
        {R"({"type":"press","t":3.25})", "press 3.25"},
        {R"({"type":"press","t":null})", "press -"},
        // Wrong shapes.
        {R"({"type":"hello","side":"middle"})", nullptr},
        {R"({"type":"hello","side":"left","x":1})", nullptr},
        {R"({"type":"hello"})", nullptr},
        {R"({"type":"hello","type":"hello","side":"left"})", nullptr},
        {R"({"type":"press","t":"3"})", nullptr},
        {R"({"type":"press","t":true})", nullptr},
        {R"({"type":"pong","id":-1,"p":1})", nullptr},
        {R"({"type":"pong","id":1.5,"p":1})", nullptr},
        {R"({"type":"pong","id":4294967296,"p":1})", nullptr},
        {R"({"type":"pong","id":1,"p":1e999})", nullptr},
        {R"({"type":"open","path":"/etc/passwd"})", nullptr},
        {R"({"type":"stop","side":"left"})", nullptr},
        // Broken JSON, nesting, escapes, trailing bytes.
        {R"({"type":"press","t":01})", nullptr},
        {R"({"type":"press","t":1.})", nullptr},
        {R"({"type":"press","t":-})", nullptr},
        {R"({"type":"press","t":{}})", nullptr},
        {R"({"type":"press","t":[1]})", nullptr},
        {R"({"type":"hel\"lo","side":"left"})", nullptr},
        {R"({"type":"press","t":1}x)", nullptr},
        {R"({"type":"press","t":1,})", nullptr},
        {R"({"type":"press""t":1})", nullptr},
        {R"({"type":"press","t":1)", nullptr},
        {R"({"type":"press","t":nul})", nullptr},
        {"", nullptr},
        {"[]", nullptr},
        {"{}", nullptr},
        {"{\"type\":\"hello\",\"side\":\"le\x01t\"}", nullptr},
    };
    for (const SCase& c : cases) {
        const auto message = ParsePhoneMessage(c.text);
        if (c.parsed == nullptr) {
            EXPECT_FALSE(message.has_value()) << c.text;
        } else {
            ASSERT_TRUE(message.has_value()) << c.text;
            EXPECT_EQ(Describe(*message), c.parsed) << c.text;
        }
    }
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
        std::string changed = token;
        changed[31] = changed[31] == '0' ? '1' : '0';
        EXPECT_FALSE(BuzzerTokenMatches(token, changed));
        EXPECT_FALSE(BuzzerTokenMatches(token, token.substr(0, 31)));
    }
    EXPECT_FALSE(BuzzerTokenMatches("", ""));
}

TEST(RateLimit, FiftyInASecondPassTheFiftyFirstDoesNot)
{
    struct SRun {
        double spacingMs;
        int messages;
        bool admitted;  // all of them
    } const runs[] = {
        {20.0, 500, true},   // exactly 50 per second, for ten seconds
        {19.9, 51, false},   // the 51st lands inside the first second
        {0.0, 50, true},     // a burst of 50 at once is allowed
        {0.0, 51, false},
    };
    for (const SRun& run : runs) {
        CRateLimit limit;
        bool all = true;
        for (int i = 0; i < run.messages; ++i)
            all = limit.Admit(1000.0 + i * run.spacingMs) && all;
        EXPECT_EQ(all, run.admitted) << run.spacingMs << " ms x " << run.messages;
    }
}
