#pragma once
// Reads one image of an icon (.ICO) or cursor (.CUR) file, or of the icon resources of a Windows
// executable (PE or NE). There is no icon writer. Every failure of the reader's own is an
// EIconError; a PNG image inside an icon fails as the PNG reader does.

#include "imaging/GraphicsCodec.h"
#include "imaging/formats/icon/IconDirectory.h"

#include <cstdint>
#include <optional>
#include <vector>

class CIcoReader : public CGraphicsReader
{
public:
    // The request that takes the largest image with the most bits.
    static constexpr std::int32_t LargestImage = -1;

    // A request for the image of that size and bit count (0xFF: the most bits there are).
    static constexpr std::int32_t SizeRequest(std::uint8_t width, std::uint8_t height, std::uint8_t bitCount)
    {
        return static_cast<std::int32_t>(0x80000000u | std::uint32_t{bitCount} << 16 | std::uint32_t{height} << 8 | width);
    }

    using CGraphicsReader::Read;
    void Read(CDataStream& stream, CGraphicsImage& image) override;

    // entries, when given, receives every image of the directory the picture was chosen from.
    // request: an entry number, a SizeRequest or LargestImage. groupId picks the group-icon resource
    // of an executable (the first one without it); an icon or cursor file has none.
    void Read(CDataStream& stream, CGraphicsImage& image, std::vector<CIconEntryInfo>* entries,
              std::int32_t request, std::optional<std::uint16_t> groupId = std::nullopt);

    // Fills entries with every image of the directory instead of decoding one; returns their number.
    int ReadDirectory(CDataStream& stream, std::vector<CIconEntryInfo>& entries,
                      std::optional<std::uint16_t> groupId = std::nullopt);

protected:
    [[noreturn]] void ThrowOpenError() const override;
};
