#include "support/DataStream.h"

#include "support/AtomicFile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <climits>
#include <cstring>
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
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

Bytes ToBytes(std::string_view text) { return Bytes(text.begin(), text.end()); }
Bytes AsBytes(std::span<const std::uint8_t> span) { return Bytes(span.begin(), span.end()); }
// The four guard bytes behind a span.
Bytes After(std::span<const std::uint8_t> span) { return AsBytes({span.data() + span.size(), 4}); }

Bytes ReadAll(CDataStream& stream)
{
    Bytes all;
    std::uint8_t chunk[1000];
    for (std::int32_t got; (got = stream.Read(chunk, sizeof chunk)) > 0;)
        all.insert(all.end(), chunk, chunk + got);
    return all;
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

TEST(DataStreamBasics, ResourcePathsOpenTheEmbeddedFiles)
{
    const Bytes bitmap = ReadWholeFile(fs::path(QUIZMORA_SOURCE_DIR) / "res/BITMAP/149.png");
    const Bytes logo = ReadWholeFile(fs::path(QUIZMORA_SOURCE_DIR) / "res/DATA/logo.txt");
    ASSERT_FALSE(bitmap.empty());
    ASSERT_FALSE(logo.empty());
    const std::pair<const char*, const Bytes&> cases[] = {
        {"res://BITMAP/149", bitmap}, {"RES:\\\\2\\149", bitmap}, {"RES://bitmap/149", bitmap},
        {"Res:/\\2/149", bitmap},     {"RES://logo", logo},       {"res:\\\\DATA\\LOGO", logo},
    };
    for (const auto& [path, expected] : cases) {
        CDataStream stream;
        ASSERT_TRUE(stream.Open(path)) << path;
        EXPECT_EQ(stream.Size(), static_cast<std::int32_t>(expected.size())) << path;
        EXPECT_EQ(ReadAll(stream), expected) << path;
        EXPECT_EQ(stream.Write("x", 1), -1) << path;
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
            WriteWholeFile(Path(c.name), ToBytes(c.before));
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
    std::uint8_t bytes[8];
    EXPECT_EQ(stream.Read(bytes, 3), 3);
    EXPECT_EQ(stream.Write("two\n", 4), 4);
    EXPECT_EQ(stream.Tell(), 8);
    EXPECT_EQ(stream.Seek(4, 0), 4);
    EXPECT_EQ(stream.Read(bytes, 8), 4);
    EXPECT_EQ(Bytes(bytes, bytes + 4), ToBytes("two\n"));
    EXPECT_TRUE(stream.Close());
    EXPECT_EQ(ReadWholeFile(Path("log")), ToBytes("one\ntwo\n"));
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
    WriteWholeFile(Path("short.bin"), {1, 2, 3});
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
    EXPECT_EQ(ReadWholeFile(Path("gr\xC3\xBC\xC3\x9F" "e-\xF0\x9F\x98\x80.txt")), ToBytes("hi"));
}

// Stale bytes of an earlier fill behind a shorter one are zeroed.
TEST_F(DataStreamTest, FilePeekKeepsGuardBytes)
{
    Bytes bytes(2000);
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<std::uint8_t>(i * 7 + 1) | 1;
    WriteWholeFile(Path("peek"), bytes);
    CDataStream stream(512);
    ASSERT_TRUE(stream.Open(PathText("peek")));
    ASSERT_EQ(stream.Peek(512).size(), 512u);
    const auto view = stream.Peek(512, 1789);
    ASSERT_EQ(view.size(), 211u);
    EXPECT_EQ(AsBytes(view), Bytes(bytes.begin() + 1789, bytes.end()));
    EXPECT_EQ(After(view), Bytes(4, 0));
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

// ---- randomized comparison with a plain model ------------------------------------------------

// Reads, byte reads, peeks, lines, seeks and (when writing) writes in random order, with request
// sizes around the 512-byte buffer. A stream opened for writing refuses byte reads, peeks and
// lines; a file's peek is capped at its buffer.
void CompareWithModel(CDataStream& stream, Bytes& data, bool isFile, bool writing, std::uint32_t seed, int steps)
{
    std::mt19937 random(seed);
    std::int64_t position = 0;
    auto available = [&] { return std::max<std::int64_t>(0, static_cast<std::int64_t>(data.size()) - position); };
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
    auto* text = reinterpret_cast<char*>(buffer.data());
    for (int step = 0; step < steps; ++step) {
        SCOPED_TRACE(::testing::Message() << "seed " << seed << " step " << step << " at " << position);
        const auto size = static_cast<std::int64_t>(data.size());
        switch (pick(0, 5)) {
        case 0: {
            const std::int32_t n = requestSize();
            const auto expected = static_cast<std::int32_t>(std::min<std::int64_t>(n, available()));
            ASSERT_EQ(stream.Read(buffer.data(), n), expected);
            ASSERT_TRUE(std::equal(buffer.begin(), buffer.begin() + expected, data.begin() + position));
            position += expected;
            ASSERT_EQ(stream.EndReached(), expected < n);
            break;
        }
        case 1: {
            const int value = stream.ReadByte();
            ASSERT_EQ(value, !writing && available() > 0 ? data[static_cast<std::size_t>(position)] : -1);
            position += value >= 0 ? 1 : 0;
            break;
        }
        case 2: {
            const std::int32_t n = requestSize();
            const std::int32_t skip = pick(0, 2) == 0 ? pick(0, 1200) : 0;
            const auto view = stream.Peek(n, skip);
            if (writing || position + skip > INT_MAX) {
                ASSERT_TRUE(view.empty());
                break;
            }
            position += skip;
            const std::int64_t limit = isFile ? std::min(n, 512) : n;
            ASSERT_EQ(static_cast<std::int64_t>(view.size()), std::min(limit, available()));
            ASSERT_TRUE(std::equal(view.begin(), view.end(), data.begin() + position));
            break;
        }
        case 3: {
            // A line ends at CR or LF; one CR and then one LF after it are skipped.
            const std::int32_t bufferSize = std::array{1, 2, 5, 17, 100, 1000}[static_cast<std::size_t>(pick(0, 5))];
            std::string expected;
            std::int32_t length = -1;
            if (!writing && available() > 0) {
                auto at = static_cast<std::size_t>(position);
                while (at < data.size() && data[at] != '\r' && data[at] != '\n')
                    ++at;
                expected.assign(data.begin() + position, data.begin() + static_cast<long>(at));
                expected.resize(std::min<std::size_t>(expected.size(), static_cast<std::size_t>(bufferSize - 1)));
                at += at < data.size() && data[at] == '\r';
                at += at < data.size() && data[at] == '\n';
                position = static_cast<std::int64_t>(at);
                length = static_cast<std::int32_t>(expected.size());
            }
            ASSERT_EQ(stream.ReadLine(text, bufferSize), length);
            ASSERT_EQ(std::string(text), expected);
            break;
        }
        case 4: {
            const int origin = pick(0, 2);
            const std::int64_t base = origin == 0 ? 0 : origin == 1 ? position : size;
            std::int64_t offset = pick(-static_cast<int>(size) - 100, static_cast<int>(size) + 100);
            if (origin == 1 && pick(0, 1) == 0)
                offset = pick(-600, 600);  // inside the buffer more often than not
            if (pick(0, 20) == 0)
                offset = pick(0, 1) ? INT_MAX : INT_MIN;
            if (writing)
                offset = std::min(offset, size + 50 - base);  // gaps written behind the end stay small
            const std::int64_t target = base + offset;
            const bool valid = target >= 0 && target <= INT_MAX;
            ASSERT_EQ(stream.Seek(static_cast<std::int32_t>(offset), origin), valid ? target : -1);
            if (valid)
                position = target;
            break;
        }
        default: {
            const std::int32_t n = pick(0, 3) == 0 ? pick(500, 1500) : pick(1, 40);  // mostly into the buffer
            for (std::int32_t i = 0; i < n; ++i)
                buffer[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(pick(0, 255));
            ASSERT_EQ(stream.Write(buffer.data(), n), writing ? n : -1);
            if (!writing)
                break;
            if (position + n > size)
                data.resize(static_cast<std::size_t>(position + n), 0);  // a gap behind the end is zeros
            std::copy_n(buffer.begin(), n, data.begin() + position);
            position += n;
            break;
        }
        }
        ASSERT_EQ(stream.Tell(), position);
        ASSERT_EQ(stream.Size(), static_cast<std::int64_t>(data.size()));
    }
}

TEST_F(DataStreamTest, RandomReadsMatchAPlainModel)
{
    for (std::uint32_t seed = 1; seed <= 4; ++seed) {
        std::mt19937 random(seed);
        Bytes data = RandomText(random, 9000 + seed * 333);
        WriteWholeFile(Path("random"), data);
        CDataStream file(512);
        ASSERT_TRUE(file.Open(PathText("random")));
        CompareWithModel(file, data, true, false, seed, 3000);

        Bytes block = data;
        CDataStream memory(512);
        ASSERT_TRUE(memory.OpenMemory(block.data(), static_cast<std::int32_t>(block.size()), 0));
        CompareWithModel(memory, data, false, false, seed, 3000);
    }
}

TEST_F(DataStreamTest, RandomReadWriteOnAnExistingFileMatchesAPlainModel)
{
    for (std::uint32_t seed = 11; seed <= 14; ++seed) {
        std::mt19937 random(seed);
        Bytes data = RandomText(random, 3000);
        WriteWholeFile(Path("rw"), data);
        CDataStream stream(512);
        ASSERT_TRUE(stream.Open(PathText("rw"), 1));
        CompareWithModel(stream, data, true, true, seed, 3000);
        EXPECT_TRUE(stream.Close());
        EXPECT_EQ(ReadWholeFile(Path("rw")), data);
    }
}

}  // namespace
