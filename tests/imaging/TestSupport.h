#pragma once
// Helpers of the imaging tests: fixture files, byte files, and a temporary folder per test.

#include "imaging/GraphicsImage.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <string_view>
#include <vector>

namespace imgtest {

using Bytes = std::vector<std::uint8_t>;

inline Bytes ReadFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

inline void WriteFile(const std::filesystem::path& path, const Bytes& bytes)
{
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

inline std::string TestData(std::string_view relative)
{
    return (std::filesystem::path(QUIZMORA_TEST_DATA) / relative).string();
}

inline std::string Suite(std::string_view name)
{
    return TestData("pngsuite/" + std::string(name) + ".png");
}

// The hostile files: known crash inputs and files with short palettes.
constexpr const char* kHostileFolders[] = {"png-crashers", "png-badpal"};

inline std::vector<std::string> PngFilesIn(const char* folder)
{
    std::vector<std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(TestData(folder)))
        if (entry.path().extension() == ".png")
            files.push_back(entry.path().string());
    return files;
}

// Runs a shell command; its exit status, with what it printed on both channels in `output`.
inline int Shell(const std::string& command, std::string* output = nullptr)
{
    FILE* pipe = ::popen((command + " 2>&1").c_str(), "r");
    if (pipe == nullptr)
        return -1;
    char chunk[4096];
    std::size_t n = 0;
    while ((n = std::fread(chunk, 1, sizeof chunk, pipe)) > 0)
        if (output != nullptr)
            output->append(chunk, n);
    return ::pclose(pipe);
}

// 8-bit R, G, B, A of a pixel; true-colour formats below 32 bpp give alpha 0.
inline std::uint32_t PixelRgba(const CGraphicsImage& image, std::uint32_t x, std::uint32_t y)
{
    const std::uint8_t* bgra = image.RowTo32(image.Row(y)) + 4 * x;
    return std::uint32_t{bgra[2]} << 24 | std::uint32_t{bgra[1]} << 16 | std::uint32_t{bgra[0]} << 8 | bgra[3];
}

// A picture of the format with a busy pattern; indexed formats take their first palette entries
// from `palette` (0xRRGGBB).
inline void MakePicture(CGraphicsImage& image, int bpp, std::uint32_t width, std::uint32_t height,
                        const std::vector<std::uint32_t>& palette = {})
{
    image.CreateOrThrow(bpp, width, height);
    for (std::size_t i = 0; i < palette.size(); ++i)
        image.SetPaletteColor(unsigned(i), palette[i]);
    for (std::uint32_t y = 0; y < height; ++y)
        for (std::uint32_t x = 0; x < width; ++x)
            image.SetPixelFn(x, y, bpp < 12 ? (x * 5 + y * 3) % (1u << bpp) : (x * 0x170B05u + y * 0x0311A9u) ^ 0x5A);
}

// The palette of plain grey levels from black to white for a depth.
inline std::vector<std::uint32_t> GreyRamp(int bpp)
{
    std::vector<std::uint32_t> ramp(1u << bpp);
    for (std::uint32_t i = 0; i < ramp.size(); ++i)
        ramp[i] = i * 255 / std::uint32_t(ramp.size() - 1) * 0x010101u;
    return ramp;
}

class TempFolderTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        std::random_device seed;
        folder_ = std::filesystem::temp_directory_path() /
                  ("quizmora-img-" + std::to_string(seed()) + "-" + std::to_string(seed()));
        std::filesystem::create_directories(folder_);
    }
    void TearDown() override
    {
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }
    std::string PathOf(std::string_view name) const { return (folder_ / name).string(); }

    std::filesystem::path folder_;
};

}  // namespace imgtest
