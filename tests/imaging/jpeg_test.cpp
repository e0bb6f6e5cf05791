// The JPEG codec: files from cjpeg, ImageMagick and Pillow against djpeg's decoding, written files
// read back by ImageMagick and Pillow, stops, and damaged or hostile files.

#include "imaging/GraphicsException.h"
#include "imaging/GraphicsFile.h"
#include "imaging/GraphicsImage.h"
#include "imaging/formats/jpeg/JpegReader.h"
#include "imaging/formats/jpeg/JpegWriter.h"
#include "support/DataStream.h"
#include "tests/imaging/TestSupport.h"

#include <cstdio>

#include <jpeglib.h>
#include <jerror.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>

namespace {

using imgtest::Bytes;

std::string Fixture(const std::string& name)
{
    return imgtest::TestData("jpeg/" + name);
}

// The largest difference of any channel of any pixel (256 when the sizes differ), or the mean one.
int Difference(const CGraphicsImage& a, const CGraphicsImage& b, bool mean = false)
{
    if (a.Width() != b.Width() || a.Height() != b.Height())
        return 256;
    const Bytes rgbA = imgtest::Rgb(a), rgbB = imgtest::Rgb(b);
    int largest = 0;
    std::uint64_t sum = 0;
    for (std::size_t i = 0; i < rgbA.size(); ++i) {
        const int difference = std::abs(int(rgbA[i]) - int(rgbB[i]));
        largest = std::max(largest, difference);
        sum += static_cast<std::uint64_t>(difference);
    }
    return mean ? static_cast<int>(sum / rgbA.size()) : largest;
}

TEST(JpegRead, MatchesWhatLibjpegAndPillowDecode)
{
    // The reference decoding is <file>.ppm unless named.
    const struct { const char* file; const char* reference = nullptr; const char* comment = ""; } cases[] = {
        {"cjpeg-420"}, {"cjpeg-422"}, {"cjpeg-444"}, {"cjpeg-progressive"}, {"cjpeg-grey", "cjpeg-grey.pgm"},
        {"cjpeg-restart"}, {"im-baseline"}, {"im-progressive"}, {"im-grey", "im-grey.pgm"}, {"im-cmyk"},
        {"two-comments", "cjpeg-420.ppm", "Erste ZeileZweite"}, {"orient-1"}, {"orient-2"}, {"orient-3"},
        {"orient-4"}, {"orient-5"}, {"orient-6"}, {"orient-7"}, {"orient-8"},
    };
    for (const auto& c : cases) {
        const std::string reference = c.reference != nullptr ? c.reference : c.file + std::string(".ppm");
        CGraphicsImage image, decoded;
        std::string comment = "old";
        ASSERT_EQ(LoadGraphicsFile(Fixture(c.file + std::string(".jpg")), image, &comment), kLoadOk) << c.file;
        // The peers' decodings are PNM files, read by our PNM reader, which matches netpbm.
        ASSERT_EQ(LoadGraphicsFile(Fixture(reference), decoded), kLoadOk) << reference;
        EXPECT_EQ(image.Bpp(), 24) << c.file;
        EXPECT_LE(Difference(image, decoded), 2) << c.file;
        EXPECT_EQ(comment, c.comment) << c.file;
    }
}

class JpegWrite : public imgtest::TempFolderTest
{
protected:
    // What a peer program decodes from a file, as a 24-bit image.
    void PeerDecoding(const std::string& command, CGraphicsImage& image)
    {
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
        ASSERT_EQ(LoadGraphicsFile(PathOf("peer.ppm"), image), kLoadOk) << command;
    }
};

TEST_F(JpegWrite, PeersReadWhatWeWriteWithItsComment)
{
    CGraphicsImage source;
    ASSERT_EQ(LoadGraphicsFile(Fixture("cjpeg-444.ppm"), source), kLoadOk);
    CGraphicsImage indexed, withAlpha;
    indexed.CreateOrThrow(8, source.Width(), source.Height());
    withAlpha.CreateOrThrow(32, source.Width(), source.Height());
    for (std::uint32_t y = 0; y < source.Height(); ++y)
        for (std::uint32_t x = 0; x < source.Width(); ++x) {
            indexed.SetPixelFn(x, y, (x / 4 + y / 4 * 16) & 0xFF);
            withAlpha.SetPixelFn(x, y, source.GetPixelFn(x, y) | 0x80000000u);
        }
    // The mean difference to the picture written that a quality-90 JPEG stays within.
    const struct { const char* name; const CGraphicsImage* image; bool grey; int loss; } cases[] = {
        {"colour", &source, false, 3}, {"grey", &source, true, 256}, {"indexed", &indexed, false, 12},
        {"alpha", &withAlpha, false, 3}};
    const std::string file = PathOf("out.jpg"), peer = PathOf("peer.ppm");
    const std::string comment = "Gr\xFC\xDF" "e";
    for (const auto& c : cases) {
        CJpegWriter writer;
        writer.SetQuality(90);
        writer.SetGrey(c.grey);
        writer.Info().SetComment(comment);
        writer.Write(std::string_view(file), *c.image);

        CGraphicsImage ours, magick, pillow;
        std::string readBack;
        ASSERT_EQ(LoadGraphicsFile(file, ours, &readBack), kLoadOk) << c.name;
        EXPECT_EQ(readBack, comment);
        EXPECT_LE(Difference(ours, *c.image, true), c.loss) << c.name;
        PeerDecoding("convert-im6.q16 '" + file + "' -strip ppm:'" + peer + "'", magick);
        EXPECT_LE(Difference(ours, magick), 2) << c.name;
        PeerDecoding("/usr/bin/python3 -c \"import sys; from PIL import Image; im = Image.open(sys.argv[1]); "
                     "assert im.info['comment'] == b'Gr\\xfc\\xdfe\\0'; im.convert('RGB').save(sys.argv[2])\" '" +
                         file + "' '" + peer + "'",
                     pillow);
        EXPECT_LE(Difference(ours, pillow), 2) << c.name;
        for (std::uint32_t x = 0; c.grey && x < ours.Width(); ++x)
            ASSERT_EQ(ours.GetPixelFn(x, 7) % 0x010101u, 0u);
    }
}

TEST_F(JpegWrite, StopsAndLibraryErrorsAreTheLibrarysExceptions)
{
    CGraphicsImage image;
    ASSERT_EQ(LoadGraphicsFile(Fixture("cjpeg-444.ppm"), image), kLoadOk);
    const auto stopAtHalf = [](const CGraphicsCodecInfo&, void*, int, int, int percent, bool& stop) {
        stop = percent >= 50;
    };
    CJpegReader reader;
    reader.Info().SetProgressCallback(stopAtHalf, nullptr);
    EXPECT_THROW(reader.Read(std::string_view(Fixture("cjpeg-420.jpg")), image), EJpegAbort);

    CJpegWriter writer;
    writer.Info().SetProgressCallback(stopAtHalf, nullptr);
    EXPECT_THROW(writer.Write(std::string_view(PathOf("stopped.jpg")), image), EGraphicsAbort);

    // A full disk: the fixed block takes the headers but not the picture.
    std::uint8_t block[400];
    CDataStream stream(64);
    ASSERT_TRUE(stream.OpenMemory(block, sizeof(block), 3));
    EXPECT_EQ(imgtest::MessageOf<EJpegError>([&] { CJpegWriter().Write(stream, image); }),
              "Fehler " + std::to_string(JERR_FILE_WRITE) + " beim Laden der Jpeg Datei");
    CGraphicsImage empty;
    EXPECT_THROW(writer.Write(std::string_view(PathOf("empty.jpg")), empty), EJpegBadData);
}

TEST_F(JpegWrite, DamagedAndHostileFilesFailCleanly)
{
    const Bytes good = imgtest::ReadFile(Fixture("cjpeg-420.jpg"));
    const std::uint8_t startOfFrame[] = {0xFF, 0xC0};
    const auto frame = std::search(good.begin(), good.end(), std::begin(startOfFrame), std::end(startOfFrame));
    ASSERT_NE(frame, good.end());
    const std::size_t size = static_cast<std::size_t>(frame - good.begin()) + 5;  // height, then width
    Bytes huge = good, tooWide = good;
    huge[size] = huge[size + 2] = 0x75;      // 30000 x 30000 in a file of 1266 bytes
    tooWide[size + 2] = 0x9C;                // width 40000
    const std::string cutShort = "Fehler " + std::to_string(JWRN_JPEG_EOF) + " beim Laden der Jpeg Datei";
    const struct { const char* name; Bytes bytes; int result; const char* message; } cases[] = {
        {"truncated", Bytes(good.begin(), good.begin() + good.size() / 2), kLoadFailed, cutShort.c_str()},
        {"header only", Bytes(good.begin(), frame), kLoadFailed, nullptr},
        {"too many scans", imgtest::ReadFile(Fixture("many-scans.jpg")), kLoadFailed, "Falsche Bild-Daten !"},
        {"size the data cannot hold", huge, kLoadFailed, "Falsche Bild-Daten !"},
        {"too wide", tooWide, kLoadTooBig, "Das Bild ist zu gro\xDF"},
    };
    for (const auto& c : cases) {
        CGraphicsImage image;
        EXPECT_EQ(imgtest::LoadBytes(c.bytes, image), c.result) << c.name;
        EXPECT_EQ(LoadErrorText(), c.message != nullptr ? c.message : LoadErrorText()) << c.name;
    }
    // Bytes changed all over a file: errors or pictures, never a crash.
    std::minstd_rand random(7);
    for (int round = 0; round < 200; ++round) {
        Bytes damaged = good;
        for (int i = 0; i < 4; ++i)
            damaged[2 + random() % (damaged.size() - 2)] = static_cast<std::uint8_t>(random());
        CGraphicsImage image;
        const int result = imgtest::LoadBytes(damaged, image);
        EXPECT_TRUE(result == kLoadOk || result == kLoadFailed || result == kLoadWrongColor) << LoadErrorText();
    }
}

}  // namespace
