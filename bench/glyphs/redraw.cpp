// A full redraw of the game screen: a star-size change followed by one drawing step, with a
// four-row answer of 255 letters. "Afresh" renders and scales every letter from the letter font
// again, as before the scaled glyphs were kept; "Kept" reuses them. "FittedPicture" shows a
// 4000 x 3000 photo scaled into its box (made once, kept); "Refit" makes that copy anew in each
// redraw, as a window size change does.

#include "game/GameEngine.h"
#include "game/GameRenderer.h"
#include "game/QtLetterGlyphs.h"
#include "game/RenderTarget.h"
#include "bench/imaging/PhotoLikeImage.h"

#include <QGuiApplication>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>

namespace {

std::string FourRowAnswer()
{
    std::string answer;
    const std::string letters = "ABCDEFGHIJKLMNOPQRSTUVWXYZ\xC4\xD6\xDC\xDF" "0123456789";
    for (int row = 0; row < 4; ++row) {
        if (row > 0)
            answer += '|';
        for (int i = 0; i < 63; ++i)
            answer += letters[(row * 63 + i) % letters.size()];
    }
    return answer.substr(0, 255);
}

enum class PictureKind { Small, Fitted, Refit };

void FullRedraw(benchmark::State& benchState, int width, int height, bool afresh, PictureKind kind = PictureKind::Small)
{
    CManualTicks clock;
    CRandom random;
    CSilentSound sound;
    CGameEngine engine(clock, random, sound);
    CBufferRenderTarget target;
    CQtLetterGlyphs glyphs;
    CGameRenderer renderer(engine.State(), engine.ShownPicture(), target, glyphs);
    renderer.LoadResources(0);
    renderer.OnSize(width, height);
    SetFieldText(engine.State().Question, "Welche Buchstaben verbergen sich hier ?");
    SetFieldText(engine.State().Answer, FourRowAnswer());
    engine.PrepareAnswer();
    if (kind == PictureKind::Small)
        engine.Picture().Create(24, 640, 400, 0x336699);
    else
        engine.Picture().CopyFrom(benchpicture::PhotoLikeImage());
    for (std::size_t i = 0; i < 255; i += 2)
        engine.State().Shown[i] = 1;
    for (auto _ : benchState) {
        if (afresh)
            renderer.ClearGlyphCache();
        if (kind == PictureKind::Refit)
            engine.Picture();  // drops the kept copy
        renderer.SetStarSize(0);
        renderer.DrawStep();
        benchmark::DoNotOptimize(target.BackBuffer().Data());
    }
}

void BM_FullRedraw1080pAfresh(benchmark::State& state) { FullRedraw(state, 1920, 1080, true); }
void BM_FullRedraw1080pKept(benchmark::State& state) { FullRedraw(state, 1920, 1080, false); }
void BM_FullRedraw2160pAfresh(benchmark::State& state) { FullRedraw(state, 3840, 2160, true); }
void BM_FullRedraw2160pKept(benchmark::State& state) { FullRedraw(state, 3840, 2160, false); }
void BM_FullRedraw2160pFittedPicture(benchmark::State& state) { FullRedraw(state, 3840, 2160, false, PictureKind::Fitted); }
void BM_FullRedraw2160pRefitPicture(benchmark::State& state) { FullRedraw(state, 3840, 2160, false, PictureKind::Refit); }
BENCHMARK(BM_FullRedraw1080pAfresh)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FullRedraw1080pKept)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FullRedraw2160pAfresh)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FullRedraw2160pKept)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FullRedraw2160pFittedPicture)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FullRedraw2160pRefitPicture)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
