// What a repaint of the image window costs: the whole window at full-HD and 4K sizes, a small
// invalidated rectangle, and the bare copy of the bottom-up buffer compared with a flipping
// transform and with drawing an upright QImage of the same size.
#include "imaging/GraphicsImage.h"
#include "ui/ImageWnd.h"
#include "ui/ImageWndBlit.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QTransform>
#include <QWindow>

#include <benchmark/benchmark.h>

namespace {

// Shows the window and waits until the platform has exposed it, so that repaints really paint.
void ShowExposed(QWidget& window)
{
    window.show();
    for (int i = 0; i < 1000 && !(window.windowHandle() && window.windowHandle()->isExposed()); ++i)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    QCoreApplication::processEvents();
}

void FillPattern(CGraphicsImage& image)
{
    for (std::uint32_t y = 0; y < image.Height(); y += 16)
        image.FillRect(0, static_cast<int>(y), static_cast<int>(image.Width()), 8, 0x3060C0 + y);
}

void BM_WindowRepaintAll(benchmark::State& state)
{
    const int width = static_cast<int>(state.range(0));
    const int height = static_cast<int>(state.range(1));
    CImageWnd window;
    window.Create(0, QRect(0, 0, width, height), nullptr, 38680);
    ShowExposed(window);
    window.RefreshSize();
    FillPattern(window.BackBuffer());
    for (auto _ : state) {
        window.InvalidateImageRect(0, 0, width, height);
        window.viewport()->repaint();
    }
    state.SetItemsProcessed(state.iterations() * width * height);
}
BENCHMARK(BM_WindowRepaintAll)->Args({1920, 1080})->Args({3840, 2160})->Unit(benchmark::kMillisecond);

void BM_WindowRepaintCell(benchmark::State& state)
{
    CImageWnd window;
    window.Create(0, QRect(0, 0, 1920, 1080), nullptr, 38680);
    ShowExposed(window);
    window.RefreshSize();
    FillPattern(window.BackBuffer());
    for (auto _ : state) {
        // One letter cell of the game screen.
        window.viewport()->repaint(QRect(800, 600, 96, 120));
    }
}
BENCHMARK(BM_WindowRepaintCell)->Unit(benchmark::kMicrosecond);

// A back buffer of the given size with the test pattern.
CGraphicsImage PatternBuffer(int width, int height)
{
    CGraphicsImage buffer;
    buffer.Create(32, static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height), 0);
    FillPattern(buffer);
    return buffer;
}

void BM_BlitBottomUp(benchmark::State& state)
{
    const int width = static_cast<int>(state.range(0));
    const int height = static_cast<int>(state.range(1));
    const CGraphicsImage buffer = PatternBuffer(width, height);
    QImage target(width, height, QImage::Format_RGB32);
    for (auto _ : state) {
        QPainter painter(&target);
        DrawBottomUpImage(painter, buffer, QRect(0, 0, width, height), QPoint(0, 0));
    }
    state.SetItemsProcessed(state.iterations() * width * height);
}
BENCHMARK(BM_BlitBottomUp)->Args({1920, 1080})->Args({3840, 2160})->Unit(benchmark::kMillisecond);

// The alternative: the whole band as one upside-down image, drawn through a flipping transform.
void BM_BlitFlipTransform(benchmark::State& state)
{
    const int width = static_cast<int>(state.range(0));
    const int height = static_cast<int>(state.range(1));
    const CGraphicsImage buffer = PatternBuffer(width, height);
    QImage target(width, height, QImage::Format_RGB32);
    for (auto _ : state) {
        QPainter painter(&target);
        const QImage rows(buffer.Data(), width, height, static_cast<qsizetype>(buffer.Stride()), QImage::Format_RGB32);
        painter.setTransform(QTransform(1, 0, 0, -1, 0, height));
        painter.drawImage(QPoint(0, 0), rows);
    }
    state.SetItemsProcessed(state.iterations() * width * height);
}
BENCHMARK(BM_BlitFlipTransform)->Args({1920, 1080})->Args({3840, 2160})->Unit(benchmark::kMillisecond);

void BM_BlitUprightReference(benchmark::State& state)
{
    const int width = static_cast<int>(state.range(0));
    const int height = static_cast<int>(state.range(1));
    QImage source(width, height, QImage::Format_RGB32);
    source.fill(0x3060C0);
    QImage target(width, height, QImage::Format_RGB32);
    for (auto _ : state) {
        QPainter painter(&target);
        painter.drawImage(QPoint(0, 0), source);
    }
    state.SetItemsProcessed(state.iterations() * width * height);
}
BENCHMARK(BM_BlitUprightReference)->Args({1920, 1080})->Args({3840, 2160})->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
