#include "app/LocalMessageServer.h"

#include <QLocalServer>
#include <QLocalSocket>

#include <memory>

#include <unistd.h>

CLocalMessageServer::CLocalMessageServer(IMessageTarget& target, QObject* parent)
    : QObject(parent)
    , handler_(target)
    , server_(new QLocalServer(this))
{
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    connect(server_, &QLocalServer::newConnection, this, &CLocalMessageServer::AcceptConnections);
}

CLocalMessageServer::~CLocalMessageServer() = default;

QString CLocalMessageServer::DefaultName()
{
    return QStringLiteral("Quizmora-%1").arg(static_cast<qulonglong>(::getuid()));
}

bool CLocalMessageServer::Listen(const QString& name)
{
    // Listening would replace the socket of a running instance, so ask first whether one answers.
    QLocalSocket probe;
    probe.connectToServer(name);
    if (probe.waitForConnected(200))
        return false;
    if (server_->listen(name))
        return true;
    if (server_->serverError() != QAbstractSocket::AddressInUseError)
        return false;
    // Left behind by an instance that ended without cleaning up.
    QLocalServer::removeServer(name);
    return server_->listen(name);
}

QString CLocalMessageServer::FullServerName() const
{
    return server_->fullServerName();
}

void CLocalMessageServer::AcceptConnections()
{
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
        // The connection's reader lives as long as the socket's signal connection does.
        auto reader = std::make_shared<CFrameReader>(kFrameKindRequest);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket, reader] { ReadFrom(socket, *reader); });
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        if (socket->bytesAvailable() > 0)
            ReadFrom(socket, *reader);
    }
}

void CLocalMessageServer::ReadFrom(QLocalSocket* socket, CFrameReader& reader)
{
    const QByteArray bytes = socket->readAll();
    const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.constData());
    if (!reader.Append(std::span(data, static_cast<std::size_t>(bytes.size())))) {
        socket->abort();
        socket->deleteLater();
        return;
    }
    // The socket stays alive while its requests are handled: a request may close the program,
    // but only through a queued command.
    while (auto request = reader.NextRequest()) {
        const std::vector<std::uint8_t> reply = EncodeReply(handler_.Handle(*request));
        socket->write(reinterpret_cast<const char*>(reply.data()), static_cast<qint64>(reply.size()));
    }
    socket->flush();
}
