#include "support/DataStream.h"

#include "support/Resources.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <limits>
#include <new>
#include <string>
#include <utility>

namespace {

constexpr std::int32_t kMinimumCapacity = 512;
// Zero bytes kept behind the valid data so that text parsers may look one word past the end.
constexpr std::int32_t kGuardBytes = 4;
constexpr std::int32_t kLargestBlock = std::numeric_limits<std::int32_t>::max() - kGuardBytes;
constexpr std::int64_t kLargestPosition = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kSmallestGrownBlock = 32768;
// A stream that is written and read back rarely needs more than a header's worth at a time.
constexpr std::int32_t kWriteModeRefill = 512;
constexpr std::size_t kLongestResourceType = 62;
constexpr std::size_t kLongestWideResourceType = 126;
constexpr std::string_view kDefaultResourceType = "DATA";
// A new file gets what the umask leaves of read and write for everybody.
constexpr mode_t kNewFileMode = S_IRUSR | S_IWUSR | S_IRGRP | S_IWGRP | S_IROTH | S_IWOTH;

// The four low-level operations of a file source over a POSIX descriptor.
class PosixFile {
public:
    PosixFile() = default;
    explicit PosixFile(int descriptor) : descriptor_(descriptor) {}
    ~PosixFile() { Close(); }
    PosixFile(PosixFile&& other) noexcept : descriptor_(std::exchange(other.descriptor_, -1)) {}
    PosixFile& operator=(PosixFile&& other) noexcept
    {
        if (this != &other) {
            Close();
            descriptor_ = std::exchange(other.descriptor_, -1);
        }
        return *this;
    }
    PosixFile(const PosixFile&) = delete;
    PosixFile& operator=(const PosixFile&) = delete;

    bool IsOpen() const { return descriptor_ >= 0; }

    bool IsDirectory() const
    {
        struct stat info {};
        return ::fstat(descriptor_, &info) == 0 && S_ISDIR(info.st_mode);
    }

    // Reads until n bytes arrived or the file ended: the bytes read, or -1.
    std::int64_t Read(std::uint8_t* buffer, std::int64_t n) const
    {
        std::int64_t done = 0;
        while (done < n) {
            const ssize_t got = ::read(descriptor_, buffer + done, static_cast<std::size_t>(n - done));
            if (got < 0) {
                if (errno == EINTR)
                    continue;
                return -1;
            }
            if (got == 0)
                break;
            done += got;
        }
        return done;
    }

    bool Write(const std::uint8_t* bytes, std::int64_t n) const
    {
        std::int64_t done = 0;
        while (done < n) {
            const ssize_t put = ::write(descriptor_, bytes + done, static_cast<std::size_t>(n - done));
            if (put < 0) {
                if (errno == EINTR)
                    continue;
                return false;
            }
            if (put == 0)
                return false;
            done += put;
        }
        return true;
    }

    bool SeekTo(std::int64_t offset) const { return ::lseek(descriptor_, offset, SEEK_SET) == offset; }

    std::int64_t Size() const
    {
        struct stat info {};
        return ::fstat(descriptor_, &info) == 0 ? static_cast<std::int64_t>(info.st_size) : -1;
    }

    bool Close()
    {
        if (descriptor_ < 0)
            return true;
        return ::close(std::exchange(descriptor_, -1)) == 0;
    }

private:
    int descriptor_ = -1;
};

PosixFile CreateFile(const std::string& path)
{
    const int flags = O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC;
    const int descriptor = ::open(path.c_str(), flags, kNewFileMode);
    if (descriptor >= 0) {
        // Whoever may replace a read-only file gets the same writable file as everybody else.
        struct stat info {};
        if (::fstat(descriptor, &info) == 0 && S_ISREG(info.st_mode) && (info.st_mode & S_IWUSR) == 0)
            ::fchmod(descriptor, (info.st_mode & 07777) | S_IWUSR);
        return PosixFile(descriptor);
    }
    // A read-only file of that name is made writable for its owner and replaced, keeping the rest
    // of its mode; anything but a plain file keeps its permissions.
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode) ||
        ::chmod(path.c_str(), (info.st_mode & 07777) | S_IRUSR | S_IWUSR) != 0)
        return {};
    return PosixFile(::open(path.c_str(), flags, kNewFileMode));
}

