// The phone buzzers in a real browser: headless Chromium (driven by browser_driver.py) opens the
// join address, picks a side and presses, against the program with its buzzers on 127.0.0.1.
#include "BuzzerTestSupport.h"

#include "game/GameColours.h"

#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

namespace {

// The driver process: one command a line in, one answer a line out.
class CBrowser {
public:
    CBrowser()
    {
        const QString python = QFileInfo::exists(QStringLiteral("/usr/bin/python3"))
                                   ? QStringLiteral("/usr/bin/python3")
                                   : QStandardPaths::findExecutable(QStringLiteral("python3"));
        process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process_.start(python, {QStringLiteral(QUIZMORA_SOURCE_DIR "/tests/buzzers/browser_driver.py")});
    }
    ~CBrowser()
    {
        process_.write("quit\n");
        if (!process_.waitForFinished(15000))
            process_.kill();
    }
    static bool Available()
    {
        return !QStandardPaths::findExecutable(QStringLiteral("chromium")).isEmpty() &&
               !QStandardPaths::findExecutable(QStringLiteral("chromedriver")).isEmpty();
    }
    // The next answer line, waiting with the game's events running.
    QString Answer(int timeoutMs = 30000)
    {
        (void)QTest::qWaitFor([this] { return process_.canReadLine() || process_.state() == QProcess::NotRunning; },
                        timeoutMs);
        return QString::fromUtf8(process_.readLine()).trimmed();
    }
    QString Ask(const QString& command)
    {
        process_.write((command + QLatin1Char('\n')).toUtf8());
        return Answer();
    }

private:
    QProcess process_;
};

struct CRaceCount {
    int delayedWins = 0;
    int directWins = 0;
    QStringList margins;
};

}  // namespace

class BuzzerBrowserTest : public QObject {
    Q_OBJECT

private:
    // Rounds of page 0 (left, behind the delaying proxy) pressing `gap` ms before page 1 (right).
    static CRaceCount Race(CBuzzerProgram& program, CBrowser& browser, int rounds)
    {
        CRaceCount count;
        for (int round = 0; round < rounds; ++round) {
            program.view->Engine().RevealAll();
            if (!program.view->Engine().StartPuzzleAsCurrent(1))
                return count;
            const QString answer = browser.Ask(QStringLiteral("race 0 1 50"));
            const bool left = program.State().Stopped[0].load() != 0;
            const bool right = program.State().Stopped[1].load() != 0;
            if (left == right || answer != (left ? QStringLiteral("race won late") : QStringLiteral("race late won")))
                qWarning("round %d: %s, stopped %d/%d", round, qPrintable(answer), left, right);
            count.delayedWins += left && !right ? 1 : 0;
            count.directWins += right && !left ? 1 : 0;
            count.margins.append(program.Buzzers().MarginText().mid(11));
        }
        return count;
    }

private slots:
    void init()
    {
        if (!CBrowser::Available())
            QSKIP("chromium and chromedriver are needed (tools/install-deps.sh installs them)");
    }

    void aPhonePressTurnsTheLeftColumnAsTheSerialBoxDoes()
    {
        CBuzzerGame game;
        CBuzzerProgram& program = game.program;
        QVERIFY(program.Ready());
        QVERIFY(program.Buzzers().SwitchOn(true));
        CBrowser browser;
        QCOMPARE(browser.Answer(), QStringLiteral("ready"));
        QCOMPARE(browser.Ask(QStringLiteral("open ") + program.view->BuzzerJoinUrl() + QStringLiteral(" left")),
                 QStringLiteral("opened 0"));

        QVERIFY(program.Dispatch(CommandId::NextPuzzle));
        program.Tick();
        QCOMPARE(browser.Ask(QStringLiteral("press 0")), QStringLiteral("result 0 won"));
        program.Tick();
        const int height = program.view->height();
        const int width = program.view->width();
        const auto solid = [&](int x, std::uint32_t colour) {
            return program.CountIf(x, 0, 136, 40, [colour](std::uint32_t rgb) { return rgb == colour; }) == 136 * 40;
        };
        QVERIFY(height > 40);
        QVERIFY(solid(0, 0xBCBC00));
        QVERIFY(solid(width - 136, 0x000000));
        QCOMPARE(program.State().PlayerState[0].load(), kPlayerStoppedClock);
    }

    void theEarlierPressWinsBehindASlowLink()
    {
        CBuzzerGame game;
        CBuzzerProgram& program = game.program;
        QVERIFY(program.Ready());
        QVERIFY(program.Buzzers().SwitchOn(true));
        CBrowser browser;
        QCOMPARE(browser.Answer(), QStringLiteral("ready"));
        const QString url = program.view->BuzzerJoinUrl();
        QCOMPARE(browser.Ask(QStringLiteral("open ") + url + QStringLiteral(" left delayed")), QStringLiteral("opened 0"));
        QCOMPARE(browser.Ask(QStringLiteral("open ") + url + QStringLiteral(" right")), QStringLiteral("opened 1"));

        // The delayed page presses 50 ms first but arrives 25 ms later: the window puts it first.
        const CRaceCount fair = Race(program, browser, 20);
        qInfo("window 100 ms: delayed page won %d of 20, margins %s", fair.delayedWins,
              qPrintable(fair.margins.join(QLatin1Char(' '))));
        QVERIFY2(fair.delayedWins >= 19, qPrintable(QString::number(fair.delayedWins)));

        // A window of 0 is arrival order: the page on the short link wins.
        program.Buzzers().Server()->SetWindow(0);
        const CRaceCount arrival = Race(program, browser, 5);
        qInfo("window 0: direct page won %d of 5", arrival.directWins);
        QVERIFY2(arrival.directWins >= 4, qPrintable(QString::number(arrival.directWins)));
    }
};

QTEST_MAIN(BuzzerBrowserTest)
#include "browser_qtest.moc"
