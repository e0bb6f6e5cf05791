// The game view on its own: its settings, read when it is made, corrected, written back when it
// goes; its commands through the command table, what runs and what is checked; and the settings
// prompts driven through the real dialogs, as the quiz master types into them.
#include "ViewTestSupport.h"

#include "app/CommandIds.h"
#include "ui/PathDlg.h"

#include <QApplication>
#include <QComboBox>
#include <QCursor>
#include <QDropEvent>
#include <QImage>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>

namespace {

// Once the prompt shows: remembers its caption and text, types `input` and presses OK (or
// cancel when `input` is null).
struct PromptAnswer {
    QString input;
    QString title;
    QString offered;

    void Arm()
    {
        WhenShown<QDialog>([this](QDialog& dialog) {
            title = dialog.windowTitle();
            auto* edit = dialog.findChild<QLineEdit*>(QStringLiteral("editField"));
            offered = edit->text();
            const char* button = input.isNull() ? "cancelButton" : "okButton";
            if (!input.isNull()) {
                edit->clear();
                QTest::keyClicks(edit, input);
            }
            QTest::mouseClick(dialog.findChild<QPushButton*>(QString::fromLatin1(button)), Qt::LeftButton);
        });
    }
};

}  // namespace

class ViewTest : public QObject {
    Q_OBJECT

private slots:
    void firstStartUsesTheDefaultsAndAsksForThePuzzlePath()
    {
        const CConfigSandbox config;
        {
            CViewHarness harness(1024, 700, false);
            harness.view->CheckPuzzlePathAtStart();
            QCOMPARE(harness.posted, std::vector<std::uint32_t>{CommandId::PuzzlePath});
        }
        // The settings are written back, a device only when one is named.
        QCOMPARE(config.Stored(QStringLiteral("SwitchTime")).toUInt(), 5000u);
        QVERIFY(!config.Stored(QStringLiteral("ComDevice")).isValid());
    }

    void switchTimeIsClampedAndWrittenBackCorrected_data()
    {
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<int>("expected");
        QTest::newRow("too short") << QVariant(500) << 2000;
        QTest::newRow("too long") << QVariant(20000) << 10000;
        QTest::newRow("above 2^31 reads as negative") << QVariant(4294967000u) << 2000;
        QTest::newRow("not a number keeps the default") << QVariant(QStringLiteral("fast")) << 5000;
    }
    void switchTimeIsClampedAndWrittenBackCorrected()
    {
        QFETCH(QVariant, stored);
        QFETCH(int, expected);
        const CConfigSandbox config;
        config.Store(QStringLiteral("SwitchTime"), stored);
        {
            CViewHarness harness;
            QCOMPARE(harness.State().SwitchTime, expected);
        }
        QCOMPARE(config.Stored(QStringLiteral("SwitchTime")).toInt(), expected);
    }

    void anUnknownStarSizeDrawsLargeStarsAndIsKept()
    {
        const CConfigSandbox config;
        config.Store(QStringLiteral("StarSize"), 7);
        config.Store(QStringLiteral("SecTicker"), 5);
        {
            CViewHarness harness;
            QCOMPARE(harness.view->Renderer().StarColumnWidth, 136);
            QCOMPARE(harness.view->Renderer().StarCellHeight, 136);
            for (const std::uint32_t id :
                 {CommandId::SmallStars, CommandId::MediumStars, CommandId::LargeStars, CommandId::TwoRows})
                QCOMPARE(harness.commands.IsChecked(id), std::optional<bool>(false));
        }
        QCOMPARE(config.Stored(QStringLiteral("StarSize")).toInt(), 7);
        QCOMPARE(config.Stored(QStringLiteral("SecTicker")).toInt(), 5);
    }

