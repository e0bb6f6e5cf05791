// Sequential reads of a large file through CDataStream next to stdio's fread, with the same
// request sizes, so the cost of the stream's buffering shows as bytes per second.

#include "support/DataStream.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

constexpr std::int64_t kFileSize = 64ll << 20;

// The file the benchmarks read, made once in a temporary folder and removed at exit.
class BigFile {
public:
    BigFile()
    {
        std::string pattern = (fs::temp_directory_path() / "datastream-bench-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr)
            std::abort();
        folder_ = pattern;
        path_ = (folder_ / "big.bin").string();
        std::ofstream out(path_, std::ios::binary);
        std::vector<char> chunk(1 << 20);
        std::uint32_t seed = 12345;
        for (std::int64_t written = 0; written < kFileSize; written += static_cast<std::int64_t>(chunk.size())) {
            for (char& c : chunk) {
                seed = seed * 214013u + 2531011u;
                c = static_cast<char>(seed >> 16);
            }
            out.write(chunk.data(), static_cast<std::streamsize>(chunk.size()));
        }
    }
    ~BigFile()
    {
        std::error_code ignored;
        fs::remove_all(folder_, ignored);
    }
    BigFile(const BigFile&) = delete;
    BigFile& operator=(const BigFile&) = delete;

    const std::string& Path() const { return path_; }

private:
    fs::path folder_;
    std::string path_;
};

const std::string& BigFilePath()
{
    static const BigFile file;
    return file.Path();
}

void Finish(benchmark::State& state, std::int64_t total)
{
    if (total != kFileSize)
        state.SkipWithError("the file was not read to its end");
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * kFileSize);
}

void BM_DataStreamReadByte(benchmark::State& state)
{
    const std::string& path = BigFilePath();
    std::int64_t total = 0;
    for (auto _ : state) {
        CDataStream stream;
        if (!stream.Open(path))
            state.SkipWithError("open failed");
        std::uint32_t sum = 0;
        total = 0;
        for (std::int32_t c; (c = stream.ReadByte()) >= 0; ++total)
            sum += static_cast<std::uint32_t>(c);
        benchmark::DoNotOptimize(sum);
    }
    Finish(state, total);
}
BENCHMARK(BM_DataStreamReadByte)->Unit(benchmark::kMillisecond);

void BM_DataStreamRead(benchmark::State& state)
{
    const std::string& path = BigFilePath();
    const auto request = static_cast<std::int32_t>(state.range(0));
    std::vector<std::uint8_t> buffer(static_cast<std::size_t>(request));
    std::int64_t total = 0;
    for (auto _ : state) {
        CDataStream stream;
        if (!stream.Open(path))
            state.SkipWithError("open failed");
        total = 0;
        for (std::int32_t got; (got = stream.Read(buffer.data(), request)) > 0;)
            total += got;
        benchmark::DoNotOptimize(buffer.data());
    }
    Finish(state, total);
}
BENCHMARK(BM_DataStreamRead)->Arg(1)->Arg(4)->Arg(65536)->Unit(benchmark::kMillisecond);

void BM_Fread(benchmark::State& state)
{
    const std::string& path = BigFilePath();
    const auto request = static_cast<std::size_t>(state.range(0));
    std::vector<std::uint8_t> buffer(request);
    std::int64_t total = 0;
    for (auto _ : state) {
        std::FILE* file = std::fopen(path.c_str(), "rb");
        if (file == nullptr) {
            state.SkipWithError("fopen failed");
            break;
        }
        total = 0;
        for (std::size_t got; (got = std::fread(buffer.data(), 1, request, file)) > 0;)
            total += static_cast<std::int64_t>(got);
        benchmark::DoNotOptimize(buffer.data());
        std::fclose(file);
    }
    Finish(state, total);
}
BENCHMARK(BM_Fread)->Arg(1)->Arg(4)->Arg(65536)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
