#pragma once
// The messages between a phone and the game: small flat JSON objects of a fixed shape, at most
// 1 KB. Anything else from a phone is malformed, and a malformed message ends that phone's
// connection.
//
// Phone to game:
//   {"type":"hello","side":"left"}       the side the phone buzzes for ("left" or "right")
//   {"type":"pong","id":7,"p":1234.5}    answer to ping 7: the phone's clock when it answered
//   {"type":"press","t":98765.4}         a press at the game's time (null: no offset known yet)
// Game to phone:
//   {"type":"welcome","left":"Links","right":"Rechts"}
//   {"type":"ping","id":7}
//   {"type":"sync","offset":-1234.5}     add to the phone's clock to get the game's
//   {"type":"result","outcome":"won"}    "won", "late" or "refused"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

inline constexpr std::size_t kMaxBuzzerMessageBytes = 1024;

struct SHelloMessage {
    int side = 0;  // 0 left, 1 right
};

struct SPongMessage {
    std::uint32_t id = 0;
    double phoneMs = 0;
};

struct SPressMessage {
    std::optional<double> gameMs;  // empty while the phone knows no offset
};

using PhoneMessage = std::variant<SHelloMessage, SPongMessage, SPressMessage>;

// Empty for anything that is not exactly one of the phone's messages.
std::optional<PhoneMessage> ParsePhoneMessage(std::string_view text);

enum class EPressOutcome { Won, Late, Refused };

std::string WelcomeMessage(std::string_view leftName, std::string_view rightName);
std::string PingMessage(std::uint32_t id);
std::string SyncMessage(double offsetMs);
std::string ResultMessage(EPressOutcome outcome);
