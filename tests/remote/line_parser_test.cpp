#include "remote/RemoteLine.h"

#include "RemoteLineCases.h"
#include "RemoteTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

namespace {

// Feeds the bytes as the reader does, in pieces of at most `piece` bytes: as much as fits, then
// every decision the buffer can take.
std::vector<std::string> Actions(const std::vector<std::string>& pieces, std::size_t piece)
{
    CRecordingHost host;
    CSecondPerReading ticks;
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
                if (step == CRemoteLineBuffer::EStep::Line)
                    buttons.Handle(line);
        }
    }
    return host.Actions();
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
        {"60 ms apart", {{5000, '5'}, {5060, '5'}}, {"command 33034"}},
        {"150 ms apart", {{5000, '5'}, {5150, '5'}}, {"command 33034", "command 33034"}},
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
        EXPECT_EQ(host.Actions(), c.actions) << c.name;
    }
}

}  // namespace
