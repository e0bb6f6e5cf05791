// The image object: formats, strides, palettes, header, pixel access, alpha kinds, errors.

#include "imaging/GraphicsException.h"
#include "imaging/GraphicsImage.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <tuple>
#include <vector>

namespace {

using u32 = std::uint32_t;

std::vector<std::uint8_t> Bytes(const CGraphicsImage& image)
{
    return {image.Data(), image.Data() + image.ImageSize()};
}

// Rows are padded to four bytes. The formats' constant traits (masks, shifts, palette sizes) act in the
// pixel, drawing and alpha tests.
TEST(ImageModel, RowsArePaddedToFourBytes)
{
    const struct { int bpp; u32 width, stride; } cases[] = {
        {1, 9, 4}, {1, 33, 8}, {2, 17, 8}, {4, 9, 8}, {8, 5, 8}, {12, 3, 8},
        {12, 2, 4}, {15, 3, 8}, {16, 2, 4}, {24, 5, 16}, {32, 3, 12},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.bpp) + " bpp, " + std::to_string(c.width) + " wide");
        CGraphicsImage image;
        ASSERT_TRUE(image.Create(c.bpp, c.width, 7));
        EXPECT_EQ(image.Stride(), c.stride);
        EXPECT_EQ(image.ImageSize(), std::size_t(c.stride) * 7);
        // Picture row 0 is the last row in memory.
        EXPECT_EQ(image.Row(0), image.Data() + 6 * c.stride);
        EXPECT_EQ(image.Row(6), image.Data());
    }
}

