#include "imaging/formats/icon/IconDirectory.h"

#include "imaging/GraphicsException.h"
#include "imaging/formats/icon/IconSource.h"

#include <algorithm>
#include <iterator>

namespace {

constexpr std::uint32_t kIgnoredRequestBits = 0x03000000u;
constexpr std::uint32_t kPackedRequestTag = 0x80u;
constexpr std::uint8_t kHighestBitCount = 0xFF;

std::uint32_t SizeOfByte(std::uint8_t value)
{
    return value == 0 ? 256u : value;
}

IconDirectoryEntry ParseCommon(std::span<const std::uint8_t> entry)
{
    IconDirectoryEntry parsed;
    parsed.info.width = SizeOfByte(entry[0]);
    parsed.info.height = SizeOfByte(entry[1]);
    parsed.colorCount = entry[2];
    parsed.info.bitCount = IconLe16(entry, 6);
    parsed.dataSize = IconLe32(entry, 8);
    return parsed;
}

bool HasMoreBits(const IconDirectoryEntry& a, const IconDirectoryEntry& b)
{
    return a.info.bitCount > b.info.bitCount;
}

}  // namespace

IconDirectoryEntry ParseIconFileEntry(std::span<const std::uint8_t> entry)
{
    IconDirectoryEntry parsed = ParseCommon(entry);
    parsed.location = IconLe32(entry, 12);
    return parsed;
}

IconDirectoryEntry ParseIconGroupEntry(std::span<const std::uint8_t> entry)
{
    IconDirectoryEntry parsed = ParseCommon(entry);
    parsed.location = IconLe16(entry, 12);
    return parsed;
}

int BitsForColorCount(unsigned count)
{
    int bits = 0;
    while (bits < 8 && (1u << bits) < count)
        ++bits;
    return count == 0 ? 0 : bits;
}

bool IsPngIconImage(std::span<const std::uint8_t> data)
{
    static constexpr std::uint8_t kPngSignature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    return data.size() >= sizeof kPngSignature && std::equal(std::begin(kPngSignature), std::end(kPngSignature), data.begin());
}

int BitCountOfIconImage(std::span<const std::uint8_t> head)
{
    if (head.size() >= kIconImageHeadSize && IsPngIconImage(head)) {
        // IHDR follows the signature: bit depth at 24, colour type at 25.
        const int depth = head[24];
        switch (head[25]) {
        case 2:
            return 3 * depth;
        case 4:
            return 2 * depth;
        case 6:
            return 4 * depth;
        default:
            return depth;
        }
    }
    if (head.size() >= 16 && IconLe32(head, 0) == 40)
        return IconLe16(head, 14);
    return 0;
}

std::size_t ChooseIconEntry(std::span<const IconDirectoryEntry> entries, std::int32_t request)
{
    const std::uint32_t value = static_cast<std::uint32_t>(request) & ~kIgnoredRequestBits;
    if (static_cast<std::int32_t>(value) >= 0) {
        if (value >= entries.size())
            throw EIconError(GraphicsText::Icon::IconNotFound);
        return value;
    }

    std::size_t chosen = entries.size();
    if (value >> 24 == kPackedRequestTag) {
        const std::uint32_t width = SizeOfByte(static_cast<std::uint8_t>(value));
        const std::uint32_t height = SizeOfByte(static_cast<std::uint8_t>(value >> 8));
        const auto bits = static_cast<std::uint8_t>(value >> 16);
        for (std::size_t i = 0; i < entries.size(); ++i) {
            const IconDirectoryEntry& entry = entries[i];
            if (entry.info.width != width || entry.info.height != height)
                continue;
            if (bits == kHighestBitCount) {
                if (chosen == entries.size() || HasMoreBits(entry, entries[chosen]))
                    chosen = i;
            } else if (entry.info.bitCount == bits) {
                chosen = i;
                break;
            }
        }
    } else {
        std::uint64_t bestArea = 0;
        for (std::size_t i = 0; i < entries.size(); ++i) {
            const std::uint64_t area = std::uint64_t{entries[i].info.width} * entries[i].info.height;
            if (chosen == entries.size() || area > bestArea ||
                (area == bestArea && HasMoreBits(entries[i], entries[chosen]))) {
                chosen = i;
                bestArea = area;
            }
        }
    }
    if (chosen == entries.size())
        throw EIconError(GraphicsText::Icon::IconNotFound);
    return chosen;
}
