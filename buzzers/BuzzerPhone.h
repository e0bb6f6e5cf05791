#pragma once
// One phone's socket: checks and rate-limits what it sends, fits its clock with pings (eight
// right after it picked its side, then one every few seconds) and hands its presses on. A phone
// that breaks a rule, or stops answering, is closed; the others never notice.

#include "buzzers/BuzzerMessage.h"
#include "buzzers/ClockFit.h"
#include "buzzers/RateLimit.h"

#include <QObject>
#include <QTimer>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

class QWebSocket;

class CBuzzerPhone final : public QObject {
    Q_OBJECT
public:
    static constexpr int kPingPeriodMs = 3000;
    static constexpr double kAnswerLimitMs = 10000;  // for the side choice and for each ping

    struct Hooks {
        std::function<double()> now;  // the game's clock in ms
        // A press, with the time it arrived; stamp is set when the phone's clock is fitted.
        std::function<void(CBuzzerPhone& phone, double arrivalMs, std::optional<double> stampMs)> press;
        std::function<void(CBuzzerPhone& phone)> closed;  // once, after the socket has gone
    };

    CBuzzerPhone(std::uint32_t id, std::unique_ptr<QWebSocket> socket, Hooks hooks, std::string welcome,
                 QObject* parent = nullptr);
    ~CBuzzerPhone() override;

    std::uint32_t Id() const { return id_; }
    int Side() const { return side_; }  // -1 until the phone has picked one
    const CClockFit& Fit() const { return fit_; }

    void Send(const std::string& text);
    // Ends the connection with a close frame, then drops it.
    void Close(int closeCode, const QString& reason);

private:
    void OnText(const QString& text);
    void OnPong(const SPongMessage& pong, double nowMs);
    void SendPing();
    void OnTimer();
    void OnGone();

    std::uint32_t id_;
    std::unique_ptr<QWebSocket> socket_;
    Hooks hooks_;
    int side_ = -1;
    CRateLimit rate_;
    CClockFit fit_;
    std::uint32_t pingId_ = 0;
    std::optional<double> pingSentMs_;  // the one ping awaiting its answer
    std::optional<double> sentOffset_;
    double connectedMs_ = 0;
    QTimer timer_;
    bool gone_ = false;
};
