// The phone buzzers on real sockets on 127.0.0.1: the switch, the token, a phone's press through
// the game's stop, and strangers and misbehaving phones, each refused or closed while the game
// keeps its step and its message interface answers.
#include "BuzzerTestSupport.h"

#include "buzzers/JoinCodeWindow.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QProcess>
#include <QStandardPaths>
#include <QTcpSocket>

#include <memory>

namespace {

int HttpStatus(const QUrl& url)
{
    QNetworkAccessManager network;
    std::unique_ptr<QNetworkReply> reply(network.get(QNetworkRequest(url)));
    if (!QTest::qWaitFor([&] { return reply->isFinished(); }, 5000))
        return -1;
    return reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
}

const MessageRequest kPing{Message::InstancePing, kPingAnswer, 0, {}};
const MessageRequest kJoinUrl{Message::FrameControl, 5, 0, {}};

}  // namespace

class BuzzerServerTest : public QObject {
    Q_OBJECT

private slots:
    void switchedOnAndOffWithAFreshTokenEachTime()
    {
        CBuzzerGame game;
        CBuzzerProgram& program = game.program;
        QVERIFY(program.Ready());
        QCOMPARE(program.app->Commands().IsChecked(CommandId::PhoneBuzzers), std::optional(false));
        QCOMPARE(program.Send(kJoinUrl)->result, 0u);

        QVERIFY(program.Dispatch(CommandId::PhoneBuzzers));
        QCOMPARE(program.app->Commands().IsChecked(CommandId::PhoneBuzzers), std::optional(true));
        const QString url = program.view->BuzzerJoinUrl();
        QVERIFY(url.startsWith(QStringLiteral("http://127.0.0.1:")));
        QCOMPARE(program.Token().size(), 32);
        const auto reply = program.Send(kJoinUrl);
        QCOMPARE(QString::fromStdString(TextOfData(reply->data)), url);
        QCOMPARE(HttpStatus(QUrl(url)), 200);
        // The join code reads back as the address.
        const QString zbar = QStandardPaths::findExecutable(QStringLiteral("zbarimg"));
        if (!zbar.isEmpty()) {
            const QTemporaryDir folder;
            const QString png = folder.path() + QStringLiteral("/code.png");
            QVERIFY(JoinCodeImage(url, 4).save(png));
            QProcess reader;
            reader.start(zbar, {QStringLiteral("--raw"), QStringLiteral("-q"), png});
            QVERIFY(reader.waitForFinished(10000));
            QCOMPARE(QString::fromUtf8(reader.readAllStandardOutput()).trimmed(), url);
        }

        QVERIFY(program.Dispatch(CommandId::PhoneBuzzers));
        QCOMPARE(program.app->Commands().IsChecked(CommandId::PhoneBuzzers), std::optional(false));
        QVERIFY(program.view->BuzzerJoinUrl().isEmpty());
        QCOMPARE(HttpStatus(QUrl(url)), 0);  // nothing listens
        QVERIFY(program.Dispatch(CommandId::PhoneBuzzers));
        QUrl oldToken(program.view->BuzzerJoinUrl());
        QVERIFY(oldToken.query() != QUrl(url).query());
        oldToken.setQuery(QUrl(url).query());
        QCOMPARE(HttpStatus(oldToken), 403);
    }

    void aPhonePressStopsItsSideOnlyWhileAPuzzleRuns()
    {
        CBuzzerGame game;
        CBuzzerProgram& program = game.program;
        QVERIFY(program.Ready());
        QVERIFY(program.Buzzers().SwitchOn(true));
        CTestPhone phone(program.SocketUrl(program.Token()));
        QTRY_VERIFY(phone.Welcomed());
        phone.Send(QStringLiteral(R"({"type":"hello","side":"right"})"));
        QTRY_VERIFY(phone.offset.has_value());  // eight exchanges fitted the clock
        QVERIFY(phone.received.value(QStringLiteral("ping")) >= 8);
        QVERIFY(std::abs(*phone.offset - (program.Buzzers().Server()->NowMs() - phone.Now())) < 20);

        phone.Send(QStringLiteral(R"({"type":"press","t":null})"));
        QTRY_COMPARE(phone.lastOutcome, QStringLiteral("refused"));  // no puzzle yet
        QCOMPARE(program.State().Stopped[1].load(), 0);

        QTest::qWait(120);  // past the side's debounce
        QVERIFY(program.Dispatch(CommandId::NextPuzzle));
        phone.Send(QStringLiteral(R"({"type":"press","t":%1})").arg(phone.Now() + *phone.offset, 0, 'f', 3));
        QTRY_COMPARE(phone.lastOutcome, QStringLiteral("won"));
        QCOMPARE(program.State().Stopped[1].load(), 1);
        QCOMPARE(program.State().Stopped[0].load(), 0);
        QCOMPARE(program.sound.Names().back(), std::string("CLING2"));
    }

