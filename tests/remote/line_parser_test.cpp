#include "remote/RemoteLine.h"

#include "RemoteLineCases.h"
#include "RemoteTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

namespace {

// Feeds the pieces as the reader does: as much as fits, then every decision the buffer can take.
void Feed(CRemoteLineBuffer& buffer, CRemoteButtons& buttons, std::string_view bytes)
{
    auto drain = [&] {
        SRemoteLine line;
        for (;;) {
            const auto step = buffer.Next(line);
            if (step == CRemoteLineBuffer::EStep::NeedMore)
                return;
            if (step == CRemoteLineBuffer::EStep::Line)
                buttons.Handle(line);
        }
    };
    while (!bytes.empty()) {
        const auto space = buffer.FreeSpace();
        ASSERT_FALSE(space.empty()) << "a full buffer waits for more input";
        const auto n = std::min(space.size(), bytes.size());
        std::memcpy(space.data(), bytes.data(), n);
        buffer.Commit(n);
        bytes.remove_prefix(n);
        drain();
    }
}

std::vector<std::string> Actions(const std::vector<std::string>& pieces, bool byteByByte)
{
    CRecordingHost host;
    CSecondPerReading ticks;
    CRemoteLineBuffer buffer;
    CRemoteButtons buttons(host, ticks);
    for (const auto& piece : pieces) {
        if (byteByByte)
            for (char c : piece)
                Feed(buffer, buttons, std::string_view(&c, 1));
        else
            Feed(buffer, buttons, piece);
    }
    return host.Actions();
}

TEST(RemoteLineBuffer, LinesAsPieces)
{
    for (const auto& c : kLineCases)
        EXPECT_EQ(Actions(c.pieces, false), c.actions) << c.name;
}

TEST(RemoteLineBuffer, LinesByteByByte)
{
    for (const auto& c : kLineCases)
        EXPECT_EQ(Actions(c.pieces, true), c.actions) << c.name;
}

TEST(RemoteLineBuffer, PartialLineWaitsWithoutConsuming)
{
    CRemoteLineBuffer buffer;
    const std::string_view partial = "junk3D0000";
    std::memcpy(buffer.FreeSpace().data(), partial.data(), partial.size());
    buffer.Commit(partial.size());
    SRemoteLine line;
    EXPECT_EQ(buffer.Next(line), CRemoteLineBuffer::EStep::NeedMore);
    EXPECT_EQ(buffer.Count(), 6u);  // the junk is gone, the line start stays
}

// Presses of one button at the given times; returns how many acted.
int AcceptedPresses(std::initializer_list<std::uint32_t> times, std::uint32_t firstPressButton = 5)
{
    CRecordingHost host;
    CManualTicks ticks;
    CRemoteButtons buttons(host, ticks);
    for (const auto t : times) {
        ticks.Set(t);
        buttons.Handle({static_cast<char>('0' + firstPressButton), 'D'});
    }
    return static_cast<int>(host.Actions().size());
}

TEST(RemoteButtons, Debounce)
{
    const struct {
        const char* name;
        std::initializer_list<std::uint32_t> times;
        int accepted;
    } cases[] = {
        {"60 ms apart", {5000, 5060}, 1},
        {"150 ms apart", {5000, 5150}, 2},
        {"exactly 100 ms", {5000, 5100}, 1},
        {"101 ms", {5000, 5101}, 2},
        {"an ignored press does not extend the window", {5000, 5080, 5160}, 2},
        {"clock earlier than the last press", {5000, 4000}, 2},
        {"across the counter's wrap", {0xFFFFFFF0u, 0x20}, 1},
        {"first press soon after the counter starts", {50}, 1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(AcceptedPresses(c.times), c.accepted) << c.name;
}

TEST(RemoteButtons, OtherButtonsAreNotDebouncedTogether)
{
    CRecordingHost host;
    CManualTicks ticks(5000);
    CRemoteButtons buttons(host, ticks);
    buttons.Handle({'5', 'D'});
    ticks.Advance(30);
    buttons.Handle({'6', 'D'});
    ticks.Advance(30);
    buttons.Handle({'5', 'D'});  // 60 ms after the first: bounce
    buttons.Handle({'5', 'U'});  // releases never act
    ticks.Advance(90);
    buttons.Handle({'5', 'D'});  // 150 ms after the first
    buttons.Handle({'6', 'D'});  // 120 ms after the other 6
    EXPECT_EQ(host.Actions(),
              (std::vector<std::string>{"command 33034", "command 33037", "command 33034", "command 33037"}));
}

}  // namespace
