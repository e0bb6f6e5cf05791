// Resampling to a new size: nearest neighbour, or the box filter of BoxFilter.cpp.

#include "imaging/BoxFilter.h"
#include "imaging/GraphicsImage.h"

#include <cstring>
#include <vector>

namespace {

std::vector<std::uint32_t> NearestMap(std::uint32_t sourceSize, std::uint32_t targetSize)
{
    std::vector<std::uint32_t> map(targetSize);
    for (std::uint32_t i = 0; i < targetSize; ++i)
        map[i] = std::uint32_t(std::uint64_t(i) * sourceSize / targetSize);
    return map;
}

void CopyPixels(const std::uint8_t* srcRow, std::uint8_t* dstRow, const std::vector<std::uint32_t>& columns,
                int bytesPerPixel)
{
    const std::size_t bytes = std::size_t(bytesPerPixel);
    for (std::size_t x = 0; x < columns.size(); ++x)
        std::memcpy(dstRow + x * bytes, srcRow + columns[x] * bytes, bytes);
}

void NearestResample(const CGraphicsImage& src, CGraphicsImage& target)
{
    const std::vector<std::uint32_t> columns = NearestMap(src.Width(), target.Width());
    const std::vector<std::uint32_t> rows = NearestMap(src.Height(), target.Height());
    const bool sameFormat = src.Bpp() == target.Bpp();
    const bool byteAligned = target.Bpp() >= 15 || target.Bpp() == 8;
    for (std::uint32_t y = 0; y < rows.size(); ++y) {
        std::uint8_t* dstRow = target.Row(y);
        if (y > 0 && rows[y] == rows[y - 1]) {
            std::memcpy(dstRow, target.Row(y - 1), target.Stride());
            continue;
        }
        const std::uint8_t* srcRow = src.Row(rows[y]);
        if (!sameFormat) {
            // Only a forced 32-bit result differs from its source.
            CopyPixels(src.RowTo32(srcRow), dstRow, columns, 4);
        } else if (byteAligned) {
            CopyPixels(srcRow, dstRow, columns, target.BytesPerPixel());
        } else {
            for (std::uint32_t x = 0; x < columns.size(); ++x)
                target.SetRowPixel(dstRow, x, src.GetRowPixel(srcRow, columns[x]));
        }
    }
}

}  // namespace

bool CGraphicsImage::Resample(const CGraphicsImage& src, std::uint32_t newWidth, std::uint32_t newHeight,
                              std::uint32_t flags)
{
    if (&src == this) {
        // The target is rebuilt from scratch, so it cannot read from itself.
        CGraphicsImage copy;
        if (!copy.CopyFrom(src))
            return false;
        return ResampleInto(copy, newWidth, newHeight, flags);
    }
    return ResampleInto(src, newWidth, newHeight, flags);
}

bool CGraphicsImage::ResampleInto(const CGraphicsImage& src, std::uint32_t newWidth, std::uint32_t newHeight,
                                  std::uint32_t flags)
{
    if (src.IsEmpty()) {
        Create(src.Bpp(), 0, 0);
        return false;
    }
    if (newWidth == src.Width() && newHeight == src.Height()) {
        if ((flags & ResampleForce32) == 0)
            return CopyFrom(src);
        if (!Create(32, newWidth, newHeight, NoFill))
            return false;
        for (std::uint32_t y = 0; y < newHeight; ++y)
            std::memcpy(Row(y), src.RowTo32(src.Row(y)), std::size_t(newWidth) * 4);
        return true;
    }

    int bpp = src.Bpp();
    if ((flags & ResampleForce32) != 0 || bpp == 32)
        bpp = 32;
    else if ((flags & ResampleSmooth) != 0)
        bpp = 24;
    // A target that cannot be had (too big, no memory) ends the call before anything is written.
    if (!Create(bpp, newWidth, newHeight, NoFill))
        return false;
    for (int i = 0; i < src.PaletteCount(); ++i)
        Palette()[i] = src.Palette()[i];

    if ((flags & ResampleSmooth) != 0)
        BoxResample(src, *this);
    else
        NearestResample(src, *this);
    return true;
}
