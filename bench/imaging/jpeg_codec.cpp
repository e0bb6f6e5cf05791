// JPEG decoding and encoding (quality 75) of a 12-megapixel photo through the library's codec, from
// and to a file as a user's import and save do. bench/jpeg_vs_peers.sh runs it on a photo it makes
// and times djpeg, cjpeg and Pillow on the same photo in the same run; QUIZMORA_BENCH_JPEG names
// that photo. Without it, a photo-like picture is made and written here first.

#include "imaging/GraphicsImage.h"
#include "imaging/JpegReader.h"
#include "imaging/JpegWriter.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>

namespace {

constexpr std::uint32_t kWidth = 4000;
constexpr std::uint32_t kHeight = 3000;

std::string TemporaryFile(const char* name)
{
    return (std::filesystem::temp_directory_path() / name).string();
}

// Smooth gradients with a little noise, so the data compresses like a photo rather than a drawing.
void WritePhotoLikePicture(const std::string& path)
{
    CGraphicsImage picture;
    picture.CreateOrThrow(24, kWidth, kHeight, CGraphicsImage::NoFill);
    std::uint32_t seed = 1;
    for (std::uint32_t y = 0; y < kHeight; ++y) {
        std::uint8_t* row = picture.Row(y);
        for (std::uint32_t x = 0; x < kWidth; ++x) {
            seed = seed * 1103515245u + 12345u;
            const int noise = static_cast<int>((seed >> 16) & 7) - 3;
            auto channel = [noise](std::uint32_t value) {
                return static_cast<std::uint8_t>(std::clamp(static_cast<int>(value) + noise, 0, 255));
            };
            row[3 * x + 0] = channel(x * 255 / kWidth);
            row[3 * x + 1] = channel(y * 255 / kHeight);
            row[3 * x + 2] = channel((x + y) * 255 / (kWidth + kHeight));
        }
    }
    CJpegWriter writer;
    writer.SetQuality(90);
    writer.Write(std::string_view(path), picture);
}

const std::string& Photo()
{
    static const std::string path = [] {
        if (const char* given = std::getenv("QUIZMORA_BENCH_JPEG"))
            return std::string(given);
        const std::string made = TemporaryFile("quizmora-bench-photo.jpg");
        WritePhotoLikePicture(made);
        return made;
    }();
    return path;
}

void BM_JpegDecode(benchmark::State& state)
{
    CJpegReader reader;
    for (auto _ : state) {
        CGraphicsImage image;
        reader.Read(std::string_view(Photo()), image);
        benchmark::DoNotOptimize(image.Data());
    }
}

void BM_JpegEncode(benchmark::State& state)
{
    CGraphicsImage image;
    CJpegReader().Read(std::string_view(Photo()), image);
    const std::string out = TemporaryFile("quizmora-bench-encoded.jpg");
    CJpegWriter writer;
    for (auto _ : state)
        writer.Write(std::string_view(out), image);
    std::filesystem::remove(out);
}

BENCHMARK(BM_JpegDecode)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_JpegEncode)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace

BENCHMARK_MAIN();
