#include "buzzers/GuardedTcpServer.h"

#include <QTcpSocket>
#include <QTimer>

CGuardedTcpServer::CGuardedTcpServer(QObject* parent) : QTcpServer(parent)
{
}

void CGuardedTcpServer::incomingConnection(qintptr descriptor)
{
    auto* socket = new QTcpSocket(this);
    if (!socket->setSocketDescriptor(descriptor) || open_ >= kMaxConnections) {
        socket->abort();
        socket->deleteLater();
        return;
    }
    ++open_;
    // The HTTP server disconnects every signal of a socket it hands to the WebSocket side, so
    // the count and the watchdog hang on children of the socket, which go only with it.
    auto* lifetime = new QObject(socket);
    connect(lifetime, &QObject::destroyed, this, [this] { --open_; });
    // This connection is cut when the socket becomes a phone's: the watchdog then leaves it be,
    // and its bytes are no longer counted here. It runs before the HTTP server reads, so each
    // call sees the bytes that arrived since the last.
    auto received = std::make_shared<qint64>(0);
    const auto stillHttp = std::make_shared<QMetaObject::Connection>(
        connect(socket, &QTcpSocket::readyRead, lifetime, [socket, received] {
            *received += socket->bytesAvailable();
            if (*received > kMaxRequestBytes)
                socket->abort();
        }));
    auto* watchdog = new QTimer(socket);
    watchdog->setSingleShot(true);
    connect(watchdog, &QTimer::timeout, socket, [socket, stillHttp] {
        if (*stillHttp)
            socket->abort();
    });
    watchdog->start(idleLimitMs_);
    addPendingConnection(socket);
}
