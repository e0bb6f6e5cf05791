// Rectangle fill: whole bytes or words in the middle of rows, pixel by pixel only at ends that
// do not start on a byte.

#include "imaging/ClipRect.h"
#include "imaging/GraphicsImage.h"
#include "imaging/PixelFormats.h"

#include <algorithm>
#include <cstring>

namespace {

// Fills pixels [x0, x0 + count) of a row of a sub-byte format: unaligned ends pixel by pixel,
// the bytes between with the index repeated in every pixel of the byte.
void FillPackedRow(const CGraphicsImage& image, std::uint8_t* row, std::uint32_t x0, std::uint32_t count,
                   std::uint32_t index, std::uint8_t pattern)
{
    const std::uint32_t perByte = image.PixelMask() + 1;
    std::uint32_t x = x0;
    const std::uint32_t end = x0 + count;
    while (x < end && (x & image.PixelMask()) != 0)
        image.SetRowPixel(row, x++, index);
    const std::uint32_t wholeBytes = (end - x) / perByte;
    std::memset(row + (x >> image.PixelShift()), pattern, wholeBytes);
    x += wholeBytes * perByte;
    while (x < end)
        image.SetRowPixel(row, x++, index);
}

std::uint8_t RepeatedIndex(int bpp, std::uint32_t index)
{
    switch (bpp) {
    case 1: return (index & 1) ? 0xFF : 0x00;
    case 2: return std::uint8_t((index & 3) * 0x55);
    case 4: return std::uint8_t((index & 15) * 0x11);
    default: return std::uint8_t(index);
    }
}

// Stores `count` pixels of a byte-aligned true-colour format (value as stored, little-endian).
void FillPixels(std::uint8_t* p, std::uint32_t count, int bpp, std::uint32_t value)
{
    switch (bpp) {
    case 32:
        for (std::uint32_t i = 0; i < count; ++i, p += 4)
            std::memcpy(p, &value, 4);
        break;
    case 24:
        for (std::uint32_t i = 0; i < count; ++i, p += 3)
            std::memcpy(p, &value, 3);
        break;
    default:
        for (std::uint32_t i = 0; i < count; ++i, p += 2)
            std::memcpy(p, &value, 2);
        break;
    }
}

}  // namespace

bool CGraphicsImage::FillRect(int x, int y, int w, int h, std::uint32_t value)
{
    if (!HasPixels())
        return false;
    // A negative size reaches left or up from (x, y), which stays inside the rectangle.
    std::int64_t left = x, top = y, width = w, height = h;
    if (width < 0) {
        left = left + width + 1;
        width = -width;
    }
    if (height < 0) {
        top = top + height + 1;
        height = -height;
    }
    ClippedSpan columns, rows;
    if (!ClipSpan(left, width, m_width, columns) || !ClipSpan(top, height, m_height, rows))
        return false;

    const std::uint32_t x0 = columns.target;
    const std::uint32_t count = columns.length;
    const std::uint32_t rowEnd = rows.target + rows.length;
    switch (m_bpp) {
    case 1:
    case 2:
    case 4: {
        const std::uint8_t pattern = RepeatedIndex(m_bpp, value);
        for (std::uint32_t r = rows.target; r < rowEnd; ++r)
            FillPackedRow(*this, Row(r), x0, count, value, pattern);
        break;
    }
    case 8:
        for (std::uint32_t r = rows.target; r < rowEnd; ++r)
            std::memset(Row(r) + x0, int(value & 0xFF), count);
        break;
    case 12: {
        // Two pixels share three bytes: an odd start and an even end go singly.
        std::uint8_t pair[3] = {};
        SetRowPixel(pair, 0, value);
        SetRowPixel(pair, 1, value);
        for (std::uint32_t r = rows.target; r < rowEnd; ++r) {
            std::uint8_t* row = Row(r);
            std::uint32_t px = x0;
            const std::uint32_t end = x0 + count;
            if (px & 1)
                SetRowPixel(row, px++, value);
            for (; px + 1 < end; px += 2)
                std::memcpy(row + 3 * (px >> 1), pair, 3);
            if (px < end)
                SetRowPixel(row, px, value);
        }
        break;
    }
    case 15:
    case 16:
    case 24:
    case 32: {
        // The first row is filled pixel by pixel; the others are byte copies of it.
        const std::size_t bytes = std::size_t(count) * std::size_t(m_bytesPerPixel);
        std::uint8_t* first = Row(rows.target) + std::size_t(x0) * std::size_t(m_bytesPerPixel);
        FillPixels(first, count, m_bpp, ColorToPixel(value));
        for (std::uint32_t r = rows.target + 1; r < rowEnd; ++r)
            std::memcpy(Row(r) + std::size_t(x0) * std::size_t(m_bytesPerPixel), first, bytes);
        break;
    }
    default:
        return false;
    }
    return true;
}
