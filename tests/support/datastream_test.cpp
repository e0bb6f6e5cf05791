#include "support/DataStream.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <climits>
#include <cstring>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <tuple>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

Bytes ReadWholeFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void WriteWholeFile(const fs::path& path, const Bytes& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

Bytes ToBytes(std::string_view text)
{
    return Bytes(text.begin(), text.end());
}

Bytes ReadAll(CDataStream& stream)
{
    Bytes all;
    std::uint8_t chunk[1000];
    for (std::int32_t got; (got = stream.Read(chunk, sizeof chunk)) > 0;)
        all.insert(all.end(), chunk, chunk + got);
    return all;
}

Bytes AsBytes(std::span<const std::uint8_t> span)
{
    return Bytes(span.begin(), span.end());
}

// Text with many line ends, so that lines and their CR/LF pairs straddle buffer boundaries.
Bytes RandomText(std::mt19937& random, std::size_t size)
{
    Bytes bytes(size);
    std::uniform_int_distribution<int> pick(0, 99);
    for (auto& byte : bytes) {
        const int roll = pick(random);
        byte = roll < 8 ? '\r' : roll < 16 ? '\n' : static_cast<std::uint8_t>(pick(random) * 2 + 20);
    }
    return bytes;
}

class DataStreamTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string pattern = (fs::temp_directory_path() / "datastream-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        folder_ = pattern;
    }
    void TearDown() override
    {
        std::error_code ignored;
        fs::remove_all(folder_, ignored);
    }
    fs::path Path(const std::string& name) const { return folder_ / name; }
    std::string PathText(const std::string& name) const { return Path(name).string(); }

    fs::path folder_;
};

// ---- construction and resources -------------------------------------------------------------

TEST(DataStreamBasics, CapacityIsAtLeast512)
{
    const struct {
        int requested;
        std::int32_t capacity;
    } cases[] = {{100, 512}, {0, 512}, {-7, 512}, {512, 512}, {4097, 4097}, {INT_MAX, INT_MAX - 4}};
    for (const auto& c : cases) {
        CDataStream stream(c.requested);
        EXPECT_EQ(stream.Capacity(), c.capacity) << c.requested;
        EXPECT_FALSE(stream.IsOpen());
    }
}

TEST(DataStreamBasics, ResourcePathsOpenTheEmbeddedFiles)
{
    const Bytes bitmap = ReadWholeFile(fs::path(QUIZMORA_SOURCE_DIR) / "res/BITMAP/149.png");
    const Bytes logo = ReadWholeFile(fs::path(QUIZMORA_SOURCE_DIR) / "res/DATA/logo.txt");
    ASSERT_FALSE(bitmap.empty());
    ASSERT_FALSE(logo.empty());
    const struct {
        const char* path;
        const Bytes& expected;
    } cases[] = {
        {"res://BITMAP/149", bitmap}, {"RES:\\\\2\\149", bitmap}, {"RES://bitmap/149", bitmap},
        {"Res:/\\2/149", bitmap},     {"RES://logo", logo},       {"res:\\\\DATA\\LOGO", logo},
    };
    for (const auto& c : cases) {
        CDataStream stream;
        ASSERT_TRUE(stream.Open(c.path)) << c.path;
        EXPECT_EQ(stream.Size(), static_cast<std::int32_t>(c.expected.size())) << c.path;
        EXPECT_EQ(ReadAll(stream), c.expected) << c.path;
        EXPECT_EQ(stream.Write("x", 1), -1) << c.path;
        EXPECT_TRUE(stream.Close());
    }

    CDataStream stream;
    ASSERT_TRUE(stream.Open(std::wstring_view(L"RES://BITMAP/149")));
    EXPECT_EQ(ReadAll(stream), bitmap);
    ASSERT_TRUE(stream.OpenResource("149", "BITMAP"));
    EXPECT_EQ(ReadAll(stream), bitmap);
    ASSERT_TRUE(stream.OpenResource(std::wstring_view(L"logo"), std::wstring_view(L"")));
    EXPECT_EQ(ReadAll(stream), logo);
}

TEST(DataStreamBasics, UnknownResourcesFail)
{
    const std::string longType = "RES://" + std::string(63, 'T') + "/149";
    const std::string longestType = "RES://" + std::string(62, 'T') + "/149";
    for (const std::string& path : {std::string("RES://BITMAP/999"), std::string("RES://nosuch"), std::string("RES://"),
                                    std::string("RES://BITMAP/"), std::string("RES:///149"), longType, longestType}) {
        CDataStream stream;
        EXPECT_FALSE(stream.Open(path)) << path;
        EXPECT_FALSE(stream.IsOpen());
        EXPECT_EQ(stream.Read(nullptr, 0), -1);
    }
    CDataStream stream;
    EXPECT_FALSE(stream.Open("RES://logo", 2)) << "resources are read only";
    EXPECT_FALSE(stream.OpenResource(std::wstring_view(L"149"), std::wstring_view(L"BITMAP\xD800")));
}