PosixFile OpenFileForMode(const std::string& path, int mode, bool append)
{
    if (mode == 0)
        return PosixFile(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (mode == 1) {
        const int descriptor = ::open(path.c_str(), O_RDWR | O_CLOEXEC | (append ? O_APPEND : 0));
        if (descriptor >= 0)
            return PosixFile(descriptor);
        // Only a missing file is created: an existing one that cannot be opened for writing keeps
        // its contents.
        if (errno != ENOENT)
            return {};
    }
    return CreateFile(path);
}

bool IsPathSeparator(char c)
{
    return c == '/' || c == '\\';
}

bool IsResourcePath(std::string_view path)
{
    const auto lower = [](char c) { return static_cast<char>(c | 0x20); };
    return path.size() >= 6 && lower(path[0]) == 'r' && lower(path[1]) == 'e' && lower(path[2]) == 's' &&
           path[3] == ':' && IsPathSeparator(path[4]) && IsPathSeparator(path[5]);
}

bool IsResourcePath(std::wstring_view path)
{
    if (path.size() < 6)
        return false;
    std::string prefix;
    for (wchar_t c : path.substr(0, 6)) {
        if (c < 0 || c > 0x7F)
            return false;
        prefix.push_back(static_cast<char>(c));
    }
    return IsResourcePath(prefix);
}

// "type/name" or "name" behind the resource prefix; the type ends at the first separator.
template <typename Char>
std::pair<std::basic_string_view<Char>, std::basic_string_view<Char>> SplitResourcePath(
    std::basic_string_view<Char> rest)
{
    for (std::size_t i = 0; i < rest.size(); ++i) {
        if (rest[i] == Char('/') || rest[i] == Char('\\'))
            return {rest.substr(0, i), rest.substr(i + 1)};
    }
    return {{}, rest};
}

bool ToUtf8(std::wstring_view text, std::string& out)
{
    out.clear();
    for (wchar_t wide : text) {
        const auto c = static_cast<std::uint32_t>(wide);
        if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
            return false;
        if (c < 0x80) {
            out.push_back(static_cast<char>(c));
        } else if (c < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (c >> 6)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else if (c < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (c >> 12)));
            out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (c >> 18)));
            out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        }
    }
    return true;
}

// A zeroed block of size bytes plus the guard bytes, or null when there is no memory for it.
std::unique_ptr<std::uint8_t[]> AllocateBlock(std::int32_t size)
{
    return std::unique_ptr<std::uint8_t[]>(new (std::nothrow) std::uint8_t[static_cast<std::size_t>(size) + kGuardBytes]());
}

std::span<const std::byte> LookUpResource(std::string_view name, std::string_view type)
{
    return FindResource(type.empty() ? kDefaultResourceType : type, name);
}

bool IsLineEnd(std::uint8_t c)
{
    return c == '\r' || c == '\n';
}

}  // namespace

struct CDataStream::State {
    enum class Source { kNone, kFile, kMemory };

    explicit State(std::int32_t bufferSize) : bufferCapacity(std::clamp(bufferSize, kMinimumCapacity, kLargestBlock)) {}

    const std::int32_t bufferCapacity;  // the buffer of file sources
    Source source = Source::kNone;
    bool open = false;
    bool writing = false;
    bool byteReads = false;  // open for the buffered byte, word, line and peek reads
    bool endReached = false;
    bool fixedMemory = false;
    bool sourceExhausted = false;  // the file had nothing behind the buffered bytes
    bool append = false;
    bool atAppendEnd = false;
    bool writeFailed = false;
    unsigned generation = 0;  // counts the opens, so a close hook that reopens is noticed

    // File sources: data is the buffer, holding the file's bytes from bufferOrigin on.
    // Memory sources: data is the block itself and bufferOrigin stays 0.
    const std::uint8_t* data = nullptr;
    std::uint8_t* writable = nullptr;
    std::unique_ptr<std::uint8_t[]> ownedBlock;
    std::int32_t position = 0;  // may lie behind fill in memory sources after a seek
    std::int32_t fill = 0;
    std::int32_t capacity = 0;
    std::int64_t bufferOrigin = 0;
    std::int32_t dirtyBegin = 0;
    std::int32_t dirtyEnd = 0;
    std::int64_t fileOffset = -1;  // the descriptor's own offset, -1 when unknown
    PosixFile file;
    CloseHook hook = nullptr;

