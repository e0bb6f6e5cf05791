#include "app/MessageClient.h"

#include "support/Cp1252.h"

#include <QLocalSocket>
#include <QTextStream>

namespace {

std::vector<std::uint8_t> Cp1252Data(const QString& text)
{
    return DataOfText(Utf16ToCp1252(text.toStdU16String()));
}

std::vector<std::uint8_t> Utf16Data(const QString& text)
{
    std::vector<std::uint8_t> data;
    for (const QChar unit : text) {
        data.push_back(static_cast<std::uint8_t>(unit.unicode() & 0xFF));
        data.push_back(static_cast<std::uint8_t>(unit.unicode() >> 8));
    }
    data.push_back(0);
    data.push_back(0);
    return data;
}

std::optional<std::uint32_t> Number(const QString& text)
{
    bool ok = false;
    const qulonglong value = text.toULongLong(&ok, 0);
    if (!ok || value > 0xFFFFFFFFull)
        return std::nullopt;
    return static_cast<std::uint32_t>(value);
}

}  // namespace

std::optional<MessageReply> SendMessageRequest(const QString& serverName, const MessageRequest& request,
                                               int timeoutMs)
{
    QLocalSocket socket;
    socket.connectToServer(serverName);
    if (!socket.waitForConnected(timeoutMs))
        return std::nullopt;
    const std::vector<std::uint8_t> frame = EncodeRequest(request);
    socket.write(reinterpret_cast<const char*>(frame.data()), static_cast<qint64>(frame.size()));
    if (!socket.waitForBytesWritten(timeoutMs))
        return std::nullopt;
    CFrameReader reader(kFrameKindReply);
    while (socket.waitForReadyRead(timeoutMs)) {
        const QByteArray bytes = socket.readAll();
        const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.constData());
        if (!reader.Append(std::span(data, static_cast<std::size_t>(bytes.size()))))
            return std::nullopt;
        if (auto reply = reader.NextReply())
            return reply;
    }
    return std::nullopt;
}

std::optional<MessageRequest> RequestOfCommand(const QStringList& arguments)
{
    if (arguments.isEmpty())
        return std::nullopt;
    const QString command = arguments.front().toLower();
    const QString argument = arguments.size() > 1 ? arguments[1] : QString();
    const bool hasArgument = arguments.size() > 1;
    using namespace CopyDataCode;
    if (command == QStringLiteral("ping"))
        return MessageRequest{Message::InstancePing, kPingAnswer, 0, {}};
    if (command == QStringLiteral("menuping"))
        return MessageRequest{Message::MenuPing, 0, 0, {}};
    if (command == QStringLiteral("exit"))
        return MessageRequest{Message::FrameControl, 0, 0, {}};
    if (command == QStringLiteral("gettext"))
        return MessageRequest{Message::FrameControl, 4, 0, {}};
    if (command == QStringLiteral("join-url"))
        return MessageRequest{Message::FrameControl, 5, 0, {}};
    if (command == QStringLiteral("docpath"))
        return MessageRequest{Message::FrameControl, 2, 0, {}};
    if (command == QStringLiteral("status") && arguments.size() > 2) {
        const auto pane = Number(arguments[1]);
        if (!pane)
            return std::nullopt;
        return MessageRequest{Message::SetStatusText, *pane, 0, Cp1252Data(arguments[2])};
    }
    if (!hasArgument && command != QStringLiteral("raw"))
        return std::nullopt;
    if (command == QStringLiteral("settext"))
        return MessageRequest{Message::CopyData, 0, SetText, Cp1252Data(argument)};
    if (command == QStringLiteral("settext16"))
        return MessageRequest{Message::CopyData, 0, SetText | Utf16, Utf16Data(argument)};
    if (command == QStringLiteral("open"))
        return MessageRequest{Message::CopyData, 0, OpenDocument, Cp1252Data(argument)};
    if (command == QStringLiteral("open16"))
        return MessageRequest{Message::CopyData, 0, OpenDocument | Utf16, Utf16Data(argument)};
    if (command == QStringLiteral("compare"))
        return MessageRequest{Message::CopyData, 0, ComparePath, Cp1252Data(argument)};
    if (command == QStringLiteral("compare16"))
        return MessageRequest{Message::CopyData, 0, ComparePath | Utf16, Utf16Data(argument)};
    if (command == QStringLiteral("raw") && arguments.size() >= 3) {
        const auto message = Number(arguments[1]);
        const auto wparam = Number(arguments[2]);
        const auto code = arguments.size() > 3 ? Number(arguments[3]) : std::optional<std::uint32_t>(0);
        if (!message || !wparam || !code)
            return std::nullopt;
        return MessageRequest{*message, *wparam, *code,
                              arguments.size() > 4 ? Cp1252Data(arguments[4]) : std::vector<std::uint8_t>{}};
    }
    return std::nullopt;
}

int RunSendCommand(const QStringList& arguments, QTextStream& out, QTextStream& err, const QString& serverName)
{
    const auto request = RequestOfCommand(arguments);
    if (!request) {
        err << "Aufruf: quizmora --send ping | menuping | exit | gettext | docpath | join-url | status PANE TEXT |"
               " settext[16] TEXT | open[16] PATH | compare[16] PATH | raw MESSAGE WPARAM [CODE [TEXT]]\n";
        return 1;
    }
    const auto reply = SendMessageRequest(serverName, *request);
    if (!reply) {
        err << QString::fromUtf8("Quizmora läuft nicht oder antwortet nicht.\n");
        return 2;
    }
    if (arguments.front().toLower() == QStringLiteral("join-url")) {
        // Just the address, for scripts and for pasting into a browser.
        if (reply->result == 0) {
            err << QString::fromUtf8("Die Handy-Buzzer sind ausgeschaltet.\n");
            return 3;
        }
        out << QString::fromStdU16String(Cp1252ToUtf16(TextOfData(reply->data))) << '\n';
        return 0;
    }
    out << "0x" << QString::number(reply->result, 16).rightJustified(8, QLatin1Char('0'));
    if (!reply->data.empty())
        out << ' ' << QString::fromStdU16String(Cp1252ToUtf16(TextOfData(reply->data)));
    out << '\n';
    return 0;
}