// ---- files -----------------------------------------------------------------------------------

TEST_F(DataStreamTest, CreatesReadsAndReportsFileResults)
{
    CDataStream stream(512);
    ASSERT_TRUE(stream.Open(PathText("new.bin"), 2));
    EXPECT_TRUE(stream.IsWriting());
    EXPECT_EQ(stream.WriteDWord(0x04030201u), 4);
    EXPECT_EQ(stream.WriteWord(0x0605), 2);
    EXPECT_EQ(stream.WriteByte(7), 1);
    EXPECT_EQ(stream.Printf("<%d:%s>", 42, "x"), 6);
    EXPECT_EQ(stream.ReadWord(), -1) << "a stream opened for writing refuses 16-bit reads";
    EXPECT_EQ(stream.ReadByte(), -1);
    EXPECT_EQ(stream.ReadDWord(), -1);
    EXPECT_EQ(stream.Tell(), 13);
    EXPECT_EQ(stream.Size(), 13);
    EXPECT_TRUE(stream.Close());
    EXPECT_FALSE(stream.Close()) << "closing a closed stream";

    struct stat info {};
    ASSERT_EQ(::stat(PathText("new.bin").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);

    ASSERT_TRUE(stream.Open(PathText("new.bin")));
    EXPECT_FALSE(stream.IsWriting());
    EXPECT_EQ(stream.ReadDWord(), 0x04030201);
    EXPECT_EQ(stream.ReadWord(), 0x0605);
    EXPECT_EQ(stream.ReadByte(), 7);
    char text[16];
    EXPECT_EQ(stream.ReadLine(text, sizeof text), 6);
    EXPECT_STREQ(text, "<42:x>");
    EXPECT_FALSE(stream.EndReached());
    EXPECT_EQ(stream.ReadByte(), -1);
    EXPECT_TRUE(stream.EndReached());
    EXPECT_EQ(stream.Write("x", 1), -1);
    EXPECT_TRUE(stream.Close());
}

TEST_F(DataStreamTest, DWordOfAllOnesIsNotAFailure)
{
    WriteWholeFile(Path("ones.bin"), Bytes(4, 0xFF));
    CDataStream stream;
    ASSERT_TRUE(stream.Open(PathText("ones.bin")));
    EXPECT_EQ(stream.ReadDWord(), 0xFFFFFFFFll);
    EXPECT_EQ(stream.ReadDWord(), -1);
}

TEST_F(DataStreamTest, CreatingOverAReadOnlyFileMakesItWritable)
{
    WriteWholeFile(Path("locked.bin"), ToBytes("old contents"));
    ASSERT_EQ(::chmod(PathText("locked.bin").c_str(), 0400), 0);
    CDataStream stream;
    ASSERT_TRUE(stream.Open(PathText("locked.bin"), 2));
    EXPECT_EQ(stream.Write("new", 3), 3);
    EXPECT_TRUE(stream.Close());
    EXPECT_EQ(ReadWholeFile(Path("locked.bin")), ToBytes("new"));
    struct stat info {};
    ASSERT_EQ(::stat(PathText("locked.bin").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0600, 0600u);
}

TEST_F(DataStreamTest, ModeOneOverwritesOrAppends)
{
    const struct {
        const char* name;
        bool append;
        bool seekHome;  // the append flag ignores the position
        const char* expected;
    } cases[] = {
        {"overwrite", false, false, "XYcdef"},
        {"append", true, false, "abcdefXY"},
        {"append after seek", true, true, "abcdefXY"},
    };
    for (const auto& c : cases) {
        WriteWholeFile(Path(c.name), ToBytes("abcdef"));
        CDataStream stream(512);
        ASSERT_TRUE(stream.Open(PathText(c.name), 1, c.append)) << c.name;
        if (c.seekHome) {
            EXPECT_EQ(stream.Seek(0, 0), 0);
        }
        EXPECT_EQ(stream.Write("XY", 2), 2) << c.name;
        EXPECT_TRUE(stream.Close());
        EXPECT_EQ(ReadWholeFile(Path(c.name)), ToBytes(c.expected)) << c.name;
    }

    // Read, then append, then read the appended bytes back through the same stream.
    WriteWholeFile(Path("log"), ToBytes("one\n"));
    CDataStream stream(512);
    ASSERT_TRUE(stream.Open(PathText("log"), 1, true));
    std::uint8_t first[3];
    EXPECT_EQ(stream.Read(first, 3), 3);
    EXPECT_EQ(stream.Write("two\n", 4), 4);
    EXPECT_EQ(stream.Tell(), 8);
    EXPECT_EQ(stream.Seek(4, 0), 4);
    std::uint8_t second[8];
    EXPECT_EQ(stream.Read(second, 8), 4);
    EXPECT_EQ(Bytes(second, second + 4), ToBytes("two\n"));
    EXPECT_TRUE(stream.Close());
    EXPECT_EQ(ReadWholeFile(Path("log")), ToBytes("one\ntwo\n"));
}

TEST_F(DataStreamTest, WritesAnywhereInTheBufferReachTheFile)
{
    WriteWholeFile(Path("patch"), ToBytes("abcdefghij"));
    CDataStream stream(512);
    ASSERT_TRUE(stream.Open(PathText("patch"), 1));
    char first[4];
    EXPECT_EQ(stream.Read(first, 3), 3);
    EXPECT_EQ(stream.Seek(5, 0), 5);
    EXPECT_EQ(stream.Write("X", 1), 1);
    EXPECT_EQ(stream.Seek(2, 0), 2);
    EXPECT_EQ(stream.Write("Y", 1), 1);
    EXPECT_EQ(stream.Seek(9, 0), 9);
    EXPECT_EQ(stream.Write("Z!", 2), 2);
    EXPECT_EQ(stream.Size(), 11);
    EXPECT_TRUE(stream.Close());
    EXPECT_EQ(ReadWholeFile(Path("patch")), ToBytes("abYdeXghiZ!"));
}

TEST_F(DataStreamTest, ModeOneCreatesAMissingFileButKeepsAnUnwritableOne)
{
    CDataStream stream;
    ASSERT_TRUE(stream.Open(PathText("fresh"), 1, true));
    EXPECT_EQ(stream.Write("abc", 3), 3);
    EXPECT_TRUE(stream.Close());
    EXPECT_EQ(ReadWholeFile(Path("fresh")), ToBytes("abc"));

    fs::create_directory(Path("sub"));
    EXPECT_FALSE(stream.Open(PathText("sub"), 1)) << "a directory is not replaced by a file";
    EXPECT_TRUE(fs::is_directory(Path("sub")));
}

TEST_F(DataStreamTest, BadFileInputFails)
{
    fs::create_directory(Path("folder"));
    fs::permissions(Path("folder"), fs::perms::owner_all);
    CDataStream stream;
    EXPECT_FALSE(stream.Open(PathText("missing.bin")));
    for (int mode : {0, 1, 2})
        EXPECT_FALSE(stream.Open(PathText("folder"), mode)) << mode;
    EXPECT_EQ(fs::status(Path("folder")).permissions() & fs::perms::all, fs::perms::owner_all);
    EXPECT_FALSE(stream.Open(PathText("folder/missing/deeper.bin"), 2));
    EXPECT_FALSE(stream.Open(""));
    EXPECT_FALSE(stream.Open(std::string_view("new\0name", 8), 2));
    EXPECT_FALSE(fs::exists(Path("new")));
    EXPECT_FALSE(stream.Open(PathText("x"), 3));
    EXPECT_FALSE(stream.Open(PathText("x"), -1));
    EXPECT_FALSE(stream.Open(std::wstring_view(L"\xDC00")));
    EXPECT_EQ(stream.Read(nullptr, 0), -1);
    EXPECT_EQ(stream.Tell(), -1);
    EXPECT_EQ(stream.Size(), -1);
    EXPECT_EQ(stream.Seek(0, 0), -1);
    EXPECT_TRUE(stream.Peek(1).empty());

    // A truncated file: the values that need more bytes than there are fail.
    WriteWholeFile(Path("short.bin"), {1, 2, 3});
    ASSERT_TRUE(stream.Open(PathText("short.bin")));
    EXPECT_EQ(stream.ReadDWord(), -1);
    EXPECT_TRUE(stream.EndReached());
    EXPECT_EQ(stream.Seek(1, 0), 1);
    std::uint8_t buffer[100];
    EXPECT_EQ(stream.Read(buffer, 100), 2);
    EXPECT_EQ(stream.Read(buffer, -5), -1);
    EXPECT_EQ(stream.Read(nullptr, 5), -1);
}

TEST(DataStreamBasics, WriteFailuresAreReported)
{
    if (!fs::exists("/dev/full"))
        GTEST_SKIP() << "no /dev/full here";
    CDataStream stream(512);
    ASSERT_TRUE(stream.Open("/dev/full", 2));
    EXPECT_EQ(stream.Write("buffered", 8), 8);
    EXPECT_FALSE(stream.Close()) << "the flush at the close fails";

    ASSERT_TRUE(stream.Open("/dev/full", 2));
    const Bytes large(600, 'x');
    EXPECT_EQ(stream.Write(large.data(), 600), -1) << "a write larger than the buffer goes straight through";
    EXPECT_FALSE(stream.Close());
}

TEST_F(DataStreamTest, WidePathsAreUtf8)
{
    CDataStream stream;
    const std::wstring wide = Path("").wstring() + L"gr\u00FC\u00DFe-\U0001F600.txt";
    ASSERT_TRUE(stream.Open(std::wstring_view(wide), 2));
    EXPECT_EQ(stream.Write("hi", 2), 2);
    EXPECT_TRUE(stream.Close());
    EXPECT_EQ(ReadWholeFile(Path("gr\xC3\xBC\xC3\x9F" "e-\xF0\x9F\x98\x80.txt")), ToBytes("hi"));
}

TEST_F(DataStreamTest, SeeksKeepTheirBoundsAndIntegersDoNotOverflow)
{
    WriteWholeFile(Path("ten"), ToBytes("0123456789"));
    CDataStream stream;
    ASSERT_TRUE(stream.Open(PathText("ten")));
    EXPECT_EQ(stream.Seek(-3, 2), 7);
    EXPECT_EQ(stream.ReadByte(), '7');
    EXPECT_EQ(stream.Seek(-1, 0), -1);
    EXPECT_EQ(stream.Tell(), 8) << "a refused seek keeps the position";
    EXPECT_EQ(stream.Seek(INT_MAX, 1), -1);
    EXPECT_EQ(stream.Seek(INT_MIN, 2), -1);
    EXPECT_EQ(stream.Seek(0, 3), -1);
    EXPECT_EQ(stream.Seek(100, 0), 100) << "beyond the end, as the file system allows";
    EXPECT_EQ(stream.ReadByte(), -1);
    EXPECT_EQ(stream.Size(), 10);
    EXPECT_TRUE(stream.Peek(4, INT_MAX).empty());
    EXPECT_EQ(stream.Seek(2, 0), 2);
    EXPECT_EQ(AsBytes(stream.Peek(3, 1)), ToBytes("345"));
    EXPECT_TRUE(stream.Peek(3, -1).empty());

    // Writing behind the end leaves zeros in between.
    ASSERT_TRUE(stream.Open(PathText("gap"), 2));
    EXPECT_EQ(stream.Seek(5, 0), 5);
    EXPECT_EQ(stream.Write("x", 1), 1);
    EXPECT_EQ(stream.Write("y", INT_MIN), -1);
    EXPECT_TRUE(stream.Close());
    EXPECT_EQ(ReadWholeFile(Path("gap")), Bytes({0, 0, 0, 0, 0, 'x'}));
}

TEST_F(DataStreamTest, PeekCrossesBufferBoundariesAndKeepsGuardBytes)
{
    Bytes bytes(2000);
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<std::uint8_t>(i * 7 + 1) | 1;
    WriteWholeFile(Path("peek"), bytes);
    CDataStream stream(512);
    ASSERT_TRUE(stream.Open(PathText("peek")));
    std::uint8_t skipped[500];
    ASSERT_EQ(stream.Read(skipped, 500), 500);
    auto view = stream.Peek(100);
    EXPECT_EQ(AsBytes(view), Bytes(bytes.begin() + 500, bytes.begin() + 600));
    EXPECT_EQ(stream.Tell(), 500) << "peeking does not consume";
    view = stream.Peek(600, 10);
    EXPECT_EQ(view.size(), 512u) << "no more than the buffer";
    EXPECT_EQ(AsBytes(view), Bytes(bytes.begin() + 510, bytes.begin() + 1022));
    EXPECT_EQ(stream.ReadByte(), bytes[510]);

    view = stream.Peek(512, 1789 - 511);
    ASSERT_EQ(view.size(), 211u);
    EXPECT_EQ(AsBytes(view), Bytes(bytes.begin() + 1789, bytes.end()));
    EXPECT_EQ(Bytes(view.data() + view.size(), view.data() + view.size() + 4), Bytes(4, 0));
}

TEST_F(DataStreamTest, LargeAndSmallWritesMixInTheFile)
{
    std::mt19937 random(7);
    const Bytes bytes = RandomText(random, 20000);
    CDataStream stream(512);
    ASSERT_TRUE(stream.Open(PathText("mixed"), 2));
    std::size_t at = 0;
    for (std::int32_t n : {1, 511, 2, 513, 1500, 3, 4096, 7, 600}) {
        ASSERT_EQ(stream.Write(bytes.data() + at, n), n);
        at += static_cast<std::size_t>(n);
    }
    EXPECT_TRUE(stream.Close());
    EXPECT_EQ(ReadWholeFile(Path("mixed")), Bytes(bytes.begin(), bytes.begin() + static_cast<long>(at)));
}

// ---- memory ----------------------------------------------------------------------------------

TEST(DataStreamMemory, GrowableBlockGrowsByHalfAgain)
{
    CDataStream stream;
    ASSERT_TRUE(stream.OpenMemory(nullptr, 0, 2));
    const Bytes bytes(40000, 0xAB);
    EXPECT_EQ(stream.Write(bytes.data(), 40000), 40000);
    EXPECT_GE(stream.MemoryBlockSize(), 60000);
    EXPECT_TRUE(stream.Close());
    const auto data = stream.MemoryData();
    EXPECT_EQ(AsBytes(data), bytes) << "the block outlives the close";
    EXPECT_EQ(Bytes(data.data() + data.size(), data.data() + data.size() + 4), Bytes(4, 0));

    ASSERT_TRUE(stream.OpenMemory(nullptr, 0, 2));
    EXPECT_EQ(stream.WriteByte(1), 1);
    EXPECT_EQ(stream.MemoryBlockSize(), 32768);
    EXPECT_EQ(stream.Seek(50000, 0), 50000);
    EXPECT_EQ(stream.WriteByte(2), 1);
    EXPECT_EQ(stream.MemoryBlockSize(), 75001);
    EXPECT_EQ(stream.Size(), 50001);
    EXPECT_EQ(stream.MemoryData()[49999], 0);
    EXPECT_EQ(stream.Write(bytes.data(), INT_MAX), -1);
    EXPECT_EQ(stream.Write(bytes.data(), -1), -1);
}

TEST(DataStreamMemory, FixedBlockRefusesWritesBeyondItsEnd)
{
    Bytes block = ToBytes("0123456789");
    CDataStream stream;
    ASSERT_TRUE(stream.OpenMemory(block.data(), 10, 3));
    EXPECT_EQ(stream.Seek(8, 0), 8);
    EXPECT_EQ(stream.Write("abc", 3), -1);
    EXPECT_EQ(block, ToBytes("0123456789"));
    EXPECT_EQ(stream.Write("ab", 2), 2);
    EXPECT_EQ(block, ToBytes("01234567ab"));
    EXPECT_EQ(stream.Seek(0, 0), 0);
    std::uint8_t back[10];
    EXPECT_EQ(stream.Read(back, 10), 10) << "mode 3 reads and writes";
    EXPECT_EQ(stream.ReadWord(), -1);

    // Found by fuzzing: behind the end of a fixed block an empty write still succeeds.
    EXPECT_EQ(stream.Seek(20, 0), 20);
    EXPECT_EQ(stream.Write("", 0), 0);
    EXPECT_EQ(stream.Write("a", 1), -1);
    EXPECT_EQ(stream.Size(), 10);
    EXPECT_TRUE(stream.Close());
}

TEST(DataStreamMemory, AppendWithoutABlockIgnoresTheSize)
{
    // Found by fuzzing: an empty caller's vector hands over no block at all.
    for (std::int32_t size : {-1, 0, 77, INT_MIN}) {
        CDataStream stream;
        ASSERT_TRUE(stream.OpenMemory(nullptr, size, 1)) << size;
        EXPECT_EQ(stream.Tell(), 0);
        EXPECT_EQ(stream.Size(), 0);
        EXPECT_EQ(stream.Write("ab", 2), 2);
        EXPECT_EQ(AsBytes(stream.MemoryData()), ToBytes("ab"));
    }
}

TEST(DataStreamMemory, AppendCopiesTheCallersBlockWhenItMustGrow)
{
    Bytes block = ToBytes("head");
    CDataStream stream;
    ASSERT_TRUE(stream.OpenMemory(block.data(), 4, 1));
    EXPECT_EQ(stream.Tell(), 4);
    EXPECT_EQ(stream.Write("+tail", 5), 5);
    EXPECT_EQ(block, ToBytes("head")) << "the caller's block is neither changed nor freed";
    EXPECT_EQ(AsBytes(stream.MemoryData()), ToBytes("head+tail"));
    EXPECT_EQ(stream.MemoryBlockSize(), 32768);
    EXPECT_TRUE(stream.Close());
    EXPECT_EQ(AsBytes(stream.MemoryData()), ToBytes("head+tail"));

    ASSERT_TRUE(stream.OpenMemory(nullptr, 123, 1));
    EXPECT_EQ(stream.Size(), 0);
    EXPECT_EQ(stream.Printf("%s-%04d", std::string(600, 'z').c_str(), 7), 605);
    EXPECT_EQ(AsBytes(stream.MemoryData()), ToBytes(std::string(600, 'z') + "-0007"));
    EXPECT_FALSE(stream.OpenMemory(nullptr, 5, 0));
    EXPECT_TRUE(stream.MemoryData().empty()) << "a new open releases the old block";
    EXPECT_FALSE(stream.OpenMemory(block.data(), -1, 0));
    EXPECT_FALSE(stream.OpenMemory(block.data(), 4, 4));
}

TEST(DataStreamMemory, SeekInMemory)
{
    Bytes block = ToBytes("0123456789");
    CDataStream stream;
    ASSERT_TRUE(stream.OpenMemory(block.data(), 10, 0));
    EXPECT_EQ(stream.Write("x", 1), -1);
    EXPECT_EQ(stream.Seek(-2, 2), 8);
    EXPECT_EQ(stream.ReadByte(), '8');
    EXPECT_EQ(stream.Seek(-20, 1), -1);
    EXPECT_EQ(stream.Tell(), 9);
    EXPECT_EQ(stream.Seek(5, 2), 15);
    std::uint8_t byte = 0;
    EXPECT_EQ(stream.Read(&byte, 1), 0);
    EXPECT_TRUE(stream.EndReached());
    EXPECT_EQ(stream.Seek(1, 0), 1);
    EXPECT_FALSE(stream.EndReached());
    EXPECT_EQ(AsBytes(stream.Peek(3, 2)), ToBytes("345"));
    EXPECT_EQ(stream.Seek(INT_MAX, 1), -1);
}

struct HookLog {
    static inline std::vector<std::tuple<CDataStream*, void*, int, std::size_t>> calls;
    static inline int answer = 1;
    static int Hook(CDataStream* stream, void* self, int closing)
    {
        calls.emplace_back(stream, self, closing, stream->MemoryData().size());
        return answer;
    }
};

TEST(DataStreamMemory, CloseHookIsCalledAtOpenAndClose)
{
    HookLog::calls.clear();
    HookLog::answer = 1;
    {
        CDataStream stream;
        ASSERT_TRUE(stream.OpenMemory(nullptr, 0, 2, &HookLog::Hook));
        ASSERT_EQ(HookLog::calls.size(), 1u);
        EXPECT_EQ(HookLog::calls[0], std::make_tuple(&stream, reinterpret_cast<void*>(&HookLog::Hook), 0, 0u));
        EXPECT_EQ(stream.Write("abc", 3), 3);
        EXPECT_TRUE(stream.Close());
        ASSERT_EQ(HookLog::calls.size(), 2u);
        EXPECT_EQ(HookLog::calls[1], std::make_tuple(&stream, nullptr, 1, 3u)) << "the hook sees the data";
        EXPECT_FALSE(stream.Close());

        ASSERT_TRUE(stream.OpenMemory(nullptr, 0, 2, &HookLog::Hook));
    }
    EXPECT_EQ(HookLog::calls.size(), 4u) << "the destructor closes";

    HookLog::calls.clear();
    HookLog::answer = 0;
    CDataStream stream;
    EXPECT_FALSE(stream.OpenMemory(nullptr, 0, 2, &HookLog::Hook));
    EXPECT_FALSE(stream.IsOpen());
    EXPECT_FALSE(stream.Close());
    EXPECT_EQ(HookLog::calls.size(), 1u) << "a refusing hook is not called again";
}

// ---- lines -----------------------------------------------------------------------------------

struct LineCase {
    const char* name;
    std::string text;
    std::int32_t size;
    std::vector<std::string> lines;  // then -1
};

std::vector<std::string> ReadLines(CDataStream& stream, std::int32_t size)
{
    std::vector<std::string> lines;
    std::vector<char> buffer(static_cast<std::size_t>(size), 'x');
    for (int guard = 0; guard < 100; ++guard) {
        const std::int32_t length = stream.ReadLine(buffer.data(), size);
        if (length < 0) {
            EXPECT_EQ(buffer[0], '\0');
            break;
        }
        EXPECT_EQ(static_cast<std::size_t>(length), std::strlen(buffer.data()));
        lines.emplace_back(buffer.data());
    }
    return lines;
}

TEST_F(DataStreamTest, ReadLineEndsAtCrLfAndTheEnd)
{
    const LineCase cases[] = {
        {"CR", "a\rb", 80, {"a", "b"}},
        {"LF", "a\nb\n", 80, {"a", "b"}},
        {"CRLF", "a\r\nb\r\n", 80, {"a", "b"}},
        {"LFCR", "a\n\rb", 80, {"a", "", "b"}},
        {"CRCR", "a\r\rb", 80, {"a", "", "b"}},
        {"empty lines", "\n\n", 80, {"", ""}},
        {"nothing", "", 80, {}},
        {"cut", "abcdef\nxy", 4, {"abc", "xy"}},
        {"size one", "abc\nd", 1, {"", ""}},
    };
    for (const LineCase& c : cases) {
        Bytes block(c.text.begin(), c.text.end());
        CDataStream memory;
        ASSERT_TRUE(memory.OpenMemory(block.data(), static_cast<std::int32_t>(block.size()), 0));
        EXPECT_EQ(ReadLines(memory, c.size), c.lines) << c.name;

        WriteWholeFile(Path("lines"), block);
        CDataStream file(512);
        ASSERT_TRUE(file.Open(PathText("lines")));
        EXPECT_EQ(ReadLines(file, c.size), c.lines) << c.name;
    }
    CDataStream stream;
    char buffer[4] = "abc";
    EXPECT_EQ(stream.ReadLine(buffer, 4), -1);
    EXPECT_EQ(stream.ReadLine(buffer, 0), -1);
    EXPECT_EQ(stream.ReadLine(nullptr, 4), -1);
}

// ---- the randomized comparison with a plain model --------------------------------------------

struct Model {
    const Bytes& data;
    std::int64_t position = 0;

    std::int64_t Available() const { return std::max<std::int64_t>(0, static_cast<std::int64_t>(data.size()) - position); }

    std::int32_t ReadLine(std::int32_t size, std::string& line)
    {
        line.clear();
        if (Available() == 0)
            return -1;
        auto at = static_cast<std::size_t>(position);
        while (at < data.size() && data[at] != '\r' && data[at] != '\n')
            ++at;
        line.assign(data.begin() + position, data.begin() + static_cast<long>(at));
        line.resize(std::min<std::size_t>(line.size(), static_cast<std::size_t>(size - 1)));
        if (at < data.size() && data[at] == '\r')
            ++at;
        if (at < data.size() && data[at] == '\n')
            ++at;
        position = static_cast<std::int64_t>(at);
        return static_cast<std::int32_t>(line.size());
    }
};

void CompareWithModel(CDataStream& stream, const Bytes& data, bool isFile, std::uint32_t seed, int steps)
{
    std::mt19937 random(seed);
    Model model{data};
    const auto size = static_cast<std::int64_t>(data.size());
    auto pick = [&](int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); };
    auto requestSize = [&] {
        switch (pick(0, 3)) {
        case 0: return pick(1, 9);
        case 1: return pick(500, 530);
        case 2: return pick(1000, 1100);
        default: return pick(1, 3000) | 1;
        }
    };
    std::vector<std::uint8_t> buffer(4000);
    for (int step = 0; step < steps; ++step) {
        SCOPED_TRACE(::testing::Message() << "seed " << seed << " step " << step << " at " << model.position);
        switch (pick(0, 5)) {
        case 0: {
            const std::int32_t n = requestSize();
            const auto expected = static_cast<std::int32_t>(std::min<std::int64_t>(n, model.Available()));
            ASSERT_EQ(stream.Read(buffer.data(), n), expected);
            ASSERT_TRUE(std::equal(buffer.begin(), buffer.begin() + expected, data.begin() + model.position));
            model.position += expected;
            ASSERT_EQ(stream.EndReached(), expected < n);
            break;
        }
        case 1: {
            const int value = stream.ReadByte();
            ASSERT_EQ(value, model.Available() > 0 ? data[static_cast<std::size_t>(model.position)] : -1);
            model.position += value >= 0 ? 1 : 0;
            break;
        }
        case 2: {
            const std::int32_t n = requestSize();
            const std::int32_t skip = pick(0, 2) == 0 ? pick(0, 1200) : 0;
            const auto view = stream.Peek(n, skip);
            if (model.position + skip > INT_MAX) {
                ASSERT_TRUE(view.empty());
                break;
            }
            model.position += skip;
            const std::int64_t limit = isFile ? std::min(n, 512) : n;
            ASSERT_EQ(static_cast<std::int64_t>(view.size()), std::min(limit, model.Available()));
            ASSERT_TRUE(std::equal(view.begin(), view.end(), data.begin() + model.position));
            break;
        }
        case 3: {
            const std::int32_t bufferSize = std::array{1, 2, 5, 17, 100, 1000}[static_cast<std::size_t>(pick(0, 5))];
            std::string expected;
            const std::int32_t length = model.ReadLine(bufferSize, expected);
            ASSERT_EQ(stream.ReadLine(reinterpret_cast<char*>(buffer.data()), bufferSize), length);
            ASSERT_EQ(std::string(reinterpret_cast<const char*>(buffer.data())), expected);
            break;
        }
        case 4: {
            const int origin = pick(0, 2);
            const std::int64_t base = origin == 0 ? 0 : origin == 1 ? model.position : size;
            std::int64_t offset = pick(-static_cast<int>(size) - 100, static_cast<int>(size) + 100);
            if (origin == 1 && pick(0, 1) == 0)
                offset = pick(-600, 600);  // inside the buffer more often than not
            if (pick(0, 20) == 0)
                offset = pick(0, 1) ? INT_MAX : INT_MIN;
            const std::int64_t target = base + offset;
            const bool valid = target >= 0 && target <= INT_MAX;
            ASSERT_EQ(stream.Seek(static_cast<std::int32_t>(offset), origin), valid ? target : -1);
            if (valid)
                model.position = target;
            break;
        }
        default:
            ASSERT_EQ(stream.Size(), size);
            break;
        }
        ASSERT_EQ(stream.Tell(), model.position);
    }
}

TEST_F(DataStreamTest, RandomReadsMatchAPlainModel)
{
    for (std::uint32_t seed = 1; seed <= 4; ++seed) {
        std::mt19937 random(seed);
        const Bytes data = RandomText(random, 9000 + seed * 333);
        WriteWholeFile(Path("random"), data);
        CDataStream file(512);
        ASSERT_TRUE(file.Open(PathText("random")));
        CompareWithModel(file, data, true, seed, 3000);

        Bytes block = data;
        CDataStream memory(512);
        ASSERT_TRUE(memory.OpenMemory(block.data(), static_cast<std::int32_t>(block.size()), 0));
        CompareWithModel(memory, data, false, seed, 3000);
    }
}

TEST_F(DataStreamTest, RandomReadWriteOnAnExistingFileMatchesAPlainModel)
{
    for (std::uint32_t seed = 11; seed <= 14; ++seed) {
        std::mt19937 random(seed);
        Bytes model = RandomText(random, 3000);
        WriteWholeFile(Path("rw"), model);
        CDataStream stream(512);
        ASSERT_TRUE(stream.Open(PathText("rw"), 1));
        std::int64_t position = 0;
        auto pick = [&](int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); };
        std::vector<std::uint8_t> buffer(2000);
        for (int step = 0; step < 2000; ++step) {
            SCOPED_TRACE(::testing::Message() << "seed " << seed << " step " << step);
            const std::int32_t n = pick(0, 3) == 0 ? pick(500, 1500) : pick(1, 40);
            const auto size = static_cast<std::int64_t>(model.size());
            switch (pick(0, 2)) {
            case 0: {
                const auto expected = static_cast<std::int32_t>(std::clamp<std::int64_t>(size - position, 0, n));
                ASSERT_EQ(stream.Read(buffer.data(), n), expected);
                ASSERT_TRUE(std::equal(buffer.begin(), buffer.begin() + expected, model.begin() + position));
                position += expected;
                break;
            }
            case 1: {
                for (std::int32_t i = 0; i < n; ++i)
                    buffer[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(pick(0, 255));
                ASSERT_EQ(stream.Write(buffer.data(), n), n);
                if (position + n > size)
                    model.resize(static_cast<std::size_t>(position + n), 0);
                std::copy_n(buffer.begin(), n, model.begin() + position);
                position += n;
                break;
            }
            default: {
                // Near seeks land inside the buffer, far ones drop it.
                const std::int64_t near = std::max<std::int64_t>(0, position + pick(-600, 600));
                const auto target = static_cast<std::int32_t>(pick(0, 1) ? near : pick(0, static_cast<int>(size) + 50));
                ASSERT_EQ(stream.Seek(target, 0), target);
                position = target;
                break;
            }
            }
            ASSERT_EQ(stream.Tell(), position);
            ASSERT_EQ(stream.Size(), static_cast<std::int64_t>(model.size()));
        }
        EXPECT_TRUE(stream.Close());
        EXPECT_EQ(ReadWholeFile(Path("rw")), model);
    }
}

}  // namespace
