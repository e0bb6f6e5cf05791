// Runs the input as a sequence of operations on memory streams and checks every result against a
// plain model of the stream: a byte vector and a position.

#include "support/DataStream.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

// Writes never make a growable block larger than this, so that the run stays small.
constexpr std::int64_t kLargestWrittenBlock = 1 << 20;

class Input {
public:
    Input(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    bool Done() const { return at_ >= size_; }
    std::uint8_t Byte() { return at_ < size_ ? data_[at_++] : 0; }
    std::uint16_t Word() { return static_cast<std::uint16_t>(Byte() | (Byte() << 8)); }
    std::int32_t Int()
    {
        std::uint32_t value = Word();
        value |= static_cast<std::uint32_t>(Word()) << 16;
        return static_cast<std::int32_t>(value);
    }
    // Mostly small sizes, sometimes negative or wild ones.
    std::int32_t Count()
    {
        switch (Byte() % 8) {
        case 0: return Int();
        case 1: return -static_cast<std::int32_t>(Byte());
        case 2: return Word();
        default: return Byte();
        }
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t at_ = 0;
};

void Check(bool condition, const char* what)
{
    if (!condition) {
        std::fprintf(stderr, "datastream model mismatch: %s\n", what);
        __builtin_trap();
    }
}

int hookAnswer = 1;
int hookCalls = 0;

int Hook(CDataStream* stream, void*, int closing)
{
    ++hookCalls;
    if (closing)
        Check(stream->IsOpen(), "the close hook sees the open stream");
    return hookAnswer;
}

struct Model {
    bool open = false;
    int mode = 0;
    bool fixed = false;
    std::int64_t capacity = 0;  // of a fixed block
    std::vector<std::uint8_t> data;
    std::int64_t position = 0;

    bool Writing() const { return mode != 0; }
    std::int64_t Available() const { return std::max<std::int64_t>(0, static_cast<std::int64_t>(data.size()) - position); }
};

class Session {
public:
    explicit Session(Input& input) : in_(input) {}

    void Run()
    {
        while (!in_.Done()) {
            Step(in_.Byte() % 14);
            CheckPosition();
        }
        Close();
    }

private:
    void CheckPosition()
    {
        if (!model_.open) {
            Check(stream_.Tell() == -1 && stream_.Size() == -1, "a closed stream has no position");
            return;
        }
        Check(stream_.Tell() >= 0, "Tell is never negative");
        Check(stream_.Tell() == model_.position, "Tell");
        Check(stream_.Size() == static_cast<std::int32_t>(model_.data.size()), "Size");
        Check(stream_.IsWriting() == model_.Writing(), "IsWriting");
    }

    void Step(int op)
    {
        switch (op) {
        case 0: OpenMemory(); break;
        case 1: Read(); break;
        case 2: ReadValue(1); break;
        case 3: ReadValue(2); break;
        case 4: ReadValue(4); break;
        case 5: ReadLine(); break;
        case 6: Peek(); break;
        case 7: Write(); break;
        case 8: Printf(); break;
        case 9: Seek(); break;
        case 10: WriteValue(); break;
        case 11: Close(); break;
        case 12: hookAnswer = in_.Byte() % 4 != 0; break;
        default: Write(); break;
        }
    }

    void OpenMemory()
    {
        const int mode = in_.Byte() % 5;
        const std::int32_t size = in_.Byte() % 8 == 0 ? in_.Count() : in_.Word() % 4096;
        // A wild size comes without a block: the stream must refuse what it cannot check.
        const bool withBlock = in_.Byte() % 4 != 0 && size <= (1 << 16);
        const bool withHook = in_.Byte() % 2 != 0;
        std::vector<std::uint8_t> block(withBlock ? static_cast<std::size_t>(std::max(size, 0)) : 0);
        for (auto& byte : block)
            byte = in_.Byte();
        std::uint8_t* pointer = withBlock ? block.data() : nullptr;  // an empty vector may have none
        const bool hasBlock = pointer != nullptr;
        const bool sizeOk = size >= 0 || mode == 2 || (mode == 1 && !hasBlock);
        const bool blockOk = hasBlock || size <= 0 || mode == 1 || mode == 2;
        const bool argumentsOk = mode <= 3 && sizeOk && blockOk;
        const int expectedCalls = hookCalls + (model_.open && hookInstalled_ ? 1 : 0) + (argumentsOk && withHook ? 1 : 0);
        const bool opened = stream_.OpenMemory(pointer, size, mode, withHook ? &Hook : nullptr);
        Check(hookCalls == expectedCalls, "the hook calls of an open");
        Check(opened == (argumentsOk && (!withHook || hookAnswer != 0)), "OpenMemory result");
        Check(stream_.IsOpen() == opened, "IsOpen after OpenMemory");
        hookInstalled_ = opened && withHook;
        model_ = Model{};
        if (!opened)
            return;
        model_.open = true;
        model_.mode = mode;
        model_.fixed = mode == 3;
        if (hasBlock && mode != 2) {
            model_.data = block;
            model_.capacity = size;
            if (mode == 1)
                model_.position = size;
        }
        block_ = std::move(block);  // the stream reads the vector's heap block, which moves along
    }

    void Close()
    {
        const bool wasOpen = model_.open;
        const int callsBefore = hookCalls;
        const bool hooked = hookInstalled_;
        hookInstalled_ = false;
        Check(stream_.Close() == wasOpen, "Close result");
        Check(hookCalls == callsBefore + (wasOpen && hooked ? 1 : 0), "the hook is called once at the close");
        if (wasOpen) {
            const auto kept = stream_.MemoryData();
            Check(kept.size() == model_.data.size() && std::equal(kept.begin(), kept.end(), model_.data.begin()),
                  "the block after the close");
        }
        model_.open = false;
    }

    // The n bytes at the model's position; nothing to compare for n = 0, wherever the position is.
    bool MatchesModel(const std::uint8_t* bytes, std::int64_t n) const
    {
        if (n <= 0)
            return true;
        if (model_.position + n > static_cast<std::int64_t>(model_.data.size()))
            return false;
        return std::memcmp(bytes, model_.data.data() + model_.position, static_cast<std::size_t>(n)) == 0;
    }

    void Read()
    {
        const std::int32_t n = in_.Count();
        std::vector<std::uint8_t> buffer(static_cast<std::size_t>(std::clamp(n, 0, 1 << 16)));
        const std::int32_t asked = std::min<std::int32_t>(n, static_cast<std::int32_t>(buffer.size()));
        const std::int32_t got = stream_.Read(buffer.data(), asked);
        if (!model_.open || asked < 0) {
            Check(got == -1, "Read fails");
            return;
        }
        const auto expected = static_cast<std::int32_t>(std::min<std::int64_t>(asked, model_.Available()));
        Check(got == expected, "Read count");
        Check(MatchesModel(buffer.data(), got), "Read bytes");
        model_.position += got;
    }

    void ReadValue(int width)
    {
        const std::int64_t got =
            width == 1 ? stream_.ReadByte() : width == 2 ? stream_.ReadWord() : stream_.ReadDWord();
        if (!model_.open || model_.Writing() || model_.Available() < width) {
            Check(got == -1, "a value read fails");
            if (model_.open && !model_.Writing())
                model_.position += model_.Available();
            return;
        }
        std::int64_t expected = 0;
        for (int i = width - 1; i >= 0; --i)
            expected = (expected << 8) | model_.data[static_cast<std::size_t>(model_.position + i)];
        Check(got == expected, "a value read");
        model_.position += width;
    }

    void ReadLine()
    {
        const std::int32_t size = in_.Byte() % 18 - 1;
        char buffer[32];
        std::memset(buffer, 'x', sizeof buffer);
        const std::int32_t got = stream_.ReadLine(buffer, size);
        if (!model_.open || model_.Writing() || size < 1 || model_.Available() == 0) {
            Check(got == -1, "ReadLine fails");
            return;
        }
        auto at = static_cast<std::size_t>(model_.position);
        const std::size_t begin = at;
        while (at < model_.data.size() && model_.data[at] != '\r' && model_.data[at] != '\n')
            ++at;
        const auto length = static_cast<std::int32_t>(std::min<std::size_t>(at - begin, static_cast<std::size_t>(size - 1)));
        Check(got == length, "ReadLine length");
        Check(buffer[length] == '\0' && std::memcmp(buffer, model_.data.data() + begin, static_cast<std::size_t>(length)) == 0,
              "ReadLine text");
        if (at < model_.data.size() && model_.data[at] == '\r')
            ++at;
        if (at < model_.data.size() && model_.data[at] == '\n')
            ++at;
        model_.position = static_cast<std::int64_t>(at);
    }

    void Peek()
    {
        const std::int32_t n = in_.Count();
        const std::int32_t skip = in_.Byte() % 4 == 0 ? in_.Count() : 0;
        const auto view = stream_.Peek(n, skip);
        if (!model_.open || model_.Writing() || skip < 0 || model_.position + skip > INT_MAX) {
            Check(view.empty(), "Peek refuses");
            return;
        }
        model_.position += skip;
        const std::int64_t expected = n <= 0 ? 0 : std::min<std::int64_t>(n, model_.Available());
        Check(static_cast<std::int64_t>(view.size()) == expected, "Peek size");
        Check(MatchesModel(view.data(), static_cast<std::int64_t>(view.size())), "Peek bytes");
    }

    // The model's side of every write: true when the stream must take the bytes.
    bool ApplyWrite(const std::uint8_t* bytes, std::int32_t n)
    {
        if (!model_.open || !model_.Writing() || n < 0)
            return false;
        if (n == 0)
            return true;
        const std::int64_t end = model_.position + n;
        if (end > INT_MAX - 4 || (model_.fixed && end > model_.capacity))
            return false;
        if (end > static_cast<std::int64_t>(model_.data.size()))
            model_.data.resize(static_cast<std::size_t>(end), 0);
        std::copy_n(bytes, n, model_.data.begin() + model_.position);
        model_.position = end;
        return true;
    }

    bool WouldGrowTooMuch(std::int64_t n) const
    {
        return model_.open && !model_.fixed && n >= 0 && model_.position + n > kLargestWrittenBlock &&
               model_.position + n <= INT_MAX - 4;
    }

    void Write()
    {
        const std::int32_t n = in_.Count();
        std::vector<std::uint8_t> bytes(static_cast<std::size_t>(std::clamp(n, 0, 1 << 16)));
        const std::int32_t asked = std::min<std::int32_t>(n, static_cast<std::int32_t>(bytes.size()));
        if (WouldGrowTooMuch(asked))
            return;
        for (auto& byte : bytes)
            byte = in_.Byte();
        const std::int32_t taken = stream_.Write(bytes.data(), asked);
        Check(taken == (ApplyWrite(bytes.data(), asked) ? asked : -1), "Write result");
    }

    void WriteValue()
    {
        const int width = 1 << (in_.Byte() % 3);
        const auto value = static_cast<std::uint32_t>(in_.Int());
        if (WouldGrowTooMuch(width))
            return;
        const std::uint8_t bytes[4] = {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
                                       static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)};
        const std::int32_t taken = width == 1   ? stream_.WriteByte(bytes[0])
                                   : width == 2 ? stream_.WriteWord(static_cast<std::uint16_t>(value))
                                                : stream_.WriteDWord(value);
        Check(taken == (ApplyWrite(bytes, width) ? width : -1), "a value write");
    }

    void Printf()
    {
        const std::int32_t number = in_.Int();
        std::string word(in_.Byte() % 40, 'w');
        for (auto& c : word)
            c = static_cast<char>('a' + in_.Byte() % 26);
        const int width = in_.Byte() % 700;
        char expected[1000];
        const int length = std::snprintf(expected, sizeof expected, "%*d|%s\r\n", width, number, word.c_str());
        if (WouldGrowTooMuch(length))
            return;
        const std::int32_t taken = stream_.Printf("%*d|%s\r\n", width, number, word.c_str());
        Check(taken == (ApplyWrite(reinterpret_cast<const std::uint8_t*>(expected), length) ? length : -1), "Printf");
    }

    void Seek()
    {
        const int origin = in_.Byte() % 4;
        const std::int32_t offset = in_.Byte() % 2 ? in_.Int() : static_cast<std::int16_t>(in_.Word());
        const std::int32_t got = stream_.Seek(offset, origin);
        const std::int64_t base = origin == 0 ? 0 : origin == 1 ? model_.position : static_cast<std::int64_t>(model_.data.size());
        const std::int64_t target = base + offset;
        if (!model_.open || origin > 2 || target < 0 || target > INT_MAX) {
            Check(got == -1, "Seek refuses");
            return;
        }
        Check(got == target, "Seek target");
        model_.position = target;
    }

    Input& in_;
    CDataStream stream_{512};
    Model model_;
    std::vector<std::uint8_t> block_;
    bool hookInstalled_ = false;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Input input(data, size);
    hookAnswer = 1;
    Session session(input);
    session.Run();
    return 0;
}
