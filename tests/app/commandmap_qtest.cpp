// The program's frame with its real game view: every menu entry, accelerator and tool-bar button
// against the command table, and the star keys played through the keyboard.
#include "app/CommandIds.h"
#include "app/MainFrame.h"
#include "app/QuizmoraApp.h"
#include "tests/game/ViewTestSupport.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>

namespace {

using namespace CommandId;

struct Program {
    Program()
    {
        config.Store(QStringLiteral("ComDevice"), kNoSuchDevice);
        started = app.InitInstance({puzzles.Path()}, [this](const GameViewContext& context) {
            auto made = std::make_unique<CQuizmoraView>(context);
            view = made.get();
            return made;
        }, &sound);
    }
    bool Ready() { return started && QTest::qWaitForWindowActive(app.Frame()); }

    const CConfigSandbox config;
    const CPuzzleFolder puzzles;
    CManualTicks clock;
    CRecordingSound sound{clock};
    int argc = 1;
    char name[9] = "quizmora";
    char* argv[2] = {name, nullptr};
    CQuizmoraApp app{argc, argv};
    CQuizmoraView* view = nullptr;
    bool started = false;
};

}  // namespace

class CommandMapTest : public QObject {
    Q_OBJECT
private slots:
    void starKeysChangeTheStars()
    {
        Program program;
        QVERIFY(program.Ready());
        const auto& stars = program.view->Engine().State().Stars;
        const std::tuple<Qt::Key, std::uint8_t, std::uint8_t> presses[] = {
            {Qt::Key_F1, 1, 0}, {Qt::Key_F2, 1, 1}, {Qt::Key_F3, 0, 1}, {Qt::Key_F4, 0, 0}};
        for (const auto& [key, left, right] : presses) {
            QTest::keyClick(program.app.Frame(), key);
            QCOMPARE(stars[0], left);
            QCOMPARE(stars[1], right);
        }
    }

