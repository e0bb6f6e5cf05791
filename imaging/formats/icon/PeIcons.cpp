// Icons in the resource section of a PE file. The resource tree has three levels (type, name,
// language); the walk follows exactly those three and reads each directory at most once, so entries
// that point back at the root or share a directory cost one step each, and every directory must lie
// inside the ".rsrc" section.

#include "imaging/formats/icon/ExecutableIcons.h"
#include "imaging/GraphicsException.h"
#include "imaging/formats/icon/IconSource.h"

#include <algorithm>
#include <cstring>
#include <unordered_set>

namespace {

constexpr std::uint32_t kCoffHeaderSize = 20;
constexpr std::uint32_t kSectionHeaderSize = 40;
constexpr std::uint32_t kDirectoryHeaderSize = 16;
constexpr std::uint32_t kDirectoryEntrySize = 8;
constexpr std::uint32_t kDataEntrySize = 16;
constexpr std::uint32_t kHighBit = 0x80000000u;
constexpr char kResourceSectionName[8] = {'.', 'r', 's', 'r', 'c', 0, 0, 0};

const char* const kBadFormat = GraphicsText::Icon::BadFileFormat;

struct Section
{
    std::uint32_t virtualAddress = 0;
    std::uint32_t rawSize = 0;
    std::uint32_t rawOffset = 0;
};

struct DirectoryEntry
{
    std::uint32_t name = 0;    // high bit: a name string, else an integer identifier
    std::uint32_t target = 0;  // high bit: a subdirectory, else a data entry
    bool IsSubdirectory() const { return (target & kHighBit) != 0; }
    std::uint32_t Offset() const { return target & ~kHighBit; }
    std::optional<std::uint16_t> Id() const
    {
        if ((name & kHighBit) != 0 || name > UINT16_MAX)
            return std::nullopt;
        return static_cast<std::uint16_t>(name);
    }
};

class CPeResourceWalk
{
public:
    CPeResourceWalk(CIconSource& source, std::uint32_t headerOffset) : m_source(source)
    {
        ReadSections(headerOffset);
    }

    void Index(CExecutableIcons& icons)
    {
        m_visited.insert(0);
        for (const DirectoryEntry& byType : Directory(0)) {
            const std::optional<std::uint16_t> type = byType.Id();
            if (!type || (*type != kResourceTypeIcon && *type != kResourceTypeGroupIcon) || !byType.IsSubdirectory() ||
                !FirstVisit(byType.Offset()))
                continue;
            for (const DirectoryEntry& byName : Directory(byType.Offset())) {
                if (!byName.IsSubdirectory() || !FirstVisit(byName.Offset()))
                    continue;
                // Of the languages a resource comes in, the first is taken.
                const std::vector<DirectoryEntry> languages = Directory(byName.Offset(), 1);
                if (languages.empty() || languages.front().IsSubdirectory())
                    continue;
                if (const std::optional<ResourceBlock> block = DataBlock(languages.front().Offset()))
                    icons.Add(*type, byName.Id(), *block);
            }
        }
    }

private:
    bool FirstVisit(std::uint32_t directory) { return m_visited.insert(directory).second; }

    void ReadSections(std::uint32_t headerOffset)
    {
        const std::uint64_t coff = std::uint64_t{headerOffset} + 4;
        const std::vector<std::uint8_t> header = m_source.ReadAt(coff, kCoffHeaderSize, kBadFormat);
        const std::uint16_t count = IconLe16(header, 2);
        const std::uint64_t table = coff + kCoffHeaderSize + IconLe16(header, 16);
        const std::vector<std::uint8_t> raw = m_source.ReadAt(table, count * kSectionHeaderSize, kBadFormat);
        bool found = false;
        for (std::uint32_t at = 0; at < raw.size(); at += kSectionHeaderSize) {
            const Section section{IconLe32(raw, at + 12), IconLe32(raw, at + 16), IconLe32(raw, at + 20)};
            m_sections.push_back(section);
            if (!found && std::memcmp(raw.data() + at, kResourceSectionName, sizeof kResourceSectionName) == 0) {
                m_resources = section;
                found = true;
            }
        }
        if (!found || !m_source.Contains(m_resources.rawOffset, 0))
            throw EIconError(GraphicsText::Icon::IconNotFound);
        // Raw data beyond the file's end (a truncated file) does not count.
        m_resources.rawSize = static_cast<std::uint32_t>(
            std::min<std::uint64_t>(m_resources.rawSize, m_source.Size() - m_resources.rawOffset));
    }

    // The bytes at an offset inside the resource section.
    std::vector<std::uint8_t> SectionBytes(std::uint32_t offset, std::uint32_t length)
    {
        if (offset > m_resources.rawSize || length > m_resources.rawSize - offset)
            throw EIconError(kBadFormat);
        return m_source.ReadAt(std::uint64_t{m_resources.rawOffset} + offset, length, kBadFormat);
    }

    std::vector<DirectoryEntry> Directory(std::uint32_t offset, std::uint32_t atMost = UINT32_MAX)
    {
        const std::vector<std::uint8_t> header = SectionBytes(offset, kDirectoryHeaderSize);
        const std::uint32_t count = std::min(std::uint32_t{IconLe16(header, 12)} + IconLe16(header, 14), atMost);
        const std::vector<std::uint8_t> raw = SectionBytes(offset + kDirectoryHeaderSize, count * kDirectoryEntrySize);
        std::vector<DirectoryEntry> entries(count);
        for (std::uint32_t i = 0; i < count; ++i)
            entries[i] = {IconLe32(raw, i * kDirectoryEntrySize), IconLe32(raw, i * kDirectoryEntrySize + 4)};
        return entries;
    }

    // The data of a resource is addressed as loaded in memory; the section that holds it says where
    // it lies in the file. None when no section holds it.
    std::optional<ResourceBlock> DataBlock(std::uint32_t dataEntry)
    {
        const std::vector<std::uint8_t> data = SectionBytes(dataEntry, kDataEntrySize);
        const std::uint32_t address = IconLe32(data, 0);
        const std::uint32_t size = IconLe32(data, 4);
        for (const Section& section : m_sections) {
            if (address < section.virtualAddress)
                continue;
            const std::uint64_t within = address - section.virtualAddress;
            if (within <= section.rawSize && size <= section.rawSize - within)
                return ResourceBlock{std::uint64_t{section.rawOffset} + within, size};
        }
        return std::nullopt;
    }

    CIconSource& m_source;
    std::vector<Section> m_sections;
    Section m_resources;
    std::unordered_set<std::uint32_t> m_visited;
};

}  // namespace

void IndexPeIcons(CIconSource& source, std::uint32_t headerOffset, CExecutableIcons& icons)
{
    CPeResourceWalk(source, headerOffset).Index(icons);
}
