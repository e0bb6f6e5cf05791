// The GIF codec: files of ImageMagick, gifsicle and Pillow against Pillow's decoding (see
// tests/data/gif/make.sh), our files read by those programs and giftext, and hostile data.

#include "imaging/formats/gif/GifReader.h"
#include "imaging/formats/gif/GifWriter.h"
#include "imaging/GraphicsException.h"
#include "imaging/GraphicsFile.h"
#include "imaging/GraphicsImage.h"
#include "tests/imaging/TestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>

namespace {

using imgtest::Bytes;
using imgtest::Rgb;
using u32 = std::uint32_t;

TEST(GifReader, PeerFilesDecodeAsPillowDecodesThem)
{
    const std::map<std::string, int> transparent = {{"gs-transparent", 0}, {"pil-transparent", 2}};
    const auto files = imgtest::FilesIn("gif", {".gif"});
    EXPECT_EQ(files.size(), 17u);
    for (const auto& file : files) {
        const std::string name = file.stem().string();
        SCOPED_TRACE(name);
        CGifReader reader;
        CGraphicsImage image;
        reader.Read(file.string(), image);
        EXPECT_EQ(reader.TransparentIndex(), transparent.contains(name) ? transparent.at(name) : -1);
        ASSERT_EQ(image.Bpp(), 8);
        ASSERT_EQ(image.Width(), name.starts_with("hand-") ? 90u : 40u);  // hand-made ones are 90 x 70
        EXPECT_EQ(Rgb(image), imgtest::ReadFile(file.parent_path() / (name + ".rgb")));
    }
}

class GifWriterTest : public imgtest::TempFolderTest
{
protected:
    // Runs a shell command in the folder; it must succeed without a word on stderr.
    void RunQuietly(const std::string& command)
    {
        const int status = std::system(("cd '" + folder_.string() + "' && " + command + " 2>err").c_str());
        EXPECT_EQ(status, 0) << command;
        EXPECT_EQ(imgtest::ReadText(PathOf("err")), "") << command;
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
            imgtest::MakePicture(frames[i], c.frameBpps[i], 37, 23, {}, 0, 7 + u32(i));
            if (i > 0)
                later.push_back(&frames[i]);
        }
        CGifWriter writer;
        writer.SetFrames(later);
        writer.SetTransparentIndex(c.transparent);
        writer.Info().SetComment("Bergsee \xFC und Gipfel");
        const std::string file = PathOf(std::string(c.name) + ".gif");
        writer.Write(file, frames[0]);

        RunQuietly("giftext " + file + " >/dev/null");
        RunQuietly("convert-im6.q16 -regard-warnings " + file + " -coalesce -depth 8 rgb:im-%d.rgb");
        RunQuietly("/usr/bin/python3 -W error -W ignore::ResourceWarning -c \"import sys\nfrom PIL import Image, ImageSequence\n"
                   "for i, f in enumerate(ImageSequence.Iterator(Image.open(sys.argv[1]))):\n"
                   "    open('pil-%d.rgb' % i, 'wb').write(f.convert('RGB').tobytes())\" " + file);

        for (std::size_t i = 0; i < frames.size(); ++i) {
            CGraphicsImage expected;
            ASSERT_TRUE(expected.Quantize(frames[i]));
            const Bytes rgb = Rgb(expected);
            EXPECT_EQ(imgtest::ReadFile(PathOf("im-" + std::to_string(i) + ".rgb")), rgb) << "frame " << i;
            EXPECT_EQ(imgtest::ReadFile(PathOf("pil-" + std::to_string(i) + ".rgb")), rgb) << "frame " << i;
            if (i == 0) {
                CGraphicsImage back;
                ASSERT_EQ(LoadGraphicsFile(file, back), kLoadOk);
                EXPECT_EQ(Rgb(back), rgb);
            }
        }
    }
}

// The layout of a small file: a 4-entry table for highest index 3, code size 8, no
// extensions but the comment, which loses its non-ASCII letter; then the failures.
TEST_F(GifWriterTest, SmallFileLayoutAndFailures)
{
    CGraphicsImage image, empty;
    ASSERT_TRUE(image.Create(8, 5, 3, 3));
    CGifWriter writer;
    writer.Info().SetComment("a\xFC" "b");
    writer.Write(PathOf("small.gif"), image);
    const Bytes bytes = imgtest::ReadFile(PathOf("small.gif"));
    EXPECT_EQ(Bytes(bytes.begin() + 6, bytes.begin() + 13), Bytes({5, 0, 3, 0, 0x91, 0, 0}));
    EXPECT_EQ(Bytes(bytes.begin() + 25, bytes.begin() + 42),
              Bytes({0x21, 0xFE, 2, 'a', 'b', 0, 0x2C, 0, 0, 0, 0, 5, 0, 3, 0, 0, 8}));
    EXPECT_THROW(writer.Write(PathOf("a.gif"), empty), EGifError);
    writer.SetFrameCount(2);  // a frame list shorter than the count
    EXPECT_THROW(writer.Write(PathOf("a.gif"), image), EGifError);
}

// Files of tests/data/gif/hostile, each with one fault (see make.sh there).
TEST(GifReader, HostileAndBrokenFilesGiveClearErrors)
{
    const char* corrupt = "Gif stream is corrupt";
    const struct { const char* name; const char* message; } cases[] = {
        {"no-image", "No more images in the GIF stream"}, {"short-header", "Error reading from GIF file"},
        {"no-colour-table", corrupt},      {"control-terminator", corrupt},     {"code-above-next-free", corrupt},
        {"first-code-no-pixel", corrupt},  {"code-size-12", corrupt},           {"fewer-pixels-than-rows", corrupt},
        {"huge-frame-little-data", corrupt}, {"truncated-data", corrupt},       {"unknown-introducer", corrupt},
    };
    for (const auto& c : cases) {
        CGifReader reader;
        CGraphicsImage image;
        const std::string file = imgtest::TestData("gif/hostile/" + std::string(c.name) + ".gif");
        EXPECT_EQ(imgtest::MessageOf<EGifError>([&] { reader.Read(file, image); }), c.message) << c.name;
    }
}

}  // namespace
