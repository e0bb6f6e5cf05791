#include "remote/RemoteLine.h"

#include "RemoteTestSupport.h"
#include "support/TickCount.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

namespace {

// Lines as the remote sends them, with the game actions they cause.
const struct {
    const char* name;
    std::vector<std::string> pieces;
    std::vector<std::string> actions;
} kLineCases[] = {
    {"buzzer 1 with LF", {"1D12345678\n"}, {"stop 1"}},
    {"release and status lines do nothing", {"0U00000000\r0S00000000\r"}, {}},
    {"CR LF acts once, the next line is read", {"2D0000ABCD\r\n3D00000000\r"}, {"command 32809", "command 32813"}},
    {"every button's action",
     {"0D00000000\r1D00000000\r2D00000000\r3D00000000\r4D00000000\r5D00000000\r6D00000000\r7D00000000\r"},
     {"stop 0", "stop 1", "command 32809", "command 32813", "command 33036", "command 33034", "command 33037",
      "command 33035"}},
    {"a line in three pieces", {"3D00", "00000", "0\r"}, {"command 32813"}},
    {"terminator arriving alone", {"4D00000000", "\r"}, {"command 33036"}},
    {"junk before a line", {"xx4D00000000\r"}, {"command 33036"}},
    {"junk longer than the buffer", {std::string(70, 'x') + "5D00000000\r"}, {"command 33034"}},
    {"hex digit not followed by a letter", {"1A0D00000000\r"}, {"stop 0"}},
    {"nine digits, then a good line", {"5D123456789\r6D00000000\r"}, {"command 33037"}},
    {"an over-long line loses 11 bytes, then framing restarts", {"5D000000D000D00000000\r"}, {"stop 0"}},
    {"seven digits, then a good line", {"5D1234567\r6D00000000\r"}, {"command 33037"}},
    {"bad terminator, then a good line", {"5D12345678X7D00000000\r"}, {"command 33035"}},
    {"a missing terminator takes the next line along", {"5D123456787D00000000\r0D00000000\r"}, {"stop 0"}},
    {"buttons 8, 9, A to F and a do nothing", {"8D00000000\r9D00000000\rAD00000000\rFD00000000\raD00000000\r"}, {}},
    {"lower-case payload digits", {"7Dabcdef09\r"}, {"command 33035"}},
    {"lower-case event letter is junk", {"0d00000000\r"}, {}},
    {"zero bytes around a line", {std::string("\0\0", 2) + "0D00000000\r" + std::string("\0", 1)}, {"stop 0"}},
    {"letter arriving after junk and a digit", {"zz0", "D00000000\r"}, {"stop 0"}},
    {"non-hex inside the digits", {"2D0000G000\r3D00000000\r"}, {"command 32813"}},
};

// Feeds the bytes as the reader does, in pieces of at most `piece` bytes: as much as fits, then
// every decision the buffer can take. Lines come a second apart, out of each other's debounce.
std::vector<std::string> Actions(const std::vector<std::string>& pieces, std::size_t piece)
{
    CRecordingHost host;
    CManualTicks ticks;
    CRemoteLineBuffer buffer;
    CRemoteButtons buttons(host, ticks);
    for (std::string_view bytes : pieces) {
        while (!bytes.empty()) {
            const auto space = buffer.FreeSpace();
            EXPECT_FALSE(space.empty()) << "a full buffer waits for more input";
            const auto n = std::min({space.size(), bytes.size(), piece});
            std::memcpy(space.data(), bytes.data(), n);
            buffer.Commit(n);
            bytes.remove_prefix(n);
            SRemoteLine line;
            for (CRemoteLineBuffer::EStep step; (step = buffer.Next(line)) != CRemoteLineBuffer::EStep::NeedMore;)
                if (step == CRemoteLineBuffer::EStep::Line) {
                    ticks.Advance(1000);
                    buttons.Handle(line);
                }
        }
    }
    return host.Calls();
}

TEST(RemoteLineBuffer, LinesAsPiecesAndByteByByte)
{
    for (const auto& c : kLineCases) {
        EXPECT_EQ(Actions(c.pieces, SIZE_MAX), c.actions) << c.name;
        EXPECT_EQ(Actions(c.pieces, 1), c.actions) << c.name << ", byte by byte";
    }
}

TEST(RemoteButtons, Debounce)
{
    const struct {
        const char* name;
        std::vector<std::pair<std::uint32_t, char>> presses;  // time, button
        std::vector<std::string> actions;
    } cases[] = {
        {"exactly 100 ms", {{5000, '5'}, {5100, '5'}}, {"command 33034"}},
        {"101 ms", {{5000, '5'}, {5101, '5'}}, {"command 33034", "command 33034"}},
        {"an ignored press does not extend the window", {{5000, '5'}, {5080, '5'}, {5160, '5'}},
         {"command 33034", "command 33034"}},
        {"clock earlier than the last press", {{5000, '5'}, {4000, '5'}}, {"command 33034", "command 33034"}},
        {"across the counter's wrap", {{0xFFFFFFF0u, '5'}, {0x20, '5'}}, {"command 33034"}},
        {"first press soon after the counter starts", {{50, '5'}}, {"command 33034"}},
        {"other buttons are separate", {{5000, '5'}, {5030, '6'}, {5060, '5'}, {5150, '5'}, {5150, '6'}},
         {"command 33034", "command 33037", "command 33034", "command 33037"}},
        {"buzzers too", {{5000, '0'}, {5050, '0'}, {5050, '1'}}, {"stop 0", "stop 1"}},
    };
    for (const auto& c : cases) {
        CRecordingHost host;
        CManualTicks ticks;
        CRemoteButtons buttons(host, ticks);
        for (const auto& [time, button] : c.presses) {
            ticks.Set(time);
            buttons.Handle({button, 'D'});
            buttons.Handle({button, 'U'});  // releases never act
        }
        EXPECT_EQ(host.Calls(), c.actions) << c.name;
    }
}

}  // namespace
