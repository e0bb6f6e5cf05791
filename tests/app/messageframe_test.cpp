#include "app/MessageFrame.h"
#include "app/MessageHandler.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace {

class FakeTarget final : public IMessageTarget {
public:
    bool PostExit() override { ++exits; return true; }
    bool SetStatusText(std::uint32_t pane, const std::string& text) override
    {
        statusPane = pane;
        statusText = text;
        return pane < 4;
    }
    std::string DocumentPath() const override { return documentPath; }
    bool OpenDocument(const std::string& path) override
    {
        documentPath = FullPathName(path);
        return hasView;
    }

    int exits = 0;
    std::uint32_t statusPane = 99;
    std::string statusText;
    std::string documentPath;
    bool hasView = true;
};

// The text and its terminator as little-endian UTF-16 bytes.
std::vector<std::uint8_t> Utf16Data(const std::u16string& text)
{
    std::vector<std::uint8_t> data;
    for (const char16_t unit : text + u'\0')
        data.insert(data.end(), {static_cast<std::uint8_t>(unit & 0xFF), static_cast<std::uint8_t>(unit >> 8)});
    return data;
}

MessageRequest CopyData(std::uint32_t code, std::vector<std::uint8_t> data)
{
    return {Message::CopyData, 0, code, std::move(data)};
}

TEST(MessageFrame, RequestRoundTripsInPieces)
{
    const MessageRequest sent{Message::CopyData, 7, CopyDataCode::SetText, DataOfText("Hallo")};
    const auto bytes = EncodeRequest(sent);
    ASSERT_EQ(bytes.size(), kFrameHeaderSize + 12 + 6);

    CFrameReader reader(kFrameKindRequest);
    // Byte by byte, then the same frame twice in one piece.
    for (std::uint8_t byte : bytes) {
        EXPECT_FALSE(reader.NextRequest().has_value());
        ASSERT_TRUE(reader.Append(std::span(&byte, 1)));
    }
    std::vector<std::uint8_t> twice = bytes;
    twice.insert(twice.end(), bytes.begin(), bytes.end());
    ASSERT_TRUE(reader.Append(twice));
    for (int i = 0; i < 3; ++i) {
        const auto got = reader.NextRequest();
        ASSERT_TRUE(got.has_value());
        EXPECT_EQ(got->message, sent.message);
        EXPECT_EQ(got->wparam, 7u);
        EXPECT_EQ(got->code, sent.code);
        EXPECT_EQ(got->data, sent.data);
    }
    EXPECT_FALSE(reader.NextRequest().has_value());
}

TEST(MessageFrame, MalformedStreamsAreDropped)
{
    const auto good = EncodeRequest({Message::MenuPing, 0, 0, {}});
    const auto changed = [&good](std::size_t at, std::uint8_t value) {
        auto bytes = good;
        bytes[at] = value;
        return bytes;
    };
    const struct { const char* name; std::vector<std::uint8_t> bytes; } cases[] = {
        {"bad magic", changed(0, good[0] ^ 1)},
        {"reply where a request belongs", EncodeReply({1, {}})},
        {"huge length", changed(10, 0x10)},    // far above the limit
        {"body too short", changed(8, 4)},     // shorter than the fixed request fields
    };
    for (const auto& c : cases) {
        CFrameReader reader(kFrameKindRequest);
        EXPECT_FALSE(reader.Append(c.bytes)) << c.name;
        EXPECT_TRUE(reader.IsMalformed()) << c.name;
        EXPECT_FALSE(reader.NextRequest().has_value()) << c.name;
        EXPECT_FALSE(reader.Append(good)) << c.name;
    }
}

