#include "imaging/ExifOrientation.h"

#include "imaging/GraphicsImage.h"

#include <cstddef>
#include <cstring>

namespace {

constexpr std::uint8_t kExifHeader[] = {'E', 'x', 'i', 'f', 0, 0};
constexpr std::uint16_t kOrientationTag = 0x0112;
constexpr std::uint16_t kTypeShort = 3;
constexpr std::size_t kEntrySize = 12;

// The TIFF structure of the Exif block, read in its own byte order; every read is checked against
// the block's end.
class CTiffBytes
{
public:
    explicit CTiffBytes(std::span<const std::uint8_t> bytes) : m_bytes(bytes) {}

    bool ReadByteOrder()
    {
        if (m_bytes.size() < 8)
            return false;
        if (m_bytes[0] == 'I' && m_bytes[1] == 'I')
            m_bigEndian = false;
        else if (m_bytes[0] == 'M' && m_bytes[1] == 'M')
            m_bigEndian = true;
        else
            return false;
        std::uint32_t magic = 0;
        return Word(2, magic) && magic == 42;
    }

    bool Word(std::size_t offset, std::uint32_t& value) const { return Read(offset, 2, value); }
    bool DWord(std::size_t offset, std::uint32_t& value) const { return Read(offset, 4, value); }

private:
    bool Read(std::size_t offset, std::size_t length, std::uint32_t& value) const
    {
        if (offset > m_bytes.size() || m_bytes.size() - offset < length)
            return false;
        value = 0;
        for (std::size_t i = 0; i < length; ++i) {
            const std::size_t at = m_bigEndian ? offset + i : offset + length - 1 - i;
            value = value << 8 | m_bytes[at];
        }
        return true;
    }

    std::span<const std::uint8_t> m_bytes;
    bool m_bigEndian = false;
};

// Where the stored picture's pixel comes from, for the upright picture's (x, y): with swapped axes
// x runs down the stored picture's columns and y along its rows.
struct Walk
{
    bool swapAxes;
    bool flipX;  // of the stored picture
    bool flipY;
};

Walk WalkFor(ExifOrientation orientation)
{
    switch (orientation) {
    case ExifOrientation::Mirrored:
        return {false, true, false};
    case ExifOrientation::UpsideDown:
        return {false, true, true};
    case ExifOrientation::UpsideDownMirrored:
        return {false, false, true};
    case ExifOrientation::Transposed:
        return {true, false, false};
    case ExifOrientation::TurnedLeft:
        return {true, false, true};
    case ExifOrientation::Transversed:
        return {true, true, true};
    case ExifOrientation::TurnedRight:
        return {true, true, false};
    case ExifOrientation::Upright:
        break;
    }
    return {false, false, false};
}

}  // namespace

ExifOrientation OrientationFromExif(std::span<const std::uint8_t> app1)
{
    if (app1.size() < sizeof(kExifHeader) || std::memcmp(app1.data(), kExifHeader, sizeof(kExifHeader)) != 0)
        return ExifOrientation::Upright;
    CTiffBytes tiff(app1.subspan(sizeof(kExifHeader)));
    std::uint32_t directory = 0, entries = 0;
    if (!tiff.ReadByteOrder() || !tiff.DWord(4, directory) || !tiff.Word(directory, entries))
        return ExifOrientation::Upright;
    for (std::uint32_t i = 0; i < entries; ++i) {
        const std::size_t entry = std::size_t{directory} + 2 + i * kEntrySize;
        std::uint32_t tag = 0, type = 0, count = 0, value = 0;
        if (!tiff.Word(entry, tag) || !tiff.Word(entry + 2, type) || !tiff.DWord(entry + 4, count) ||
            !tiff.Word(entry + 8, value))
            break;
        if (tag != kOrientationTag)
            continue;
        if (type == kTypeShort && count == 1 && value >= 1 && value <= 8)
            return static_cast<ExifOrientation>(value);
        break;
    }
    return ExifOrientation::Upright;
}

bool SwapsAxes(ExifOrientation orientation)
{
    return WalkFor(orientation).swapAxes;
}

namespace {

// One row of the upright picture from pixels `step` bytes apart in the stored one.
template <std::size_t PixelBytes>
void CopyPixels(const std::uint8_t* from, std::ptrdiff_t step, std::uint8_t* to, std::uint32_t count)
{
    for (std::uint32_t x = 0; x < count; ++x, from += step, to += PixelBytes)
        std::memcpy(to, from, PixelBytes);
}

}  // namespace

void MakeUpright(const CGraphicsImage& stored, ExifOrientation orientation, CGraphicsImage& upright)
{
    const Walk walk = WalkFor(orientation);
    const std::uint32_t width = stored.Width(), height = stored.Height();
    const std::uint32_t uprightWidth = walk.swapAxes ? height : width;
    const std::uint32_t uprightHeight = walk.swapAxes ? width : height;
    upright.CreateOrThrow(stored.Bpp(), uprightWidth, uprightHeight, CGraphicsImage::NoFill);
    const std::ptrdiff_t pixel = stored.Bpp() / 8;

    const std::ptrdiff_t stride = stored.Stride();
    // Picture rows lie bottom-up: one row further down is one stride lower in memory.
    const std::ptrdiff_t rowStep = -stride;
    for (std::uint32_t y = 0; y < uprightHeight; ++y) {
        const std::uint8_t* from = nullptr;
        std::ptrdiff_t step = 0;
        if (walk.swapAxes) {
            const std::uint32_t column = walk.flipX ? width - 1 - y : y;
            from = stored.Row(walk.flipY ? height - 1 : 0) + pixel * std::ptrdiff_t{column};
            step = walk.flipY ? -rowStep : rowStep;
        } else {
            from = stored.Row(walk.flipY ? height - 1 - y : y) + (walk.flipX ? pixel * std::ptrdiff_t{width - 1} : 0);
            step = walk.flipX ? -pixel : pixel;
        }
        if (pixel == 4)
            CopyPixels<4>(from, step, upright.Row(y), uprightWidth);
        else
            CopyPixels<3>(from, step, upright.Row(y), uprightWidth);
    }
}
