// The settings prompts driven through the real dialogs, as the quiz master types into them.
#include "ViewTestSupport.h"

#include "app/CommandIds.h"
#include "ui/PathDlg.h"

#include <QComboBox>
#include <QLineEdit>
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

class ViewPromptsTest : public QObject {
    Q_OBJECT

private slots:
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
            if (!device.isEmpty()) {
                // The prompt offers the device next time, and COMn clears it again.
                PromptAnswer again{QStringLiteral("COM2"), {}, {}};
                again.Arm();
                QVERIFY(harness.commands.Dispatch(CommandId::ChooseComPort));
                QCOMPARE(again.offered, device);
                QCOMPARE(harness.view->CurrentSettings().ComPort, 1u);
                QVERIFY(harness.view->CurrentSettings().ComDevice.empty());
            }
        }
        QCOMPARE(config.Has(QStringLiteral("ComDevice")), false);
    }

    void gameNumberPrompt_data()
    {
        QTest::addColumn<QString>("input");
        QTest::addColumn<int>("gameNumber");
        QTest::newRow("0 is ignored") << QStringLiteral("0") << 4;
        QTest::newRow("1000 is the last") << QStringLiteral("1000") << 999;
        QTest::newRow("the lowest number does not wrap") << QStringLiteral("-2147483648") << 4;
        QTest::newRow("cancel") << QString() << 4;
    }
    void gameNumberPrompt()
    {
        QFETCH(QString, input);
        QFETCH(int, gameNumber);
        const CConfigSandbox config;
        CViewHarness harness;
        harness.State().GameNumber = 4;

        PromptAnswer answer{input, {}, {}};
        answer.Arm();
        QVERIFY(harness.commands.Dispatch(CommandId::NextGameNumber));
        QCOMPARE(answer.title, QStringLiteral("Nächstes Spiel"));
        QCOMPARE(answer.offered, QStringLiteral("5"));
        QCOMPARE(harness.State().GameNumber, gameNumber);
        QCOMPARE(harness.State().Running, 0);  // nothing loads until F5
    }

    void switchTimePrompt_data()
    {
        QTest::addColumn<QString>("input");
        QTest::addColumn<int>("switchTime");
        QTest::newRow("too short") << QStringLiteral("1500") << 2000;
        QTest::newRow("too long") << QStringLiteral("12000") << 10000;
        QTest::newRow("cancel") << QString() << 5000;
    }
    void switchTimePrompt()
    {
        QFETCH(QString, input);
        QFETCH(int, switchTime);
        const CConfigSandbox config;
        {
            CViewHarness harness;
            PromptAnswer answer{input, {}, {}};
            answer.Arm();
            QVERIFY(harness.commands.Dispatch(CommandId::SwitchTime));
            QCOMPARE(answer.title, QStringLiteral("Schaltzeit einstellen"));
            QCOMPARE(answer.offered, QStringLiteral("5000"));
            QCOMPARE(harness.State().SwitchTime, switchTime);
            QCOMPARE(harness.State().CurSwitchTime, static_cast<std::uint32_t>(switchTime));
        }
        QCOMPARE(config.Stored(QStringLiteral("SwitchTime")).toInt(), switchTime);
    }

    void thePuzzlePathChooserStartsInThePreviousPath()
    {
        const CConfigSandbox config;
        const CPuzzleFolder stored;
        const CPuzzleFolder given;
        const CPuzzleFolder chosen;
        config.Store(QStringLiteral("PicPath"), stored.Path());
        CViewHarness harness;
        harness.view->SetPuzzlePath(given.Path() + QLatin1Char('/'));

        QString title;
        QString startFolder;
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
        QCOMPARE(title, QStringLiteral("Pfad mit Texten"));
        QCOMPARE(startFolder, stored.Path());
        QCOMPARE(harness.view->CurrentSettings().PicPath, chosen.PathText());
        QVERIFY(harness.view->PreviousPuzzlePath().empty());
        QCOMPARE(harness.view->Engine().PuzzlePath().string(), chosen.PathText());
    }

};

QTEST_MAIN(ViewPromptsTest)
#include "view_prompts_qtest.moc"
