// Icons in the resource table of an NE (16-bit Windows) file. The table is a list of types, each
// followed by its resources, and ends with a type of 0; offsets and lengths count in units of a
// power of two given at its start. The walk only moves forward and stays inside the file.

#include "imaging/formats/icon/ExecutableIcons.h"
#include "imaging/GraphicsException.h"
#include "imaging/formats/icon/IconDirectory.h"
#include "imaging/formats/icon/IconSource.h"

#include <algorithm>

namespace {

constexpr std::uint64_t kResourceTableField = 0x24;
constexpr std::uint32_t kTypeInfoSize = 8;
constexpr std::uint32_t kNameInfoSize = 12;
// Integer identifiers of types and resources carry this bit; names do not.
constexpr std::uint16_t kIntegerId = 0x8000;
// No real file aligns its resources beyond 64 KiB.
constexpr std::uint16_t kMaxAlignmentShift = 16;

const char* const kBadFormat = GraphicsText::Icon::BadFileFormat;

std::optional<std::uint16_t> IntegerId(std::uint16_t value)
{
    if ((value & kIntegerId) == 0)
        return std::nullopt;
    return static_cast<std::uint16_t>(value & ~kIntegerId);
}

}  // namespace

void IndexNeIcons(CIconSource& source, std::uint32_t headerOffset, CExecutableIcons& icons)
{
    const std::uint64_t table =
        headerOffset + std::uint64_t{source.U16At(headerOffset + kResourceTableField, GraphicsText::Icon::IconNotFound)};
    const std::uint16_t shift = source.U16At(table, GraphicsText::Icon::IconNotFound);
    if (shift > kMaxAlignmentShift)
        throw EIconError(kBadFormat);
    std::uint64_t position = table + 2;
    for (;;) {
        const std::uint16_t typeField = source.U16At(position, kBadFormat);
        if (typeField == 0)
            break;
        const std::uint16_t count = source.U16At(position + 2, kBadFormat);
        position += kTypeInfoSize;
        const std::vector<std::uint8_t> names = source.ReadAt(position, count * kNameInfoSize, kBadFormat);
        position += names.size();
        const std::optional<std::uint16_t> type = IntegerId(typeField);
        if (!type)
            continue;
        for (std::uint32_t at = 0; at < names.size(); at += kNameInfoSize) {
            const std::uint64_t offset = std::uint64_t{IconLe16(names, at)} << shift;
            // The length is rounded up to the alignment, so the last resource may end past the file;
            // a block too large for any icon stays as it is to be refused as such.
            if (!source.Contains(offset, 0))
                continue;
            std::uint64_t length = std::uint64_t{IconLe16(names, at + 2)} << shift;
            if (length <= kMaxIconImageSize)
                length = std::min(length, source.Size() - offset);
            icons.Add(*type, IntegerId(IconLe16(names, at + 6)), {offset, length});
        }
    }
}
