#pragma once
// The phones' server: one page and one socket endpoint on one port, both behind the join token.
// It runs on the GUI thread; every event is bounded (a message is at most 1 KB, a phone at most
// 50 messages a second, at most 64 phones), so the game's 50 ms step keeps its pace, and the
// serial remote has its own thread anyway.

#include "buzzers/BuzzerReferee.h"

#include <QElapsedTimer>
#include <QHostAddress>
#include <QObject>
#include <QPointer>
#include <QTimer>

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>

class CBuzzerPhone;
class CGuardedTcpServer;
class QHttpServer;
class QHttpServerRequest;
class QHttpServerResponse;

struct SBuzzerServerOptions {
    QHostAddress address = QHostAddress(QHostAddress::LocalHost);
    quint16 port = 0;  // 0: any free port
    std::string token;
    double windowMs = 100;
    QString leftName = QStringLiteral("Links");
    QString rightName = QStringLiteral("Rechts");
    int idleLimitMs = 10000;  // for connections that do not become a phone's socket
};

class CBuzzerServer final : public QObject {
    Q_OBJECT
public:
    static constexpr int kMaxPhones = 64;

    explicit CBuzzerServer(IBuzzerGame& game, QObject* parent = nullptr);
    ~CBuzzerServer() override;

    // False when the address and port cannot be listened on.
    bool Listen(const SBuzzerServerOptions& options);
    quint16 Port() const;

    // The decision window from now on (ms; 0: arrival order).
    void SetWindow(double windowMs) { referee_.SetWindow(windowMs); }

    int PhoneCount() const { return static_cast<int>(phones_.size()); }
    std::optional<double> LastMargin() const { return referee_.LastMargin(); }
    // The game's clock that the phones are fitted to, in ms.
    double NowMs() const { return static_cast<double>(clock_.nsecsElapsed()) / 1e6; }
    const CBuzzerPhone* Phone(std::uint32_t id) const;

signals:
    void PhonesChanged(int count);
    // After each decision: the winner's lead, or known = false without a rival in the window.
    void Decided(double marginMs, bool known);

private:
    QHttpServerResponse Page(const QHttpServerRequest& request) const;
    void AcceptSockets();
    void OnPress(CBuzzerPhone& phone, double arrivalMs, std::optional<double> stampMs);
    void OnDeadline();
    void Reply(std::uint32_t phone, EPressOutcome outcome);

    SBuzzerServerOptions options_;
    QElapsedTimer clock_;
    CBuzzerReferee referee_;
    std::unique_ptr<QHttpServer> http_;
    QPointer<CGuardedTcpServer> tcp_;
    std::map<std::uint32_t, CBuzzerPhone*> phones_;  // children of this object
    std::uint32_t nextPhoneId_ = 1;
    QTimer deadline_;
    std::string welcome_;
};
