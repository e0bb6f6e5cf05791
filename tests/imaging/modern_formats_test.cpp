// WebP, AVIF and HEIF: files that cwebp, img2webp, avifenc and heif-enc make from a photo-like
// picture, against the decoding of dwebp, avifdec and heif-convert; their detection; stops; and
// damaged, cut-short and oversized files.

#include "imaging/DetectGraphicsType.h"
#include "imaging/GraphicsFile.h"
#include "imaging/GraphicsImage.h"
#include "imaging/formats/avif/AvifReader.h"
#include "imaging/formats/heif/HeifReader.h"
#include "imaging/formats/webp/WebpReader.h"
#include "tests/imaging/TestSupport.h"

#include <libheif/heif.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <random>
#include <string>
#include <utility>

namespace {

using imgtest::Bytes;

// The literal's bytes, zero bytes included.
template <std::size_t N>
Bytes B(const char (&text)[N])
{
    return Bytes(text, text + N - 1);
}

// The largest difference of any channel, alpha included where either side has it; 256 for sizes
// that differ.
int Difference(const CGraphicsImage& a, const CGraphicsImage& b)
{
    if (a.Width() != b.Width() || a.Height() != b.Height())
        return 256;
    const int channels = a.Bpp() == 32 || b.Bpp() == 32 ? 4 : 3;
    int largest = 0;
    for (std::uint32_t y = 0; y < a.Height(); ++y)
        for (std::uint32_t x = 0; x < a.Width(); ++x)
            for (int c = 0; c < channels; ++c) {
                const int shift = 24 - 8 * c;
                largest = std::max(largest, std::abs(int(imgtest::PixelRgba(a, x, y) >> shift & 0xFF) -
                                                     int(imgtest::PixelRgba(b, x, y) >> shift & 0xFF)));
            }
    return largest;
}

// The picture as a HEIC file whose properties turn it a quarter clockwise for showing: heif-enc
// has no option for that, libheif's encoder has.
void WriteTurnedHeic(const CGraphicsImage& picture, const std::string& file)
{
    const std::unique_ptr<heif_context, void (*)(heif_context*)> context(heif_context_alloc(), heif_context_free);
    heif_image* raw = nullptr;
    const int width = int(picture.Width()), height = int(picture.Height());
    ASSERT_EQ(heif_image_create(width, height, heif_colorspace_RGB, heif_chroma_interleaved_RGB, &raw).code, 0);
    const std::unique_ptr<heif_image, void (*)(const heif_image*)> image(raw, heif_image_release);
    ASSERT_EQ(heif_image_add_plane(raw, heif_channel_interleaved, width, height, 8).code, 0);
    int stride = 0;
    std::uint8_t* plane = heif_image_get_plane(raw, heif_channel_interleaved, &stride);
    const Bytes rgb = imgtest::Rgb(picture);
    for (int y = 0; y < height; ++y)
        std::copy_n(rgb.begin() + 3 * y * width, 3 * width, plane + y * stride);
    heif_encoder* encoder = nullptr;
    ASSERT_EQ(heif_context_get_encoder_for_format(context.get(), heif_compression_HEVC, &encoder).code, 0);
    heif_encoder_set_lossy_quality(encoder, 90);
    heif_encoding_options* options = heif_encoding_options_alloc();
    options->image_orientation = heif_orientation_rotate_90_cw;
    const heif_error encoded = heif_context_encode_image(context.get(), raw, encoder, options, nullptr);
    heif_encoding_options_free(options);
    heif_encoder_release(encoder);
    ASSERT_EQ(encoded.code, 0) << encoded.message;
    ASSERT_EQ(heif_context_write_to_file(context.get(), file.c_str()).code, 0);
}

class ModernFormats : public ::testing::Test
{
protected:
    // Every file and its peer's decoding are made once, from the 61 x 43 photo-like fixture and
    // the 32 x 32 PngSuite picture with alpha.
    static void SetUpTestSuite()
    {
        folder_ = std::filesystem::temp_directory_path() / ("quizmora-modern-" + std::to_string(::getpid()));
        std::filesystem::create_directories(folder_);
        CGraphicsImage photo, negative;
        ASSERT_EQ(LoadGraphicsFile(imgtest::TestData("jpeg/cjpeg-444.ppm"), photo), kLoadOk);
        ASSERT_EQ(SaveGraphicsFile(Path("photo.png"), photo), kSaveOk);
        ASSERT_TRUE(negative.CopyFrom(photo));
        for (std::uint32_t y = 0; y < photo.Height(); ++y)
            for (std::uint32_t x = 0; x < photo.Width(); ++x)
                negative.SetPixelFn(x, y, ~photo.GetPixelFn(x, y) & 0xFFFFFF);
        ASSERT_EQ(SaveGraphicsFile(Path("negative.png"), negative), kSaveOk);
        WriteTurnedHeic(photo, Path("turned.heic"));
        const std::string alpha = imgtest::Suite("basn6a08");
        const std::string commands[] = {
            "cwebp -quiet -q 80 photo.png -o lossy.webp && dwebp -quiet lossy.webp -o lossy.webp.png",
            "cwebp -quiet -lossless photo.png -o lossless.webp && dwebp -quiet lossless.webp -o lossless.webp.png",
            "cwebp -quiet -exact -lossless " + alpha + " -o alpha.webp && dwebp -quiet alpha.webp -o alpha.webp.png",
            "cwebp -quiet -q 80 " + alpha + " -o lossy-alpha.webp && dwebp -quiet lossy-alpha.webp -o lossy-alpha.webp.png",
            "img2webp -q 80 photo.png negative.png -o animation.webp && webpmux -get frame 1 animation.webp -o first.webp"
            " && dwebp -quiet first.webp -o animation.webp.png",
            "avifenc -s 10 photo.png lossy.avif && avifdec lossy.avif lossy.avif.png",
            "avifenc -s 10 -l photo.png lossless.avif && avifdec lossless.avif lossless.avif.png",
            "avifenc -s 10 " + alpha + " alpha.avif && avifdec alpha.avif alpha.avif.png",
            // avifdec leaves rotation and mirroring to its user; heif-convert applies them.
            "avifenc -s 10 --irot 1 --imir 1 photo.png turned.avif && heif-convert turned.avif turned.avif.png",
            "heif-enc -q 80 photo.png -o lossy.heic && heif-convert lossy.heic lossy.heic.png",
            "heif-enc -q 80 " + alpha + " -o alpha.heic && heif-convert alpha.heic alpha.heic.png",
            "heif-convert turned.heic turned.heic.png",
            // An animation whose first frame, 20 x 12 pixels of the photo, stands at (10, 6).
            "convert-im6.q16 photo.png -crop 20x12+0+0 +repage corner.png && cwebp -quiet -lossless corner.png -o corner.webp"
            " && webpmux -frame corner.webp +100+10+6 -frame lossless.webp +100 -o placed.webp",
        };
        for (const std::string& command : commands) {
            const std::string line = "cd '" + folder_.string() + "' && " + command + " >/dev/null 2>&1";
            ASSERT_EQ(std::system(line.c_str()), 0) << command;
        }
    }
    static void TearDownTestSuite()
    {
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }
    static std::string Path(std::string_view name) { return (folder_ / name).string(); }

