#include "imaging/formats/gif/LzwEncoder.h"

namespace {

int MaxCodeFor(int bits)
{
    return (1 << bits) - 1;
}

}  // namespace

CLzwEncoder::CLzwEncoder(int minCodeSize)
    : m_initBits(minCodeSize + 1),
      m_bits(minCodeSize + 1),
      m_maxCode(MaxCodeFor(minCodeSize + 1)),
      m_clearCode(1 << minCodeSize),
      m_endCode((1 << minCodeSize) + 1),
      m_freeCode((1 << minCodeSize) + 2)
{
    // The first probe shifts the pixel so that its bits spread over the whole table.
    int doublings = 0;
    for (long size = HashSize; size < 65536; size *= 2)
        ++doublings;
    m_hashShift = 8 - doublings;
    m_keys.fill(-1);
    Emit(m_clearCode);
}

void CLzwEncoder::Put(std::uint8_t pixel)
{
    if (m_prefix < 0) {
        m_prefix = pixel;
        return;
    }
    const std::int32_t key = (std::int32_t{pixel} << MaxBits) + m_prefix;
    int slot = (pixel << m_hashShift) ^ m_prefix;
    if (m_keys[slot] == key) {
        m_prefix = m_codes[slot];
        return;
    }
    if (m_keys[slot] >= 0) {
        const int step = slot == 0 ? 1 : HashSize - slot;
        do {
            slot -= step;
            if (slot < 0)
                slot += HashSize;
            if (m_keys[slot] == key) {
                m_prefix = m_codes[slot];
                return;
            }
        } while (m_keys[slot] >= 0);
    }
    Emit(m_prefix);
    m_prefix = pixel;
    if (m_freeCode < TableSize) {
        m_codes[slot] = static_cast<std::uint16_t>(m_freeCode++);
        m_keys[slot] = key;
    } else {
        ResetTable();
    }
}

void CLzwEncoder::ResetTable()
{
    m_keys.fill(-1);
    m_freeCode = m_clearCode + 2;
    m_clearPending = true;
    Emit(m_clearCode);
}

void CLzwEncoder::Finish()
{
    if (m_prefix >= 0)
        Emit(m_prefix);
    Emit(m_endCode);
    if (m_accumulatedBits > 0)
        EmitByte(static_cast<std::uint8_t>(m_accumulator));
    m_accumulator = 0;
    m_accumulatedBits = 0;
    FlushBlock();
}

void CLzwEncoder::Emit(int code)
{
    m_accumulator |= static_cast<std::uint32_t>(code) << m_accumulatedBits;
    m_accumulatedBits += m_bits;
    while (m_accumulatedBits >= 8) {
        EmitByte(static_cast<std::uint8_t>(m_accumulator));
        m_accumulator >>= 8;
        m_accumulatedBits -= 8;
    }
    // Wider codes start once the next free code no longer fits; the decoder, which adds each entry
    // one code later, widens at the same place in the data.
    if (m_clearPending) {
        m_bits = m_initBits;
        m_maxCode = MaxCodeFor(m_bits);
        m_clearPending = false;
    } else if (m_freeCode > m_maxCode && m_bits < MaxBits) {
        ++m_bits;
        m_maxCode = m_bits == MaxBits ? TableSize : MaxCodeFor(m_bits);
    }
}

void CLzwEncoder::EmitByte(std::uint8_t byte)
{
    m_block[m_blockLength++] = byte;
    if (m_blockLength == 255)
        FlushBlock();
}

void CLzwEncoder::FlushBlock()
{
    if (m_blockLength == 0)
        return;
    m_blocks.push_back(static_cast<std::uint8_t>(m_blockLength));
    m_blocks.insert(m_blocks.end(), m_block.begin(), m_block.begin() + m_blockLength);
    m_blockLength = 0;
}