TEST(MessageHandler, PingsAndUnknownMessages)
{
    FakeTarget target;
    CMessageHandler handler(target);
    struct Case {
        const char* name;
        MessageRequest request;
        std::uint32_t result;
    };
    const Case cases[] = {
        {"instance ping with key", {Message::InstancePing, kPingAnswer, 0, {}}, kPingAnswer},
        {"instance ping with 0", {Message::InstancePing, 0, 0, {}}, 0},
        {"menu ping", {Message::MenuPing, 5, 0, {}}, kPingAnswer},
        {"unknown frame control", {Message::FrameControl, 1, 0, {}}, 0},
        {"unknown message", {0x1234, 0, 0, {}}, 0},
        {"unknown copy-data code", CopyData(0x27F50009, DataOfText("x")), 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(handler.Handle(c.request).result, c.result) << c.name;
    EXPECT_EQ(target.exits, 0);
}

TEST(MessageHandler, ExitStatusAndTextsUpTo259Bytes)
{
    FakeTarget target;
    CMessageHandler handler(target);
    EXPECT_EQ(handler.Handle({Message::FrameControl, 0, 0, {}}).result, 1u);
    EXPECT_EQ(target.exits, 1);

    EXPECT_EQ(handler.Handle({Message::SetStatusText, 2, 0, DataOfText("NUM?")}).result, 0u);
    EXPECT_EQ(target.statusPane, 2u);
    EXPECT_EQ(target.statusText, "NUM?");

    EXPECT_EQ(handler.Handle(CopyData(CopyDataCode::SetText, DataOfText("R\xE4tsel"))).result, 1u);
    EXPECT_EQ(handler.ReceivedText(), "R\xE4tsel");
    const auto stored = handler.Handle({Message::FrameControl, 4, 0, {}});
    EXPECT_EQ(TextOfData(stored.data), "R\xE4tsel");

    EXPECT_EQ(handler.Handle(CopyData(CopyDataCode::SetText | CopyDataCode::Utf16, Utf16Data(u"Gr\u00FC\u00DFe"))).result, 1u);
    EXPECT_EQ(handler.ReceivedText(), "Gr\xFC\xDF" "e");
    // UTF-16 texts are cut to 259 bytes.
    handler.Handle(CopyData(CopyDataCode::SetText | CopyDataCode::Utf16, Utf16Data(std::u16string(400, u'a'))));
    EXPECT_EQ(handler.ReceivedText().size(), 259u);
    // An odd byte count keeps only whole characters.
    std::vector<std::uint8_t> odd = {'A', 0, 'B'};
    handler.Handle(CopyData(CopyDataCode::SetText | CopyDataCode::Utf16, odd));
    EXPECT_EQ(handler.ReceivedText(), "A");
}

TEST(MessageHandler, OpenAndComparePath)
{
    FakeTarget target;
    CMessageHandler handler(target);
    EXPECT_EQ(handler.Handle(CopyData(CopyDataCode::ComparePath, DataOfText("/quiz/a"))).result, 0u);

    EXPECT_EQ(handler.Handle(CopyData(CopyDataCode::OpenDocument, DataOfText("/Quiz/R\xC4tsel/Spiel"))).result, 1u);
    const auto sent = handler.Handle({Message::FrameControl, 2, 0, {}});
    EXPECT_EQ(TextOfData(sent.data), "/Quiz/R\xC4tsel/Spiel");

    struct Case {
        const char* name;
        std::string path;
        std::uint32_t equal;
    };
    const Case cases[] = {
        {"same", "/Quiz/R\xC4tsel/Spiel", 1},
        {"other case", "/QUIZ/r\xE4TSEL/spiel", 1},
        {"accent folded", "/quiz/ratsel/spiel", 1},
        {"backslashes", "\\quiz\\r\xE4tsel\\spiel", 1},
        {"dot dot", "/quiz/x/../r\xE4tsel/./spiel", 1},
        {"other name", "/quiz/raetsel/spiel", 0},
        {"prefix only", "/quiz/r\xE4tsel", 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(handler.Handle(CopyData(CopyDataCode::ComparePath, DataOfText(c.path))).result, c.equal) << c.name;

    // Without a view the open fails; relative paths are taken from the current folder.
    target.hasView = false;
    EXPECT_EQ(handler.Handle(CopyData(CopyDataCode::OpenDocument, DataOfText("Das Spiel"))).result, 0u);
    const std::string current = std::filesystem::current_path().string();
    EXPECT_EQ(target.documentPath, current + "/Das Spiel");
    EXPECT_TRUE(SamePath("Das Spiel", current + "/das spiel"));
    EXPECT_EQ(FullPathName("/a/../../b/"), "/b/");
}

}  // namespace
