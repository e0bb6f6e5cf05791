// Icons in the resource section of a PE file. The resource tree has three levels (type, name,
// language); the walk follows exactly those three, so a directory that points back at itself or an
// ancestor cannot make it loop, and every directory must lie inside the ".rsrc" section.

#include "imaging/ExecutableIcons.h"
#include "imaging/GraphicsException.h"
#include "imaging/IconDirectory.h"
#include "imaging/IconSource.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr std::uint32_t kCoffHeaderSize = 20;
constexpr std::uint32_t kSectionHeaderSize = 40;
constexpr std::uint32_t kDirectoryHeaderSize = 16;
constexpr std::uint32_t kDirectoryEntrySize = 8;
constexpr std::uint32_t kDataEntrySize = 16;
constexpr std::uint32_t kSubdirectoryBit = 0x80000000u;
constexpr char kResourceSectionName[8] = {'.', 'r', 's', 'r', 'c', 0, 0, 0};

const char* const kNotFound = GraphicsText::Icon::IconNotFound;
const char* const kBadFormat = GraphicsText::Icon::BadFileFormat;

struct Section
{
    std::uint32_t virtualAddress = 0;
    std::uint32_t rawSize = 0;
    std::uint32_t rawOffset = 0;
};

struct DirectoryEntry
{
    std::uint32_t name = 0;
    std::uint32_t target = 0;
    bool IsNamed() const { return (name & kSubdirectoryBit) != 0; }
    bool IsSubdirectory() const { return (target & kSubdirectoryBit) != 0; }
    std::uint32_t Offset() const { return target & ~kSubdirectoryBit; }
};

class CPeIcons final : public CExecutableIcons
{
public:
    CPeIcons(CIconSource& source, std::uint32_t headerOffset) : m_source(source) { ReadSections(headerOffset); }

    std::vector<std::uint8_t> GroupIcon(std::optional<std::uint16_t> id) override
    {
        return Resource(kResourceTypeGroupIcon, id);
    }
    std::vector<std::uint8_t> Icon(std::uint16_t id) override { return Resource(kResourceTypeIcon, id); }

private:
    void ReadSections(std::uint32_t headerOffset)
    {
        const std::uint64_t coff = std::uint64_t{headerOffset} + 4;
        const std::vector<std::uint8_t> header = m_source.ReadAt(coff, kCoffHeaderSize, kNotFound);
        const std::uint16_t count = IconLe16(header, 2);
        const std::uint64_t table = coff + kCoffHeaderSize + IconLe16(header, 16);
        if (!m_source.Contains(table, std::uint64_t{count} * kSectionHeaderSize))
            throw EIconError(kBadFormat);
        bool found = false;
        for (std::uint16_t i = 0; i < count; ++i) {
            const std::vector<std::uint8_t> raw = m_source.ReadAt(table + std::uint64_t{i} * kSectionHeaderSize,
                                                                  kSectionHeaderSize, kBadFormat);
            const Section section{IconLe32(raw, 12), IconLe32(raw, 16), IconLe32(raw, 20)};
            m_sections.push_back(section);
            if (!found && std::memcmp(raw.data(), kResourceSectionName, sizeof kResourceSectionName) == 0) {
                m_resources = section;
                found = true;
            }
        }
        if (!found || !m_source.Contains(m_resources.rawOffset, 0))
            throw EIconError(kNotFound);
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

    std::vector<DirectoryEntry> Directory(std::uint32_t offset)
    {
        const std::vector<std::uint8_t> header = SectionBytes(offset, kDirectoryHeaderSize);
        const std::uint32_t count = std::uint32_t{IconLe16(header, 12)} + IconLe16(header, 14);
        const std::vector<std::uint8_t> raw = SectionBytes(offset + kDirectoryHeaderSize, count * kDirectoryEntrySize);
        std::vector<DirectoryEntry> entries(count);
        for (std::uint32_t i = 0; i < count; ++i)
            entries[i] = {IconLe32(raw, i * kDirectoryEntrySize), IconLe32(raw, i * kDirectoryEntrySize + 4)};
        return entries;
    }

    // The entry with that integer identifier or, without one, the first; it must lead further down
    // (a subdirectory) or end the walk (data), as its level asks.
    static DirectoryEntry Pick(const std::vector<DirectoryEntry>& entries, std::optional<std::uint16_t> id,
                                      bool subdirectory)
    {
        for (const DirectoryEntry& entry : entries) {
            if (id && (entry.IsNamed() || entry.name != *id))
                continue;
            if (entry.IsSubdirectory() != subdirectory)
                throw EIconError(kBadFormat);
            return entry;
        }
        throw EIconError(kNotFound);
    }

    std::vector<std::uint8_t> Resource(std::uint16_t type, std::optional<std::uint16_t> id)
    {
        const DirectoryEntry byType = Pick(Directory(0), type, true);
        const DirectoryEntry byName = Pick(Directory(byType.Offset()), id, true);
        const DirectoryEntry byLanguage = Pick(Directory(byName.Offset()), std::nullopt, false);
        const std::vector<std::uint8_t> data = SectionBytes(byLanguage.Offset(), kDataEntrySize);
        const std::uint32_t address = IconLe32(data, 0);
        const std::uint32_t size = IconLe32(data, 4);
        if (size > kMaxIconImageSize)
            throw EIconError(GraphicsText::Icon::BlockTooLarge);
        return m_source.ReadAt(FileOffsetOf(address, size), size, kBadFormat);
    }

    // The data of a resource is addressed as loaded in memory; the section that holds it says where
    // it lies in the file.
    std::uint64_t FileOffsetOf(std::uint32_t address, std::uint32_t size) const
    {
        for (const Section& section : m_sections) {
            if (address < section.virtualAddress)
                continue;
            const std::uint64_t within = address - section.virtualAddress;
            if (within + size <= section.rawSize)
                return std::uint64_t{section.rawOffset} + within;
        }
        throw EIconError(kBadFormat);
    }

    CIconSource& m_source;
    std::vector<Section> m_sections;
    Section m_resources;
};

}  // namespace

std::unique_ptr<CExecutableIcons> OpenPeIcons(CIconSource& source, std::uint32_t headerOffset)
{
    return std::make_unique<CPeIcons>(source, headerOffset);
}
