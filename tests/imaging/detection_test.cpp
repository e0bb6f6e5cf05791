// Content detection (rules and their order), the writer extensions, and the entry points' results
// and error texts.

#include "imaging/DetectGraphicsType.h"
#include "imaging/GraphicsFile.h"
#include "imaging/GraphicsImage.h"
#include "support/DataStream.h"
#include "tests/imaging/TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <tuple>

namespace {

using imgtest::Bytes;
using Type = GraphicsFileType;

// The literal's bytes, zero bytes included.
template <std::size_t N>
Bytes B(const char (&text)[N])
{
    return Bytes(text, text + N - 1);
}

Bytes At(std::size_t offset, std::string_view text)
{
    Bytes bytes(offset, 0);
    bytes.insert(bytes.end(), text.begin(), text.end());
    return bytes;
}

// The edges of every rule and the order between them, on crafted headers. The plain signatures
// are proven by the codecs' fixtures, which load through the detection.
TEST(Detection, FindsType)
{
    const struct { const char* name; Bytes header; Type expected; } cases[] = {
        {"empty file", {}, Type::None},
        {"all zero", Bytes(64, 0), Type::None},
        {"bitmap info header with a width of 65536", {40, 0, 0, 0, 0, 0, 1, 0, 16, 0, 0, 0}, Type::None},
        {"bitmap info header with a height of 65536", {40, 0, 0, 0, 16, 0, 0, 0, 0, 0, 1, 0}, Type::None},
        {"cursor directory", {0, 0, 2, 0, 1, 0, 32, 32}, Type::Ico},
        {"icon directory with 32 entries", {0, 0, 1, 0, 32, 0}, Type::Ico},
        {"icon directory with 33 entries", {0, 0, 1, 0, 33, 0}, Type::None},
        {"icon directory without entries", {0, 0, 1, 0, 0, 0}, Type::None},
        {"resource type 3", {0, 0, 3, 0, 1, 0}, Type::None},
        {"gif 87a", B("GIF87a"), Type::Gif},
        {"gif 89a", B("GIF89a"), Type::Gif},
        {"gif of an unknown version", B("GIF88a"), Type::None},
        {"png cut after four bytes", B("\x89PNG"), Type::Png},
        {"jfif word anywhere", B("..........JFIF"), Type::Jpeg},
        {"bmp mentioning JFIF stays bmp", B("BM....JFIF"), Type::Bmp},
        {"bmp mentioning char stays bmp", B("BM\0\0static char *x[]"), Type::Bmp},
        {"gif mentioning XPM stays gif", B("GIF89aXPM"), Type::Gif},
        {"tiff mentioning XPM stays tiff", B("MM\0*XPM"), Type::Tiff},
        {"II without the tiff signature mentioning XPM", B("II+\0XPM"), Type::Xpm},
        {"tls mentioning char stays tls", B("TLSP char"), Type::Tls},
        {"dos eps mentioning JFIF stays eps", B("\xC5\xD0\xD3\xC6JFIF"), Type::Eps},
        {"text mentioning char", B("/* a char table */"), Type::Xpm},
        {"word in the last bytes", At(61, "XPM"), Type::Xpm},
        {"word cut by the 64-byte limit", At(62, "XPM"), Type::None},
        {"word beyond the 64 bytes", At(64, "JFIF"), Type::None},
        {"word across a zero byte is not found", B("ch\0ar"), Type::None},
        {"raw jpeg d8", {0xFF, 0xD8, 0xFF, 0xDB}, Type::Jpeg},
        {"raw jpeg db", {0xFF, 0xDB}, Type::Jpeg},
        {"ff d9 is nothing", {0xFF, 0xD9}, Type::None},
        {"jpeg start wins over char", B("\xFF\xD8 static char"), Type::Jpeg},
        {"pnm p7 is not pnm", B("P7\n"), Type::None},
        {"pnm mentioning char stays pnm", B("P3\n# char\n"), Type::Pnm},
        {"xwd version 6", {0, 0, 0, 100, 0, 0, 0, 6}, Type::Xwd},
        {"xwd version 8", {0, 0, 0, 100, 0, 0, 0, 8}, Type::None},
        {"xwd version with blanks", B("abcd   \x07"), Type::Xwd},
        {"xwd cut before its version", {0, 0, 0, 100, 0, 0, 0}, Type::None},
        {"tiff that looks like xwd", B("II*\0\0\0\0\x07"), Type::Tiff},
        {"II without the tiff signature that looks like xwd", B("II\0\0\0\0\0\x07"), Type::Xwd},
        {"icon that looks like xwd", {0, 0, 1, 0, 1, 0, 0, 7}, Type::Ico},
        {"bitmap info header that looks like xwd", {40, 0, 0, 0, 0, 0, 0, 7}, Type::Xwd},
    };
    for (const auto& c : cases)
        EXPECT_EQ(static_cast<int>(DetectGraphicsType(c.header)), static_cast<int>(c.expected)) << c.name;
}

TEST(WriterExtension, ChoosesByExtensionIgnoringCase)
{
    const struct { const char* fileName; Type expected; } cases[] = {
        {"a.png", Type::Png},         {"A.Png", Type::Png},   {"x.gif", Type::Gif},  {"x.BMP", Type::Bmp},
        {"x.jpg", Type::Jpeg},        {"x.jpeg", Type::Jpeg}, {"x.xwd", Type::Xwd},  {"x.xpm", Type::Xpm},
        {"x.pnm", Type::Pnm},         {"x.tiff", Type::Tiff}, {"x.TIF", Type::Tiff}, {"x.ps", Type::Eps},
        {"x.eps", Type::Eps},         {"x.prn", Type::Eps},   {"x.tlsp", Type::Tls}, {"x.tar", Type::None},
        {"x.ico", Type::None},        {"x.pngx", Type::None}, {"noext", Type::None}, {"a.b.gif", Type::Gif},
        {"dir.png/file", Type::None}, {".png", Type::Png},    {"png", Type::None},   {"x.", Type::None},
    };
    for (const auto& c : cases)
        EXPECT_EQ(static_cast<int>(WriterTypeForName(c.fileName)), static_cast<int>(c.expected)) << c.fileName;
    EXPECT_EQ(FileNameExtension("pic.tar.gz"), ".gz");
    EXPECT_EQ(FileNameExtension(".hidden"), ".hidden");
    EXPECT_EQ(FileNameExtension("plain"), "plain");
}

// Binary pictures whose bytes happen to spell the words of the text tests load as what they are.
TEST(Detection, SignatureOutranksWordsInTheData)
{
    for (const char* name : {"xpm_pixel.bmp", "xpm_pal.gif", "char_text.png"}) {
        const std::string file = imgtest::TestData(std::string("oddities/") + name);
        CGraphicsImage image;
        ASSERT_EQ(LoadGraphicsFile(file, image), kLoadOk) << name << ": " << LoadErrorText();
        EXPECT_EQ(imgtest::Mismatches(image, imgtest::MagickPixels(file, "rgba")), 0) << name;
    }
}

using EntryPointTest = imgtest::TempFolderTest;

TEST_F(EntryPointTest, LoadResultsAndTexts)
{
    CGraphicsImage image;
    std::string comment = "stale";
    EXPECT_EQ(LoadGraphicsFile(PathOf("nothing.png"), image, &comment), -3);
    EXPECT_EQ(LoadErrorText(), "Kann Datei nicht \xF6" "ffnen.");
    EXPECT_TRUE(comment.empty());

    imgtest::WriteFile(PathOf("text.png"), B("just some text\n"));
    EXPECT_EQ(LoadGraphicsFile(PathOf("text.png"), image), -2);
    EXPECT_EQ(LoadErrorText(), "Unbekanntes Datei Format.");

    // The content, not the name, chooses the reader.
    imgtest::WriteFile(PathOf("really-a-png.gif"), imgtest::ReadFile(imgtest::Suite("basn2c08")));
    ASSERT_EQ(LoadGraphicsFile(PathOf("really-a-png.gif"), image), 0) << LoadErrorText();
    EXPECT_EQ(image.Width(), 32u);
    EXPECT_EQ(image.Bpp(), 24);
    EXPECT_TRUE(LoadErrorText().empty());

    // Every detected type reaches a reader; a few header bytes are never a valid picture.
    const Bytes headers[] = {
        {40, 0, 0, 0, 2, 0, 0, 0, 2, 0, 0, 0}, B("\xFF\xD8\xFF\xE0"), B("GIF89a"), B("\x89PNG\r\n\x1a\n"), B("II*\0"),
        B("/* XPM */"), {0, 0, 0, 100, 0, 0, 0, 7}, B("P6\n"), B("%!PS"), B("TLSP"), {0, 0, 1, 0, 1, 0},
    };
    for (const Bytes& header : headers) {
        imgtest::WriteFile(PathOf("short"), header);
        const int result = LoadGraphicsFile(PathOf("short"), image);
        EXPECT_LT(result, 0);
        EXPECT_NE(result, -2);
        EXPECT_NE(result, -3);
        EXPECT_FALSE(LoadErrorText().empty());
    }
}

TEST_F(EntryPointTest, SaveChoosesWriterByExtension)
{
    CGraphicsImage image;
    ASSERT_TRUE(image.Create(24, 4, 3, 0x123456));
    EXPECT_EQ(SaveGraphicsFile(PathOf("archive.tar"), image), -2);
    EXPECT_EQ(SaveErrorText(), "Unbekanntes Datei Format.");
    EXPECT_EQ(SaveGraphicsFile(PathOf("no/such/folder.png"), image), -1);
    EXPECT_EQ(SaveErrorText(), "Fehler beim Erzeugen der Datei");
}

// A save that fails leaves the old file byte for byte and nothing beside it: a writer that refuses
// the picture, empty pictures, a full device behind a link.
TEST_F(EntryPointTest, FailedSaveKeepsTheOldFile)
{
    CGraphicsImage twoBit, empty;
    ASSERT_TRUE(twoBit.Create(2, 4, 3, 0));
    const std::tuple<const char*, const CGraphicsImage&, bool> cases[] = {
        {"out.bmp", twoBit, false}, {"out.JPG", empty, false}, {"out.png", empty, false}, {"full.png", twoBit, true}};
    const Bytes old = B("the old picture");
    for (const auto& [name, image, toDevFull] : cases) {
        if (toDevFull)
            std::filesystem::create_symlink("/dev/full", PathOf(name));
        else
            imgtest::WriteFile(PathOf(name), old);
        EXPECT_EQ(SaveGraphicsFile(PathOf(name), image), -1) << name;
        EXPECT_EQ(toDevFull ? old : imgtest::ReadFile(PathOf(name)), old) << name;
        const auto entries = std::filesystem::directory_iterator(folder_);
        EXPECT_EQ(std::distance(begin(entries), end(entries)), 1) << name << ": nothing beside it";
        std::filesystem::remove(PathOf(name));
    }
}

// Detection looks at the bytes ahead without consuming them, wherever the stream stands.
TEST(LoadGraphicsStream, ReadsFromCurrentPosition)
{
    Bytes bytes = B("prefix bytes");
    const Bytes png = imgtest::ReadFile(imgtest::Suite("basn3p08"));
    bytes.insert(bytes.end(), png.begin(), png.end());
    CDataStream stream;
    ASSERT_TRUE(stream.OpenMemory(bytes.data(), static_cast<std::int32_t>(bytes.size()), 0));
    ASSERT_EQ(stream.Seek(12, 0), 12);
    CGraphicsImage image;
    ASSERT_EQ(LoadGraphicsStream(stream, image), 0) << LoadErrorText();
    EXPECT_EQ(image.Bpp(), 8);
    EXPECT_EQ(image.Width(), 32u);
}

}  // namespace
