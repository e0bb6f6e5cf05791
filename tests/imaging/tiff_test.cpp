// The TIFF codec: files of tiffcp, ImageMagick and Pillow against libtiff's decoding, our files in
// tiffinfo and ImageMagick, and damaged files.

#include "imaging/GraphicsFile.h"
#include "imaging/GraphicsImage.h"
#include "imaging/formats/tiff/TiffReader.h"
#include "tests/imaging/TestSupport.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <string>
#include <vector>

namespace {

using imgtest::Bytes;
using imgtest::GreyRamp;
using imgtest::LoadBytes;
using imgtest::MakePicture;
using imgtest::Mismatches;
using u32 = std::uint32_t;

// Every fixture; the depth follows its name: bilevel and 1-bit palettes 1, 4-bit grey and palettes
// 4, RGB 24 (16-bit samples too), RGBA 32, the rest 8.
TEST(TiffFixtures, DecodeAsLibtiff)
{
    const auto files = imgtest::FilesIn("tiff", {".tif"});
    EXPECT_EQ(files.size(), 33u);
    for (const auto& path : files) {
        const std::string name = path.stem().string(), file = path.string();
        const auto has = [&name](const char* part) { return name.find(part) != std::string::npos; };
        const int bpp = has("-bw") || has("pal1") ? 1 : has("grey4") || has("pal4") ? 4 : has("rgba") ? 32 : has("rgb") ? 24 : 8;
        SCOPED_TRACE(name);
        CGraphicsImage image;
        ASSERT_EQ(LoadGraphicsFile(file, image), kLoadOk) << LoadErrorText();
        EXPECT_EQ(image.Bpp(), bpp);
        EXPECT_EQ(Mismatches(image, imgtest::ReadFile(path.parent_path() / "ref" / (name + ".rgba"))), 0);

        // Every cut of the file fails cleanly or delivers a picture.
        const Bytes whole = imgtest::ReadFile(file);
        for (std::size_t size = 0; size < whole.size(); size += 1 + whole.size() / 23) {
            CGraphicsImage partial;
            LoadBytes(Bytes(whole.begin(), whole.begin() + std::ptrdiff_t(size)), partial);
        }
    }
}

using TiffWriterTest = imgtest::TempFolderTest;

// Hostile claims fail at once or cost what the picture is worth; of several directories the first
// full-resolution image counts, with its own tags only, as tiff2rgba decodes it.
TEST_F(TiffWriterTest, HostileAndMultiImageFiles)
{
    const struct { const char* file; u32 width, height; const char* message; } cases[] = {
        {"spp.tif", 0, 0, "Modus ist nicht unterst\xFCtzt"},
        {"strips.tif", 8192, 32768, nullptr},
        {"multi2.tif", 40, 30, nullptr},
        {"thumb.tif", 40, 30, nullptr},
        {"norps.tif", 4, 3, nullptr},
    };
    for (const auto& c : cases) {
        const std::string file = imgtest::TestData(std::string("tiff-hostile/") + c.file);
        CGraphicsImage image;
        const int result = LoadGraphicsFile(file, image);
        if (c.message != nullptr) {
            EXPECT_EQ(result, kLoadFailed) << c.file;
            EXPECT_EQ(LoadErrorText(), c.message) << c.file;
            continue;
        }
        ASSERT_EQ(result, kLoadOk) << c.file << ": " << LoadErrorText();
        EXPECT_EQ(image.Width(), c.width) << c.file;
        EXPECT_EQ(image.Height(), c.height) << c.file;
        if (c.width * c.height < 10000) {
            const std::string peer = PathOf("peer.tif");
            ASSERT_EQ(imgtest::Shell("tiff2rgba " + file + " " + peer), 0);
            EXPECT_EQ(Mismatches(image, imgtest::MagickPixels(peer + "[0]", "rgba")), 0) << c.file;
        }
    }
}

// What `action` prints on stderr.
template <typename Action>
std::string StderrOf(const std::string& file, const Action& action)
{
    std::fflush(stderr);
    const int saved = ::dup(2), capture = ::open(file.c_str(), O_CREAT | O_WRONLY | O_TRUNC, 0600);
    ::dup2(capture, 2);
    action();
    std::fflush(stderr);
    ::dup2(saved, 2);
    ::close(saved);
    ::close(capture);
    return imgtest::ReadText(file);
}

// Layouts and compressions our own reader leaves to libtiff, made by tiffcp and ImageMagick from one
// picture, decode as tiff2rgba decodes them (JPEG within 2; 32-bit samples, which tiff2rgba cannot
// read, as ImageMagick does); cut short they fail with our texts and libtiff prints nothing.
TEST_F(TiffWriterTest, LibtiffLayoutsDecodeAsTiff2rgba)
{
    const std::string im = "convert-im6.q16 src.tif ", cd = "cd " + folder_.string() + " && ";
    ASSERT_EQ(imgtest::Shell(cd + "convert-im6.q16 -size 97x61 gradient:red-blue '(' -size 97x61 radial-gradient:white-black "
                                  "')' -compose multiply -composite -type TrueColor -depth 8 -compress none src.tif && " +
                             im + "-threshold 50% -depth 1 -compress none bw.tif"), 0);
    // The message when the last quarter is cut off (none: tiffcp's G4 file keeps its pixels in the
    // first bytes and loses only tags it can spare).
    const char* const readFailed = "Fehler beim Lesen";
    const struct { const char* name; std::string command; int tolerance = 0; int bpp = 24;
                   const char* cut = "Fehler beim Lesen"; bool magick = false; } cases[] = {
        {"jpeg", "tiffcp -c jpeg -r 16 src.tif ", 2},  // YCbCr, subsampled
        {"jpeg-tiles", "tiffcp -c jpeg -t -w 32 -l 32 src.tif ", 2},
        {"jpeg-magick-rgb", im + "-compress jpeg ", 2},
        {"jpeg-bottom-up", im + "-orient bottom-left -compress jpeg ", 2},
        {"jpeg-alpha", im + "-alpha set -channel A -fx 'i/w' +channel -compress jpeg ", 2, 32},
        {"g4", "tiffcp -c g4 bw.tif ", 0, 24, nullptr},
        {"g3", "tiffcp -c g3 bw.tif "},
        {"g3-2d", "tiffcp -c g3:2d bw.tif "},
        {"tiles", "tiffcp -t -w 32 -l 32 src.tif "},
        {"tiles-two-pages", "tiffcp -t -w 32 -l 32 src.tif bw.tif "},
        {"separate", "tiffcp -p separate src.tif "},
        {"separate-lzw-tiles", "tiffcp -c lzw -p separate -t -w 16 -l 16 src.tif "},
        {"cmyk", im + "-colorspace CMYK "},
        {"lab", im + "-colorspace Lab "},
        {"rgb16-tiles", im + "-depth 16 -define tiff:tile-geometry=32x32 "},
        {"bigtiff", im + "TIFF64:", 0, 24, "Falscher Header"},
        {"u32", im + "-depth 32 ", 0, 24, readFailed, true},
        {"u32-planes-lzw", im + "-depth 32 -interlace plane -compress lzw ", 0, 24, readFailed, true},
        {"float32-zip", im + "-depth 32 -define quantum:format=floating-point -compress zip ", 0, 24, readFailed, true},
        {"grey-alpha-float32-lzw", im + "-colorspace gray -alpha set -channel A -fx 'i/w' +channel -depth 32 -compress lzw "
                                    "-define quantum:format=floating-point ", 1, 32, readFailed, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string file = PathOf(std::string(c.name) + ".tif"), peer = PathOf("peer.tif");
        ASSERT_EQ(imgtest::Shell(cd + c.command + file + (c.magick ? "" : " && tiff2rgba " + file + " " + peer)), 0);
        CGraphicsImage image;
        ASSERT_EQ(LoadGraphicsFile(file, image), kLoadOk) << LoadErrorText();
        EXPECT_EQ(image.Bpp(), c.bpp);
        const Bytes expected = imgtest::MagickPixels((c.magick ? file : peer) + "[0]", "rgba");
        ASSERT_EQ(expected.size(), 4u * image.Width() * image.Height());
        int worst = 0;
        for (u32 y = 0; y < image.Height(); ++y)
            for (u32 x = 0; x < image.Width(); ++x)
                for (int channel = 0; channel < (c.bpp == 32 ? 4 : 3); ++channel)
                    worst = std::max(worst, std::abs(int(imgtest::PixelRgba(image, x, y) >> (24 - 8 * channel) & 0xFF) -
                                                      expected[4 * (y * image.Width() + x) + u32(channel)]));
        EXPECT_LE(worst, c.tolerance);

        Bytes cut = imgtest::ReadFile(file);
        cut.resize(cut.size() * 3 / 4);
        int result = 0;
        EXPECT_EQ(StderrOf(PathOf("stderr"), [&] { result = LoadBytes(cut, image); }), "");
        EXPECT_EQ(result, c.cut != nullptr ? kLoadFailed : kLoadOk);
        EXPECT_EQ(LoadErrorText(), c.cut != nullptr ? c.cut : "");
    }
    // A stop from the progress callback is honoured.
    CTiffReader reader;
    reader.Info().SetProgressCallback([](const CGraphicsCodecInfo&, void*, int, int, int percent, bool& stop) {
        stop = percent >= 50;
    }, nullptr);
    CGraphicsImage image;
    EXPECT_THROW(reader.Read(PathOf("jpeg.tif"), image), EGraphicsAbort);
}

// Our files pass tiffinfo without a word of warning and show the same pixels in ImageMagick and
// in our reader; the strip layout and the photometric interpretation follow the image.
TEST_F(TiffWriterTest, FilesReadCleanlyInPeerTools)
{
    const struct { int bpp; u32 width, height; std::vector<u32> palette; const char* expect; } cases[] = {
        {1, 21, 1000, {0x000000, 0xFFFFFF}, "Rows/Strip: 322"},
        {1, 9, 5, {0xFFFFFF, 0x000000}, "min-is-white"},
        {1, 9, 5, {0xFF0000, 0x0000FF}, "palette"},
        {4, 9, 5, GreyRamp(4), "min-is-black"},
        {4, 9, 5, {0x102030, 0xFFEE00, 0x00AA55}, "palette"},
        {8, 33, 7, GreyRamp(8), "min-is-black"},
        {8, 33, 7, {0x102030, 0xFFEE00, 0x00AA55}, "palette"},
        {16, 13, 6, {}, "RGB color"},
        {24, 100, 100, {}, "Rows/Strip: 27"},
        {32, 11, 4, {}, "RGB color"},
    };
    int index = 0;
    for (const auto& c : cases) {
        CGraphicsImage image;
        MakePicture(image, c.bpp, c.width, c.height, c.palette);
        const std::string file = PathOf("out" + std::to_string(index++) + ".tif");
        ASSERT_EQ(SaveGraphicsFile(file, image, index % 2 == 0 ? "Bergsee am Morgen" : "ab"), kSaveOk)
            << SaveErrorText();
        std::string info;
        EXPECT_EQ(imgtest::Shell("tiffinfo -D " + file + " 2>&1 >/dev/null", &info), 0);
        EXPECT_EQ(info, "") << c.bpp;
        imgtest::Shell("tiffinfo " + file, &info);
        EXPECT_NE(info.find(c.expect), std::string::npos) << info;
        // ImageMagick's alpha is opaque; ours is 0 below 32 bits and dropped by TIFF.
        Bytes rgba = imgtest::MagickPixels(file, "rgba");
        for (std::size_t i = 3; i < rgba.size(); i += 4)
            rgba[i] = 0;
        EXPECT_EQ(Mismatches(image, rgba), 0) << c.bpp;
        CGraphicsImage back;
        std::string comment;
        ASSERT_EQ(LoadGraphicsFile(file, back, &comment), kLoadOk) << LoadErrorText();
        EXPECT_EQ(comment, index % 2 == 0 ? "Bergsee am Morgen" : "ab");
        EXPECT_EQ(back.Bpp(), c.bpp == 4 || c.bpp == 8 || c.bpp == 1 ? c.bpp : 24);
        EXPECT_EQ(Mismatches(back, rgba), 0) << c.bpp;
    }
    CGraphicsImage twoBits;
    twoBits.CreateOrThrow(2, 4, 4);
    EXPECT_EQ(SaveGraphicsFile(PathOf("two.tif"), twoBits), kSaveFailed);
    EXPECT_EQ(SaveErrorText(), "Modus ist nicht unterst\xFCtzt");
}

// ---- hand-made files -----------------------------------------------------------------------

struct Entry
{
    std::uint16_t tag, type;
    u32 count, value;
};

// A little-endian TIFF: header, `data` from offset 8, then one IFD whose next offset is `next`
// (0: none; 1: the IFD itself).
Bytes MakeTiff(const std::vector<Entry>& entries, const Bytes& data, u32 next = 0)
{
    Bytes out = {'I', 'I', 42, 0, 0, 0, 0, 0};
    auto put = [&out](u32 value, int bytes) {
        for (int i = 0; i < bytes; ++i)
            out.push_back(std::uint8_t(value >> (8 * i)));
    };
    out.insert(out.end(), data.begin(), data.end());
    if (out.size() % 2 != 0)
        out.push_back(0);
    const u32 ifd = u32(out.size());
    out[4] = std::uint8_t(ifd);
    out[5] = std::uint8_t(ifd >> 8);
    put(u32(entries.size()), 2);
    for (const Entry& e : entries) {
        put(e.tag, 2);
        put(e.type, 2);
        put(e.count, 4);
        put(e.value, 4);
    }
    put(next == 1 ? ifd : next, 4);
    return out;
}

// An 8-bit grey picture of width x height whose strip at offset 8 holds `stripBytes` bytes.
std::vector<Entry> GreyEntries(u32 width, u32 height, u32 compression, u32 stripBytes)
{
    return {{256, 4, 1, width}, {257, 4, 1, height}, {258, 3, 1, 8}, {259, 3, 1, compression},
            {262, 3, 1, 1}, {273, 4, 1, 8}, {278, 4, 1, height}, {279, 4, 1, stripBytes}};
}

// The pre-6.0 LZW stream: codes from the lowest bit on, the width growing only when the table is
// full. Only literals, with a clear code often enough to stay at 9 bits.
Bytes OldStyleLzw(const Bytes& pixels)
{
    Bytes out;
    std::uint64_t bits = 0;
    int count = 0;
    auto code = [&](u32 value) {
        bits |= std::uint64_t{value} << count;
        for (count += 9; count >= 8; count -= 8, bits >>= 8)
            out.push_back(std::uint8_t(bits));
    };
    for (std::size_t i = 0; i < pixels.size(); ++i) {
        if (i % 200 == 0)
            code(256);
        code(pixels[i]);
    }
    code(257);
    if (count > 0)
        out.push_back(std::uint8_t(bits));
    return out;
}

TEST(TiffReaderHandMade, OldStyleLzwAndDamagedFiles)
{
    Bytes pixels(40 * 30);
    for (std::size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = std::uint8_t(i * 7 + i / 40);
    const Bytes lzw = OldStyleLzw(pixels);
    CGraphicsImage image;
    ASSERT_EQ(LoadBytes(MakeTiff(GreyEntries(40, 30, 5, u32(lzw.size())), lzw), image), kLoadOk) << LoadErrorText();
    for (u32 y = 0; y < 30; ++y)
        for (u32 x = 0; x < 40; ++x)
            ASSERT_EQ(image.GetPixelFn(x, y), pixels[y * 40 + x]);

    auto with = [](std::vector<Entry> entries, std::uint16_t tag, Entry replacement) {
        for (Entry& e : entries)
            if (e.tag == tag)
                e = replacement;
        return entries;
    };
    const Bytes raw(40 * 30, 0x55);
    const std::vector<Entry> grey = GreyEntries(40, 30, 1, 1200);
    std::vector<Entry> withColourMap = with(grey, 262, {262, 3, 1, 3});
    withColourMap.push_back({320, 3, 3 * 257, 8});
    const struct { const char* what; Bytes file; const char* message; } cases[] = {
        {"directory pointing at itself", MakeTiff(grey, raw, 1), nullptr},
        {"strip beyond the end", MakeTiff(with(grey, 273, {273, 4, 1, 5000}), raw), "Falscher Eintrag"},
        {"strip running past the end", MakeTiff(with(grey, 279, {279, 4, 1, 99999}), raw), nullptr},
        {"huge picture in a small file", MakeTiff(with(grey, 257, {257, 4, 1, 30000}), raw), "Fehler beim Lesen"},
        {"huge LZW picture", MakeTiff(with(GreyEntries(30000, 30000, 5, 1200), 278, {278, 4, 1, 1}), raw),
         "Fehler beim Lesen"},
        {"no rows per strip: one strip", MakeTiff(with(grey, 278, {277, 3, 1, 1}), raw), nullptr},
        {"257 colours", MakeTiff(withColourMap, raw), "Modus ist nicht unterst\xFCtzt"},
        {"12 bits", MakeTiff(with(grey, 258, {258, 3, 1, 12}), raw), "Modus ist nicht unterst\xFCtzt"},
        {"bad header", Bytes{'I', 'I', 43, 0, 8, 0, 0, 0}, "Falscher Header"},
        {"directory beyond the end", Bytes{'M', 'M', 0, 42, 0, 0, 1, 0}, "Fehler beim Lesen"},
        {"blank CCITT G4 rows beyond what the file holds", MakeTiff(with(with(with(with(grey, 259, {259, 3, 1, 4}), 258, {258, 3, 1, 1}),
                                                                  257, {257, 4, 1, 16384}), 278, {278, 4, 1, 16384}),
                                                        Bytes(1200, 0xFF)), "Fehler beim Lesen"},
        {"strip arrays of different length", MakeTiff(with(grey, 279, {279, 4, 2, 8}), raw), "Falscher Eintrag"},
    };
    for (const auto& c : cases) {
        CGraphicsImage damaged;
        const int result = LoadBytes(c.file, damaged);
        if (c.message == nullptr) {
            EXPECT_EQ(result, kLoadOk) << c.what << ": " << LoadErrorText();
        } else {
            EXPECT_EQ(result, kLoadFailed) << c.what;
            EXPECT_EQ(LoadErrorText(), c.message) << c.what;
        }
    }
}

}  // namespace