    void menusKeysAndButtonsRunTheirCommands()
    {
        Program program;
        QVERIFY(program.Ready());
        // Menu title, entry text (0 for a separator) and command, in the order shown.
        const std::tuple<const char*, const char*, std::uint32_t> menus[] = {
            {"&Datei", "&Neu", NewPuzzle}, {"&Datei", nullptr, 0}, {"&Datei", "&Beenden", Exit},
            {"&Bearbeiten", "Erster Spieler +\tF1", FirstPlayerUp},
            {"&Bearbeiten", "Zweiter Spieler +\tF2", SecondPlayerUp},
            {"&Bearbeiten", "Erster Spieler -\tF3", FirstPlayerDown},
            {"&Bearbeiten", "Zweiter Spieler -\tF4", SecondPlayerDown}, {"&Bearbeiten", nullptr, 0},
            {"&Bearbeiten", "Starte nächstes Rätsel\tF5", NextPuzzle},
            {"&Bearbeiten", "Text aufdecken\tF6", RevealText},
            {"&Bearbeiten", "Ersten Timer anhalten\tF7", StopFirstTimer},
            {"&Bearbeiten", "Zweiten Timer anhalten\tF8", StopSecondTimer}, {"&Bearbeiten", nullptr, 0},
            {"&Bearbeiten", "COM-Port auswählen", ChooseComPort},
            {"&Bearbeiten", "Nächste Spielnummer", NextGameNumber},
            {"&Bearbeiten", "Rätselpfad einstellen", PuzzlePath},
            {"&Bearbeiten", "Schaltzeit einstellen", SwitchTime}, {"&Bearbeiten", "Sekundentick", SecondTick},
            {"&Ansicht", "&Flache Symbolleiste", FlatToolBar}, {"&Ansicht", "Fenster fi&xieren", StayOnTop},
            {"&Ansicht", "&Symbolleiste", ViewToolBar}, {"&Ansicht", "S&tatusleiste", ViewStatusBar},
            {"&Ansicht", nullptr, 0}, {"&Ansicht", "Kleine Sterne", SmallStars},
            {"&Ansicht", "Mittlere Sterne", MediumStars}, {"&Ansicht", "Große Sterne", LargeStars},
            {"&Ansicht", "Zwei Reihen", TwoRows}, {"&?", "Inf&o über Quizmora...", About},
            {"&?", "&Tastenbelegung", KeyMap}, {"&?", "Dateiformat", FileFormat},
        };
        const std::pair<QKeySequence, std::uint32_t> keys[] = {
            {Qt::Key_F1, FirstPlayerUp}, {Qt::Key_F2, SecondPlayerUp}, {Qt::Key_F3, FirstPlayerDown},
            {Qt::Key_F4, SecondPlayerDown}, {Qt::Key_F5, NextPuzzle}, {Qt::Key_F6, RevealText},
            {Qt::Key_F7, StopFirstTimer}, {Qt::Key_F8, StopSecondTimer}, {Qt::Key_F9, RevealText},
            {Qt::Key_F10, FullScreen}, {Qt::CTRL | Qt::Key_N, NextGameNumber}, {Qt::CTRL | Qt::Key_S, SaveDocument},
        };
        const std::uint32_t buttons[] = {NewPuzzle, 0, FullScreen, StayOnTop, 0, StopFirstTimerBar,
                                         StopSecondTimerBar, NextPuzzle, RevealText, 0, About};

        // What the frame shows, and every command of it known to the program's table.
        QStringList expected, shown;
        for (const auto& [menu, text, id] : menus)
            expected << QString::fromUtf8(menu) + QLatin1Char('|') + QString::fromUtf8(text) +
                            QLatin1Char('|') + QString::number(id);
        for (QAction* title : program.app.Frame()->menuBar()->actions())
            for (QAction* entry : title->menu()->actions())
                shown << title->text() + QLatin1Char('|') + entry->text() + QLatin1Char('|') +
                             QString::number(entry->data().toUInt());
        QCOMPARE(shown, expected);
        std::vector<std::uint32_t> buttonIds;
        for (QAction* button : program.app.Frame()->ToolBar()->actions())
            buttonIds.push_back(button->data().toUInt());
        QCOMPARE(buttonIds, std::vector<std::uint32_t>(std::begin(buttons), std::end(buttons)));
        CCommandTable& table = program.app.Commands();
        for (const auto& [menu, text, id] : menus)
            QVERIFY2(id == 0 || table.Contains(id), text);
        for (const auto& [key, id] : keys)
            QVERIFY2(table.Contains(id), qPrintable(key.toString()));
        for (const std::uint32_t id : buttons)
            QVERIFY(id == 0 || table.Contains(id));

        // Each entry, key and button runs its own command: recorders stand in for the handlers.
        std::vector<std::uint32_t> ran;
        for (const std::uint32_t id : {NewPuzzle, Exit, FirstPlayerUp, SecondPlayerUp, FirstPlayerDown,
                                       SecondPlayerDown, NextPuzzle, RevealText, StopFirstTimer, StopSecondTimer,
                                       ChooseComPort, NextGameNumber, PuzzlePath, SwitchTime, SecondTick,
                                       FlatToolBar, StayOnTop, ViewToolBar, ViewStatusBar, SmallStars, MediumStars,
                                       LargeStars, TwoRows, About, KeyMap, FileFormat, FullScreen, SaveDocument,
                                       StopFirstTimerBar, StopSecondTimerBar})
            table.Register(id, [&ran, id] { ran.push_back(id); });
        program.app.Router().UpdateActions();
        for (QAction* title : program.app.Frame()->menuBar()->actions())
            for (QAction* entry : title->menu()->actions())
                if (!entry->isSeparator()) {
                    ran.clear();
                    entry->trigger();
                    QCOMPARE(ran, std::vector<std::uint32_t>{entry->data().toUInt()});
                }
        for (QAction* button : program.app.Frame()->ToolBar()->actions())
            if (!button->isSeparator()) {
                ran.clear();
                button->trigger();
                QCOMPARE(ran, std::vector<std::uint32_t>{button->data().toUInt()});
            }
        for (const auto& [key, id] : keys) {
            ran.clear();
            QTest::keySequence(program.app.Frame(), key);
            QCOMPARE(ran, std::vector<std::uint32_t>{id});
        }
    }
};

QTEST_MAIN(CommandMapTest)
#include "commandmap_qtest.moc"