    bool IsFile() const { return source == Source::kFile; }

    void Reset()
    {
        source = Source::kNone;
        open = writing = byteReads = endReached = fixedMemory = sourceExhausted = false;
        append = atAppendEnd = writeFailed = false;
        data = nullptr;
        writable = nullptr;
        ownedBlock.reset();
        position = fill = capacity = 0;
        bufferOrigin = 0;
        dirtyBegin = dirtyEnd = 0;
        fileOffset = -1;
        file = PosixFile();
        hook = nullptr;
        ++generation;
    }

    std::int32_t Available() const { return position < fill ? fill - position : 0; }

    std::int64_t LogicalPosition() const { return bufferOrigin + position; }

    std::int64_t LogicalSize() const
    {
        if (!IsFile())
            return fill;
        const std::int64_t onDisk = file.Size();
        if (onDisk < 0)
            return -1;
        return dirtyEnd > dirtyBegin ? std::max(onDisk, bufferOrigin + dirtyEnd) : onDisk;
    }

    void SetFill(std::int32_t newFill)
    {
        fill = newFill;
        std::memset(ownedBlock.get() + fill, 0, kGuardBytes);
    }

    void MarkDirty(std::int32_t begin, std::int32_t end)
    {
        if (dirtyEnd <= dirtyBegin) {
            dirtyBegin = begin;
            dirtyEnd = end;
        } else {
            dirtyBegin = std::min(dirtyBegin, begin);
            dirtyEnd = std::max(dirtyEnd, end);
        }
    }

    bool PlaceFileAt(std::int64_t offset)
    {
        if (fileOffset == offset)
            return true;
        if (!file.SeekTo(offset)) {
            fileOffset = -1;
            return false;
        }
        fileOffset = offset;
        return true;
    }

    bool Flush()
    {
        if (dirtyEnd <= dirtyBegin)
            return true;
        const std::int64_t at = bufferOrigin + dirtyBegin;
        const std::int32_t length = dirtyEnd - dirtyBegin;
        dirtyBegin = dirtyEnd = 0;
        if (!PlaceFileAt(at) || !file.Write(ownedBlock.get() + (at - bufferOrigin), length)) {
            fileOffset = -1;
            writeFailed = true;
            return false;
        }
        fileOffset = at + length;
        return true;
    }

    // Starts an empty buffer at the logical position; the caller has flushed.
    void Rebase()
    {
        if (position != fill)
            sourceExhausted = false;
        bufferOrigin += position;
        position = 0;
        SetFill(0);
    }

    // Makes up to `wanted` bytes (at most the capacity) available at the position: the bytes
    // available, or -1 when the file fails.
    std::int32_t FillAtLeast(std::int32_t wanted)
    {
        wanted = std::min(wanted, capacity);
        if (Available() >= wanted || sourceExhausted)
            return Available();
        if (!Flush())
            return -1;
        const std::int32_t kept = Available();
        if (position > 0) {
            if (kept > 0)
                std::memmove(ownedBlock.get(), ownedBlock.get() + position, static_cast<std::size_t>(kept));
            bufferOrigin += position;
            position = 0;
            fill = kept;
        }
        std::int32_t toRead = capacity - fill;
        if (writing && wanted <= kWriteModeRefill)
            toRead = std::min(toRead, kWriteModeRefill);
        if (!PlaceFileAt(bufferOrigin + fill))
            return -1;
        const std::int64_t got = file.Read(ownedBlock.get() + fill, toRead);
        if (got < 0) {
            fileOffset = -1;
            SetFill(fill);
            return -1;
        }
        fileOffset += got;
        if (got < toRead)
            sourceExhausted = true;
        SetFill(fill + static_cast<std::int32_t>(got));
        return Available();
    }

    // The byte at the position without consuming it, or -1.
    std::int32_t NextByte()
    {
        if (position < fill)
            return data[position];
        if (!IsFile() || FillAtLeast(1) <= 0)
            return -1;
        return data[position];
    }

