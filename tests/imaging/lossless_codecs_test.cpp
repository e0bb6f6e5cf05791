// The BMP, PNM and XWD codecs: every fixture against another program's decoding (the BMP Suite
// against ImageMagick, netpbm's files against netpbm, window dumps of xwd and ImageMagick against
// ImageMagick), hostile files, and written files as ImageMagick and Pillow read them.

#include "imaging/GraphicsException.h"
#include "imaging/GraphicsFile.h"
#include "imaging/GraphicsImage.h"
#include "support/DataStream.h"
#include "tests/imaging/TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>

namespace {

using imgtest::Bytes;
using imgtest::TestData;
namespace fs = std::filesystem;

Bytes Rgb(const CGraphicsImage& image)
{
    Bytes rgb;
    for (std::uint32_t y = 0; y < image.Height(); ++y) {
        const std::uint8_t* bgr = image.RowTo24(image.Row(y));
        for (std::uint32_t x = 0; x < image.Width(); ++x)
            rgb.insert(rgb.end(), {bgr[3 * x + 2], bgr[3 * x + 1], bgr[3 * x]});
    }
    return rgb;
}

void ExpectSameRgb(const Bytes& actual, const Bytes& expected)
{
    ASSERT_EQ(actual.size(), expected.size());
    const auto [a, e] = std::mismatch(actual.begin(), actual.end(), expected.begin());
    EXPECT_TRUE(a == actual.end()) << "first difference at pixel " << (a - actual.begin()) / 3 << ": "
                                   << int(*a) << " instead of " << int(*e);
}

int LoadBytes(Bytes bytes, CGraphicsImage& image)
{
    CDataStream stream;
    EXPECT_TRUE(stream.OpenMemory(bytes.data(), std::int32_t(bytes.size()), 0));
    return LoadGraphicsStream(stream, image);
}

std::vector<fs::path> FilesIn(const std::string& folder, const std::vector<std::string>& extensions)
{
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(TestData(folder)))
        if (std::find(extensions.begin(), extensions.end(), entry.path().extension()) != extensions.end())
            files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
}

// Files whose reference decoding is ref/<name>.png or ref/<name>.rgb beside them; the refused
// ones give their message instead.
void ExpectReferencePixels(const std::string& folder, const std::vector<std::string>& extensions,
                           const std::map<std::string, const char*>& refused = {})
{
    const auto files = FilesIn(folder, extensions);
    EXPECT_GE(files.size(), 9u);
    for (const fs::path& file : files) {
        SCOPED_TRACE(file.filename().string());
        CGraphicsImage image;
        const int result = LoadGraphicsFile(file.string(), image);
        if (const auto it = refused.find(file.stem().string()); it != refused.end()) {
            EXPECT_EQ(result, kLoadFailed);
            EXPECT_EQ(LoadErrorText(), it->second);
            continue;
        }
        ASSERT_EQ(result, kLoadOk) << LoadErrorText();
        const fs::path ref = fs::path(TestData(folder.substr(0, folder.find('/')))) / "ref" / file.stem();
        Bytes expected = imgtest::ReadFile(ref.string() + ".rgb");
        if (expected.empty()) {
            CGraphicsImage decoded;
            ASSERT_EQ(LoadGraphicsFile(ref.string() + ".png", decoded), kLoadOk);
            expected = Rgb(decoded);
        }
        ExpectSameRgb(Rgb(image), expected);
    }
}

TEST(LosslessCodecs, BmpSuiteMatchesImageMagick)
{
    constexpr const char* kNotSupported = "Das Format der BMP-Datei wird nicht unterst\xFCtzt !";
    ExpectReferencePixels("bmpsuite/good", {".bmp"},
                          {{"rgb16", kNotSupported}, {"rgb16-565", kNotSupported}, {"rgb16-565pal", kNotSupported},
                           {"rgb16bfdef", kNotSupported}, {"pal8topdown", "Fehler beim Unknown Error"}});
}

TEST(LosslessCodecs, NetpbmFilesMatchNetpbm)
{
    ExpectReferencePixels("pnm", {".pbm", ".pgm", ".ppm"});
}

TEST(LosslessCodecs, WindowDumpsMatchImageMagick)
{
    ExpectReferencePixels("xwd", {".xwd"});
}
}  // namespace
