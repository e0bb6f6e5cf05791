// Any byte stream through the remote's line buffer and button handling. The stream is fed twice,
// in varying pieces and byte by byte: the game actions must not depend on how the bytes arrived,
// and the buffer must never fill up while it waits for more.

#include "remote/RemoteLine.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string_view>
#include <vector>

namespace {

class CRecorder final : public IRemoteHost {
public:
    void StopPlayer(int player) override
    {
        if (player != 0 && player != 1)
            std::abort();
        actions.push_back(-1 - player);
    }
    void PostCommand(int commandId) override
    {
        if (commandId == 0)
            std::abort();
        actions.push_back(commandId);
    }
    void RemoteStateChanged(std::string_view) override {}

    std::vector<int> actions;
};

// Lines come 37 ms apart, so repeated presses meet the debounce now and then.
class CLineClock final : public CTickSource {
public:
    std::uint32_t Now() const override { return now_ += 37; }

private:
    mutable std::uint32_t now_ = 0x7FFFFF00u;
};

std::vector<int> Run(const std::uint8_t* data, std::size_t size, std::uint32_t pieceSeed)
{
    CRecorder host;
    CLineClock clock;
    CRemoteLineBuffer buffer;
    CRemoteButtons buttons(host, clock);
    std::size_t at = 0;
    while (at < size) {
        std::size_t piece = 1;
        if (pieceSeed != 0) {
            pieceSeed = pieceSeed * 214013u + 2531011u;
            piece = 1 + ((pieceSeed >> 16) % 40);
        }
        const auto space = buffer.FreeSpace();
        if (space.empty())
            std::abort();  // the reader would wait forever
        const std::size_t n = std::min({piece, space.size(), size - at});
        std::memcpy(space.data(), data + at, n);
        buffer.Commit(n);
        at += n;
        SRemoteLine line;
        for (;;) {
            const auto step = buffer.Next(line);
            if (buffer.Count() > CRemoteLineBuffer::kCapacity)
                std::abort();
            if (step == CRemoteLineBuffer::EStep::NeedMore)
                break;
            if (step == CRemoteLineBuffer::EStep::Line)
                buttons.Handle(line);
        }
    }
    return host.actions;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    const std::uint32_t seed = data[0] | 1u;
    const auto inPieces = Run(data + 1, size - 1, seed);
    const auto byteByByte = Run(data + 1, size - 1, 0);
    if (inPieces != byteByByte)
        std::abort();
    return 0;
}
