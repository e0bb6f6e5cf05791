// TIFF decoding and encoding of a 12-megapixel photograph. The pictures come from
// bench/tiff_vs_tiffcp.sh, which makes them with Pillow and tiffcp and sets QUIZMORA_TIFF_BENCH_DIR;
// without it the benchmarks report that they were skipped.

#include "imaging/GraphicsImage.h"
#include "imaging/formats/tiff/TiffReader.h"
#include "imaging/formats/tiff/TiffWriter.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

std::string BenchFile(const char* name)
{
    const char* folder = std::getenv("QUIZMORA_TIFF_BENCH_DIR");
    return folder == nullptr ? std::string() : (std::filesystem::path(folder) / name).string();
}

void TiffDecode(benchmark::State& state, const char* name)
{
    const std::string file = BenchFile(name);
    if (file.empty() || !std::filesystem::exists(file)) {
        state.SkipWithError("no picture: run bench/tiff_vs_tiffcp.sh");
        return;
    }
    for (auto _ : state) {
        CGraphicsImage image;
        CTiffReader().Read(file, image);
        benchmark::DoNotOptimize(image.Data());
    }
}

void TiffEncode(benchmark::State& state)
{
    const std::string file = BenchFile("none.tif");
    if (file.empty() || !std::filesystem::exists(file)) {
        state.SkipWithError("no picture: run bench/tiff_vs_tiffcp.sh");
        return;
    }
    CGraphicsImage image;
    CTiffReader().Read(file, image);
    const std::string out = BenchFile("ours-out.tif");
    for (auto _ : state)
        CTiffWriter().Write(out, image);
}

BENCHMARK_CAPTURE(TiffDecode, Lzw, "lzw.tif")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(TiffDecode, PackBits, "packbits.tif")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(TiffDecode, None, "none.tif")->Unit(benchmark::kMillisecond);
BENCHMARK(TiffEncode)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
