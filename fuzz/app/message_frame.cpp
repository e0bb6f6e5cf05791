// Bytes from another program's socket: the frame reader and the message handling must take any
// stream without harm.
#include "app/MessageFrame.h"
#include "app/MessageHandler.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace {

class NullTarget final : public IMessageTarget {
public:
    bool PostExit() override { return true; }
    bool SetStatusText(std::uint32_t pane, const std::string&) override { return pane < 4; }
    std::string DocumentPath() const override { return path_; }
    bool OpenDocument(const std::string& path) override
    {
        path_ = path;
        return true;
    }

private:
    std::string path_ = "/tmp/Das Spiel";
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    NullTarget target;
    CMessageHandler handler(target);
    CFrameReader reader(kFrameKindRequest);
    // Feed in uneven pieces, the way a socket delivers them.
    std::span<const std::uint8_t> rest(data, size);
    std::size_t piece = 1;
    while (!rest.empty() && reader.Append(rest.first(std::min(piece, rest.size())))) {
        rest = rest.subspan(std::min(piece, rest.size()));
        piece = piece * 3 + 1;
        while (auto request = reader.NextRequest())
            (void)EncodeReply(handler.Handle(*request));
    }
    CFrameReader replies(kFrameKindReply);
    if (replies.Append(std::span(data, size))) {
        while (auto reply = replies.NextReply())
            (void)TextOfData(reply->data);
    }
    return 0;
}
