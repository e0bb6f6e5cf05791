// JPEG decoding and encoding (quality 75) of a 12-megapixel photo through the library's codec, from
// and to a file as a user's import and save do. bench/jpeg_vs_peers.sh runs it on a photo it makes
// and times djpeg, cjpeg and Pillow on the same photo in the same run; QUIZMORA_BENCH_JPEG names
// that photo. Without it, a photo-like picture is made and written here first.

#include "bench/imaging/PhotoLikeImage.h"
#include "imaging/GraphicsImage.h"
#include "imaging/formats/jpeg/JpegReader.h"
#include "imaging/formats/jpeg/JpegWriter.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

std::string TemporaryFile(const char* name)
{
    return (std::filesystem::temp_directory_path() / name).string();
}

void WritePhotoLikePicture(const std::string& path)
{
    CJpegWriter writer;
    writer.SetQuality(90);
    writer.Write(std::string_view(path), benchpicture::PhotoLikeImage());
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
