#include "support/DataStream.h"

#include "support/AtomicFile.h"
#include "tests/store/TemporaryPuzzleSet.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <climits>
#include <filesystem>
#include <string>
#include <tuple>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

Bytes ToBytes(std::string_view text) { return Bytes(text.begin(), text.end()); }
Bytes AsBytes(std::span<const std::uint8_t> span) { return Bytes(span.begin(), span.end()); }
// The four guard bytes behind a span.
Bytes After(std::span<const std::uint8_t> span) { return AsBytes({span.data() + span.size(), 4}); }

Bytes ReadStream(CDataStream& stream)
{
    Bytes all;
    std::uint8_t chunk[1000];
    for (std::int32_t got; (got = stream.Read(chunk, sizeof chunk)) > 0;)
        all.insert(all.end(), chunk, chunk + got);
    return all;
}

class DataStreamTest : public ::testing::Test {
protected:
    fs::path Path(const std::string& name) const { return folder_.Root() / name; }
    std::string PathText(const std::string& name) const { return Path(name).string(); }

    CTemporaryPuzzleSet folder_;
};

TEST(DataStreamBasics, CapacityIsAtLeast512)
{
    const std::pair<int, std::int32_t> cases[] = {{100, 512}, {0, 512},       {-7, 512},
                                                  {512, 512}, {4097, 4097}, {INT_MAX, INT_MAX - 4}};
    for (const auto& [requested, capacity] : cases) {
        CDataStream stream(requested);
        EXPECT_EQ(stream.Capacity(), capacity) << requested;
        EXPECT_FALSE(stream.IsOpen());
    }
}

TEST(DataStreamBasics, ResourcePathsOpenTheEmbeddedFiles)
{
    const Bytes bitmap = ToBytes(ReadAll(fs::path(QUIZMORA_SOURCE_DIR) / "res/BITMAP/149.png"));
    const Bytes logo = ToBytes(ReadAll(fs::path(QUIZMORA_SOURCE_DIR) / "res/DATA/logo.txt"));
    ASSERT_FALSE(bitmap.empty());
    ASSERT_FALSE(logo.empty());
    const std::pair<const char*, const Bytes&> cases[] = {
        {"res://BITMAP/149", bitmap}, {"RES:\\\\2\\149", bitmap}, {"RES://bitmap/149", bitmap},
        {"Res:/\\2/149", bitmap},     {"RES://logo", logo},       {"res:\\\\DATA\\LOGO", logo},
        {"RES://BITMAP/0149", bitmap},  // a name of digits is a number
    };
    for (const auto& [path, expected] : cases) {
        CDataStream stream;
        ASSERT_TRUE(stream.Open(path)) << path;
        EXPECT_EQ(stream.Size(), static_cast<std::int32_t>(expected.size())) << path;
        EXPECT_EQ(ReadStream(stream), expected) << path;
        EXPECT_EQ(stream.Write("x", 1), -1) << path;
        EXPECT_TRUE(stream.Close());
    }
    CDataStream stream;
    ASSERT_TRUE(stream.Open(std::wstring_view(L"RES://BITMAP/149")));
    EXPECT_EQ(ReadStream(stream), bitmap);
    ASSERT_TRUE(stream.OpenResource("149", "BITMAP"));
    EXPECT_EQ(ReadStream(stream), bitmap);
    ASSERT_TRUE(stream.OpenResource(std::wstring_view(L"logo"), std::wstring_view(L"")));
    EXPECT_EQ(ReadStream(stream), logo);
}

