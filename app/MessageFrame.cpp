#include "app/MessageFrame.h"

#include "support/Cp1252.h"

#include <algorithm>

namespace {

void PutU32(std::vector<std::uint8_t>& out, std::uint32_t value)
{
    for (int shift = 0; shift < 32; shift += 8)
        out.push_back(static_cast<std::uint8_t>(value >> shift));
}

std::uint32_t GetU32(std::span<const std::uint8_t> bytes, std::size_t at)
{
    return static_cast<std::uint32_t>(bytes[at]) | static_cast<std::uint32_t>(bytes[at + 1]) << 8 |
           static_cast<std::uint32_t>(bytes[at + 2]) << 16 | static_cast<std::uint32_t>(bytes[at + 3]) << 24;
}

std::vector<std::uint8_t> Frame(std::uint32_t kind, std::span<const std::uint8_t> fixed,
                                std::span<const std::uint8_t> data)
{
    const std::size_t dataSize = std::min(data.size(), kMaxFrameBody - fixed.size());
    std::vector<std::uint8_t> out;
    out.reserve(kFrameHeaderSize + fixed.size() + dataSize);
    PutU32(out, kFrameMagic);
    PutU32(out, kind);
    PutU32(out, static_cast<std::uint32_t>(fixed.size() + dataSize));
    out.insert(out.end(), fixed.begin(), fixed.end());
    out.insert(out.end(), data.begin(), data.begin() + static_cast<std::ptrdiff_t>(dataSize));
    return out;
}

std::size_t MinimumBody(std::uint32_t kind)
{
    return kind == kFrameKindRequest ? 12 : 4;
}

}  // namespace

std::vector<std::uint8_t> EncodeRequest(const MessageRequest& request)
{
    std::vector<std::uint8_t> fixed;
    PutU32(fixed, request.message);
    PutU32(fixed, request.wparam);
    PutU32(fixed, request.code);
    return Frame(kFrameKindRequest, fixed, request.data);
}

std::vector<std::uint8_t> EncodeReply(const MessageReply& reply)
{
    std::vector<std::uint8_t> fixed;
    PutU32(fixed, reply.result);
    return Frame(kFrameKindReply, fixed, reply.data);
}

bool CFrameReader::Append(std::span<const std::uint8_t> bytes)
{
    if (malformed_)
        return false;
    // Never hold more than one frame and the start of the next: a sender that does not wait for
    // the replies cannot make us grow without bound.
    const std::size_t limit = 2 * (kFrameHeaderSize + kMaxFrameBody);
    if (pending_.size() + bytes.size() > limit) {
        malformed_ = true;
        pending_.clear();
        return false;
    }
    pending_.insert(pending_.end(), bytes.begin(), bytes.end());
    return CheckHeader();
}

bool CFrameReader::CheckHeader()
{
    if (pending_.size() < kFrameHeaderSize)
        return !malformed_;
    const std::uint32_t length = GetU32(pending_, 8);
    if (GetU32(pending_, 0) != kFrameMagic || GetU32(pending_, 4) != expectedKind_ || length > kMaxFrameBody ||
        length < MinimumBody(expectedKind_)) {
        malformed_ = true;
        pending_.clear();
    }
    return !malformed_;
}

std::optional<std::vector<std::uint8_t>> CFrameReader::NextBody()
{
    if (malformed_ || !CheckHeader() || pending_.size() < kFrameHeaderSize)
        return std::nullopt;
    const std::size_t length = GetU32(pending_, 8);
    if (pending_.size() < kFrameHeaderSize + length)
        return std::nullopt;
    const auto bodyStart = pending_.begin() + kFrameHeaderSize;
    std::vector<std::uint8_t> body(bodyStart, bodyStart + static_cast<std::ptrdiff_t>(length));
    pending_.erase(pending_.begin(), bodyStart + static_cast<std::ptrdiff_t>(length));
    CheckHeader();
    return body;
}

std::optional<MessageRequest> CFrameReader::NextRequest()
{
    if (expectedKind_ != kFrameKindRequest)
        return std::nullopt;
    auto body = NextBody();
    if (!body)
        return std::nullopt;
    MessageRequest request;
    request.message = GetU32(*body, 0);
    request.wparam = GetU32(*body, 4);
    request.code = GetU32(*body, 8);
    request.data.assign(body->begin() + 12, body->end());
    return request;
}

std::optional<MessageReply> CFrameReader::NextReply()
{
    if (expectedKind_ != kFrameKindReply)
        return std::nullopt;
    auto body = NextBody();
    if (!body)
        return std::nullopt;
    MessageReply reply;
    reply.result = GetU32(*body, 0);
    reply.data.assign(body->begin() + 4, body->end());
    return reply;
}

std::string TextOfData(std::span<const std::uint8_t> data)
{
    const auto end = std::find(data.begin(), data.end(), std::uint8_t{0});
    return std::string(data.begin(), end);
}

std::string Utf16DataToCp1252(std::span<const std::uint8_t> data)
{
    constexpr std::size_t kMaxOutput = 259;
    std::u16string units;
    for (std::size_t at = 0; at + 1 < data.size(); at += 2) {
        const char16_t unit = static_cast<char16_t>(data[at] | data[at + 1] << 8);
        if (unit == 0)
            break;
        units.push_back(unit);
    }
    std::string text = Utf16ToCp1252(units);
    if (text.size() > kMaxOutput)
        text.resize(kMaxOutput);
    return text;
}

std::vector<std::uint8_t> DataOfText(const std::string& text)
{
    std::vector<std::uint8_t> data(text.begin(), text.end());
    data.push_back(0);
    return data;
}
