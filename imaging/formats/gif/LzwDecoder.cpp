#include "imaging/formats/gif/LzwDecoder.h"

#include "imaging/GraphicsException.h"

#include <algorithm>
#include <cstring>

CLzwDecoder::CLzwDecoder(int minCodeSize, std::uint32_t width, CLzwRowSink& sink)
    : m_minCodeSize(minCodeSize), m_clearCode(1 << (minCodeSize & 15)), m_row(width), m_sink(sink)
{
    // Twelve bits would put the clear code itself at the end of the table.
    if (minCodeSize < 1 || minCodeSize >= MaxBits || width == 0)
        throw EGifCorruptFile();
    for (int i = 0; i < m_clearCode; ++i) {
        m_suffix[i] = static_cast<std::uint8_t>(i);
        m_first[i] = static_cast<std::uint8_t>(i);
        m_length[i] = 1;
    }
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
            if (code == endCode || !Take(code)) {
                m_done = true;
                return false;
            }
        }
    }
    return !m_done;
}

bool CLzwDecoder::Take(int code)
{
    if (m_previous < 0) {
        if (code >= m_clearCode)
            throw EGifCorruptFile();
        m_previous = code;
        return Put(code);
    }
    if (code > m_freeCode)
        throw EGifCorruptFile();
    // A full table takes no entries until the next clear code.
    if (m_freeCode < TableSize) {
        // The code right at the free slot is the previous string followed by its own first byte.
        const int entry = m_freeCode++;
        m_prefix[entry] = static_cast<std::uint16_t>(m_previous);
        m_suffix[entry] = m_first[code == entry ? m_previous : code];
        m_first[entry] = m_first[m_previous];
        m_length[entry] = static_cast<std::uint16_t>(m_length[m_previous] + 1);
        if (m_freeCode == (1 << m_bits) && m_bits < MaxBits)
            ++m_bits;
    }
    m_previous = code;
    return Put(code);
}

// Strings are written from their last byte back to their first, straight into the row when they
// fit there.
bool CLzwDecoder::Put(int code)
{
    const std::size_t length = m_length[code];
    if (m_rowFill + length > m_row.size())
        return PutAcrossRows(code);
    std::uint8_t* out = m_row.data() + m_rowFill;
    for (std::size_t i = length - 1; i > 0; --i) {
        out[i] = m_suffix[code];
        code = m_prefix[code];
    }
    out[0] = m_suffix[code];
    m_rowFill += length;
    if (m_rowFill < m_row.size())
        return true;
    m_rowFill = 0;
    return m_sink.TakeRow(m_row);
}

bool CLzwDecoder::PutAcrossRows(int code)
{
    const std::size_t length = m_length[code];
    for (std::size_t i = length; i > 0; --i) {
        m_stack[i - 1] = m_suffix[code];
        code = m_prefix[code];
    }
    for (std::size_t done = 0; done < length;) {
        const std::size_t count = std::min(length - done, m_row.size() - m_rowFill);
        std::memcpy(m_row.data() + m_rowFill, m_stack.data() + done, count);
        done += count;
        m_rowFill += count;
        if (m_rowFill == m_row.size()) {
            m_rowFill = 0;
            if (!m_sink.TakeRow(m_row))
                return false;
        }
    }
    return true;
}
