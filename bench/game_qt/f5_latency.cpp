// F5 to picture: the time from the F5 key event to the first pixels of the next puzzle's
// 3840 x 2160 "Pic.png" in the back buffer, with the program's own frame, keys, timer and worker.
// Each switch follows a played puzzle (F7, F6) long enough for the worker to have prepared the
// next picture, as in a show. "Synchronous" reads and decodes the picture on the GUI thread at F5,
// as the game did before the worker. Median and 95th percentile over 50 switches, in ms.

#include "app/MainFrame.h"
#include "app/QuizmoraApp.h"
#include "game/QuizmoraView.h"
#include "imaging/GraphicsFile.h"
#include "ui/ImageWnd.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <vector>

namespace {

constexpr int kSwitches = 50;
constexpr int kPictureWidth = 3840;
constexpr int kPictureHeight = 2160;
constexpr std::uint32_t kMarks[2] = {0xC03010, 0x1030C0};

// A photo-like picture (gradients and noise) with a solid mark in its middle that tells the two
// pictures apart on screen.
bool WritePicture(const std::filesystem::path& file, std::uint32_t mark)
{
    CGraphicsImage picture;
    if (!picture.Create(24, kPictureWidth, kPictureHeight, 0))
        return false;
    std::uint32_t seed = mark;
    for (int y = 0; y < kPictureHeight; ++y) {
        std::uint8_t* row = picture.Row(y);
        for (int x = 0; x < kPictureWidth; ++x) {
            seed = seed * 1103515245u + 12345u;
            const int noise = static_cast<int>((seed >> 16) & 7);
            row[3 * x] = static_cast<std::uint8_t>(x * 240 / kPictureWidth + noise);
            row[3 * x + 1] = static_cast<std::uint8_t>(y * 240 / kPictureHeight + noise);
            row[3 * x + 2] = static_cast<std::uint8_t>((x + y) * 120 / kPictureWidth + noise);
        }
    }
    picture.FillRect(kPictureWidth / 4, kPictureHeight / 4, kPictureWidth / 2, kPictureHeight / 2, mark);
    return SaveGraphicsFile(file.string(), picture) == kSaveOk;
}

// Puzzles 1 to 51, their pictures alternating between two files (hard links: one file's worth
// of disk, yet a file of its own for each puzzle).
bool WritePuzzleSet(const std::filesystem::path& root)
{
    const std::filesystem::path pictures[2] = {root / "a.png", root / "b.png"};
    for (int i = 0; i < 2; ++i)
        if (!WritePicture(pictures[i], kMarks[i]))
            return false;
    for (int number = 1; number <= kSwitches + 1; ++number) {
        char name[16];
        std::snprintf(name, sizeof name, "Game%03d", number);
        const std::filesystem::path folder = root / name;
        std::filesystem::create_directories(folder);
        std::ofstream(folder / "Game.txt") << "Was ist hier zu sehen ?\nBild Nummer " << number << "\n";
        std::error_code error;
        std::filesystem::create_hard_link(pictures[number % 2], folder / "Pic.png", error);
        if (error)
            return false;
    }
    return true;
}

// The mark scaled down with the picture: the box filter may take each channel a few steps down.
bool IsMark(std::uint32_t pixel, std::uint32_t mark)
{
    for (int shift = 0; shift < 24; shift += 8)
        if (std::abs(static_cast<int>(pixel >> shift & 0xFF) - static_cast<int>(mark >> shift & 0xFF)) > 8)
            return false;
    return true;
}

double Percentile(std::vector<double> values, double share)
{
    std::sort(values.begin(), values.end());
    const auto index = static_cast<std::size_t>(share * static_cast<double>(values.size() - 1) + 0.5);
    return values[std::min(index, values.size() - 1)];
}

void F5ToPicture(benchmark::State& state, bool synchronous)
{
    QTemporaryDir config;
    QTemporaryDir set;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, config.path());
    QSettings(QStringLiteral("KQ"), QStringLiteral("Quizmora"))
        .setValue(QStringLiteral("ComDevice"), QStringLiteral("/nonexistent/quizmora-bench-tty"));
    if (!WritePuzzleSet(set.path().toStdString())) {
        state.SkipWithError("cannot write the puzzle set");
        return;
    }
    int argc = 1;
    char name[] = "quizmora";
    char* argv[] = {name, nullptr};
    CQuizmoraApp app(argc, argv);
    CQuizmoraView* view = nullptr;
    const auto makeView = [&view](const GameViewContext& context) {
        auto made = std::make_unique<CQuizmoraView>(context);
        view = made.get();
        return made;
    };
    CSilentSound silence;
    if (!app.InitInstance({set.path()}, makeView, &silence)) {
        state.SkipWithError("the program did not start");
        return;
    }
    app.Frame()->resize(1920, 1080);
    app.Frame()->show();
    app.Frame()->activateWindow();
    if (!QTest::qWaitForWindowActive(app.Frame())) {
        state.SkipWithError("the frame did not become active");
        return;
    }
    if (synchronous)
        view->Engine().SetPictureSource(nullptr);

    std::vector<double> latencies;
    QElapsedTimer clock;
    for (auto _ : state) {
        // The puzzle before plays until the worker has the next picture ready.
        QTest::qWait(100);
        while (!view->PictureSupply().Idle())
            QTest::qWait(10);
        const int number = view->Engine().State().GameNumber + 1;
        const std::uint32_t mark = kMarks[number % 2];
        clock.start();
        QTest::keyClick(app.Frame(), Qt::Key_F5);
        // The mark sits in the middle of the picture, which is centred on the screen's middle.
        const CGameRenderer& renderer = view->Renderer();
        bool shown = false;
        while (!shown && clock.elapsed() < 3000) {
            QCoreApplication::processEvents(QEventLoop::AllEvents);
            const CGameRenderer::SRect& r = renderer.PictureRect;
            shown = r.w > 0 && IsMark(view->BackBuffer().GetPixelFn(r.x + r.w / 2, r.y + r.h / 2), mark);
        }
        if (!shown) {
            state.SkipWithError("the picture did not show");
            break;
        }
        const double seconds = static_cast<double>(clock.nsecsElapsed()) * 1e-9;
        state.SetIterationTime(seconds);
        latencies.push_back(seconds * 1000.0);
        QTest::keyClick(app.Frame(), Qt::Key_F7);
        QTest::keyClick(app.Frame(), Qt::Key_F6);
    }
    state.counters["median_ms"] = Percentile(latencies, 0.5);
    state.counters["p95_ms"] = Percentile(latencies, 0.95);
    state.counters["max_ms"] = Percentile(latencies, 1.0);
}

void BM_F5ToPicture(benchmark::State& state) { F5ToPicture(state, false); }
void BM_F5ToPictureSynchronous(benchmark::State& state) { F5ToPicture(state, true); }
BENCHMARK(BM_F5ToPicture)->Iterations(kSwitches)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_F5ToPictureSynchronous)->Iterations(kSwitches)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
