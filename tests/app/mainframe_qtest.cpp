// The application shell. With a stand-in view: commands from every source, check marks, the
// command line, full screen, the settings, Save and Exit, the dialogs of the "?" menu, the flat
// drop-downs (accelerator column, late items, a drawn drop-down checked by a few pixels), and the
// message interface over the local socket end to end, malformed streams included. With the real
// view: every menu entry, key and button against the command table.
#include "TestGameView.h"

#include "app/CommandIds.h"
#include "app/LocalMessageServer.h"
#include "app/MainFrame.h"
#include "app/MenuStyle.h"
#include "app/MessageClient.h"
#include "app/OwnerDrawMenu.h"
#include "app/QuizmoraApp.h"
#include "tests/game/ViewTestSupport.h"
#include "tests/ui/ModalSupport.h"

#include <QAction>
#include <QDialog>
#include <QDir>
#include <QLocalSocket>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QTest>
#include <QTextStream>
#include <QToolBar>
#include <QToolButton>

#include <future>
#include <memory>

namespace {

QToolButton* ToolButton(CMainFrame* frame, QAction* action)
{
    return qobject_cast<QToolButton*>(frame->ToolBar()->widgetForAction(action));
}

COwnerDrawMenu* Menu(CMainFrame* frame, int index)
{
    return qobject_cast<COwnerDrawMenu*>(frame->menuBar()->actions()[index]->menu());
}

// 0x00BBGGRR as the 0xRRGGBB of a QImage pixel.
QRgb Rgb(std::uint32_t colour)
{
    return (colour & 0xFF) << 16 | (colour & 0xFF00) | (colour >> 16 & 0xFF);
}

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

class MainFrameTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QVERIFY(UseSettingsFolder(settingsDir_));
        server_ = QStringLiteral("quizmora-test-%1").arg(QCoreApplication::applicationPid());
    }
    void init() { ClearSettings(); }

    void disabledCommandRefusedFromEverySource()
    {
        Started s = Start();
        QVERIFY(QTest::qWaitForWindowActive(s.frame));
        QAction* action = s.app->Router().Action(kGuardedCommand);
        QVERIFY(action);
        QToolButton* button = ToolButton(s.frame, action);
        QVERIFY(button);
        auto tryEverySource = [&] {
            action->trigger();
            QTest::mouseClick(button, Qt::LeftButton);
            QTest::keyClick(s.frame, Qt::Key_F5);
            s.app->Router().PostCommand(kGuardedCommand);
            QCoreApplication::processEvents();
            s.app->Commands().Dispatch(kGuardedCommand);
        };

        tryEverySource();
        QCOMPARE(s.view->guardedRuns, 0);
        QVERIFY(!action->isEnabled());

        s.view->guardedEnabled = true;
        QTRY_VERIFY(action->isEnabled());  // the idle update follows the rule
        tryEverySource();
        QCOMPARE(s.view->guardedRuns, 5);

        // A posted command is judged when it runs, not when it is posted.
        s.app->Router().PostCommand(kGuardedCommand);
        s.view->guardedEnabled = false;
        QCoreApplication::processEvents();
        QCOMPARE(s.view->guardedRuns, 5);
    }

    void checkMarksFollowTheRules()
    {
        Started s = Start();
        QAction* flat = s.app->Router().Action(CommandId::FlatToolBar);
        QAction* onTop = s.app->Router().Action(CommandId::StayOnTop);
        QAction* toolBar = s.app->Router().Action(CommandId::ViewToolBar);
        QVERIFY(flat->isCheckable() && flat->isChecked());
        QVERIFY(onTop->isCheckable() && !onTop->isChecked());
        QVERIFY(toolBar->isChecked());
        QVERIFY(ToolButton(s.frame, s.app->Router().Action(CommandId::About))->autoRaise());

        flat->trigger();
        QVERIFY(!flat->isChecked());
        QVERIFY(!s.frame->FlatMode());
        QVERIFY(!ToolButton(s.frame, s.app->Router().Action(CommandId::About))->autoRaise());

        onTop->trigger();
        QVERIFY(onTop->isChecked());
        QVERIFY(s.frame->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        QVERIFY(s.frame->isVisible());
        onTop->trigger();
        QVERIFY(!s.frame->windowFlags().testFlag(Qt::WindowStaysOnTopHint));

        toolBar->trigger();
        QVERIFY(s.frame->ToolBar()->isHidden());
        QVERIFY(!toolBar->isChecked());
        s.app->Router().Action(CommandId::ViewStatusBar)->trigger();
        QVERIFY(s.frame->statusBar()->isHidden());
    }

    void commandLine_data()
    {
        // The arguments, and the paths the view is given, each separated by '|'.
        QTest::addColumn<QString>("arguments");
        QTest::addColumn<int>("fullScreen");
        QTest::addColumn<QString>("paths");
        QTest::newRow("none") << QString() << 0 << QString();
        QTest::newRow("/Z") << QStringLiteral("/Z") << 1 << QString();
        QTest::newRow("-z twice") << QStringLiteral("-z|-Z") << 0 << QString();
        QTest::newRow("-x and lone -") << QStringLiteral("-x|-") << 0 << QString();
        QTest::newRow("paths in order") << QStringLiteral("/tmp/a|-z|b c\\|C:\\Quiz") << 1 << QStringLiteral("/tmp/a|b c\\|C:\\Quiz");
        QTest::newRow("root folder is a path") << QStringLiteral("/") << 0 << QStringLiteral("/");
    }
    void commandLine()
    {
        QFETCH(QString, arguments);
        QFETCH(int, fullScreen);
        QFETCH(QString, paths);
        Started s = Start(arguments.split(QLatin1Char('|'), Qt::SkipEmptyParts));
        QVERIFY(s.frame);
        QCOMPARE(s.frame->FullScreenState(), 0);  // the switch is posted, not run at once
        QCoreApplication::processEvents();
        QCOMPARE(s.frame->FullScreenState() != 0 ? 1 : 0, fullScreen);
        QCOMPARE(s.frame->isFullScreen(), fullScreen == 1);
        QStringList events;  // the paths in order, then the check of the path
        for (const QString& path : paths.split(QLatin1Char('|'), Qt::SkipEmptyParts))
            events << QStringLiteral("path:") + path;
        QCOMPARE(s.view->events, events << QStringLiteral("check"));
    }

    // The frame's own part: the bars, the key, the cursor's parking; the placement test follows
    // the window over two screens.
    void fullScreenFromNormalAndMaximized()
    {
        Started s = Start();
        s.frame->statusBar()->hide();  // hidden by the user: stays hidden
        s.frame->setGeometry(150, 120, 520, 380);
        s.frame->ToggleFullScreen();
        QCOMPARE(s.frame->FullScreenState(), 1);
        QVERIFY(s.frame->isFullScreen());
        QVERIFY(s.frame->menuBar()->isHidden());
        QVERIFY(s.frame->ToolBar()->isHidden());
        s.app->Commands().Dispatch(CommandId::FullScreen);
        QCOMPARE(s.frame->FullScreenState(), 0);
        QVERIFY(!s.frame->isFullScreen());
        QVERIFY(!s.frame->menuBar()->isHidden());
        QVERIFY(!s.frame->ToolBar()->isHidden());
        QVERIFY(s.frame->statusBar()->isHidden());

        s.frame->statusBar()->show();
        s.frame->showMaximized();
        QVERIFY(QTest::qWaitForWindowActive(s.frame));
        QTest::keyClick(s.frame, Qt::Key_F10);
        QCOMPARE(s.frame->FullScreenState(), 2);
        QVERIFY(QTest::qWaitForWindowActive(s.frame));
        QTest::keyClick(s.frame, Qt::Key_F10);
        QVERIFY(s.frame->isMaximized());
        QVERIFY(!s.frame->statusBar()->isHidden());
        QCOMPARE(s.view->parkModes, (std::vector<int>{1, 0, 2, 0}));
        s.frame->showNormal();  // under the maximized window the normal one is kept
        QTRY_COMPARE(s.frame->geometry(), QRect(150, 120, 520, 380));
    }

    void settingsWrittenAndRead()
    {
        {
            Started s = Start();
            QCOMPARE(ReadSetting("IsZoomed"), 0xDEADBEEFu);  // first start: nothing stored yet
            const QRect area = s.frame->screen()->availableGeometry();
            QCOMPARE(s.frame->size(), QSize(area.width() * 3 / 4, area.height() * 3 / 4));
            s.frame->ToggleFlatMode();
            QVERIFY(s.app->Commands().Dispatch(CommandId::SaveDocument));  // does nothing
            QVERIFY(s.frame->isVisible());
            s.app->Commands().Dispatch(CommandId::Exit);
            QVERIFY(!s.frame->isVisible());
        }
        QCOMPARE(ReadSetting("FlatMode"), 0u);
        QCOMPARE(ReadSetting("ShowGamerBar"), 0u);
        QCOMPARE(ReadSetting("IsZoomed"), 0u);
        Started s = Start();
        QVERIFY(!s.frame->FlatMode());
        QVERIFY(!s.frame->StayOnTop());
    }

    void infoDialogs_data()
    {
        QTest::addColumn<unsigned>("id");
        QTest::addColumn<QString>("title");
        QTest::newRow("about") << unsigned{CommandId::About} << QString::fromUtf8("Info über Quizmora");
        QTest::newRow("keys") << unsigned{CommandId::KeyMap} << QStringLiteral("Tastaturbelegung");
        QTest::newRow("format") << unsigned{CommandId::FileFormat} << QStringLiteral("Dateiformat");
    }
    void infoDialogs()
    {
        QFETCH(unsigned, id);
        QFETCH(QString, title);
        Started s = Start();
        QString seenTitle;
        WhenShown<QDialog>([&](QDialog& dialog) {
            seenTitle = dialog.windowTitle();
            QTest::mouseClick(dialog.findChild<QPushButton*>(QStringLiteral("okButton")), Qt::LeftButton);
        });
        QVERIFY(s.app->Commands().Dispatch(id));
        QCOMPARE(seenTitle, title);
    }

    void picturesAndAcceleratorColumn()
    {
        Started s = Start();
        // Which entry has which picture and where the accelerator column starts is the menu data's;
        // here renamed and added items are converted when the drop-down opens, in one column.
        COwnerDrawMenu* file = Menu(s.frame, 0);
        QCOMPARE(file->Record(file->actions()[0])->imageIndex, 0);  // "Neu" has the tool bar's first
        QAction* added = file->addAction(QStringLiteral("Ein sehr viel l\u00e4ngerer Eintrag als alle anderen\tF12"));
        added->setData(unsigned{CommandId::About});
        file->actions()[0]->setText(QStringLiteral("&Neu\u00a0"));  // no picture after a no-break space
        file->popup(QPoint(0, 0));
        QCOMPARE(file->Record(added)->imageIndex, 7);
        QCOMPARE(file->Record(file->actions()[0])->imageIndex, kNoImage);
        QCOMPARE(file->Record(file->actions()[2])->acceleratorX, file->Record(added)->acceleratorX);
        // The new widest label keeps the gap to the accelerators that a built drop-down has.
        const QString label = added->text().section(QLatin1Char('\t'), 0, 0);
        const int labelWidth = file->fontMetrics().size(Qt::TextSingleLine | Qt::TextShowMnemonic, label).width();
        QCOMPARE(file->Record(added)->acceleratorX, labelWidth + 16 + 4 + kAcceleratorGap);
        file->hide();
    }

    void drawnDropDown()
    {
        Started s = Start();
        COwnerDrawMenu* edit = Menu(s.frame, 1);
        edit->popup(QPoint(0, 0));
        QVERIFY(QTest::qWaitForWindowExposed(edit));
        const QList<QAction*> items = edit->actions();
        edit->setActiveAction(items[14]);  // Sekundentick, enabled
        const QImage image = edit->grab().toImage();
        const MenuSystemColours system = CMenuStyle::SystemColours(edit->palette());
        const MenuColours colours = BlendMenuColours(system);
        const int text = 16 + 4 + 3;
        auto pixel = [&](int item, int x, int dy) {
            const QRect rect = edit->actionGeometry(items[item]);
            return image.pixel(rect.left() + x, rect.top() + dy) & 0xFFFFFF;
        };
        QCOMPARE(pixel(11, 1, 1), Rgb(system.menu));  // the picture column
        QCOMPARE(pixel(11, text + 60, 1), Rgb(colours.background));
        QCOMPARE(pixel(14, 1, 1), Rgb(colours.selectionColumn));
        QCOMPARE(pixel(14, text + 100, 1), Rgb(colours.selection));
        // The engraved separator: two lines in the column, two in the text area.
        QCOMPARE(pixel(4, 4, 3), Rgb(system.grayText));
        QCOMPARE(pixel(4, 4, 4), Rgb(system.captionText));
        QCOMPARE(pixel(4, text + 10, 3), Rgb(colours.disabledDark));
        QCOMPARE(pixel(4, text + 10, 4), Rgb(colours.disabledLight));
        // "Starte nächstes Rätsel" is disabled: its green picture turns grey.
        for (int i = 0; i < 16 * 15; ++i) {
            const QRgb p = pixel(5, 1 + i % 16, 2 + i / 16);
            QVERIFY(qRed(p) == qGreen(p) && qGreen(p) == qBlue(p));
        }
        edit->hide();
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
            {{QStringLiteral("status"), QStringLiteral("0"), QString::fromUtf8("Grüße")}, 0},
            {{QStringLiteral("raw"), QStringLiteral("0x4A"), QStringLiteral("0"), QStringLiteral("0x27F50007"), QStringLiteral("x")}, 0},
            {{QStringLiteral("compare16"), QDir::current().absoluteFilePath(QStringLiteral("DAS SPIEL"))}, 1},
        };
        for (const Row& row : rows)
            QVERIFY2(Result(server_, row.command) == row.result, qPrintable(row.command.join(QLatin1Char(' '))));

        QCOMPARE(s.frame->StatusText(0), QString::fromUtf8("Grüße"));
        QCOMPARE(Result(server_, {QStringLiteral("settext16"), QString::fromUtf8("Ünïcode")}), 1u);
        QCOMPARE(ReplyText(server_, {QStringLiteral("gettext")}), QString::fromUtf8("Ünïcode"));

        QCOMPARE(Result(server_, {QStringLiteral("open16"), QStringLiteral("/quiz/Abend")}), 1u);
        QCOMPARE(s.frame->windowTitle(), QStringLiteral("Abend - Quizmora"));
        QCOMPARE(ReplyText(server_, {QStringLiteral("docpath")}), QStringLiteral("/quiz/Abend"));

        QVERIFY(s.frame->isVisible());
        QCOMPARE(Result(server_, {QStringLiteral("exit")}), 1u);
        QTRY_VERIFY(!s.frame->isVisible());
    }

    void malformedFramesAreDropped()
    {
        Started s = Start({}, server_);
        // Which frames are malformed is the frame reader's; here the server drops the connection.
        QLocalSocket socket;
        socket.connectToServer(server_);
        QVERIFY(socket.waitForConnected(1000));
        socket.write(QByteArray::fromHex("515a4d46" "01000000" "ffffffff"));  // impossible length
        socket.flush();
        QTRY_COMPARE(socket.state(), QLocalSocket::UnconnectedState);
        QCOMPARE(socket.bytesAvailable(), 0);
        QCOMPARE(Result(server_, {QStringLiteral("ping")}), 0x12345678u);
        QVERIFY(s.frame->isVisible());
    }

    void clientCommandLine()
    {
        QString out;
        QString err;
        QTextStream outStream(&out);
        QTextStream errStream(&err);
        QCOMPARE(RunSendCommand({QStringLiteral("settext")}, outStream, errStream, server_), 1);  // no text
        QCOMPARE(RunSendCommand({QStringLiteral("ping")}, outStream, errStream, server_ + QStringLiteral("-none")), 2);
        QVERIFY(err.contains(QStringLiteral("Aufruf: quizmora --send")));
        QVERIFY(out.isEmpty());
    }

    // Every menu entry, accelerator and tool-bar button of the program's frame, with its real game
    // view, against the command table: the texts, and the command each one runs; the caption, the
    // status bar and the tips of an entry.
    void menusKeysAndButtonsRunTheirCommands()
    {
        using namespace CommandId;
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
            {"&Bearbeiten", "Sekundentick", SecondTick}, {"&Bearbeiten", "", 0},
            {"&Bearbeiten", "Handy-Buzzer", PhoneBuzzers}, {"&Bearbeiten", "Buzzer-Tasten...", BuzzerKeys},
            {"&Ansicht", "&Flache Symbolleiste", FlatToolBar},
            {"&Ansicht", "Fenster fi&xieren", StayOnTop}, {"&Ansicht", "&Symbolleiste", ViewToolBar},
            {"&Ansicht", "S&tatusleiste", ViewStatusBar}, {"&Ansicht", "", 0},
            {"&Ansicht", "Moderatorenansicht", PresenterView}, {"&Ansicht", "Bildschirme tauschen", SwapScreens},
            {"&Ansicht", "", 0}, {"&Ansicht", "Kleine Sterne", SmallStars},
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

private:
    QTemporaryDir settingsDir_;
    QString server_;
};

QTEST_MAIN(MainFrameTest)
#include "mainframe_qtest.moc"
