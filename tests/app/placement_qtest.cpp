// The window's placement on a desktop of two screens side by side (the offscreen platform's
// screens come from a configuration file written before the application starts).
#include "TestGameView.h"

#include <QApplication>
#include <QFile>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>

namespace {

void Store(int zoomed, int x, int y, int width, int height, int monitor)
{
    CSettingsKey settings(std::string_view("Settings"));
    settings.WriteDword("IsZoomed", static_cast<std::uint32_t>(zoomed));
    settings.WriteDword("LastPosX", static_cast<std::uint32_t>(x));
    settings.WriteDword("LastPosY", static_cast<std::uint32_t>(y));
    settings.WriteDword("LastSizeX", static_cast<std::uint32_t>(width));
    settings.WriteDword("LastSizeY", static_cast<std::uint32_t>(height));
    settings.WriteDword("LastMonitor", static_cast<std::uint32_t>(monitor));
    settings.Sync();
}

}  // namespace

class PlacementTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QCOMPARE(QGuiApplication::screens().size(), 2);
        QCOMPARE(QGuiApplication::screens()[1]->geometry(), QRect(1600, 0, 1920, 1080));
        QVERIFY(UseSettingsFolder(settingsDir_));
    }

    void restoredFullScreenAndMaximizedOnTheirScreen()
    {
        QScreen* right = QGuiApplication::screens()[1];
        for (const bool maximized : {false, true}) {
            Store(0, 1700, 50, 800, 600, 1);
            Started s = Start();
            QTRY_COMPARE(s.frame->frameGeometry(), QRect(1700, 50, 800, 600));  // border and caption included
            QCOMPARE(s.frame->screen(), right);
            if (maximized)
                s.frame->showMaximized();
            QTRY_COMPARE(s.frame->geometry().width() > 1000, maximized);
            const QRect before = s.frame->geometry();
            s.frame->ToggleFullScreen();
            QTRY_COMPARE(s.frame->geometry(), right->geometry());
            // As if closed now: maximized, on the screen it is on, the old rectangle kept.
            s.frame->SavePlacement();
            QCOMPARE(ReadSetting("IsZoomed"), 1u);
            QCOMPARE(ReadSetting("LastMonitor"), 1u);
            QCOMPARE(ReadSetting("LastSizeX"), 800u);
            s.frame->ToggleFullScreen();
            QCOMPARE(s.frame->isMaximized(), maximized);
            QTRY_COMPARE(s.frame->geometry(), before);
            s.frame->close();
        }
        // Closed maximized: the rectangle under it is kept, and the next start is maximized on
        // the same screen.
        QCOMPARE(ReadSetting("IsZoomed"), 1u);
        QCOMPARE(ReadSetting("LastPosX"), 1700u);
        Started again = Start();
        QVERIFY(again.frame->isMaximized());
        QCOMPARE(again.frame->screen(), right);
        // Closed on the first screen: that screen is stored.
        again.frame->showNormal();
        again.frame->move(100, 100);
        again.frame->close();
        QCOMPARE(ReadSetting("LastMonitor"), 0u);
        QCOMPARE(ReadSetting("LastPosX"), 100u);
    }

private:
    QTemporaryDir settingsDir_;
};

int main(int argc, char** argv)
{
    QTemporaryDir configDir;
    const QString configPath = configDir.filePath(QStringLiteral("screens.json"));
    QFile config(configPath);
    if (!config.open(QIODevice::WriteOnly))
        return 1;
    config.write(R"({"screens": [
        {"name": "left", "x": 0, "y": 0, "width": 1600, "height": 1000, "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1},
        {"name": "right", "x": 1600, "y": 0, "width": 1920, "height": 1080, "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}
    ]})");
    config.close();
    qputenv("QT_QPA_PLATFORM", QByteArray("offscreen:configfile=") + configPath.toUtf8());
    QApplication app(argc, argv);
    PlacementTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "placement_qtest.moc"