TEST(DataStreamBasics, UnknownResourcesFail)
{
    const std::string longType = "RES://" + std::string(63, 'T') + "/149";
    const std::string longestType = "RES://" + std::string(62, 'T') + "/149";
    for (const std::string& path : {std::string("RES://BITMAP/999"), std::string("RES://nosuch"), std::string("RES://"),
                                    std::string("RES://BITMAP/"), std::string("RES:///149"), std::string("RES://ICON/149"),
                                    longType, longestType}) {
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
    EXPECT_EQ(stream.Printf("<%d:%s>\n", 42, "x"), 7);
    EXPECT_EQ(stream.WriteDWord(0xFFFFFFFFu), 4);
    EXPECT_EQ(stream.Write("y", INT_MIN), -1);
    EXPECT_EQ(stream.ReadWord(), -1) << "a stream opened for writing refuses 16-bit reads";
    EXPECT_EQ(stream.ReadByte(), -1);
    EXPECT_EQ(stream.ReadDWord(), -1);
    EXPECT_EQ(stream.Tell(), 18);
    EXPECT_EQ(stream.Size(), 18);
    EXPECT_TRUE(stream.Close());
    EXPECT_FALSE(stream.Close()) << "closing a closed stream";

    ASSERT_TRUE(stream.Open(PathText("new.bin")));
    EXPECT_FALSE(stream.IsWriting());
    EXPECT_EQ(stream.ReadDWord(), 0x04030201);
    EXPECT_EQ(stream.ReadWord(), 0x0605);
    EXPECT_EQ(stream.ReadByte(), 7);
    char text[16];
    EXPECT_EQ(stream.ReadLine(text, sizeof text), 6);
    EXPECT_STREQ(text, "<42:x>");
    EXPECT_EQ(stream.ReadDWord(), 0xFFFFFFFFll) << "all ones is not the failure";
    EXPECT_FALSE(stream.EndReached());
    EXPECT_EQ(stream.ReadByte(), -1);
    EXPECT_TRUE(stream.EndReached());
    EXPECT_EQ(stream.Write("x", 1), -1);
    EXPECT_TRUE(stream.Close());
}

// New files of the stream and of the atomic writer get 0666 less the umask.
TEST_F(DataStreamTest, NewFilesFollowTheUmask)
{
    const std::pair<mode_t, fs::perms> cases[] = {{022, fs::perms(0644)}, {077, fs::perms(0600)}};
    for (const auto& [mask, mode] : cases) {
        const std::string stream = std::to_string(mask) + ".stream", atomic = std::to_string(mask) + ".atomic";
        const mode_t saved = ::umask(mask);
        EXPECT_TRUE(CDataStream().Open(PathText(stream), 2));  // the destructor closes it
        EXPECT_TRUE(WriteFileAtomically(Path(atomic), "new"));
        ::umask(saved);
        EXPECT_EQ(fs::status(Path(stream)).permissions(), mode);
        EXPECT_EQ(fs::status(Path(atomic)).permissions(), mode);
    }
}

// The temporary file beside the target must fit where the target's name takes all 255 bytes.
TEST_F(DataStreamTest, AtomicWriteTakesNamesOfFullLength)
{
    for (const std::string& name : {std::string(255, 'n'), "x." + std::string(253, 'e')}) {
        EXPECT_TRUE(WriteFileAtomically(Path(name), "new")) << name.size();
        EXPECT_EQ(ReadAll(Path(name)), "new");
    }
}

TEST_F(DataStreamTest, CreatingOverAReadOnlyFileMakesItWritable)
{
    folder_.WriteFile("locked.bin", "old contents");
    ASSERT_EQ(::chmod(PathText("locked.bin").c_str(), 0400), 0);
    CDataStream stream;
    ASSERT_TRUE(stream.Open(PathText("locked.bin"), 2));
    EXPECT_EQ(stream.Write("new", 3), 3);
    EXPECT_TRUE(stream.Close());
    EXPECT_EQ(ReadAll(Path("locked.bin")), "new");
    struct stat info {};
    ASSERT_EQ(::stat(PathText("locked.bin").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0600, 0600u);
}

TEST_F(DataStreamTest, ModeOneOverwritesAppendsOrCreates)
{
    const struct {
        const char* name;
        const char* before;  // null: no file
        bool append;
        bool seekHome;  // the append flag ignores the position
        const char* expected;
    } cases[] = {
        {"overwrite", "abcdef", false, false, "XYcdef"},
        {"append", "abcdef", true, false, "abcdefXY"},
        {"append after seek", "abcdef", true, true, "abcdefXY"},
        {"missing", nullptr, true, false, "XY"},
    };
    for (const auto& c : cases) {
        if (c.before)
            folder_.WriteFile(c.name, c.before);
        CDataStream stream(512);
        ASSERT_TRUE(stream.Open(PathText(c.name), 1, c.append)) << c.name;
        if (c.seekHome) {
            EXPECT_EQ(stream.Seek(0, 0), 0);
        }
        EXPECT_EQ(stream.Write("XY", 2), 2) << c.name;
        EXPECT_TRUE(stream.Close());
        EXPECT_EQ(ReadAll(Path(c.name)), c.expected) << c.name;
    }

    // Read, then append, then read the appended bytes back through the same stream.
    folder_.WriteFile("log", "one\n");
    CDataStream stream(512);
    ASSERT_TRUE(stream.Open(PathText("log"), 1, true));
    std::uint8_t bytes[8];
    EXPECT_EQ(stream.Read(bytes, 3), 3);
    EXPECT_EQ(stream.Write("two\n", 4), 4);
    EXPECT_EQ(stream.Tell(), 8);
    EXPECT_EQ(stream.Seek(4, 0), 4);
    EXPECT_EQ(stream.Read(bytes, 8), 4);
    EXPECT_EQ(Bytes(bytes, bytes + 4), ToBytes("two\n"));
    EXPECT_TRUE(stream.Close());
    EXPECT_EQ(ReadAll(Path("log")), "one\ntwo\n");
}

TEST_F(DataStreamTest, BadFileInputFails)
{
    fs::create_directory(Path("folder"));
    fs::permissions(Path("folder"), fs::perms::owner_all);
    CDataStream stream;
    EXPECT_FALSE(stream.Open(PathText("missing.bin")));
    for (int mode : {0, 1, 2})
        EXPECT_FALSE(stream.Open(PathText("folder"), mode)) << mode;
    EXPECT_TRUE(fs::is_directory(Path("folder")));
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
    char line[4] = "abc";
    EXPECT_EQ(stream.ReadLine(line, 4), -1);
    EXPECT_EQ(stream.ReadLine(line, 0), -1);
    EXPECT_EQ(stream.ReadLine(nullptr, 4), -1);

    // A truncated file: the values that need more bytes than there are fail.
    folder_.WriteFile("short.bin", "\1\2\3");
    ASSERT_TRUE(stream.Open(PathText("short.bin")));
    EXPECT_EQ(stream.ReadDWord(), -1);
    EXPECT_TRUE(stream.EndReached());
    EXPECT_EQ(stream.Seek(1, 0), 1);
    EXPECT_EQ(stream.Seek(0, 3), -1);
    EXPECT_TRUE(stream.Peek(1, -1).empty());
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
    ASSERT_TRUE(stream.Open(std::wstring_view(Path("").wstring() + L"gr\u00FC\u00DFe-\U0001F600.txt"), 2));
    EXPECT_EQ(stream.Write("hi", 2), 2);
    EXPECT_TRUE(stream.Close());
    EXPECT_EQ(ReadAll(Path("gr\xC3\xBC\xC3\x9F" "e-\xF0\x9F\x98\x80.txt")), "hi");
}

// Stale bytes of an earlier fill behind a shorter one are zeroed.
TEST_F(DataStreamTest, FilePeekKeepsGuardBytes)
{
    std::string bytes(2000, '\0');
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<char>(i * 7 + 1) | 1;
    folder_.WriteFile("peek", bytes);
    CDataStream stream(512);
    ASSERT_TRUE(stream.Open(PathText("peek")));
    ASSERT_EQ(stream.Peek(512).size(), 512u);
    const auto view = stream.Peek(512, 1789);
    ASSERT_EQ(view.size(), 211u);
    EXPECT_EQ(AsBytes(view), Bytes(bytes.begin() + 1789, bytes.end()));
    EXPECT_EQ(After(view), Bytes(4, 0));
}

// Lines, bytes, peeks and seeks across the 512-byte buffer's end, reads that go past the buffer,
// and writes that overflow it or go straight to the file.
TEST_F(DataStreamTest, BufferedFileAccessAcrossTheBufferEnd)
{
    std::string text;
    for (int i = 0; i < 200; ++i)
        text += "line" + std::to_string(1000 + i) + "\r\n";
    text.resize(text.size() - 2);  // the last line has no line end
    folder_.WriteFile("lines", text);
    CDataStream stream(512);
    ASSERT_TRUE(stream.Open(PathText("lines")));
    char line[9];
    for (int i = 0; i < 60; ++i) {
        ASSERT_EQ(stream.ReadLine(line, sizeof line), 8) << i;
        EXPECT_EQ(std::string(line), "line" + std::to_string(1000 + i));
    }
    EXPECT_EQ(stream.ReadLine(line, 3), 2) << "the rest of a long line is skipped";
    EXPECT_EQ(stream.Tell(), 610);
    EXPECT_EQ(AsBytes(stream.Peek(500)), ToBytes(text.substr(610, 500)));
    EXPECT_EQ(stream.Seek(-6, 1), 604);
    EXPECT_EQ(stream.ReadByte(), text[604]);
    EXPECT_EQ(stream.Seek(-5000, 1), -1);
    Bytes big(1500);
    EXPECT_EQ(stream.Read(big.data(), 1500), 1393) << "runs short at the end";
    EXPECT_EQ(Bytes(big.begin(), big.begin() + 1393), ToBytes(text.substr(605)));
    EXPECT_EQ(stream.Seek(0, 0), 0);
    big.resize(2500);
    EXPECT_EQ(stream.Read(big.data(), 2500), 1998);
    EXPECT_TRUE(stream.EndReached());
    EXPECT_EQ(stream.Read(big.data(), 1000), 0);
    EXPECT_EQ(stream.Seek(-8, 2), 1990);
    EXPECT_EQ(stream.ReadLine(line, sizeof line), 8);
    EXPECT_EQ(stream.ReadLine(line, sizeof line), -1);
    EXPECT_TRUE(stream.Peek(1).empty());
    EXPECT_TRUE(stream.Peek(1, INT_MAX).empty());
    EXPECT_TRUE(stream.Close());

    CDataStream writer(512);
    ASSERT_TRUE(writer.Open(PathText("lines"), 1));
    std::uint8_t head[3];
    EXPECT_EQ(writer.Read(head, 3), 3);
    const Bytes xs(600, 'x');
    EXPECT_EQ(writer.Write(xs.data(), 510), 510);
    EXPECT_EQ(writer.Write(xs.data(), 600), 600);
    EXPECT_EQ(writer.Seek(0, 2), 1998);
    EXPECT_TRUE(writer.Close());
    EXPECT_EQ(ReadAll(Path("lines")), text.replace(3, 1110, 1110, 'x'));
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
    EXPECT_EQ(AsBytes(stream.MemoryData()), bytes) << "the block outlives the close";
    EXPECT_EQ(After(stream.MemoryData()), Bytes(4, 0));

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

}  // namespace
