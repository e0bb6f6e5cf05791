#include "imaging/formats/icon/IconReader.h"

#include "imaging/formats/icon/ExecutableIcons.h"
#include "imaging/GraphicsException.h"
#include "imaging/formats/icon/IconImage.h"
#include "imaging/formats/icon/IconSource.h"

#include <algorithm>
#include <memory>

namespace {

constexpr std::uint16_t kMaxFileEntries = 32;
constexpr std::uint8_t kExecutableMagic[] = {'M', 'Z'};

// The directory that was found, and how to get at each image's bytes.
class CIconDirectory
{
public:
    virtual ~CIconDirectory() = default;
    virtual std::vector<std::uint8_t> ImageData(const IconDirectoryEntry& entry) = 0;
    // The first bytes of an image, when the directory does not tell its bit count.
    virtual std::vector<std::uint8_t> ImageHead(const IconDirectoryEntry& entry) = 0;

    std::vector<IconDirectoryEntry> entries;
    bool cursor = false;
};

class CFileDirectory final : public CIconDirectory
{
public:
    CFileDirectory(CIconSource& source, const std::vector<std::uint8_t>& header) : m_source(source)
    {
        cursor = IconLe16(header, 2) == kIconTypeCursor;
        const std::uint16_t count = IconLe16(header, 4);
        const std::vector<std::uint8_t> raw =
            source.ReadAt(kIconHeaderSize, count * kIconFileEntrySize, GraphicsText::Icon::ReadFromFileFailed);
        for (std::uint16_t i = 0; i < count; ++i) {
            IconDirectoryEntry entry = ParseIconFileEntry(std::span(raw).subspan(i * kIconFileEntrySize, kIconFileEntrySize));
            // A cursor keeps its hot spot where an icon has planes and bit count.
            if (cursor)
                entry.info.bitCount = BitsForColorCount(entry.colorCount);
            entries.push_back(entry);
        }
    }

    std::vector<std::uint8_t> ImageData(const IconDirectoryEntry& entry) override
    {
        if (entry.dataSize > kMaxIconImageSize)
            throw EIconError(GraphicsText::Icon::BadFileFormat);
        return m_source.ReadAt(entry.location, entry.dataSize, GraphicsText::Icon::ReadFromFileFailed);
    }

    std::vector<std::uint8_t> ImageHead(const IconDirectoryEntry& entry) override
    {
        const std::uint32_t length = std::min(entry.dataSize, kIconImageHeadSize);
        if (!m_source.Contains(entry.location, length))
            return {};
        return m_source.ReadAt(entry.location, length, GraphicsText::Icon::ReadFromFileFailed);
    }

private:
    CIconSource& m_source;
};

class CGroupDirectory final : public CIconDirectory
{
public:
    CGroupDirectory(CIconSource& source, std::optional<std::uint16_t> groupId)
        : m_icons(OpenExecutableIcons(source))
    {
        const std::vector<std::uint8_t> group = m_icons.GroupIcon(groupId);
        if (group.size() < kIconHeaderSize || IconLe16(group, 0) != 0 || IconLe16(group, 2) != kIconTypeIcon)
            throw EIconError(GraphicsText::Icon::BadFileFormat);
        const std::size_t count = IconLe16(group, 4);
        if (count == 0 || group.size() < kIconHeaderSize + count * kIconGroupEntrySize)
            throw EIconError(GraphicsText::Icon::BadFileFormat);
        for (std::size_t i = 0; i < count; ++i)
            entries.push_back(ParseIconGroupEntry(
                std::span(group).subspan(kIconHeaderSize + i * kIconGroupEntrySize, kIconGroupEntrySize)));
    }

    std::vector<std::uint8_t> ImageData(const IconDirectoryEntry& entry) override
    {
        return m_icons.Icon(static_cast<std::uint16_t>(entry.location));
    }
    std::vector<std::uint8_t> ImageHead(const IconDirectoryEntry& entry) override
    {
        return m_icons.Icon(static_cast<std::uint16_t>(entry.location), kIconImageHeadSize);
    }

private:
    CExecutableIcons m_icons;
};

std::unique_ptr<CIconDirectory> OpenDirectory(CIconSource& source, std::optional<std::uint16_t> groupId)
{
    if (source.Size() < kIconHeaderSize)
        throw EIconError(GraphicsText::Icon::OpenFailed);
    const std::vector<std::uint8_t> header =
        source.ReadAt(0, kIconHeaderSize, GraphicsText::Icon::OpenFailed);
    std::unique_ptr<CIconDirectory> directory;
    if (IconLe16(header, 0) == 0) {
        const std::uint16_t type = IconLe16(header, 2);
        const std::uint16_t count = IconLe16(header, 4);
        if ((type != kIconTypeIcon && type != kIconTypeCursor) || count < 1 || count > kMaxFileEntries || groupId)
            throw EIconError(GraphicsText::Icon::IconNotFound);
        directory = std::make_unique<CFileDirectory>(source, header);
    } else if (header[0] == kExecutableMagic[0] && header[1] == kExecutableMagic[1]) {
        directory = std::make_unique<CGroupDirectory>(source, groupId);
    } else {
        throw EIconError(GraphicsText::Icon::IconNotFound);
    }
    // The bit count decides between images of one size; where the directory leaves it out, the
    // image's own header tells it.
    for (IconDirectoryEntry& entry : directory->entries)
        if (entry.info.bitCount == 0)
            entry.info.bitCount = BitCountOfIconImage(directory->ImageHead(entry));
    return directory;
}

void ListEntries(const CIconDirectory& directory, std::vector<CIconEntryInfo>& entries)
{
    entries.clear();
    for (const IconDirectoryEntry& entry : directory.entries)
        entries.push_back(entry.info);
}

}  // namespace

void CIcoReader::Read(CDataStream& stream, CGraphicsImage& image)
{
    Read(stream, image, nullptr, LargestImage);
}

void CIcoReader::Read(CDataStream& stream, CGraphicsImage& image, std::vector<CIconEntryInfo>* entries,
                      std::int32_t request, std::optional<std::uint16_t> groupId)
{
    Info().ReportProgress(0);
    CIconSource source(stream);
    const std::unique_ptr<CIconDirectory> directory = OpenDirectory(source, groupId);
    if (entries != nullptr)
        ListEntries(*directory, *entries);
    const IconDirectoryEntry& entry = directory->entries[ChooseIconEntry(directory->entries, request)];
    std::vector<std::uint8_t> data = directory->ImageData(entry);
    DecodeIconImage(data, entry.info.width, entry.info.height, directory->cursor, image);
    Info().ReportProgress(100);
}

int CIcoReader::ReadDirectory(CDataStream& stream, std::vector<CIconEntryInfo>& entries,
                              std::optional<std::uint16_t> groupId)
{
    CIconSource source(stream);
    ListEntries(*OpenDirectory(source, groupId), entries);
    return static_cast<int>(entries.size());
}

void CIcoReader::ThrowOpenError() const
{
    throw EIconError(GraphicsText::Icon::OpenFailed);
}