    // The layouts are the renderer's; here the check marks, the view drawing the new layout, and
    // the size chosen last written back.
    void starSizesCarryExactlyOneCheckMark()
    {
        const CConfigSandbox config;
        {
            CViewHarness h;
            const std::uint32_t sizes[] = {CommandId::SmallStars, CommandId::TwoRows, CommandId::LargeStars,
                                           CommandId::MediumStars};
            for (const std::uint32_t command : sizes) {
                QVERIFY(h.commands.Dispatch(command));
                for (const std::uint32_t id : sizes)
                    QCOMPARE(h.commands.IsChecked(id), std::optional<bool>(id == command));
            }
            // The new layout is drawn at the next tick: the separator starts right after the column.
            h.view->TimerStep();
            QCOMPARE(h.Pixel(102, 10), 0xDEDEDEu);
            QCOMPARE(h.Pixel(102 + 5, 10), 0x2C2C2Cu);
        }
        QCOMPARE(config.Stored(QStringLiteral("StarSize")).toInt(), 1);
    }

    void theCursorIsParkedOnlyInFullScreenFromAMaximizedWindow_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("parked");
        QTest::newRow("normal window") << 0 << false;
        QTest::newRow("full screen from a normal window") << 1 << false;
        QTest::newRow("full screen from a maximized window") << 2 << true;
    }
    void theCursorIsParkedOnlyInFullScreenFromAMaximizedWindow()
    {
        QFETCH(int, mode);
        QFETCH(bool, parked);
        const CConfigSandbox config;
        CViewHarness harness;
        CQuizmoraView& view = *harness.view;
        view.SetCursorParkMode(mode);
        const QPoint topLeft = view.mapToGlobal(QPoint(0, 0));
        const QPoint corner = topLeft + QPoint(view.width() - 1, view.height() - 1);
        const QPoint inside = topLeft + QPoint(100, 100);
        QCursor::setPos(inside);
        QTRY_COMPARE(QCursor::pos(), inside);
        view.TimerStep();
        QCOMPARE(QCursor::pos(), parked ? corner : inside);

        // The parking spot itself lies outside: a cursor left there stays.
        QCursor::setPos(corner);
        QTRY_COMPARE(QCursor::pos(), corner);
        view.TimerStep();
        QCOMPARE(QCursor::pos(), corner);

        // The full-screen switch resizes the view after the mode was set.
        view.resize(view.width() + 50, view.height() + 40);
        QCursor::setPos(corner);
        QTRY_COMPARE(QCursor::pos(), corner);
        view.TimerStep();
        QCOMPARE(QCursor::pos(), parked ? corner + QPoint(50, 40) : corner);
    }

    void aNewPuzzleFromTheEditorStartsAtOnce()
    {
        const CConfigSandbox config;
        const CPuzzleFolder puzzles;
        puzzles.Write(1, "Wie heißt die Hauptstadt von Frankreich?\nParis\n");
        CViewHarness h;
        h.view->SetPuzzlePath(puzzles.Path());
        QVERIFY(h.commands.Dispatch(CommandId::NextPuzzle));

        QString title;
        WhenShown<QDialog>([&title](QDialog& dialog) {
            title = dialog.windowTitle();
            dialog.findChild<QLineEdit*>(QStringLiteral("questionEdit"))->setText(QStringLiteral("Neue Frage"));
            dialog.findChild<QLineEdit*>(QStringLiteral("answerEdit"))->setText(QStringLiteral("Neu"));
            QTest::mouseClick(dialog.findChild<QPushButton*>(QStringLiteral("okButton")), Qt::LeftButton);
        });
        QVERIFY(h.commands.Dispatch(CommandId::NewPuzzle));
        QCOMPARE(title, QStringLiteral("Neues Bild erstellen"));
        QCOMPARE(h.State().Running, 1);
        QCOMPARE(h.State().QuestionText(), std::string_view("Neue Frage"));
        QCOMPARE(h.State().CoveredCount, 3);
        // The step that ran with it has drawn the new question and three covered cells.
        QCOMPARE(h.State().QuestionDirty, 0);
        QCOMPARE(h.State().AnswerDirty, 0);
        QVERIFY(h.CountIf(142, 0, h.view->width() - 284, 36, [](std::uint32_t rgb) { return rgb != 0; }) > 0);
        QVERIFY(QApplication::overrideCursor() == nullptr);
    }

    void dropsOnTheGame_data()
    {
        QTest::addColumn<QString>("dropped");  // below the puzzle set
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<bool>("becomesPath");  // the set becomes the puzzle path
        QTest::newRow("puzzle set") << QString() << true << true;
        QTest::newRow("puzzle folder") << QStringLiteral("Game001") << true << true;
        QTest::newRow("picture") << QStringLiteral("Game001/Pic.png") << true << false;
        QTest::newRow("not a picture") << QStringLiteral("Game001/Game.txt") << false << false;
        QTest::newRow("folder without puzzles") << QStringLiteral("Leer") << false << false;
    }

    void dropsOnTheGame()
    {
        QFETCH(QString, dropped);
        QFETCH(bool, accepted);
        QFETCH(bool, becomesPath);
        const CConfigSandbox config;
        const CPuzzleFolder puzzles;
        puzzles.Write(1, "Frage\nAntwort\n");
        QDir(puzzles.Path()).mkpath(QStringLiteral("Leer"));
        const QString file = puzzles.Path() + QLatin1Char('/') + dropped;
        QImage(20, 10, QImage::Format_RGB32).save(puzzles.Path() + QStringLiteral("/Game001/Pic.png"));
        CViewHarness h;
        h.view->SetPuzzlePath(QStringLiteral("/nonexistent/quiz"));

        QMimeData mime;
        mime.setUrls({QUrl::fromLocalFile(file)});
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(h.view, &enter);
        QCOMPARE(enter.isAccepted(), accepted);

        QString offered;
        const bool editorOpens = accepted && !becomesPath;
        if (editorOpens)
            WhenShown<QDialog>([&offered](QDialog& dialog) {
                offered = dialog.findChild<QComboBox*>(QStringLiteral("pictureCombo"))->currentText();
                QTest::mouseClick(dialog.findChild<QPushButton*>(QStringLiteral("cancelButton")), Qt::LeftButton);
            });
        QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(h.view, &drop);
        if (editorOpens)
            QTRY_COMPARE(offered, file);
        QCOMPARE(h.view->CurrentSettings().PicPath, becomesPath ? puzzles.PathText() : std::string("/nonexistent/quiz"));
    }

    void comPortPrompt_data()
    {
        QTest::addColumn<QString>("input");
        QTest::addColumn<unsigned>("index");
        QTest::addColumn<QString>("device");
        QTest::newRow("com3") << QStringLiteral("com3") << 2u << QString();
        QTest::newRow("device path keeps the index") << QStringLiteral("/dev/ttyUSB0") << 5u
                                                     << QStringLiteral("/dev/ttyUSB0");
        QTest::newRow("cancel") << QString() << 5u << QString();
    }
    void comPortPrompt()
    {
        QFETCH(QString, input);
        QFETCH(unsigned, index);
        QFETCH(QString, device);
        const CConfigSandbox config;
        config.Store(QStringLiteral("ComPort"), 5);
        {
            CViewHarness harness(1024, 700, false);
            PromptAnswer answer{input, {}, {}};
            answer.Arm();
            QVERIFY(harness.commands.Dispatch(CommandId::ChooseComPort));
            QCOMPARE(answer.title, QStringLiteral("COM-Port"));
            QCOMPARE(answer.offered, QStringLiteral("COM6"));
            QCOMPARE(harness.view->CurrentSettings().ComPort, index);
            QCOMPARE(QString::fromStdString(harness.view->CurrentSettings().ComDevice), device);
        }
        QCOMPARE(config.Stored(QStringLiteral("ComPort")).toUInt(), index);
        QCOMPARE(config.Stored(QStringLiteral("ComDevice")).toString(), device);  // removed when none
    }

    void numberPrompts_data()
    {
        QTest::addColumn<unsigned>("command");
        QTest::addColumn<QString>("input");
        QTest::addColumn<int>("value");
        const unsigned game = CommandId::NextGameNumber;
        const unsigned time = CommandId::SwitchTime;
        QTest::newRow("game number 0 is ignored") << game << QStringLiteral("0") << 4;
        QTest::newRow("game number 1000 is the last") << game << QStringLiteral("1000") << 999;
        QTest::newRow("the lowest game number does not wrap") << game << QStringLiteral("-2147483648") << 4;
        QTest::newRow("game number cancelled") << game << QString() << 4;
        QTest::newRow("switch time too short") << time << QStringLiteral("1500") << 2000;
        QTest::newRow("switch time cancelled") << time << QString() << 5000;
    }
    void numberPrompts()
    {
        QFETCH(unsigned, command);
        QFETCH(QString, input);
        QFETCH(int, value);
        const CConfigSandbox config;
        CViewHarness harness;
        harness.State().GameNumber = 4;

        PromptAnswer answer{input, {}, {}};
        answer.Arm();
        QVERIFY(harness.commands.Dispatch(command));
        const bool game = command == CommandId::NextGameNumber;
        QCOMPARE(answer.title, game ? QStringLiteral("Nächstes Spiel") : QStringLiteral("Schaltzeit einstellen"));
        QCOMPARE(answer.offered, game ? QStringLiteral("5") : QStringLiteral("5000"));
        QCOMPARE(game ? harness.State().GameNumber : harness.State().SwitchTime, value);
        QCOMPARE(harness.State().Running, 0);  // nothing loads until F5
    }

    // The path given at the start loses one trailing separator and keeps the stored one as the
    // previous path, where the chooser starts; the chosen path is the one written back.
    void thePuzzlePathChooserStartsInThePreviousPath()
    {
        const CConfigSandbox config;
        const CPuzzleFolder stored;
        const CPuzzleFolder given;
        const CPuzzleFolder chosen;
        config.Store(QStringLiteral("PicPath"), stored.Path() + QLatin1Char('/'));
        QString title;
        QString startFolder;
        {
            CViewHarness harness;
            QCOMPARE(harness.view->CurrentSettings().PicPath, stored.PathText());
            harness.view->SetPuzzlePath(given.Path() + QLatin1Char('/'));
            QCOMPARE(harness.view->CurrentSettings().PicPath, given.PathText());
            QCOMPARE(harness.view->PreviousPuzzlePath(), stored.PathText());
            harness.view->CheckPuzzlePathAtStart();
            QVERIFY(harness.posted.empty());

            WhenShown<QDialog>([&](QDialog& widget) {
                auto& dialog = static_cast<CPathDlg&>(widget);
                title = dialog.windowTitle();
                startFolder = dialog.ShownFolder();
                dialog.findChild<QComboBox*>(QStringLiteral("pathField"))->lineEdit()->setText(chosen.Path() + QLatin1Char('/'));
                dialog.accept();  // shows the typed folder first
                QTRY_COMPARE(dialog.ShownFolder(), chosen.Path());
                dialog.accept();
            });
            QVERIFY(harness.commands.Dispatch(CommandId::PuzzlePath));
            QCOMPARE(harness.view->CurrentSettings().PicPath, chosen.PathText());
            QVERIFY(harness.view->PreviousPuzzlePath().empty());
            QCOMPARE(harness.view->Engine().PuzzlePath().string(), chosen.PathText());
        }
        QCOMPARE(title, QStringLiteral("Pfad mit Texten"));
        QCOMPARE(startFolder, stored.Path());
        QCOMPARE(config.Stored(QStringLiteral("PicPath")).toString(), chosen.Path());
    }
};

QTEST_MAIN(ViewTest)
#include "view_qtest.moc"
