// BMP and PNM on a 4000 x 3000 (12-megapixel) picture through files, as the game and the tool use
// them: 24-bit BMP decoding and encoding, P6 decoding. The pictures are written once into the
// temporary folder; bench/raw_codecs_vs_pillow.sh times Pillow on the same files.

#include "bench/imaging/PhotoLikeImage.h"
#include "imaging/GraphicsFile.h"
#include "imaging/GraphicsImage.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <stdexcept>
#include <string>

namespace {

std::string TempPath(const char* name)
{
    return (std::filesystem::temp_directory_path() / name).string();
}

// Writes the picture files on first use and names the one asked for.
const std::string& Picture(const char* name)
{
    // The contents do not matter to formats that store the samples as they are.
    static const bool written =
        SaveGraphicsFile(TempPath("quizmora-bench-12mp.bmp"), benchpicture::PhotoLikeImage()) == kSaveOk &&
        SaveGraphicsFile(TempPath("quizmora-bench-12mp.pnm"), benchpicture::PhotoLikeImage()) == kSaveOk;
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