    bool SeekFile(std::int64_t target)
    {
        if (target >= bufferOrigin && target <= bufferOrigin + fill) {
            position = static_cast<std::int32_t>(target - bufferOrigin);
            return true;
        }
        if (!Flush() || !PlaceFileAt(target))
            return false;
        bufferOrigin = target;
        position = 0;
        sourceExhausted = false;
        SetFill(0);
        return true;
    }

    bool SetPosition(std::int64_t target)
    {
        if (target < 0 || target > kLargestPosition)
            return false;
        if (IsFile())
            return SeekFile(target);
        position = static_cast<std::int32_t>(target);
        return true;
    }

    std::int32_t ReadFile(std::uint8_t* out, std::int32_t n)
    {
        atAppendEnd = false;
        std::int32_t delivered = std::min(n, Available());
        if (delivered > 0) {
            std::memcpy(out, data + position, static_cast<std::size_t>(delivered));
            position += delivered;
        }
        std::int32_t remaining = n - delivered;
        if (remaining >= capacity) {
            // Whole buffers go straight into the caller's memory.
            if (!Flush())
                return -1;
            Rebase();
            const std::int32_t direct = remaining - remaining % capacity;
            if (sourceExhausted)
                return delivered;
            if (!PlaceFileAt(bufferOrigin))
                return -1;
            const std::int64_t got = file.Read(out + delivered, direct);
            if (got < 0) {
                fileOffset = -1;
                return -1;
            }
            fileOffset += got;
            bufferOrigin += got;
            delivered += static_cast<std::int32_t>(got);
            remaining -= static_cast<std::int32_t>(got);
            if (got < direct) {
                sourceExhausted = true;
                return delivered;
            }
        }
        if (remaining > 0) {
            const std::int32_t available = FillAtLeast(remaining);
            if (available < 0)
                return -1;
            const std::int32_t take = std::min(remaining, available);
            if (take > 0) {
                std::memcpy(out + delivered, data + position, static_cast<std::size_t>(take));
                position += take;
                delivered += take;
            }
        }
        return delivered;
    }

    std::int32_t ReadMemory(std::uint8_t* out, std::int32_t n)
    {
        const std::int32_t take = std::min(n, Available());
        if (take > 0) {
            std::memcpy(out, data + position, static_cast<std::size_t>(take));
            position += take;
        }
        return take;
    }

    std::int32_t WriteFile(const std::uint8_t* bytes, std::int32_t n)
    {
        if (append && !atAppendEnd) {
            const std::int64_t end = LogicalSize();
            if (end < 0 || !SeekFile(end))
                return -1;
            atAppendEnd = true;
        }
        sourceExhausted = false;
        if (n >= capacity) {
            // A write larger than the buffer goes straight to the file.
            if (!Flush())
                return -1;
            Rebase();
            if (!PlaceFileAt(bufferOrigin) || !file.Write(bytes, n)) {
                fileOffset = -1;
                writeFailed = true;
                return -1;
            }
            bufferOrigin += n;
            fileOffset = bufferOrigin;
            return n;
        }
        if (static_cast<std::int64_t>(position) + n > capacity) {
            if (!Flush())
                return -1;
            Rebase();
        }
        std::memcpy(ownedBlock.get() + position, bytes, static_cast<std::size_t>(n));
        MarkDirty(position, position + n);
        position += n;
        if (position > fill)
            SetFill(position);
        return n;
    }

    // Resources are read-only memory sources over the program's own bytes.
    bool OpenBytes(std::span<const std::byte> bytes)
    {
        if (bytes.empty() || bytes.size() > static_cast<std::size_t>(kLargestBlock))
            return false;
        source = Source::kMemory;
        open = true;
        byteReads = true;
        fixedMemory = true;
        data = reinterpret_cast<const std::uint8_t*>(bytes.data());
        fill = capacity = static_cast<std::int32_t>(bytes.size());
        return true;
    }

