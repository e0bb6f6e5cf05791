#pragma once
// Helpers of the phone buzzers' tests: the program with its buzzers on 127.0.0.1, a phone client
// on a real socket, a watch on the GUI thread's step, and requests to the message interface.

#include "tests/game/ViewTestSupport.h"

#include "app/CommandIds.h"
#include "app/LocalMessageServer.h"
#include "app/MessageClient.h"
#include "buzzers/BuzzerControl.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMap>
#include <QTimer>
#include <QWebSocket>

#include <future>

// The program on a puzzle folder with its message interface and its buzzers on 127.0.0.1.
struct CBuzzerProgram : CViewHarness {
    explicit CBuzzerProgram(const QString& puzzlePath, int idleLimitMs = 10000) : CViewHarness(puzzlePath)
    {
        messages.Listen(serverName);
        Buzzers().SetEndpoint(QHostAddress(QHostAddress::LocalHost), 0);
        Buzzers().SetIdleLimit(idleLimitMs);
    }
    CBuzzerControl& Buzzers() { return view->Buzzers(); }
    bool Dispatch(std::uint32_t id) { return app->Commands().Dispatch(id); }
    QUrl SocketUrl(const QString& token) const
    {
        QUrl url(view->BuzzerJoinUrl());
        url.setScheme(QStringLiteral("ws"));
        url.setPath(QStringLiteral("/ws"));
        url.setQuery(QStringLiteral("t=") + token);
        return url;
    }
    QString Token() const { return QUrl(view->BuzzerJoinUrl()).query().mid(2); }

    // A request to the message interface from another thread, as another program sends it,
    // while this thread goes on serving the game.
    std::optional<MessageReply> Send(const MessageRequest& request)
    {
        auto reply = std::async(std::launch::async, [&] { return SendMessageRequest(serverName, request, 5000); });
        while (reply.wait_for(std::chrono::milliseconds(5)) != std::future_status::ready)
            QCoreApplication::processEvents();
        return reply.get();
    }

    const QString serverName = QStringLiteral("quizmora-buzzers-test-%1").arg(QCoreApplication::applicationPid());
    CLocalMessageServer messages{*app->Frame()};
};

// A game with one puzzle, in settings and a puzzle folder of its own, its phone buzzers on loopback.
struct CBuzzerGame {
    explicit CBuzzerGame(int idleLimitMs = 10000) : program(WithOnePuzzle(puzzles), idleLimitMs) {}

    const CConfigSandbox config;
    const CPuzzleFolder puzzles;
    CBuzzerProgram program;

private:
    static QString WithOnePuzzle(const CPuzzleFolder& folder)
    {
        folder.Write(1, "Frage\nAntwort\n");
        return folder.Path();
    }
};

// A phone on a real socket, counting what it receives by type; it answers pings at once with
// its own clock unless told not to.
class CTestPhone {
public:
    explicit CTestPhone(const QUrl& url, bool answerPings = true)
    {
        clock_.start();
        QObject::connect(&socket, &QWebSocket::textMessageReceived, &socket, [this, answerPings](const QString& text) {
            const QJsonObject message = QJsonDocument::fromJson(text.toUtf8()).object();
            const QString type = message.value(QStringLiteral("type")).toString();
            ++received[type];
            if (type == QStringLiteral("ping") && answerPings)
                Send(QStringLiteral(R"({"type":"pong","id":%1,"p":%2})")
                         .arg(message.value(QStringLiteral("id")).toInteger())
                         .arg(Now(), 0, 'f', 3));
            if (type == QStringLiteral("sync"))
                offset = message.value(QStringLiteral("offset")).toDouble();
            if (type == QStringLiteral("result"))
                lastOutcome = message.value(QStringLiteral("outcome")).toString();
        });
        QObject::connect(&socket, &QWebSocket::disconnected, &socket, [this] { closed = true; });
        socket.open(url);
    }
    void Send(const QString& text) { socket.sendTextMessage(text); }
    double Now() const { return static_cast<double>(clock_.nsecsElapsed()) / 1e6 + 12345.0; }
    bool Welcomed() const { return received.value(QStringLiteral("welcome")) == 1; }

    QWebSocket socket;
    QMap<QString, int> received;
    QString lastOutcome;
    std::optional<double> offset;
    bool closed = false;

private:
    QElapsedTimer clock_;
};

// The longest gap between the ticks of a 50 ms timer on the GUI thread: what the game's own
// step timer sees when something blocks the thread.
struct CStepWatch {
    CStepWatch()
    {
        timer.setTimerType(Qt::PreciseTimer);
        QObject::connect(&timer, &QTimer::timeout, &timer, [this] { longestGapMs = std::max(longestGapMs, since.restart()); });
        since.start();
        timer.start(50);
    }
    QTimer timer;
    QElapsedTimer since;
    qint64 longestGapMs = 0;
};
