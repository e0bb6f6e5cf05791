// Any bytes through the icon reader alone, as an icon file or an executable: the content detection
// never hands it a program, so the resource walks are reached only from here.

#include "imaging/GraphicsException.h"
#include "imaging/GraphicsImage.h"
#include "imaging/formats/icon/IconReader.h"
#include "support/DataStream.h"

#include <cstdint>
#include <optional>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 1 || size > (1u << 22))
        return 0;
    // The first byte picks the request and the group, so that every selection path is reached.
    const std::uint8_t selector = data[0];
    std::vector<std::uint8_t> bytes(data + 1, data + size);
    CDataStream stream;
    if (!stream.OpenMemory(bytes.data(), static_cast<std::int32_t>(bytes.size()), 0))
        return 0;
    const std::int32_t requests[] = {CIcoReader::LargestImage, 0, 1, CIcoReader::SizeRequest(32, 32, 0xFF)};
    std::optional<std::uint16_t> group;
    if ((selector & 4) != 0)
        group = static_cast<std::uint16_t>(selector >> 3);
    CGraphicsImage image;
    std::vector<CIconEntryInfo> entries;
    try {
        CIcoReader().Read(stream, image, &entries, requests[selector & 3], group);
        for (std::uint32_t y = 0; y < image.Height(); ++y)
            (void)image.RowTo32(image.Row(y));
    } catch (const EGraphicsException&) {
    }
    return 0;
}