    bool GrowBlock(std::int64_t needed)
    {
        const std::int64_t grown =
            std::min<std::int64_t>(std::max<std::int64_t>(kSmallestGrownBlock, needed * 3 / 2), kLargestBlock);
        auto block = AllocateBlock(static_cast<std::int32_t>(grown));
        if (!block)
            return false;
        if (fill > 0)
            std::memcpy(block.get(), data, static_cast<std::size_t>(fill));
        // A caller's block is left alone: only a block the stream owns is ever replaced.
        ownedBlock = std::move(block);
        data = writable = ownedBlock.get();
        capacity = static_cast<std::int32_t>(grown);
        return true;
    }

    std::int32_t WriteMemory(const std::uint8_t* bytes, std::int32_t n)
    {
        const std::int64_t end = static_cast<std::int64_t>(position) + n;
        if (end > kLargestBlock)
            return -1;
        if (end > capacity && (fixedMemory || !GrowBlock(end)))
            return -1;
        if (position > fill)
            std::memset(writable + fill, 0, static_cast<std::size_t>(position - fill));
        std::memcpy(writable + position, bytes, static_cast<std::size_t>(n));
        position = static_cast<std::int32_t>(end);
        fill = std::max(fill, position);
        return n;
    }
};

CDataStream::CDataStream(int bufferSize) : state_(std::make_unique<State>(bufferSize)) {}

CDataStream::~CDataStream()
{
    Close();
}

bool CDataStream::Open(std::string_view path, int mode, bool append)
{
    Close();
    state_->Reset();
    if (IsResourcePath(path)) {
        if (mode != 0)
            return false;
        const auto [type, name] = SplitResourcePath(path.substr(6));
        return OpenResource(name, type);
    }
    if (path.empty() || path.find('\0') != std::string_view::npos || mode < 0 || mode > 2)
        return false;
    PosixFile file = OpenFileForMode(std::string(path), mode, append);
    if (!file.IsOpen() || file.IsDirectory())
        return false;

    State& s = *state_;
    s.ownedBlock = AllocateBlock(s.bufferCapacity);
    if (!s.ownedBlock)
        return false;
    s.file = std::move(file);
    s.source = State::Source::kFile;
    s.open = true;
    s.writing = mode != 0;
    s.byteReads = !s.writing;
    s.append = mode == 1 && append;
    s.capacity = s.bufferCapacity;
    s.data = s.ownedBlock.get();
    s.writable = s.writing ? s.ownedBlock.get() : nullptr;
    s.fileOffset = 0;
    return true;
}

bool CDataStream::Open(std::wstring_view path, int mode, bool append)
{
    if (IsResourcePath(path)) {
        Close();
        state_->Reset();
        if (mode != 0)
            return false;
        const auto [type, name] = SplitResourcePath(path.substr(6));
        return OpenResource(name, type);
    }
    std::string native;
    if (!ToUtf8(path, native)) {
        Close();
        state_->Reset();
        return false;
    }
    return Open(std::string_view(native), mode, append);
}

bool CDataStream::OpenResource(std::string_view name, std::string_view type)
{
    Close();
    state_->Reset();
    return type.size() <= kLongestResourceType && state_->OpenBytes(LookUpResource(name, type));
}

bool CDataStream::OpenResource(std::wstring_view name, std::wstring_view type)
{
    Close();
    state_->Reset();
    std::string narrowName;
    std::string narrowType;
    return type.size() <= kLongestWideResourceType && ToUtf8(name, narrowName) && ToUtf8(type, narrowType) &&
           state_->OpenBytes(LookUpResource(narrowName, narrowType));
}

bool CDataStream::OpenMemory(void* block, std::int32_t size, int mode, CloseHook hook)
{
    Close();
    state_->Reset();
    State& s = *state_;
    auto* bytes = static_cast<std::uint8_t*>(block);
    switch (mode) {
    case 0:
    case 3:
        if (size < 0 || (bytes == nullptr && size > 0))
            return false;
        s.data = bytes;
        s.writable = mode == 3 ? bytes : nullptr;
        s.fill = s.capacity = size;
        s.fixedMemory = mode == 3;
        break;
    case 1:
        if (bytes != nullptr) {
            if (size < 0)
                return false;
            s.data = s.writable = bytes;
            s.fill = s.capacity = s.position = size;
        }
        break;
    case 2:
        break;
    default:
        return false;
    }
    s.source = State::Source::kMemory;
    s.open = true;
    s.writing = mode != 0;
    s.byteReads = !s.writing;
    if (hook != nullptr) {
        if (hook(this, reinterpret_cast<void*>(hook), 0) == 0) {
            state_->Reset();
            return false;
        }
        state_->hook = hook;
    }
    return true;
}

