// The drawing work of one game frame and of loading a puzzle picture: smooth resampling of a
// camera-sized picture to the screen, alpha blending and filling of a full back buffer.

#include "imaging/GraphicsImage.h"

#include <benchmark/benchmark.h>

#include <cstdint>

namespace {

// A busy picture: every channel changes from pixel to pixel, as in a photograph.
CGraphicsImage Picture(int bpp, std::uint32_t width, std::uint32_t height, bool varyingAlpha)
{
    CGraphicsImage image;
    image.Create(bpp, width, height, CGraphicsImage::NoFill);
    std::uint32_t seed = 12345;
    for (std::uint32_t y = 0; y < height; ++y) {
        std::uint8_t* row = image.Row(y);
        for (std::uint32_t x = 0; x < width * std::uint32_t(bpp / 8); ++x) {
            seed = seed * 214013 + 2531011;
            row[x] = std::uint8_t(seed >> 16);
        }
        if (bpp == 32 && !varyingAlpha)
            for (std::uint32_t x = 0; x < width; ++x)
                row[4 * x + 3] = 0xFF;
    }
    return image;
}

void ResampleSmooth(benchmark::State& state, int bpp, bool varyingAlpha)
{
    const CGraphicsImage src = Picture(bpp, 4000, 3000, varyingAlpha);
    CGraphicsImage target;
    for (auto _ : state) {
        target.Resample(src, 1920, 1080, CGraphicsImage::ResampleSmooth);
        benchmark::DoNotOptimize(target.Data());
    }
    state.SetItemsProcessed(state.iterations() * 4000 * 3000);
}

void BM_ResampleSmooth24(benchmark::State& state)
{
    ResampleSmooth(state, 24, false);
}

void BM_ResampleSmooth32Opaque(benchmark::State& state)
{
    ResampleSmooth(state, 32, false);
}

void BM_ResampleSmooth32Alpha(benchmark::State& state)
{
    ResampleSmooth(state, 32, true);
}

void BM_ResampleNearest24(benchmark::State& state)
{
    const CGraphicsImage src = Picture(24, 4000, 3000, false);
    CGraphicsImage target;
    for (auto _ : state) {
        target.Resample(src, 1920, 1080, 0);
        benchmark::DoNotOptimize(target.Data());
    }
}

void BM_DrawAlpha1920x1080(benchmark::State& state)
{
    const CGraphicsImage src = Picture(32, 1920, 1080, true);
    CGraphicsImage target;
    target.Create(32, 1920, 1080, 0xFF203040);
    for (auto _ : state) {
        target.DrawAlpha(src, 0, 0);
        benchmark::DoNotOptimize(target.Data());
    }
    state.SetItemsProcessed(state.iterations() * 1920 * 1080);
}

void BM_Draw24Into32_1920x1080(benchmark::State& state)
{
    const CGraphicsImage src = Picture(24, 1920, 1080, false);
    CGraphicsImage target;
    target.Create(32, 1920, 1080);
    for (auto _ : state) {
        target.Draw(src, 0, 0);
        benchmark::DoNotOptimize(target.Data());
    }
}

void BM_FillRect3840x2160(benchmark::State& state)
{
    CGraphicsImage target;
    target.Create(32, 3840, 2160);
    std::uint32_t colour = 0;
    for (auto _ : state) {
        target.FillRect(0, 0, 3840, 2160, colour++);
        benchmark::DoNotOptimize(target.Data());
    }
    state.SetBytesProcessed(state.iterations() * 3840 * 2160 * 4);
}

}  // namespace

BENCHMARK(BM_ResampleSmooth24)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ResampleSmooth32Opaque)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ResampleSmooth32Alpha)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ResampleNearest24)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DrawAlpha1920x1080)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Draw24Into32_1920x1080)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FillRect3840x2160)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
