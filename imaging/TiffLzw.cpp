#include "imaging/TiffDecompress.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace {

constexpr unsigned kClearCode = 256;
constexpr unsigned kEndCode = 257;
constexpr unsigned kFirstFree = 258;
constexpr unsigned kTableSize = 4096;
constexpr int kMaxWidth = 12;

// A string of the table: its last byte, its first byte, its length and the code of the string one
// shorter. Strings are written back to front along the prefix chain.
struct LzwEntry
{
    std::uint16_t prefix;
    std::uint16_t length;
    std::uint8_t first;
    std::uint8_t last;
};

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
        while (m_count <= 56 && m_pos < m_in.size()) {
            if constexpr (MsbFirst)
                m_bits |= std::uint64_t{m_in[m_pos++]} << (56 - m_count);
            else
                m_bits |= std::uint64_t{m_in[m_pos++]} << m_count;
            m_count += 8;
        }
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
    std::span<const std::uint8_t> m_in;
    std::size_t m_pos = 0;
    std::uint64_t m_bits = 0;
    int m_count = 0;
};

template <bool MsbFirst>
std::size_t Decode(std::span<const std::uint8_t> in, std::span<std::uint8_t> out)
{
    // The newer stream widens the codes one entry before the table needs it.
    constexpr unsigned kEarly = MsbFirst ? 1 : 0;
    std::array<LzwEntry, kTableSize> table;
    for (unsigned i = 0; i < 256; ++i)
        table[i] = {0, 1, std::uint8_t(i), std::uint8_t(i)};

    LzwBits<MsbFirst> bits(in);
    std::uint8_t* const begin = out.data();
    std::uint8_t* o = begin;
    std::uint8_t* const end = begin + out.size();
    unsigned nextFree = kFirstFree;
    int width = 9;
    unsigned previous = kClearCode;  // kClearCode: no string yet to extend
    unsigned code = 0;

    while (o < end && bits.Next(width, code)) {
        if (code == kEndCode)
            break;
        if (code == kClearCode) {
            nextFree = kFirstFree;
            width = 9;
            previous = kClearCode;
            continue;
        }
        if (previous == kClearCode) {
            if (code >= 256)
                break;
            *o++ = std::uint8_t(code);
            previous = code;
            continue;
        }
        if (code > nextFree || (code == nextFree && nextFree >= kTableSize))
            break;
        if (nextFree < kTableSize) {
            // For the code not yet in the table (KwKwK) the new string is its own first byte
            // appended to the previous string.
            const std::uint8_t first = code == nextFree ? table[previous].first : table[code].first;
            const LzwEntry& before = table[previous];
            table[nextFree] = {std::uint16_t(previous), std::uint16_t(before.length + 1), before.first, first};
            ++nextFree;
            if (nextFree + kEarly >= (1u << width) && width < kMaxWidth)
                ++width;
        }
        const LzwEntry& entry = table[code];
        if (entry.length > std::size_t(end - o)) {
            // Only the beginning of the last string fits.
            std::array<std::uint8_t, kTableSize> whole;
            unsigned c = code;
            for (int i = entry.length - 1; i >= 0; --i, c = table[c].prefix)
                whole[std::size_t(i)] = table[c].last;
            const std::size_t fits = std::size_t(end - o);
            std::memcpy(o, whole.data(), fits);
            o += fits;
            break;
        }
        std::uint8_t* p = o + entry.length - 1;
        unsigned c = code;
        while (p > o) {
            *p-- = table[c].last;
            c = table[c].prefix;
        }
        *p = table[c].last;
        o += entry.length;
        previous = code;
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
