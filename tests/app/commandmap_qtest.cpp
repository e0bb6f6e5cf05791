// Every menu entry, accelerator and tool-bar button of the program's frame, with its real game
// view, against the command table: the texts, and the command each one runs; the caption, the
// status bar and the tips of an entry.
#include "app/CommandIds.h"
#include "tests/game/ViewTestSupport.h"

#include <QMenu>
#include <QMenuBar>
#include <QToolBar>

using namespace CommandId;

class CommandMapTest : public QObject {
    Q_OBJECT
private slots:
    void menusKeysAndButtonsRunTheirCommands()
    {
        const CConfigSandbox config;
        const CPuzzleFolder puzzles;
        CViewHarness program(puzzles.Path());
        QVERIFY(program.Ready());
        CQuizmoraApp& app = *program.app;
        QCOMPARE(app.Frame()->windowTitle(), QStringLiteral("Das Spiel - Quizmora"));
        QCOMPARE(app.Frame()->StatusText(0), QStringLiteral("Bereit"));
        QCOMPARE(app.Router().Action(FullScreen)->statusTip(), QStringLiteral("Schaltet um in den Vollbildmodus."));
        QCOMPARE(app.Router().Action(FullScreen)->toolTip(), QStringLiteral("Vollbild Ansicht"));

        // Menu title, entry text (empty for a separator) and command, in the order shown.
        const std::tuple<const char*, const char*, std::uint32_t> menus[] = {
            {"&Datei", "&Neu", NewPuzzle}, {"&Datei", "", 0}, {"&Datei", "&Beenden", Exit},
            {"&Bearbeiten", "Erster Spieler +\tF1", FirstPlayerUp}, {"&Bearbeiten", "Zweiter Spieler +\tF2", SecondPlayerUp},
            {"&Bearbeiten", "Erster Spieler -\tF3", FirstPlayerDown}, {"&Bearbeiten", "Zweiter Spieler -\tF4", SecondPlayerDown},
            {"&Bearbeiten", "", 0}, {"&Bearbeiten", "Starte nächstes Rätsel\tF5", NextPuzzle},
            {"&Bearbeiten", "Text aufdecken\tF6", RevealText}, {"&Bearbeiten", "Ersten Timer anhalten\tF7", StopFirstTimer},
            {"&Bearbeiten", "Zweiten Timer anhalten\tF8", StopSecondTimer}, {"&Bearbeiten", "", 0},
            {"&Bearbeiten", "COM-Port auswählen", ChooseComPort}, {"&Bearbeiten", "Nächste Spielnummer", NextGameNumber},
            {"&Bearbeiten", "Rätselpfad einstellen", PuzzlePath}, {"&Bearbeiten", "Schaltzeit einstellen", SwitchTime},
            {"&Bearbeiten", "Sekundentick", SecondTick}, {"&Ansicht", "&Flache Symbolleiste", FlatToolBar},
            {"&Ansicht", "Fenster fi&xieren", StayOnTop}, {"&Ansicht", "&Symbolleiste", ViewToolBar},
            {"&Ansicht", "S&tatusleiste", ViewStatusBar}, {"&Ansicht", "", 0}, {"&Ansicht", "Kleine Sterne", SmallStars},
            {"&Ansicht", "Mittlere Sterne", MediumStars}, {"&Ansicht", "Große Sterne", LargeStars},
            {"&Ansicht", "Zwei Reihen", TwoRows}, {"&?", "Inf&o über Quizmora...", About},
            {"&?", "&Tastenbelegung", KeyMap}, {"&?", "Dateiformat", FileFormat}};
        const std::pair<QKeySequence, std::uint32_t> keys[] = {
            {Qt::Key_F1, FirstPlayerUp}, {Qt::Key_F2, SecondPlayerUp}, {Qt::Key_F3, FirstPlayerDown},
            {Qt::Key_F4, SecondPlayerDown}, {Qt::Key_F5, NextPuzzle}, {Qt::Key_F6, RevealText},
            {Qt::Key_F7, StopFirstTimer}, {Qt::Key_F8, StopSecondTimer}, {Qt::Key_F9, RevealText},
            {Qt::Key_F10, FullScreen}, {Qt::CTRL | Qt::Key_N, NextGameNumber}, {Qt::CTRL | Qt::Key_S, SaveDocument}};
        const std::vector<std::uint32_t> buttons = {NewPuzzle, 0, FullScreen, StayOnTop, 0, StopFirstTimerBar,
                                                    StopSecondTimerBar, NextPuzzle, RevealText, 0, About};

        QStringList expected, shown;
        std::vector<std::uint32_t> shownButtons;
        QList<QAction*> actions = app.Frame()->ToolBar()->actions();
        for (const auto& [menu, text, id] : menus)
            expected << QString::fromUtf8(menu) + u'|' + QString::fromUtf8(text) + u'|' + QString::number(id);
        for (QAction* title : app.Frame()->menuBar()->actions())
            for (QAction* entry : title->menu()->actions()) {
                shown << title->text() + u'|' + entry->text() + u'|' + QString::number(entry->data().toUInt());
                actions.push_back(entry);
            }
        for (QAction* button : app.Frame()->ToolBar()->actions())
            shownButtons.push_back(button->data().toUInt());
        QCOMPARE(shown, expected);
        QCOMPARE(shownButtons, buttons);

        // Every command is the program's; recorders then stand in for the handlers, so that each
        // entry, button and key shows the command it runs.
        CCommandTable& table = app.Commands();
        std::vector<std::uint32_t> ran;
        const auto record = [&](std::uint32_t id) { table.Register(id, [&ran, id] { ran.push_back(id); }); };
        for (QAction* action : actions) {
            QVERIFY(action->isSeparator() || table.Contains(action->data().toUInt()));
            record(action->data().toUInt());
        }
        for (const auto& [key, id] : keys) {
            QVERIFY2(table.Contains(id), qPrintable(key.toString()));
            record(id);
        }
        app.Router().UpdateActions();
        for (QAction* action : actions)
            if (!action->isSeparator()) {
                ran.clear();
                action->trigger();
                QCOMPARE(ran, std::vector<std::uint32_t>{action->data().toUInt()});
            }
        for (const auto& [key, id] : keys) {
            ran.clear();
            QTest::keySequence(app.Frame(), key);
            QCOMPARE(ran, std::vector<std::uint32_t>{id});
        }
    }
};

QTEST_MAIN(CommandMapTest)
#include "commandmap_qtest.moc"
