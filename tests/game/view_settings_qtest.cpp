// The view's settings: read when it is made, corrected, written back when it goes.
#include "ViewTestSupport.h"

#include "app/CommandIds.h"

#include <QApplication>

class ViewSettingsTest : public QObject {
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
        // The defaults, as the view writes what it uses.
        QCOMPARE(config.Stored(QStringLiteral("SwitchTime")).toUInt(), 5000u);
        QCOMPARE(config.Stored(QStringLiteral("SecTicker")).toUInt(), 1u);
        QCOMPARE(config.Stored(QStringLiteral("StarSize")).toUInt(), 0u);
        QCOMPARE(config.Stored(QStringLiteral("ComPort")).toUInt(), 0u);
        QCOMPARE(config.Stored(QStringLiteral("PicPath")).toString(), QString());
        QVERIFY(!config.Has(QStringLiteral("ComDevice")));
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
            QCOMPARE(harness.State().CurSwitchTime, static_cast<std::uint32_t>(expected));
        }
        QCOMPARE(config.Stored(QStringLiteral("SwitchTime")).toInt(), expected);
    }

    void anUnknownStarSizeDrawsLargeStarsAndIsKeptUntilOneIsChosen()
    {
        const CConfigSandbox config;
        config.Store(QStringLiteral("StarSize"), 7);
        config.Store(QStringLiteral("SecTicker"), 5);
        {
            CViewHarness harness;
            QCOMPARE(harness.view->Renderer().StarColumnWidth, 136);
            QCOMPARE(harness.view->Renderer().StarCellHeight, 136);
            QCOMPARE(harness.State().StarModulus, 8);
            for (const std::uint32_t id :
                 {CommandId::SmallStars, CommandId::MediumStars, CommandId::LargeStars, CommandId::TwoRows})
                QCOMPARE(harness.commands.IsChecked(id), std::optional<bool>(false));
        }
        QCOMPARE(config.Stored(QStringLiteral("StarSize")).toInt(), 7);
        QCOMPARE(config.Stored(QStringLiteral("SecTicker")).toInt(), 5);
        {
            CViewHarness harness;
            QVERIFY(harness.commands.Dispatch(CommandId::TwoRows));
        }
        QCOMPARE(config.Stored(QStringLiteral("StarSize")).toInt(), 3);
    }

    void aPuzzlePathLosesOneTrailingSeparatorAndKeepsThePreviousOne()
    {
        const CConfigSandbox config;
        const CPuzzleFolder stored;
        const CPuzzleFolder given;
        config.Store(QStringLiteral("PicPath"), stored.Path() + QLatin1Char('/'));
        {
            CViewHarness harness;
            QCOMPARE(harness.view->CurrentSettings().PicPath, stored.PathText());

            harness.view->SetPuzzlePath(given.Path() + QLatin1Char('/'));
            QCOMPARE(harness.view->CurrentSettings().PicPath, given.PathText());
            QCOMPARE(harness.view->PreviousPuzzlePath(), stored.PathText());
            QCOMPARE(harness.view->Engine().PuzzlePath().string(), given.PathText());

            harness.view->CheckPuzzlePathAtStart();
            QVERIFY(harness.posted.empty());
        }
        QCOMPARE(config.Stored(QStringLiteral("PicPath")).toString(), given.Path());
    }

    void aPathThatNamesAFileIsNoPuzzlePath()
    {
        const CConfigSandbox config;
        const CPuzzleFolder folder;
        folder.Write(1, "Frage\nAntwort\n");
        CViewHarness harness;
        harness.view->SetPuzzlePath(folder.Path() + QStringLiteral("/Game001/Game.txt"));
        harness.view->CheckPuzzlePathAtStart();
        QCOMPARE(harness.posted, std::vector<std::uint32_t>{CommandId::PuzzlePath});
    }

    void aNamedDeviceIsKeptBesideThePortIndex()
    {
        const CConfigSandbox config;
        config.Store(QStringLiteral("ComPort"), 2);
        config.Store(QStringLiteral("ComDevice"), kNoSuchDevice);
        {
            CViewHarness harness;
            QCOMPARE(harness.view->CurrentSettings().ComPort, 2u);
            QCOMPARE(QString::fromStdString(harness.view->CurrentSettings().ComDevice), kNoSuchDevice);
            // The device cannot be opened: the status says so.
            QTRY_COMPARE(harness.view->RemoteStatus(), QStringLiteral("Fernbedienung: –"));
        }
        QCOMPARE(config.Stored(QStringLiteral("ComPort")).toInt(), 2);
        QCOMPARE(config.Stored(QStringLiteral("ComDevice")).toString(), kNoSuchDevice);
    }

};

QTEST_MAIN(ViewSettingsTest)
#include "view_settings_qtest.moc"
