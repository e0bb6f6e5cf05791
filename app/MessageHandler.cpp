#include "app/MessageHandler.h"

#include "support/Cp1252.h"

#include <filesystem>
#include <vector>

namespace {

// The plain lower-case letter of a Windows-1252 letter; other bytes unchanged.
unsigned char FoldLetter(unsigned char byte)
{
    // 0xC0..0xFF: A-grave .. y-diaeresis; 0 marks bytes that are not accented letters.
    static constexpr char kLatin1Base[64] = {
        'a', 'a', 'a', 'a', 'a', 'a', 0, 'c', 'e', 'e', 'e', 'e', 'i', 'i', 'i', 'i',
        0, 'n', 'o', 'o', 'o', 'o', 'o', 0, 'o', 'u', 'u', 'u', 'u', 'y', 0, 0,
        'a', 'a', 'a', 'a', 'a', 'a', 0, 'c', 'e', 'e', 'e', 'e', 'i', 'i', 'i', 'i',
        0, 'n', 'o', 'o', 'o', 'o', 'o', 0, 'o', 'u', 'u', 'u', 'u', 'y', 0, 'y'};
    if (byte >= 'A' && byte <= 'Z')
        return static_cast<unsigned char>(byte + ('a' - 'A'));
    if (byte == '\\')
        return '/';
    if (byte == 0xD7 || byte == 0xDF || byte == 0xF7)
        return byte;  // multiplication sign, sharp s, division sign
    if (byte >= 0xC0) {
        const char base = kLatin1Base[byte - 0xC0];
        if (base != 0)
            return static_cast<unsigned char>(base);
        return byte >= 0xE0 ? byte : static_cast<unsigned char>(byte + 0x20);
    }
    switch (byte) {
    case 0x8A: case 0x9A: return 's';
    case 0x8E: case 0x9E: return 'z';
    case 0x9F: return 'y';
    case 0x8C: return 0x9C;
    default: return byte;
    }
}

}  // namespace

std::string FullPathName(std::string_view path)
{
    std::string text(path);
    for (char& c : text) {
        if (c == '\\')
            c = '/';
    }
    if (text.empty() || text.front() != '/') {
        std::error_code error;
        const std::string current = std::filesystem::current_path(error).string();
        text = Utf8ToCp1252(current) + "/" + text;
    }
    // Resolve "." and ".." on the bytes so that any Windows-1252 name survives unchanged.
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t end = std::min(text.find('/', start), text.size());
        const std::string part = text.substr(start, end - start);
        if (part == "..") {
            if (!parts.empty())
                parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        start = end + 1;
    }
    std::string full;
    for (const auto& part : parts)
        full += "/" + part;
    if (full.empty() || (text.size() > 1 && text.back() == '/'))
        full += "/";
    return full;
}

bool SamePath(std::string_view a, std::string_view b)
{
    // An empty name has no full form: it equals only another empty name.
    if (a.empty() || b.empty())
        return a.empty() && b.empty();
    const std::string fullA = FullPathName(a);
    const std::string fullB = FullPathName(b);
    if (fullA.size() != fullB.size())
        return false;
    for (std::size_t i = 0; i < fullA.size(); ++i) {
        if (FoldLetter(static_cast<unsigned char>(fullA[i])) != FoldLetter(static_cast<unsigned char>(fullB[i])))
            return false;
    }
    return true;
}

MessageReply CMessageHandler::Handle(const MessageRequest& request)
{
    switch (request.message) {
    case Message::InstancePing:
        return {request.wparam == kPingAnswer ? kPingAnswer : 0u, {}};
    case Message::MenuPing:
        return {kPingAnswer, {}};
    case Message::SetStatusText:
        target_.SetStatusText(request.wparam, TextOfData(request.data));
        return {0, {}};
    case Message::FrameControl:
        return HandleFrameControl(request.wparam);
    case Message::CopyData:
        return HandleCopyData(request.code, request.data);
    case Message::Command:
        return {target_.PostCommand(request.wparam & 0xFFFFu) ? 1u : 0u, {}};
    default:
        return {0, {}};
    }
}

MessageReply CMessageHandler::HandleFrameControl(std::uint32_t wparam)
{
    switch (wparam) {
    case 0:
        return {target_.PostExit() ? 1u : 0u, {}};
    case 2:
        // The document's path as a SetText copy-data would have carried it; a text receiver says 1.
        return {1, DataOfText(target_.DocumentPath())};
    case 4:
        return {1, DataOfText(receivedText_)};
    case 5: {
        const std::string url = target_.JoinUrl();
        return {url.empty() ? 0u : 1u, DataOfText(url)};
    }
    default:
        return {0, {}};
    }
}

MessageReply CMessageHandler::HandleCopyData(std::uint32_t code, std::span<const std::uint8_t> data)
{
    std::string text;
    if (code & CopyDataCode::Utf16) {
        text = Utf16DataToCp1252(data);
        code &= ~CopyDataCode::Utf16;
    } else {
        text = TextOfData(data);
    }
    switch (code) {
    case CopyDataCode::OpenDocument:
        return {target_.OpenDocument(text) ? 1u : 0u, {}};
    case CopyDataCode::SetText:
        receivedText_ = text;
        return {1, {}};
    case CopyDataCode::ComparePath:
        return {SamePath(target_.DocumentPath(), text) ? 1u : 0u, {}};
    default:
        return {0, {}};
    }
}
