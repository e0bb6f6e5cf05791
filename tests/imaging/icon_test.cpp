// The icon reader against what icoutils extract (icotool -x, after wrestool -x for executables):
// icons and cursors from icotool and ImageMagick, PE executables from the mingw-w64 tools, a
// hand-made NE file (tests/data/icons/make.sh); then damaged files, each with its message.

#include "imaging/GraphicsException.h"
#include "imaging/GraphicsFile.h"
#include "imaging/GraphicsImage.h"
#include "imaging/formats/icon/IconImage.h"
#include "imaging/formats/icon/IconReader.h"
#include "support/DataStream.h"
#include "tests/imaging/TestSupport.h"

#include <zlib.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <functional>
#include <optional>
#include <string>

namespace {

using imgtest::Bytes;
using u32 = std::uint32_t;
namespace Text = GraphicsText::Icon;

Bytes Fixture(const std::string& name)
{
    return imgtest::ReadFile(imgtest::TestData("icons/" + name));
}

// Reads bytes with the selecting read; the message of the failure, or "" on success.
std::string ReadIcon(Bytes bytes, CGraphicsImage& image, std::int32_t request = CIcoReader::LargestImage,
                     std::optional<std::uint16_t> group = std::nullopt)
{
    CDataStream stream;
    EXPECT_TRUE(stream.OpenMemory(bytes.data(), std::int32_t(bytes.size()), 0));
    return imgtest::MessageOf([&] { CIcoReader().Read(stream, image, nullptr, request, group); });
}

constexpr std::int32_t kLargest = CIcoReader::LargestImage;

// Compares with 8-bit R, G, B, A rows from the top; colour counts only where it shows.
void ExpectPixels(const CGraphicsImage& image, const Bytes& reference)
{
    ASSERT_EQ(reference.size(), std::size_t{4} * image.Width() * image.Height());
    // A picture without any alpha is opaque throughout.
    const bool opaque = image.GetAlphaKind() == 0;
    int mismatches = 0;
    for (u32 y = 0; y < image.Height(); ++y) {
        const std::uint8_t* bgra = image.RowTo32(image.Row(y));
        for (u32 x = 0; x < image.Width(); ++x, bgra += 4) {
            const std::uint8_t* ref = &reference[4 * (std::size_t{y} * image.Width() + x)];
            const int alpha = opaque ? 255 : bgra[3];
            const bool same = alpha == ref[3] &&
                              (alpha == 0 || (bgra[2] == ref[0] && bgra[1] == ref[1] && bgra[0] == ref[2]));
            if (!same && ++mismatches <= 3)
                ADD_FAILURE() << "pixel " << x << "," << y << " alpha " << alpha << " expected " << int(ref[3]);
            // Masked pixels of an indexed picture use the two entries kept for them.
            if (image.Bpp() == 8 && ref[3] == 0) {
                EXPECT_GE(image.Row(y)[x], kIconInverseIndex);
            }
        }
    }
}

TEST(IconReader, ReadsWhatIcoutilsExtract)
{
    // The reference is ref/<reference>.rgba.z.
    const struct { const char* file; std::int32_t request; std::optional<std::uint16_t> group; const char* reference;
                   u32 width, height; int bpp; } cases[] = {
        {"ico-depths.ico", kLargest, {}, "ico-depths-2", 32, 32, 8},
        {"ico-depths.ico", 0, {}, "ico-depths-0", 16, 16, 8},
        {"ico-depths.ico", CIcoReader::SizeRequest(32, 32, 0xFF), {}, "ico-depths-2", 32, 32, 8},
        {"ico-depths.ico", CIcoReader::SizeRequest(32, 32, 4), {}, "ico-depths-1", 32, 32, 8},
        {"ico-depths.ico", 0x03000001, {}, "ico-depths-1", 32, 32, 8},  // bits 24 and 25 do not count
        {"ico-mono.ico", 0, {}, "ico-mono-0", 24, 24, 8},
        {"ico-mono.ico", 1, {}, "ico-mono-1", 13, 11, 8},
        {"ico-truecolor.ico", 0, {}, "ico-truecolor-0", 20, 20, 32},  // 24 bits with a mask
        {"ico-truecolor.ico", kLargest, {}, "ico-truecolor-1", 48, 48, 32},
        {"ico-png.ico", 0, {}, "ico-png-0", 16, 16, 32},
        {"ico-png.ico", kLargest, {}, "ico-png-1", 64, 64, 32},
        {"ico-magick.ico", kLargest, {}, "ico-magick-0", 48, 48, 32},
        {"ico-magick.ico", 1, {}, "ico-magick-1", 16, 16, 32},
        {"ico-magick256.ico", kLargest, {}, "ico-magick256-0", 256, 256, 32},
        {"ico-crafted8.ico", kLargest, {}, "ico-crafted8-0", 16, 16, 8},
        {"cur-pointer.cur", 0, {}, "cur-pointer-0", 32, 32, 8},
        {"cur-pointer.cur", kLargest, {}, "cur-pointer-1", 48, 48, 32},
        {"exe-pe64.exe", kLargest, {}, "exe-pe64-g1-2", 32, 32, 8},
        {"exe-pe64.exe", 0, 1, "exe-pe64-g1-0", 16, 16, 8},
        {"exe-pe64.exe", kLargest, 7, "exe-pe64-g7-1", 64, 64, 32},
        {"exe-pe32.exe", kLargest, {}, "exe-pe32-g3-1", 48, 48, 32},
        {"exe-pe32.exe", 0, 3, "exe-pe32-g3-0", 20, 20, 32},
        {"exe-ne16.exe", kLargest, {}, "exe-ne16-g5-1", 16, 16, 8},
        {"exe-ne16.exe", 0, 5, "exe-ne16-g5-0", 8, 8, 8},  // transparent and screen-inverting pixels
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.file) + " " + c.reference);
        CGraphicsImage image;
        ASSERT_EQ(ReadIcon(Fixture(c.file), image, c.request, c.group), "");
        ASSERT_EQ(image.Width(), c.width);
        ASSERT_EQ(image.Height(), c.height);
        EXPECT_EQ(image.Bpp(), c.bpp);
        const Bytes packed = Fixture(std::string("ref/") + c.reference + ".rgba.z");
        Bytes reference(std::size_t{4} * c.width * c.height);
        uLongf length = reference.size();
        ASSERT_EQ(uncompress(reference.data(), &length, packed.data(), uLong(packed.size())), Z_OK);
        ASSERT_EQ(length, reference.size());
        ExpectPixels(image, reference);
        if (c.bpp == 8 && image.GetAlphaKind() != 0) {
            EXPECT_EQ(image.PaletteColor(kIconTransparentIndex), kIconTransparentColor);
        }
    }
}

