#include "imaging/DecoderSupport.h"

#include "imaging/GraphicsException.h"
#include "imaging/GraphicsImage.h"

#include "support/ByteOrder.h"
#include "support/DataStream.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr std::size_t kChunk = 1 << 20;
constexpr std::int32_t kProbe = 4096;
constexpr std::uint64_t kBoxHeader = 8;
constexpr std::uint64_t kLargeBoxHeader = 16;

}  // namespace

bool ReadStreamContents(CDataStream& stream, std::vector<std::uint8_t>& contents)
{
    contents.clear();
    const std::int64_t size = stream.Size();
    const std::int64_t position = stream.Tell();
    if (size > position && position >= 0)
        contents.reserve(static_cast<std::size_t>(size - position));
    for (;;) {
        const std::size_t used = contents.size();
        if (used == contents.capacity()) {
            // The end the size promised, or a stream that cannot tell: small reads find the end.
            std::uint8_t probe[kProbe];
            const std::int32_t got = stream.Read(probe, kProbe);
            if (got < 0)
                return false;
            if (got == 0)
                return true;
            contents.insert(contents.end(), probe, probe + got);
            continue;
        }
        const std::size_t want = std::min(contents.capacity() - used, kChunk);
        contents.resize(used + want);
        const std::int32_t got = stream.Read(contents.data() + used, static_cast<std::int32_t>(want));
        if (got < 0)
            return false;
        contents.resize(used + static_cast<std::size_t>(got));
        if (got == 0)
            return true;
    }
}

void CheckPictureSize(std::uint64_t width, std::uint64_t height)
{
    if (width > CGraphicsImage::MaxDimension || height > CGraphicsImage::MaxDimension ||
        width * height > CGraphicsImage::MaxPixels)
        throw EGraphicsPicSize();
}

void FlipRows(CGraphicsImage& image)
{
    const std::size_t stride = image.Stride();
    std::vector<std::uint8_t> spare(stride);
    for (std::uint32_t top = 0, bottom = image.Height(); top + 1 < bottom; ++top, --bottom) {
        std::uint8_t* upper = image.Row(top);
        std::uint8_t* lower = image.Row(bottom - 1);
        std::memcpy(spare.data(), upper, stride);
        std::memcpy(upper, lower, stride);
        std::memcpy(lower, spare.data(), stride);
    }
}

bool BoxesReachPastEnd(std::span<const std::uint8_t> file)
{
    const std::uint64_t end = file.size();
    std::uint64_t offset = 0;
    while (end - offset >= kBoxHeader) {
        std::uint64_t size = LoadBE32(&file[offset]);
        if (size == 1) {
            if (end - offset < kLargeBoxHeader)
                return true;
            size = LoadBE64(&file[offset + kBoxHeader]);
        } else if (size == 0) {
            return false;  // the box runs to the end, wherever that is
        }
        if (size < kBoxHeader)
            return false;
        if (size > end - offset)
            return true;
        offset += size;
    }
    return offset != end;
}
