#pragma once
// Helpers of the imaging tests: fixture files, byte files, test pictures, and a temporary folder per test.

#include "imaging/GraphicsException.h"
#include "imaging/GraphicsFile.h"
#include "imaging/GraphicsImage.h"
#include "support/DataStream.h"

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

inline std::string ReadText(const std::filesystem::path& path)
{
    const Bytes bytes = ReadFile(path);
    return {bytes.begin(), bytes.end()};
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

// The fixtures of a folder with one of the extensions, in name order.
inline std::vector<std::filesystem::path> FilesIn(std::string_view folder, const std::vector<std::string>& extensions)
{
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(TestData(folder)))
        if (std::find(extensions.begin(), extensions.end(), entry.path().extension()) != extensions.end())
            files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
}

// A picture drawn from `colours` random colours, or, with colours 0, a smooth photo-like scene
// with noise where almost every pixel has a colour of its own. Indexed formats get random indices
// and take their first palette entries from `palette` (0xRRGGBB).
inline void MakePicture(CGraphicsImage& image, int bpp, std::uint32_t width, std::uint32_t height,
                        const std::vector<std::uint32_t>& palette = {}, std::uint32_t colours = 0,
                        std::uint32_t seed = 1)
{
    ASSERT_TRUE(image.Create(bpp, width, height, 0));
    for (std::size_t i = 0; i < palette.size(); ++i)
        image.SetPaletteColor(unsigned(i), palette[i]);
    std::mt19937 random(seed);
    std::vector<std::uint32_t> colourList(colours);
    for (std::uint32_t& c : colourList)
        c = random() & 0xFFFFFF;
    std::normal_distribution<double> noise(0.0, 6.0);
    auto level = [&](double v) { return std::uint32_t(std::clamp(v + noise(random), 0.0, 255.0)); };
    for (std::uint32_t y = 0; y < height; ++y)
        for (std::uint32_t x = 0; x < width; ++x) {
            const double dx = double(x) / width - 0.6, dy = double(y) / height - 0.4;
            const double blob = 120.0 / (1.0 + 30.0 * (dx * dx + dy * dy));
            const std::uint32_t colour = colours > 0 ? colourList[random() % colours]
                                           : level(60 + blob + 80.0 * y / height) << 16 |
                                                 level(40 + 150.0 * x / width) << 8 | level(200 - blob);
            image.SetPixelFn(x, y, bpp <= 8 ? random() % (1u << bpp) : image.ColorToPixel(colour));
        }
}

// Runs a shell command; its exit status, with its standard output in `output`.
inline int Shell(const std::string& command, std::string* output = nullptr)
{
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr)
        return -1;
    char chunk[4096];
    std::size_t n = 0;
    while ((n = std::fread(chunk, 1, sizeof chunk, pipe)) > 0)
        if (output != nullptr)
            output->append(chunk, n);
    return ::pclose(pipe);
}

// The file's pixels as 8-bit R, G, B (or another `layout` of ImageMagick's, such as "rgba", after
// the `options`), as ImageMagick reads them.
inline Bytes MagickPixels(const std::string& file, const std::string& layout = "rgb", const std::string& options = "")
{
    std::string pixels;
    Shell("convert-im6.q16 '" + file + "' " + options + " -depth 8 " + layout + ":- 2>/dev/null", &pixels);
    return Bytes(pixels.begin(), pixels.end());
}

inline Bytes BytesOf(std::string_view text)
{
    return Bytes(text.begin(), text.end());
}

// 8-bit R, G, B per pixel, rows from the top, as the palette shows an indexed image.
inline Bytes Rgb(const CGraphicsImage& image)
{
    Bytes rgb;
    for (std::uint32_t y = 0; y < image.Height(); ++y) {
        const std::uint8_t* bgr = image.RowTo24(image.Row(y));
        for (std::uint32_t x = 0; x < image.Width(); ++x)
            rgb.insert(rgb.end(), {bgr[3 * x + 2], bgr[3 * x + 1], bgr[3 * x]});
    }
    return rgb;
}

// 8-bit R, G, B, A of a pixel; true-colour formats below 32 bpp give alpha 0.
inline std::uint32_t PixelRgba(const CGraphicsImage& image, std::uint32_t x, std::uint32_t y)
{
    const std::uint8_t* bgra = image.RowTo32(image.Row(y)) + 4 * x;
    return std::uint32_t{bgra[2]} << 24 | std::uint32_t{bgra[1]} << 16 | std::uint32_t{bgra[0]} << 8 | bgra[3];
}

// Counts the pixels whose colour (and alpha, for 32 bits) differs from 8-bit R, G, B, A bytes,
// -1 when the sizes differ; the first few differences are reported as failures.
inline int Mismatches(const CGraphicsImage& image, const Bytes& rgba)
{
    if (rgba.size() != std::size_t{4} * image.Width() * image.Height())
        return -1;
    const std::uint32_t compared = image.Bpp() == 32 ? 0xFFFFFFFFu : 0xFFFFFF00u;
    int mismatches = 0;
    for (std::uint32_t y = 0; y < image.Height(); ++y)
        for (std::uint32_t x = 0; x < image.Width(); ++x) {
            const std::uint8_t* ref = &rgba[4 * (std::size_t(y) * image.Width() + x)];
            const std::uint32_t expected =
                std::uint32_t{ref[0]} << 24 | std::uint32_t{ref[1]} << 16 | std::uint32_t{ref[2]} << 8 | ref[3];
            if (((PixelRgba(image, x, y) ^ expected) & compared) != 0 && ++mismatches <= 3)
                ADD_FAILURE() << "pixel " << x << "," << y << std::hex << " expected " << expected << " got "
                              << PixelRgba(image, x, y);
        }
    return mismatches;
}

// Loads every file: each fails with a message or gives a picture, none crashes. The number of
// pictures.
inline int LoadEachOrFail(const std::vector<std::filesystem::path>& files)
{
    int loaded = 0;
    for (const auto& file : files) {
        CGraphicsImage image;
        const int result = LoadGraphicsFile(file.string(), image);
        EXPECT_LE(result, 0) << file;
        EXPECT_EQ(result == kLoadOk, LoadErrorText().empty()) << file;
        EXPECT_TRUE(result != kLoadOk || !image.IsEmpty()) << file;
        loaded += result == kLoadOk;
    }
    return loaded;
}

// The message of the exception of type E that `action` throws, "" when it throws none.
template <typename E = EGraphicsException, typename Action>
std::string MessageOf(const Action& action)
{
    try {
        action();
    } catch (const E& error) {
        return error.Message();
    }
    return "";
}

// Loads a picture from bytes in memory through the content detection.
inline int LoadBytes(Bytes bytes, CGraphicsImage& image)
{
    CDataStream stream;
    EXPECT_TRUE(stream.OpenMemory(bytes.data(), std::int32_t(bytes.size()), 0));
    return LoadGraphicsStream(stream, image);
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
