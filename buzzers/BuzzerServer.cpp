#include "buzzers/BuzzerServer.h"

#include "buzzers/BuzzerPhone.h"
#include "buzzers/BuzzerToken.h"
#include "buzzers/GuardedTcpServer.h"
#include "support/Resources.h"

#include <QHttpServer>
#include <QHttpServerRequest>
#include <QHttpServerResponder>
#include <QHttpServerResponse>
#include <QUrlQuery>
#include <QWebSocket>

#include <cmath>

namespace {

constexpr char kRefusedPage[] =
    "<!DOCTYPE html><html lang=\"de\"><head><meta charset=\"utf-8\">"
    "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\"><title>Zugang verweigert</title></head>"
    "<body style=\"font-family:sans-serif;font-size:1.5em\"><h1>Zugang verweigert</h1>"
    "<p>Dieser Link ist nicht (mehr) gültig. Bitte den QR-Code am Bildschirm neu scannen.</p></body></html>";

std::string_view TokenOf(const QUrlQuery& query, QByteArray& storage)
{
    storage = query.queryItemValue(QStringLiteral("t"), QUrl::FullyDecoded).toUtf8();
    return {storage.constData(), static_cast<std::size_t>(storage.size())};
}

QHttpServerResponse WithPrivateHeaders(QHttpServerResponse response)
{
    // The address holds the token: no caching, and no telling other sites where one came from.
    response.setHeader(QByteArrayLiteral("Cache-Control"), QByteArrayLiteral("no-store"));
    response.setHeader(QByteArrayLiteral("Referrer-Policy"), QByteArrayLiteral("no-referrer"));
    response.setHeader(QByteArrayLiteral("X-Content-Type-Options"), QByteArrayLiteral("nosniff"));
    return response;
}

// Closes a socket that is not to become a phone; it goes once the close is done or overdue.
void Refuse(std::unique_ptr<QWebSocket> socket, QWebSocketProtocol::CloseCode code, const QString& reason)
{
    QWebSocket* refused = socket.release();
    QObject::connect(refused, &QWebSocket::disconnected, refused, &QObject::deleteLater);
    refused->close(code, reason);
    QTimer::singleShot(2000, refused, [refused] {
        refused->abort();
        refused->deleteLater();
    });
}

}  // namespace

CBuzzerServer::CBuzzerServer(IBuzzerGame& game, QObject* parent)
    : QObject(parent)
    , referee_(game, [this](std::uint32_t phone, EPressOutcome outcome) { Reply(phone, outcome); })
{
    clock_.start();
    deadline_.setSingleShot(true);
    deadline_.setTimerType(Qt::PreciseTimer);
    connect(&deadline_, &QTimer::timeout, this, &CBuzzerServer::OnDeadline);
}

CBuzzerServer::~CBuzzerServer()
{
    // The phones go with this object; their sockets must not report back into a half-gone one.
    for (auto& [id, phone] : phones_)
        delete phone;
    phones_.clear();
}

bool CBuzzerServer::Listen(const SBuzzerServerOptions& options)
{
    options_ = options;
    referee_.SetWindow(options.windowMs);
    welcome_ = WelcomeMessage(options.leftName.toStdString(), options.rightName.toStdString());
    auto* tcp = new CGuardedTcpServer(this);
    tcp->SetIdleLimit(options.idleLimitMs);
    if (!tcp->listen(options.address, options.port)) {
        delete tcp;
        return false;
    }
    tcp_ = tcp;
    http_ = std::make_unique<QHttpServer>();
    http_->route(QStringLiteral("/"), [this](const QHttpServerRequest& request) { return Page(request); });
    // The socket's handshake passes this route first: a stranger is refused here with a 403,
    // before any WebSocket exists; a request left unanswered here becomes a phone's socket.
    http_->route(QStringLiteral("/ws"), [this](const QHttpServerRequest& request, QHttpServerResponder&& responder) {
        QByteArray token;
        const bool upgrade = request.value(QByteArrayLiteral("upgrade")).compare("websocket", Qt::CaseInsensitive) == 0;
        if (upgrade && BuzzerTokenMatches(options_.token, TokenOf(request.query(), token)) && PhoneCount() < kMaxPhones)
            return;
        responder.write(QByteArray(kRefusedPage), QByteArrayLiteral("text/html; charset=utf-8"),
                        upgrade ? QHttpServerResponder::StatusCode::Forbidden : QHttpServerResponder::StatusCode::BadRequest);
        responder.socket()->disconnectFromHost();
    });
    connect(http_.get(), &QAbstractHttpServer::newWebSocketConnection, this, &CBuzzerServer::AcceptSockets);
    http_->bind(tcp);
    return true;
}