TEST(ImageModel, CreateLimitsAndErrorCodes)
{
    const struct { const char* name; int bpp; u32 width, height; bool ok; std::uint8_t error; } cases[] = {
        {"width above limit", 24, 32769, 1, false, 1}, {"height above limit", 8, 1, 32769, false, 1},
        {"negative width seen unsigned", 8, u32(-1), 1, false, 1}, {"width at limit", 24, 32768, 1, true, 0},
        {"bpp 3", 3, 4, 4, false, 2}, {"bpp 0", 0, 4, 4, false, 2}, {"bpp 48", 48, 4, 4, false, 2},
        {"size beats bpp", 3, 40000, 4, false, 1}, {"empty 8 bit", 8, 0, 0, true, 0},
        {"pixels at cap", 1, 32768, 8192, true, 0}, {"pixels above cap", 1, 32768, 8193, false, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CGraphicsImage image;
        EXPECT_EQ(image.Create(c.bpp, c.width, c.height), c.ok);
        EXPECT_EQ(image.ErrorCode(), c.error);
        EXPECT_EQ(std::tuple(image.Bpp(), image.Width(), image.HasPixels(), image.IsEmpty()),
                  std::tuple(c.ok ? c.bpp : 0, c.ok ? c.width : 0u, c.ok, !c.ok || c.width == 0));
    }
    // The error codes become their exceptions.
    const struct { std::uint8_t error; u32 code; const char* message; } errors[] = {
        {1, 4, "Das Bild ist zu gro\xDF"}, {2, 5, "Falsches Farbformat"}, {3, 6, "Zu wenig Speicher"},
        {0, 0, "Unknown error"}, {7, 0, "Unknown error"}};
    for (const auto& c : errors) {
        try {
            ThrowCreateError(c.error);
            ADD_FAILURE() << "nothing thrown";
        } catch (const EGraphicsException& e) {
            EXPECT_EQ(e.Code(), c.code);
            EXPECT_STREQ(e.Message(), c.message);
        }
    }
    CGraphicsImage image;
    EXPECT_THROW(image.CreateOrThrow(24, 40000, 1), EGraphicsPicSize);
    EXPECT_THROW(image.CreateOrThrow(7, 1, 1), EGraphicsWrongColor);
    EXPECT_EQ(std::strlen(EGraphicsException(std::string(300, 'x')).Message()), EGraphicsException::MaxMessageLength);
}

TEST(ImageModel, PaletteAccess)
{
    CGraphicsImage image;
    ASSERT_TRUE(image.Create(8, 1, 1));
    std::uint8_t r, g, b;
    image.GetPaletteRGB(32, r, g, b);
    EXPECT_EQ(std::tuple(r, g, b), std::tuple(20, 235, 106));
    // Indices wrap at 256; SetPaletteRGB keeps the entry's alpha.
    image.SetPaletteColor(256 + 5, 0x80112233);
    EXPECT_EQ(image.PaletteColor(5), 0x80112233u);
    image.SetPaletteRGB(5, 1, 2, 3);
    EXPECT_EQ(image.PaletteColor(5), 0x80010203u);
    image.SetPaletteRGBA(5, 1, 2, 3, 4);
    EXPECT_EQ(image.PaletteColor(5), 0x04010203u);
}

TEST(ImageModel, PixelsRoundTripAtEvenAndOddPositionsWithoutDisturbingNeighbours)
{
    // stored: ColorToPixel of written
    const struct { const char* name; int bpp; u32 written, read, stored; } cases[] = {
        {"1bpp", 1, 1, 1, 1}, {"2bpp", 2, 2, 2, 2}, {"4bpp", 4, 0xB, 0xB, 0xB}, {"8bpp", 8, 0xC8, 0xC8, 0xC8},
        {"12bpp", 12, 0x00A7B8C9, 0x00A0B0C0, 0x0ABC},
        {"15bpp", 15, 0x80FF8040, 0x80F88040, 0xFE08},
        {"15bpp no alpha", 15, 0x7FFF8040, 0x00F88040, 0x7E08},
        {"16bpp", 16, 0x00FF8347, 0x00F88040, 0xFC08},
        {"24bpp", 24, 0x00123456, 0x00123456, 0x00123456},
        {"32bpp", 32, 0x87123456, 0x87123456, 0x87123456},
    };
    for (const auto& c : cases) {
        for (u32 x : {0u, 1u, 2u, 3u, 4u, 7u, 8u, 9u}) {
            SCOPED_TRACE(std::string(c.name) + " x=" + std::to_string(x));
            CGraphicsImage image;
            ASSERT_TRUE(image.Create(c.bpp, 10, 3));
            image.SetPixelFn(x, 1, c.written);
            EXPECT_EQ(image.GetPixelFn(x, 1), c.read);
            for (u32 other = 0; other < 10; ++other)
                if (other != x) {
                    EXPECT_EQ(image.GetPixelFn(other, 1), 0u) << "neighbour " << other;
                }
            EXPECT_EQ(image.GetPixelFn(x, 0), 0u);
            EXPECT_EQ(image.GetPixelFn(x, 2), 0u);
            EXPECT_EQ(image.ColorToPixel(c.written), c.stored);
        }
    }
}

TEST(ImageModel, SetPixelOutsideChangesNothing)
{
    CGraphicsImage image;
    ASSERT_TRUE(image.Create(32, 4, 4, 0x11223344));
    const auto before = Bytes(image);
    image.SetPixel(4, 0, 0);
    image.SetPixel(0, 4, 0);
    image.SetPixel(u32(-1), 0, 0);
    EXPECT_EQ(Bytes(image), before);
    image.SetPixel(3, 3, 0x55);
    EXPECT_EQ(image.GetPixelFn(3, 3), 0x55u);
}

TEST(ImageModel, RowConverters)
{
    CGraphicsImage indexed;
    ASSERT_TRUE(indexed.Create(4, 3, 1));
    indexed.SetPaletteRGBA(2, 10, 20, 30, 40);
    indexed.SetPixelFn(1, 0, 2);
    const std::uint8_t* to8 = indexed.RowTo8(indexed.Row(0));
    EXPECT_EQ(std::tuple(to8[0], to8[1]), std::tuple(0, 2));
    const std::uint8_t* to24 = indexed.RowTo24(indexed.Row(0));
    EXPECT_EQ(std::tuple(to24[3], to24[4], to24[5]), std::tuple(30, 20, 10));
    const std::uint8_t* to32 = indexed.RowTo32(indexed.Row(0));
    EXPECT_EQ(std::tuple(to32[4], to32[7]), std::tuple(30, 40));  // palette alpha comes along

    CGraphicsImage colour;
    ASSERT_TRUE(colour.Create(15, 2, 1));
    colour.SetPixelFn(0, 0, 0x80FF0000);
    colour.SetPixelFn(1, 0, 0x0000FF00);
    const std::uint8_t* c32 = colour.RowTo32(colour.Row(0));
    EXPECT_EQ(std::tuple(c32[2], c32[3], c32[7]), std::tuple(0xF8, 0x80, 0x00));
    const std::uint8_t* grey = colour.RowTo8(colour.Row(0));
    EXPECT_EQ(std::tuple(grey[0], grey[1]), std::tuple((76 * 0xF8) >> 8, (152 * 0xF8) >> 8));

    // Rows already in the asked-for layout come back as themselves; the copying variant copies.
    CGraphicsImage full, bytes, rgb;
    ASSERT_TRUE(full.Create(32, 2, 2, 0x01020304));
    EXPECT_EQ(full.RowTo32(full.Row(1)), full.Row(1));
    std::uint8_t* copy = full.RowTo32Copy(full.Row(1));
    EXPECT_NE(copy, full.Row(1));
    EXPECT_EQ(std::memcmp(copy, full.Row(1), 8), 0);
    const std::uint8_t* c24 = full.RowTo24(full.Row(0));
    EXPECT_EQ(std::tuple(c24[3], c24[5]), std::tuple(0x04, 0x02));
    ASSERT_TRUE(bytes.Create(8, 2, 2));
    ASSERT_TRUE(rgb.Create(24, 2, 2));
    EXPECT_EQ(bytes.RowTo8(bytes.Row(0)), bytes.Row(0));
    EXPECT_EQ(rgb.RowTo24(rgb.Row(0)), rgb.Row(0));
}

TEST(ImageModel, AlphaKinds)
{
    const struct { const char* name; std::vector<std::uint8_t> alphas; int kind; bool hasAlpha; } cases[] = {
        {"all opaque", {255, 255, 255, 255}, 1, true}, {"one half", {255, 128, 255, 255}, 2, true},
        {"all zero", {0, 0, 0, 0}, 0, false}, {"all half", {128, 128, 128, 128}, 2, true},
        {"zero and opaque", {0, 255, 255, 255}, 2, true}, {"all one", {1, 1, 1, 1}, 2, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CGraphicsImage image;
        ASSERT_TRUE(image.Create(32, 2, 2));
        for (u32 i = 0; i < 4; ++i)
            image.SetPixelFn(i % 2, i / 2, u32(c.alphas[i]) << 24 | 0x123456);
        EXPECT_EQ(image.GetAlphaKind(), c.kind);
        EXPECT_EQ(image.HasAlpha(), c.hasAlpha);
    }
    // Below 12 bits the palette's alpha counts; true colour below 32 bits has none.
    CGraphicsImage indexed, rgb;
    ASSERT_TRUE(indexed.Create(1, 2, 2));
    EXPECT_EQ(indexed.GetAlphaKind(), 0);
    indexed.SetPaletteRGBA(0, 0, 0, 0, 255);
    EXPECT_EQ(indexed.GetAlphaKind(), 2);
    indexed.SetPaletteRGBA(1, 0, 0, 0, 255);
    EXPECT_EQ(indexed.GetAlphaKind(), 1);
    EXPECT_FALSE(indexed.HasAlpha());
    ASSERT_TRUE(rgb.Create(24, 2, 2, 0xFFFFFF));
    EXPECT_EQ(rgb.GetAlphaKind(), 0);
}

TEST(ImageModel, CopyFromSwapAndClear)
{
    CGraphicsImage src, copy, other, empty;
    ASSERT_TRUE(src.Create(8, 5, 3, 7));
    src.SetPaletteColor(7, 0xFF00FF00);
    src.SetPixelFn(4, 2, 9);
    src.SetTextAlignment(1, 0);
    copy.SetTextAlignment(2, 3);
    ASSERT_TRUE(copy.CopyFrom(src));
    EXPECT_EQ(std::tuple(copy.Bpp(), copy.GetPixelFn(4, 2), copy.GetPixelFn(0, 0), copy.PaletteColor(7)),
              std::tuple(8, 9u, 7u, 0xFF00FF00u));
    EXPECT_NE(copy.Data(), src.Data());
    EXPECT_EQ(copy.TextAlignH(), 2);  // the text state of the target stays

    ASSERT_TRUE(other.Create(32, 1, 1, 0x12345678));
    EXPECT_TRUE(copy.Swap(other));
    EXPECT_EQ(std::tuple(copy.Bpp(), copy.GetPixelFn(0, 0)), std::tuple(32, 0x12345678u));
    EXPECT_EQ(std::tuple(other.Bpp(), other.GetPixelFn(4, 2)), std::tuple(8, 9u));

    other.Clear();
    EXPECT_FALSE(other.HasPixels());
    EXPECT_EQ(other.Bpp(), 0);
    EXPECT_EQ(other.InfoHeader().biSize, 0u);
    EXPECT_EQ(other.GetPixelFn(0, 0), 0u);  // the inert table
    EXPECT_EQ(other.TextAlignH(), 2);       // the text state stays
    EXPECT_FALSE(copy.CopyFrom(empty));
}

TEST(ImageModel, ExternalPixelsAreUsedNotOwned)
{
    alignas(4) std::uint8_t memory[8 * 3] = {};
    {
        CGraphicsImage image;
        ASSERT_TRUE(image.Create(8, 5, 3, 0xAB, memory));
        EXPECT_TRUE(image.IsExternal());
        EXPECT_EQ(image.Data(), memory);
        EXPECT_EQ(memory[0], 0xAB);
        image.SetPixelFn(0, 0, 1);  // picture row 0 is the last row in memory
        EXPECT_EQ(memory[16], 1);
        // The converters' scratch holds a whole 32-bit row, wider than the 8-bit stride.
        const std::uint8_t* row = image.RowTo32(image.Row(0));
        EXPECT_EQ(row[4 * 4 + 2], image.Palette()[0xAB].rgbRed);
    }
    EXPECT_EQ(memory[16], 1);  // still there after the image is gone
    CGraphicsImage section;
    ASSERT_TRUE(section.Create(32, 2, 2, 0, CGraphicsImage::DibSectionPixels));
    EXPECT_FALSE(section.IsExternal());
}

}  // namespace
