#include "app/LocalMessageServer.h"

#include <QLocalServer>
#include <QLocalSocket>

#include <memory>

#include <unistd.h>

namespace {

// The reader of each connection lives on the socket as long as the socket does.
class CConnection final : public QObject {
public:
    CConnection(QLocalSocket* socket) : QObject(socket), reader(kFrameKindRequest) {}
    CFrameReader reader;
};

}  // namespace

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
    if (server_->listen(name))
        return true;
    if (server_->serverError() != QAbstractSocket::AddressInUseError)
        return false;
    QLocalSocket probe;
    probe.connectToServer(name);
    if (probe.waitForConnected(500))
        return false;  // another instance is alive and keeps its name
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
        new CConnection(socket);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { ReadFrom(socket); });
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        if (socket->bytesAvailable() > 0)
            ReadFrom(socket);
    }
}

void CLocalMessageServer::ReadFrom(QLocalSocket* socket)
{
    auto* connection = socket->findChild<CConnection*>(QString(), Qt::FindDirectChildrenOnly);
    if (connection == nullptr)
        return;
    const QByteArray bytes = socket->readAll();
    const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.constData());
    if (!connection->reader.Append(std::span(data, static_cast<std::size_t>(bytes.size())))) {
        socket->abort();
        socket->deleteLater();
        return;
    }
    // The socket stays alive while its requests are handled: a request may close the program,
    // but only through a queued command.
    while (auto request = connection->reader.NextRequest()) {
        const std::vector<std::uint8_t> reply = EncodeReply(handler_.Handle(*request));
        socket->write(reinterpret_cast<const char*>(reply.data()), static_cast<qint64>(reply.size()));
    }
    socket->flush();
}
