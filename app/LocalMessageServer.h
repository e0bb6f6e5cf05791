#pragma once
// The main window's interface for other programs of the same user: a local socket that only
// this user may open, named after the program and the user. Each connection carries request
// frames (MessageFrame.h) and gets one reply frame per request; a malformed stream ends its
// connection and nothing else.

#include "app/MessageHandler.h"

#include <QObject>
#include <QString>

class QLocalServer;
class QLocalSocket;

class CLocalMessageServer final : public QObject {
    Q_OBJECT
public:
    explicit CLocalMessageServer(IMessageTarget& target, QObject* parent = nullptr);
    ~CLocalMessageServer() override;

    // "Quizmora-<user id>", or another name for tests.
    static QString DefaultName();
    // Starts listening; a name left behind by a crashed instance is taken over, a name that a
    // running instance answers on is not.
    bool Listen(const QString& name = DefaultName());
    QString FullServerName() const;

    const std::string& ReceivedText() const { return handler_.ReceivedText(); }

private:
    void AcceptConnections();
    void ReadFrom(QLocalSocket* socket, CFrameReader& reader);

    CMessageHandler handler_;
    QLocalServer* server_;
};
