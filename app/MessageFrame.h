#pragma once
// The binary frames of the main window's message interface for other programs. A client sends
// request frames over the user's private local socket; the frame answers each with one reply
// frame. All numbers are unsigned 32-bit little-endian.
//
//   frame    := magic:u32 = 0x464D5A51 ("QZMF") | kind:u32 | length:u32 | body[length]
//   request  (kind 1) body := message:u32 | wparam:u32 | code:u32 | data[length - 12]
//   reply    (kind 2) body := result:u32 | data[length - 4]
//
// message is one of the Message constants below; wparam is the message's first parameter; code
// is the copy-data code for Message::CopyData and 0 otherwise; data is the message's text (a
// zero-terminated Windows-1252 or UTF-16LE string, as the code says). length is at most
// kMaxFrameBody. A frame with another magic, kind or an impossible length is malformed: the reader
// stops and the connection is dropped; nothing of the frame is acted on.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

inline constexpr std::uint32_t kFrameMagic = 0x464D5A51u;
inline constexpr std::uint32_t kFrameKindRequest = 1;
inline constexpr std::uint32_t kFrameKindReply = 2;
inline constexpr std::size_t kFrameHeaderSize = 12;
inline constexpr std::size_t kMaxFrameBody = 65536;

namespace Message {
// The registered message "Quizmora" (its number on the old desktop was assigned at run time).
inline constexpr std::uint32_t InstancePing = 0xC000u;
inline constexpr std::uint32_t MenuPing = 0x5E97u;
inline constexpr std::uint32_t MenuItemReset = 0x5E96u;
inline constexpr std::uint32_t SetStatusText = 0x2C3Fu;
inline constexpr std::uint32_t FrameControl = 0x27F5u;
inline constexpr std::uint32_t CopyData = 0x004Au;
// A menu command posted to the window: wparam's low word is its identifier (CommandIds.h).
inline constexpr std::uint32_t Command = 0x0111u;
}  // namespace Message

namespace CopyDataCode {
inline constexpr std::uint32_t OpenDocument = 0x27F50001u;
inline constexpr std::uint32_t SetText = 0x27F50002u;
inline constexpr std::uint32_t ComparePath = 0x27F50003u;
inline constexpr std::uint32_t Utf16 = 0x8000u;
}  // namespace CopyDataCode

inline constexpr std::uint32_t kPingAnswer = 0x12345678u;

struct MessageRequest {
    std::uint32_t message = 0;
    std::uint32_t wparam = 0;
    std::uint32_t code = 0;
    std::vector<std::uint8_t> data;
};

struct MessageReply {
    std::uint32_t result = 0;
    std::vector<std::uint8_t> data;
};

std::vector<std::uint8_t> EncodeRequest(const MessageRequest& request);
std::vector<std::uint8_t> EncodeReply(const MessageReply& reply);

// Collects bytes as they arrive and hands out complete frames of one kind.
class CFrameReader {
public:
    explicit CFrameReader(std::uint32_t expectedKind) : expectedKind_(expectedKind) {}

    // False once the stream has been found malformed; after that every call returns false.
    bool Append(std::span<const std::uint8_t> bytes);
    bool IsMalformed() const { return malformed_; }

    // The next complete request (for a request reader) or reply (for a reply reader).
    std::optional<MessageRequest> NextRequest();
    std::optional<MessageReply> NextReply();

private:
    std::optional<std::vector<std::uint8_t>> NextBody();
    bool CheckHeader();

    std::uint32_t expectedKind_;
    std::vector<std::uint8_t> pending_;
    bool malformed_ = false;
};

// The text of a message's data: the bytes up to the first zero (all of them when there is none).
std::string TextOfData(std::span<const std::uint8_t> data);
// UTF-16LE data turned into Windows-1252: at most half the byte count of characters, ending at
// the first zero, and at most 259 bytes of output.
std::string Utf16DataToCp1252(std::span<const std::uint8_t> data);
// A zero-terminated text as message data.
std::vector<std::uint8_t> DataOfText(const std::string& text);
