#include "imaging/formats/bmp/BmpHeader.h"

#include "support/ByteOrder.h"

namespace Bmp {

Header ParseCoreHeader(std::span<const std::uint8_t, kCoreHeaderSize> bytes)
{
    Header header;
    header.size = LoadLE32(&bytes[0]);
    header.width = std::int32_t(LoadLE16(&bytes[4]));
    header.height = std::int32_t(LoadLE16(&bytes[6]));
    header.bitCount = LoadLE16(&bytes[10]);
    return header;
}

Header ParseInfoHeader(std::span<const std::uint8_t> bytes)
{
    Header header;
    if (bytes.size() < kInfoHeaderSize)
        return header;
    header.size = LoadLE32(&bytes[0]);
    header.width = std::int32_t(LoadLE32(&bytes[4]));
    header.height = std::int32_t(LoadLE32(&bytes[8]));
    header.bitCount = LoadLE16(&bytes[14]);
    header.compression = LoadLE32(&bytes[16]);
    header.xResolution = std::int32_t(LoadLE32(&bytes[24]));
    header.yResolution = std::int32_t(LoadLE32(&bytes[28]));
    header.coloursUsed = LoadLE32(&bytes[32]);
    if (header.compression == kCompressionBitFields && bytes.size() >= kMasksInHeaderSize) {
        for (std::size_t i = 0; i < 3; ++i)
            header.masks[i] = LoadLE32(&bytes[40 + 4 * i]);
        if (header.size >= kAlphaInHeaderSize && bytes.size() >= kAlphaInHeaderSize)
            header.masks[3] = LoadLE32(&bytes[52]);
    }
    return header;
}

}  // namespace Bmp
