// The presenter window and the show's state in the program: two offscreen monitors, the game's
// own view on a simulated clock, keys pressed in the presenter, the monitors swapped and
// remembered, and a show that a killed program leaves behind offered back at the next start.
#include "app/CommandIds.h"
#include "app/MessageClient.h"
#include "show/PresenterWindow.h"
#include "show/ShowController.h"
#include "show/ShowStateFile.h"
#include "tests/game/ViewTestSupport.h"

#include <QGuiApplication>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>

#include <filesystem>
#include <fstream>

#include <unistd.h>

namespace {

// The program with the show installed; its state file in a folder of its own unless given.
struct CShow {
    explicit CShow(const QStringList& arguments, const std::filesystem::path& stateFile)
        : app(std::make_unique<CQuizmoraApp>(argcStub, argvStub))
    {
        QuietRemote();
        InstallShow(*app, show, stateFile);
        started = app->InitInstance(arguments, [this](const GameViewContext& context) {
            auto made = std::make_unique<CQuizmoraView>(context, CQuizmoraView::Options{&clock});
            view = made.get();
            return made;
        }, &sound);
        QCoreApplication::processEvents();  // the posted full-screen switch
    }
    ~CShow()
    {
        show.reset();
        app.reset();
    }

    CPresenterWindow& Presenter() { return *show->Presenter(); }
    QString Text(const char* name) { return Presenter().findChild<QLabel*>(QLatin1String(name))->text(); }
    void Press(Qt::Key key) { QTest::keyClick(&Presenter(), key); }
    CGameState& State() { return view->Engine().State(); }
    void RunFor(std::uint32_t ms)
    {
        for (std::uint32_t elapsed = 0; elapsed < ms; elapsed += CQuizmoraView::kTimerPeriodMs) {
            clock.Advance(CQuizmoraView::kTimerPeriodMs);
            view->TimerStep();
        }
        Presenter().Refresh();
    }

    CManualTicks clock{500000};
    CRecordingSound sound{clock};
    std::unique_ptr<CQuizmoraApp> app;
    std::unique_ptr<CShowController> show;
    CQuizmoraView* view = nullptr;
    bool started = false;
};

// How the program's start met the dialog "Spielstand wiederherstellen", answered with `key`.
// Its timers go with it.
struct SRecoveryDialog {
    bool shown = false;
    QString title;
    QObject watch;
};
void AnswerRecovery(SRecoveryDialog& seen, Qt::Key key, int tries = 0)
{
    QTimer::singleShot(20, &seen.watch, [&seen, key, tries] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            seen.shown = true;
            seen.title = box->windowTitle();
            QTest::keyClick(box, key);
        } else if (tries < 100) {
            AnswerRecovery(seen, key, tries + 1);
        }
    });
}

int MarkedLetters(const QString& html)
{
    return static_cast<int>(html.count(QStringLiteral("<b>")));
}

std::optional<SShowState> StateOnDisk(const std::filesystem::path& file)
{
    return ReadShowStateFile(file).state;
}

}  // namespace

