// The image window on the offscreen platform: the buffer follows the window, painting shows the
// buffer and the background, invalidation repaints only what was asked, scrolling and centring,
// and the callbacks receive buffer coordinates.
#include "ui/ImageWnd.h"

#include <QImage>
#include <QPainter>
#include <QTest>

#include <vector>

namespace {

constexpr std::uint32_t kRed = 0xFF0000;
constexpr std::uint32_t kGreen = 0x00FF00;
constexpr std::uint32_t kBlue = 0x0000FF;

std::uint32_t PixelAt(const QImage& image, int x, int y)
{
    return image.pixel(x, y) & 0x00FFFFFF;
}

// A window of the given client size, shown, with its buffer made (of the preset size, if any).
std::unique_ptr<CImageWnd> MakeWindow(int width, int height, std::uint32_t options = 0, QSize preset = {})
{
    auto window = std::make_unique<CImageWnd>();
    window->Create(options, QRect(0, 0, width, height), nullptr, 38680);
    window->show();
    if (!preset.isEmpty())
        window->SetPresetSize(preset.width(), preset.height());
    window->RefreshSize();
    return window;
}

}  // namespace

class ImageWndTest : public QObject {
    Q_OBJECT
private slots:
    void bufferFollowsTheWindow()
    {
        auto window = MakeWindow(120, 80);
        window->SetBackgroundColor(kBlue);
        CGraphicsImage& buffer = window->BackBuffer();
        QCOMPARE(buffer.Width(), 120u);
        QCOMPARE(buffer.Height(), 80u);
        buffer.FillRect(0, 0, 120, 80, kRed);
        buffer.FillRect(0, 0, 120, 1, kGreen);  // the top row

        window->resize(200, 100);
        QCOMPARE(buffer.Width(), 200u);
        QCOMPARE(buffer.Height(), 100u);
        // The old picture stays at the top-left; the new area has the background colour.
        QCOMPARE(buffer.GetPixelFn(119, 79) & 0xFFFFFF, kRed);
        QCOMPARE(buffer.GetPixelFn(120, 0) & 0xFFFFFF, kBlue);
        QCOMPARE(buffer.GetPixelFn(0, 80) & 0xFFFFFF, kBlue);

        window->SetMaximumBufferSize(150, 90);
        window->resize(210, 110);
        QCOMPARE(buffer.Width(), 150u);
        QCOMPARE(buffer.Height(), 90u);
        const QImage shown = window->grab().toImage();
        QCOMPARE(PixelAt(shown, 149, 10), kBlue);   // buffer's own background part
        QCOMPARE(PixelAt(shown, 10, 0), kGreen);  // right way up
        QCOMPARE(PixelAt(shown, 10, 10), kRed);
        QCOMPARE(PixelAt(shown, 200, 100), kBlue);  // beyond the buffer: background

        window->SetPresetSize(300, 20);
        window->RefreshSize();
        QCOMPARE(buffer.Width(), 300u);
        QCOMPARE(buffer.Height(), 90u);
    }

    void onlyTheInvalidatedPartIsPainted()
    {
        auto window = MakeWindow(60, 40);
        std::vector<QRect> painted;
        window->SetPaintCallback([&painted](QPainter&, const QRect& rect) { painted.push_back(rect); });
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        QCoreApplication::processEvents();
        painted.clear();

        window->InvalidateImageRect(30, 20, -10, -5);  // to the left of and above (30, 20)
        QTRY_VERIFY(!painted.empty());
        QCOMPARE(painted.back(), QRect(20, 15, 10, 5));

        // A change of the whole buffer is painted only where the owner invalidates it.
        window->BackBuffer().FillRect(0, 0, 60, 40, kGreen);
        painted.clear();
        window->InvalidateImageRect(0, 0, 10, 10);
        QTRY_VERIFY(!painted.empty());
        QCOMPARE(painted.back(), QRect(0, 0, 10, 10));
    }

    void centringAndScrolling()
    {
        auto window = MakeWindow(100, 80, CImageWnd::CentreBuffer | CImageWnd::FixedSize, {40, 20});
        window->SetBackgroundColor(kBlue);
        QCOMPARE(window->BackBuffer().Width(), 40u);
        window->SetScrollOrigin(0, 0);
        QCOMPARE(window->ScrollOrigin(), QPoint(-30, -30));
        window->BackBuffer().FillRect(0, 0, 40, 20, kRed);
        const QImage shown = window->grab().toImage();
        QCOMPARE(PixelAt(shown, 29, 40), kBlue);
        QCOMPARE(PixelAt(shown, 30, 30), kRed);
        QCOMPARE(PixelAt(shown, 69, 49), kRed);
        QCOMPARE(PixelAt(shown, 70, 49), kBlue);
        QCOMPARE(PixelAt(shown, 50, 50), kBlue);

        // A buffer larger than the window scrolls within its bounds.
        auto big = MakeWindow(50, 50, CImageWnd::FixedSize, {200, 100});
        big->BackBuffer().FillRect(0, 0, 200, 100, kBlue);
        big->BackBuffer().FillRect(150, 50, 50, 50, kGreen);
        QVERIFY(big->SetScrollOrigin(1000, 1000));
        QCOMPARE(big->ScrollOrigin(), QPoint(150, 50));
        QVERIFY(!big->SetScrollOrigin(150, 50));
        const QImage corner = big->grab().toImage();
        QCOMPARE(PixelAt(corner, 0, 0), kGreen);
        QCOMPARE(PixelAt(corner, 49, 49), kGreen);
        QVERIFY(big->SetScrollOrigin(-20, 10));
        QCOMPARE(big->ScrollOrigin(), QPoint(0, 10));

        // Without centring a small buffer may be moved right or down, but not beyond the window.
        auto free = MakeWindow(100, 100, CImageWnd::FixedSize, {40, 40});
        free->SetScrollOrigin(-30, -90);
        QCOMPARE(free->ScrollOrigin(), QPoint(-30, -60));
        auto topLeft = MakeWindow(100, 100, CImageWnd::FixedSize | CImageWnd::KeepTopLeft, {40, 40});
        topLeft->SetScrollOrigin(-30, -30);
        QCOMPARE(topLeft->ScrollOrigin(), QPoint(0, 0));
    }

    void mouseInBufferCoordinates()
    {
        auto window = MakeWindow(50, 50, CImageWnd::FixedSize, {200, 200});
        window->SetScrollOrigin(100, 40);
        std::vector<CImageWnd::MouseEvent> events;
        window->SetMouseCallback([&events](const CImageWnd::MouseEvent& event) { events.push_back(event); });
        QTest::mousePress(window->viewport(), Qt::LeftButton, {}, QPoint(5, 6));
        QTest::mouseRelease(window->viewport(), Qt::RightButton, {}, QPoint(7, 8));
        QTest::mouseDClick(window->viewport(), Qt::MiddleButton, {}, QPoint(1, 1));
        QVERIFY(!events.empty());
        QCOMPARE(static_cast<int>(events.front().action), static_cast<int>(CImageWnd::MouseAction::LeftDown));
        QCOMPARE(events.front().position, QPoint(105, 46));
        bool sawDouble = false;
        for (const auto& event : events)
            sawDouble = sawDouble || (event.action == CImageWnd::MouseAction::MiddleDoubleClick && event.position == QPoint(101, 41));
        QVERIFY(sawDouble);
    }

};

QTEST_MAIN(ImageWndTest)
#include "imagewnd_qtest.moc"
