#pragma once
// The phone buzzers' switch: off until the quiz master turns them on. Each switch-on makes a new
// join token, listens on the chosen address and port, shows the join code in its own window and
// the address in the status bar; switching off closes every phone and stops listening.

#include "buzzers/BuzzerServer.h"
#include "buzzers/JoinCodeWindow.h"

#include <QHostAddress>
#include <QObject>
#include <QPointer>
#include <QString>

#include <memory>
#include <optional>

class IBuzzerGame;
class QLabel;
class QWidget;

class CBuzzerControl final : public QObject {
    Q_OBJECT
public:
    static constexpr quint16 kDefaultPort = 8123;
    static constexpr int kDefaultWindowMs = 100;
    static constexpr int kMaxWindowMs = 1000;

    // frame: the main window whose status bar shows the state and which owns the code window;
    // may be null (then neither shows).
    CBuzzerControl(IBuzzerGame& game, QWidget* frame, QObject* parent = nullptr);
    ~CBuzzerControl() override;

    // The address to listen on and announce (null: the first non-loopback IPv4 address) and the
    // port (0: any free one), used by every later switch-on.
    void SetEndpoint(const QHostAddress& address, quint16 port);
    // How long a connection may stay without becoming a phone's socket (from the next switch-on).
    void SetIdleLimit(int milliseconds) { idleLimitMs_ = milliseconds; }

    // False, after a "Fehler" box unless `quiet`, when the port cannot be listened on.
    bool SwitchOn(bool quiet = false);
    void SwitchOff();
    void Toggle() { IsOn() ? SwitchOff() : static_cast<void>(SwitchOn()); }
    bool IsOn() const { return server_ != nullptr; }

    // "http://ADDR:PORT/?t=TOKEN" while on, empty while off.
    QString JoinUrl() const { return joinUrl_; }
    // The winner's lead in the last decision with a rival; "Vorsprung: 23 ms".
    std::optional<double> Margin() const { return margin_; }
    QString MarginText() const;
    CBuzzerServer* Server() const { return server_.get(); }
    CJoinCodeWindow* CodeWindow() const { return codeWindow_; }

signals:
    void SwitchedOn(bool on);
    void MarginChanged(const QString& text);

private:
    void ShowState();

    IBuzzerGame& game_;
    QPointer<QWidget> frame_;
    QHostAddress address_;
    quint16 port_ = kDefaultPort;
    int idleLimitMs_ = SBuzzerServerOptions().idleLimitMs;
    std::unique_ptr<CBuzzerServer> server_;
    QString joinUrl_;
    std::optional<double> margin_;
    QPointer<CJoinCodeWindow> codeWindow_;
    QPointer<QLabel> statePane_;
    QPointer<QLabel> marginPane_;
};

// The decision window of the settings ("BuzzerWindow", ms), 100 unless set; 0 means arrival order.
int BuzzerWindowSetting();
