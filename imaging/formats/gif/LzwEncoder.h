#pragma once
// GIF's LZW compression: the hashed encoder of the classic compress program. Codes grow from
// minimum code size + 1 up to 12 bits; a full table is answered with a clear code. The codes are
// packed least significant bit first into data sub-blocks of up to 255 bytes, each behind its
// length byte, ready to be written as they are.

#include <array>
#include <cstdint>
#include <vector>

class CLzwEncoder
{
public:
    // minCodeSize: 2 to 8; every pixel must be below 2^minCodeSize.
    explicit CLzwEncoder(int minCodeSize);

    void Put(std::uint8_t pixel);
    // Ends the data: the pending code, the end code, the last bits and the last sub-block. The
    // zero-length sub-block that closes the image is left to the caller.
    void Finish();
    // The finished sub-blocks so far; the caller may write and clear them at any time.
    std::vector<std::uint8_t>& Blocks() { return m_blocks; }

private:
    static constexpr int HashSize = 5003;
    static constexpr int MaxBits = 12;
    static constexpr int TableSize = 1 << MaxBits;

    void Emit(int code);
    void EmitByte(std::uint8_t byte);
    void FlushBlock();
    void ResetTable();

    std::array<std::int32_t, HashSize> m_keys{};
    std::array<std::uint16_t, HashSize> m_codes{};
    int m_hashShift = 0;
    int m_initBits;
    int m_bits;
    int m_maxCode;
    int m_clearCode;
    int m_endCode;
    int m_freeCode;
    bool m_clearPending = false;
    // The code of the string read so far; -1 before the first pixel.
    int m_prefix = -1;
    std::uint32_t m_accumulator = 0;
    int m_accumulatedBits = 0;
    std::array<std::uint8_t, 255> m_block{};
    int m_blockLength = 0;
    std::vector<std::uint8_t> m_blocks;
};
