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
    void init() { ClearSettings(); }

    void restoredOnTheSecondScreen()
    {
        Store(0, 1700, 50, 800, 600, 1);
        Started s = Start();
        QTRY_COMPARE(s.frame->frameGeometry(), QRect(1700, 50, 800, 600));  // border and caption included
        QCOMPARE(s.frame->screen(), QGuiApplication::screens()[1]);
        s.frame->move(100, 100);
        s.frame->close();
        QCOMPARE(ReadSetting("LastMonitor"), 0u);
        QCOMPARE(ReadSetting("LastPosX"), 100u);
    }

    void wrongScreenIsCentredOnTheStoredOne()
    {
        // The rectangle lies on screen 0 but was stored for screen 1: it does not fit screen 1,
        // so the default placement is taken and moved onto screen 1, centred.
        Store(0, 10, 10, 800, 600, 1);
        Started s = Start();
        const QRect frame = s.frame->frameGeometry();
        QCOMPARE(QGuiApplication::screenAt(frame.center()), QGuiApplication::screens()[1]);
        QVERIFY(qAbs(frame.center().x() - (1600 + 960)) <= 2);
    }

    void detachedScreenIndexTestsThePrimary()
    {
        Store(0, 200, 120, 640, 480, 7);
        Started s = Start();
        QCOMPARE(s.frame->pos(), QPoint(200, 120));

        s.frame->close();
        Store(0, 2000, 120, 640, 480, 7);  // fits only the second screen, which the index does not name
        Started t = Start();
        QVERIFY(t.frame->pos() != QPoint(2000, 120));
    }

    void closingMaximizedKeepsTheRectangle()
    {
        Store(0, 1700, 50, 800, 600, 1);
        {
            Started s = Start();
            s.frame->showMaximized();
            s.frame->close();
        }
        QCOMPARE(ReadSetting("IsZoomed"), 1u);
        QCOMPARE(ReadSetting("LastPosX"), 1700u);
        QCOMPARE(ReadSetting("LastSizeX"), 800u);
        QCOMPARE(ReadSetting("LastMonitor"), 1u);
        Started again = Start();
        QVERIFY(again.frame->isMaximized());
        QCOMPARE(again.frame->screen(), QGuiApplication::screens()[1]);
    }

    void fullScreenCoversItsOwnScreenAndComesBack()
    {
        QScreen* right = QGuiApplication::screens()[1];
        for (const bool maximized : {false, true}) {
            Store(0, 1700, 50, 800, 600, 1);
            Started s = Start();
            QTRY_COMPARE(s.frame->screen(), right);
            if (maximized)
                s.frame->showMaximized();
            QTRY_COMPARE(s.frame->geometry().width() > 1000, maximized);
            const QRect before = s.frame->geometry();
            s.frame->ToggleFullScreen();
            QTRY_COMPARE(s.frame->geometry(), right->geometry());
            s.frame->SavePlacement();  // as if closed now: the screen it is on, the old rectangle kept
            QCOMPARE(ReadSetting("LastMonitor"), 1u);
            s.frame->ToggleFullScreen();
            QCOMPARE(s.frame->isMaximized(), maximized);
            QTRY_COMPARE(s.frame->geometry(), before);
        }
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
