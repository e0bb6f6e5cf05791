// The TLS sequence format: layout, CRC, round trips, frames written and replaced one by one, and
// the error texts.

#include "imaging/GraphicsFile.h"
#include "imaging/GraphicsImage.h"
#include "imaging/formats/tls/TlsReader.h"
#include "imaging/formats/tls/TlsWriter.h"
#include "support/DataStream.h"
#include "tests/imaging/TestSupport.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using imgtest::Bytes;
using u32 = std::uint32_t;

// A picture whose pixels depend on a seed, so that frames differ.
void Paint(CGraphicsImage& image, int bpp, u32 width, u32 height, u32 seed)
{
    ASSERT_TRUE(image.Create(bpp, width, height, 0));
    for (u32 y = 0; y < height; ++y)
        for (u32 x = 0; x < width; ++x)
            image.SetPixelFn(x, y, bpp <= 8 ? (x + y + seed) & image.ValueMask() : (x * 0x3F1D07u + y * 0x0751A3u) ^ seed);
}

// The colour a 1-byte pixel stands for: each channel of 64 or more becomes 255.
u32 FlagColour(u32 colour)
{
    return ((colour & 0xC00000) != 0 ? 0xFF0000 : 0) | ((colour & 0xC000) != 0 ? 0xFF00 : 0) | ((colour & 0xC0) != 0 ? 0xFF : 0);
}
u32 ColourAt(const CGraphicsImage& image, u32 x, u32 y)
{
    const u32 value = image.GetPixelFn(x, y);
    return (image.Bpp() <= 8 ? image.PaletteColor(value) : value) & 0xFFFFFF;
}

// The message of what reading frame k throws, empty on success.
std::string ReadError(const std::string& file, unsigned frame, CGraphicsImage& image)
{
    return imgtest::MessageOf([&] { CTlsReader().Read(std::string_view(file), image, frame); });
}

using TlsTest = imgtest::TempFolderTest;