quint16 CBuzzerServer::Port() const
{
    return tcp_ ? tcp_->serverPort() : 0;
}

const CBuzzerPhone* CBuzzerServer::Phone(std::uint32_t id) const
{
    const auto found = phones_.find(id);
    return found == phones_.end() ? nullptr : found->second;
}

QHttpServerResponse CBuzzerServer::Page(const QHttpServerRequest& request) const
{
    QByteArray token;
    if (!BuzzerTokenMatches(options_.token, TokenOf(request.query(), token)))
        return WithPrivateHeaders(QHttpServerResponse(QByteArrayLiteral("text/html; charset=utf-8"),
                                                      QByteArray(kRefusedPage),
                                                      QHttpServerResponse::StatusCode::Forbidden));
    const auto page = FindResource("HTML", "BUZZER");
    return WithPrivateHeaders(
        QHttpServerResponse(QByteArrayLiteral("text/html; charset=utf-8"),
                            QByteArray(reinterpret_cast<const char*>(page.data()), static_cast<qsizetype>(page.size()))));
}

void CBuzzerServer::AcceptSockets()
{
    while (http_->hasPendingWebSocketConnections()) {
        std::unique_ptr<QWebSocket> socket = http_->nextPendingWebSocketConnection();
        if (!socket)
            break;
        socket->setMaxAllowedIncomingFrameSize(kMaxBuzzerMessageBytes);
        socket->setMaxAllowedIncomingMessageSize(kMaxBuzzerMessageBytes);
        const QUrl url = socket->requestUrl();
        QByteArray token;
        if (url.path() != QStringLiteral("/ws") || !BuzzerTokenMatches(options_.token, TokenOf(QUrlQuery(url), token))) {
            Refuse(std::move(socket), QWebSocketProtocol::CloseCodePolicyViolated, QStringLiteral("Zugang verweigert"));
            continue;
        }
        if (PhoneCount() >= kMaxPhones) {
            Refuse(std::move(socket), QWebSocketProtocol::CloseCodePolicyViolated, QStringLiteral("zu viele Handys"));
            continue;
        }
        const std::uint32_t id = nextPhoneId_++;
        CBuzzerPhone::Hooks hooks;
        hooks.now = [this] { return NowMs(); };
        hooks.press = [this](CBuzzerPhone& phone, double arrivalMs, std::optional<double> stampMs) {
            OnPress(phone, arrivalMs, stampMs);
        };
        hooks.closed = [this](CBuzzerPhone& phone) {
            phones_.erase(phone.Id());
            phone.deleteLater();
            emit PhonesChanged(PhoneCount());
        };
        phones_[id] = new CBuzzerPhone(id, std::move(socket), std::move(hooks), welcome_, this);
        emit PhonesChanged(PhoneCount());
    }
}

void CBuzzerServer::OnPress(CBuzzerPhone& phone, double arrivalMs, std::optional<double> stampMs)
{
    const std::uint64_t decisions = referee_.Decisions();
    const auto deadline = referee_.Press({phone.Id(), phone.Side(), arrivalMs, stampMs});
    if (deadline)
        deadline_.start(static_cast<int>(std::max(0.0, *deadline - NowMs())));  // a fraction of a ms early does no harm
    else if (referee_.Decisions() != decisions)  // a window of 0 decides at once
        emit Decided(referee_.LastMargin().value_or(0), referee_.LastMargin().has_value());
}

void CBuzzerServer::OnDeadline()
{
    if (!referee_.WindowOpen())
        return;
    referee_.Decide();
    emit Decided(referee_.LastMargin().value_or(0), referee_.LastMargin().has_value());
}

void CBuzzerServer::Reply(std::uint32_t phone, EPressOutcome outcome)
{
    const auto found = phones_.find(phone);
    if (found != phones_.end())
        found->second->Send(ResultMessage(outcome));
}
