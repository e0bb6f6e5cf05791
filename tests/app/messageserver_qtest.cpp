// The message interface over the local socket, end to end: every message and code through the
// client, and malformed streams that must not disturb the running program.
#include "TestGameView.h"

#include "app/LocalMessageServer.h"
#include "app/MessageClient.h"

#include <QDir>
#include <QLocalSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>

#include <future>

namespace {

// The client blocks while it waits, so it runs on its own thread and the GUI thread serves.
std::optional<MessageReply> Ask(const QString& server, const MessageRequest& request)
{
    auto reply = std::async(std::launch::async, [&] { return SendMessageRequest(server, request, 3000); });
    while (reply.wait_for(std::chrono::milliseconds(5)) != std::future_status::ready)
        QCoreApplication::processEvents();
    return reply.get();
}

std::uint32_t Result(const QString& server, const QStringList& command)
{
    const auto request = RequestOfCommand(command);
    if (!request)
        return 0xBADBADu;
    const auto reply = Ask(server, *request);
    return reply ? reply->result : 0xDEADu;
}

QString ReplyText(const QString& server, const QStringList& command)
{
    const auto reply = Ask(server, *RequestOfCommand(command));
    return reply ? QString::fromLatin1(TextOfData(reply->data)) : QStringLiteral("<none>");
}

}  // namespace

class MessageServerTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QVERIFY(UseSettingsFolder(settingsDir_));
        server_ = QStringLiteral("quizmora-test-%1").arg(QCoreApplication::applicationPid());
    }

    void everyMessage()
    {
        Started s = Start({}, server_);
        QVERIFY(s.app->MessageServer());
        CLocalMessageServer second(*s.frame);  // a second instance does not take over the name
        QVERIFY(!second.Listen(server_));
        struct Row {
            QStringList command;
            std::uint32_t result;
        };
        const Row rows[] = {
            {{QStringLiteral("ping")}, 0x12345678u},
            {{QStringLiteral("menuping")}, 0x12345678u},
            {{QStringLiteral("status"), QStringLiteral("0"), QString::fromUtf8("Grüße")}, 0},
            {{QStringLiteral("settext"), QString::fromUtf8("Rätsel")}, 1},
            {{QStringLiteral("raw"), QStringLiteral("0x4A"), QStringLiteral("0"), QStringLiteral("0x27F50007"), QStringLiteral("x")}, 0},
            {{QStringLiteral("compare16"), QDir::current().absoluteFilePath(QStringLiteral("DAS SPIEL"))}, 1},
        };
        for (const Row& row : rows)
            QVERIFY2(Result(server_, row.command) == row.result, qPrintable(row.command.join(QLatin1Char(' '))));

        QCOMPARE(s.frame->StatusText(0), QString::fromUtf8("Grüße"));
        QCOMPARE(ReplyText(server_, {QStringLiteral("gettext")}), QString::fromLatin1("R\xE4tsel"));
        QCOMPARE(Result(server_, {QStringLiteral("settext16"), QString::fromUtf8("Ünïcode")}), 1u);
        QCOMPARE(s.app->MessageServer()->ReceivedText(), std::string("\xDCn\xEF" "code"));

        QCOMPARE(Result(server_, {QStringLiteral("open16"), QStringLiteral("/quiz/Abend")}), 1u);
        QCOMPARE(s.frame->windowTitle(), QStringLiteral("Abend - Quizmora"));
        QCOMPARE(ReplyText(server_, {QStringLiteral("docpath")}), QStringLiteral("/quiz/Abend"));
        QCOMPARE(Result(server_, {QStringLiteral("open"), QStringLiteral("/quiz/Morgen")}), 1u);

        QVERIFY(s.frame->isVisible());
        QCOMPARE(Result(server_, {QStringLiteral("exit")}), 1u);
        QTRY_VERIFY(!s.frame->isVisible());
    }

    void malformedFramesAreDropped()
    {
        Started s = Start({}, server_);
        // Which frames are malformed is the frame reader's; here the server drops the connection.
        {
            QLocalSocket socket;
            socket.connectToServer(server_);
            QVERIFY(socket.waitForConnected(1000));
            socket.write(QByteArray::fromHex("515a4d46" "01000000" "ffffffff"));  // impossible length
            socket.flush();
            QTRY_COMPARE(socket.state(), QLocalSocket::UnconnectedState);
            QCOMPARE(socket.bytesAvailable(), 0);
        }
        // A frame cut short leaves the reader waiting; closing the connection ends it quietly.
        {
            QLocalSocket socket;
            socket.connectToServer(server_);
            QVERIFY(socket.waitForConnected(1000));
            const auto frame = EncodeRequest({Message::MenuPing, 0, 0, {}});
            socket.write(reinterpret_cast<const char*>(frame.data()), 10);
            socket.flush();
            QTest::qWait(50);
        }
        QCOMPARE(Result(server_, {QStringLiteral("ping")}), 0x12345678u);
        QVERIFY(s.frame->isVisible());
    }

    void clientCommandLine()
    {
        QString out;
        QString err;
        QTextStream outStream(&out);
        QTextStream errStream(&err);
        QCOMPARE(RunSendCommand({QStringLiteral("bogus")}, outStream, errStream, server_), 1);
        QCOMPARE(RunSendCommand({QStringLiteral("settext")}, outStream, errStream, server_), 1);
        QCOMPARE(RunSendCommand({QStringLiteral("ping")}, outStream, errStream, server_ + QStringLiteral("-none")), 2);
        QVERIFY(err.contains(QStringLiteral("Aufruf: quizmora --send")));
        QVERIFY(out.isEmpty());
    }

private:
    QTemporaryDir settingsDir_;
    QString server_;
};

QTEST_MAIN(MessageServerTest)
#include "messageserver_qtest.moc"