class PresenterTest : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        ClearSettings();
        QuietRemote();
        std::filesystem::remove(stateFile_);
    }

    void presenterFollowsAScriptedGameOnItsOwnMonitor()
    {
        QCOMPARE(QGuiApplication::screens().size(), 2);
        CShow show({QStringLiteral("-z"), QStringLiteral("--presenter"), puzzles_.Path()}, stateFile_);
        QVERIFY(show.started);
        const SScreenChoice screens = show.show->Screens();
        QVERIFY(screens.presenter >= 0 && screens.presenter != screens.game);
        QVERIFY(show.app->Frame()->FullScreenState() != 0);
        QCOMPARE(show.app->Frame()->geometry(), QGuiApplication::screens()[screens.game]->geometry());
        QCOMPARE(show.Text("placeText"), QStringLiteral("Rätsel – von 2"));
        QCOMPARE(show.Text("nextQuestionText"), QStringLiteral("Hauptstadt von Frankreich?"));

        show.Presenter().activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&show.Presenter()));
        show.Press(Qt::Key_F5);
        QCOMPARE(show.State().Running, 1);
        QCOMPARE(show.Text("questionText"), QStringLiteral("Hauptstadt von Frankreich?"));
        QCOMPARE(show.Text("nextQuestionText"), QStringLiteral("Größter Planet?"));
        QCOMPARE(show.Text("placeText"), QStringLiteral("Rätsel 1 von 2"));
        QCOMPARE(show.Text("stateText"), QStringLiteral("Läuft"));
        QVERIFY(show.Presenter().AnswerHtml().contains(QStringLiteral("PA")));
        QCOMPARE(MarkedLetters(show.Presenter().AnswerHtml()), 0);
        // The reveal waits for a stop, on the button and on the key alike.
        QVERIFY(!show.Presenter().CommandButton(CommandId::RevealText)->isEnabled());
        show.Press(Qt::Key_F6);
        QCOMPARE(show.State().CoveredCount, 5);

        show.RunFor(5000);
        QCOMPARE(MarkedLetters(show.Presenter().AnswerHtml()), 1);
        QCOMPARE(show.Text("secondsText"), QStringLiteral("5"));
        show.Press(Qt::Key_F7);
        QCOMPARE(show.Text("stateText"), QStringLiteral("Angehalten von links"));
        show.RunFor(3000);
        QCOMPARE(show.Text("secondsText"), QStringLiteral("5"));
        show.Presenter().CommandButton(CommandId::RevealText)->click();
        QCOMPARE(show.Text("stateText"), QStringLiteral("Aufgedeckt"));
        QCOMPARE(MarkedLetters(show.Presenter().AnswerHtml()), 5);

        show.Press(Qt::Key_F1);
        show.Press(Qt::Key_F1);
        show.Press(Qt::Key_F4);
        QCOMPARE(show.Text("starsText"), QStringLiteral("links 2 · rechts 7"));
        const auto written = StateOnDisk(stateFile_);
        QVERIFY(written && !written->ended);
        QCOMPARE(written->gameNumber, 1);
        QCOMPARE(int(written->stars[0]), 2);
        QCOMPARE(int(written->stars[1]), 7);
        QCOMPARE(written->puzzlePath, puzzles_.PathText());

        show.Press(Qt::Key_F5);
        QCOMPARE(show.Text("nextQuestionText"), QStringLiteral("Keine Spiele mehr !"));
        show.RunFor(8 * 5000);
        QCOMPARE(show.Text("stateText"), QStringLiteral("Zeit abgelaufen"));
        show.Press(Qt::Key_F9);
        QCOMPARE(show.Text("stateText"), QStringLiteral("Aufgedeckt"));
        show.Press(Qt::Key_F10);
        QCOMPARE(show.app->Frame()->FullScreenState(), 0);

        show.show->EndShow();
        QVERIFY(StateOnDisk(stateFile_)->ended);
    }

    void swappedMonitorsAreRememberedForTheLayout()
    {
        SScreenChoice swapped;
        {
            CShow show({QStringLiteral("--presenter"), puzzles_.Path()}, stateFile_);
            const SScreenChoice first = show.show->Screens();
            QVERIFY(first.presenter >= 0 && first.presenter != first.game);
            QVERIFY(show.app->Router().Dispatch(CommandId::SwapScreens));
            swapped = show.show->Screens();
            QCOMPARE(swapped.game, first.presenter);
            QCOMPARE(swapped.presenter, first.game);
            // The menu closes the presenter; without it there is nothing to swap.
            QVERIFY(show.app->Router().Dispatch(CommandId::PresenterView));
            QVERIFY(!show.show->PresenterShown());
            QVERIFY(!show.app->Commands().IsEnabled(CommandId::SwapScreens));
        }
        CShow again({QStringLiteral("--presenter"), puzzles_.Path()}, stateFile_);
        QCOMPARE(again.show->Screens().game, swapped.game);
        QCOMPARE(again.show->Screens().presenter, swapped.presenter);
    }

    void unfinishedShowIsOfferedBack_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<int>("key");
        QTest::addColumn<bool>("dialog");
        QTest::addColumn<int>("stars");
        QTest::addColumn<int>("number");
        const QByteArray unfinished = "quizmora-show 1\npath PATH\ngame 1\nstars 2 3\nstarsize 2\nended 0\n";
        QTest::newRow("continued") << unfinished << int(Qt::Key_Enter) << true << 2 << 1;
        QTest::newRow("started afresh") << unfinished << int(Qt::Key_Escape) << true << 0 << 0;
        QTest::newRow("ended") << QByteArray(unfinished).replace("ended 0", "ended 1") << 0 << false << 0 << 0;
        QTest::newRow("damaged") << QByteArray(unfinished).replace("game 1", "game x") << 0 << false << 0 << 0;
        QTest::newRow("empty") << QByteArray() << 0 << false << 0 << 0;
    }
    void unfinishedShowIsOfferedBack()
    {
        QFETCH(QByteArray, file);
        QFETCH(int, key);
        QFETCH(bool, dialog);
        QFETCH(int, stars);
        QFETCH(int, number);
        std::filesystem::create_directories(stateFile_.parent_path());
        std::ofstream(stateFile_, std::ios::binary | std::ios::trunc)
            << file.replace("PATH", puzzles_.Path().toUtf8()).toStdString();
        SRecoveryDialog seen;
        AnswerRecovery(seen, static_cast<Qt::Key>(key));
        CShow show({puzzles_.Path()}, stateFile_);
        QCOMPARE(seen.shown, dialog);
        if (dialog)
            QCOMPARE(seen.title, QStringLiteral("Spielstand wiederherstellen"));
        QCOMPARE(int(show.State().Stars[0]), stars);
        QCOMPARE(show.State().GameNumber, number);
        QCOMPARE(show.State().Running, 0);
        if (number > 0) {
            // The puzzle is back as it was before its start: question shown, answer covered.
            QCOMPARE(QByteArray(show.State().QuestionText().data()), QByteArray("Hauptstadt von Frankreich?"));
            QCOMPARE(show.State().CoveredCount, 5);
            QCOMPARE(show.view->Renderer().StarSize, 2);
        }
        if (dialog && stars == 0)
            QVERIFY(StateOnDisk(stateFile_)->ended);
        std::filesystem::remove(stateFile_);
    }

    void killedProgramLeavesItsShowForTheNextStart()
    {
        const QString program = QStringLiteral(QUIZMORA_BINARY_DIR "/bin/quizmora");
        QVERIFY(QFileInfo::exists(program));
        QTemporaryDir home;
        const QString config = home.path() + QStringLiteral("/config");
        QDir().mkpath(config + QStringLiteral("/KQ"));
        QFile settings(config + QStringLiteral("/KQ/Quizmora.conf"));
        QVERIFY(settings.open(QIODevice::WriteOnly));
        settings.write("[General]\nComDevice=/nonexistent/quizmora-test-tty\n");
        settings.close();

        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), config);
        environment.insert(QStringLiteral("XDG_STATE_HOME"), home.path() + QStringLiteral("/state"));
        environment.insert(QStringLiteral("TMPDIR"), home.path());
        environment.insert(QStringLiteral("SDL_AUDIODRIVER"), QStringLiteral("dummy"));
        QProcess game;
        game.setProcessEnvironment(environment);
        game.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        game.start(program, {puzzles_.Path()});
        QVERIFY(game.waitForStarted());

        const QString server = home.path() + QStringLiteral("/Quizmora-%1").arg(::getuid());
        const auto send = [&server](std::uint32_t message, std::uint32_t wparam) {
            return SendMessageRequest(server, MessageRequest{message, wparam, 0, {}}, 500);
        };
        QTRY_VERIFY_WITH_TIMEOUT(send(Message::InstancePing, kPingAnswer).has_value(), 30000);
        for (const std::uint32_t id : {CommandId::NextPuzzle, CommandId::FirstPlayerUp, CommandId::FirstPlayerUp})
            QCOMPARE(send(Message::Command, id).value_or(MessageReply{}).result, 1u);
        const std::filesystem::path file = (home.path() + QStringLiteral("/state/quizmora/show")).toStdString();
        QTRY_VERIFY_WITH_TIMEOUT(StateOnDisk(file) && StateOnDisk(file)->stars[0] == 2, 10000);
        game.kill();
        QVERIFY(game.waitForFinished());

        SRecoveryDialog seen;
        AnswerRecovery(seen, Qt::Key_Return);
        // Started on another folder: the show brings its own back.
        CShow next({home.path()}, file);
        QVERIFY(seen.shown);
        QCOMPARE(int(next.State().Stars[0]), 2);
        QCOMPARE(next.State().GameNumber, 1);
        QCOMPARE(next.view->Engine().PuzzlePath(), std::filesystem::path(puzzles_.PathText()));
    }

