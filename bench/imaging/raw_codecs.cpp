// BMP and PNM on a 4000 x 3000 (12-megapixel) picture through files, as the game and the tool use
// them: 24-bit BMP decoding and encoding, P6 decoding. The pictures are written once into the
// temporary folder; bench/raw_codecs_vs_pillow.sh times Pillow on the same files.

#include "imaging/GraphicsFile.h"
#include "imaging/GraphicsImage.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <filesystem>
#include <stdexcept>
#include <string>

namespace {

constexpr std::uint32_t kWidth = 4000;
constexpr std::uint32_t kHeight = 3000;

std::string TempPath(const char* name)
{
    return (std::filesystem::temp_directory_path() / name).string();
}

// Writes the picture files on first use and names the one asked for.
const std::string& Picture(const char* name)
{
    static const bool written = [] {
        CGraphicsImage picture;
        if (!picture.Create(24, kWidth, kHeight, CGraphicsImage::NoFill))
            throw std::runtime_error("no memory for the test picture");
        std::uint32_t seed = 1;
        for (std::uint32_t y = 0; y < kHeight; ++y) {
            std::uint8_t* row = picture.Row(y);
            for (std::uint32_t i = 0; i < 3 * kWidth; ++i) {
                seed = seed * 1103515245u + 12345u;
                row[i] = std::uint8_t(seed >> 16);
            }
        }
        return SaveGraphicsFile(TempPath("quizmora-bench-12mp.bmp"), picture) == kSaveOk &&
               SaveGraphicsFile(TempPath("quizmora-bench-12mp.pnm"), picture) == kSaveOk;
    }();
    if (!written)
        throw std::runtime_error("cannot write the test pictures");
    static std::string path;
    path = TempPath(name);
    return path;
}

void Decode(benchmark::State& state, const char* name)
{
    const std::string file = Picture(name);
    for (auto _ : state) {
        CGraphicsImage image;
        if (LoadGraphicsFile(file, image) != kLoadOk)
            state.SkipWithError("load failed");
        benchmark::DoNotOptimize(image.Data());
    }
}

void BM_BmpDecode24(benchmark::State& state)
{
    Decode(state, "quizmora-bench-12mp.bmp");
}

void BM_PnmDecodeP6(benchmark::State& state)
{
    Decode(state, "quizmora-bench-12mp.pnm");
}

void BM_BmpEncode24(benchmark::State& state)
{
    CGraphicsImage image;
    if (LoadGraphicsFile(Picture("quizmora-bench-12mp.bmp"), image) != kLoadOk)
        throw std::runtime_error("cannot read the test picture");
    const std::string out = TempPath("quizmora-bench-out.bmp");
    for (auto _ : state)
        if (SaveGraphicsFile(out, image) != kSaveOk)
            state.SkipWithError("save failed");
}

BENCHMARK(BM_BmpDecode24)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BmpEncode24)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PnmDecodeP6)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