std::int32_t CDataStream::Read(void* buffer, std::int32_t n)
{
    State& s = *state_;
    if (!s.open || n < 0 || (buffer == nullptr && n > 0))
        return -1;
    if (n == 0)
        return 0;
    auto* out = static_cast<std::uint8_t*>(buffer);
    const std::int32_t delivered = s.IsFile() ? s.ReadFile(out, n) : s.ReadMemory(out, n);
    if (delivered >= 0 && delivered < n)
        s.endReached = true;
    return delivered;
}

std::int32_t CDataStream::ReadByte()
{
    State& s = *state_;
    if (s.byteReads && s.position < s.fill)
        return s.data[s.position++];
    if (!s.byteReads)
        return -1;
    const std::int32_t value = s.NextByte();
    if (value < 0) {
        s.endReached = true;
        return -1;
    }
    ++s.position;
    return value;
}

std::int32_t CDataStream::ReadWord()
{
    if (!state_->byteReads)
        return -1;
    std::array<std::uint8_t, 2> bytes{};
    if (Read(bytes.data(), 2) != 2)
        return -1;
    return bytes[0] | (bytes[1] << 8);
}

std::int64_t CDataStream::ReadDWord()
{
    if (!state_->byteReads)
        return -1;
    std::array<std::uint8_t, 4> bytes{};
    if (Read(bytes.data(), 4) != 4)
        return -1;
    return static_cast<std::int64_t>(bytes[0]) | (static_cast<std::int64_t>(bytes[1]) << 8) |
           (static_cast<std::int64_t>(bytes[2]) << 16) | (static_cast<std::int64_t>(bytes[3]) << 24);
}

std::int32_t CDataStream::ReadLine(char* buffer, std::int32_t size)
{
    if (buffer == nullptr || size < 1)
        return -1;
    buffer[0] = '\0';
    State& s = *state_;
    if (!s.byteReads)
        return -1;
    s.atAppendEnd = false;
    std::int32_t length = 0;
    bool consumed = false;
    bool terminated = false;
    while (!terminated) {
        if (s.NextByte() < 0)
            break;
        const std::uint8_t* begin = s.data + s.position;
        const std::uint8_t* end = s.data + s.fill;
        const std::uint8_t* stop = std::find_if(begin, end, IsLineEnd);
        const auto chunk = static_cast<std::int32_t>(stop - begin);
        const std::int32_t kept = std::min(chunk, size - 1 - length);
        if (kept > 0) {
            std::memcpy(buffer + length, begin, static_cast<std::size_t>(kept));
            length += kept;
        }
        s.position += chunk;
        consumed = consumed || chunk > 0;
        terminated = stop != end;
    }
    buffer[length] = '\0';
    if (terminated) {
        consumed = true;
        if (s.NextByte() == '\r')
            ++s.position;
        if (s.NextByte() == '\n')
            ++s.position;
    }
    if (!consumed) {
        s.endReached = true;
        return -1;
    }
    return length;
}

std::span<const std::uint8_t> CDataStream::Peek(std::int32_t n, std::int32_t skip)
{
    State& s = *state_;
    if (!s.byteReads || skip < 0)
        return {};
    if (skip > 0 && !s.SetPosition(s.LogicalPosition() + skip))
        return {};
    if (n <= 0)
        return {};
    const std::int32_t available = s.IsFile() ? s.FillAtLeast(n) : s.Available();
    if (available <= 0)
        return {};
    return {s.data + s.position, static_cast<std::size_t>(std::min(n, available))};
}

std::int32_t CDataStream::Write(const void* buffer, std::int32_t n)
{
    State& s = *state_;
    if (!s.open || !s.writing || n < 0 || (buffer == nullptr && n > 0))
        return -1;
    if (n == 0)
        return 0;
    const auto* bytes = static_cast<const std::uint8_t*>(buffer);
    return s.IsFile() ? s.WriteFile(bytes, n) : s.WriteMemory(bytes, n);
}

