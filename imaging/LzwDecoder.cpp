#include "imaging/LzwDecoder.h"

#include "imaging/GraphicsException.h"

CLzwDecoder::CLzwDecoder(int minCodeSize, std::uint32_t width, CLzwRowSink& sink)
    : m_minCodeSize(minCodeSize), m_clearCode(1 << (minCodeSize & 15)), m_row(width), m_sink(sink)
{
    // Twelve bits would put the clear code itself at the end of the table.
    if (minCodeSize < 1 || minCodeSize >= MaxBits)
        throw EGifCorruptFile();
    for (int i = 0; i < m_clearCode; ++i)
        m_suffix[i] = static_cast<std::uint8_t>(i);
    Reset();
}

void CLzwDecoder::Reset()
{
    m_bits = m_minCodeSize + 1;
    m_freeCode = m_clearCode + 2;
    m_previous = -1;
}

bool CLzwDecoder::Decode(std::span<const std::uint8_t> bytes)
{
    const int endCode = m_clearCode + 1;
    for (const std::uint8_t byte : bytes) {
        if (m_done)
            return false;
        m_accumulator |= std::uint32_t{byte} << m_accumulatedBits;
        m_accumulatedBits += 8;
        while (m_accumulatedBits >= m_bits) {
            const int code = static_cast<int>(m_accumulator & ((1u << m_bits) - 1));
            m_accumulator >>= m_bits;
            m_accumulatedBits -= m_bits;
            if (code == m_clearCode) {
                Reset();
                continue;
            }
            if (code == endCode) {
                m_done = true;
                return false;
            }
            if (!Expand(code) || !Deliver()) {
                m_done = true;
                return false;
            }
        }
    }
    return !m_done;
}

bool CLzwDecoder::Expand(int code)
{
    if (m_previous < 0) {
        if (code >= m_clearCode)
            throw EGifCorruptFile();
        m_stack[m_stackTop++] = m_suffix[code];
        m_previous = code;
        m_firstByte = m_suffix[code];
        return true;
    }
    if (code > m_freeCode)
        throw EGifCorruptFile();
    int walk = code;
    if (code == m_freeCode) {
        // The string of the previous code and its own first byte.
        m_stack[m_stackTop++] = m_firstByte;
        walk = m_previous;
    }
    while (walk >= m_clearCode) {
        // Entries always point at older ones, so a chain longer than the table is corrupt.
        if (m_stackTop >= TableSize)
            throw EGifCorruptFile();
        m_stack[m_stackTop++] = m_suffix[walk];
        walk = m_prefix[walk];
    }
    m_firstByte = m_suffix[walk];
    m_stack[m_stackTop++] = m_firstByte;
    if (m_freeCode < TableSize) {
        m_prefix[m_freeCode] = static_cast<std::uint16_t>(m_previous);
        m_suffix[m_freeCode] = m_firstByte;
        ++m_freeCode;
        if (m_freeCode == (1 << m_bits) && m_bits < MaxBits)
            ++m_bits;
    }
    m_previous = code;
    return true;
}

bool CLzwDecoder::Deliver()
{
    const std::size_t width = m_row.size();
    while (m_stackTop > 0) {
        std::size_t room = width - m_rowFill;
        std::uint8_t* out = m_row.data() + m_rowFill;
        const std::size_t count = std::min<std::size_t>(room, static_cast<std::size_t>(m_stackTop));
        for (std::size_t i = 0; i < count; ++i)
            out[i] = m_stack[--m_stackTop];
        m_rowFill += count;
        if (m_rowFill == width) {
            m_rowFill = 0;
            if (!m_sink.TakeRow(m_row)) {
                m_stackTop = 0;
                return false;
            }
        }
    }
    return true;
}
