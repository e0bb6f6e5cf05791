#include "imaging/formats/icon/ExecutableIcons.h"

#include "imaging/GraphicsException.h"
#include "imaging/formats/icon/IconDirectory.h"
#include "imaging/formats/icon/IconSource.h"

#include <algorithm>

namespace {

constexpr std::uint64_t kNewHeaderPointer = 0x3C;
// The new header cannot start inside the DOS header fields it is found through.
constexpr std::uint32_t kLowestNewHeader = 0x39;

}  // namespace

void CExecutableIcons::Add(std::uint16_t type, std::optional<std::uint16_t> id, ResourceBlock block)
{
    if (type == kResourceTypeGroupIcon && !m_firstGroup)
        m_firstGroup = block;
    if ((type == kResourceTypeIcon || type == kResourceTypeGroupIcon) && id)
        m_byId.emplace(std::pair(type, *id), block);
}

std::vector<std::uint8_t> CExecutableIcons::GroupIcon(std::optional<std::uint16_t> id) const
{
    if (!id) {
        if (!m_firstGroup)
            throw EIconError(GraphicsText::Icon::IconNotFound);
        return Read(*m_firstGroup, UINT32_MAX);
    }
    const auto found = m_byId.find({kResourceTypeGroupIcon, *id});
    if (found == m_byId.end())
        throw EIconError(GraphicsText::Icon::IconNotFound);
    return Read(found->second, UINT32_MAX);
}

std::vector<std::uint8_t> CExecutableIcons::Icon(std::uint16_t id, std::uint32_t prefix) const
{
    const auto found = m_byId.find({kResourceTypeIcon, id});
    if (found == m_byId.end())
        throw EIconError(GraphicsText::Icon::IconNotFound);
    return Read(found->second, prefix);
}

std::vector<std::uint8_t> CExecutableIcons::Read(const ResourceBlock& block, std::uint32_t prefix) const
{
    if (block.length > kMaxIconImageSize)
        throw EIconError(GraphicsText::Icon::BlockTooLarge);
    const auto length = static_cast<std::uint32_t>(std::min<std::uint64_t>(block.length, prefix));
    return m_source.ReadAt(block.offset, length, GraphicsText::Icon::BadFileFormat);
}

CExecutableIcons OpenExecutableIcons(CIconSource& source)
{
    const std::uint32_t headerOffset = source.U32At(kNewHeaderPointer, GraphicsText::Icon::OpenFailed);
    if (headerOffset < kLowestNewHeader || !source.Contains(headerOffset, 4))
        throw EIconError(GraphicsText::Icon::IconNotFound);
    const std::vector<std::uint8_t> signature = source.ReadAt(headerOffset, 4, GraphicsText::Icon::IconNotFound);
    CExecutableIcons icons(source);
    if (signature[0] == 'P' && signature[1] == 'E' && signature[2] == 0 && signature[3] == 0)
        IndexPeIcons(source, headerOffset, icons);
    else if (signature[0] == 'N' && signature[1] == 'E')
        IndexNeIcons(source, headerOffset, icons);
    else
        throw EIconError(GraphicsText::Icon::IconNotFound);
    return icons;
}