std::int32_t CDataStream::WriteByte(std::uint8_t value)
{
    return Write(&value, 1);
}

std::int32_t CDataStream::WriteWord(std::uint16_t value)
{
    const std::array<std::uint8_t, 2> bytes{static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8)};
    return Write(bytes.data(), 2);
}

std::int32_t CDataStream::WriteDWord(std::uint32_t value)
{
    const std::array<std::uint8_t, 4> bytes{static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
                                            static_cast<std::uint8_t>(value >> 16),
                                            static_cast<std::uint8_t>(value >> 24)};
    return Write(bytes.data(), 4);
}

std::int32_t CDataStream::Printf(const char* format, ...)
{
    if (format == nullptr || !IsWriting())
        return -1;
    std::array<char, 512> text{};
    va_list arguments;
    va_start(arguments, format);
    va_list again;
    va_copy(again, arguments);
    const int length = std::vsnprintf(text.data(), text.size(), format, arguments);
    va_end(arguments);
    std::int32_t result = -1;
    if (length >= 0 && static_cast<std::size_t>(length) < text.size()) {
        result = Write(text.data(), length);
    } else if (length >= 0) {
        const std::unique_ptr<char[]> longText(new (std::nothrow) char[static_cast<std::size_t>(length) + 1]);
        if (longText && std::vsnprintf(longText.get(), static_cast<std::size_t>(length) + 1, format, again) == length)
            result = Write(longText.get(), length);
    }
    va_end(again);
    return result;
}

std::int32_t CDataStream::Seek(std::int32_t offset, int origin)
{
    State& s = *state_;
    if (!s.open)
        return -1;
    std::int64_t base = 0;
    switch (origin) {
    case 0:
        break;
    case 1:
        base = s.LogicalPosition();
        break;
    case 2:
        base = s.LogicalSize();
        if (base < 0)
            return -1;
        break;
    default:
        return -1;
    }
    const std::int64_t target = base + offset;
    if (!s.SetPosition(target))
        return -1;
    s.endReached = false;
    s.atAppendEnd = false;
    return static_cast<std::int32_t>(target);
}

std::int32_t CDataStream::Tell() const
{
    const State& s = *state_;
    if (!s.open)
        return -1;
    const std::int64_t position = s.LogicalPosition();
    return position > kLargestPosition ? -1 : static_cast<std::int32_t>(position);
}

std::int32_t CDataStream::Size()
{
    const State& s = *state_;
    if (!s.open)
        return -1;
    const std::int64_t size = s.LogicalSize();
    return size > kLargestPosition ? -1 : static_cast<std::int32_t>(size);
}

bool CDataStream::Close()
{
    State& s = *state_;
    if (!s.open)
        return false;
    if (s.IsFile()) {
        bool ok = s.Flush();
        ok = s.file.Close() && ok && !s.writeFailed;
        s.Reset();
        return ok;
    }
    if (CloseHook hook = std::exchange(s.hook, nullptr)) {
        const unsigned generation = s.generation;
        hook(this, nullptr, 1);
        if (s.generation != generation)
            return true;  // the hook opened the stream again
    }
    // The block stays readable through MemoryData until the next open.
    s.open = false;
    s.writing = false;
    s.byteReads = false;
    s.position = 0;
    return true;
}

bool CDataStream::IsOpen() const
{
    return state_->open;
}

bool CDataStream::IsWriting() const
{
    return state_->open && state_->writing;
}

bool CDataStream::EndReached() const
{
    return state_->endReached;
}

std::int32_t CDataStream::Capacity() const
{
    const State& s = *state_;
    return s.source == State::Source::kMemory ? s.capacity : s.bufferCapacity;
}

std::span<const std::uint8_t> CDataStream::MemoryData() const
{
    const State& s = *state_;
    if (s.source != State::Source::kMemory || s.data == nullptr)
        return {};
    return {s.data, static_cast<std::size_t>(s.fill)};
}

std::int32_t CDataStream::MemoryBlockSize() const
{
    const State& s = *state_;
    return s.source == State::Source::kMemory ? s.capacity : 0;
}
