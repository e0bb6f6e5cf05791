// The GIF codec: files of ImageMagick, gifsicle and Pillow against Pillow's decoding (see
// tests/data/gif/make.sh), our files read by those programs and giftext, and hostile data.

#include "imaging/GifReader.h"
#include "imaging/GifWriter.h"
#include "imaging/GraphicsException.h"
#include "imaging/GraphicsFile.h"
#include "imaging/GraphicsImage.h"
#include "support/DataStream.h"
#include "tests/imaging/TestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <random>

namespace {

using imgtest::Bytes;
using u32 = std::uint32_t;

// R, G, B per pixel, rows from the top, as the palette shows an indexed image.
Bytes RgbOf(const CGraphicsImage& image)
{
    Bytes rgb;
    for (u32 y = 0; y < image.Height(); ++y)
        for (u32 x = 0; x < image.Width(); ++x) {
            const RGBQUAD& c = image.Palette()[image.GetPixelFn(x, y)];
            rgb.insert(rgb.end(), {c.rgbRed, c.rgbGreen, c.rgbBlue});
        }
    return rgb;
}

TEST(GifReader, PeerFilesDecodeAsPillowDecodesThem)
{
    const struct { const char* name; u32 width, height; int transparent; } cases[] = {
        {"im-256", 40, 30, -1}, {"im-16-interlaced", 40, 30, -1}, {"im-4", 40, 30, -1}, {"im-2", 40, 30, -1},
        {"im-anim", 40, 30, -1}, {"gs-interlaced", 40, 30, -1}, {"gs-8", 40, 30, -1}, {"gs-transparent", 40, 30, 0},
        {"gs-anim", 40, 30, -1}, {"pil-256", 40, 30, -1}, {"pil-32-plain", 40, 30, -1}, {"pil-3", 40, 30, -1},
        {"pil-transparent", 40, 30, 2}, {"pil-anim", 40, 30, -1}, {"hand-deferred-clear", 90, 70, -1},
        {"hand-extensions", 90, 70, -1}, {"hand-local-table", 90, 70, -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CGifReader reader;
        CGraphicsImage image;
        reader.Read(imgtest::TestData("gif/" + std::string(c.name) + ".gif"), image);
        EXPECT_EQ(reader.TransparentIndex(), c.transparent);
        ASSERT_EQ(image.Bpp(), 8);
        ASSERT_EQ(image.Width(), c.width);
        ASSERT_EQ(image.Height(), c.height);
        EXPECT_EQ(RgbOf(image), imgtest::ReadFile(imgtest::TestData("gif/" + std::string(c.name) + ".rgb")));
    }
}

// A picture with smooth colours and noise; 8 bpp and below get random indices.
void MakePicture(CGraphicsImage& image, int bpp, u32 width, u32 height, unsigned seed)
{
    std::mt19937 random(seed);
    ASSERT_TRUE(image.Create(bpp, width, height, 0));
    for (u32 y = 0; y < height; ++y)
        for (u32 x = 0; x < width; ++x)
            image.SetPixelFn(x, y, bpp <= 8 ? random() % (1u << bpp) % 200
                                            : image.ColorToPixel((x * 255 / width) << 16 | (y * 255 / height) << 8 |
                                                                 ((x * y + seed * 40 + random() % 9) & 0xFF)));
}

class GifWriterTest : public imgtest::TempFolderTest
{
protected:
    // Runs a shell command in the folder; its exit status and what it printed on stderr.
    std::pair<int, std::string> Shell(const std::string& command)
    {
        const int status = std::system(("cd '" + folder_.string() + "' && " + command + " 2>err").c_str());
        const Bytes err = imgtest::ReadFile(PathOf("err"));
        return {status, std::string(err.begin(), err.end())};
    }
};

// Every file we write reads without a word in giftext, ImageMagick and Pillow, and all three
// and our reader see the pixels we meant: the quantized colours, each frame with its own.
TEST_F(GifWriterTest, PeersReadOurFilesWithOurPixels)
{
    const struct { const char* name; std::vector<int> frameBpps; unsigned transparent; } cases[] = {
        {"photo", {24}, 256}, {"bits1", {1}, 256}, {"bits4", {4}, 1}, {"bits8", {8}, 256},
        {"anim", {24, 32, 16}, 256}, {"anim-indexed", {8, 4, 8}, 256}, {"anim-mixed", {4, 24}, 256},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<CGraphicsImage> frames(c.frameBpps.size());
        std::vector<const CGraphicsImage*> later;
        for (std::size_t i = 0; i < frames.size(); ++i) {
            MakePicture(frames[i], c.frameBpps[i], 37, 23, unsigned(i));
            if (i > 0)
                later.push_back(&frames[i]);
        }
        CGifWriter writer;
        writer.SetFrames(later);
        writer.SetTransparentIndex(c.transparent);
        writer.Info().SetComment("Bergsee \xFC und Gipfel");
        const std::string file = PathOf(std::string(c.name) + ".gif");
        writer.Write(file, frames[0]);

        const auto [giftext, giftextErr] = Shell("giftext " + file + " >/dev/null");
        EXPECT_EQ(giftext, 0);
        EXPECT_EQ(giftextErr, "");
        const auto [magick, magickErr] = Shell("convert-im6.q16 -regard-warnings " + file + " -coalesce -depth 8 rgb:im-%d.rgb");
        EXPECT_EQ(magick, 0);
        EXPECT_EQ(magickErr, "");
        const auto [pillow, pillowErr] = Shell(
            "/usr/bin/python3 -W error -W ignore::ResourceWarning -c \"import sys\nfrom PIL import Image, ImageSequence\n"
            "for i, f in enumerate(ImageSequence.Iterator(Image.open(sys.argv[1]))):\n"
            "    open('pil-%d.rgb' % i, 'wb').write(f.convert('RGB').tobytes())\" " + file);
        EXPECT_EQ(pillow, 0);
        EXPECT_EQ(pillowErr, "");

        for (std::size_t i = 0; i < frames.size(); ++i) {
            CGraphicsImage expected;
            ASSERT_TRUE(expected.Quantize(frames[i]));
            const Bytes rgb = RgbOf(expected);
            EXPECT_EQ(imgtest::ReadFile(PathOf("im-" + std::to_string(i) + ".rgb")), rgb) << "frame " << i;
            EXPECT_EQ(imgtest::ReadFile(PathOf("pil-" + std::to_string(i) + ".rgb")), rgb) << "frame " << i;
            if (i == 0) {
                CGraphicsImage back;
                ASSERT_EQ(LoadGraphicsFile(file, back), kLoadOk);
                EXPECT_EQ(RgbOf(back), rgb);
            }
        }
    }
}

TEST_F(GifWriterTest, LayoutOfSmallFiles)
{
    CGraphicsImage one, twoIndices;
    MakePicture(one, 1, 5, 3, 1);
    MakePicture(twoIndices, 8, 5, 3, 1);
    twoIndices.FillRect(0, 0, 5, 3, 3);
    const struct { const CGraphicsImage* image; const char* comment; Bytes start, end; } cases[] = {
        // 2-entry table, code size 2, no extensions with the default fields.
        {&one, nullptr, {'G', 'I', 'F', '8', '9', 'a', 5, 0, 3, 0, 0x80, 0, 0}, {0x2C, 0, 0, 0, 0, 5, 0, 3, 0, 0, 2}},
        // Highest index 3: a 4-entry table; the comment loses its non-ASCII letter.
        {&twoIndices, "a\xFC" "b", {'G', 'I', 'F', '8', '9', 'a', 5, 0, 3, 0, 0x91, 0, 0},
         {0x21, 0xFE, 2, 'a', 'b', 0, 0x2C, 0, 0, 0, 0, 5, 0, 3, 0, 0, 8}},
    };
    for (const auto& c : cases) {
        CGifWriter writer;
        if (c.comment != nullptr)
            writer.Info().SetComment(c.comment);
        writer.Write(PathOf("small.gif"), *c.image);
        const Bytes bytes = imgtest::ReadFile(PathOf("small.gif"));
        const std::size_t table = 3u << ((bytes[10] & 7) + 1);
        EXPECT_EQ(Bytes(bytes.begin(), bytes.begin() + 13), c.start);
        EXPECT_EQ(Bytes(bytes.begin() + 13 + table, bytes.begin() + 13 + table + c.end.size()), c.end);
    }
}

TEST_F(GifWriterTest, RefusesEmptyImagesAndMissingFrames)
{
    CGraphicsImage empty, image;
    MakePicture(image, 8, 4, 4, 0);
    CGifWriter writer;
    EXPECT_THROW(writer.Write(PathOf("a.gif"), empty), EGifError);
    writer.SetFrameCount(2);
    try {
        writer.Write(PathOf("a.gif"), image);
        FAIL();
    } catch (const EGifError& error) {
        EXPECT_STREQ(error.Message(), GraphicsText::Gif::ImageMissing);
    }
}

// LZW codes of the given widths, packed least significant bit first.
Bytes Codes(std::initializer_list<std::pair<int, int>> codes)
{
    Bytes out;
    u32 accumulator = 0;
    int bits = 0;
    for (const auto& [code, width] : codes) {
        accumulator |= u32(code) << bits;
        for (bits += width; bits >= 8; bits -= 8, accumulator >>= 8)
            out.push_back(std::uint8_t(accumulator));
    }
    if (bits > 0)
        out.push_back(std::uint8_t(accumulator));
    return out;
}

// A file with a 4-entry global table and one image of its descriptor bytes and data.
Bytes GifFile(u32 width, u32 height, int minCodeSize, const Bytes& data, const Bytes& beforeImage = {})
{
    Bytes file = {'G', 'I', 'F', '8', '9', 'a', 4, 0, 4, 0, 0x81, 0, 0, 0, 0, 0, 255, 0, 0, 0, 255, 0, 0, 0, 255};
    file.insert(file.end(), beforeImage.begin(), beforeImage.end());
    file.insert(file.end(), {0x2C, 0, 0, 0, 0, std::uint8_t(width), std::uint8_t(width >> 8), std::uint8_t(height),
                             std::uint8_t(height >> 8), 0, std::uint8_t(minCodeSize)});
    if (!data.empty())
        file.push_back(std::uint8_t(data.size()));
    file.insert(file.end(), data.begin(), data.end());
    file.insert(file.end(), {0, 0x3B});
    return file;
}

TEST(GifReader, HostileAndBrokenFilesGiveClearErrors)
{
    const Bytes good = Codes({{4, 3}, {1, 3}, {2, 3}, {6, 3}, {5, 3}});  // 1, 2, 1, 2
    Bytes noTable = GifFile(2, 2, 2, good);
    noTable[10] = 0;
    noTable.erase(noTable.begin() + 13, noTable.begin() + 25);
    const Bytes valid = GifFile(2, 2, 2, good);
    const struct { const char* what; Bytes file; const char* message; } cases[] = {
        {"valid", valid, nullptr},
        {"no image", {'G', 'I', 'F', '8', '7', 'a', 1, 0, 1, 0, 0, 0, 0, 0x3B}, "No more images in the GIF stream"},
        {"short header", {'G', 'I', 'F', '8', '9', 'a', 1, 0}, "Error reading from GIF file"},
        {"no colour table", noTable, "Gif stream is corrupt"},
        {"control terminator", GifFile(2, 2, 2, good, {0x21, 0xF9, 4, 0, 0, 0, 0, 7}), "Gif stream is corrupt"},
        {"code above next free", GifFile(2, 2, 2, Codes({{4, 3}, {1, 3}, {7, 3}, {5, 3}})), "Gif stream is corrupt"},
        {"first code no pixel", GifFile(2, 2, 2, Codes({{4, 3}, {6, 3}, {5, 3}})), "Gif stream is corrupt"},
        {"code size 12", GifFile(2, 2, 12, good), "Gif stream is corrupt"},
        {"fewer pixels than rows", GifFile(2, 3, 2, good), "Gif stream is corrupt"},
        {"huge frame, little data", GifFile(32768, 32768, 2, good), "Gif stream is corrupt"},
        {"truncated data", Bytes(valid.begin(), valid.end() - 4), "Gif stream is corrupt"},
        {"unknown introducer", GifFile(2, 2, 2, good, {0x77}), "Gif stream is corrupt"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Bytes copy = c.file;
        CDataStream stream;
        ASSERT_TRUE(stream.OpenMemory(copy.data(), std::int32_t(copy.size()), 0));
        CGifReader reader;
        CGraphicsImage image;
        try {
            reader.Read(stream, image);
            EXPECT_EQ(c.message, nullptr);
            EXPECT_EQ(RgbOf(image), Bytes({255, 0, 0, 0, 255, 0, 255, 0, 0, 0, 255, 0}));
        } catch (const EGifError& error) {
            EXPECT_STREQ(error.Message(), c.message);
        }
    }
}

TEST(GifReader, UserStopIsAnAbort)
{
    CGifReader reader;
    reader.Info().SetProgressCallback([](const CGraphicsCodecInfo&, void*, int, int, int percent, bool& stop) {
        stop = percent > 0;
    }, nullptr);
    CGraphicsImage image;
    EXPECT_THROW(reader.Read(imgtest::TestData("gif/hand-deferred-clear.gif"), image), EGraphicsAbort);
}

}  // namespace