    static std::filesystem::path folder_;
};

std::filesystem::path ModernFormats::folder_;

TEST_F(ModernFormats, DecodeAsThePeersDecode)
{
    const struct { const char* file; std::uint32_t width; int bpp; int tolerance; } cases[] = {
        {"lossy.webp", 61, 24, 2},       {"lossless.webp", 61, 24, 0}, {"alpha.webp", 32, 32, 0},
        {"lossy-alpha.webp", 32, 32, 2}, {"animation.webp", 61, 24, 2}, {"lossy.avif", 61, 24, 2},
        {"lossless.avif", 61, 24, 0},    {"alpha.avif", 32, 32, 2},     {"turned.avif", 43, 24, 2},
        {"lossy.heic", 61, 24, 2},       {"alpha.heic", 32, 32, 2},     {"turned.heic", 43, 24, 2},
    };
    for (const auto& c : cases) {
        CGraphicsImage ours, peer;
        ASSERT_EQ(LoadGraphicsFile(Path(c.file), ours), kLoadOk) << c.file << ": " << LoadErrorText();
        ASSERT_EQ(LoadGraphicsFile(Path(c.file + std::string(".png")), peer), kLoadOk) << c.file;
        EXPECT_EQ(ours.Width(), c.width) << c.file;
        EXPECT_EQ(ours.Bpp(), c.bpp) << c.file;
        EXPECT_LE(Difference(ours, peer), c.tolerance) << c.file;
    }
    // The alpha of a lossless file is the PNG's own, transparent pixels included (cwebp applies
    // the PNG's gamma to the colours).
    CGraphicsImage webp, png;
    ASSERT_EQ(LoadGraphicsFile(Path("alpha.webp"), webp), kLoadOk);
    ASSERT_EQ(LoadGraphicsFile(imgtest::Suite("basn6a08"), png), kLoadOk);
    for (std::uint32_t y = 0; y < png.Height(); ++y)
        for (std::uint32_t x = 0; x < png.Width(); ++x)
            ASSERT_EQ(imgtest::PixelRgba(webp, x, y) & 0xFF, imgtest::PixelRgba(png, x, y) & 0xFF) << x << "," << y;
    EXPECT_EQ(webp.GetAlphaKind(), 2);

    // A first frame smaller than the canvas stands in its place; the rest is transparent.
    CGraphicsImage placed, photo;
    ASSERT_EQ(LoadGraphicsFile(Path("placed.webp"), placed), kLoadOk) << LoadErrorText();
    ASSERT_EQ(LoadGraphicsFile(Path("photo.png"), photo), kLoadOk);
    ASSERT_EQ(placed.Bpp(), 32);
    for (const auto& [x, y] : {std::pair{0u, 0u}, {9u, 6u}, {30u, 17u}, {60u, 42u}})
        EXPECT_EQ(imgtest::PixelRgba(placed, x, y), 0u) << x << "," << y;
    for (const auto& [x, y] : {std::pair{0u, 0u}, {19u, 0u}, {0u, 11u}, {19u, 11u}})
        EXPECT_EQ(imgtest::PixelRgba(placed, x + 10, y + 6), imgtest::PixelRgba(photo, x, y) | 0xFF) << x << "," << y;
}

TEST_F(ModernFormats, ContainersAreFoundByTheirBrandsAndOnlyLoaded)
{
    const auto ftyp = [](const Bytes& brands) {
        Bytes box = B("\0\0\0\x1C" "ftyp");
        box.insert(box.end(), brands.begin(), brands.end());
        return box;
    };
    const struct { const char* name; Bytes header; GraphicsFileType expected; } cases[] = {
        {"webp", B("RIFF\x10\0\0\0WEBPVP8 "), GraphicsFileType::Webp},
        {"riff of another form", B("RIFF\x10\0\0\0AVI LIST"), GraphicsFileType::None},
        {"avif", ftyp(B("avif\0\0\0\0mif1miaf")), GraphicsFileType::Avif},
        {"avif sequence", ftyp(B("avis\0\0\0\0msf1")), GraphicsFileType::Avif},
        {"heic", ftyp(B("heic\0\0\0\0mif1heic")), GraphicsFileType::Heif},
        {"general image file of av1", ftyp(B("mif1\0\0\0\0mif1avifmiaf")), GraphicsFileType::Avif},
        {"general image file of hevc", ftyp(B("mif1\0\0\0\0mif1heic")), GraphicsFileType::Heif},
        {"avif brand behind the ftyp box", ftyp(B("mif1\0\0\0\0mif1miafMA1Bavif")), GraphicsFileType::Heif},
        {"video", ftyp(B("isom\0\0\0\0isomavc1")), GraphicsFileType::None},
        {"heic mentioning char", ftyp(B("heic\0\0\0\0char")), GraphicsFileType::Heif},
    };
    for (const auto& c : cases)
        EXPECT_EQ(static_cast<int>(DetectGraphicsType(c.header)), static_cast<int>(c.expected)) << c.name;
    CGraphicsImage image;
    ASSERT_EQ(LoadGraphicsFile(Path("lossy.heic"), image), kLoadOk);
    for (const char* name : {"x.webp", "x.avif", "x.heic"}) {
        EXPECT_EQ(SaveGraphicsFile(Path(name), image), kSaveUnknownFormat) << name;
        EXPECT_EQ(SaveErrorText(), "Unbekanntes Datei Format.");
    }
}

TEST_F(ModernFormats, StopFromTheProgressCallback)
{
    const auto stop = [](const CGraphicsCodecInfo&, void*, int, int, int, bool& asked) { asked = true; };
    const auto read = [&](CGraphicsReader&& reader, const char* file) {
        reader.Info().SetProgressCallback(stop, nullptr);
        CGraphicsImage image;
        EXPECT_THROW(reader.Read(std::string_view(Path(file)), image), EGraphicsAbort) << file;
    };
    read(CWebpReader(), "lossy.webp");
    read(CAvifReader(), "lossy.avif");
    read(CHeifReader(), "lossy.heic");
}

TEST_F(ModernFormats, DamagedCutShortAndOversizedFilesFailCleanly)
{
    const auto withBytes = [](Bytes bytes, std::size_t offset, Bytes patch) {
        std::copy(patch.begin(), patch.end(), bytes.begin() + std::ptrdiff_t(offset));
        return bytes;
    };
    // Every size property of the file set to these bytes (width, then height).
    const auto sized = [](Bytes file, const Bytes& size) {
        const Bytes tag = imgtest::BytesOf("ispe");
        for (auto at = file.begin(); (at = std::search(at, file.end(), tag.begin(), tag.end())) != file.end(); ++at)
            std::copy(size.begin(), size.end(), at + 8);
        return file;
    };
    const Bytes webp = imgtest::ReadFile(Path("alpha.webp")), animation = imgtest::ReadFile(Path("animation.webp"));
    const Bytes avif = imgtest::ReadFile(Path("lossy.avif")), heic = imgtest::ReadFile(Path("lossy.heic"));
    const auto half = [](const Bytes& file) { return Bytes(file.begin(), file.begin() + std::ptrdiff_t(file.size() / 2)); };
    const std::string tooBig = "Das Bild ist zu gro\xDF";
    const struct { const char* name; Bytes bytes; int result; std::string message; } cases[] = {
        {"webp cut short", half(webp), kLoadFailed, "Fehler beim Lesen der WebP-Datei !"},
        {"animation cut short", half(animation), kLoadFailed, "Fehler beim Lesen der WebP-Datei !"},
        {"webp header only", Bytes(webp.begin(), webp.begin() + 12), kLoadFailed, "Fehler beim Lesen der WebP-Datei !"},
        {"webp of a broken bitstream", withBytes(webp, 20, {0x2E}), kLoadFailed,
         "Besch\xE4" "digte WebP-Datei !"},
        // A canvas of 40000 x 40000 pixels around the first frame of the animation.
        {"webp canvas too big", withBytes(animation, 24, {0x3F, 0x9C, 0, 0x3F, 0x9C, 0}), kLoadTooBig, tooBig},
        {"avif cut short", half(avif), kLoadFailed, "Fehler beim Lesen der AVIF-Datei !"},
        {"avif too wide", sized(avif, {0, 0, 0x9C, 0x40, 0, 0, 0, 43}), kLoadTooBig, tooBig},
        {"avif too big", sized(avif, {0, 0, 0x75, 0x30, 0, 0, 0x75, 0x30}), kLoadTooBig, tooBig},
        {"avif frame beyond its declared size", sized(avif, {0, 0, 0, 8, 0, 0, 0, 8}), kLoadFailed,
         "Besch\xE4" "digte AVIF-Datei !"},
        {"heic cut short", half(heic), kLoadFailed, "Fehler beim Lesen der HEIF-Datei !"},
        {"heic too big", sized(heic, {0, 0, 0x75, 0x30, 0, 0, 0x75, 0x30}), kLoadTooBig, tooBig},
    };
    for (const auto& c : cases) {
        CGraphicsImage image;
        EXPECT_EQ(imgtest::LoadBytes(c.bytes, image), c.result) << c.name;
        EXPECT_EQ(LoadErrorText(), c.message) << c.name;
    }
    // Bytes changed all over each file: errors or pictures, never a crash.
    std::minstd_rand random(11);
    for (const Bytes* file : {&webp, &animation, &avif, &heic})
        for (int round = 0; round < 60; ++round) {
            Bytes damaged = *file;
            for (int i = 0; i < 3; ++i)
                damaged[16 + random() % (damaged.size() - 16)] = static_cast<std::uint8_t>(random());
            CGraphicsImage image;
            const int result = imgtest::LoadBytes(damaged, image);
            EXPECT_TRUE(result == kLoadOk || result == kLoadFailed || result == kLoadTooBig) << LoadErrorText();
        }
}

}  // namespace