TEST(TlsCrc, MatchesTheCcittTableWithoutInversion)
{
    tls::Crc16 crc;
    const std::string text = "123456789";
    crc.Add(std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
    EXPECT_EQ(crc.Value(), 0x31C3);
}

TEST_F(TlsTest, OneFrameLayoutAndRoundTrips)
{
    CGraphicsImage image, back;
    Paint(image, 24, 2, 2, 0);
    CTlsWriter eightBits;
    eightBits.SetOutputBits(8);
    eightBits.Write(std::string_view(PathOf("a.tlsp")), image);
    const Bytes bytes = imgtest::ReadFile(PathOf("a.tlsp"));
    ASSERT_EQ(bytes.size(), 88u);  // header, attribute block, two rows of four bytes, no trailer
    EXPECT_EQ(Bytes(bytes.begin(), bytes.begin() + 10), (Bytes{'T', 'L', 'S', 'P', 2, 0, 2, 0, 1, 0}));

    // 24 bits come back as 8 bits whose palette holds the eight primary and secondary colours.
    ASSERT_EQ(LoadGraphicsFile(PathOf("a.tlsp"), back), 0);
    ASSERT_EQ(back.Bpp(), 8);
    for (u32 y = 0; y < 2; ++y)
        for (u32 x = 0; x < 2; ++x)
            EXPECT_EQ(ColourAt(back, x, y), FlagColour(ColourAt(image, x, y)));
    // The palette it gets carries the attribute table, so it is written again byte for byte.
    ASSERT_EQ(SaveGraphicsFile(PathOf("b.tlsp"), back), 0);
    EXPECT_EQ(imgtest::ReadFile(PathOf("b.tlsp")), bytes);

    // 32 bits keep their pixels; a preset table comes back as it was and lands in the alpha bits.
    Paint(image, 32, 20, 15, 0x5A000000);
    tls::AttributeBlock block{};
    for (std::size_t i = 0; i < block.size(); ++i)
        block[i] = static_cast<std::uint8_t>(i * 37);
    CTlsWriter writer;
    writer.SetAttributes(block);
    writer.SetUserValue(0xCAFE);
    writer.Write(std::string_view(PathOf("c.tlsp")), image);
    CTlsReader reader;
    reader.Read(std::string_view(PathOf("c.tlsp")), back);
    EXPECT_EQ(reader.Attributes(), block);
    EXPECT_EQ(reader.Header().userValue, 0xCAFEu);
    ASSERT_EQ(back.Bpp(), 32);
    for (u32 i = 0; i < 300; ++i) {
        const u32 x = i % 20, y = i / 20, expected = image.GetPixelFn(x, y);
        const u32 attribute = i < 176 ? tls::Attribute(block, i) : i < 198 ? (i & 7) : (expected >> 28) & 7;
        EXPECT_EQ(back.GetPixelFn(x, y), (expected & 0x8FFFFFFFu) | attribute << 28) << i;
    }
}

TEST_F(TlsTest, FramesWrittenReplacedAndCheckedByCrc)
{
    const std::string file = PathOf("seq.tlsp");
    CGraphicsImage frames[3], back;
    for (unsigned k = 0; k < 3; ++k) {
        Paint(frames[k], 4, 7, 3, k);
        CTlsWriter().Write(std::string_view(file), frames[k], k, 3);  // each frame by a writer of its own
    }
    CTlsReader reader;
    for (unsigned k = 0; k < 3; ++k) {
        ASSERT_EQ(imgtest::MessageOf([&] { reader.Read(std::string_view(file), back, k); }), "") << k;
        EXPECT_EQ(reader.Trailer(), (tls::Trailer{0x88, 0x13, std::uint8_t(k < 2 ? k + 1 : 0), 0}));
        for (u32 x = 0; x < 7; ++x)
            EXPECT_EQ(ColourAt(back, x, 2), FlagColour(ColourAt(frames[k], x, 2))) << k;
    }
    std::filesystem::copy_file(file, PathOf("seq0.tlsp"));
    const std::size_t size = imgtest::ReadFile(file).size();
    EXPECT_EQ(size, 16 + 3 * (64 + 3 * 8 + 4));

    // Replacing frame 1 changes only that frame, and the CRC follows.
    CGraphicsImage other;
    Paint(other, 24, 7, 3, 0xFFFFFF);
    CTlsWriter().Write(std::string_view(file), other, 1, 3);
    ASSERT_EQ(imgtest::ReadFile(file).size(), size);
    ASSERT_EQ(ReadError(file, 1, back), "");
    EXPECT_EQ(ColourAt(back, 0, 0), 0xFFFFFFu);
    ASSERT_EQ(ReadError(file, 0, back), "");

    // One writer can also write a whole sequence into one stream, frame after frame.
    CDataStream memory;
    ASSERT_TRUE(memory.OpenMemory(nullptr, 0, 2));
    CTlsWriter sequence;
    for (unsigned k = 0; k < 3; ++k)
        sequence.Write(memory, frames[k], k, 3);
    ASSERT_TRUE(memory.Close());
    EXPECT_EQ(Bytes(memory.MemoryData().begin(), memory.MemoryData().end()), imgtest::ReadFile(PathOf("seq0.tlsp")));

    // One flipped pixel byte in any frame fails every read, after the wanted frame was read.
    Bytes bytes = imgtest::ReadFile(file);
    bytes[16 + 2 * (64 + 24 + 4) + 64 + 5] ^= 0x10;
    imgtest::WriteFile(file, bytes);
    EXPECT_EQ(ReadError(file, 0, back), "Falsche CRC-Summe !");
    EXPECT_EQ(back.Width(), 7u);
    EXPECT_EQ(ReadError(file, 3, back), "Das Bild wurde in der Sequenz nicht gefunden !");
}

TEST_F(TlsTest, ErrorTexts)
{
    CGraphicsImage image, wide;
    Paint(image, 8, 4, 2, 0);
    ASSERT_EQ(SaveGraphicsFile(PathOf("good.tlsp"), image), 0);
    const Bytes good = imgtest::ReadFile(PathOf("good.tlsp"));
    const auto variant = [&](std::size_t at, std::uint8_t value, std::size_t keep) {
        Bytes bytes(good.begin(), good.begin() + std::min(keep, good.size()));
        if (at < bytes.size())
            bytes[at] = value;
        return bytes;
    };
    const struct { Bytes bytes; const char* message; } reads[] = {
        {variant(0, 'X', 999), "Die Datei ist keine TLS-Datei !"},
        {variant(99, 0, 15), "Fehler beim Lesen der TLS-Datei !"},
        {variant(8, 3, 999), "Besch\xE4" "digte TLS-Datei !"},
        {variant(5, 0x20, 999), "Besch\xE4" "digte TLS-Datei !"},  // 8196 pixels wide
        {variant(99, 0, good.size() - 1), "Besch\xE4" "digte TLS-Datei !"},
        {variant(7, 0x0F, 999), "Besch\xE4" "digte TLS-Datei !"},  // 3842 rows promised, none there
    };
    for (const auto& c : reads) {
        imgtest::WriteFile(PathOf("bad.tlsp"), c.bytes);
        EXPECT_EQ(ReadError(PathOf("bad.tlsp"), 0, image), c.message);
    }
    EXPECT_EQ(ReadError(PathOf("missing.tlsp"), 0, image), "Fehler beim \xD6" "ffnen der TLS-Datei !");

    const auto writeError = [&](const CGraphicsImage& picture, unsigned frame, unsigned count) {
        const std::string file = PathOf(frame == 0 ? "w.tlsp" : "good.tlsp");
        return imgtest::MessageOf([&] { CTlsWriter().Write(std::string_view(file), picture, frame, count); });
    };
    Paint(wide, 8, 5000, 1, 0);
    EXPECT_EQ(writeError(wide, 0, 1), "Falsche Bild-Daten !");
    EXPECT_EQ(writeError(CGraphicsImage(), 0, 1), "Falsche Bild-Daten !");
    ASSERT_TRUE(wide.Create(32, 4096, 4096, CGraphicsImage::NoFill));
    EXPECT_EQ(writeError(wide, 0, 30), "Falsche Bild-Daten !");  // more than 0x7800 units of 64 KB
    Paint(wide, 8, 5, 2, 0);
    EXPECT_EQ(writeError(wide, 1, 2), "Falsche Bild-Daten !");  // another size than the sequence
    EXPECT_EQ(writeError(image, 3, 3), "Falsche Bild-Daten !");
    EXPECT_EQ(imgtest::ReadFile(PathOf("good.tlsp")), good);
}

}  // namespace