private:
    CConfigSandbox sandbox_;
    QTemporaryDir stateFolder_;
    const std::filesystem::path stateFile_ = (stateFolder_.path() + QStringLiteral("/quizmora/show")).toStdString();
    CPuzzleFolder puzzles_ = [] {
        CPuzzleFolder folder;
        folder.Write(1, "Hauptstadt von Frankreich?\r\nPARIS\r\n");
        folder.Write(2, "Gr\xF6\xDF" "ter Planet?\r\nJUPITER\r\n");
        return folder;
    }();
};

// Two monitors side by side before the application starts: the laptop and the projector.
int main(int argc, char** argv)
{
    const std::filesystem::path screens =
        std::filesystem::temp_directory_path() / ("quizmora-screens-" + std::to_string(::getpid()) + ".json");
    std::ofstream(screens) << R"({"screens":[{"name":"Laptop","x":0,"y":0,"width":1280,"height":800},)"
                              R"({"name":"Beamer","x":1280,"y":0,"width":1024,"height":768}]})";
    qputenv("QT_QPA_PLATFORM", QByteArray("offscreen:configfile=") + QByteArray::fromStdString(screens.string()));
    QApplication application(argc, argv);
    PresenterTest test;
    const int failures = QTest::qExec(&test, argc, argv);
    std::filesystem::remove(screens);
    return failures;
}

#include "presenter_qtest.moc"