// ImageMagick puts black at index 1 of a 1-bit icon: masked pixels over black are clear all the
// same, and only those over white invert the screen.
TEST(IconReader, MaskOverBlackIsClearWhateverItsIndex)
{
    const std::string file = imgtest::TestData("oddities/icon_im.ico");
    CGraphicsImage image;
    ASSERT_EQ(LoadGraphicsFile(file, image), kLoadOk) << LoadErrorText();
    ExpectPixels(image, imgtest::MagickPixels(file, "rgba"));
    EXPECT_EQ(image.Row(0)[0], kIconTransparentIndex);

    // The hand-made NE icon masks white pixels too: those invert the screen.
    CGraphicsImage both;
    ASSERT_EQ(ReadIcon(Fixture("exe-ne16.exe"), both, 0, 5), "");
    std::array<int, 256> uses{};
    for (u32 y = 0; y < both.Height(); ++y)
        for (u32 x = 0; x < both.Width(); ++x)
            ++uses[both.Row(y)[x]];
    EXPECT_GT(uses[kIconInverseIndex], 0);
    EXPECT_GT(uses[kIconTransparentIndex], 0);
}

TEST(IconReader, ListsTheDirectoryAndLoadsThroughDetection)
{
    Bytes bytes = Fixture("ico-depths.ico");
    CDataStream stream;
    ASSERT_TRUE(stream.OpenMemory(bytes.data(), std::int32_t(bytes.size()), 0));
    std::vector<CIconEntryInfo> entries;
    ASSERT_EQ(CIcoReader().ReadDirectory(stream, entries), 3);
    const u32 expected[3][3] = {{16, 16, 4}, {32, 32, 4}, {32, 32, 8}};
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ((std::vector<u32>{entries[i].width, entries[i].height, u32(entries[i].bitCount)}),
                  (std::vector<u32>(expected[i], expected[i] + 3)));
    CGraphicsImage image;
    ASSERT_EQ(LoadGraphicsFile(imgtest::TestData("icons/ico-png.ico"), image), kLoadOk) << LoadErrorText();
    EXPECT_EQ(image.Width(), 64u);
}

void Put16(Bytes& b, std::size_t at, u32 v)
{
    b[at] = std::uint8_t(v);
    b[at + 1] = std::uint8_t(v >> 8);
}

void Put32(Bytes& b, std::size_t at, u32 v)
{
    Put16(b, at, v);
    Put16(b, at + 2, v >> 16);
}

// A PE file whose root resource directory holds `count` icon-type entries that all point back at
// the root itself.
Bytes LoopingResources(std::uint32_t count)
{
    Bytes b(0x200 + 16 + 8 * std::size_t{count});
    b[0] = 'M';
    b[1] = 'Z';
    Put32(b, 0x3C, 0x40);
    Put32(b, 0x40, 'P' | 'E' << 8);
    Put16(b, 0x44, 0x14C);
    Put16(b, 0x46, 1);
    std::copy_n(".rsrc", 5, b.begin() + 0x58);
    // .rsrc: virtual size, address, raw size, raw offset.
    const u32 size = 16 + 8 * count;
    Put32(b, 0x60, size);
    Put32(b, 0x64, 0x1000);
    Put32(b, 0x68, size);
    Put32(b, 0x6C, 0x200);
    Put16(b, 0x200 + 14, std::uint16_t(count));
    for (u32 i = 0; i < count; ++i) {
        Put32(b, 0x200 + 16 + 8 * i, 3);
        Put32(b, 0x200 + 20 + 8 * i, 0x80000000u);
    }
    return b;
}

