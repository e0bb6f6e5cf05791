// PNG decoding and encoding of a 4000 x 3000 photo-like picture: the library's codec (through the
// CDataStream and the image's row layout) against libpng driven directly over a memory buffer.

#include "bench/imaging/PhotoLikeImage.h"
#include "imaging/GraphicsImage.h"
#include "imaging/formats/png/PngReader.h"
#include "imaging/formats/png/PngWriter.h"
#include "support/DataStream.h"

#include <benchmark/benchmark.h>
#include <png.h>

#include <algorithm>
#include <csetjmp>
#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <vector>

namespace {

using benchpicture::kHeight;
using benchpicture::kWidth;
using benchpicture::PhotoLikeImage;

std::vector<std::uint8_t> EncodeWithCodec(const CGraphicsImage& image)
{
    CDataStream stream;
    stream.OpenMemory(nullptr, 0, 2);
    CPngWriter writer;
    writer.Write(stream, image);
    stream.Close();
    const auto data = stream.MemoryData();
    return {data.begin(), data.end()};
}

const std::vector<std::uint8_t>& EncodedPhoto()
{
    static const std::vector<std::uint8_t> bytes = EncodeWithCodec(PhotoLikeImage());
    return bytes;
}

// ---- libpng on its own -------------------------------------------------------------------------

struct MemoryReader
{
    const std::uint8_t* data;
    std::size_t size;
    std::size_t position;
};

void ReadFromMemory(png_structp png, png_bytep out, std::size_t length)
{
    auto* source = static_cast<MemoryReader*>(png_get_io_ptr(png));
    if (source->size - source->position < length)
        png_error(png, "short");
    std::memcpy(out, source->data + source->position, length);
    source->position += length;
}

void WriteToMemory(png_structp png, png_bytep data, std::size_t length)
{
    auto* target = static_cast<std::vector<std::uint8_t>*>(png_get_io_ptr(png));
    target->insert(target->end(), data, data + length);
}

void FlushNothing(png_structp) {}

bool DecodeDirect(const std::vector<std::uint8_t>& file, std::vector<std::uint8_t>& pixels)
{
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    MemoryReader source{file.data(), file.size(), 0};
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        return false;
    }
    png_set_read_fn(png, &source, ReadFromMemory);
    png_read_info(png, info);
    png_set_bgr(png);
    png_read_update_info(png, info);
    const std::size_t rowBytes = png_get_rowbytes(png, info);
    const png_uint_32 height = png_get_image_height(png, info);
    pixels.resize(rowBytes * height);
    for (png_uint_32 y = 0; y < height; ++y)
        png_read_row(png, pixels.data() + y * rowBytes, nullptr);
    png_destroy_read_struct(&png, &info, nullptr);
    return true;
}

bool EncodeDirect(const std::vector<std::uint8_t>& pixels, std::vector<std::uint8_t>& file)
{
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_set_write_fn(png, &file, WriteToMemory, FlushNothing);
    png_set_IHDR(png, info, kWidth, kHeight, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    png_set_bgr(png);
    for (png_uint_32 y = 0; y < kHeight; ++y)
        png_write_row(png, pixels.data() + std::size_t{y} * kWidth * 3);
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return true;
}

// ---- benchmarks ---------------------------------------------------------------------------------

void BM_DecodeCodec(benchmark::State& state)
{
    const auto& file = EncodedPhoto();
    for (auto _ : state) {
        CDataStream stream;
        stream.OpenMemory(const_cast<std::uint8_t*>(file.data()), static_cast<std::int32_t>(file.size()), 0);
        CGraphicsImage image;
        CPngReader reader;
        reader.Read(stream, image);
        benchmark::DoNotOptimize(image.Data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * kWidth * kHeight * 3);
}

void BM_DecodeLibpng(benchmark::State& state)
{
    const auto& file = EncodedPhoto();
    std::vector<std::uint8_t> pixels;
    for (auto _ : state) {
        if (!DecodeDirect(file, pixels))
            state.SkipWithError("decode failed");
        benchmark::DoNotOptimize(pixels.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * kWidth * kHeight * 3);
}

void BM_EncodeCodec(benchmark::State& state)
{
    const CGraphicsImage& image = PhotoLikeImage();
    std::size_t size = 0;
    for (auto _ : state)
        size = EncodeWithCodec(image).size();
    state.counters["file_bytes"] = static_cast<double>(size);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * kWidth * kHeight * 3);
}

void BM_EncodeLibpng(benchmark::State& state)
{
    const CGraphicsImage& image = PhotoLikeImage();
    std::vector<std::uint8_t> pixels(std::size_t{kWidth} * kHeight * 3);
    for (std::uint32_t y = 0; y < kHeight; ++y)
        std::memcpy(pixels.data() + std::size_t{y} * kWidth * 3, image.Row(y), kWidth * 3);
    std::vector<std::uint8_t> file;
    for (auto _ : state) {
        file.clear();
        if (!EncodeDirect(pixels, file))
            state.SkipWithError("encode failed");
    }
    state.counters["file_bytes"] = static_cast<double>(file.size());
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * kWidth * kHeight * 3);
}

BENCHMARK(BM_DecodeCodec)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_DecodeLibpng)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_EncodeCodec)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_EncodeLibpng)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