    void strangersAndMisbehavingPhonesAreRefusedOrClosed()
    {
        CBuzzerGame game(1000);
        CBuzzerProgram& program = game.program;
        QVERIFY(program.Ready());
        QVERIFY(program.Buzzers().SwitchOn(true));
        const CStepWatch step;
        const QString token = program.Token();
        QString wrong = token;
        wrong[0] = wrong[0] == QLatin1Char('a') ? QLatin1Char('b') : QLatin1Char('a');
        CTestPhone good(program.SocketUrl(token));
        QTRY_VERIFY(good.Welcomed());
        good.Send(QStringLiteral(R"({"type":"hello","side":"left"})"));

        QUrl page(program.view->BuzzerJoinUrl());
        QCOMPARE(HttpStatus(page.adjusted(QUrl::RemoveQuery)), 403);
        page.setQuery(QStringLiteral("t=") + wrong);
        QCOMPARE(HttpStatus(page), 403);

        struct SHostile {
            const char* name;
            QUrl url;
            QString send;  // sent once connected
        };
        const QString huge = QString(1 << 20, QLatin1Char('x'));
        const SHostile hostiles[] = {
            {"no token", program.SocketUrl({}), {}},
            {"wrong token", program.SocketUrl(wrong), {}},
            {"1 MB frame", program.SocketUrl(token), huge},
            {"malformed", program.SocketUrl(token), QStringLiteral(R"({"type":"stop","side":"left"})")},
            {"press before a side", program.SocketUrl(token), QStringLiteral(R"({"type":"press","t":null})")},
            {"two sides", program.SocketUrl(token), QStringLiteral(R"({"type":"hello","side":"left"})")},
        };
        std::vector<std::unique_ptr<CTestPhone>> phones;
        for (const SHostile& hostile : hostiles) {
            phones.push_back(std::make_unique<CTestPhone>(hostile.url));
            CTestPhone& phone = *phones.back();
            phone.socket.setOutgoingFrameSize(2 << 20);  // the whole megabyte in one frame
            if (!hostile.send.isEmpty()) {
                QTRY_VERIFY(phone.Welcomed());
                for (int i = QByteArray(hostile.name) == "two sides" ? 0 : 1; i < 2; ++i)
                    phone.Send(hostile.send);
            }
            QTRY_VERIFY2(phone.closed, hostile.name);
            QVERIFY2(!hostile.send.isEmpty() || phone.received.isEmpty(), hostile.name);
        }

        // A thousand frames a second: closed once it passes fifty within a second.
        CTestPhone flood(program.SocketUrl(token), false);
        QTRY_VERIFY(flood.Welcomed());
        QElapsedTimer floodTime;
        floodTime.start();
        for (int sent = 0; sent < 1000 && !flood.closed; sent += 10) {
            for (int i = 0; i < 10; ++i)
                flood.Send(QStringLiteral(R"({"type":"pong","id":0,"p":1})"));
            QTest::qWait(10);
        }
        QTRY_VERIFY(flood.closed);
        QVERIFY(floodTime.elapsed() < 900);

        // Half a request, then silence: cut off after the idle limit.
        QTcpSocket halfOpen;
        halfOpen.connectToHost(QHostAddress::LocalHost, page.port());
        QVERIFY(halfOpen.waitForConnected(2000));
        halfOpen.write("GET /?t=" + token.toLatin1() + " HTTP/1.1\r\nHost: 127.0.0.1\r\n");
        QTRY_COMPARE_WITH_TIMEOUT(halfOpen.state(), QAbstractSocket::UnconnectedState, 5000);
        // An endless request body: cut off long before the memory fills.
        QTcpSocket endless;
        QElapsedTimer endlessTime;
        endlessTime.start();
        endless.connectToHost(QHostAddress::LocalHost, page.port());
        QVERIFY(endless.waitForConnected(2000));
        endless.write("POST / HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Length: 100000000\r\n\r\n");
        for (int i = 0; i < 64 && endless.state() == QAbstractSocket::ConnectedState; ++i) {
            endless.write(QByteArray(4096, 'x'));
            QTest::qWait(5);
        }
        QTRY_COMPARE_WITH_TIMEOUT(endless.state(), QAbstractSocket::UnconnectedState, 500);
        QVERIFY(endlessTime.elapsed() < 800);  // well before the idle limit

        // 64 phones at most: the good one and 63 more stay, the 65th is refused.
        phones.clear();
        for (int i = 0; i < 64; ++i)
            phones.push_back(std::make_unique<CTestPhone>(program.SocketUrl(token)));
        QTRY_VERIFY(std::count_if(phones.begin(), phones.end(), [](const auto& p) { return p->closed; }) == 1);
        QTRY_COMPARE(program.Buzzers().Server()->PhoneCount(), 64);

        // The game kept its step, answers other programs, and the good phone still buzzes after
        // its socket outlived the idle limit of plain connections.
        QCOMPARE(program.Send(kPing)->result, kPingAnswer);
        QVERIFY2(step.longestGapMs < 400, qPrintable(QString::number(step.longestGapMs)));
        QVERIFY(!good.closed);
        QVERIFY(program.Dispatch(CommandId::NextPuzzle));
        good.Send(QStringLiteral(R"({"type":"press","t":null})"));
        QTRY_COMPARE(good.lastOutcome, QStringLiteral("won"));
        QCOMPARE(program.State().Stopped[0].load(), 1);

        // Switching off closes every phone.
        QVERIFY(program.Dispatch(CommandId::PhoneBuzzers));
        QTRY_VERIFY(good.closed);
        QTRY_VERIFY(std::all_of(phones.begin(), phones.end(), [](const auto& p) { return p->closed; }));
    }
};

QTEST_MAIN(BuzzerServerTest)
#include "server_qtest.moc"