TEST(IconReader, RefusesDamagedFilesWithTheirMessage)
{
    // ico-mono.ico: entry 0 (24 x 24, 1 bit) has its bitmap at offset 38.
    const struct { const char* name; const char* file; std::function<void(Bytes&)> damage; const char* message;
                   std::optional<std::uint16_t> group = std::nullopt; std::int32_t request = kLargest; } cases[] = {
        {"five bytes", "ico-mono.ico", [](Bytes& b) { b.resize(5); }, Text::OpenFailed},
        {"33 entries", "ico-mono.ico", [](Bytes& b) { b[4] = 33; }, Text::IconNotFound},
        {"group of a plain icon", "ico-mono.ico", [](Bytes&) {}, Text::IconNotFound, 1},
        {"entry beyond the count", "ico-mono.ico", [](Bytes&) {}, Text::IconNotFound, {}, 2},
        {"no packed match", "ico-mono.ico", [](Bytes&) {}, Text::IconNotFound, {}, CIcoReader::SizeRequest(7, 7, 0xFF)},
        {"directory cut short", "ico-mono.ico", [](Bytes& b) { b.resize(30); }, Text::ReadFromFileFailed},
        {"data beyond the end", "ico-mono.ico", [](Bytes& b) { Put32(b, 18, 0x7FFFFF00); }, Text::ReadFromFileFailed, {}, 0},
        {"huge entry", "ico-mono.ico", [](Bytes& b) { Put32(b, 14, 0x100000); }, Text::BadFileFormat, {}, 0},
        {"header width", "ico-mono.ico", [](Bytes& b) { Put32(b, 38 + 4, 25); }, Text::BadFileFormat, {}, 0},
        {"header height", "ico-mono.ico", [](Bytes& b) { Put32(b, 38 + 8, 24); }, Text::BadFileFormat, {}, 0},
        {"data too short", "ico-mono.ico", [](Bytes& b) { Put32(b, 14, 100); }, Text::BadFileFormat, {}, 0},
        {"compressed", "ico-mono.ico", [](Bytes& b) { Put32(b, 38 + 16, 1); }, Text::CompressedNotSupported, {}, 0},
        {"16 bits", "ico-mono.ico", [](Bytes& b) { Put16(b, 38 + 14, 16); }, Text::ColorFormatNotSupported, {}, 0},
        {"neither icon nor program", "ico-mono.ico", [](Bytes& b) { b[0] = 'X'; }, Text::IconNotFound},
        {"new header too low", "exe-pe64.exe", [](Bytes& b) { Put32(b, 0x3C, 0x20); }, Text::IconNotFound},
        {"no such group", "exe-pe64.exe", [](Bytes&) {}, Text::IconNotFound, 99},
        {"no resource section", "exe-pe32.exe", [](Bytes& b) {
             const std::string_view name = ".rsrc";
             *std::search(b.begin(), b.end(), name.begin(), name.end()) = 'x';
         },
         Text::IconNotFound},
        {"NE group too large", "exe-ne16.exe", [](Bytes& b) { Put16(b, 0x80 + 2 + 8 + 24 + 8 + 2, 0xFFFF); },
         Text::BlockTooLarge},
        {"NE alignment", "exe-ne16.exe", [](Bytes& b) { Put16(b, 0x80, 40); }, Text::BadFileFormat},
        {"resource entries looping to the root", "exe-pe32.exe", [](Bytes& b) { b = LoopingResources(65535); },
         Text::IconNotFound},
        {"NE table past the end", "exe-ne16.exe", [](Bytes& b) { Put16(b, 0x40 + 0x24, 0xFFF0); }, Text::IconNotFound},
    };
    for (const auto& c : cases) {
        Bytes bytes = Fixture(c.file);
        c.damage(bytes);
        CGraphicsImage image;
        EXPECT_EQ(ReadIcon(bytes, image, c.request, c.group), c.message) << c.name;
    }
}

// Every cut of every fixture ends in a message or a picture, never in a crash (the sanitizers watch).
TEST(IconReader, SurvivesEveryTruncation)
{
    for (const char* file : {"ico-depths.ico", "ico-png.ico", "cur-pointer.cur", "exe-pe32.exe", "exe-ne16.exe"}) {
        const Bytes whole = Fixture(file);
        for (std::size_t size = 0; size < whole.size(); size += 1 + size / 64) {
            CGraphicsImage image;
            ReadIcon(Bytes(whole.begin(), whole.begin() + std::ptrdiff_t(size)), image);
        }
    }
}

}  // namespace
