#include "buzzers/BuzzerPhone.h"

#include <QWebSocket>

#include <cmath>

CBuzzerPhone::CBuzzerPhone(std::uint32_t id, std::unique_ptr<QWebSocket> socket, Hooks hooks, std::string welcome,
                           QObject* parent)
    : QObject(parent)
    , id_(id)
    , socket_(std::move(socket))
    , hooks_(std::move(hooks))
    , connectedMs_(hooks_.now())
{
    connect(socket_.get(), &QWebSocket::textMessageReceived, this, &CBuzzerPhone::OnText);
    connect(socket_.get(), &QWebSocket::binaryMessageReceived, this,
            [this] { Close(QWebSocketProtocol::CloseCodeDatatypeNotSupported, QStringLiteral("nur Text")); });
    connect(socket_.get(), &QWebSocket::disconnected, this, &CBuzzerPhone::OnGone);
    connect(&timer_, &QTimer::timeout, this, &CBuzzerPhone::OnTimer);
    timer_.start(kPingPeriodMs);
    Send(welcome);
}

CBuzzerPhone::~CBuzzerPhone()
{
    if (socket_)
        socket_->disconnect(this);
}

void CBuzzerPhone::Send(const std::string& text)
{
    if (!gone_)
        socket_->sendTextMessage(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
}

void CBuzzerPhone::Close(int closeCode, const QString& reason)
{
    if (gone_)
        return;
    timer_.stop();
    socket_->close(static_cast<QWebSocketProtocol::CloseCode>(closeCode), reason);
    // A peer that never acknowledges the close frame is cut off.
    QTimer::singleShot(2000, this, [this] { socket_->abort(); });
}

void CBuzzerPhone::OnText(const QString& text)
{
    const double now = hooks_.now();
    if (gone_)
        return;
    if (!rate_.Admit(now)) {
        Close(QWebSocketProtocol::CloseCodePolicyViolated, QStringLiteral("zu viele Nachrichten"));
        return;
    }
    const QByteArray bytes = text.toUtf8();
    const auto message = ParsePhoneMessage(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
    if (!message) {
        Close(QWebSocketProtocol::CloseCodeProtocolError, QStringLiteral("unbekannte Nachricht"));
        return;
    }
    if (const auto* hello = std::get_if<SHelloMessage>(&*message)) {
        if (side_ >= 0) {
            Close(QWebSocketProtocol::CloseCodeProtocolError, QStringLiteral("Seite schon gewählt"));
            return;
        }
        side_ = hello->side;
        SendPing();
    } else if (const auto* pong = std::get_if<SPongMessage>(&*message)) {
        OnPong(*pong, now);
    } else if (side_ < 0) {
        Close(QWebSocketProtocol::CloseCodeProtocolError, QStringLiteral("keine Seite gewählt"));
    } else {
        const auto& press = std::get<SPressMessage>(*message);
        // A stamp counts only once the game has told the phone its offset.
        hooks_.press(*this, now, sentOffset_ ? press.gameMs : std::nullopt);
    }
}

void CBuzzerPhone::OnPong(const SPongMessage& pong, double nowMs)
{
    if (!pingSentMs_ || pong.id != pingId_)
        return;  // an answer to nothing asked: harmless, not counted
    fit_.Add({*pingSentMs_, pong.phoneMs, nowMs});
    pingSentMs_.reset();
    if (const auto offset = fit_.Offset()) {
        if (!sentOffset_ || std::abs(*sentOffset_ - *offset) >= 0.25) {
            sentOffset_ = offset;
            Send(SyncMessage(*offset));
        }
    }
    if (fit_.Count() < CClockFit::kNeeded)
        SendPing();  // the join exchanges follow each other at once
}

void CBuzzerPhone::SendPing()
{
    ++pingId_;
    pingSentMs_ = hooks_.now();
    Send(PingMessage(pingId_));
}

void CBuzzerPhone::OnTimer()
{
    const double now = hooks_.now();
    if (side_ < 0) {
        if (now - connectedMs_ > kAnswerLimitMs)
            Close(QWebSocketProtocol::CloseCodeGoingAway, QStringLiteral("keine Seite gewählt"));
        return;
    }
    if (pingSentMs_) {
        if (now - *pingSentMs_ > kAnswerLimitMs)
            Close(QWebSocketProtocol::CloseCodeGoingAway, QStringLiteral("keine Antwort"));
        return;
    }
    SendPing();
}

void CBuzzerPhone::OnGone()
{
    if (gone_)
        return;
    gone_ = true;
    timer_.stop();
    hooks_.closed(*this);
}
