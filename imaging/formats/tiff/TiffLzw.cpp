#include "imaging/formats/tiff/TiffDecompress.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>

namespace {

constexpr unsigned kClearCode = 256;
constexpr unsigned kEndCode = 257;
constexpr unsigned kTableSize = 4096;
constexpr int kMaxWidth = 12;

// The code stream; TIFF 6.0 packs codes from the most significant bit on, the older variant from
// the least significant bit on.
template <bool MsbFirst>
class LzwBits
{
public:
    explicit LzwBits(std::span<const std::uint8_t> in) : m_in(in) {}

    // False once the data holds no further whole code.
    bool Next(int width, unsigned& code)
    {
        if (m_count < width)
            Refill();
        if (m_count < width)
            return false;
        if constexpr (MsbFirst) {
            code = unsigned(m_bits >> (64 - width));
            m_bits <<= width;
        } else {
            code = unsigned(m_bits & ((1u << width) - 1));
            m_bits >>= width;
        }
        m_count -= width;
        return true;
    }

private:
    void Refill()
    {
        if constexpr (MsbFirst) {
            // Eight bytes at once: the bits below the counted ones are the next bytes' own, so
            // the following refill sets them again to the same values.
            if (m_in.size() - m_pos >= 8) {
                std::uint64_t next;
                std::memcpy(&next, m_in.data() + m_pos, 8);
                if constexpr (std::endian::native == std::endian::little)
                    next = __builtin_bswap64(next);
                m_bits |= next >> m_count;
                const int take = (63 - m_count) >> 3;
                m_pos += std::size_t(take);
                m_count += 8 * take;
                return;
            }
        }
        while (m_count <= 56 && m_pos < m_in.size()) {
            if constexpr (MsbFirst)
                m_bits |= std::uint64_t{m_in[m_pos++]} << (56 - m_count);
            else
                m_bits |= std::uint64_t{m_in[m_pos++]} << m_count;
            m_count += 8;
        }
    }

    std::span<const std::uint8_t> m_in;
    std::size_t m_pos = 0;
    std::uint64_t m_bits = 0;
    int m_count = 0;
};

// Every string of the table is a run of bytes already written: the previous code's string
// followed by the first byte of the string after it, which the output holds right behind it. So
// the table keeps just where each run starts and how long it is, and a code's string is a copy.
struct LzwTable
{
    std::array<std::uint32_t, kTableSize> start;
    std::array<std::uint16_t, kTableSize> length;
};

// Copies a run from earlier in the output; `source` + `length` lies at or before `target`, and the
// eight-byte steps may run past the run's end as long as they stay inside the output.
inline void CopyRun(std::uint8_t* target, const std::uint8_t* source, std::size_t length, const std::uint8_t* end)
{
    if (std::size_t(end - target) >= length + 8) {
        for (std::size_t i = 0; i < length; i += 8) {
            std::uint64_t chunk;
            std::memcpy(&chunk, source + i, 8);
            std::memcpy(target + i, &chunk, 8);
        }
    } else {
        for (std::size_t i = 0; i < length; ++i)
            target[i] = source[i];
    }
}

template <bool MsbFirst>
std::size_t Decode(std::span<const std::uint8_t> in, std::span<std::uint8_t> out)
{
    // The newer stream widens the codes one entry before the table needs it.
    constexpr unsigned kEarly = MsbFirst ? 1 : 0;
    // After a clear code the first string (a single byte) has no previous string to extend: it
    // makes a harmless entry in the slot of the end code, which never reads the table.
    constexpr unsigned kAfterClear = kEndCode;
    LzwTable table;
    LzwBits<MsbFirst> bits(in);
    // Runs are remembered by 32-bit positions.
    out = out.first(std::min<std::size_t>(out.size(), UINT32_MAX));
    std::uint8_t* const begin = out.data();
    std::uint8_t* o = begin;
    std::uint8_t* const end = begin + out.size();
    unsigned nextFree = kAfterClear;
    int width = 9;
    unsigned widen = (1u << width) - kEarly;
    std::size_t previousStart = 0, previousLength = 0;
    unsigned code = 0;

    while (o < end && bits.Next(width, code)) {
        std::size_t length = 1;
        if (code < 256) {
            *o = std::uint8_t(code);
        } else if (code < nextFree) {
            if (code <= kEndCode) {
                if (code == kEndCode)
                    break;
                nextFree = kAfterClear;
                width = 9;
                widen = (1u << width) - kEarly;
                continue;
            }
            length = table.length[code];
            if (length > std::size_t(end - o)) {
                std::memcpy(o, begin + table.start[code], std::size_t(end - o));
                o = end;
                break;
            }
            CopyRun(o, begin + table.start[code], length, end);
        } else if (code == nextFree && code < kTableSize && nextFree > kAfterClear) {
            // A code not yet in the table (KwKwK): the previous string and its own first byte.
            length = previousLength + 1;
            if (length > std::size_t(end - o)) {
                std::memmove(o, begin + previousStart, std::size_t(end - o));
                o = end;
                break;
            }
            std::memmove(o, begin + previousStart, previousLength);
            o[previousLength] = begin[previousStart];
        } else {
            // A clear or end code right after a clear, or a code beyond the table.
            if (code == kClearCode)
                continue;
            break;
        }
        if (nextFree < kTableSize) {
            table.start[nextFree] = std::uint32_t(previousStart);
            table.length[nextFree] = std::uint16_t(previousLength + 1);
            if (++nextFree >= widen && width < kMaxWidth)
                widen = (1u << ++width) - kEarly;
        }
        previousStart = std::size_t(o - begin);
        previousLength = length;
        o += length;
    }
    return std::size_t(o - begin);
}

}  // namespace

std::size_t DecodeTiffLzw(std::span<const std::uint8_t> in, std::span<std::uint8_t> out)
{
    // Every stream starts with the clear code 256: written from the top bit it begins with 0x80,
    // from the bottom bit with a zero byte followed by a byte with its lowest bit set.
    const bool oldStyle = in.size() >= 2 && in[0] == 0 && (in[1] & 1) != 0;
    return oldStyle ? Decode<false>(in, out) : Decode<true>(in, out);
}

std::uint64_t TiffMaxExpansion(std::uint32_t compression)
{
    switch (compression) {
    case 1:
        return 1;
    case 2:
        return 256;  // a 12-bit make-up code stands for 2560 pixels
    case 5:
        return 4096;  // a string of the table per 9-bit code at the most
    case 8:
    case 32946:
        return 1032;
    case 32773:
        return 64;
    default:
        return 0;
    }
}

std::uint64_t TiffMaxInput(std::uint32_t compression, std::uint64_t outBytes)
{
    constexpr std::uint64_t slack = 1024;
    switch (compression) {
    case 2:
        return outBytes * 8 + slack;  // single-pixel runs of up to 6 bits, byte-aligned rows, EOL codes
    case 5:
        return outBytes * 4 + slack;  // a 12-bit code per byte, and a clear code beside it
    case 8:
    case 32946:
        return outBytes * 8 + slack;  // 15-bit codes, a flush marker per short row
    case 32773:
        return outBytes * 2 + slack;  // single-byte literal runs
    default:
        return outBytes + slack;
    }
}
