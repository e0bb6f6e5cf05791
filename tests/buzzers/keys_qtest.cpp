// The keyboard buzzers: the stop keys come from the settings, the dialog captures a key press and
// refuses pairs that cannot work.
#include "tests/game/ViewTestSupport.h"

#include "app/BuzzerKeys.h"
#include "app/CommandIds.h"
#include "app/InfoDialogs.h"

#include <QAction>
#include <QLabel>

class BuzzerKeysTest : public QObject {
    Q_OBJECT

private slots:
    void theStopKeysAreSettings()
    {
        const CConfigSandbox config;
        config.Store(QStringLiteral("Settings/StopLeftKey"), QStringLiteral("F11"));
        const CPuzzleFolder puzzles;
        puzzles.Write(1, "Frage\nAntwort\n");
        CViewHarness program(puzzles.Path());
        QVERIFY(program.Ready());
        program.Press(Qt::Key_F5);
        program.Press(Qt::Key_F7);  // no longer a buzzer
        QCOMPARE(program.State().Stopped[0].load(), 0);
        program.Press(Qt::Key_F11);
        QCOMPARE(program.State().Stopped[0].load(), 1);
        QVERIFY(program.app->Router().Action(CommandId::StopFirstTimer)->text().endsWith(QStringLiteral("\tF11")));
        QVERIFY(program.app->Router().Action(CommandId::StopSecondTimer)->text().endsWith(QStringLiteral("\tF8")));
        // The key list shows the keys that stop the players now.
        const auto keyMap = MakeKeyMapDialog(nullptr);
        QStringList shown;
        for (const QLabel* label : keyMap->findChildren<QLabel*>())
            shown << label->text();
        QVERIFY(shown.contains(QStringLiteral("F11")) && !shown.contains(QStringLiteral("F7")));
        QVERIFY(shown.contains(QStringLiteral("F8")));
    }

    void theDialogCapturesAKeyAndChecksThePair()
    {
        CBuzzerKeysDialog dialog({}, {QKeySequence(Qt::Key_F5)});
        auto* left = dialog.findChild<CKeyCaptureEdit*>(QStringLiteral("leftKey"));
        QVERIFY(left != nullptr);
        QTest::keyClick(left, Qt::Key_Shift);  // a modifier alone is no key
        QCOMPARE(dialog.Keys().left, QKeySequence(Qt::Key_F7));
        QTest::keyClick(left, Qt::Key_B, Qt::ControlModifier);
        QCOMPARE(dialog.Keys().left, QKeySequence(Qt::CTRL | Qt::Key_B));

        // Usable: two different keys, neither missing nor another command's (F5 here).
        const std::pair<SBuzzerKeys, bool> cases[] = {{{Qt::Key_F7, Qt::Key_F8}, true}, {{Qt::Key_A, Qt::Key_B}, true},
            {{Qt::Key_A, Qt::Key_A}, false}, {{Qt::Key_F5, Qt::Key_F8}, false}, {{QKeySequence(), Qt::Key_F8}, false}};
        for (const auto& [keys, usable] : cases)
            QCOMPARE(BuzzerKeysProblem(keys, {QKeySequence(Qt::Key_F5)}).isEmpty(), usable);
    }
};

QTEST_MAIN(BuzzerKeysTest)
#include "keys_qtest.moc"
