#pragma once
// CDataStream: the program's buffered byte stream over a file, an embedded resource or a block of
// memory. Every picture reader and writer does its input and output through it. Failures are
// reported by results (false or -1); the stream never throws.

#include <cstdint>
#include <memory>
#include <span>
#include <string_view>

class CDataStream {
public:
    // Called once when a memory stream is opened, as hook(stream, hook, 0): a result of 0 refuses
    // the open. Called again as hook(stream, nullptr, 1) when that stream is closed.
    using CloseHook = int (*)(CDataStream* stream, void* hook, int closing);

    // File modes: 0 read, 1 read and write an existing file (a missing one is created as in mode 2;
    // an existing one that cannot be opened for writing is left alone), 2 create or truncate.
    // Memory modes: 0 read a block, 1 append to a block, 2 write a new growable block,
    // 3 read and write a fixed block.
    static constexpr int kDefaultBufferSize = 32768;

    explicit CDataStream(int bufferSize = kDefaultBufferSize);
    ~CDataStream();
    CDataStream(const CDataStream&) = delete;
    CDataStream& operator=(const CDataStream&) = delete;

    // Native (UTF-8) path. A path beginning with "RES:" and two slashes or backslashes opens an
    // embedded resource instead (mode 0 only).
    bool Open(std::string_view path, int mode = 0, bool append = false);
    bool Open(std::wstring_view path, int mode = 0, bool append = false);
    // The resource of that type and name: the rules of the "RES://TYPE/NAME" paths.
    bool OpenResource(std::string_view name, std::string_view type);
    bool OpenResource(std::wstring_view name, std::wstring_view type);
    // block may be null for mode 1 (a new empty growable block); it is ignored for mode 2.
    bool OpenMemory(void* block, std::int32_t size, int mode, CloseHook hook = nullptr);

    // Bytes delivered, or -1 when the source fails or the stream is not open. Works on every open
    // stream; the byte, word, line and peek reads below refuse a stream opened for writing.
    std::int32_t Read(void* buffer, std::int32_t n);
    std::int32_t ReadByte();
    std::int32_t ReadWord();   // little-endian 16 bit
    std::int64_t ReadDWord();  // little-endian 32 bit; -1 is distinct from 0xFFFFFFFF
    // Bytes up to the next CR or LF into buffer (cut to size - 1, zero-terminated); one CR and then
    // one LF after the line are skipped. Its length, or -1 (and an empty string) at the end.
    std::int32_t ReadLine(char* buffer, std::int32_t size);
    // Skips `skip` bytes, then makes up to n bytes available in the buffer without consuming them.
    // The span is empty when the stream cannot be read; it is shorter than n near the end and, for
    // a file, never longer than the capacity. Four zero bytes follow the buffered data of a file or
    // of a block the stream owns.
    std::span<const std::uint8_t> Peek(std::int32_t n, std::int32_t skip = 0);

    // Bytes taken, or -1 on a failure.
    std::int32_t Write(const void* buffer, std::int32_t n);
    std::int32_t Write(std::span<const std::uint8_t> bytes)
    {
        return Write(bytes.data(), static_cast<std::int32_t>(bytes.size()));
    }
    std::int32_t WriteByte(std::uint8_t value);
    std::int32_t WriteWord(std::uint16_t value);
    std::int32_t WriteDWord(std::uint32_t value);
    std::int32_t Printf(const char* format, ...) __attribute__((format(printf, 2, 3)));

    // origin 0 start, 1 current, 2 end (plus offset, for every source). The new position, or -1 for
    // a target before 0 or beyond 2^31 - 1 (the position stays). A target behind the end is kept:
    // reads there deliver nothing, and a write fills the gap with zeros.
    std::int32_t Seek(std::int32_t offset, int origin);
    std::int32_t Tell() const;
    std::int32_t Size();

    // Flushes, calls the close hook, closes the file. True when everything went well (always for
    // memory and resource sources); false for a stream that was not open.
    bool Close();

    bool IsOpen() const;
    bool IsWriting() const;
    bool EndReached() const;  // a read delivered fewer bytes than asked, or nothing is left
    std::int32_t Capacity() const;

    // The block of a memory stream: valid after Close until the next open or the destruction.
    // For mode 2 (and mode 1 once it had to grow) the stream owns the block.
    std::span<const std::uint8_t> MemoryData() const;
    std::int32_t MemoryBlockSize() const;  // the allocated size of the block, guard bytes excluded

private:
    struct State;
    std::unique_ptr<State> state_;
};
