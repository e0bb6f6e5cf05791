#pragma once
// The listening socket under the buzzer server. It bounds what strangers can hold: at most
// kMaxConnections open connections, and a connection that has not become a phone's socket is
// closed after the idle limit whatever it sends (a page load takes milliseconds; a connection
// that sends half a request and waits would otherwise stay forever), and one that sends more than
// kMaxRequestBytes before becoming a phone's socket is cut off (the page and the socket's
// handshake take well under 2 KB; a stranger's endless request body would fill the memory).

#include <QTcpServer>

class CGuardedTcpServer final : public QTcpServer {
    Q_OBJECT
public:
    static constexpr int kMaxConnections = 160;  // 64 phones and their page loads, with room
    static constexpr int kDefaultIdleLimitMs = 10000;
    static constexpr qint64 kMaxRequestBytes = 16 * 1024;

    explicit CGuardedTcpServer(QObject* parent = nullptr);

    void SetIdleLimit(int milliseconds) { idleLimitMs_ = milliseconds; }
    int OpenConnections() const { return open_; }

protected:
    void incomingConnection(qintptr descriptor) override;

private:
    int open_ = 0;
    int idleLimitMs_ = kDefaultIdleLimitMs;
};
