// Icons in the resource table of an NE (16-bit Windows) file. The table is a list of types, each
// followed by its resources, and ends with a type of 0; offsets and lengths count in units of a
// power of two given at its start. The walk only moves forward and stays inside the file.

#include "imaging/ExecutableIcons.h"
#include "imaging/GraphicsException.h"
#include "imaging/IconDirectory.h"
#include "imaging/IconSource.h"

#include <algorithm>

namespace {

constexpr std::uint64_t kResourceTableField = 0x24;
constexpr std::uint32_t kTypeInfoSize = 8;
constexpr std::uint32_t kNameInfoSize = 12;
// Integer identifiers of types and resources carry this bit; names do not.
constexpr std::uint16_t kIntegerId = 0x8000;
// No real file aligns its resources beyond 64 KiB.
constexpr std::uint16_t kMaxAlignmentShift = 16;

const char* const kNotFound = GraphicsText::Icon::IconNotFound;
const char* const kBadFormat = GraphicsText::Icon::BadFileFormat;

struct NeResource
{
    std::uint16_t type = 0;
    std::uint16_t id = 0;
    std::uint64_t offset = 0;
    std::uint64_t length = 0;
};

class CNeIcons final : public CExecutableIcons
{
public:
    CNeIcons(CIconSource& source, std::uint32_t headerOffset) : m_source(source) { ReadTable(headerOffset); }

    std::vector<std::uint8_t> GroupIcon(std::optional<std::uint16_t> id) override
    {
        return Resource(kResourceTypeGroupIcon, id);
    }
    std::vector<std::uint8_t> Icon(std::uint16_t id) override { return Resource(kResourceTypeIcon, id); }

private:
    void ReadTable(std::uint32_t headerOffset)
    {
        const std::uint64_t table = headerOffset + std::uint64_t{m_source.U16At(headerOffset + kResourceTableField, kNotFound)};
        const std::uint16_t shift = m_source.U16At(table, kNotFound);
        if (shift > kMaxAlignmentShift)
            throw EIconError(kBadFormat);
        std::uint64_t position = table + 2;
        for (;;) {
            const std::uint16_t type = m_source.U16At(position, kBadFormat);
            if (type == 0)
                break;
            const std::uint16_t count = m_source.U16At(position + 2, kBadFormat);
            position += kTypeInfoSize;
            const std::vector<std::uint8_t> names =
                m_source.ReadAt(position, std::uint32_t{count} * kNameInfoSize, kBadFormat);
            position += names.size();
            for (std::uint32_t i = 0; i < count; ++i) {
                const std::uint32_t at = i * kNameInfoSize;
                m_resources.push_back({type, IconLe16(names, at + 6), std::uint64_t{IconLe16(names, at)} << shift,
                                       std::uint64_t{IconLe16(names, at + 2)} << shift});
            }
        }
    }

    std::vector<std::uint8_t> Resource(std::uint16_t type, std::optional<std::uint16_t> id)
    {
        for (const NeResource& resource : m_resources) {
            if (resource.type != (type | kIntegerId) || (id && resource.id != (*id | kIntegerId)))
                continue;
            if (resource.length > kMaxIconImageSize)
                throw EIconError(GraphicsText::Icon::BlockTooLarge);
            // The length is rounded up to the alignment, so the last resource may end past the file.
            if (!m_source.Contains(resource.offset, 0))
                throw EIconError(kBadFormat);
            const std::uint64_t length = std::min(resource.length, m_source.Size() - resource.offset);
            return m_source.ReadAt(resource.offset, static_cast<std::uint32_t>(length), kBadFormat);
        }
        throw EIconError(kNotFound);
    }

    CIconSource& m_source;
    std::vector<NeResource> m_resources;
};

}  // namespace

std::unique_ptr<CExecutableIcons> OpenNeIcons(CIconSource& source, std::uint32_t headerOffset)
{
    return std::make_unique<CNeIcons>(source, headerOffset);
}
