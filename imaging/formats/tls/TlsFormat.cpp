#include "imaging/formats/tls/TlsFormat.h"

#include "support/ByteOrder.h"

#include <cstring>

namespace tls {
namespace {

constexpr std::array<std::uint8_t, 4> kMagic = {'T', 'L', 'S', 'P'};

constexpr std::array<std::uint16_t, 256> MakeCrcTable()
{
    std::array<std::uint16_t, 256> table{};
    for (unsigned i = 0; i < 256; ++i) {
        unsigned crc = i << 8;
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 0x8000) != 0 ? (crc << 1) ^ 0x1021 : crc << 1;
        table[i] = static_cast<std::uint16_t>(crc);
    }
    return table;
}

constexpr std::array<std::uint16_t, 256> kCrcTable = MakeCrcTable();

std::uint32_t Word(const AttributeBlock& block, std::uint32_t index)
{
    return LoadLE32(block.data() + 4 * index);
}

void SetWord(AttributeBlock& block, std::uint32_t index, std::uint32_t value)
{
    StoreLE32(block.data() + 4 * index, value);
}

}  // namespace

std::array<std::uint8_t, kHeaderSize> Header::Bytes() const
{
    std::array<std::uint8_t, kHeaderSize> bytes{};
    std::memcpy(bytes.data(), kMagic.data(), kMagic.size());
    StoreLE16(&bytes[4], width);
    StoreLE16(&bytes[6], height);
    bytes[8] = bytesPerPixel;
    bytes[9] = lastFrame;
    StoreLE16(&bytes[10], crc);
    StoreLE32(&bytes[12], userValue);
    return bytes;
}

bool Header::Parse(std::span<const std::uint8_t, kHeaderSize> bytes)
{
    if (std::memcmp(bytes.data(), kMagic.data(), kMagic.size()) != 0)
        return false;
    width = LoadLE16(&bytes[4]);
    height = LoadLE16(&bytes[6]);
    bytesPerPixel = bytes[8];
    lastFrame = bytes[9];
    crc = LoadLE16(&bytes[10]);
    userValue = LoadLE32(&bytes[12]);
    return true;
}

void Crc16::Add(std::span<const std::uint8_t> bytes)
{
    std::uint16_t crc = m_value;
    for (const std::uint8_t byte : bytes)
        crc = static_cast<std::uint16_t>(crc << 8) ^ kCrcTable[((crc >> 8) ^ byte) & 0xFF];
    m_value = crc;
}

std::uint8_t Attribute(const AttributeBlock& block, std::uint32_t i)
{
    return static_cast<std::uint8_t>((Word(block, i & 15) >> ((i >> 4) * 3)) & 7);
}

void SetAttribute(AttributeBlock& block, std::uint32_t i, std::uint8_t value)
{
    const std::uint32_t shift = (i >> 4) * 3;
    const std::uint32_t mask = std::uint32_t{7} << shift;
    SetWord(block, i & 15, (Word(block, i & 15) & ~mask) | ((std::uint32_t{value} << shift) & mask));
}

}  // namespace tls
