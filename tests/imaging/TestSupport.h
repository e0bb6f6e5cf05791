#pragma once
// Helpers of the imaging tests: fixture files, byte files, test pictures, and a temporary folder per test.

#include "imaging/GraphicsImage.h"

#include "imaging/GraphicsImage.h"

#include <gtest/gtest.h>

#include <algorithm>
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

// Pictures drawn from `colours` random colours, or, with colours 0, a smooth photo-like scene
// with noise where almost every pixel has a colour of its own. Indexed formats get random indices.
inline void MakePicture(CGraphicsImage& image, int bpp, std::uint32_t width, std::uint32_t height, std::uint32_t colours,
                        std::mt19937& random)
{
    ASSERT_TRUE(image.Create(bpp, width, height, 0));
    std::vector<std::uint32_t> palette(colours);
    for (std::uint32_t& c : palette)
        c = random() & 0xFFFFFF;
    std::normal_distribution<double> noise(0.0, 6.0);
    auto level = [&](double v) { return std::uint32_t(std::clamp(v + noise(random), 0.0, 255.0)); };
    for (std::uint32_t y = 0; y < height; ++y)
        for (std::uint32_t x = 0; x < width; ++x) {
            const double dx = double(x) / width - 0.6, dy = double(y) / height - 0.4;
            const double blob = 120.0 / (1.0 + 30.0 * (dx * dx + dy * dy));
            const std::uint32_t colour = colours > 0 ? palette[random() % colours]
                                           : level(60 + blob + 80.0 * y / height) << 16 |
                                                 level(40 + 150.0 * x / width) << 8 | level(200 - blob);
            image.SetPixelFn(x, y, bpp <= 8 ? random() % (1u << bpp) : image.ColorToPixel(colour));
        }
}

// The standard output of a shell command (empty when it cannot run).
inline Bytes CommandOutput(const std::string& command)
{
    Bytes out;
    if (FILE* pipe = ::popen(command.c_str(), "r")) {
        std::uint8_t chunk[4096];
        for (std::size_t n; (n = std::fread(chunk, 1, sizeof chunk, pipe)) > 0;)
            out.insert(out.end(), chunk, chunk + n);
        ::pclose(pipe);
    }
    return out;
}

// The file's pixels as 8-bit R, G, B, as ImageMagick and as Pillow read them.
inline Bytes MagickRgb(const std::string& file)
{
    return CommandOutput("convert-im6.q16 '" + file + "' -depth 8 rgb:- 2>/dev/null");
}

inline Bytes PillowRgb(const std::string& file)
{
    // Debian's Python, which has Pillow, whatever python3 comes first on the path.
    return CommandOutput("/usr/bin/python3 -c 'import sys; from PIL import Image; "
                         "sys.stdout.buffer.write(Image.open(sys.argv[1]).convert(\"RGB\").tobytes())' '" +
                         file + "' 2>/dev/null");
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
